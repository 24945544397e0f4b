// TJRegExp: match state, global matching, templates, callbacks, splitting,
// and matching by character over code-page-932 text.
#include <gtest/gtest.h>

#include "engine/support/regexp.h"

// Code page 932 characters (kept as separate literals so that no hex escape
// runs into the next character): ア 83 41, ソ 83 5C, 表 95 5C, 能 94 5C.
#define KANA_A "\x83\x41"
#define KANA_SO "\x83\x5C"
#define HYO "\x95\x5C"
#define NOU "\x94\x5C"

namespace {

TJRegExpTexts texts(std::initializer_list<const char*> items) {
    TJRegExpTexts out;
    for (const char* item : items) out.push_back(item);
    return out;
}

}  // namespace

TEST(RegExpExec, GlobalRecordsTheLastMatchAndListsAll) {
    TJRegExp re("\\d");
    re.SetGlobal(true);
    TJRegExpTexts list{"stale"};
    ASSERT_TRUE(re.Exec("a1b2c3", &list));
    EXPECT_EQ(list, texts({"1", "2", "3"}));
    EXPECT_EQ(re.LastMatch(), "3");
    EXPECT_EQ(re.Index(), 5);
    EXPECT_EQ(re.LastIndex(), 6);
    EXPECT_EQ(re.LeftContext(), "a1b2c");
    EXPECT_EQ(re.RightContext(), "");
    EXPECT_EQ(re.Input(), "a1b2c3");
}

TEST(RegExpExec, FirstMatchWithoutGlobal) {
    TJRegExp re("\\d");
    TJRegExpTexts list;
    ASSERT_TRUE(re.Exec("a1b2c3", &list));
    EXPECT_EQ(list, texts({"1"}));
    EXPECT_EQ(re.Index(), 1);
    EXPECT_EQ(re.LastIndex(), 2);
    EXPECT_EQ(re.LeftContext(), "a");
    EXPECT_EQ(re.RightContext(), "b2c3");
    EXPECT_EQ(re.Groups(), texts({"1"}));
    EXPECT_EQ(re.LastParen(), "");
}

TEST(RegExpExec, GroupsIncludeThoseThatTookNoPart) {
    TJRegExp re("(a)(b)?(c)");
    ASSERT_TRUE(re.Test("xacx"));
    EXPECT_EQ(re.Groups(), texts({"ac", "a", "", "c"}));
    EXPECT_EQ(re.LastParen(), "c");
    re.SetSource("(a)(b)?");
    ASSERT_TRUE(re.Test("a"));
    EXPECT_EQ(re.Groups(), texts({"a", "a", ""}));
    EXPECT_EQ(re.LastParen(), "");
}

TEST(RegExpExec, NoMatchClearsTheState) {
    TJRegExp re("b");
    ASSERT_TRUE(re.Test("abc"));
    EXPECT_FALSE(re.Test("xyz"));
    EXPECT_EQ(re.Index(), -1);
    EXPECT_EQ(re.LastIndex(), -1);
    EXPECT_EQ(re.LastMatch(), "");
    EXPECT_TRUE(re.Groups().empty());
    EXPECT_EQ(re.Input(), "xyz");
}

TEST(RegExpExec, MalformedPatternNeverMatchesAndNeverThrows) {
    TJRegExp re("(");
    TJRegExpTexts list{"stale"};
    EXPECT_FALSE(re.Exec("a(b", &list));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(re.Index(), -1);
    EXPECT_EQ(re.Replace("a(b", "x"), "a(b");
    TJRegExpTexts pieces{"stale"};
    EXPECT_FALSE(re.Split("a(b", pieces));
    EXPECT_EQ(pieces, TJRegExpTexts{"a(b"});
    re.SetSource("\\(");  // fixing the source makes it usable again
    EXPECT_TRUE(re.Test("a(b"));
    EXPECT_EQ(re.Index(), 1);
}

