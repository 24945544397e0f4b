// Percent-encoding and decoding of code-page-932 bytes, behind the script
// globals escape, unescape, encodeURI(Component) and decodeURI(Component) and
// the network clients' URLs and forms. Works byte by byte: a double-byte
// character becomes two escapes (its safe trail byte, if any, stays as it is).
#pragma once

#include <string_view>

#include "rtl/ansistring.h"

// Every byte outside the safe set (ASCII letters, digits, ! ' ( ) * - . _ and
// the extra bytes) becomes "%" and two lower-case hexadecimal digits; a space
// becomes "+" when spaceAsPlus is set.
AnsiString PercentEncode(std::string_view text, std::string_view extraSafe, bool spaceAsPlus);
// Whether text holds "%" followed by two hexadecimal digits.
bool HasPercentEscape(std::string_view text);
// A text without any such escape comes back unchanged. Otherwise "%%" gives
// "%", "%" with two hexadecimal digits gives that byte, "+" gives a space when
// plusAsSpace is set; any other "%" and every other byte stay as they are.
AnsiString PercentDecode(std::string_view text, bool plusAsSpace);

AnsiString EscapeText(std::string_view text);          // space as "+"
AnsiString EncodeURIComponent(std::string_view text);  // space as "%20"
AnsiString EncodeURI(std::string_view text);           // ;/?:@&=+,# kept as well
AnsiString UnescapeText(std::string_view text);        // "+" as space
AnsiString DecodeURI(std::string_view text);           // "+" kept
AnsiString DecodeURIComponent(std::string_view text);  // "+" kept
