// The format routines: every "%" type with width, precision and index, the
// mismatch errors, and float pictures with sections, placeholders and rounding.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "rtl/exceptions.h"
#include "rtl/format.h"

namespace {

std::string convertErrorOf(std::string_view fmt, std::initializer_list<FormatArg> args) {
    try {
        formatText(fmt, args);
    } catch (const EConvertError& e) {
        return e.message().str();
    }
    return "no error";
}

}  // namespace

TEST(FormatText, Integers) {
    EXPECT_EQ(formatText("%d", {42}), "42");
    EXPECT_EQ(formatText("[%5d]", {42}), "[   42]");
    EXPECT_EQ(formatText("[%-5d]", {42}), "[42   ]");
    EXPECT_EQ(formatText("%.5d", {-12}), "-00012");
    EXPECT_EQ(formatText("%D", {7}), "7");
    EXPECT_EQ(formatText("%d", {std::numeric_limits<int64_t>::min()}), "-9223372036854775808");
    EXPECT_EQ(formatText("%u", {-1}), "4294967295");
    EXPECT_EQ(formatText("%.3u", {0}), "000");
    EXPECT_EQ(formatText("%x", {255}), "ff");
    EXPECT_EQ(formatText("%X", {255}), "FF");
    EXPECT_EQ(formatText("%x", {-1}), "ffffffff");
    EXPECT_EQ(formatText("%.4x", {10}), "000a");
    EXPECT_EQ(formatText("%%%.2x", {0x82}), "%82");
    EXPECT_EQ(formatText("#%.2x%.2x%.2x", {255, 0, 255}), "#ff00ff");
}

TEST(FormatText, Floats) {
    EXPECT_EQ(formatText("%f", {3.14159}), "3.14");
    EXPECT_EQ(formatText("%.3f", {2.0}), "2.000");
    EXPECT_EQ(formatText("%.0f", {2.5}), "3");
    EXPECT_EQ(formatText("%e", {1234.5}), "1.23450000000000E+003");
    EXPECT_EQ(formatText("%.3e", {-0.000123}), "-1.23E-004");
    EXPECT_EQ(formatText("%g", {0.1}), "0.1");
    EXPECT_EQ(formatText("%g", {1e20}), "1E20");
    EXPECT_EQ(formatText("%.3g", {1234.5}), "1.23E3");
    EXPECT_EQ(formatText("%n", {1234567.891}), "1,234,567.89");
    EXPECT_EQ(formatText("%.0n", {-1234.5}), "-1,235");
    EXPECT_EQ(formatText("%n", {12.0}), "12.00");
    EXPECT_EQ(formatText("[%8.2f]", {-1.5}), "[   -1.50]");
}

TEST(FormatText, CurrencyUsesTheLocaleSymbolAndGrouping) {
    std::string positive = formatText("%.2m", {1234.5}).str();
    std::string negative = formatText("%.2m", {-1234.5}).str();
    EXPECT_NE(positive.find("1,234.50"), std::string::npos) << positive;
    EXPECT_NE(negative.find("1,234.50"), std::string::npos) << negative;
    EXPECT_NE(positive, negative);
    EXPECT_GT(positive.size(), std::string("1,234.50").size());  // the symbol is there
}

TEST(FormatText, TextsAndPointers) {
    EXPECT_EQ(formatText("%s", {"abc"}), "abc");
    EXPECT_EQ(formatText("%.2s", {"abc"}), "ab");
    EXPECT_EQ(formatText("[%5s]", {"abc"}), "[  abc]");
    EXPECT_EQ(formatText("[%-5s]", {AnsiString("abc")}), "[abc  ]");
    EXPECT_EQ(formatText("%s%s", {std::string("x"), std::string_view("y")}), "xy");
    // "あい" is 82 A0 82 A2: three bytes would split the second character.
    EXPECT_EQ(formatText("%.3s", {"\x82\xa0\x82\xa2"}), "\x82\xa0");
    EXPECT_EQ(formatText("%s", {"\x95\x5c"}), "\x95\x5c");
    EXPECT_EQ(formatText("%p", {reinterpret_cast<const void*>(0x1234)}), "00001234");
    EXPECT_EQ(formatText("100%%", {}), "100%");
    EXPECT_EQ(formatText("plain", {}), "plain");
}

TEST(FormatText, IndexAndStar) {
    EXPECT_EQ(formatText("%1:s %0:s %s", {"a", "b"}), "b a b");
    EXPECT_EQ(formatText("%0:s%0:s", {"x"}), "xx");
    EXPECT_EQ(formatText("[%*d]", {5, 42}), "[   42]");
    EXPECT_EQ(formatText("[%*d]", {-5, 42}), "[42   ]");
    EXPECT_EQ(formatText("%.*f", {1, 2.25}), "2.3");
    EXPECT_EQ(formatText("%s, %.2d %s %.4d %.2d:%.2d:%.2d GMT", {"Sun", 6, "Nov", 1994, 8, 49, 37}),
              "Sun, 06 Nov 1994 08:49:37 GMT");
}

