// The String object's lifetimes (its behaviour as scripts see it is in
// tests/scripts/string): the RegExp and Array objects a method makes for
// itself are freed when it returns, and a RegExp object argument keeps only
// its holder's reference.
#include "engine/lib/regexpobject.h"
#include "engine/lib/stringobject.h"
#include "valuetest.h"

namespace {

class StringLifetimes : public ::testing::Test {
protected:
    TJValue call(const char* text, const char* name, std::initializer_list<TJValue> args) {
        TJStringObject* s = createObject<TJStringObject>(&engine, true, nullptr);
        s->SetText(text);
        TJValue f, result;
        s->GetValue(name, false, f);
        TJValueList list;
        for (const TJValue& arg : args) list.Add(arg);
        CallNativeMethod(f.FuncValue.get(), &list, result);
        return result;
    }

    FakeRuntime engine;
};

}  // namespace

TEST_F(StringLifetimes, TemporaryRegExpObjectsAreFreed) {
    int before = engine.factory.ObjectCount();
    call("abc", "search", {textValue("b")});  // the String object stays, the RegExp and its Array go
    call("abc", "replace", {textValue("b"), textValue("x")});
    EXPECT_EQ(engine.factory.ObjectCount(), before + 2);
}

TEST_F(StringLifetimes, ARegExpArgumentKeepsOnlyItsHoldersReference) {
    TJRegExpObject* regExp = createObject<TJRegExpObject>(&engine, true, nullptr);
    regExp->IncRef();  // as a script variable holds it
    regExp->RegExp().SetSource("b(c)");
    call("abcbc", "match", {objectValue(regExp)});
    EXPECT_EQ(regExp->indexProperty(), 1);
    EXPECT_EQ(regExp->RefCount(), 1);
}
