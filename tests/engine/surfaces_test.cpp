// Every built-in class's surface (the classes an engine registers and the
// WScript streams): each method row has a name, no two rows of one class
// share a name, and every name finds its own row.
#include <set>
#include <string_view>

#include "engine/eval/engine.h"
#include "engine/lib/builtins.h"
#include "valuetest.h"

namespace {

void expectWellFormed(TJObject* object) {
    const TJMethodTable& table = object->Methods();
    const char* className = object->ClassType()->ClassName;
    std::set<std::string_view> own;
    for (const TJMethodTable::Entry& entry : table.OwnEntries()) {
        std::string_view name = entry.Name ? entry.Name : "";
        EXPECT_FALSE(name.empty()) << className;
        EXPECT_TRUE(own.insert(name).second) << className << " lists " << name << " twice";
        EXPECT_EQ(table.Find(name), &entry) << className << " " << name;
        EXPECT_GE(entry.MinArgs, 0) << className << " " << name;
    }
    for (const TJMethodTable::Entry* entry : table.Entries()) EXPECT_EQ(table.Find(entry->Name), entry) << className;
}

}  // namespace

TEST(Surfaces, EveryClassNamesEachMethodOnce) {
    TJEngine engine(&RegisterBuiltins);
    TJObjectFactory* factory = engine.GetFactory();
    std::vector<AnsiString> classes = factory->GetClassNames();
    ASSERT_FALSE(classes.empty());
    for (const AnsiString& name : classes) {
        TJObject* object = CreateScriptInstance(factory->LookupClass(name), &engine, false, nullptr);
        ASSERT_NE(object, nullptr) << name.str();
        object->IncRef();
        expectWellFormed(object);
        object->DecRef();
    }
    for (const char* stream : {"StdIn", "StdOut"}) {
        TJValue value;
        engine.WScriptObject()->GetValue(stream, false, value);
        ASSERT_TRUE(IsObjectValue(value)) << stream;
        expectWellFormed(value.ObjValue);
    }
}
