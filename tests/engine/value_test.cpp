// Script values: builders, kind tests, typeof names and the conversion table
// to booleans, integers, doubles, characters and texts.
#include <cmath>

#include "engine/core/hooks.h"
#include "valuetest.h"

namespace {

// A stand-in for the String object: a text that converts like one.
class TTextObject : public TJObject {
    RTL_DECLARE_CLASS()
    TTextObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
        SetClassName("String");
    }
    AnsiString text;
    AnsiString ToString(const TJValue*) override { return text; }
};

// Registers TTextObject as the String class for one test.
struct StringClassHook {
    const TClassInfo* previous = JModuleHooks.StringObject;
    StringClassHook() { JModuleHooks.StringObject = &TTextObject::classInfo; }
    ~StringClassHook() { JModuleHooks.StringObject = previous; }
};

}  // namespace

const TClassInfo TTextObject::classInfo = makeClassInfo("TTextObject", &TJObject::classInfo);

TEST(Values, BuildersClearEveryOtherField) {
    TJValue v;
    MakeString("text", v);
    MakeInteger(5, v);
    EXPECT_EQ(v.ValueType, vtInteger);
    EXPECT_EQ(ValueToString(v), "5");
    IJFunctionPtr f = NewFunction();
    MakeFunction(f, v);
    EXPECT_EQ(v.FuncValue.get(), f.get());
    MakeNull(v);
    EXPECT_EQ(v.ValueType, vtNull);
    MakeRegExp("a+b", "gimxyzuv", v);
    EXPECT_EQ(v.StrValue, "a+b");
    EXPECT_EQ(v.regExpFlags(), "gimxyzu");  // seven letters at most
    MakeObject(nullptr, v);
    EXPECT_EQ(v.ValueType, vtNull);
    MakeString(v.StrValue, v);  // a builder given its own field
    EXPECT_EQ(v.ValueType, vtString);
}

TEST(Values, CopiesShareTextAndCountFunctions) {
    TJValue a;
    MakeString("shared bytes", a);
    TJValue b = a;
    EXPECT_TRUE(a.StrValue.sharesWith(b.StrValue));
    IJFunctionPtr f = NewFunction();
    f->SetName("f");
    {
        TJValue x;
        MakeFunction(f, x);
        TJValue y = x;
        EXPECT_EQ(y.FuncValue.get(), f.get());
    }
    EXPECT_EQ(f->GetName(), "f");  // still alive through f
}

// Copies, moves and assignments count only the field the kind names.
TEST(Values, AssignmentsCountTheKindsField) {
    CountingDispatch d;
    TJValue a;
    MakeDispatch(&d, a);
    TJValue b = a;
    EXPECT_EQ(d.refs, 3u);
    TJValue& alias = b;
    b = alias;
    b = std::move(alias);
    EXPECT_EQ(d.refs, 3u);
    EXPECT_EQ(b.DispValue.get(), &d);
    TJValue c = std::move(a);  // the source stays a dispatch value holding none
    EXPECT_EQ(d.refs, 3u);
    EXPECT_EQ(a.ValueType, vtDispatch);
    EXPECT_EQ(a.DispValue, nullptr);
    MakeInteger(7, b);
    EXPECT_EQ(d.refs, 2u);
    c = b;
    EXPECT_EQ(d.refs, 1u);
    EXPECT_EQ(ValueToInteger(c), 7);
    a = textValue("moved text");
    c = std::move(a);
    EXPECT_EQ(c.StrValue, "moved text");
    EXPECT_EQ(a.ValueType, vtString);
    EXPECT_TRUE(a.StrValue.empty());
    b = c;
    EXPECT_TRUE(b.StrValue.sharesWith(c.StrValue));
    MakeDispatch(&d, b);
    c = std::move(b);
    EXPECT_EQ(d.refs, 2u);
    EXPECT_EQ(c.DispValue.get(), &d);
    MakeUndefined(c);
    EXPECT_EQ(d.refs, 1u);
}

