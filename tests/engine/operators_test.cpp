// Operator forms scripts do not write (the operators as scripts see them are
// in tests/scripts/expressions/operators.dms): integer division, which only a
// compiled tree can hold, the logical operators without short-circuit, which
// a directive selects, and event values.
#include <climits>

#include "engine/core/operators.h"
#include "valuetest.h"

namespace {

TJValue binary(TJExprCode kind, const TJValue& l, const TJValue& r) {
    TJValue result;
    ApplyBinaryOperator(kind, l, r, result);
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

void expectInfinity(const TJValue& v, bool negative) {
    EXPECT_EQ(v.ValueType, vtInfinity);
    EXPECT_EQ(v.Negative, negative);
}

}  // namespace

TEST(Operators, IntegerDivision) {
    expectInteger(binary(ecIntDiv, intValue(7), intValue(2)), 3);
    expectInteger(binary(ecIntDiv, intValue(-7), intValue(2)), -3);
    expectInfinity(binary(ecIntDiv, intValue(5), intValue(0)), false);
    expectInfinity(binary(ecIntDiv, intValue(-5), intValue(0)), true);
    EXPECT_EQ(binary(ecIntDiv, intValue(0), intValue(0)).ValueType, vtNaN);
    TJValue overflow = binary(ecIntDiv, intValue(INT_MIN), intValue(-1));
    EXPECT_EQ(overflow.ValueType, vtDouble);
    EXPECT_EQ(overflow.DoubleValue, 2147483648.0);
}

TEST(Operators, LogicalOperatorsWithoutShortCircuitAndEvents) {
    EXPECT_TRUE(compare(ecOr, textValue("abc"), intValue(1)));
    EXPECT_FALSE(compare(ecAnd, textValue("abc"), doubleValue(0.5)));
    TJValue e1, e2;
    MakeEvent(TMethod{}, e1);
    MakeEvent(TMethod{}, e2);
    EXPECT_FALSE(compare(ecEqual, e1, e2));
}
