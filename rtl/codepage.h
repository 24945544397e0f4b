// Conversion between the ANSI code page (932) and UTF-16, and the code page's
// lead-byte test. Used by the lexer, the platform wrappers and the text helpers.
#pragma once

#include <string>
#include <string_view>

#include "rtl/ansistring.h"

using WideString = std::wstring;

WideString ansiToWide(std::string_view text);
AnsiString wideToAnsi(std::wstring_view text);
bool isLeadByte(unsigned char byte);
