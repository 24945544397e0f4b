// The Math object: its constants, the rounding and conversion of arguments and
// results, max and min with infinities and non-numbers, pow's edge cases and
// its speed with huge whole exponents, and the random generator.
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "engine/lib/mathobject.h"
#include "rtl/random.h"
#include "valuetest.h"

namespace {

constexpr double kPi = 3.141592653589793;

class MathTest : public ::testing::Test {
protected:
    MathTest() : math(createObject<TJMathObject>(&engine, true, nullptr)) {}

    TJValue call(const char* name, std::initializer_list<TJValue> values) {
        TJValueList args;
        for (const TJValue& v : values) args.Add(v);
        TJValue f, result;
        math->GetValue(name, false, f);
        EXPECT_EQ(f.ValueType, vtFunction) << name;
        CallNativeMethod(f.FuncValue.get(), values.size() ? &args : nullptr, result);
        return result;
    }
    TJValue property(const char* name) {
        TJValue v;
        math->GetValue(name, false, v);
        return v;
    }

    FakeRuntime engine;
    TJMathObject* math;
};

void expectInteger(const TJValue& v, int32_t expected) {
    EXPECT_EQ(v.ValueType, vtInteger);
    if (v.ValueType == vtInteger) { EXPECT_EQ(v.IntegerValue, expected); }
}

void expectDouble(const TJValue& v, double expected) {
    EXPECT_EQ(v.ValueType, vtDouble);
    if (v.ValueType == vtDouble) { EXPECT_DOUBLE_EQ(v.DoubleValue, expected); }
}

void expectInfinity(const TJValue& v, bool negative) {
    EXPECT_EQ(v.ValueType, vtInfinity);
    if (v.ValueType == vtInfinity) { EXPECT_EQ(v.Negative, negative); }
}

}  // namespace

TEST_F(MathTest, ClassAndConstants) {
    EXPECT_EQ(math->ScriptClassName(), "Math");
    EXPECT_TRUE(math->HasGlobalInstance());
    expectDouble(property("PI"), 3.141592653589793);
    expectDouble(property("pi"), 3.141592653589793);  // published names in any case
    expectDouble(property("E"), 2.718281828459045);
    expectDouble(property("LN10"), 2.302585092994046);
    expectDouble(property("LN2"), 0.6931471805599453);
    expectDouble(property("LOG10E"), 0.4342944819032518);
    expectDouble(property("LOG2E"), 1.4426950408889634);
    expectDouble(property("SQRT1_2"), 0.7071067811865476);
    expectDouble(property("SQRT2"), 1.4142135623730951);
    // A constant cannot be overwritten.
    math->SetValue("PI", intValue(3));
    expectDouble(property("PI"), 3.141592653589793);
}

TEST_F(MathTest, ItsTextNamesTheClass) { EXPECT_EQ(ValueToString(call("toString", {})), "[object Math]"); }

TEST_F(MathTest, AbsKeepsDoublesAndTakesTheRestAsIntegers) {
    expectInteger(call("abs", {intValue(-3)}), 3);
    expectDouble(call("abs", {doubleValue(-2.5)}), 2.5);
    expectInteger(call("abs", {textValue("-7")}), 7);
    expectInteger(call("abs", {textValue("-2.5")}), 0);  // not an integer text
    expectInteger(call("abs", {boolValue(true)}), 1);
    expectDouble(call("abs", {intValue(INT32_MIN)}), 2147483648.0);
    expectInfinity(call("abs", {infinityValue(true)}), false);
    EXPECT_EQ(call("abs", {nanValue()}).ValueType, vtNaN);
    EXPECT_EQ(call("abs", {}).ValueType, vtUndefined);
}

