// Operators on script values: arithmetic with its fault results, shifts and
// bit operations, compound assignment, ordering, loose and strict equality and
// the logical operators, with the errors raised for unsuitable operands.
#include <climits>

#include "engine/core/hooks.h"
#include "engine/core/operators.h"
#include "valuetest.h"

namespace {

TJValue binary(TJExprCode kind, const TJValue& l, const TJValue& r) {
    TJValue result;
    ApplyBinaryOperator(kind, l, r, result);
    return result;
}

TJValue unary(TJExprCode kind, const TJValue& v) {
    TJValue result;
    ApplyUnaryOperator(kind, v, result);
    return result;
}

bool compare(TJExprCode kind, const TJValue& l, const TJValue& r) {
    TJValue result;
    CompareValues(kind, l, r, result);
    EXPECT_EQ(result.ValueType, vtBool);
    return result.BooleanValue;
}

void expectInteger(const TJValue& v, int32_t i) {
    EXPECT_EQ(v.ValueType, vtInteger);
    EXPECT_EQ(v.IntegerValue, i);
}

void expectDouble(const TJValue& v, double d) {
    EXPECT_EQ(v.ValueType, vtDouble);
    EXPECT_DOUBLE_EQ(v.DoubleValue, d);
}

void expectInfinity(const TJValue& v, bool negative) {
    EXPECT_EQ(v.ValueType, vtInfinity);
    EXPECT_EQ(v.Negative, negative);
}

}  // namespace

TEST(Operators, AdditionGivesDoublesOrJoinsTexts) {
    TJValue three = binary(ecAdd, intValue(1), intValue(2));
    expectDouble(three, 3.0);
    EXPECT_EQ(ValueToString(&three), "3");
    TJValue joined = binary(ecAdd, textValue("5"), intValue(1));
    EXPECT_EQ(joined.ValueType, vtString);
    EXPECT_EQ(joined.StrValue, "51");
    EXPECT_EQ(binary(ecAdd, intValue(1), textValue("x")).StrValue, "1x");
    expectDouble(binary(ecAdd, nullValue(), boolValue(true)), 1.0);
    expectDouble(binary(ecSub, textValue("5"), intValue(1)), 4.0);
    expectDouble(binary(ecMul, doubleValue(1.5), intValue(4)), 6.0);
    expectDouble(binary(ecDiv, intValue(7), intValue(2)), 3.5);
}

TEST(Operators, ModuloAndIntegerDivision) {
    expectInteger(binary(ecMod, intValue(7), intValue(2)), 1);
    expectInteger(binary(ecMod, doubleValue(7.5), intValue(2)), 0);  // 7.5 rounds to 8
    expectInteger(binary(ecMod, intValue(-7), intValue(2)), -1);     // the sign of the left operand
    EXPECT_EQ(binary(ecMod, intValue(5), intValue(0)).ValueType, vtNaN);
    expectInteger(binary(ecMod, intValue(INT_MIN), intValue(-1)), 0);
    expectInteger(binary(ecIntDiv, intValue(7), intValue(2)), 3);
    expectInteger(binary(ecIntDiv, intValue(-7), intValue(2)), -3);
    expectInfinity(binary(ecIntDiv, intValue(5), intValue(0)), false);
    expectInfinity(binary(ecIntDiv, intValue(-5), intValue(0)), true);
    EXPECT_EQ(binary(ecIntDiv, intValue(0), intValue(0)).ValueType, vtNaN);
    expectDouble(binary(ecIntDiv, intValue(INT_MIN), intValue(-1)), 2147483648.0);
}