TEST(Values, KindTests) {
    TJValue i = intValue(1), d = doubleValue(1.5), s = textValue("x"), n = nullValue(), u;
    EXPECT_TRUE(IsUndefinedValue(&u));
    EXPECT_FALSE(IsUndefinedValue(static_cast<const TJValue*>(nullptr)));
    EXPECT_TRUE(IsUndefinedOrNull(static_cast<const TJValue*>(nullptr)));
    EXPECT_TRUE(IsUndefinedOrNull(&n));
    EXPECT_TRUE(IsNumberValue(&i));
    EXPECT_TRUE(IsNumberValue(&d));
    EXPECT_FALSE(IsNumberValue(&s));
    EXPECT_TRUE(IsStringValue(&s));
    EXPECT_FALSE(IsObjectValue(&n));
    IJFunctionPtr f = NewFunction();
    TJValue fv;
    MakeFunction(f, fv);
    EXPECT_TRUE(IsScriptFunctionValue(&fv));
    f->SetFuncType(ftClass);
    EXPECT_TRUE(IsClassValue(&fv));
    EXPECT_FALSE(IsScriptFunctionValue(&fv));
    f->SetFuncType(ftNamespace);
    EXPECT_TRUE(IsNamespaceValue(&fv));
}

TEST(Values, NumericValues) {
    for (TJValue v : {intValue(3), doubleValue(0.5), boolValue(false), textValue("10"), textValue(" 1.5e3 "),
                      textValue("0x1F")})
        EXPECT_TRUE(IsNumericValue(&v)) << ValueToString(&v).c_str();
    for (TJValue v : {textValue("abc"), textValue(""), textValue("12abc"), undefinedValue(), nullValue(),
                      nanValue(), infinityValue(false)})
        EXPECT_FALSE(IsNumericValue(&v)) << ValueToString(&v).c_str();
}

TEST(Values, ConversionTable) {
    struct Row {
        TJValue value;
        bool b;
        int32_t i;
        double d;
        const char* s;
    };
    TJValue regexp, event, emptyRegexp;
    MakeRegExp("ab", "gi", regexp);
    MakeRegExp("", "", emptyRegexp);
    MakeEvent(TMethod{reinterpret_cast<void*>(1), nullptr}, event);
    const Row rows[] = {
        {undefinedValue(), false, 0, 0.0, "undefined"},
        {nullValue(), false, 0, 0.0, "null"},
        {intValue(-5), true, -5, -5.0, "-5"},
        {intValue(0), false, 0, 0.0, "0"},
        {doubleValue(0.5), false, 0, 0.5, "0.5"},   // truncated to 0: false; halves go to the even 0
        {doubleValue(0.9), false, 1, 0.9, "0.9"},
        {doubleValue(2.5), true, 2, 2.5, "2.5"},
        {doubleValue(3.5), true, 4, 3.5, "3.5"},
        {doubleValue(-2.5), true, -2, -2.5, "-2.5"},
        {doubleValue(3.0), true, 3, 3.0, "3"},
        {doubleValue(0.1), false, 0, 0.1, "0.1"},
        {doubleValue(1e21), true, 0, 1e21, "1E21"},  // beyond 64 bits: integer 0
        {doubleValue(1.5e-7), false, 0, 1.5e-7, "1.5E-7"},
        {textValue(""), false, 0, 0.0, ""},
        {textValue("0"), true, 0, 0.0, "0"},
        {textValue("12"), true, 12, 12.0, "12"},
        {textValue("3.5"), true, 0, 3.5, "3.5"},
        {textValue("abc"), true, 0, 0.0, "abc"},
        {boolValue(true), true, 1, 1.0, "true"},
        {boolValue(false), false, 0, 0.0, "false"},
        {infinityValue(false), true, 0, 0.0, "infinity"},
        {infinityValue(true), true, 0, 0.0, "-infinity"},
        {nanValue(), true, 0, 0.0, "NaN"},
        {regexp, true, 0, 0.0, "/ab/gi"},
        {emptyRegexp, false, 0, 0.0, "//"},
        {event, false, 0, 0.0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.s);
        EXPECT_EQ(ValueToBool(&row.value), row.b);
        EXPECT_EQ(ValueToInteger(&row.value), row.i);
        EXPECT_DOUBLE_EQ(ValueToDouble(&row.value), row.d);
        EXPECT_EQ(ValueToString(&row.value), row.s);
    }
}