TEST_F(MathTest, RoundingGivesIntegers) {
    expectInteger(call("round", {doubleValue(2.5)}), 2);
    expectInteger(call("round", {doubleValue(3.5)}), 4);
    expectInteger(call("round", {doubleValue(-2.5)}), -2);
    expectInteger(call("round", {doubleValue(2.6)}), 3);
    expectInteger(call("ceil", {doubleValue(1.2)}), 2);
    expectInteger(call("ceil", {doubleValue(-1.2)}), -1);
    expectInteger(call("floor", {doubleValue(-1.2)}), -2);
    expectInteger(call("floor", {textValue("7.9")}), 7);
    // Beyond the integer range the whole number stays exact.
    expectDouble(call("floor", {doubleValue(1e10 + 0.5)}), 1e10);
    expectDouble(call("round", {doubleValue(-3e9)}), -3e9);
    expectInfinity(call("ceil", {infinityValue(false)}), false);
    EXPECT_EQ(call("floor", {nanValue()}).ValueType, vtNaN);
    EXPECT_EQ(call("round", {}).ValueType, vtUndefined);
}

TEST_F(MathTest, TranscendentalFunctions) {
    expectDouble(call("exp", {intValue(1)}), std::exp(1.0));
    expectDouble(call("log", {doubleValue(std::exp(2.0))}), 2.0);
    expectDouble(call("sqrt", {intValue(16)}), 4.0);
    expectDouble(call("sin", {intValue(0)}), 0.0);
    expectDouble(call("cos", {intValue(0)}), 1.0);
    expectDouble(call("tan", {doubleValue(kPi / 4)}), std::tan(kPi / 4));
    expectDouble(call("asin", {intValue(1)}), kPi / 2);
    expectDouble(call("acos", {intValue(-1)}), kPi);
    expectDouble(call("atan", {intValue(1)}), kPi / 4);
    expectDouble(call("atan2", {intValue(1), intValue(0)}), kPi / 2);
    expectDouble(call("atan2", {intValue(0), intValue(-1)}), kPi);
    EXPECT_EQ(call("atan2", {intValue(1)}).ValueType, vtUndefined);  // both arguments required
    expectDouble(call("sqrt", {textValue("2.25")}), 1.5);
    expectDouble(call("exp", {infinityValue(true)}), 0.0);
}

TEST_F(MathTest, ResultsOutsideTheDomainsAreNaNOrInfinity) {
    EXPECT_EQ(call("sqrt", {intValue(-1)}).ValueType, vtNaN);
    EXPECT_EQ(call("log", {intValue(-1)}).ValueType, vtNaN);
    expectInfinity(call("log", {intValue(0)}), true);
    EXPECT_EQ(call("asin", {intValue(2)}).ValueType, vtNaN);
    EXPECT_EQ(call("acos", {doubleValue(-1.5)}).ValueType, vtNaN);
    expectInfinity(call("exp", {intValue(1000)}), false);
    EXPECT_EQ(call("sin", {infinityValue(false)}).ValueType, vtNaN);
    EXPECT_EQ(call("sqrt", {nanValue()}).ValueType, vtNaN);
}

TEST_F(MathTest, MaxAndMin) {
    expectInfinity(call("max", {}), true);
    expectInfinity(call("min", {}), false);
    expectDouble(call("max", {intValue(1), intValue(3), intValue(2)}), 3);
    expectDouble(call("min", {intValue(4), doubleValue(-1.5), intValue(2)}), -1.5);
    expectDouble(call("max", {intValue(1), textValue("5")}), 5);
    expectDouble(call("max", {intValue(7)}), 7);  // a single argument as a double
    EXPECT_EQ(call("max", {intValue(1), textValue("x"), intValue(3)}).ValueType, vtNaN);
    EXPECT_EQ(call("min", {textValue("x")}).ValueType, vtNaN);
    EXPECT_EQ(call("max", {intValue(1), nanValue()}).ValueType, vtNaN);
    EXPECT_EQ(call("min", {intValue(1), undefinedValue()}).ValueType, vtNaN);
    expectDouble(call("min", {boolValue(true), intValue(2)}), 1);
    // The infinities are numbers.
    expectInfinity(call("max", {intValue(1), infinityValue(false)}), false);
    expectDouble(call("max", {infinityValue(true), intValue(1)}), 1);
    expectInfinity(call("min", {intValue(1), infinityValue(true)}), true);
    expectDouble(call("min", {infinityValue(false), intValue(-4)}), -4);
}

