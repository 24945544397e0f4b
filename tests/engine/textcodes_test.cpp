// Japanese text codes: detection on whole, short and cut-off texts, the six
// conversions with half-width katakana, and round trips over JIS X 0208.
#include <gtest/gtest.h>

#include <string>

#include "engine/support/textcodes.h"

namespace {

AnsiString bytes(const std::string& s) {
    return AnsiString(s.data(), s.size());
}

const std::string in = "\x1B$B", out = "\x1B(J";

// "A あア表 b ｱ CR LF" in each code: あ SJIS 82 A0 / JIS 24 22 / EUC A4 A2,
// ア 83 41 / 25 22 / A5 A2, 表 95 5C / 49 3D / C9 BD, half-width ｱ B1.
const std::string sjisText = "A\x82\xA0\x83\x41\x95\x5C" "b\xB1\r\n";
const std::string eucText = "A\xA4\xA2\xA5\xA2\xC9\xBD" "b\x8E\xB1\r\n";
const std::string jisText = "A" + in + "\x24\x22\x25\x22\x49\x3D" + out + "b" + in + "\x25\x22" + out + "\r\n";

}  // namespace

// ==== Conversions ====

TEST(TextCodes, ShiftJisToTheOtherCodes) {
    EXPECT_EQ(SjisToJis(bytes(sjisText)), bytes(jisText));
    EXPECT_EQ(SjisToEuc(bytes(sjisText)), bytes(eucText));
}

TEST(TextCodes, EucToTheOtherCodes) {
    EXPECT_EQ(EucToJis(bytes(eucText)), bytes(jisText));
    EXPECT_EQ(EucToSjis(bytes(eucText)), bytes(sjisText));
}

TEST(TextCodes, JisToTheOtherCodesMakesHalfWidthKanaFullWidth) {
    EXPECT_EQ(JisToSjis(bytes(jisText)), bytes("A\x82\xA0\x83\x41\x95\x5C" "b\x83\x41\r\n"));
    EXPECT_EQ(JisToEuc(bytes(jisText)), bytes("A\xA4\xA2\xA5\xA2\xC9\xBD" "b\xA5\xA2\r\n"));
}

TEST(TextCodes, JisWriterLeavesTwoByteModeOpenAtTheEnd) {
    EXPECT_EQ(SjisToJis(bytes("\x82\xA0")), bytes(in + "\x24\x22"));
    EXPECT_EQ(EucToJis(bytes("x\xA4\xA2")), bytes("x" + in + "\x24\x22"));
    EXPECT_EQ(SjisToJis(bytes("abc")), bytes("abc"));
}

TEST(TextCodes, JisReaderTakesOldAndAsciiEscapes) {
    EXPECT_EQ(JisToSjis(bytes("\x1B$@\x24\x22\x1B(Bz")), bytes("\x82\xA0z"));
    EXPECT_EQ(JisToEuc(bytes("\x1B$@\x24\x22\x1B(Bz")), bytes("\xA4\xA2z"));
    // A cut-off escape at the end is dropped, not read past.
    EXPECT_EQ(JisToSjis(bytes("a\x1B$")), bytes("a"));
    // A lone byte in two-byte mode has no partner and stays as it is.
    EXPECT_EQ(JisToSjis(bytes(in + "\x24\x22\x24")), bytes("\x82\xA0\x24"));
}

TEST(TextCodes, HalfWidthKanaMergeTheirSoundSigns) {
    // ｶﾞ -> ガ 25 2C, ﾊﾟ -> パ 25 51, ﾊﾞ -> バ 25 50, ｳﾞ -> ヴ 25 74.
    EXPECT_EQ(SjisToJis(bytes("\xB6\xDE")), bytes(in + "\x25\x2C"));
    EXPECT_EQ(SjisToJis(bytes("\xCA\xDF")), bytes(in + "\x25\x51"));
    EXPECT_EQ(SjisToJis(bytes("\xCA\xDE")), bytes(in + "\x25\x50"));
    EXPECT_EQ(SjisToJis(bytes("\xB3\xDE")), bytes(in + "\x25\x74"));
    EXPECT_EQ(EucToJis(bytes("\x8E\xB6\x8E\xDE")), bytes(in + "\x25\x2C"));
    EXPECT_EQ(EucToJis(bytes("\x8E\xCA\x8E\xDF")), bytes(in + "\x25\x51"));
    // No full-width form: ｱﾞ and ｶﾟ keep the sign as its own character (゛ 21 2B, ゜ 21 2C).
    EXPECT_EQ(SjisToJis(bytes("\xB1\xDE")), bytes(in + "\x25\x22\x21\x2B"));
    EXPECT_EQ(SjisToJis(bytes("\xB6\xDF")), bytes(in + "\x25\x2B\x21\x2C"));
    // Punctuation and the prolonged sound sign sit in row 21: ｡ ｢ ｰ.
    EXPECT_EQ(SjisToJis(bytes("\xA1\xA2\xB0")), bytes(in + "\x21\x23\x21\x56\x21\x3C"));
    EXPECT_EQ(SjisToEuc(bytes("\xB6\xDE")), bytes("\x8E\xB6\x8E\xDE"));
    EXPECT_EQ(EucToSjis(bytes("\x8E\xB6\x8E\xDE")), bytes("\xB6\xDE"));
}

