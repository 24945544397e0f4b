// AnsiString: sharing, copy-on-write and appends.
#include <gtest/gtest.h>

#include "rtl/ansistring.h"

TEST(AnsiString, CopiesShareUntilWritten) {
    AnsiString a("hello");
    AnsiString b = a;
    EXPECT_TRUE(a.sharesWith(b));
    b.mutableData()[0] = 'j';
    EXPECT_FALSE(a.sharesWith(b));
    EXPECT_EQ(a, "hello");
    EXPECT_EQ(b, "jello");
}

TEST(AnsiString, AppendLeavesOtherCopiesAlone) {
    AnsiString a("ab");
    AnsiString b = a;
    b += "cd";
    EXPECT_EQ(a, "ab");
    EXPECT_EQ(b, "abcd");
    b += b;  // a tail that lies in the string's own buffer
    EXPECT_EQ(b, "abcdabcd");
}

TEST(AnsiString, CuttingASharedCopyLeavesTheOtherWhole) {
    AnsiString a(4000, 'x');
    AnsiString b = a;
    b.setLength(1);  // copies one byte into a buffer of one, not all 4000
    EXPECT_EQ(b, "x");
    EXPECT_EQ(a, AnsiString(4000, 'x'));
}

TEST(AnsiString, HoldsNulBytesAndStaysTerminated) {
    AnsiString a("a\0b", 3);
    EXPECT_EQ(a.length(), 3u);
    EXPECT_EQ(a[1], '\0');
    a.setLength(5);
    EXPECT_EQ(a.length(), 5u);
    EXPECT_EQ(a.c_str()[5], '\0');
    EXPECT_STREQ(AnsiString().c_str(), "");
}

TEST(AnsiString, RepeatedAppendGrowsGeometrically) {
    AnsiString s;
    const char* before = nullptr;
    int moves = 0;
    for (int i = 0; i < 100000; ++i) {
        s += 'x';
        if (s.c_str() != before) ++moves;
        before = s.c_str();
    }
    EXPECT_EQ(s.length(), 100000u);
    EXPECT_LT(moves, 64);
}

TEST(AnsiString, SubstrAndCompare) {
    AnsiString s("abcdef");
    EXPECT_EQ(s.substr(2, 2), "cd");
    EXPECT_EQ(s.substr(10), "");
    EXPECT_TRUE(s.substr(0).sharesWith(s));
    EXPECT_LT(AnsiString("abc"), AnsiString("abd"));
    EXPECT_EQ("x" + AnsiString("y") + "z", "xyz");
}
