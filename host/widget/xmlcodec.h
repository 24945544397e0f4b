// Code page 932 <-> UTF-8 for the XML library: every text enters libxml2 as
// UTF-8 and comes back as code-page-932 bytes. Used by host/widget/xmldoc.cpp for its
// text accessors and for the encoding handler of "Shift-JIS" files.
//
// Byte convention. A byte that cannot stand for itself in XML text travels as
// the private-use character U+F700 + byte, and that character turns back into
// the byte: the control bytes other than TAB, LF and CR (in values only; in a
// file they are the XML reader's business), and every byte 0x80-0xFF that does
// not begin a valid code page 932 character (a lead byte without a valid trail
// byte, 0xA0, 0xFD-0xFF). A Shift-JIS file cannot hold U+F7xx, so the writer
// puts it as a character reference ("&#63361;" for the lone lead byte 0x81) and
// the file stays valid Shift-JIS; reading it gives the byte back. Characters
// the code page lacks (from a UTF-8 file) read as "?". The code page's
// duplicate forms of one character (NEC and IBM extensions) read back in the
// platform's preferred form.
#pragma once

#include <string>
#include <string_view>

#include "rtl/ansistring.h"

// A value (code page 932 bytes, any bytes) as UTF-8 text for the XML library.
std::string ansiToUtf8(std::string_view ansi);
// UTF-8 text of the XML library as code page 932 bytes.
AnsiString utf8ToAnsi(std::string_view utf8);
// Whether the bytes are well-formed UTF-8.
bool isUtf8(std::string_view bytes);

// The converters of the encoding handler, in the XML library's convention:
// convert from in[0..*inlen) into out[0..*outlen), set both to the lengths
// consumed and produced, and return the produced length, -1 when out is full
// before anything fits, or -2 when the input cannot be converted (the writer
// then puts the character as a reference). A character split at the end of the
// input is left unconsumed until the next chunk brings the rest.
int cp932ToUtf8Chunk(unsigned char* out, int* outlen, const unsigned char* in, int* inlen);
int utf8ToCp932Chunk(unsigned char* out, int* outlen, const unsigned char* in, int* inlen);