TEST(TextCodes, PairArithmeticAtTheEdgesOfTheRows) {
    // ム JIS 25 60 is SJIS 83 80 (the trail byte skips 7F); JIS 5E 7E is 9F FC,
    // 5F 21 is E0 40, 60 21 is E0 9F and 74 24 is EA A2.
    EXPECT_EQ(JisToSjis(bytes(in + "\x25\x60\x5E\x7E\x5F\x21\x60\x21\x74\x24")),
              bytes("\x83\x80\x9F\xFC\xE0\x40\xE0\x9F\xEA\xA2"));
    EXPECT_EQ(SjisToJis(bytes("\x83\x80\x9F\xFC\xE0\x40\xE0\x9F\xEA\xA2")),
              bytes(in + "\x25\x60\x5E\x7E\x5F\x21\x60\x21\x74\x24"));
}

TEST(TextCodes, EveryJisX0208PairRoundTrips) {
    for (int row = 0x21; row <= 0x7E; ++row) {
        for (int cell = 0x21; cell <= 0x7E; ++cell) {
            std::string pair{static_cast<char>(row), static_cast<char>(cell)};
            AnsiString jis = bytes(in + pair);
            AnsiString sjis = JisToSjis(jis);
            ASSERT_EQ(sjis.length(), 2u);
            ASSERT_EQ(SjisToJis(sjis), jis) << row << " " << cell;
            AnsiString euc = JisToEuc(jis);
            ASSERT_EQ(euc, bytes(std::string{static_cast<char>(row | 0x80), static_cast<char>(cell | 0x80)}));
            ASSERT_EQ(EucToJis(euc), jis);
            ASSERT_EQ(EucToSjis(euc), sjis);
            ASSERT_EQ(SjisToEuc(sjis), euc);
        }
    }
}

TEST(TextCodes, CutOffAndStrayBytesAreKept) {
    // A lead byte at the very end has no trail byte: it is copied, nothing read past it.
    EXPECT_EQ(SjisToEuc(bytes("a\x82")), bytes("a\x82"));
    EXPECT_EQ(EucToSjis(bytes("a\xA4")), bytes("a\xA4"));
    EXPECT_EQ(EucToSjis(bytes("a\x8E")), bytes("a\x8E"));
    // A lead byte before a line break does not swallow it.
    EXPECT_EQ(SjisToJis(bytes("\x82\n")), bytes("\x82\n"));
    EXPECT_EQ(SjisToEuc(bytes("\x82\n")), bytes("\x82\n"));
}

// ==== Detection ====

TEST(TextCodes, DetectsEachCode) {
    EXPECT_EQ(DetectJapaneseCode(""), jcASCII);
    EXPECT_EQ(DetectJapaneseCode("abc"), jcASCII);
    EXPECT_EQ(DetectJapaneseCode(bytes("ab\x1B$B\x24\x22\x1B(J")), jcJISNew);
    EXPECT_EQ(DetectJapaneseCode(bytes("\x1B$@\x24\x22")), jcJISOld);
    EXPECT_EQ(DetectJapaneseCode(bytes("\x1B(Jab\x1B$B\x24\x22")), jcJISNew);
    EXPECT_EQ(DetectJapaneseCode(bytes("x\x05yz")), jcBinary);
    EXPECT_EQ(DetectJapaneseCode(bytes("\xFFxyz")), jcBinary);
    EXPECT_EQ(DetectJapaneseCode(bytes(sjisText)), jcSJIS);
    EXPECT_EQ(DetectJapaneseCode(bytes("\x83\x41")), jcSJIS);
    // あん in EUC-JP: ん A4 F3 has a trail byte Shift-JIS never uses.
    EXPECT_EQ(DetectJapaneseCode(bytes("\xA4\xA2\xA4\xF3")), jcEUC);
    EXPECT_EQ(DetectJapaneseCode(bytes("\xF0\xA1")), jcEUC);
    // あ alone in EUC-JP is also two half-width kana of Shift-JIS.
    EXPECT_EQ(DetectJapaneseCode(bytes("\xA4\xA2")), jcEUCOrSJIS);
}

