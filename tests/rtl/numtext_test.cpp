// Number texts: the general float form with its thresholds, fixed and
// scientific forms, reading decimal and hexadecimal texts, rounding.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "rtl/numtext.h"

TEST(FloatToText, EverydayValues) {
    EXPECT_EQ(floatToText(0.3), "0.3");
    EXPECT_EQ(floatToText(0.1), "0.1");
    EXPECT_EQ(floatToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(floatToText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(floatToText(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(floatToText(100.0), "100");
    EXPECT_EQ(floatToText(3.0), "3");
    EXPECT_EQ(floatToText(-2.5), "-2.5");
    EXPECT_EQ(floatToText(12345.678), "12345.678");
    EXPECT_EQ(floatToText(3.9), "3.9");
}

TEST(FloatToText, LargeNumbersSwitchToExponentAtFifteenDigits) {
    EXPECT_EQ(floatToText(1e14), "100000000000000");
    EXPECT_EQ(floatToText(999999999999999.0), "999999999999999");
    EXPECT_EQ(floatToText(1e15), "1E15");
    EXPECT_EQ(floatToText(1e20), "1E20");
    EXPECT_EQ(floatToText(1e21), "1E21");
    EXPECT_EQ(floatToText(1.23456789012346e17), "1.23456789012346E17");
    EXPECT_EQ(floatToText(123456789012345678.0), "1.23456789012346E17");
    // 999999999999999.875 rounds to sixteen digits before the point.
    EXPECT_EQ(floatToText(999999999999999.875), "1E15");
    EXPECT_EQ(floatToText(-1e15), "-1E15");
    EXPECT_EQ(floatToText(1.7976931348623157e308), "1.79769313486232E308");
}

TEST(FloatToText, SmallNumbersSwitchBelowOneHundredThousandth) {
    EXPECT_EQ(floatToText(0.00001), "0.00001");
    EXPECT_EQ(floatToText(0.0000123), "0.0000123");
    EXPECT_EQ(floatToText(-0.00001), "-0.00001");
    EXPECT_EQ(floatToText(0.000001), "1E-6");
    EXPECT_EQ(floatToText(0.0000099), "9.9E-6");
    EXPECT_EQ(floatToText(1.5e-7), "1.5E-7");
    EXPECT_EQ(floatToText(-1e-7), "-1E-7");
    EXPECT_EQ(floatToText(5e-324), "4.94065645841247E-324");
}

TEST(FloatToText, ZerosAndNonFiniteValues) {
    EXPECT_EQ(floatToText(0.0), "0");
    EXPECT_EQ(floatToText(-0.0), "0");
    EXPECT_EQ(floatToText(std::numeric_limits<double>::infinity()), "infinity");
    EXPECT_EQ(floatToText(-std::numeric_limits<double>::infinity()), "-infinity");
    EXPECT_EQ(floatToText(std::numeric_limits<double>::quiet_NaN()), "NaN");
}

TEST(FloatToText, GeneralFormWithOtherPrecisions) {
    EXPECT_EQ(floatToTextGeneral(1234.5678, 6), "1234.57");
    EXPECT_EQ(floatToTextGeneral(1234567.0, 6), "1.23457E6");
    EXPECT_EQ(floatToTextGeneral(0.1, 17), "0.10000000000000001");
    EXPECT_EQ(floatToTextGeneral(2.5, 1), "3");  // ties away from zero
}

TEST(FloatToText, SeventeenDigitsRoundTrip) {
    std::mt19937_64 random(12345);
    for (int i = 0; i < 20000; ++i) {
        double v = std::bit_cast<double>(random());
        if (!std::isfinite(v)) continue;
        AnsiString text = floatToTextGeneral(v, 17);
        double back = 0;
        ASSERT_TRUE(textToFloat(text, back)) << text.c_str();
        if (v == 0) {
            EXPECT_EQ(back, 0.0);
        } else {
            EXPECT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(v)) << text.c_str();
        }
    }
}

TEST(FloatToTextFixed, DecimalsAndRounding) {
    EXPECT_EQ(floatToTextFixed(3.14159, 2), "3.14");
    EXPECT_EQ(floatToTextFixed(3.0, 2), "3.00");
    EXPECT_EQ(floatToTextFixed(2.5, 0), "3");
    EXPECT_EQ(floatToTextFixed(-1.5, 0), "-2");
    EXPECT_EQ(floatToTextFixed(0.125, 2), "0.13");  // an exact tie
    EXPECT_EQ(floatToTextFixed(1.005, 2), "1.00");  // 1.00499999999999989...
    EXPECT_EQ(floatToTextFixed(0.996, 2), "1.00");
    EXPECT_EQ(floatToTextFixed(-0.001, 2), "0.00");
    EXPECT_EQ(floatToTextFixed(0.0001, 3), "0.000");
    EXPECT_EQ(floatToTextFixed(0.0005, 3), "0.001");
    EXPECT_EQ(floatToTextFixed(0.1, 18), "0.100000000000000000");  // 15 significant digits
    EXPECT_EQ(floatToTextFixed(123456789012345.0, 2), "123456789012345.00");
    EXPECT_EQ(floatToTextFixed(1e20, 2), "1E20");
    EXPECT_EQ(floatToTextFixed(0.1, 18, 18), "0.100000000000000006");
}

TEST(FloatToTextExponent, MantissaAndExponentDigits) {
    EXPECT_EQ(floatToTextExponent(1234.5, 3, 1), "1.23E+3");
    EXPECT_EQ(floatToTextExponent(1234.5, 1, 1), "1E+3");
    EXPECT_EQ(floatToTextExponent(0.00012, 2, 3), "1.2E-004");
    EXPECT_EQ(floatToTextExponent(-9.99, 2, 1), "-1.0E+1");
    EXPECT_EQ(floatToTextExponent(0.0, 3, 1), "0.00E+0");
    EXPECT_EQ(floatToTextExponent(1e300, 15, 3), "1.00000000000000E+300");
}

TEST(IntToText, Extremes) {
    EXPECT_EQ(intToText(0), "0");
    EXPECT_EQ(intToText(-42), "-42");
    EXPECT_EQ(intToText(std::numeric_limits<long long>::min()), "-9223372036854775808");
}

TEST(TextToFloat, AcceptsDecimalForms) {
    struct Case { const char* text; double value; } cases[] = {
        {"1.5", 1.5}, {" 2 ", 2}, {"-.5", -0.5}, {"+3.", 3}, {"1e3", 1000}, {"1E-3", 0.001},
        {"2.5e+2", 250}, {"\t7\r\n", 7}, {"0.1", 0.1}, {"00012", 12}, {"1e-400", 0},
        {"123456789012345678901234567890", 1.2345678901234568e29},
        {"1.7976931348623157e308", 1.7976931348623157e308},
    };
    for (const Case& c : cases) {
        double out = -99;
        EXPECT_TRUE(textToFloat(c.text, out)) << c.text;
        EXPECT_EQ(out, c.value) << c.text;
    }
    double out = 1;
    ASSERT_TRUE(textToFloat("-0", out));
    EXPECT_TRUE(std::signbit(out));
}

TEST(TextToFloat, RejectsEverythingElse) {
    for (const char* text : {"", " ", ".", "+", "-", "e5", "1e", "1e+", "1.2.3", "12abc", "1,5", "1 2",
                             "inf", "-inf", "nan", "NaN", "infinity", "Infinity", "0x10", "0x1p3", "$10",
                             "1e400", "-1e400", "1.8e308", "\x82\x50"}) {
        double out = 42;
        EXPECT_FALSE(textToFloat(text, out)) << text;
        EXPECT_EQ(out, 42) << text;
    }
}

TEST(TextToInt32, DecimalAndHexadecimal) {
    struct Case { const char* text; int32_t value; } cases[] = {
        {"123", 123}, {" 42 ", 42}, {"+7", 7}, {"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX},
        {"0xFFFFFFFF", -1}, {"0X7fffffff", INT32_MAX}, {"$10", 16}, {"-$10", -16}, {"0x80000000", INT32_MIN},
        {"0x000000001", 1}, {"007", 7},
    };
    for (const Case& c : cases) {
        int32_t out = -99;
        EXPECT_TRUE(textToInt32(c.text, out)) << c.text;
        EXPECT_EQ(out, c.value) << c.text;
    }
    for (const char* text : {"", "-", "2147483648", "-2147483649", "0x100000000", "0x", "$", "3.5", "12abc",
                             "1e3", "0x1G", "99999999999999999999999"}) {
        int32_t out = 5;
        EXPECT_FALSE(textToInt32(text, out)) << text;
        EXPECT_EQ(out, 5);
    }
}

TEST(TextToInt64, DecimalAndHexadecimal) {
    int64_t out = 0;
    ASSERT_TRUE(textToInt64("9223372036854775807", out));
    EXPECT_EQ(out, INT64_MAX);
    ASSERT_TRUE(textToInt64("-9223372036854775808", out));
    EXPECT_EQ(out, INT64_MIN);
    ASSERT_TRUE(textToInt64("0xFFFFFFFFFFFFFFFF", out));
    EXPECT_EQ(out, -1);
    ASSERT_TRUE(textToInt64("0xFFFFFFFF", out));
    EXPECT_EQ(out, 4294967295LL);
    EXPECT_FALSE(textToInt64("9223372036854775808", out));
    EXPECT_FALSE(textToInt64("0x10000000000000000", out));
}

TEST(Rounding, HalvesGoToEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.4999999), 2);
    EXPECT_EQ(roundHalfEven(-7.6), -8);
    EXPECT_EQ(roundHalfEven(1e300), 1e300);
    EXPECT_EQ(roundHalfEven(4503599627370497.0), 4503599627370497.0);
}

TEST(Rounding, IntegersWrapToThirtyTwoBits) {
    EXPECT_EQ(wrapToInt32(0x1FFFFFFFFLL), -1);
    EXPECT_EQ(wrapToInt32(2147483648LL), INT32_MIN);
    EXPECT_EQ(roundToInt32(7.5), 8);
    EXPECT_EQ(roundToInt32(-2.5), -2);
    EXPECT_EQ(roundToInt32(2147483648.0), INT32_MIN);
    EXPECT_EQ(roundToInt32(2147483647.0), INT32_MAX);
    EXPECT_EQ(roundToInt32(2147483647.5), INT32_MIN);
    EXPECT_EQ(roundToInt32(-2147483648.0), INT32_MIN);
    EXPECT_EQ(roundToInt32(-2147483647.5), -2147483647 - 1);
    EXPECT_EQ(roundToInt32(-0.0), 0);
    EXPECT_EQ(roundToInt32(4294967297.0), 1);
    EXPECT_EQ(roundToInt32(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(roundToInt32(1e300), 0);
}
