// The Number and Boolean objects: construction from every kind of value, the
// published properties, the constants, radix texts and the formatting methods,
// and how script values convert and compare through them.
#include <cmath>
#include <limits>

#include "engine/eval/engine.h"
#include "engine/lib/builtins.h"
#include "engine/lib/number.h"
#include "engine/core/operators.h"
#include "valuetest.h"

namespace {

class NumberFixture : public ::testing::Test {
protected:
    TJNumberObject* number(std::initializer_list<TJValue> values = {}) {
        TJValueList args;
        for (const TJValue& v : values) args.Add(v);
        return createObject<TJNumberObject>(&engine, true, values.size() ? &args : nullptr);
    }
    TJBooleanObject* boolean(std::initializer_list<TJValue> values = {}) {
        TJValueList args;
        for (const TJValue& v : values) args.Add(v);
        return createObject<TJBooleanObject>(&engine, true, values.size() ? &args : nullptr);
    }
    static TJValue member(TJObject* o, const char* name) {
        TJValue v;
        o->GetValue(name, false, v);
        return v;
    }
    static TJValue call(TJObject* o, const char* name, std::initializer_list<TJValue> values = {}) {
        TJValueList args;
        for (const TJValue& v : values) args.Add(v);
        TJValue f, result;
        o->GetValue(name, false, f);
        EXPECT_EQ(f.ValueType, vtFunction) << name;
        CallNativeMethod(f.FuncValue.get(), values.size() ? &args : nullptr, result);
        return result;
    }
    static AnsiString text(TJObject* o, const char* name, std::initializer_list<TJValue> values = {}) {
        return ValueToString(call(o, name, values));
    }

    FakeRuntime engine;
};

}  // namespace

// ==== Construction ====

TEST_F(NumberFixture, KeepsANumericArgumentInItsKind) {
    TJValue v = number({intValue(5)})->ValueOf();
    EXPECT_EQ(v.ValueType, vtInteger);
    EXPECT_EQ(v.IntegerValue, 5);
    v = number({doubleValue(2.5)})->ValueOf();
    EXPECT_EQ(v.ValueType, vtDouble);
    v = number({textValue("12")})->ValueOf();
    EXPECT_EQ(v.ValueType, vtString);
    EXPECT_EQ(v.StrValue, "12");
    v = number({boolValue(true)})->ValueOf();
    EXPECT_EQ(v.ValueType, vtBool);
}

TEST_F(NumberFixture, AnythingElseIsTheIntegerZero) {
    for (TJValue arg : {textValue("x"), nullValue(), undefinedValue(), nanValue(), infinityValue(false)}) {
        TJValue v = number({arg})->ValueOf();
        EXPECT_EQ(v.ValueType, vtInteger) << ValueToString(arg).c_str();
        EXPECT_EQ(v.IntegerValue, 0);
    }
    TJValue v = number()->ValueOf();
    EXPECT_EQ(v.ValueType, vtInteger);
    EXPECT_EQ(v.IntegerValue, 0);
}

// A Number object argument hands over its value, not itself.
TEST_F(NumberFixture, CopiesTheValueOfAnotherNumberObject) {
    TJNumberObject* first = number({doubleValue(7.25)});
    first->IncRef();  // as a variable holds it
    TJNumberObject* second = number({objectValue(first)});
    EXPECT_EQ(second->NumberValue().ValueType, vtDouble);
    EXPECT_EQ(second->NumberValue().DoubleValue, 7.25);
    EXPECT_EQ(first->RefCount(), 1);
    second->SetNumberValue(objectValue(first));
    EXPECT_EQ(second->NumberValue().ValueType, vtDouble);
    EXPECT_EQ(first->RefCount(), 1);
    first->DecRef();
}

TEST_F(NumberFixture, RegistersAndBoxes) {
    TJEngine real(&RegisterBuiltins);
    EXPECT_EQ(real.GetFactory()->LookupClass("Number"), &TJNumberObject::classInfo);
    EXPECT_EQ(real.GetFactory()->LookupClass("Boolean"), &TJBooleanObject::classInfo);
    TJNumberObject* boxed = NewNumberObject(&engine, intValue(9));
    EXPECT_EQ(boxed->ScriptClassName(), "Number");
    EXPECT_EQ(boxed->NumberValue().IntegerValue, 9);
    EXPECT_TRUE(engine.factory.Objects().IndexOf(boxed) >= 0);
    TJBooleanObject* flag = NewBooleanObject(&engine, true);
    EXPECT_EQ(flag->ScriptClassName(), "Boolean");
    EXPECT_TRUE(flag->ToBool());
    EXPECT_TRUE(engine.factory.Objects().IndexOf(flag) >= 0);
}

// ==== Published properties ====