TEST(TextCodes, DetectionOfAmbiguousLeadBytes) {
    EXPECT_EQ(DetectJapaneseCode(bytes("\x8E\x41")), jcSJIS);
    EXPECT_EQ(DetectJapaneseCode(bytes("\x8E\xB1")), jcEUCOrSJIS);
    EXPECT_EQ(DetectJapaneseCode(bytes("\xE0\x40")), jcSJIS);
    EXPECT_EQ(DetectJapaneseCode(bytes("\xE0\xFD")), jcEUC);
    EXPECT_EQ(DetectJapaneseCode(bytes("\xE0\xA1")), jcEUCOrSJIS);
    EXPECT_EQ(DetectJapaneseCode(bytes("\xB1\x82")), jcSJIS);
    // After a kana byte and E0-EF the following high bytes decide.
    EXPECT_EQ(DetectJapaneseCode(bytes("\xB1\xE0\xE0\x81")), jcSJIS);
    EXPECT_EQ(DetectJapaneseCode(bytes("\xB1\xE0\xE0\xFE")), jcEUC);
    EXPECT_EQ(DetectJapaneseCode(bytes("\xB1\xE0\xE0 \x81")), jcEUCOrSJIS);
}

TEST(TextCodes, DetectionStopsAtTheEndOfShortTexts) {
    EXPECT_EQ(DetectJapaneseCode(bytes("\x1B")), jcASCII);
    EXPECT_EQ(DetectJapaneseCode(bytes("\x1B$")), jcASCII);
    EXPECT_EQ(DetectJapaneseCode(bytes("ab\x1B$")), jcASCII);
    EXPECT_EQ(DetectJapaneseCode(bytes("\xB1\xE0")), jcEUCOrSJIS);
    EXPECT_EQ(DetectJapaneseCode(bytes("\xB1\xE0\xE0")), jcEUCOrSJIS);
    // The last byte is never taken as a lead byte.
    EXPECT_EQ(DetectJapaneseCode(bytes("abc\x82")), jcASCII);
    EXPECT_EQ(DetectJapaneseCode(bytes("\x82")), jcASCII);
}

TEST(TextCodes, BinaryBytesBeyondTheProbeAreFoundByTheScan) {
    std::string text(600, 'a');
    text += "\x01zz";
    EXPECT_EQ(DetectJapaneseCode(bytes(text)), jcBinary);
}

// ==== ConvertJapaneseCode ====

TEST(TextCodes, ConvertChoosesTheConversionFromTheDetectedCode) {
    EXPECT_EQ(ConvertJapaneseCode(bytes(sjisText), jcEUC), bytes(eucText));
    EXPECT_EQ(ConvertJapaneseCode(bytes(sjisText), jcJISNew), bytes(jisText));
    EXPECT_EQ(ConvertJapaneseCode(bytes(sjisText), jcSJIS), bytes(sjisText));
    EXPECT_EQ(ConvertJapaneseCode(bytes(jisText), jcSJIS), JisToSjis(bytes(jisText)));
    EXPECT_EQ(ConvertJapaneseCode(bytes(jisText), jcEUC), JisToEuc(bytes(jisText)));
    const std::string euc = "\xA4\xA2\xA4\xF3";  // あん
    EXPECT_EQ(ConvertJapaneseCode(bytes(euc), jcSJIS), bytes("\x82\xA0\x82\xF1"));
    EXPECT_EQ(ConvertJapaneseCode(bytes(euc), jcJISNew), bytes(in + "\x24\x22\x24\x73"));
    // Old JIS is already JIS.
    const std::string oldJis = "\x1B$@\x24\x22";
    EXPECT_EQ(ConvertJapaneseCode(bytes(oldJis), jcJISNew), bytes(oldJis));
}

TEST(TextCodes, ConvertLeavesUndecidedBinaryAndAsciiTextAlone) {
    for (int target : {jcJISNew, jcEUC, jcSJIS}) {
        EXPECT_EQ(ConvertJapaneseCode(bytes("\xA4\xA2"), target), bytes("\xA4\xA2"));
        EXPECT_EQ(ConvertJapaneseCode(bytes("\x05\x82\xA0"), target), bytes("\x05\x82\xA0"));
        EXPECT_EQ(ConvertJapaneseCode("plain", target), "plain");
    }
    EXPECT_EQ(ConvertJapaneseCode(bytes(sjisText), 7), bytes(sjisText));
    EXPECT_EQ(ConvertJapaneseCode(bytes(sjisText), jcEUCOrSJIS), bytes(sjisText));
}