TEST_F(MathTest, Power) {
    expectDouble(call("pow", {intValue(2), intValue(10)}), 1024);
    expectDouble(call("pow", {intValue(5), intValue(0)}), 1);
    expectDouble(call("pow", {nanValue(), intValue(0)}), 1);
    expectDouble(call("pow", {intValue(0), intValue(3)}), 0);
    expectDouble(call("pow", {intValue(2), intValue(-2)}), 0.25);
    expectDouble(call("pow", {intValue(-2), intValue(3)}), -8);
    expectDouble(call("pow", {intValue(9), doubleValue(0.5)}), 3);
    expectDouble(call("pow", {doubleValue(1.5), intValue(3)}), 3.375);
    EXPECT_EQ(call("pow", {intValue(2)}).ValueType, vtUndefined);
    EXPECT_EQ(call("pow", {intValue(-8), doubleValue(1.0 / 3)}).ValueType, vtNaN);
    expectInfinity(call("pow", {intValue(0), intValue(-1)}), false);
    expectInfinity(call("pow", {intValue(10), intValue(400)}), false);
    expectInfinity(call("pow", {intValue(-10), intValue(401)}), true);
    expectDouble(call("pow", {intValue(10), intValue(-400)}), 0);
}

TEST_F(MathTest, PowerWithHugeWholeExponentsIsQuick) {
    // Square-and-multiply takes about 31 steps, so these return at once.
    expectDouble(call("pow", {intValue(1), intValue(2000000000)}), 1);
    expectDouble(call("pow", {intValue(-1), intValue(2000000001)}), -1);
    expectDouble(call("pow", {intValue(-1), intValue(-2147483647)}), -1);
    expectDouble(call("pow", {doubleValue(0.5), intValue(2000000000)}), 0);
    expectInfinity(call("pow", {intValue(2), intValue(2000000000)}), false);
    // Each squaring doubles the relative rounding error: about 2^20 ulps here,
    // fewer when the compiler keeps the x87's wider intermediates.
    EXPECT_NEAR(MathPower(1.0000001, 1e6), std::pow(1.0000001, 1e6), 1e-9);
    EXPECT_EQ(MathPower(3, 20), 3486784401.0);
    // Beyond the 32-bit range of whole exponents.
    EXPECT_EQ(MathPower(-2, 1e10), HUGE_VAL);
    EXPECT_EQ(MathPower(0.5, 1e10), 0.0);
}

TEST_F(MathTest, RandomFollowsTheSeed) {
    for (int i = 0; i < 200; ++i) {
        TJValue r = call("random", {intValue(6)});
        ASSERT_EQ(r.ValueType, vtInteger);
        EXPECT_GE(r.IntegerValue, 0);
        EXPECT_LE(r.IntegerValue, 5);
        TJValue d = call("random", {});
        ASSERT_EQ(d.ValueType, vtDouble);
        EXPECT_GE(d.DoubleValue, 0.0);
        EXPECT_LT(d.DoubleValue, 1.0);
    }
    expectInteger(call("random", {intValue(0)}), 0);
    expectInteger(call("random", {intValue(-5)}), 0);
    // The linear congruential sequence: seed x 134775813 + 1.
    RandSeed = 0;
    expectDouble(call("random", {}), 1.0 / 4294967296.0);
    expectDouble(call("random", {}), 134775814.0 / 4294967296.0);
    // From 2^32 - 1 the next seed is 2^32 - 134775812 = 4160191484, and
    // 4160191484 x 100 / 2^32 = 96.86.
    RandSeed = 0xFFFFFFFFu;
    expectInteger(call("random", {intValue(100)}), 96);
    // Each new Math object seeds the generator from the clock.
    RandSeed = 12345;
    createObject<TJMathObject>(&engine, true, nullptr);
    EXPECT_NE(RandSeed, 12345u);
}
