// The String object through its registered methods: character positions over
// code page 932 (trail bytes 0x40, 0x41 and 0x5C never taken for ASCII), the
// slicing and search rules, index reads and writes, the HTML wrappers, the
// regular-expression methods, size refusals and the code conversions.
#include <climits>

#include "engine/core/array.h"
#include "engine/support/crypt.h"
#include "engine/core/hooks.h"
#include "engine/eval/engine.h"
#include "engine/lib/builtins.h"
#include "engine/lib/regexpobject.h"
#include "engine/lib/stringobject.h"
#include "valuetest.h"

// Code page 932 characters: the trail byte of each is also an ASCII byte.
#define HYO "\x95\x5C"     // 表, trail "\"
#define SO "\x83\x5C"      // ソ, trail "\"
#define KANA_A "\x83\x41"  // ア, trail "A"
#define SPACE_W "\x81\x40" // full-width space, trail "@"
#define HIRA_A "\x82\xA0"  // あ

namespace {

class StringTest : public ::testing::Test {
protected:
    TJStringObject* make(const AnsiString& text) {
        TJStringObject* s = createObject<TJStringObject>(&engine, true, nullptr);
        s->SetText(text);
        return s;
    }

    // Calls a registered method of the object with the given arguments.
    TJValue call(TJObject* o, const char* name, std::initializer_list<TJValue> args = {}) {
        TJValue f, result;
        o->GetValue(name, false, f);
        EXPECT_EQ(f.ValueType, vtFunction) << name;
        if (args.size() == 0) {
            CallNativeMethod(f.FuncValue.get(), nullptr, result);
            return result;
        }
        TJValueList list;
        for (const TJValue& arg : args) list.Add(arg);
        CallNativeMethod(f.FuncValue.get(), &list, result);
        return result;
    }
    TJValue call(const AnsiString& text, const char* name, std::initializer_list<TJValue> args = {}) {
        return call(make(text), name, args);
    }
    AnsiString text(const AnsiString& s, const char* name, std::initializer_list<TJValue> args = {}) {
        TJValue v = call(s, name, args);
        EXPECT_EQ(v.ValueType, vtString) << name;
        return v.StrValue;
    }
    int32_t number(const AnsiString& s, const char* name, std::initializer_list<TJValue> args = {}) {
        TJValue v = call(s, name, args);
        EXPECT_EQ(v.ValueType, vtInteger) << name;
        return v.IntegerValue;
    }

    static std::vector<AnsiString> texts(const TJValue& v) {
        std::vector<AnsiString> out;
        EXPECT_EQ(v.ValueType, vtObject);
        if (v.ValueType != vtObject) return out;
        auto* array = static_cast<TJArrayObject*>(v.ObjValue);
        for (int i = 0; i < array->Items().Count(); ++i) out.push_back(ValueToString(&array->Items().At(i)));
        return out;
    }

    // A reference as a script variable would hold (the engine frees it at the end).
    template <class T>
    static T* held(T* object) {
        object->IncRef();
        return object;
    }

    TJValue index(TJObject* o, const char* name) {
        TJValue v;
        o->GetValue(name, true, v);
        return v;
    }
    TJValue range(TJObject* o, TJValue a, TJValue b) {
        TJValueList list;
        list.Add(a);
        list.Add(b);
        TJValue v;
        o->GetValue(ValueToString(a), true, v, &list);
        return v;
    }
    void setRange(TJObject* o, TJValue a, TJValue b, const char* text) {
        TJValueList list;
        list.Add(a);
        list.Add(b);
        o->SetValue(ValueToString(a), textValue(text), &list);
    }

    FakeRuntime engine;
};

using Texts = std::vector<AnsiString>;

}  // namespace

// ==== Characters ====

