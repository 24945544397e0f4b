// Text helpers over code page 932: byte searches, character operations that
// count a lead byte and its trail byte as one character (1-based character
// positions), width and kana mapping through LCMapStringA, and small scans
// that never take a trail byte (such as the 5C of "表") for an ASCII byte.
// Used by the String object, the library objects and the network helpers.
#pragma once

#include <functional>
#include <string_view>

#include "rtl/ansistring.h"

// ==== Characters ====

// Lead byte of a double-byte character in the ANSI code page (table lookup).
bool mbcsIsLead(unsigned char byte);
// Bytes taken by the character at byte offset i: 2 for a lead byte with a
// byte after it, else 1.
inline size_t mbcsCharWidth(std::string_view s, size_t i) {
    return i + 1 < s.size() && mbcsIsLead(static_cast<unsigned char>(s[i])) ? 2 : 1;
}

// Byte offset after at most `limit` bytes below 0x80 from byte offset i.
size_t skipAscii(std::string_view s, size_t i, size_t limit);

// Byte offset of the last single-byte character that is one of `bytes`
// (trail bytes never count); npos when none.
size_t mbcsFindLastOf(std::string_view s, std::string_view bytes);
// Whether the last character of s is the single byte `byte`.
bool mbcsEndsWith(std::string_view s, char byte);

// Blanks and control characters (bytes up to the space) removed at both ends.
AnsiString trimText(std::string_view s);
std::string_view trimView(std::string_view s);
// The same at the start only, and at the end only.
AnsiString trimLeft(std::string_view s);
AnsiString trimRight(std::string_view s);
// ASCII letters mapped, double-byte characters left whole.
AnsiString lowerCaseAscii(std::string_view s);
AnsiString upperCaseAscii(std::string_view s);

// ==== Byte search ====

// 1-based position of sub in s at or after start (start < 2: all of s); 0 when absent.
int PosFrom(std::string_view sub, std::string_view s, int start);
// 1-based position of the last sub that begins at or before start (start <= 0:
// anywhere); 0 when absent.
int LastPosFrom(std::string_view sub, std::string_view s, int start);

// ==== Character operations (1-based character positions) ====
//
// A text remembers the last character boundary a lookup in it reached, and
// its character count, so that a run of lookups over one text costs the
// distance moved rather than the text's length.

int MbcsLength(const AnsiString& s);
// count characters from index (index <= 0 counts as 1); empty for count <= 0
// or an index past the end; the rest of s when fewer remain.
AnsiString MbcsCopy(const AnsiString& s, int index, int count);
AnsiString MbcsLeft(const AnsiString& s, int count);
// Inserts text before character index (<= 0 counts as 1); nothing past the end.
void MbcsInsert(std::string_view text, AnsiString& s, int index);
// Deletes count characters from index; nothing for count <= 0 or an index
// outside s.
void MbcsDelete(AnsiString& s, int index, int count);
// Replaces the character at index by text (appended when it was the last one).
void MbcsReplaceAt(std::string_view text, AnsiString& s, int index);
// Characters from start up to, not including, end; a start <= 0 counts from
// the end (start + length, at least 1), so does an end <= 0 (end + length).
AnsiString MbcsSlice(const AnsiString& s, int start, int end);
// Replaces the characters from start up to end (positions as in MbcsSlice) by
// text; appended when the replaced characters ended s.
void MbcsSplice(std::string_view text, AnsiString& s, int start, int end);
// Character position of the first sub at or after character start (start < 2:
// all of s); a match never begins on a trail byte; 0 when absent or sub is empty.
int MbcsPos(std::string_view sub, const AnsiString& s, int start);
// Character position of the last sub that begins at or before character start
// (start <= 0: anywhere); 0 when absent or sub is empty.
int MbcsLastPos(std::string_view sub, const AnsiString& s, int start);
// Characters in reverse order, each double-byte character keeping its bytes.
AnsiString MbcsReverse(std::string_view s);

// ==== Width and kana ====

// s with map applied to each longest run of characters that have a Unicode
// character; bytes and pairs without one (which a conversion through UTF-16
// would turn into "・") are copied as they stand.
AnsiString mapUnicodeRuns(std::string_view s, const std::function<AnsiString(std::string_view)>& map);
// LCMapStringA with the user's default locale over s (up to its first NUL),
// leaving what has no Unicode character unchanged.
AnsiString LCMapText(std::string_view s, unsigned long flags);
AnsiString ToFullWidth(std::string_view s);
AnsiString ToHalfWidth(std::string_view s);
AnsiString ToHiragana(std::string_view s);
AnsiString ToKatakana(std::string_view s);
