// Text helpers over code page 932: byte and character searches, character
// operations with double-byte characters (several with trail byte 5C), ASCII
// case mapping and LCMapStringA width and kana mapping.
#include <gtest/gtest.h>

#include "engine/support/mbstring.h"

// ア 83 41, ソ 83 5C, 表 95 5C, 能 94 5C, あ 82 A0, い 82 A2, イ 83 43.
#define KANA_A "\x83\x41"
#define KANA_I "\x83\x43"
#define KANA_SO "\x83\x5C"
#define HYO "\x95\x5C"
#define NOU "\x94\x5C"
#define HIRA_A "\x82\xA0"
#define HIRA_I "\x82\xA2"

TEST(MbcsScan, TrailBytesAreNotDelimiters) {
    EXPECT_EQ(mbcsFindLastOf("C:\\" HYO, "\\"), 2u);
    EXPECT_EQ(mbcsFindLastOf(KANA_SO NOU, "\\"), std::string_view::npos);
    EXPECT_EQ(mbcsFindLastOf("a\\b/c", "\\/"), 3u);
    EXPECT_FALSE(mbcsEndsWith("dir" HYO, '\\'));
    EXPECT_TRUE(mbcsEndsWith("dir" HYO "\\", '\\'));
    EXPECT_FALSE(mbcsEndsWith("", '\\'));
    EXPECT_EQ(mbcsCharWidth(KANA_A, 0), 2u);
    EXPECT_EQ(mbcsCharWidth("\x83", 0), 1u);  // a lead byte at the very end stands alone
}

TEST(MbcsScan, TrimAndAsciiCase) {
    EXPECT_EQ(trimText(" \t a b \r\n"), "a b");
    EXPECT_EQ(trimText("   "), "");
    // The trail byte 41 of ア is not the letter A.
    EXPECT_EQ(lowerCaseAscii("AB" KANA_A "C"), "ab" KANA_A "c");
    EXPECT_EQ(upperCaseAscii("ab\x82\x61" "c"), "AB\x82\x61" "C");
}

TEST(ByteSearch, PosFromAndLastPosFrom) {
    EXPECT_EQ(PosFrom("b", "abab", 0), 2);
    EXPECT_EQ(PosFrom("b", "abab", 3), 4);
    EXPECT_EQ(PosFrom("b", "abab", 5), 0);
    EXPECT_EQ(PosFrom("x", "abab", 1), 0);
    EXPECT_EQ(PosFrom("", "abab", 1), 0);
    EXPECT_EQ(LastPosFrom("b", "abab", 0), 4);
    EXPECT_EQ(LastPosFrom("b", "abab", 3), 2);
    EXPECT_EQ(LastPosFrom("ab", "abab", 3), 3);
    EXPECT_EQ(LastPosFrom("b", "abab", 1), 0);
    EXPECT_EQ(LastPosFrom("abc", "ab", 0), 0);
}

TEST(MbcsOperations, LengthCopyLeftReverse) {
    EXPECT_EQ(MbcsLength(HYO KANA_SO "a"), 3);
    EXPECT_EQ(MbcsLength(""), 0);
    EXPECT_EQ(MbcsCopy("a" HYO "b", 2, 1), HYO);
    EXPECT_EQ(MbcsCopy("a" HYO "b", 0, 2), "a" HYO);
    EXPECT_EQ(MbcsCopy("a" HYO "b", 2, 99), HYO "b");
    EXPECT_EQ(MbcsCopy("a" HYO "b", 4, 1), "");
    EXPECT_EQ(MbcsCopy("a" HYO "b", 1, 0), "");
    EXPECT_EQ(MbcsLeft(KANA_SO NOU "x", 2), KANA_SO NOU);
    EXPECT_EQ(MbcsLeft("abc", -1), "");
    EXPECT_EQ(MbcsReverse(HYO KANA_SO "a"), "a" KANA_SO HYO);
    EXPECT_EQ(MbcsReverse("ab\x83"), "\x83" "ba");
}

TEST(MbcsOperations, SliceCountsFromTheEnd) {
    const char* five = "a" HYO "c" KANA_SO "e";
    EXPECT_EQ(MbcsSlice(five, -2, 0), "c" KANA_SO);  // start 3, end 5
    EXPECT_EQ(MbcsSlice(five, 2, 4), HYO "c");
    EXPECT_EQ(MbcsSlice(five, -10, 3), "a" HYO);  // start clamps to 1
    EXPECT_EQ(MbcsSlice(five, 4, 2), "");
}

TEST(MbcsOperations, InsertDeleteReplace) {
    AnsiString s = "a" HYO "b";
    MbcsInsert("x", s, 2);
    EXPECT_EQ(s, "ax" HYO "b");
    MbcsInsert("y", s, 0);
    EXPECT_EQ(s, "yax" HYO "b");
    MbcsInsert("z", s, 6);  // past the end: nothing
    EXPECT_EQ(s, "yax" HYO "b");

    s = "a" HYO "b" KANA_SO;
    MbcsDelete(s, 2, 2);
    EXPECT_EQ(s, "a" KANA_SO);
    MbcsDelete(s, 1, 0);
    MbcsDelete(s, 5, 1);
    EXPECT_EQ(s, "a" KANA_SO);
    MbcsDelete(s, 2, 9);
    EXPECT_EQ(s, "a");

    s = "a" HYO "b";
    MbcsReplaceAt("xy", s, 2);
    EXPECT_EQ(s, "axyb");
    s = "a" HYO;
    MbcsReplaceAt(NOU, s, 2);  // the last character: the text ends s
    EXPECT_EQ(s, "a" NOU);
    MbcsReplaceAt("q", s, 3);
    EXPECT_EQ(s, "a" NOU);
}