TEST_F(StringTest, DoubleByteCharacterCountsOnceExceptInSizeOf) {
    TJStringObject* s = make("a" HYO "b");
    TJValue length;
    s->GetValue("length", false, length);
    EXPECT_EQ(ValueToInteger(length), 3);
    EXPECT_EQ(number("a" HYO "b", "sizeOf"), 4);
    EXPECT_EQ(text("a" HYO "b", "charAt", {intValue(1)}), HYO);
    EXPECT_EQ(number("a" HYO "b", "charCodeAt", {intValue(1)}), 0x955C);
    EXPECT_EQ(number("a" HYO "b", "charCodeAt", {intValue(2)}), 'b');
    EXPECT_EQ(number("\xFF", "charCodeAt", {intValue(0)}), 255);  // unsigned
    EXPECT_EQ(text("a" HYO "b", "reverse"), "b" HYO "a");
    EXPECT_EQ(text(SO KANA_A, "reverse"), KANA_A SO);
    EXPECT_TRUE(s->IsArrayLike());
    EXPECT_EQ(s->GetLength(), 3);
    TJValue item;
    s->GetItem(1, item);
    EXPECT_EQ(item.StrValue, HYO);
    s->GetItem(3, item);
    EXPECT_EQ(item.StrValue, "");
    s->GetItem(-1, item);
    EXPECT_EQ(item.StrValue, "");
}

TEST_F(StringTest, CharacterReadsOutsideTheText) {
    EXPECT_TRUE(IsUndefinedValue(call("abc", "concat")));
    EXPECT_EQ(text("abc", "charAt", {intValue(5)}), "");
    EXPECT_EQ(text("abc", "charAt", {intValue(-1)}), "");
    EXPECT_EQ(text("abc", "charAt"), "");
    EXPECT_EQ(text("abc", "charAt", {intValue(INT_MAX)}), "");
    EXPECT_EQ(call("abc", "charCodeAt", {intValue(5)}).ValueType, vtNaN);
    EXPECT_EQ(call("abc", "charCodeAt").ValueType, vtNaN);
    EXPECT_EQ(text("abc", "concat", {textValue("d"), intValue(1), boolValue(true)}), "abcd1true");
}

TEST_F(StringTest, SlicingRules) {
    EXPECT_EQ(text("abc", "substr", {intValue(-1), intValue(2)}), "ab");
    EXPECT_EQ(text("abcde", "substr", {intValue(1)}), "bcde");
    EXPECT_EQ(text("abcde", "substr", {intValue(1), intValue(0)}), "");
    EXPECT_EQ(text("abcde", "slice", {intValue(-2)}), "de");
    EXPECT_EQ(text("abcde", "slice", {intValue(0), intValue(-1)}), "abcd");
    EXPECT_EQ(text("abcde", "slice", {intValue(-9)}), "abcde");
    EXPECT_EQ(text("abcde", "slice", {intValue(INT_MAX), intValue(INT_MIN)}), "");
    EXPECT_EQ(text("abcde", "substring", {intValue(3), intValue(1)}), "bc");
    EXPECT_EQ(text("abcde", "substring", {intValue(-5), intValue(2)}), "ab");
    EXPECT_EQ(text("abcde", "substring", {intValue(2)}), "cde");
    EXPECT_EQ(text(HYO SO "x" KANA_A, "slice", {intValue(1), intValue(3)}), SO "x");
    EXPECT_EQ(text(HYO SO "x" KANA_A, "substr", {intValue(-1), intValue(1)}), HYO);
    EXPECT_EQ(text(HYO SO "x" KANA_A, "substring", {intValue(4), intValue(3)}), KANA_A);
    EXPECT_TRUE(IsUndefinedValue(call("abc", "slice")));
}

TEST_F(StringTest, IndexOfAndLastIndexOf) {
    EXPECT_EQ(number("abcabc", "indexOf", {textValue("bc"), intValue(2)}), 4);
    EXPECT_EQ(number("abcabc", "indexOf", {textValue("bc")}), 1);
    EXPECT_EQ(number("abcabc", "indexOf", {textValue("bc"), intValue(-3)}), 1);
    EXPECT_EQ(number("abcabc", "lastIndexOf", {textValue("bc")}), 4);
    EXPECT_EQ(number("abcabc", "lastIndexOf", {textValue("bc"), intValue(3)}), 1);
    EXPECT_EQ(number("abcabc", "lastIndexOf", {textValue("bc"), intValue(0)}), -1);
    EXPECT_EQ(number("abcabc", "lastIndexOf", {textValue("ab"), intValue(0)}), 0);
    EXPECT_EQ(number("abcabc", "indexOf", {textValue("")}), -1);
    EXPECT_EQ(number("abcabc", "lastIndexOf", {textValue("")}), -1);
    EXPECT_EQ(number("", "indexOf", {textValue("a")}), -1);
    EXPECT_EQ(number("abc", "indexOf", {textValue("x")}), -1);
    EXPECT_TRUE(IsUndefinedValue(call("abc", "indexOf")));
}

