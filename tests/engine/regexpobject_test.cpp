// The RegExp object from C++ (its behaviour as scripts see it is in
// tests/scripts/regexp): the statics object cleared between runs, Assign, and
// the match hooks that go with a freed statics object.
#include "engine/lib/regexpobject.h"
#include "valuetest.h"

namespace {

class RegExpTest : public ::testing::Test {
protected:
    // A RegExp object made from the arguments, held as a script variable would hold it.
    TJRegExpObject* make(std::initializer_list<TJValue> args = {}) {
        TJValueList list;
        for (const TJValue& arg : args) list.Add(arg);
        TJRegExpObject* regExp = createObject<TJRegExpObject>(&engine, true, args.size() ? &list : nullptr);
        regExp->IncRef();
        return regExp;
    }
    // A RegExp object connected to the statics, as the engine connects its objects.
    TJRegExpObject* connected(std::initializer_list<TJValue> args) {
        TJRegExpObject* regExp = make(args);
        regExp->ConnectToStatics(statics);
        return regExp;
    }

    TJValue call(TJObject* o, const char* name, std::initializer_list<TJValue> args = {}) {
        TJValue f, result;
        o->GetValue(name, false, f);
        EXPECT_EQ(f.ValueType, vtFunction) << name;
        TJValueList list;
        for (const TJValue& arg : args) list.Add(arg);
        CallNativeMethod(f.FuncValue.get(), args.size() ? &list : nullptr, result);
        return result;
    }

    static TJValue member(TJObject* o, const char* name) {
        TJValue v;
        o->GetValue(name, false, v);
        return v;
    }
    static AnsiString memberText(TJObject* o, const char* name) { return ValueToString(member(o, name)); }

    FakeRuntime engine;
    TJRegExpObject* statics = [this] {
        TJRegExpObject* s = createObject<TJRegExpObject>(&engine, false, nullptr);
        s->IncRef();
        return s;
    }();
    ~RegExpTest() override { statics->DecRef(); }
};

}  // namespace

TEST_F(RegExpTest, ClearingTheStaticsKeepsTheInput) {
    TJRegExpObject* r = connected({textValue("b")});
    call(r, "exec", {textValue("abc")});
    statics->Clear();
    EXPECT_EQ(statics->inputProperty(), "abc");
    EXPECT_EQ(memberText(statics, "$0"), "");
    EXPECT_EQ(statics->indexProperty(), -1);
    EXPECT_EQ(ValueToString(call(statics, "toString")), "/b/");  // methods are registered again
}

TEST_F(RegExpTest, AssignCopiesTheMatchAndRecordsTheStatics) {
    TJRegExpObject* r = make({textValue("(\\d)x"), textValue("i")});
    r->TestText("a1X");
    TJRegExpObject* copy = make();
    copy->Assign(r);
    EXPECT_EQ(copy->ToString(), "/(\\d)x/i");
    EXPECT_EQ(memberText(copy, "$1"), "1");
    EXPECT_EQ(copy->leftContextProperty(), "a");
    EXPECT_EQ(copy->inputProperty(), "a1X");
    TJObject* plain = createObject<TJObject>(&engine, true, nullptr);
    EXPECT_THROW(copy->Assign(plain), Exception);
}

TEST_F(RegExpTest, HooksGoWithTheStaticsObject) {
    TJRegExpObject* own = createObject<TJRegExpObject>(&engine, false, nullptr);
    own->IncRef();
    TJRegExpObject* r = make({textValue("b")});
    r->ConnectToStatics(own);
    r->TestText("abc");
    EXPECT_EQ(own->lastMatchProperty(), "b");
    own->DecRef();  // freed
    EXPECT_TRUE(r->TestText("abc"));  // no hooks left to call
    EXPECT_FALSE(r->AfterMatch);
}