TEST(RegExpExec, LibrarySettingsAndModifiers) {
    TJRegExp re("a.b");
    EXPECT_TRUE(re.Test("a\nb"));  // dot matches line breaks
    re.SetSource("a+");
    ASSERT_TRUE(re.Test("xaaay"));  // greedy
    EXPECT_EQ(re.LastMatch(), "aaa");

    re.SetSource("A");
    EXPECT_FALSE(re.Test("a"));
    re.SetIgnoreCase(true);
    EXPECT_TRUE(re.IgnoreCase());
    EXPECT_TRUE(re.Test("a"));

    re.SetSource("^b");
    re.SetIgnoreCase(false);
    EXPECT_FALSE(re.Test("a\nb"));
    re.SetMultiLine(true);
    ASSERT_TRUE(re.Test("a\nb"));
    EXPECT_EQ(re.Index(), 2);
    EXPECT_TRUE(re.Test("a\rb"));  // a lone CR ends a line too
    re.SetSource("a$");
    ASSERT_TRUE(re.Test("xa\r\ny"));
    EXPECT_EQ(re.Index(), 1);
}

TEST(RegExpExec, GlobalSearchSeesTheTextBeforeItsStart) {
    TJRegExp re("(?<=a)b");
    re.SetGlobal(true);
    TJRegExpTexts list;
    ASSERT_TRUE(re.Exec("abxbab", &list));
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(re.Index(), 5);
    re.SetSource("^a");
    ASSERT_TRUE(re.Exec("aaa", &list));
    EXPECT_EQ(list.size(), 1u);
}

TEST(RegExpExec, EmptyMatchesStepOneCharacter) {
    TJRegExp re("x*");
    re.SetGlobal(true);
    TJRegExpTexts list;
    ASSERT_TRUE(re.Exec("a" KANA_A "b", &list));
    EXPECT_EQ(list, texts({"", "", "", ""}));
    EXPECT_EQ(re.Index(), 4);
    EXPECT_EQ(re.Replace("a" KANA_A "b", "-"), "-a-" KANA_A "-b-");
    EXPECT_EQ(re.Replace("a\r\nb", "-"), "-a-\r\n-b-");  // CR LF is one step
    EXPECT_EQ(re.Replace("", "-"), "-");
    re.SetSource("a*");
    EXPECT_EQ(re.Replace("baac", "-"), "-b--c-");
}

TEST(RegExpExec, NulBytesAreOrdinaryCharacters) {
    TJRegExp re("b");
    ASSERT_TRUE(re.Test(AnsiString("a\0b", 3)));
    EXPECT_EQ(re.Index(), 2);
    EXPECT_EQ(re.LeftContext(), AnsiString("a\0", 2));
}

TEST(RegExpReplace, FirstOrEveryMatch) {
    TJRegExp re("\\d");
    EXPECT_EQ(re.Replace("a1b2", "[$&]"), "a[1]b2");
    EXPECT_EQ(re.Index(), 1);
    re.SetGlobal(true);
    EXPECT_EQ(re.Replace("a1b2", "[$&]"), "a[1]b[2]");
    EXPECT_EQ(re.LastMatch(), "2");
    EXPECT_EQ(re.Input(), "a1b2");
    EXPECT_EQ(re.Replace("abc", "[$&]"), "abc");
}

TEST(RegExpReplace, TemplateSyntax) {
    TJRegExp re("(\\w+)@(\\w+)");
    EXPECT_EQ(re.Replace("<me@host>", "$2 at $1 ($0)"), "<host at me (me@host)>");
    EXPECT_EQ(re.Replace("me@host", "${2}7"), "host7");
    EXPECT_EQ(re.Replace("me@host", "$27"), "");  // group 27 does not exist
    EXPECT_EQ(re.Replace("me@host", "\\$1 \\\\ \\x"), "$1 \\ x");
    EXPECT_EQ(re.Replace("me@host", "$ $x ${x} ${1 $"), "$ $x ${x} ${1 $");
    EXPECT_EQ(re.Replace("me@host", "a\\"), "a\\");

    TJRegExp twelve("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)");
    EXPECT_EQ(twelve.Replace("abcdefghijkl", "${12}$12|$1${1}2"), "ll|aa2");
}

TEST(RegExpReplace, TemplateKeepsDoubleByteCharacters) {
    // The trail byte 5C of ソ and 表 is not a back-slash, nor is 24 after a lead byte a dollar.
    TJRegExp re("x");
    EXPECT_EQ(re.Replace("x", KANA_SO "$&" HYO), KANA_SO "x" HYO);
    EXPECT_EQ(re.Replace("x", "\\" KANA_SO "!"), KANA_SO "!");
    EXPECT_EQ(re.Replace("x", "\x81\x24" "1"), "\x81\x24" "1");
}