TEST_F(StringTest, SearchesNeverMatchATrailByte) {
    // The trail byte 0x5C of 表 and ソ is not the backslash, 0x41 of ア is not "A".
    EXPECT_EQ(number(HYO SO "\\", "indexOf", {textValue("\\")}), 2);
    EXPECT_EQ(number(HYO "\\" SO, "lastIndexOf", {textValue("\\")}), 1);
    EXPECT_EQ(number(KANA_A "A", "indexOf", {textValue("A")}), 1);
    EXPECT_EQ(number(KANA_A, "indexOf", {textValue("A")}), -1);
    EXPECT_EQ(number(SPACE_W "@", "lastIndexOf", {textValue("@")}), 1);
    EXPECT_EQ(number("x" HYO "y" HYO, "indexOf", {textValue(HYO), intValue(2)}), 3);
    EXPECT_EQ(number("x" HYO "y" HYO, "lastIndexOf", {textValue(HYO), intValue(2)}), 1);
    // search counts bytes, indexOf characters.
    EXPECT_EQ(number(HYO "b", "search", {textValue("b")}), 2);
    EXPECT_EQ(number(HYO "b", "indexOf", {textValue("b")}), 1);
}

TEST_F(StringTest, FromCharCodeBuildsBytes) {
    EXPECT_EQ(text("ignored", "fromCharCode", {intValue(0x82A0)}), HIRA_A);
    EXPECT_EQ(text("", "fromCharCode", {intValue(65)}), "A");
    EXPECT_EQ(text("", "fromCharCode", {intValue(0x955C), intValue(0x41), intValue(0x10042)}), HYO "AB");
    EXPECT_TRUE(IsUndefinedValue(call("abc", "fromCharCode")));
}

TEST_F(StringTest, MultiplyRepeatsAndRefusesHugeResults) {
    EXPECT_EQ(text("abc", "multiply", {intValue(3)}), "abcabcabc");
    EXPECT_EQ(text("ab", "multiply", {intValue(0)}), "");
    EXPECT_EQ(text("ab", "multiply", {intValue(-2)}), "");
    EXPECT_EQ(text("", "multiply", {intValue(5)}), "");
    EXPECT_EQ(text("ab", "multiply"), "");
    EXPECT_SCRIPT_ERROR(call("abcd", "multiply", {intValue(INT_MAX)}), "EStringError", "string too long");
    EXPECT_SCRIPT_ERROR(call(AnsiString(1 << 20, 'x'), "multiply", {intValue(257)}), "EStringError",
                        "string too long");
    EXPECT_NO_THROW(CheckStringSize(MaxStringSize));
    EXPECT_SCRIPT_ERROR(CheckStringSize(MaxStringSize + 1), "EStringError", "string too long");
}

TEST_F(StringTest, TrimRemovesBlanksAndControlBytesOnly) {
    EXPECT_EQ(text("\t a b \r\n", "trim"), "a b");
    EXPECT_EQ(text("\t a b \r\n", "trimLeft"), "a b \r\n");
    EXPECT_EQ(text("\t a b \r\n", "trimRight"), "\t a b");
    EXPECT_EQ(text(" \x81\x40 ", "trim"), SPACE_W);  // high bytes are not blanks
    EXPECT_EQ(text("   ", "trim"), "");
}

TEST_F(StringTest, LocaleCompare) {
    EXPECT_EQ(number("a", "localeCompare", {textValue("b")}), -1);
    EXPECT_EQ(number("b", "localeCompare", {textValue("a")}), 1);
    EXPECT_EQ(number("abc", "localeCompare", {textValue("abc")}), 0);
    EXPECT_NE(number("abc", "localeCompare", {textValue("ABC")}), 0);  // case-sensitive
}

