// Base64 coding and MIME header words: the standard vectors, every byte value,
// line breaks and bad input, and Japanese headers both ways.
#include <gtest/gtest.h>

#include <string>

#include "engine/support/base64.h"
#include "engine/support/textcodes.h"

namespace {

AnsiString bytes(const std::string& s) {
    return AnsiString(s.data(), s.size());
}

}  // namespace

// ==== Base64 ====

TEST(Base64, StandardVectors) {
    const char* plain[] = {"", "f", "fo", "foo", "foob", "fooba", "foobar"};
    const char* coded[] = {"", "Zg==", "Zm8=", "Zm9v", "Zm9vYg==", "Zm9vYmE=", "Zm9vYmFy"};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(Base64Encode(plain[k]), coded[k]);
        EXPECT_EQ(Base64Decode(coded[k]), plain[k]);
    }
    EXPECT_EQ(Base64Encode("abc"), "YWJj");
    EXPECT_EQ(Base64Encode("ab"), "YWI=");
    EXPECT_EQ(Base64Encode("a"), "YQ==");
}

TEST(Base64, EveryByteValueRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    for (size_t length = 0; length <= all.size(); length += 37) {
        AnsiString data = bytes(all.substr(0, length));
        AnsiString coded = Base64Encode(data);
        EXPECT_EQ(coded.length(), 4 * ((length + 2) / 3));
        EXPECT_EQ(coded.view().find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::string_view::npos);
        EXPECT_EQ(Base64Decode(coded), data);
    }
    // The top of the alphabet: 0xFB 0xEF 0xBE is 111110 111110 111110 111110, 0xFF 0xFF 0xFF all ones.
    EXPECT_EQ(Base64Encode(bytes("\xFB\xEF\xBE\xFF\xFF\xFF")), "++++////");
    EXPECT_EQ(Base64Decode("++++////"), bytes("\xFB\xEF\xBE\xFF\xFF\xFF"));
    EXPECT_EQ(Base64Decode(Base64Encode(bytes(all))), bytes(all));
}

TEST(Base64, DecodeSkipsLineBreaksAndReadsPaddedGroupsInARow) {
    EXPECT_EQ(Base64Decode("YWJj\r\nYWI=\r\n"), "abcab");
    EXPECT_EQ(Base64Decode("YWJj\nYWJj\n"), "abcabc");
    EXPECT_EQ(Base64Decode("YQ==YWJj"), "aabc");
}

TEST(Base64, DecodeOfBadInputStaysInsideItsText) {
    EXPECT_EQ(Base64Decode("Zm9"), "fo");
    EXPECT_EQ(Base64Decode("Z"), "");
    EXPECT_EQ(Base64Decode("===="), "");
    EXPECT_EQ(Base64Decode("Zm9v!"), "foo");
    EXPECT_EQ(Base64Decode("Zm 9v"), "foo");
    EXPECT_EQ(Base64Decode("Zg=x="), "f");
}

// ==== MIME header words ====

TEST(MimeHeader, AsciiTextIsLeftAlone) {
    EXPECT_EQ(EncodeMimeHeader("Subject: weekly report"), "Subject: weekly report");
    EXPECT_EQ(EncodeMimeHeader(""), "");
    EXPECT_EQ(DecodeMimeHeader("Subject: weekly report"), "Subject: weekly report");
}

TEST(MimeHeader, EncodesEachDoubleByteRunAsOneWord) {
    // あ: ESC $ B 24 22 ESC ( B = 1B 24 42 | 24 22 1B | 28 42 -> "GyRC" "JCIb" "KEI=".
    EXPECT_EQ(EncodeMimeHeader(bytes("\x82\xA0")), "=?ISO-2022-JP?B?GyRCJCIbKEI=?=");
    // 表 ends in 5C, which must not be taken as a character of its own: 49 3D -> "ST0b".
    EXPECT_EQ(EncodeMimeHeader(bytes("Re: \x95\x5C x")), "Re: =?ISO-2022-JP?B?GyRCST0bKEI=?= x");
    EXPECT_EQ(EncodeMimeHeader(bytes("\x82\xA0 \x95\x5C")),
              "=?ISO-2022-JP?B?GyRCJCIbKEI=?= =?ISO-2022-JP?B?GyRCST0bKEI=?=");
    // Half-width katakana are single bytes and stay as they are.
    EXPECT_EQ(EncodeMimeHeader(bytes("\xB1\xB2")), bytes("\xB1\xB2"));
}

TEST(MimeHeader, DecodesWordsToJisInAnyCase) {
    const std::string jisA = "\x1B$B\x24\x22\x1B(B\x1B(J";
    EXPECT_EQ(DecodeMimeHeader("Re: =?ISO-2022-JP?B?GyRCJCIbKEI=?= x"), bytes("Re: " + jisA + " x"));
    EXPECT_EQ(DecodeMimeHeader("=?iso-2022-jp?b?GyRCJCIbKEI=?="), bytes(jisA));
    // A word without the ESC ( B of its own: the added ESC ( J ends it.
    EXPECT_EQ(JisToSjis(DecodeMimeHeader("=?ISO-2022-JP?B?GyRCJCI=?=!")), bytes("\x82\xA0!"));
}

TEST(MimeHeader, OnlyCompleteIsoWordsAreDecoded) {
    EXPECT_EQ(DecodeMimeHeader("=?ISO-2022-JP?B?GyRC"), "=?ISO-2022-JP?B?GyRC");
    EXPECT_EQ(DecodeMimeHeader("=?UTF-8?B?w6k=?="), "=?UTF-8?B?w6k=?=");
    EXPECT_EQ(DecodeMimeHeader("=?ISO-2022-JP?Q?=1B?="), "=?ISO-2022-JP?Q?=1B?=");
    // A "?=" before the word does not end it.
    EXPECT_EQ(DecodeMimeHeader("why?= =?ISO-2022-JP?B?GyRCJCIbKEI=?="),
              bytes("why?= \x1B$B\x24\x22\x1B(B\x1B(J"));
}

TEST(MimeHeader, EncodedHeadersDecodeBackToTheirShiftJisText) {
    // 表示 test ソフト: 表 95 5C, ソ 83 5C end in the back-slash byte.
    const AnsiString text = bytes("\x95\x5C\x8E\xA6 test \x83\x5C\x83\x74\x83\x67 (1)");
    AnsiString header = EncodeMimeHeader(text);
    for (char c : header.view()) EXPECT_LT(static_cast<unsigned char>(c), 0x80u) << header.c_str();
    EXPECT_EQ(JisToSjis(DecodeMimeHeader(header)), text);
}
