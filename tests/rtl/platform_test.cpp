// The test platform itself: code page 932 and its conversions under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include "rtl/codepage.h"

TEST(Platform, AnsiCodePageIs932) {
    EXPECT_EQ(GetACP(), 932u);
}

TEST(Platform, ShiftJisRoundTripsThroughUtf16) {
    // "ア" 83 41, "ソ" 83 5C, "表" 95 5C, full-width space 81 40.
    const char sjis[] = "\x83\x41\x83\x5C\x95\x5C\x81\x40";
    WideString wide = ansiToWide(sjis);
    ASSERT_EQ(wide.size(), 4u);
    EXPECT_EQ(wide[0], L'\u30A2');
    EXPECT_EQ(wide[1], L'\u30BD');
    EXPECT_EQ(wide[2], L'\u8868');
    EXPECT_EQ(wide[3], L'\u3000');
    EXPECT_EQ(wideToAnsi(wide), sjis);
    EXPECT_TRUE(isLeadByte(0x83));
    EXPECT_FALSE(isLeadByte('A'));
}