TEST_F(StringTest, HtmlWrappers) {
    EXPECT_EQ(text("x", "anchor", {textValue("n")}), "<A NAME=\"n\">x</A>");
    EXPECT_EQ(text("x", "link", {textValue("http://h/")}), "<A HREF=\"http://h/\">x</A>");
    EXPECT_EQ(text("x", "fontcolor", {textValue("red")}), "<FONT COLOR=\"red\">x</FONT>");
    EXPECT_EQ(text("x", "fontsize", {intValue(3)}), "<FONT SIZE=\"3\">x</FONT>");
    EXPECT_TRUE(IsUndefinedValue(call("x", "anchor")));
    EXPECT_EQ(text("x", "big"), "<BIG>x</BIG>");
    EXPECT_EQ(text("x", "blink"), "<BLINK>x</BLINK>");
    EXPECT_EQ(text("x", "bold"), "<B>x</B>");
    EXPECT_EQ(text("x", "fixed"), "<TT>x</TT>");
    EXPECT_EQ(text("x", "italics"), "<I>x</I>");
    EXPECT_EQ(text("x", "small"), "<SMALL>x</SMALL>");
    EXPECT_EQ(text("x", "strike"), "<STRIKE>x</STRIKE>");
    EXPECT_EQ(text("x", "sub"), "<SUB>x</SUB>");
    EXPECT_EQ(text("x", "sup"), "<SUP>x</SUP>");
}

// ==== Index access ====

TEST_F(StringTest, IndexReads) {
    TJStringObject* s = make("a" HYO "c");
    EXPECT_EQ(index(s, "1").StrValue, HYO);
    EXPECT_EQ(index(s, "-1").StrValue, "c");
    EXPECT_EQ(index(s, "-3").StrValue, "a");
    EXPECT_SCRIPT_ERROR(index(s, "10"), "EIndexError", "10");
    EXPECT_SCRIPT_ERROR(index(s, "3"), "EIndexError", "3");
    EXPECT_SCRIPT_ERROR(index(s, "-4"), "EIndexError", "-4");
    EXPECT_SCRIPT_ERROR(index(s, "x1"), "EIndexError", "x1");
    EXPECT_SCRIPT_ERROR(index(s, "1.5"), "EIndexError", "1.5");
    // A name the object knows still reads through brackets.
    EXPECT_EQ(ValueToInteger(index(s, "length")), 3);
    EXPECT_EQ(range(s, intValue(1), intValue(3)).StrValue, HYO "c");
    EXPECT_EQ(range(s, intValue(0), intValue(-1)).StrValue, "a" HYO);
    // A member read outside key-error mode is an ordinary member read.
    TJValue v;
    EXPECT_SCRIPT_ERROR(s->GetValue("nothing", false, v), "ENameError", "nothing");
}

TEST_F(StringTest, IndexWritesReplaceCharactersInPlace) {
    TJStringObject* s = make("abc");
    s->SetValue("2", textValue("XY"));
    EXPECT_EQ(s->Text(), "abXY");
    EXPECT_EQ(s->lengthProperty(), 4);
    TJStringObject* t = make("abc");
    t->SetValue("1", textValue("XY"));
    EXPECT_EQ(t->Text(), "aXYc");
    t->SetValue("-1", textValue(""));
    EXPECT_EQ(t->Text(), "aXY");
    TJStringObject* j = make("a" HYO "b");
    j->SetValue("1", textValue(SO SO));
    EXPECT_EQ(j->Text(), "a" SO SO "b");
    j->SetValue("3", intValue(7));
    EXPECT_EQ(j->Text(), "a" SO SO "7");
    EXPECT_SCRIPT_ERROR(j->SetValue("4", textValue("z")), "EIndexError", "4");
    EXPECT_SCRIPT_ERROR(j->SetValue("-5", textValue("z")), "EIndexError", "-5");
    EXPECT_EQ(j->Text(), "a" SO SO "7");
    // A name that is not a number is an ordinary member.
    j->SetValue("tag", intValue(5));
    EXPECT_EQ(ValueToInteger(index(j, "tag")), 5);
    EXPECT_EQ(j->Text(), "a" SO SO "7");
}

TEST_F(StringTest, RangeWritesSpliceTheText) {
    TJStringObject* s = make("abcde");
    setRange(s, intValue(1), intValue(3), "XYZ");
    EXPECT_EQ(s->Text(), "aXYZde");
    setRange(s, intValue(4), intValue(6), "!");  // the replaced characters end the text
    EXPECT_EQ(s->Text(), "aXYZ!");
    setRange(s, intValue(-1), intValue(5), "?");  // a start 0 or below counts from the end
    EXPECT_EQ(s->Text(), "aXYZ?");
    setRange(s, intValue(0), intValue(-2), "<");  // so does an end
    EXPECT_EQ(s->Text(), "<Z?");
    setRange(s, intValue(2), intValue(0), "-");   // an end before the start removes nothing
    EXPECT_EQ(s->Text(), "<Z-?");
    s->SetText("aXYZ?");
    setRange(s, intValue(5), intValue(5), "+");   // one past the end appends
    EXPECT_EQ(s->Text(), "aXYZ?+");
    setRange(s, intValue(9), intValue(12), "#");  // further out inserts nothing
    EXPECT_EQ(s->Text(), "aXYZ?+");
    TJStringObject* j = make(HYO KANA_A SO);
    setRange(j, intValue(1), intValue(2), "-");
    EXPECT_EQ(j->Text(), HYO "-" SO);
}

