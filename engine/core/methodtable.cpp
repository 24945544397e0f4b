// Method tables: the index by name over a class's rows and its parent's, and
// the one place where a call's missing arguments are handled.
#include "engine/core/methodtable.h"

#include "engine/core/object.h"
#include "engine/core/valuelist.h"

void TJMethodTable::Entry::Call(TJObject& self, TJValueList* args, TJValue& result) const {
    if (Result == TJMethodResult::Self) MakeObject(&self, result);
    else MakeUndefined(result);
    if (ArgCount(args) >= MinArgs) Invoke(Row, self, args, result);
}

void TJMethodTable::index(const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) add(entry);
}

// A name already there stays: the class's own rows hide the parent's, and of
// two own rows with one name the first counts (the surface check reports the
// second).
void TJMethodTable::add(const Entry& entry) {
    if (ByName_.emplace(entry.Name, &entry).second) All_.push_back(&entry);
}

const TJMethodTable::Entry* TJMethodTable::Find(std::string_view name) const {
    auto found = ByName_.find(name);
    return found == ByName_.end() ? nullptr : found->second;
}