TEST(Operators, FaultsBecomeInfinitiesOrNaN) {
    expectInfinity(binary(ecDiv, intValue(1), intValue(0)), false);
    expectInfinity(binary(ecDiv, intValue(-1), intValue(0)), true);
    EXPECT_EQ(binary(ecDiv, intValue(0), intValue(0)).ValueType, vtNaN);
    expectInfinity(binary(ecDiv, doubleValue(1e308), doubleValue(1e-308)), false);
    expectInfinity(binary(ecDiv, doubleValue(-1e308), doubleValue(1e-308)), true);
    expectInfinity(binary(ecMul, doubleValue(1e308), intValue(10)), false);
    expectInfinity(binary(ecMul, doubleValue(-1e308), intValue(10)), true);
    expectInfinity(binary(ecMul, doubleValue(-1e308), intValue(-10)), false);
    expectInfinity(binary(ecAdd, doubleValue(1e308), doubleValue(1e308)), false);
    expectInfinity(binary(ecAdd, doubleValue(-1e308), doubleValue(-1e308)), true);
    expectInfinity(binary(ecSub, doubleValue(-1e308), doubleValue(1e308)), true);
    expectInfinity(binary(ecSub, doubleValue(1e308), doubleValue(-1e308)), false);
    expectDouble(binary(ecMul, doubleValue(1e-300), doubleValue(1e-300)), 0.0);  // underflow is no fault
}

TEST(Operators, ShiftsAndBits) {
    expectInteger(binary(ecShr, intValue(-8), intValue(1)), 2147483644);  // >> does not keep the sign
    expectInteger(binary(ecUShr, intValue(-8), intValue(1)), 2147483644);
    expectInteger(binary(ecShl, intValue(1), intValue(33)), 2);           // the count is taken mod 32
    expectInteger(binary(ecShl, intValue(1), intValue(31)), INT_MIN);
    expectInteger(binary(ecBitAnd, intValue(12), intValue(10)), 8);
    expectInteger(binary(ecBitXor, intValue(12), intValue(10)), 6);
    expectInteger(binary(ecBitOr, intValue(12), textValue("3")), 15);
    expectInteger(binary(ecBitOr, doubleValue(2.5), intValue(0)), 2);
}

TEST(Operators, UnsuitableOperandsRaise) {
    EXPECT_SCRIPT_ERROR(binary(ecAdd, undefinedValue(), intValue(1)), "ENameError", "");
    EXPECT_SCRIPT_ERROR(binary(ecAdd, textValue("a"), undefinedValue()), "ENameError", "");
    EXPECT_SCRIPT_ERROR(binary(ecAdd, infinityValue(false), intValue(1)), "ETypeError", "vtInfinity - vtInteger");
    EXPECT_SCRIPT_ERROR(binary(ecAdd, textValue("a"), nanValue()), "ETypeError", "vtString - vtNaN");
    TJValue f;
    MakeFunction(NewFunction(), f);
    EXPECT_SCRIPT_ERROR(binary(ecSub, f, intValue(1)), "ETypeError", "vtFunction - vtInteger");
    EXPECT_SCRIPT_ERROR(unary(ecPlus, undefinedValue()), "ENameError", "");
    EXPECT_SCRIPT_ERROR(unary(ecMinus, f), "ETypeError", "vtFunction");
    EXPECT_SCRIPT_ERROR(unary(ecBitNot, nanValue()), "ETypeError", "vtNaN");
    EXPECT_SCRIPT_ERROR(unary(ecBitNot, infinityValue(true)), "ETypeError", "vtInfinity");
}

TEST(Operators, UnaryOperators) {
    expectInteger(unary(ecPlus, textValue("3.7")), 0);
    expectInteger(unary(ecMinus, textValue("3.7")), 0);
    expectInteger(unary(ecPlus, boolValue(true)), 1);
    expectDouble(unary(ecPlus, doubleValue(1.5)), 1.5);
    expectDouble(unary(ecMinus, doubleValue(1.5)), -1.5);
    expectInfinity(unary(ecPlus, infinityValue(true)), true);
    expectInfinity(unary(ecMinus, infinityValue(true)), false);
    expectInteger(unary(ecMinus, intValue(5)), -5);
    expectDouble(unary(ecMinus, intValue(INT_MIN)), 2147483648.0);
    expectInteger(unary(ecBitNot, intValue(5)), -6);
    TJValue v = intValue(4);
    ApplyUnaryOperator(ecMinus, v, v);  // the result may be the operand
    expectInteger(v, -4);
}