// ==== Object model ====

TEST_F(StringTest, ConversionsAndProperties) {
    TJValueList args;
    args.AddInteger(42);
    TJStringObject* s = createObject<TJStringObject>(&engine, true, &args);
    EXPECT_EQ(s->Text(), "42");
    EXPECT_EQ(s->ScriptClassName(), "String");
    EXPECT_DOUBLE_EQ(s->ToNumber(), 42.0);
    EXPECT_TRUE(s->ToBool());
    EXPECT_EQ(s->ToChar(), '4');
    EXPECT_EQ(s->ValueOf().ValueType, vtString);
    EXPECT_EQ(s->ValueOf().StrValue, "42");
    EXPECT_EQ(make("3.5")->ToNumber(), 3.5);
    EXPECT_FALSE(make("")->ToBool());
    EXPECT_EQ(make("")->ToChar(), 0);
    EXPECT_EQ(make("\x95\x5C")->ToChar(), 0x95);
    EXPECT_EQ(text("abc", "toString"), "abc");
    TJValue sv = objectValue(s);
    EXPECT_TRUE(IsStringValue(&sv));
    EXPECT_TRUE(IsStringObjectValue(&sv));
    EXPECT_EQ(ValueToString(&sv), "42");

    s->SetValue("text", textValue("new"));
    EXPECT_EQ(s->Text(), "new");
    s->SetValue("str", textValue("other"));
    TJValue read;
    s->GetValue("text", false, read);
    EXPECT_EQ(read.StrValue, "other");
    s->GetValue("STR", false, read);
    EXPECT_EQ(read.StrValue, "other");

    TJStringObject* empty = createObject<TJStringObject>(&engine, true, nullptr);
    EXPECT_EQ(empty->Text(), "");
}

TEST_F(StringTest, RegisteredWithEveryEngine) {
    TJEngine real(&RegisterBuiltins);
    EXPECT_EQ(real.GetFactory()->LookupClass("String"), &TJStringObject::classInfo);
    EXPECT_EQ(JModuleHooks.StringObject, &TJStringObject::classInfo);
    TJValueList args;
    args.AddString("boxed");
    TJObject* boxed = real.CreateScriptObject("String", &args);
    EXPECT_EQ(boxed->ToString(), "boxed");
}

// ==== Regular-expression methods ====

TEST_F(StringTest, MatchWithPatternAndFlags) {
    EXPECT_EQ(texts(call("a1b22c", "match", {textValue("\\d+")})), Texts({"1"}));
    EXPECT_EQ(texts(call("a1b22c", "match", {textValue("\\d+"), textValue("g")})), Texts({"1", "22"}));
    EXPECT_EQ(texts(call("ABab", "match", {textValue("a"), textValue("gi")})), Texts({"A", "a"}));
    EXPECT_TRUE(IsNullValue(call("abc", "match", {textValue("x")})));
    TJValue literal;
    MakeRegExp("b", "g", literal);
    EXPECT_EQ(texts(call("abcb", "match", {literal})), Texts({"b", "b"}));
    // A Japanese text: the trail byte of 表 is no backslash.
    EXPECT_EQ(texts(call(HYO "\\" SO, "match", {textValue("\\\\"), textValue("g")})), Texts({"\\"}));
    EXPECT_TRUE(IsUndefinedValue(call("abc", "match")));
}

TEST_F(StringTest, TemporaryRegExpObjectsAreFreed) {
    int before = engine.factory.Objects().Count();
    call("abc", "search", {textValue("b")});  // the String object stays, the RegExp and its Array go
    call("abc", "replace", {textValue("b"), textValue("x")});
    EXPECT_EQ(engine.factory.Objects().Count(), before + 2);
}

