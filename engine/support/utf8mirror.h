// Code-page-932 text seen as UTF-8, so that the regular-expression library
// matches whole characters and never the trail byte of a double-byte one.
// The mirror keeps, for every UTF-8 offset, the byte offset in the original
// text; bytes that are not valid code page 932 become the private-use
// characters U+F0000 + byte and so still match themselves. Used by TJRegExp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Utf8Mirror {
    std::string utf8;
    // ansiOffset[i]: byte offset in the original text of the character that
    // holds UTF-8 byte i; one more entry maps the end to the original length.
    std::vector<uint32_t> ansiOffset;
};

Utf8Mirror mirrorAsUtf8(std::string_view ansi);
// The same conversion without the offsets, for patterns.
std::string patternAsUtf8(std::string_view ansi);