TEST_F(NumberFixture, IntAndNumberProperties) {
    EXPECT_EQ(ValueToInteger(member(number({textValue("12")}), "int")), 12);
    TJValue n = member(number({textValue("x")}), "number");
    EXPECT_EQ(n.ValueType, vtDouble);
    EXPECT_EQ(n.DoubleValue, 0.0);
    TJValue i = member(number({doubleValue(2.5)}), "int");
    EXPECT_EQ(i.ValueType, vtInteger);
    EXPECT_EQ(i.IntegerValue, 2);
    EXPECT_EQ(member(number({doubleValue(3.5)}), "int").IntegerValue, 4);
    EXPECT_EQ(member(number({intValue(3)}), "number").DoubleValue, 3.0);
    // Property names are not case-sensitive.
    EXPECT_EQ(member(number({intValue(3)}), "INT").IntegerValue, 3);
}

TEST_F(NumberFixture, WritingPropertiesSetsTheKind) {
    TJNumberObject* n = number({intValue(1)});
    n->SetValue("number", intValue(4));
    EXPECT_EQ(n->NumberValue().ValueType, vtDouble);
    EXPECT_EQ(n->NumberValue().DoubleValue, 4.0);
    n->SetValue("int", textValue("7"));
    EXPECT_EQ(n->NumberValue().ValueType, vtInteger);
    EXPECT_EQ(n->NumberValue().IntegerValue, 7);
    n->SetValue("int", doubleValue(2.5));
    EXPECT_EQ(n->NumberValue().IntegerValue, 2);
}

TEST_F(NumberFixture, CharacterCodes) {
    TJNumberObject* a = number({intValue(65)});
    EXPECT_EQ(text(a, "toChar"), "A");
    EXPECT_EQ(ValueToString(member(a, "asChar")), "A");
    a->SetValue("asChar", textValue("Bee"));
    EXPECT_EQ(a->NumberValue().ValueType, vtInteger);
    EXPECT_EQ(a->NumberValue().IntegerValue, 66);
    a->SetValue("asChar", textValue(""));
    EXPECT_EQ(a->NumberValue().IntegerValue, 0);
    // The low byte of an integer, a truncated double, a text's first byte.
    EXPECT_EQ(text(number({intValue(0x141)}), "toChar"), "A");
    EXPECT_EQ(text(number({doubleValue(66.9)}), "toChar"), "B");
    EXPECT_EQ(text(number({textValue("67")}), "toChar"), "6");
    AnsiString zero = text(number({intValue(0)}), "toChar");
    ASSERT_EQ(zero.length(), 1u);
    EXPECT_EQ(zero.byte(0), 0);
}

// ==== Constants ====