TEST_F(StringTest, MatchWithARegExpObjectChangesItsState) {
    TJRegExpObject* regExp = held(createObject<TJRegExpObject>(&engine, true, nullptr));
    regExp->RegExp().SetSource("b(c)");
    TJValue result = call("abcbc", "match", {objectValue(regExp)});
    EXPECT_EQ(texts(result), Texts({"bc"}));
    EXPECT_EQ(regExp->indexProperty(), 1);
    TJValue group;
    regExp->GetValue("$1", false, group);
    EXPECT_EQ(group.StrValue, "c");
    EXPECT_EQ(regExp->RefCount(), 1);  // the call's reference is gone again
}

TEST_F(StringTest, SearchGivesTheByteIndex) {
    EXPECT_EQ(number("abcbc", "search", {textValue("c")}), 2);
    EXPECT_EQ(number("abc", "search", {textValue("x")}), -1);
    EXPECT_EQ(number(HYO SO "x", "search", {textValue("x")}), 4);
    EXPECT_EQ(number("aBc", "search", {textValue("b"), textValue("i")}), 1);
}

TEST_F(StringTest, ReplaceArgumentForms) {
    EXPECT_EQ(text("abab", "replace", {textValue("b"), textValue("X")}), "aXab");
    EXPECT_EQ(text("abab", "replace", {textValue("b"), textValue("g"), textValue("X")}), "aXaX");
    EXPECT_EQ(text("abab", "replace", {textValue("(b)"), textValue("g"), textValue("[$1$&]")}), "a[bb]a[bb]");
    // With two arguments the replacement is also the flag text.
    EXPECT_EQ(text("aaa", "replace", {textValue("a"), textValue("g")}), "ggg");
    EXPECT_EQ(text("abab", "replace", {textValue("b")}), "aab");
    TJRegExpObject* regExp = held(createObject<TJRegExpObject>(&engine, true, nullptr));
    regExp->RegExp().SetSource("b");
    regExp->RegExp().SetGlobal(true);
    EXPECT_EQ(text("abab", "replace", {objectValue(regExp), textValue("-")}), "a-a-");
    EXPECT_EQ(text("abab", "replace", {objectValue(regExp), undefinedValue()}), "aa");
    EXPECT_EQ(text("abab", "replace", {objectValue(regExp)}), "aa");
    // A pattern the library rejects leaves the text as it is.
    EXPECT_EQ(text("a(b", "replace", {textValue("("), textValue("x")}), "a(b");
    EXPECT_EQ(text(HYO "\\", "replace", {textValue("\\\\"), textValue("g"), textValue("/")}), HYO "/");
}

TEST_F(StringTest, ReplaceWithAFunction) {
    TJValue f = engine.scriptFunction([](TJValueList* args, TJValue& result, TJObject*) {
        MakeString("<" + ValueToString(&args->At(0)) + ":" + ValueToString(&args->At(1)) + ">", result);
    });
    EXPECT_EQ(text("abcb", "replace", {textValue("b"), textValue("g"), f}), "a<b:1>c<b:3>");
}

TEST_F(StringTest, SplitArgumentForms) {
    EXPECT_EQ(texts(call("a-b-c", "split", {textValue("-"), intValue(2)})), Texts({"a", "b"}));
    EXPECT_EQ(texts(call("a-b-c", "split", {textValue("-")})), Texts({"a", "b", "c"}));
    EXPECT_EQ(texts(call("a-b-c", "split", {textValue("-"), textValue("2")})), Texts({"a", "b"}));
    EXPECT_EQ(texts(call("aXbxc", "split", {textValue("x"), textValue("i"), intValue(5)})), Texts({"a", "b", "c"}));
    EXPECT_EQ(texts(call("aXbxc", "split", {textValue("x"), textValue("i")})), Texts({"a", "b", "c"}));
    EXPECT_EQ(texts(call("a-b-c", "split", {textValue("-"), intValue(0)})), Texts({}));
    EXPECT_EQ(texts(call(HYO "," SO, "split", {textValue(",")})), Texts({HYO, SO}));
    EXPECT_EQ(texts(call(HYO SO, "split", {textValue("\\\\")})), Texts({HYO SO}));
    TJRegExpObject* regExp = held(createObject<TJRegExpObject>(&engine, true, nullptr));
    regExp->RegExp().SetSource(",");
    EXPECT_EQ(texts(call("a,b,c", "split", {objectValue(regExp), intValue(2)})), Texts({"a", "b"}));
    EXPECT_EQ(texts(call("a,b,c", "split", {objectValue(regExp)})), Texts({"a", "b", "c"}));
}

