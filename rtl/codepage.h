// Conversion between the ANSI code page (932) and UTF-16, the code page's
// lead-byte test, and character counts against byte offsets (for the system
// controls that count characters). Used by the lexer, the platform wrappers,
// the text helpers and the edit controls.
#pragma once

#include <string>
#include <string_view>

#include "rtl/ansistring.h"

using WideString = std::wstring;

WideString ansiToWide(std::string_view text);
AnsiString wideToAnsi(std::wstring_view text);
// Whether the text comes back from its UTF-16 form as it was, and that form
// holds no NUL. The system keeps names (of files, of registry keys) in that
// form and reads them up to a NUL: a name that fails (a NUL, a lone lead
// byte) is taken for another.
bool keepsWideForm(std::string_view text);
bool isLeadByte(unsigned char byte);

// The byte offset of the character at `index` (the text's end for an index
// past it).
int charToByteOffset(std::string_view text, int index);
// The index of the character that holds the byte at `offset`, the offset
// clamped to the text.
int byteToCharIndex(std::string_view text, int offset);
