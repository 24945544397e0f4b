// Method tables: the index by name over a class's rows and its parent's, and
// the one place where a call's missing arguments and a row's error are handled.
#include "engine/core/methodtable.h"

#include <algorithm>

#include "engine/core/errors.h"
#include "engine/core/object.h"
#include "engine/support/hashtable.h"
#include "engine/core/valuelist.h"

void TJMethodTable::Entry::Call(TJObject& self, TJValueList* args, TJValue& result) const {
    switch (Result) {
    case TJMethodResult::Undefined: MakeUndefined(result); break;
    case TJMethodResult::Self: MakeObject(&self, result); break;
    case TJMethodResult::False: MakeBool(false, result); break;
    }
    if (ArgCount(args) < MinArgs) {
        if (Error.MissingFails) raiseScriptError(Error.Name, Error.Message);
        return;
    }
    if (!Error.Name) return Invoke(Row, self, args, result);
    try {
        Invoke(Row, self, args, result);
    } catch (const EJAbort&) {
        throw;
    } catch (const EJStatement&) {
        throw;
    } catch (...) {
        raiseScriptError(Error.Name, Error.Message);
    }
}

void TJMethodTable::index(const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) add(entry);
}

// A name already there stays: the class's own rows hide the parent's, and of
// two own rows with one name the first counts (the surface check reports the
// second).
void TJMethodTable::add(const Entry& entry) {
    unsigned hash = TCustomHashTable::HashOf(entry.Name);
    if (find(entry.Name, hash)) return;
    All_.push_back(&entry);
    if (All_.size() * 2 > Slots_.size()) {
        Slots_.assign(std::max<size_t>(16, Slots_.size() * 2), Slot{});
        for (const Entry* method : All_) place(method, TCustomHashTable::HashOf(method->Name));
    } else {
        place(&entry, hash);
    }
}

// A multiplication spreads the short names' hashes over the power-of-two
// table; its high bits are folded down into the low ones the mask keeps.
size_t TJMethodTable::slotOf(unsigned hash) const {
    uint32_t mixed = static_cast<uint32_t>(hash) * 2654435769u;
    return (mixed ^ (mixed >> 16)) & (Slots_.size() - 1);
}

void TJMethodTable::place(const Entry* entry, unsigned hash) {
    size_t i = slotOf(hash);
    while (Slots_[i].Method) i = (i + 1) & (Slots_.size() - 1);
    Slots_[i] = {entry->Name, hash, entry};
}

const TJMethodTable::Entry* TJMethodTable::find(std::string_view name, unsigned hash) const {
    if (Slots_.empty()) return nullptr;
    for (size_t i = slotOf(hash); Slots_[i].Method; i = (i + 1) & (Slots_.size() - 1))
        if (Slots_[i].Hash == hash && Slots_[i].Name == name) return Slots_[i].Method;
    return nullptr;
}

const TJMethodTable::Entry* TJMethodTable::Find(std::string_view name) const {
    return find(name, TCustomHashTable::HashOf(name));
}
