// Code-page-932 text seen as UTF-8, so that the regular-expression library
// matches whole characters and never the trail byte of a double-byte one.
// The mirror keeps, for every UTF-8 offset, the byte offset in the original
// text. What has no Unicode character gets a private-use character of its
// own and so still matches itself alone: a byte that is not valid code page
// 932 becomes U+F0000 + byte, a lead and trail pair without a character
// (lead bytes 85, EB, EF, FC ...) U+100000 + lead * 256 + trail. Used by
// TJRegExp and by the text conversions that must keep such characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Utf8Mirror {
    std::string utf8;
    // ansiOffset[i]: byte offset in the original text of the character that
    // holds UTF-8 byte i; one more entry maps the end to the original length.
    // Empty for a text of ASCII only, which is its own UTF-8.
    std::vector<uint32_t> ansiOffset;

    size_t ansiAt(size_t utf8Offset) const { return ansiOffset.empty() ? utf8Offset : ansiOffset[utf8Offset]; }
};

Utf8Mirror mirrorAsUtf8(std::string_view ansi);
// The same conversion without the offsets, for patterns.
std::string patternAsUtf8(std::string_view ansi);

constexpr uint32_t Cp932InvalidByteBase = 0xF0000;
constexpr uint32_t Cp932UnassignedPairBase = 0x100000;

// The character at a byte offset of code-page-932 text: its code point (a
// private-use one as above when it has no Unicode character) and its bytes.
struct Cp932Char {
    uint32_t code;
    uint32_t width;
    bool hasUnicode() const noexcept { return code < Cp932InvalidByteBase; }
};
Cp932Char cp932CharAt(std::string_view ansi, size_t offset);