TEST(RegExpReplace, CallbackSeesEachMatch) {
    TJRegExp re("[a-z](\\d)");
    re.SetGlobal(true);
    std::vector<int> indexes;
    AnsiString result = re.Replace("a1-b2-c3", "unused", [&](TJRegExp& self, const AnsiString& match) {
        indexes.push_back(self.Index());
        return AnsiString("<") + match + ":" + self.Groups()[1] + ">";
    });
    EXPECT_EQ(result, "<a1:1>-<b2:2>-<c3:3>");
    EXPECT_EQ(indexes, (std::vector<int>{0, 3, 6}));
}

TEST(RegExpReplace, CallbackMayReuseTheWrapper) {
    TJRegExp re("\\d");
    re.SetGlobal(true);
    AnsiString result = re.Replace("1 2 3", "", [](TJRegExp& self, const AnsiString& match) {
        self.SetSource("[a-z]");
        self.Test("zz");  // another text and pattern meanwhile
        return match + match;
    });
    EXPECT_EQ(result, "11 22 33");
}

TEST(RegExpReplace, CallbackErrorsPropagate) {
    TJRegExp re("a");
    EXPECT_THROW(re.Replace("a", "", [](TJRegExp&, const AnsiString&) -> AnsiString { throw std::runtime_error("x"); }),
                 std::runtime_error);
}

TEST(RegExpSplit, Limits) {
    TJRegExp re(",");
    TJRegExpTexts pieces;
    ASSERT_TRUE(re.Split("a,b,c", pieces, 2));
    EXPECT_EQ(pieces, texts({"a", "b"}));
    ASSERT_TRUE(re.Split("a,b,c", pieces, -1));
    EXPECT_EQ(pieces, texts({"a", "b", "c"}));
    ASSERT_TRUE(re.Split("a,b,c", pieces, 0));
    EXPECT_TRUE(pieces.empty());
    ASSERT_TRUE(re.Split("a,b,c", pieces, 3));
    EXPECT_EQ(pieces.size(), 3u);
    EXPECT_EQ(re.Input(), "a,b,c");
}

TEST(RegExpSplit, EdgesAndEmptyMatches) {
    TJRegExp re(",");
    TJRegExpTexts pieces;
    ASSERT_TRUE(re.Split(",a,", pieces));
    EXPECT_EQ(pieces, texts({"", "a", ""}));
    ASSERT_TRUE(re.Split("abc", pieces));
    EXPECT_EQ(pieces, texts({"abc"}));
    re.SetSource("");
    ASSERT_TRUE(re.Split("a" KANA_A "c", pieces));
    EXPECT_EQ(pieces, texts({"a", KANA_A, "c"}));
    re.SetSource(",*");
    ASSERT_TRUE(re.Split("a,,b", pieces));
    EXPECT_EQ(pieces, texts({"a", "b"}));
    re.SetSource("[,:\\s]+");
    ASSERT_TRUE(re.Split("Dec 25, 2006 10:20:30", pieces));
    EXPECT_EQ(pieces, texts({"Dec", "25", "2006", "10", "20", "30"}));
}

TEST(RegExpDoubleByte, AsciiPatternsNeverHitTrailBytes) {
    TJRegExp a("A");
    EXPECT_FALSE(a.Test(KANA_A));
    ASSERT_TRUE(a.Test(KANA_A "A"));
    EXPECT_EQ(a.Index(), 2);
    EXPECT_EQ(a.LastIndex(), 3);
    EXPECT_EQ(a.LeftContext(), KANA_A);

    TJRegExp backslash("\\\\");
    EXPECT_FALSE(backslash.Test(KANA_SO HYO NOU));
    ASSERT_TRUE(backslash.Test(KANA_SO HYO "\\"));
    EXPECT_EQ(backslash.Index(), 4);
}

