// The RegExp object: flags from texts and literals, its text form, exec, test,
// replace (template and script function) and split, the numbered members and
// the statics object that every connected RegExp object updates, the hooks
// the evaluator uses, and patterns that the library rejects.
#include "engine/core/array.h"
#include "engine/eval/engine.h"
#include "engine/lib/builtins.h"
#include "engine/core/hooks.h"
#include "engine/lib/regexpobject.h"
#include "valuetest.h"

#define HYO "\x95\x5C"  // 表, trail byte "\"

namespace {

using Texts = std::vector<AnsiString>;

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

    static Texts texts(const TJValue& v) {
        Texts out;
        EXPECT_EQ(v.ValueType, vtObject);
        if (v.ValueType != vtObject) return out;
        auto* array = static_cast<TJArrayObject*>(v.ObjValue);
        for (int i = 0; i < array->Items().Count(); ++i) out.push_back(ValueToString(&array->Items().At(i)));
        return out;
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

// ==== Construction and text form ====

TEST_F(RegExpTest, FlagsFromTheFlagText) {
    TJRegExpObject* r = make({textValue("a"), textValue("gi")});
    EXPECT_TRUE(ValueToBool(member(r, "global")));
    EXPECT_TRUE(ValueToBool(member(r, "ignoreCase")));
    EXPECT_FALSE(ValueToBool(member(r, "multiline")));
    EXPECT_EQ(memberText(r, "source"), "a");
    TJRegExpObject* four = make({textValue("a"), textValue("gimx")});
    EXPECT_FALSE(four->globalProperty());
    EXPECT_FALSE(four->ignoreCaseProperty());
    EXPECT_FALSE(four->multilineProperty());
    TJRegExpObject* none = make();
    EXPECT_EQ(none->sourceProperty(), "");
    EXPECT_EQ(none->ToString(), "//");
    EXPECT_EQ(r->ScriptClassName(), "RegExp");
}

TEST_F(RegExpTest, TextFormListsFlagsInTheOrderIgm) {
    EXPECT_EQ(make({textValue("a+"), textValue("mg")})->ToString(), "/a+/gm");
    EXPECT_EQ(make({textValue("x"), textValue("mgi")})->ToString(), "/x/igm");
    EXPECT_EQ(ValueToString(call(make({textValue("b")}), "toString")), "/b/");
}

TEST_F(RegExpTest, LiteralGivesSourceAndFlags) {
    TJValue literal;
    MakeRegExp("a+b", "mi", literal);
    TJRegExpObject* r = make({literal, textValue("g")});  // a second argument is not used
    EXPECT_EQ(r->sourceProperty(), "a+b");
    EXPECT_TRUE(r->ignoreCaseProperty());
    EXPECT_TRUE(r->multilineProperty());
    EXPECT_FALSE(r->globalProperty());
    TJRegExpObject* loaded = make({textValue("old"), textValue("g")});
    ASSERT_NE(JEngineHooks.LoadRegExpLiteral, nullptr);
    JEngineHooks.LoadRegExpLiteral(loaded, literal);
    EXPECT_EQ(loaded->ToString(), "/a+b/im");
}

TEST_F(RegExpTest, PublishedPropertiesWrite) {
    TJRegExpObject* r = make({textValue("a")});
    r->SetValue("source", textValue("b+"));
    r->SetValue("global", boolValue(true));
    r->SetValue("ignoreCase", boolValue(true));
    r->SetValue("input", textValue("xBb"));
    EXPECT_EQ(r->ToString(), "/b+/ig");
    EXPECT_EQ(r->inputProperty(), "xBb");
    // Read-only properties are not written; the value becomes a member.
    r->SetValue("index", intValue(7));
    EXPECT_EQ(r->indexProperty(), -1);
}

// ==== exec and the statics ====

TEST_F(RegExpTest, ExecReturnsTheMatchAndFillsTheStatics) {
    TJRegExpObject* r = connected({textValue("b(c)")});
    EXPECT_EQ(texts(call(r, "exec", {textValue("abcbc")})), Texts({"bc"}));
    EXPECT_EQ(memberText(statics, "$1"), "c");
    EXPECT_EQ(memberText(statics, "$0"), "bc");
    EXPECT_EQ(ValueToInteger(member(statics, "index")), 1);
    EXPECT_EQ(ValueToInteger(member(statics, "lastIndex")), 3);
    EXPECT_EQ(memberText(statics, "leftContext"), "a");
    EXPECT_EQ(memberText(statics, "rightContext"), "bc");
    EXPECT_EQ(memberText(statics, "lastMatch"), "bc");
    EXPECT_EQ(memberText(statics, "lastParen"), "c");
    EXPECT_EQ(memberText(statics, "input"), "abcbc");
    EXPECT_EQ(memberText(r, "$1"), "c");  // the object's own members too
}

TEST_F(RegExpTest, GlobalExecReturnsEveryMatchAndDescribesTheLast) {
    TJRegExpObject* r = connected({textValue("b(c)"), textValue("g")});
    EXPECT_EQ(texts(call(r, "exec", {textValue("abcbc")})), Texts({"bc", "bc"}));
    EXPECT_EQ(ValueToInteger(member(statics, "index")), 3);
    EXPECT_EQ(ValueToInteger(member(statics, "lastIndex")), 5);
    EXPECT_EQ(memberText(statics, "leftContext"), "abc");
    EXPECT_EQ(memberText(statics, "rightContext"), "");
}

TEST_F(RegExpTest, FailedExecEmptiesTheNumberedMembers) {
    TJRegExpObject* r = connected({textValue("(x)(y)")});
    call(r, "exec", {textValue("xy")});
    EXPECT_EQ(memberText(statics, "$2"), "y");
    EXPECT_TRUE(IsNullValue(call(r, "exec", {textValue("abc")})));
    for (const char* name : {"$0", "$1", "$2", "$9"}) {
        EXPECT_EQ(memberText(r, name), "") << name;
        EXPECT_EQ(memberText(statics, name), "") << name;
    }
    EXPECT_EQ(statics->indexProperty(), -1);
    EXPECT_EQ(statics->lastIndexProperty(), -1);
}

TEST_F(RegExpTest, ExecWithoutTextMatchesTheStaticsInput) {
    TJRegExpObject* r = connected({textValue("z+")});
    statics->SetValue("input", textValue("xzzy"));
    EXPECT_EQ(texts(call(r, "exec")), Texts({"zz"}));
    TJRegExpObject* loose = make({textValue("^$")});  // not connected: the empty text
    EXPECT_EQ(texts(call(loose, "exec")), Texts({""}));
}

TEST_F(RegExpTest, ClearingTheStaticsKeepsTheInput) {
    TJRegExpObject* r = connected({textValue("b")});
    call(r, "exec", {textValue("abc")});
    statics->Clear();
    EXPECT_EQ(statics->inputProperty(), "abc");
    EXPECT_EQ(memberText(statics, "$0"), "");
    EXPECT_EQ(statics->indexProperty(), -1);
    EXPECT_EQ(ValueToString(call(statics, "toString")), "/b/");  // methods are registered again
}

TEST_F(RegExpTest, ManyGroupsGetNumberedMembersBeyondNine) {
    TJRegExpObject* r = connected({textValue("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)")});
    EXPECT_TRUE(ValueToBool(call(r, "test", {textValue("abcdefghijk")})));
    EXPECT_EQ(memberText(statics, "$10"), "j");
    EXPECT_EQ(memberText(statics, "$11"), "k");
    EXPECT_EQ(memberText(statics, "lastParen"), "k");
}

TEST_F(RegExpTest, TestRecordsMatchedOrNot) {
    TJRegExpObject* r = connected({textValue("(b)")});
    EXPECT_TRUE(ValueToBool(call(r, "test", {textValue("abc")})));
    EXPECT_EQ(memberText(statics, "$1"), "b");
    EXPECT_FALSE(ValueToBool(call(r, "test", {textValue("xyz")})));
    EXPECT_EQ(memberText(statics, "$1"), "");
    EXPECT_EQ(statics->inputProperty(), "xyz");
    EXPECT_FALSE(ValueToBool(call(r, "test")));
    EXPECT_TRUE(r->TestText("bb"));
    EXPECT_EQ(statics->lastMatchProperty(), "b");
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

TEST_F(RegExpTest, EveryEngineWiresItsRegExpObjectsToItsStatics) {
    TJEngine real(&RegisterBuiltins);
    EXPECT_EQ(real.GetFactory()->LookupClass("RegExp"), &TJRegExpObject::classInfo);
    ASSERT_TRUE(real.RegExpStatics()->InheritsFrom(&TJRegExpObject::classInfo));
    auto* own = static_cast<TJRegExpObject*>(real.RegExpStatics());
    TJValueList args;
    args.AddString("b(c)");
    auto* r = static_cast<TJRegExpObject*>(real.CreateScriptObject("RegExp", &args));
    EXPECT_TRUE(r->TestText("abc"));
    EXPECT_EQ(memberText(own, "$1"), "c");
    EXPECT_EQ(own->leftContextProperty(), "a");
}

// ==== replace ====

TEST_F(RegExpTest, ReplaceWithTemplates) {
    EXPECT_EQ(ValueToString(call(make({textValue("b")}), "replace", {textValue("abcb"), textValue("[$&]")})),
              "a[b]cb");
    EXPECT_EQ(ValueToString(call(make({textValue("(b)(c)?"), textValue("g")}), "replace",
                                 {textValue("abcb"), textValue("<$2$1>")})),
              "a<cb><b>");
    EXPECT_EQ(ValueToString(call(make({textValue("b"), textValue("g")}), "replace", {textValue("abcb")})), "ac");
    EXPECT_EQ(ValueToString(call(make({textValue("b")}), "replace")), "");
    EXPECT_EQ(ValueToString(call(make({textValue(HYO)}), "replace", {textValue("x" HYO "\\"), textValue("\\$")})),
              "x$\\");
}

TEST_F(RegExpTest, ReplaceRunsTestFirstForTheStatics) {
    TJRegExpObject* r = connected({textValue("(\\d)"), textValue("g")});
    EXPECT_EQ(ValueToString(call(r, "replace", {textValue("a1b2"), textValue("#")})), "a#b#");
    EXPECT_EQ(memberText(statics, "$1"), "2");  // from the test, which went through every match
    TJRegExpObject* once = connected({textValue("(\\d)")});
    EXPECT_EQ(ValueToString(call(once, "replace", {textValue("a1b2"), textValue("#")})), "a#b2");
    EXPECT_EQ(memberText(statics, "$1"), "1");
    EXPECT_EQ(memberText(statics, "leftContext"), "a");
}

TEST_F(RegExpTest, ReplaceWithAFunctionPassesMatchGroupsIndexAndText) {
    std::vector<Texts> calls;
    TJObject* self = nullptr;
    TJValue f = engine.scriptFunction([&](TJValueList* args, TJValue& result, TJObject* thisObject) {
        Texts seen;
        for (int i = 0; i < args->Count(); ++i) seen.push_back(ValueToString(&args->At(i)));
        calls.push_back(seen);
        self = thisObject;
        MakeInteger(args->Count(), result);
    });
    TJRegExpObject* plain = make({textValue("b"), textValue("g")});
    EXPECT_EQ(ValueToString(call(plain, "replace", {textValue("abcb"), f})), "a3c3");
    EXPECT_EQ(calls, std::vector<Texts>({{"b", "1", "abcb"}, {"b", "3", "abcb"}}));
    EXPECT_EQ(self, plain);
    calls.clear();
    TJRegExpObject* grouped = make({textValue("(b)c")});
    EXPECT_EQ(ValueToString(call(grouped, "replace", {textValue("abcb"), f})), "a4b");
    EXPECT_EQ(calls, std::vector<Texts>({{"bc", "b", "1", "abcb"}}));
}

TEST_F(RegExpTest, ReplaceFunctionErrorsPropagate) {
    TJValue failing = engine.scriptFunction([](TJValueList*, TJValue&, TJObject*) {
        raiseScriptError("EThrow", "from the replacement");
    });
    TJRegExpObject* r = make({textValue("b")});
    EXPECT_SCRIPT_ERROR(call(r, "replace", {textValue("abc"), failing}), "EThrow", "from the replacement");
    EXPECT_EQ(ValueToString(call(r, "replace", {textValue("abc"), textValue("x")})), "axc");
}

TEST_F(RegExpTest, ReplaceInsideAReplacement) {
    TJRegExpObject* r = make({textValue("[ab]"), textValue("g")});
    TJValue upper = engine.scriptFunction([](TJValueList* args, TJValue& result, TJObject*) {
        MakeString(ValueToString(&args->At(0)) == "a" ? "A" : "B", result);
    });
    TJValue outer = engine.scriptFunction([&](TJValueList* args, TJValue& result, TJObject*) {
        TJValue inner = call(r, "replace", {textValue("ab"), upper});
        MakeString(ValueToString(&args->At(0)) + inner.StrValue + ValueToString(&args->At(1)), result);
    });
    EXPECT_EQ(ValueToString(call(r, "replace", {textValue("xaxb"), outer})), "xaAB1xbAB3");
}

// ==== split ====

TEST_F(RegExpTest, SplitWithLimits) {
    TJRegExpObject* r = make({textValue(",")});
    EXPECT_EQ(texts(call(r, "split", {textValue("a,b,c"), intValue(2)})), Texts({"a", "b"}));
    EXPECT_EQ(texts(call(r, "split", {textValue("a,b,c")})), Texts({"a", "b", "c"}));
    EXPECT_EQ(texts(call(r, "split", {textValue("a,b,c"), intValue(-1)})), Texts({"a", "b", "c"}));
    EXPECT_EQ(texts(call(r, "split", {textValue("a,b,c"), intValue(0)})), Texts({}));
    EXPECT_EQ(texts(call(r, "split")), Texts({}));
    EXPECT_EQ(texts(call(make({textValue("\\\\")}), "split", {textValue(HYO "\\" HYO)})), Texts({HYO, HYO}));
}

// ==== Patterns the library rejects ====

TEST_F(RegExpTest, RejectedPatternNeverMatches) {
    TJRegExpObject* r = connected({textValue("(a")});
    EXPECT_TRUE(IsNullValue(call(r, "exec", {textValue("(a")})));
    EXPECT_FALSE(ValueToBool(call(r, "test", {textValue("(a")})));
    EXPECT_EQ(texts(call(r, "split", {textValue("a(a")})), Texts({"a(a"}));
    EXPECT_EQ(ValueToString(call(r, "replace", {textValue("x(a"), textValue("y")})), "x(a");
    EXPECT_EQ(memberText(statics, "$0"), "");
}