TEST_F(NumberFixture, Constants) {
    TJNumberObject* n = number();
    TJValue max = member(n, "MAX_VALUE");
    EXPECT_EQ(max.ValueType, vtDouble);
    EXPECT_EQ(max.DoubleValue, 1.7e308);
    TJValue min = member(n, "MIN_VALUE");
    EXPECT_EQ(min.ValueType, vtDouble);
    EXPECT_EQ(min.DoubleValue, std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(member(n, "NaN").ValueType, vtNaN);
    TJValue pos = member(n, "POSITIVE_INFINITY");
    EXPECT_EQ(pos.ValueType, vtInfinity);
    EXPECT_FALSE(pos.Negative);
    TJValue neg = member(n, "NEGATIVE_INFINITY");
    EXPECT_EQ(neg.ValueType, vtInfinity);
    EXPECT_TRUE(neg.Negative);
    // Clearing the members brings the constants back.
    n->RemoveKey("MAX_VALUE");
    n->Clear();
    EXPECT_EQ(member(n, "MAX_VALUE").DoubleValue, 1.7e308);
}

// ==== Texts ====

TEST_F(NumberFixture, ToStringWithRadix) {
    EXPECT_EQ(text(number({intValue(255)}), "toString", {intValue(16)}), "FF");
    EXPECT_EQ(text(number({intValue(-1)}), "toString", {intValue(16)}), "FFFFFFFF");
    EXPECT_EQ(text(number({intValue(0)}), "toString", {intValue(16)}), "0");
    EXPECT_EQ(text(number({intValue(5)}), "toString", {intValue(2)}), "101");
    EXPECT_EQ(text(number({intValue(-1)}), "toString", {intValue(2)}), AnsiString(32, '1'));
    EXPECT_EQ(text(number({intValue(0)}), "toString", {intValue(8)}), "0");
    EXPECT_EQ(text(number({intValue(64)}), "toString", {intValue(8)}), "100");
    EXPECT_EQ(text(number({intValue(-8)}), "toString", {intValue(8)}), "37777777770");
    // The integer conversion rounds halves to even.
    EXPECT_EQ(text(number({doubleValue(2.5)}), "toString", {intValue(16)}), "2");
    EXPECT_EQ(text(number({textValue("31")}), "toString", {textValue("16")}), "1F");
    // Any other radix, or none, gives the ordinary text.
    EXPECT_EQ(text(number({intValue(255)}), "toString", {intValue(10)}), "255");
    EXPECT_EQ(text(number({intValue(255)}), "toString", {intValue(36)}), "255");
    EXPECT_EQ(text(number({doubleValue(0.1)}), "toString"), "0.1");
    EXPECT_EQ(text(number({boolValue(true)}), "toString"), "true");
}

TEST_F(NumberFixture, FixedAndPrecisionCountDecimals) {
    TJNumberObject* pi = number({doubleValue(3.14159)});
    EXPECT_EQ(text(pi, "toFixed", {intValue(2)}), "3.14");
    EXPECT_EQ(text(pi, "toPrecision", {intValue(2)}), "3.14");
    EXPECT_EQ(text(pi, "toFixed"), "3");
    EXPECT_EQ(text(pi, "toFixed", {intValue(-4)}), "3");
    EXPECT_EQ(text(number({intValue(5)}), "toFixed", {intValue(3)}), "5.000");
    EXPECT_EQ(text(number({doubleValue(-0.004)}), "toFixed", {intValue(2)}), "0.00");
    // More than 15 digits before the point: scientific notation.
    EXPECT_EQ(text(number({doubleValue(1e20)}), "toFixed", {intValue(2)}), "1E20");
}

TEST_F(NumberFixture, Exponential) {
    EXPECT_EQ(text(number({doubleValue(1234.5)}), "toExponential", {intValue(2)}), "1.23E+3");
    EXPECT_EQ(text(number({doubleValue(1234.5)}), "toExponential"), "1E+3");
    EXPECT_EQ(text(number({doubleValue(0.000125)}), "toExponential", {intValue(1)}), "1.3E-4");
    EXPECT_EQ(text(number({intValue(-5)}), "toExponential", {intValue(3)}), "-5.000E+0");
    EXPECT_EQ(text(number({intValue(1)}), "toExponential", {intValue(2147483647)}), "1.00000000000000000E+0");
}

// ==== As script values ====

TEST_F(NumberFixture, ConvertsAndComparesAsItsValue) {
    TJValue five = objectValue(number({intValue(5)}));
    EXPECT_TRUE(IsNumberValue(&five));
    EXPECT_TRUE(IsNumericValue(&five));
    EXPECT_EQ(ValueTypeName(&five), "object");
    EXPECT_EQ(ValueToString(&five), "5");
    EXPECT_EQ(ValueToDouble(&five), 5.0);
    EXPECT_EQ(ValueToInteger(objectValue(number({doubleValue(4.5)}))), 4);
    EXPECT_FALSE(ValueToBool(objectValue(number({intValue(0)}))));
    EXPECT_FALSE(ValueToBool(objectValue(number({doubleValue(0.5)}))));
    EXPECT_TRUE(LooseEquals(five, intValue(5)));
    EXPECT_FALSE(StrictEquals(five, intValue(5)));
    TJValue sum;
    ApplyBinaryOperator(ecAdd, five, intValue(1), sum);
    EXPECT_EQ(sum.ValueType, vtDouble);
    EXPECT_EQ(sum.DoubleValue, 6.0);
}

// ==== Boolean ====

TEST_F(NumberFixture, BooleanFromValues) {
    EXPECT_TRUE(boolean({textValue("false")})->ToBool());
    EXPECT_FALSE(boolean({doubleValue(0.5)})->ToBool());
    EXPECT_FALSE(boolean({textValue("")})->ToBool());
    EXPECT_TRUE(boolean({intValue(-1)})->ToBool());
    EXPECT_FALSE(boolean()->ToBool());
    TJValue b = member(boolean({textValue("false")}), "bool");
    EXPECT_EQ(b.ValueType, vtBool);
    EXPECT_TRUE(b.BooleanValue);
}

TEST_F(NumberFixture, BooleanConversions) {
    TJBooleanObject* yes = boolean({boolValue(true)});
    TJBooleanObject* no = boolean({boolValue(false)});
    EXPECT_EQ(yes->ScriptClassName(), "Boolean");
    EXPECT_EQ(ValueToString(objectValue(yes)), "true");
    EXPECT_EQ(ValueToString(objectValue(no)), "false");
    EXPECT_EQ(ValueToInteger(objectValue(yes)), 1);
    EXPECT_EQ(ValueToDouble(objectValue(no)), 0.0);
    EXPECT_EQ(ValueToChar(objectValue(yes)), 1);
    EXPECT_FALSE(ValueToBool(objectValue(no)));
    TJValue v = call(yes, "valueOf");
    EXPECT_EQ(v.ValueType, vtBool);
    EXPECT_TRUE(v.BooleanValue);
    EXPECT_EQ(text(no, "toString"), "false");
    // Boolean objects are not numbers.
    EXPECT_FALSE(IsNumberValue(objectValue(yes)));
}

TEST_F(NumberFixture, BooleanPropertyIsWritable) {
    TJBooleanObject* flag = boolean();
    flag->SetValue("bool", boolValue(true));
    EXPECT_TRUE(flag->ToBool());
    flag->SetValue("Bool", textValue("false"));
    EXPECT_FALSE(flag->ToBool());
    flag->SetValue("bool", intValue(1));
    EXPECT_TRUE(flag->ToBool());
}
