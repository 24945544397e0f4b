// Percent-encoding and decoding over code-page-932 bytes.
#include <gtest/gtest.h>

#include "engine/support/percentcode.h"

// ア 83 41, ソ 83 5C, 表 95 5C, あ 82 A0.
#define KANA_A "\x83\x41"
#define KANA_SO "\x83\x5C"
#define HYO "\x95\x5C"
#define HIRA_A "\x82\xA0"

TEST(PercentEncode, GlobalsOfTheScriptLanguage) {
    EXPECT_EQ(EncodeURIComponent("a b&c"), "a%20b%26c");
    EXPECT_EQ(EscapeText("a b&c"), "a+b%26c");
    EXPECT_EQ(EncodeURI("http://h/a b?x=1&y=2#f"), "http://h/a%20b?x=1&y=2#f");
    EXPECT_EQ(EncodeURIComponent("http://h/?x=1"), "http%3a%2f%2fh%2f%3fx%3d1");
    EXPECT_EQ(EscapeText("+"), "%2b");
}

TEST(PercentEncode, ShiftJisByteByByte) {
    // A byte outside the safe set becomes an escape with lower-case digits;
    // a trail byte that is itself safe (41 "A") is copied.
    EXPECT_EQ(EscapeText(KANA_A), "%83A");
    EXPECT_EQ(EscapeText(KANA_SO), "%83%5c");
    EXPECT_EQ(EncodeURIComponent(HYO HIRA_A), "%95%5c%82%a0");
    EXPECT_EQ(EncodeURI("/" HYO "/"), "/%95%5c/");
}

TEST(PercentEncode, SafeSetIsExactlySeventyBytes) {
    int safe = 0;
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        if (EncodeURIComponent(std::string_view(&c, 1)) == std::string_view(&c, 1)) ++safe;
    }
    EXPECT_EQ(safe, 70);
    EXPECT_EQ(EncodeURIComponent("!'()*-._~"), "!'()*-._%7e");
}

TEST(PercentDecode, EscapesAndPlus) {
    EXPECT_EQ(UnescapeText("a+b"), "a+b");  // no escape at all: unchanged
    EXPECT_EQ(UnescapeText("a+b%21"), "a b!");
    EXPECT_EQ(DecodeURI("a+b%20"), "a+b ");
    EXPECT_EQ(DecodeURIComponent("%83A%83%5c"), KANA_A KANA_SO);
    EXPECT_EQ(DecodeURIComponent("%95%5C"), HYO);
    EXPECT_EQ(UnescapeText("%%%41"), "%A");
    EXPECT_EQ(UnescapeText("%00"), AnsiString("\0", 1));
}

TEST(PercentDecode, BrokenEscapesStayAsTheyAre) {
    EXPECT_EQ(UnescapeText("%41%zz"), "A%zz");
    EXPECT_EQ(UnescapeText("%41%4"), "A%4");
    EXPECT_EQ(UnescapeText("%41%"), "A%");
    EXPECT_EQ(UnescapeText("%g1%41"), "%g1A");
    EXPECT_EQ(UnescapeText("100%"), "100%");
    EXPECT_FALSE(HasPercentEscape("%4g"));
    EXPECT_FALSE(HasPercentEscape("%"));
    EXPECT_FALSE(HasPercentEscape("%4"));
    EXPECT_TRUE(HasPercentEscape("x%4F"));
}

TEST(PercentDecode, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(UnescapeText(EscapeText(all)), all);
    EXPECT_EQ(DecodeURIComponent(EncodeURIComponent(all)), all);
    EXPECT_EQ(DecodeURI(EncodeURI(all)), all);
}