// ==== Case, width and code conversions ====

TEST_F(StringTest, CaseMappingKeepsDoubleByteCharacters) {
    EXPECT_EQ(text("AbC1", "toLowerCase"), "abc1");
    EXPECT_EQ(text("AbC1", "toUpperCase"), "ABC1");
    // The trail byte 0x41 of ア is not the letter A.
    EXPECT_EQ(text(KANA_A "A", "toLowerCase"), KANA_A "a");
    EXPECT_EQ(text(SO "a" HYO, "toUpperCase"), SO "A" HYO);
}

TEST_F(StringTest, WidthAndKana) {
    EXPECT_EQ(text("abc", "toZenkaku"), "\x82\x81\x82\x82\x82\x83");
    EXPECT_EQ(text("\x82\x81\x82\x82\x82\x83", "toHankaku"), "abc");
    EXPECT_EQ(text(KANA_A, "toHiragana"), HIRA_A);
    EXPECT_EQ(text(HIRA_A, "toKatakana"), KANA_A);
    EXPECT_EQ(text("\xB1", "toZenkaku"), KANA_A);  // half-width ｱ
}

TEST_F(StringTest, JapaneseCodeConversions) {
    // ん followed by x: its EUC-JP trail byte 0xF3 tells EUC-JP from Shift-JIS.
    const AnsiString sjis = "\x82\xF1x";
    const AnsiString jis = "\x1B$B\x24\x73\x1B(Jx";
    const AnsiString euc = "\xA4\xF3x";
    EXPECT_EQ(text(sjis, "toJIS"), jis);
    EXPECT_EQ(text(sjis, "toEUC"), euc);
    EXPECT_EQ(text(jis, "toSJIS"), sjis);
    EXPECT_EQ(text(euc, "toSJIS"), sjis);
    EXPECT_EQ(text(jis, "toEUC"), euc);
    EXPECT_EQ(text(euc, "toJIS"), jis);
    EXPECT_EQ(text(sjis, "toSJIS"), sjis);             // already in the target code
    EXPECT_EQ(text("plain", "toJIS"), "plain");        // nothing Japanese
    EXPECT_EQ(text("\xA4\xA2", "toSJIS"), "\xA4\xA2");  // EUC-JP or Shift-JIS: undecided
    EXPECT_EQ(text(jis, "fromJIStoSJIS"), sjis);
    EXPECT_EQ(text(jis, "fromJIStoEUC"), euc);
    EXPECT_EQ(text(euc, "fromEUCtoSJIS"), sjis);
    EXPECT_EQ(text(euc, "fromEUCtoJIS"), jis);
    EXPECT_EQ(text(sjis, "fromSJIStoEUC"), euc);
    EXPECT_EQ(text(sjis, "fromSJIStoJIS"), jis);
    // Half-width ｶ and the voiced-sound sign become one full-width ガ.
    EXPECT_EQ(text("\xB6\xDE", "fromSJIStoJIS"), "\x1B$B\x25\x2C");
}

TEST_F(StringTest, UnicodeConversions) {
    // toWide: UTF-16LE code units as bytes, no terminator.
    EXPECT_EQ(text("a" HIRA_A, "toWide"), AnsiString("a\0\x42\x30", 4));
    EXPECT_EQ(text("", "toWide"), "");
    EXPECT_EQ(text("a" HIRA_A HYO, "toUTF8"), "a\xE3\x81\x82\xE8\xA1\xA8");
    EXPECT_EQ(text("a\xE3\x81\x82\xE8\xA1\xA8", "fromUTF8toSJIS"), "a" HIRA_A HYO);
    EXPECT_EQ(text("\xB1", "toUTF8"), "\xEF\xBD\xB1");  // half-width kana: three bytes
}

TEST_F(StringTest, CryptUsesTheTextAsKey) {
    TCrypt3 reference;
    EXPECT_EQ(text("secret", "crypt", {textValue("ab")}), reference.Crypt("secret", "ab"));
    EXPECT_EQ(text("secret", "crypt", {textValue("ab")}), "abNANd1rDfiNc");  // as a Unix crypt(3) gives
    EXPECT_EQ(text("secret", "crypt"), "");
}