TEST(Operators, CompoundAssignmentMapsToBinary) {
    TJValue r;
    ApplyCompoundOperator(ecAddAssign, textValue("a"), textValue("b"), r);
    EXPECT_EQ(r.StrValue, "ab");
    ApplyCompoundOperator(ecModAssign, intValue(9), intValue(4), r);
    expectInteger(r, 1);
    ApplyCompoundOperator(ecShrAssign, intValue(-8), intValue(1), r);
    expectInteger(r, 2147483644);
    ApplyCompoundOperator(ecOrAssign, intValue(1), intValue(2), r);
    expectInteger(r, 3);
    ApplyCompoundOperator(ecAssign, intValue(1), intValue(2), r);
    EXPECT_EQ(r.ValueType, vtUndefined);
    TJValue l = intValue(6);
    ApplyCompoundOperator(ecDivAssign, l, intValue(4), l);
    expectDouble(l, 1.5);
}

TEST(Operators, Ordering) {
    EXPECT_TRUE(compare(ecGreater, textValue("10"), textValue("9")));  // numeric texts compare as numbers
    EXPECT_TRUE(compare(ecLess, textValue("abc"), textValue("abd")));
    EXPECT_TRUE(compare(ecLess, textValue("ab"), textValue("abc")));
    EXPECT_TRUE(compare(ecGreater, textValue("\x81"), textValue("a")));  // unsigned bytes
    EXPECT_TRUE(compare(ecLessEqual, intValue(2), doubleValue(2.0)));
    EXPECT_TRUE(compare(ecLess, boolValue(false), intValue(1)));
    EXPECT_FALSE(compare(ecGreaterEqual, intValue(1), intValue(2)));
    for (TJExprCode kind : {ecLess, ecGreater, ecLessEqual, ecGreaterEqual}) {
        EXPECT_FALSE(compare(kind, nanValue(), intValue(1)));
        EXPECT_FALSE(compare(kind, textValue("a"), nanValue()));
        EXPECT_FALSE(compare(kind, nanValue(), nanValue()));
    }
}

TEST(Operators, OrderingInfinities) {
    TJValue pos = infinityValue(false), neg = infinityValue(true), five = intValue(5), text = textValue("7");
    EXPECT_TRUE(compare(ecGreater, pos, five));
    EXPECT_FALSE(compare(ecLess, pos, five));
    EXPECT_TRUE(compare(ecLessEqual, neg, text));
    EXPECT_TRUE(compare(ecLess, five, pos));
    EXPECT_TRUE(compare(ecGreaterEqual, five, neg));
    EXPECT_FALSE(compare(ecGreater, five, pos));
    EXPECT_TRUE(compare(ecLess, neg, pos));
    EXPECT_FALSE(compare(ecLess, pos, pos));
    EXPECT_TRUE(compare(ecGreater, pos, neg));
    EXPECT_TRUE(compare(ecLessEqual, neg, neg));
    EXPECT_FALSE(compare(ecLessEqual, pos, pos));  // only a negative left side gives <=
    EXPECT_FALSE(compare(ecGreaterEqual, pos, pos));
    EXPECT_TRUE(compare(ecGreaterEqual, pos, neg));
    EXPECT_TRUE(compare(ecGreaterEqual, neg, neg));
}

