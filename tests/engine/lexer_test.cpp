// Tests of TJLex: keywords and identifiers, operators and sub-codes, the
// slash (division, regular expression, comments), both string forms, numbers
// and their conversion limits, Shift-JIS text, line counting with push-back,
// the trace hook, inserted text and unterminated literals.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/syntax/lexer.h"

namespace {

// Scans code-page-932 text; each token as "code:text", the text back in
// code page 932, character 0 shown as "\0".
std::string scan(std::string_view ansi) {
    TJLex lex;
    lex.SetSource(ansiToWide(ansi));
    std::string out;
    while (lex.NextToken()) {
        std::string text = wideToAnsi(lex.TokenText()).str();
        std::string shown;
        for (char c : text) shown += c ? std::string(1, c) : std::string("\\0");
        if (!out.empty()) out += ' ';
        out += std::to_string(lex.Token()) + ":" + shown;
    }
    EXPECT_EQ(lex.Token(), tkNone);
    EXPECT_FALSE(lex.NextToken());
    return out;
}

// The token codes with their line numbers: "code@line".
std::string lines(std::string_view ansi) {
    TJLex lex;
    lex.SetSource(ansiToWide(ansi));
    std::string out;
    while (lex.NextToken()) {
        if (!out.empty()) out += ' ';
        out += std::to_string(lex.Token()) + "@" + std::to_string(lex.LineNo());
    }
    return out;
}

// The single token of a text: code and sub-code.
struct Single {
    int code;
    wchar_t sub;
    bool operator==(const Single&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Single& s) {
    return os << s.code << "/'" << static_cast<char>(s.sub) << "'";
}

Single single(std::string_view ansi) {
    TJLex lex;
    lex.SetSource(ansiToWide(ansi));
    EXPECT_TRUE(lex.NextToken()) << ansi;
    Single s{lex.Token(), lex.SubCode()};
    EXPECT_EQ(wideToAnsi(lex.TokenText()), ansi);
    EXPECT_FALSE(lex.NextToken()) << ansi;
    return s;
}

struct Number {
    int code;
    int integer;
    double real;
};

Number number(std::string_view text) {
    TJLex lex;
    lex.SetSource(ansiToWide(text));
    EXPECT_TRUE(lex.NextToken()) << text;
    Number n{lex.Token(), lex.IntValue(), lex.FloatValue()};
    EXPECT_EQ(wideToAnsi(lex.TokenText()), text);
    EXPECT_FALSE(lex.NextToken()) << text << " scanned as more than one token";
    return n;
}

}  // namespace

// ==== Keywords and identifiers ====

TEST(Lexer, EveryKeywordHasItsCode) {
    const std::pair<const char*, int> keywords[] = {
        {"var", 257}, {"function", 258}, {"#", 258}, {"if", 260}, {"else", 261}, {"while", 262},
        {"for", 263}, {"continue", 264}, {"break", 265}, {"return", 266}, {"#=", 266},
        {"with", 267}, {"this", 268}, {"null", 269}, {"true", 270}, {"false", 271}, {"new", 272},
        {"delete", 273}, {"void", 274}, {"typeof", 275}, {"try", 276}, {"catch", 277},
        {"finally", 278}, {"throw", 279}, {"undefined", 280}, {"infinity", 281}, {"in", 282},
        {"case", 283}, {"class", 284}, {"const", 285}, {"debugger", 286}, {"do", 287},
        {"enum", 288}, {"export", 289}, {"extends", 290}, {"import", 291}, {"super", 292},
        {"switch", 293}, {"default", 326}, {"static", 328}, {"global", 329}, {"foreach", 330},
        {"NaN", 502},
    };
    for (auto [text, code] : keywords) EXPECT_EQ(scan(text), std::to_string(code) + ":" + text);
    // Case-sensitive; near misses are identifiers.
    EXPECT_EQ(scan("Var Infinity nan NAN vars"), "295:Var 295:Infinity 295:nan 295:NAN 295:vars");
}

TEST(Lexer, IdentifiersAndTheHashSign) {
    EXPECT_EQ(scan("_a$1 Z9"), "295:_a$1 295:Z9");
    EXPECT_EQ(scan("abc# d"), "295:abc# 295:d");      // '#' ends the identifier
    EXPECT_EQ(scan("a#=b"), "295:a#= 295:b");
    EXPECT_EQ(scan("#f(x){#=x;}"), "258:# 295:f 299:( 295:x 300:) 301:{ 266:#= 295:x 305:; 302:}");
    EXPECT_EQ(scan("## #=="), "258:# 258:# 266:#= 316:=");
}

TEST(Lexer, KeywordsAfterADotAreMemberNames) {
    EXPECT_EQ(scan("a.new"), "295:a 324:. 295:new");
    EXPECT_EQ(scan("new"), "272:new");
    EXPECT_EQ(scan("x . delete(this.var)"), "295:x 324:. 295:delete 299:( 268:this 324:. 295:var 300:)");
    EXPECT_EQ(scan("a.# b"), "295:a 324:. 295:# 295:b");
}

TEST(Lexer, RegExpStaticsAfterADot) {
    EXPECT_EQ(scan("RegExp.$&"), "295:RegExp 324:. 295:lastMatch");
    EXPECT_EQ(scan("r.$` r.$\" r.$+ r.$* r.$_"),
              "295:r 324:. 295:leftContext 295:r 324:. 295:rightContext 295:r 324:. 295:lastParen "
              "295:r 324:. 295:multiline 295:r 324:. 295:input");
    EXPECT_EQ(scan("r.$_x"), "295:r 324:. 295:input 295:x");  // the static ends the name
    EXPECT_EQ(scan("r.$1 r.$"), "295:r 324:. 295:$1 295:r 324:. 295:$");
    EXPECT_EQ(scan("$&"), "295:$ 323:&");  // no dot: a plain "$"
}

// ==== Operators ====

TEST(Lexer, OperatorsWithCodesAndSubCodes) {
    const std::pair<const char*, Single> operators[] = {
        {"!", {315, '!'}},   {"!=", {312, '!'}},  {"!==", {312, '2'}}, {"~", {315, '~'}},
        {"%", {310, '%'}},   {"%=", {313, '%'}},  {"*", {310, '*'}},   {"*=", {313, '*'}},
        {"&", {323, '&'}},   {"&&", {320, '&'}},  {"&=", {313, '&'}},  {"|", {321, '|'}},
        {"||", {319, '|'}},  {"|=", {313, '|'}},  {"^", {322, '^'}},   {"^=", {313, '^'}},
        {"+", {308, '+'}},   {"++", {314, '+'}},  {"+=", {313, '+'}},  {"-", {308, '-'}},
        {"--", {314, '-'}},  {"-=", {313, '-'}},  {"<", {311, '<'}},   {"<=", {311, '('}},
        {"<<", {309, '<'}},  {"<<=", {313, '<'}}, {">", {311, '>'}},   {">=", {311, ')'}},
        {">>", {309, '>'}},  {">>=", {313, '>'}}, {">>>", {309, '3'}}, {">>>=", {313, '3'}},
        {"=", {316, '='}},   {"==", {312, '='}},  {"===", {312, '3'}},
    };
    for (auto [text, expected] : operators) EXPECT_EQ(single(text), expected) << text;
    EXPECT_EQ(scan("(){}[];,.:?@"), "299:( 300:) 301:{ 302:} 303:[ 304:] 305:; 306:, 324:. 318:: 317:? 327:@");
}

TEST(Lexer, OperatorsTakeTheLongestMatch) {
    EXPECT_EQ(scan("a+++b"), "295:a 314:++ 308:+ 295:b");
    EXPECT_EQ(scan(">>>>=<<<"), "309:>>> 311:>= 309:<< 311:<");
    EXPECT_EQ(scan("====!==="), "312:=== 316:= 312:!== 316:=");
    EXPECT_EQ(scan("a&&&b||||c"), "295:a 320:&& 323:& 295:b 319:|| 319:|| 295:c");
}

TEST(Lexer, BackSlashAndBackQuoteStandForNothing) {
    EXPECT_EQ(scan("a \\ b ` c\\`"), "295:a 295:b 295:c");
}

// ==== The slash ====

TEST(Lexer, SlashDividesAfterAValue) {
    EXPECT_EQ(scan("x / 2 / y"), "295:x 310:/ 296:2 310:/ 295:y");
    EXPECT_EQ(scan("(a) / 2"), "299:( 295:a 300:) 310:/ 296:2");
    EXPECT_EQ(scan("a[0]/b"), "295:a 303:[ 296:0 304:] 310:/ 295:b");
    EXPECT_EQ(scan("a /= 2"), "295:a 313:/= 296:2");
    EXPECT_EQ(scan("null/true/false/undefined/infinity/NaN/1.5/\"s\"/2"),
              "269:null 310:/ 270:true 310:/ 271:false 310:/ 280:undefined 310:/ 281:infinity 310:/ "
              "502:NaN 310:/ 297:1.5 310:/ 294:s 310:/ 296:2");
    EXPECT_EQ(scan("/a/ / 2"), "325:a\\0 310:/ 296:2");
}

TEST(Lexer, SlashOpensARegularExpressionAfterAnythingElse) {
    EXPECT_EQ(scan("return /ab+c/gi"), "266:return 325:ab+c\\0gi");
    EXPECT_EQ(scan("this /a/"), "268:this 325:a\\0");
    EXPECT_EQ(scan("} /a/m"), "302:} 325:a\\0m");
    EXPECT_EQ(scan("x = /=a/"), "295:x 316:= 325:=a\\0");
    EXPECT_EQ(scan("/a/gimgx"), "325:a\\0gimg 295:x");
    EXPECT_EQ(scan("/a/ g"), "325:a\\0 295:g");
    EXPECT_EQ(scan("f(/[/]/)"), "295:f 299:( 325:[\\0 304:] 310:/ 300:)");  // a class does not hide "/"
}

TEST(Lexer, RegularExpressionEscapes) {
    TJLex lex;
    lex.SetSource(L"/a\\/b\\b\\f\\n\\r\\t\\d\\\\/");
    ASSERT_TRUE(lex.NextToken());
    EXPECT_EQ(lex.Token(), tkRegExp);
    EXPECT_EQ(lex.TokenText(), WideString(L"a/b\b\f\r\n\r\t\\d\\\\") + L'\0');
}

TEST(Lexer, CommentsAreSkipped) {
    EXPECT_EQ(lines("a // c / d\nb"), "295@1 295@2");
    EXPECT_EQ(lines("a /* x \n y */ b"), "295@1 295@2");
    EXPECT_EQ(scan("/*/ a */ b"), "295:b");
    EXPECT_EQ(scan("a /**/ b /* x **/ c"), "295:a 295:b 295:c");
    EXPECT_EQ(scan("1 // last"), "296:1");
}

// ==== Strings ====

TEST(Lexer, DoubleQuotesDecodeEscapes) {
    TJLex lex;
    lex.SetSource(L"\"a\\\\b\\bc\\fd\\ne\\rf\\tg\\\"h\\qi\\'j\"");
    ASSERT_TRUE(lex.NextToken());
    EXPECT_EQ(lex.Token(), tkString);
    EXPECT_EQ(lex.TokenText(), L"a\\b\bc\fd\r\ne\rf\tg\"hij");
    EXPECT_EQ(scan("\"a\\qb\""), "294:ab");  // an unknown escape drops both characters
}

TEST(Lexer, SingleQuotesKeepBackSlashes) {
    EXPECT_EQ(scan("'a\\qb'"), "294:a\\qb");
    EXPECT_EQ(scan("'a\\' b"), "294:a\\ 295:b");  // a single quote cannot be written
    EXPECT_EQ(scan("'say \"hi\"' \"it's\""), "294:say \"hi\" 294:it's");
    EXPECT_EQ(scan("'' \"\""), "294: 294:");
}

TEST(Lexer, UnterminatedLiteralsEndTheText) {
    EXPECT_EQ(scan("a \"abc"), "295:a");
    EXPECT_EQ(scan("a 'abc"), "295:a");
    EXPECT_EQ(scan("\"abc\\"), "");
    EXPECT_EQ(scan("= /abc"), "316:=");
    EXPECT_EQ(scan("= /abc\\"), "316:=");
    EXPECT_EQ(scan("a /* never"), "295:a");
    EXPECT_EQ(scan("a /* never *"), "295:a");
    TJLex lex;
    lex.SetSource(L"x\n\"a\nb");
    ASSERT_TRUE(lex.NextToken());
    EXPECT_FALSE(lex.NextToken());
    EXPECT_EQ(lex.LineNo(), 3);
    EXPECT_TRUE(lex.EndOfText());
    EXPECT_EQ(lex.TokenText(), L"");
}

// ==== Numbers ====

TEST(Lexer, IntegersFallBackToDoublesAtThe32BitLimit) {
    Number n = number("2147483647");
    EXPECT_EQ(n.code, tkInteger);
    EXPECT_EQ(n.integer, 2147483647);
    n = number("2147483648");
    EXPECT_EQ(n.code, tkFloat);
    EXPECT_EQ(n.real, 2147483648.0);
    n = number("9223372036854775807");
    EXPECT_EQ(n.code, tkFloat);
    EXPECT_EQ(n.real, 9223372036854775807.0);
    n = number("99999999999999999999");  // beyond 64 bits: read as a float
    EXPECT_EQ(n.code, tkFloat);
    EXPECT_EQ(n.real, 1e20);
    n = number("007");
    EXPECT_EQ(n.code, tkInteger);
    EXPECT_EQ(n.integer, 7);
    EXPECT_EQ(number("0").code, tkInteger);
}

TEST(Lexer, HexadecimalLiteralsGiveTheirBitPattern) {
    EXPECT_EQ(number("0xFFFFFFFF").integer, -1);
    EXPECT_EQ(number("0x80000000").integer, -2147483647 - 1);
    EXPECT_EQ(number("0x7fffffff").integer, 2147483647);
    EXPECT_EQ(number("0X1f").integer, 31);
    EXPECT_EQ(number("0x1e5").integer, 0x1e5);
    EXPECT_EQ(number("0x000000001").integer, 1);
    Number n = number("0x100000000");
    EXPECT_EQ(n.code, tkFloat);
    EXPECT_EQ(n.real, 4294967296.0);
    EXPECT_EQ(number("0x").code, tkNaN);
    EXPECT_EQ(number("0x1FFFFFFFFFFFFFFFF").code, tkNaN);
}

TEST(Lexer, FloatsAndMalformedNumbers) {
    Number n = number("1.5");
    EXPECT_EQ(n.code, tkFloat);
    EXPECT_EQ(n.real, 1.5);
    EXPECT_EQ(number("1e3").real, 1000.0);
    EXPECT_EQ(number("1E+3").real, 1000.0);
    EXPECT_EQ(number("25e-3").real, 0.025);
    EXPECT_EQ(number("1e3").code, tkFloat);
    n = number("1e-999");  // too small: zero
    EXPECT_EQ(n.code, tkFloat);
    EXPECT_EQ(n.real, 0.0);
    for (const char* bad : {"12x5", "1.2.3", "1e999", "1e+", "1.5e3.2", "1e5e5", "00x5", "1x"}) {
        EXPECT_EQ(number(bad).code, tkNaN) << bad;
    }
}

TEST(Lexer, NumbersEndWhereTheirCharactersEnd) {
    EXPECT_EQ(scan("1.x"), "296:1 324:. 295:x");
    EXPECT_EQ(scan("1."), "296:1 324:.");
    EXPECT_EQ(scan("1ex"), "296:1 295:ex");
    EXPECT_EQ(scan("1e"), "296:1 295:e");
    EXPECT_EQ(scan(".5"), "324:. 296:5");
    EXPECT_EQ(scan("12abc 3in"), "296:12 295:abc 296:3 282:in");
    EXPECT_EQ(scan("0x1fg"), "296:0x1f 295:g");
    EXPECT_EQ(scan("1.5.x"), "297:1.5 324:. 295:x");
}

// ==== Shift-JIS text ====

TEST(Lexer, JapaneseTextSurvivesInsideLiterals) {
    // "a" (83 41), "so" (83 5C), "hyou" (95 5C), the full-width space (81 40), "xa" (83 40).
    const std::string japanese = "\x83\x41\x83\x5C\x95\x5C\x81\x40\x83\x40";
    EXPECT_EQ(scan("\"" + japanese + "\""), "294:" + japanese);
    EXPECT_EQ(scan("'" + japanese + "'"), "294:" + japanese);
    EXPECT_EQ(scan("/" + japanese + "/"), "325:" + japanese + "\\0");
    // A trail byte 0x5C right before the closing quote is no escape.
    EXPECT_EQ(scan("s = \"\x95\x5C\"; t = 1"), "295:s 316:= 294:\x95\x5C 305:; 295:t 316:= 296:1");
    EXPECT_EQ(scan("'\x83\x5C' + \"\x83\x5C\\n\""), "294:\x83\x5C 308:+ 294:\x83\x5C\r\n");
}

TEST(Lexer, JapaneseTextOutsideLiteralsIsSkipped) {
    EXPECT_EQ(scan("foo\x83\x41\x83\x5C\x95\x5C" "bar"), "295:foo 295:bar");
    EXPECT_EQ(scan("a\x81\x40" "b"), "295:a 295:b");      // the full-width space
    EXPECT_EQ(scan("x\x83\x40y"), "295:x 295:y");
    EXPECT_EQ(scan("\x82\x60\x82\x61 1"), "296:1");        // full-width letters are no identifier
    EXPECT_EQ(scan("a\xB1" "b"), "295:a 295:b");           // a half-width katakana
    EXPECT_EQ(lines("// \x95\x5C\nx /* \x83\x5C\n */ y"), "295@2 295@3");
}

TEST(Lexer, ControlCharactersAndNulAreSkipped) {
    TJLex lex;
    lex.SetSource(WideString(L"a\0\x01\tb", 5));
    ASSERT_TRUE(lex.NextToken());
    ASSERT_TRUE(lex.NextToken());
    EXPECT_EQ(lex.TokenText(), L"b");
    EXPECT_FALSE(lex.NextToken());
}

// ==== Lines ====

TEST(Lexer, CrLfAndLfLinesCountAlike) {
    const char* text = "var a = 1;\n\nif (a) {\n  s = \"x\ny\";\n}\n/* c\n */ a++\n";
    std::string lf = lines(text);
    std::string crlf;
    for (const char* p = text; *p; ++p) crlf += *p == '\n' ? "\r\n" : std::string(1, *p);
    EXPECT_EQ(lines(crlf), lf);
    EXPECT_EQ(lf, "257@1 295@1 316@1 296@1 305@1 260@3 299@3 295@3 300@3 301@3 295@4 316@4 294@5 305@5 "
                  "302@6 295@8 314@8");
}

// A token's line is the line it ends on, whatever look-ahead was pushed back.
TEST(Lexer, PushedBackLineFeedsCountOnce) {
    EXPECT_EQ(lines("1\n+"), "296@1 308@2");
    EXPECT_EQ(lines("foo\nbar"), "295@1 295@2");
    EXPECT_EQ(lines("+\n+"), "308@1 308@2");
    EXPECT_EQ(lines(">>\n>"), "309@1 311@2");
    EXPECT_EQ(lines("1.\nx"), "296@1 324@1 295@2");
    EXPECT_EQ(lines("1e\nx"), "296@1 295@1 295@2");
    EXPECT_EQ(lines("0x\n1"), "502@1 296@2");
    EXPECT_EQ(lines("/a/\ng"), "325@1 295@2");
    EXPECT_EQ(lines("a / \n b"), "295@1 310@1 295@2");
    EXPECT_EQ(lines("r.$\n"), "295@1 324@1 295@1");
}

// ==== Driving the lexer ====

TEST(Lexer, EmptyAndBlankTextsHaveNoToken) {
    TJLex lex;
    EXPECT_TRUE(lex.EndOfText());
    EXPECT_FALSE(lex.NextToken());
    lex.SetSource(L"");
    EXPECT_FALSE(lex.NextToken());
    lex.SetSource(L" \r\n\t\x3000 ");
    EXPECT_FALSE(lex.NextToken());
    EXPECT_EQ(lex.LineNo(), 2);
    EXPECT_EQ(lex.Token(), tkNone);
}

TEST(Lexer, TheLastTokenStaysCurrentUntilTheEnd) {
    TJLex lex;
    lex.SetSource(L"a + bc");
    ASSERT_TRUE(lex.NextToken());
    EXPECT_EQ(lex.PrevToken(), tkNone);
    ASSERT_TRUE(lex.NextToken());
    EXPECT_EQ(lex.PrevToken(), tkIdentifier);
    ASSERT_TRUE(lex.NextToken());
    EXPECT_EQ(lex.PrevToken(), tkAddOp);
    EXPECT_EQ(lex.Token(), tkIdentifier);  // read past the end, then pushed back
    EXPECT_FALSE(lex.EndOfText());
    EXPECT_EQ(lex.TokenText(), L"bc");
    EXPECT_FALSE(lex.NextToken());
    EXPECT_EQ(lex.Token(), tkNone);
    EXPECT_TRUE(lex.EndOfText());
}

TEST(Lexer, SetSourceStartsAfresh) {
    TJLex lex;
    lex.SetSource(L"a\nb\nc");
    while (lex.NextToken()) {
    }
    EXPECT_EQ(lex.LineNo(), 3);
    lex.SetSource(L"x / y");
    EXPECT_EQ(lex.LineNo(), 1);
    ASSERT_TRUE(lex.NextToken());
    EXPECT_EQ(lex.PrevToken(), tkNone);
    lex.Reset();
    EXPECT_TRUE(lex.EndOfText());
    EXPECT_EQ(lex.Source(), L"");
    EXPECT_FALSE(lex.NextToken());
}

TEST(Lexer, InsertedTextIsReadNext) {
    TJLex lex;
    lex.SetSource(L"import \"f\"; y");
    ASSERT_TRUE(lex.NextToken());
    ASSERT_TRUE(lex.NextToken());
    ASSERT_TRUE(lex.NextToken());
    ASSERT_EQ(lex.Token(), tkSemicolon);
    lex.InsertText(L"a\nb ");
    std::vector<WideString> rest;
    while (lex.NextToken()) rest.push_back(lex.TokenText() + L"@" + std::to_wstring(lex.LineNo()));
    EXPECT_EQ(rest, (std::vector<WideString>{L"a@1", L"b@2", L"y@2"}));

    lex.InsertText(L"");  // changes nothing
    EXPECT_TRUE(lex.EndOfText());
    EXPECT_FALSE(lex.NextToken());
    lex.InsertText(L"z");  // at the end of the text
    EXPECT_FALSE(lex.EndOfText());
    ASSERT_TRUE(lex.NextToken());
    EXPECT_EQ(lex.TokenText(), L"z");
    EXPECT_FALSE(lex.NextToken());
}

TEST(Lexer, TraceHookSeesEveryToken) {
    TJLex lex;
    std::vector<std::string> trace;
    lex.OnTrace = [&](TJLex& sender, const AnsiString& text) {
        EXPECT_EQ(&sender, &lex);
        trace.push_back(text.str());
    };
    lex.SetSource(ansiToWide("foo += 1; // note\n\"\x83\x41 b\" # /x/g"));
    while (lex.NextToken()) {
    }
    EXPECT_EQ(trace, (std::vector<std::string>{"295( foo )", "313( += )", "296( 1 )", "305( ; )",
                                               "294( \x83\x41 b )", "258( # )", std::string("325( x\0g )", 10)}));
}
