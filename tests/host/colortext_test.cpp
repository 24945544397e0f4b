// Colour texts and colour-alpha lists, with the quirks stored widgets rely on.
#include <gtest/gtest.h>

#include "host/window/colortext.h"

TEST(ColorText, HtmlToColorSwapsRedAndBlue) {
    const struct {
        const char* text;
        TColor color;
    } cases[] = {
        {"#ff0000", clRed},     {"ff0000", clRed},         {"#0000ff", clBlue},     {"#00FF00", clLime},
        {"#123456", 0x563412},    {"#fff", clFuchsia}, {"", clFuchsia}, {"#gg0000", clFuchsia},
        {"##ff0000", clFuchsia},  // only one "#" is dropped
        {"#ff00001", 0x000FF1},         // a seventh digit shifts the number
        {"#123456789", clFuchsia},  // more than eight digits
    };
    for (const auto& c : cases) EXPECT_EQ(HtmlToColor(c.text), c.color) << c.text;
}

TEST(ColorText, ColorToHtmlTakesTheBytesAsTheyAre) {
    EXPECT_EQ(ColorToHtml(0x563412), "#123456");
    EXPECT_EQ(ColorToHtml(clBtnFace), "#0f0000");  // a system colour is not resolved
    EXPECT_EQ(ColorToHtml(HtmlToColor("#A0b1C2")), "#a0b1c2");
}

TEST(ColorText, ColorAlphaLists) {
    const TColorAlpha red128{clRed, 128}, green0{clLime, 0};
    const struct {
        const char* text;
        std::vector<TColorAlpha> entries;
    } cases[] = {
        {"[ #FF0000 = 128 , #00ff00=0 ]", {red128, green0}},
        {"=50", {{0, 50}}},
        {"#ff0000=", {{clRed, 255}}},
        {"#ff0000=300", {{clRed, 44}}},
        {"#ff0000=x1", {{clRed, 255}}},
        {"#ff0000=128,", {red128}},
        {"#ff0000=128\r\n", {red128}},                          // "$" before the final line break
        {"#ff0000,#00ff00=0", {{clFuchsia, 0}}},          // a colour runs to the next "="
        {"#ff0000=128=5,#00ff00=0", {{clRed, 255}, green0}},  // "128=5" is no number
        {"#ff0000", {}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(parseColorAlpha(c.text), c.entries) << c.text;
}

TEST(ColorText, ColorAlphaTextReadsBack) {
    EXPECT_EQ(colorAlphaText(parseColorAlpha("[#FF0000=128, =7]")), "[#ff0000=128,#000000=7]");
    EXPECT_EQ(colorAlphaText({}), "[]");
}