TEST(Operators, StrictAndLooseEquality) {
    EXPECT_TRUE(compare(ecEqual, intValue(1), textValue("1")));
    EXPECT_FALSE(compare(ecStrictEqual, intValue(1), textValue("1")));
    EXPECT_TRUE(compare(ecStrictNotEqual, intValue(1), textValue("1")));
    TJValue one = binary(ecDiv, intValue(2), intValue(2));
    EXPECT_FALSE(compare(ecStrictEqual, one, intValue(1)));
    EXPECT_TRUE(compare(ecEqual, one, intValue(1)));
    EXPECT_TRUE(compare(ecEqual, nullValue(), undefinedValue()));
    EXPECT_FALSE(compare(ecStrictEqual, nullValue(), undefinedValue()));
    EXPECT_TRUE(compare(ecStrictEqual, nullValue(), nullValue()));
    EXPECT_FALSE(compare(ecEqual, nanValue(), nanValue()));
    EXPECT_TRUE(compare(ecNotEqual, nanValue(), nanValue()));
    EXPECT_FALSE(compare(ecEqual, nanValue(), textValue("NaN")));
    EXPECT_TRUE(compare(ecEqual, boolValue(true), textValue("true")));
    EXPECT_TRUE(compare(ecEqual, boolValue(true), intValue(1)));
    EXPECT_TRUE(compare(ecEqual, textValue("1.0"), intValue(1)));
    EXPECT_FALSE(compare(ecEqual, undefinedValue(), intValue(0)));
    EXPECT_TRUE(compare(ecStrictEqual, infinityValue(true), infinityValue(true)));
    EXPECT_FALSE(compare(ecStrictEqual, infinityValue(true), infinityValue(false)));
    TJValue r1, r2;
    MakeRegExp("a", "", r1);
    MakeRegExp("a", "", r2);
    EXPECT_FALSE(compare(ecStrictEqual, r1, r2));
    TJValue e1, e2;
    MakeEvent(TMethod{}, e1);
    MakeEvent(TMethod{}, e2);
    EXPECT_FALSE(compare(ecEqual, e1, e2));
    IJFunctionPtr f = NewFunction();
    TJValue f1, f2, g;
    MakeFunction(f, f1);
    MakeFunction(f, f2);
    MakeFunction(NewFunction(), g);
    EXPECT_TRUE(compare(ecStrictEqual, f1, f2));
    EXPECT_FALSE(compare(ecStrictEqual, f1, g));
}

namespace {

class TTextThing : public TJObject {
    RTL_DECLARE_CLASS()
    TTextThing(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {}
    AnsiString text;
    AnsiString ToString(const TJValue*) override { return text; }
};

}  // namespace

const TClassInfo TTextThing::classInfo = makeClassInfo("TTextThing", &TJObject::classInfo);

TEST(Operators, ObjectsCompareByIdentityOrText) {
    FakeRuntime engine;
    TJObject* a = createObject<TJObject>(&engine, true, nullptr);
    TJObject* b = createObject<TJObject>(&engine, true, nullptr);
    EXPECT_TRUE(compare(ecStrictEqual, objectValue(a), objectValue(a)));
    EXPECT_FALSE(compare(ecEqual, objectValue(a), objectValue(b)));
    EXPECT_TRUE(compare(ecEqual, objectValue(a), textValue("[object Object]")));

    const TClassInfo* stringClass = JModuleHooks.StringObject;
    JModuleHooks.StringObject = &TTextThing::classInfo;
    TTextThing* s1 = createObject<TTextThing>(&engine, true, nullptr);
    TTextThing* s2 = createObject<TTextThing>(&engine, true, nullptr);
    s1->text = s2->text = "same";
    EXPECT_TRUE(compare(ecStrictEqual, objectValue(s1), objectValue(s2)));  // two String objects: their texts
    EXPECT_TRUE(compare(ecEqual, objectValue(s1), textValue("same")));
    EXPECT_FALSE(compare(ecStrictEqual, objectValue(s1), textValue("same")));
    TJValue joined = binary(ecAdd, objectValue(s1), intValue(1));
    EXPECT_EQ(joined.StrValue, "same1");
    JModuleHooks.StringObject = stringClass;
}

TEST(Operators, LogicalOperatorsGiveBooleans) {
    EXPECT_TRUE(compare(ecOr, textValue("abc"), intValue(1)));
    EXPECT_TRUE(compare(ecOrShort, intValue(0), doubleValue(2.0)));
    EXPECT_FALSE(compare(ecAnd, textValue("abc"), doubleValue(0.5)));
    EXPECT_TRUE(compare(ecAndShort, textValue("0"), nanValue()));
    EXPECT_TRUE(compare(ecNot, intValue(0), undefinedValue()));
    EXPECT_FALSE(compare(ecNot, textValue("x"), undefinedValue()));
}