TEST(RegExpDoubleByte, ReplaceAndSplitKeepCharactersWhole) {
    TJRegExp a("A");
    a.SetGlobal(true);
    EXPECT_EQ(a.Replace(KANA_A "A" KANA_A, "x"), KANA_A "x" KANA_A);
    TJRegExp backslash("\\\\");
    backslash.SetGlobal(true);
    EXPECT_EQ(backslash.Replace(HYO "\\" KANA_SO "\\" NOU, "/"), HYO "/" KANA_SO "/" NOU);
    TJRegExpTexts pieces;
    ASSERT_TRUE(backslash.Split(KANA_SO "\\" NOU HYO, pieces));
    EXPECT_EQ(pieces, texts({KANA_SO, NOU HYO}));
}

TEST(RegExpDoubleByte, PositionsAreByteOffsets) {
    TJRegExp re(KANA_A "+(b)");
    ASSERT_TRUE(re.Test("x" KANA_A KANA_A "by"));
    EXPECT_EQ(re.Index(), 1);
    EXPECT_EQ(re.LastIndex(), 6);
    EXPECT_EQ(re.LastMatch(), KANA_A KANA_A "b");
    EXPECT_EQ(re.RightContext(), "y");
    EXPECT_EQ(re.LastParen(), "b");

    TJRegExp dot(".");
    dot.SetGlobal(true);
    TJRegExpTexts list;
    ASSERT_TRUE(dot.Exec(HYO "a" NOU, &list));
    EXPECT_EQ(list, texts({HYO, "a", NOU}));
    EXPECT_EQ(dot.Index(), 3);
    EXPECT_EQ(dot.LastIndex(), 5);

    TJRegExp notA("[^A]+");
    ASSERT_TRUE(notA.Test("A" KANA_A KANA_SO "A"));
    EXPECT_EQ(notA.LastMatch(), KANA_A KANA_SO);
}

TEST(RegExpDoubleByte, InvalidBytesMatchAsThemselves) {
    // 81 7F is no character: the lead byte stands alone, then 7F.
    TJRegExp dot(".");
    dot.SetGlobal(true);
    TJRegExpTexts list;
    ASSERT_TRUE(dot.Exec("\x81\x7F" "b", &list));
    EXPECT_EQ(list, texts({"\x81", "\x7F", "b"}));

    TJRegExp lead("\x81");
    ASSERT_TRUE(lead.Test("a\x81\x7F"));
    EXPECT_EQ(lead.Index(), 1);
    EXPECT_FALSE(lead.Test("\x81\x40"));  // the full-width space holds 81 but is one character

    TJRegExp loneAtEnd("\x83$");
    ASSERT_TRUE(loneAtEnd.Test("ab\x83"));
    EXPECT_EQ(loneAtEnd.Index(), 2);

    TJRegExp b("b");
    b.SetGlobal(true);
    EXPECT_EQ(b.Replace("\x81\x7F" "b\xFD" "b\x83", "c"), "\x81\x7F" "c\xFD" "c\x83");
}

TEST(RegExpAssign, CopiesSettingsAndState) {
    TJRegExp from("(b)(c)");
    from.SetGlobal(true);
    from.SetIgnoreCase(true);
    from.SetMultiLine(true);
    ASSERT_TRUE(from.Test("aBCd"));
    TJRegExp to;
    to.Assign(from);
    EXPECT_EQ(to.Source(), "(b)(c)");
    EXPECT_TRUE(to.IgnoreCase());
    EXPECT_TRUE(to.MultiLine());
    EXPECT_TRUE(to.Global());
    EXPECT_EQ(to.Input(), "aBCd");
    EXPECT_EQ(to.Index(), 1);
    EXPECT_EQ(to.LastIndex(), 3);
    EXPECT_EQ(to.LastMatch(), "BC");
    EXPECT_EQ(to.LeftContext(), "a");
    EXPECT_EQ(to.RightContext(), "d");
    EXPECT_EQ(to.LastParen(), "C");
    EXPECT_EQ(to.Groups(), texts({"BC", "B", "C"}));
    EXPECT_TRUE(to.Test("xbc"));

    to.ClearMatch();
    EXPECT_EQ(to.Index(), -1);
    EXPECT_EQ(to.LastIndex(), -1);
    EXPECT_TRUE(to.Groups().empty());
    EXPECT_EQ(from.LastMatch(), "BC");  // the source object keeps its own state
}