TEST(Values, NilFunctionAndDispatchConversions) {
    const TJValue* nil = nullptr;
    EXPECT_FALSE(ValueToBool(nil));
    EXPECT_EQ(ValueToInteger(nil), 0);
    EXPECT_EQ(ValueToDouble(nil), 0.0);
    EXPECT_EQ(ValueToString(nil), "");
    EXPECT_EQ(ValueTypeName(nil), "");

    IJFunctionPtr f = NewFunction();
    f->SetName("handler");
    TJValue fv;
    MakeFunction(f, fv);
    EXPECT_TRUE(ValueToBool(&fv));
    EXPECT_EQ(ValueToInteger(&fv), 0);
    EXPECT_EQ(ValueToString(&fv), "function handler");

    TJValue nilDispatch;
    MakeDispatch(nullptr, nilDispatch);
    EXPECT_FALSE(ValueToBool(&nilDispatch));
    EXPECT_EQ(ValueToString(&nilDispatch), "dispatch0");
    EXPECT_EQ(ValueToDispatch(&nilDispatch), nullptr);
    EXPECT_EQ(ValueToDispatch(&fv), nullptr);
}

TEST(Values, CharactersAndSingles) {
    TJValue v = intValue(321);
    EXPECT_EQ(ValueToChar(&v), 65);
    v = doubleValue(-1.7);  // truncated to -1, low byte 255
    EXPECT_EQ(ValueToChar(&v), 255);
    v = doubleValue(1e300);
    EXPECT_EQ(ValueToChar(&v), 0);
    v = textValue("\x82\xa0");
    EXPECT_EQ(ValueToChar(&v), 0x82);
    v = textValue("");
    EXPECT_EQ(ValueToChar(&v), 0);
    v = boolValue(true);
    EXPECT_EQ(ValueToChar(&v), 1);
    v = nullValue();
    EXPECT_EQ(ValueToChar(&v), 0);
    v = doubleValue(0.1);
    EXPECT_EQ(ValueToSingle(&v), 0.1f);
}

TEST(Values, TextsReadAsNumbers) {
    TJValue v = textValue("0x10");
    EXPECT_EQ(ValueToInteger(&v), 16);
    EXPECT_EQ(ValueToDouble(&v), 16.0);
    v = textValue("-2147483648");
    EXPECT_EQ(ValueToInteger(&v), INT32_MIN);
    v = textValue("2147483648");  // beyond 32 bits: not an integer, but a double
    EXPECT_EQ(ValueToInteger(&v), 0);
    EXPECT_EQ(ValueToDouble(&v), 2147483648.0);
    v = doubleValue(4294967301.0);  // whole doubles beyond 32 bits keep their low bits
    EXPECT_EQ(ValueToInteger(&v), 5);
}

TEST(Values, TypeNames) {
    FakeRuntime engine;
    StringClassHook hook;
    TTextObject* text = createObject<TTextObject>(&engine, true, nullptr);
    TJValue regexp, event, dispatch, fv;
    MakeRegExp("x", "", regexp);
    MakeEvent(TMethod{}, event);
    MakeDispatch(nullptr, dispatch);
    MakeFunction(NewFunction(), fv);
    struct Row {
        TJValue value;
        const char* name;
    } rows[] = {
        {intValue(1), "number"},     {doubleValue(1.5), "number"}, {nanValue(), "number"},
        {infinityValue(true), "number"}, {objectValue(text), "object"}, {textValue("s"), "string"},
        {regexp, "regexp"},          {boolValue(true), "boolean"}, {fv, "function"},
        {undefinedValue(), "undefined"}, {nullValue(), "null"},     {dispatch, "dispatch"},
        {event, "event"},
    };
    for (const Row& row : rows) EXPECT_EQ(ValueTypeName(&row.value), row.name);
    EXPECT_STREQ(ValueKindName(vtInfinity), "vtInfinity");
    EXPECT_STREQ(ValueKindName(vtEvent), "vtEvent");
}

TEST(Values, StringObjectsAreStringLike) {
    FakeRuntime engine;
    StringClassHook hook;
    TTextObject* text = createObject<TTextObject>(&engine, true, nullptr);
    text->text = "42";
    TJValue v = objectValue(text);
    EXPECT_TRUE(IsStringValue(&v));
    EXPECT_TRUE(IsStringObjectValue(&v));
    EXPECT_FALSE(IsNumberObjectValue(&v));
    EXPECT_TRUE(IsNumericValue(&v));
    EXPECT_EQ(ValueToString(&v), "42");
    TJObject* plain = createObject<TJObject>(&engine, true, nullptr);
    TJValue p = objectValue(plain);
    EXPECT_FALSE(IsStringValue(&p));
    EXPECT_EQ(ValueToString(&p), "[object Object]");
    EXPECT_TRUE(ValueToBool(&p));
}