TEST(FormatText, MismatchesRaiseConvertErrors) {
    EXPECT_EQ(convertErrorOf("%d", {3.5}), "Format '%d' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("%s", {1}), "Format '%s' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("%f", {1}), "Format '%f' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("%x", {"a"}), "Format '%x' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("%p", {1}), "Format '%p' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("a%kb", {1}), "Format 'a%kb' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("abc%", {}), "Format 'abc%' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("%5", {1}), "Format '%5' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("%*d", {"x", 1}), "Format '%*d' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("%999999999d", {1}), "Format '%999999999d' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("%*d", {std::numeric_limits<int64_t>::min(), 1}),
              "Format '%*d' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("%.*f", {-1, 1.0}), "Format '%.*f' invalid or incompatible with argument");
    EXPECT_EQ(convertErrorOf("%d %d", {1}), "No argument for format '%d %d'");
    EXPECT_EQ(convertErrorOf("%3:d", {1}), "No argument for format '%3:d'");
    EXPECT_THROW(formatText("%d", {}), EConvertError);
}

TEST(FormatFloat, PicturesOnFourValues) {
    struct Case { const char* fmt; const char* results[4]; } cases[] = {
        {"0", {"1234", "-1234", "1", "0"}},
        {"0.00", {"1234.00", "-1234.00", "0.50", "0.00"}},
        {"#.##", {"1234", "-1234", ".5", ""}},
        {"#,##0.00", {"1,234.00", "-1,234.00", "0.50", "0.00"}},
        {"#,##0.00;(#,##0.00)", {"1,234.00", "(1,234.00)", "0.50", "0.00"}},
        {"#,##0.00;;Zero", {"1,234.00", "-1,234.00", "0.50", "Zero"}},
        {"0.000E+00", {"1.234E+03", "-1.234E+03", "5.000E-01", "0.000E+00"}},
        {"#.###E-0", {"1.234E3", "-1.234E3", "5E-1", "0E0"}},
        {"", {"1234", "-1234", "0.5", "0"}},
    };
    const double values[4] = {1234, -1234, 0.5, 0};
    for (const Case& c : cases) {
        for (int i = 0; i < 4; ++i) EXPECT_EQ(formatFloat(c.fmt, values[i]), c.results[i]) << c.fmt << " / " << values[i];
    }
}

TEST(FormatFloat, PlaceholdersAndText) {
    EXPECT_EQ(formatFloat("00000", 42), "00042");
    EXPECT_EQ(formatFloat("#####", 42), "42");
    EXPECT_EQ(formatFloat("0##", 5), "005");
    EXPECT_EQ(formatFloat("##-##", 1234), "12-34");
    EXPECT_EQ(formatFloat("##-##", 123456), "1234-56");
    EXPECT_EQ(formatFloat(".00", 12.5), "12.50");
    EXPECT_EQ(formatFloat("0.0#", 1.5), "1.5");
    EXPECT_EQ(formatFloat("0.0#", 1.256), "1.26");
    EXPECT_EQ(formatFloat("#,##0", 1234567.5), "1,234,568");
    EXPECT_EQ(formatFloat(",0", 1234567), "1,234,567");
    EXPECT_EQ(formatFloat("00.00E+0", 1234), "12.34E+2");
    EXPECT_EQ(formatFloat("0.0E+0000", 1e-10), "1.0E-0010");
    EXPECT_EQ(formatFloat("0E+000000", 5), "5E+0000");  // four exponent digits at most
    EXPECT_EQ(formatFloat("0E-0", 5e-300), "5E-300");
    EXPECT_EQ(formatFloat("'Total: '#,##0", 1234567), "Total: 1,234,567");
    EXPECT_EQ(formatFloat("0\" kg\"", 5), "5 kg");
    EXPECT_EQ(formatFloat("0';'0", 12), "1;2");  // a quoted ";" does not split
    // "ウ" is 83 45: its trail byte is the letter E and must not start an exponent.
    EXPECT_EQ(formatFloat("0\x83\x45+", 5), "5\x83\x45+");
    EXPECT_EQ(formatFloat("0\x83\x30", 5), "5\x83\x30");
}

TEST(FormatFloat, RoundingAndSections) {
    EXPECT_EQ(formatFloat("0.00", 0.125), "0.13");
    EXPECT_EQ(formatFloat("0.00", 1.005), "1.00");
    EXPECT_EQ(formatFloat("0.0;-0.0;zero", -0.04), "zero");
    EXPECT_EQ(formatFloat("0.0;-0.0;zero", 0.04), "zero");
    EXPECT_EQ(formatFloat("0.0", -0.04), "0.0");
    EXPECT_EQ(formatFloat("0.0;minus 0.0", -2.25), "minus 2.3");
    EXPECT_EQ(formatFloat("0;;", -3), "-3");
    EXPECT_EQ(formatFloat("0", 123456789012345678.0), "123456789012345680");
    EXPECT_EQ(formatFloat("0", 1e19), "1E19");
    EXPECT_EQ(formatFloat(";0", 1.5), "1.5");
    EXPECT_EQ(formatFloat("0.00", std::numeric_limits<double>::quiet_NaN()), "NaN");
}

TEST(FormatFloat, BadPicturesRaiseConvertErrors) {
    EXPECT_THROW(formatFloat("0'abc", 1), EConvertError);
    EXPECT_THROW(formatFloat("0;0;0;0", 1), EConvertError);
    try {
        formatFloat("0\"x", 1);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), "Invalid float format '0\"x': unterminated quoted text");
    }
}