TEST(MbcsOperations, Splice) {
    AnsiString s = "ab" HYO "de";
    MbcsSplice("X", s, 2, 4);
    EXPECT_EQ(s, "aXde");
    s = "abcde";
    MbcsSplice("X", s, 4, 6);  // replaces the end: appended
    EXPECT_EQ(s, "abcX");
    s = "abcde";
    MbcsSplice("X", s, -1, 0);  // start 4, end 5
    EXPECT_EQ(s, "abcXe");
    s = "abc";
    MbcsSplice("X", s, 4, 4);
    EXPECT_EQ(s, "abcX");
    MbcsSplice("Y", s, 9, 10);
    EXPECT_EQ(s, "abcX");
    MbcsSplice(KANA_SO, s, 2, 2);  // nothing replaced: inserted
    EXPECT_EQ(s, "a" KANA_SO "bcX");
}

TEST(MbcsOperations, PosAndLastPosCountCharacters) {
    EXPECT_EQ(MbcsPos("\\", KANA_SO "\\", 0), 2);
    EXPECT_EQ(MbcsPos("A", KANA_A "A", 0), 2);
    EXPECT_EQ(MbcsPos("A", KANA_A, 1), 0);
    EXPECT_EQ(MbcsPos("b", HYO "ab" "b", 3), 3);
    EXPECT_EQ(MbcsPos("b", HYO "ab" "b", 4), 4);
    EXPECT_EQ(MbcsPos("b", "ab", 5), 0);
    EXPECT_EQ(MbcsPos("", "ab", 0), 0);
    EXPECT_EQ(MbcsPos(NOU, "a" HYO NOU, 0), 3);

    EXPECT_EQ(MbcsLastPos("\\", "\\" KANA_SO, 0), 1);
    EXPECT_EQ(MbcsLastPos("ab", HYO "abab", 0), 4);
    EXPECT_EQ(MbcsLastPos("ab", HYO "abab", 3), 2);
    EXPECT_EQ(MbcsLastPos("ab", HYO "abab", 1), 0);
    EXPECT_EQ(MbcsLastPos("A", KANA_A KANA_A, 0), 0);
}


// The last character at or before character start where sub begins, found by
// walking from the start.
int lastPosByWalk(std::string_view sub, std::string_view s, int start) {
    int found = 0, c = 1;
    for (size_t i = 0; i < s.size() && (start <= 0 || c <= start); i += mbcsCharWidth(s, i), ++c)
        if (s.substr(i).starts_with(sub)) found = c;
    return found;
}

// Lookups in one text, which remembers where the last one ended, give what the
// same lookups give in a fresh copy of it (or a walk from the start), in any
// order and after appends in place. The bytes: lead bytes (83, 88), 9F (a lead byte that is also a
// trail), and 41 and 5C (ASCII bytes that are also trails).
TEST(MbcsOperations, RememberedPositionsMatchAFreshWalk) {
    const char bytes[] = {'a', 'A', '\\', '\x83', '\x88', '\x9F'};
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) { return (seed = seed * 1103515245u + 12345u) / 65536u % n; };
    AnsiString text;
    for (int step = 0; step < 20000; ++step) {
        if (next(40) == 0 || text.empty()) text += bytes[next(6)];
        AnsiString fresh(text.view());
        AnsiString sub(1, bytes[next(6)]);
        if (next(3) == 0) sub += bytes[next(6)];
        int at = static_cast<int>(next(static_cast<unsigned>(text.length()) + 4));
        int count = static_cast<int>(next(4));
        switch (next(5)) {
        case 0: ASSERT_EQ(MbcsCopy(text, at, count), MbcsCopy(fresh, at, count)) << step; break;
        case 1: ASSERT_EQ(MbcsPos(sub, text, at), MbcsPos(sub, fresh, at)) << step; break;
        case 2: ASSERT_EQ(MbcsLastPos(sub, text, at), lastPosByWalk(sub, text, at)) << step; break;
        case 3: ASSERT_EQ(MbcsLength(text), MbcsLength(fresh)) << step; break;
        case 4: ASSERT_EQ(MbcsSlice(text, at, -count), MbcsSlice(fresh, at, -count)) << step; break;
        }
    }
}
TEST(WidthAndKana, LCMapStringConversions) {
    EXPECT_EQ(ToFullWidth("abc"), "\x82\x81\x82\x82\x82\x83");
    EXPECT_EQ(ToHalfWidth("\x82\x81\x82\x82\x82\x83"), "abc");
    EXPECT_EQ(ToHiragana(KANA_A KANA_I), HIRA_A HIRA_I);
    EXPECT_EQ(ToKatakana(HIRA_A HIRA_I), KANA_A KANA_I);
    EXPECT_EQ(ToHalfWidth(KANA_A), "\xB1");
    EXPECT_EQ(LCMapText(AnsiString("ab\0cd", 5), 0x200), "AB");
    EXPECT_EQ(ToFullWidth(""), "");
}
