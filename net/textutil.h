// Small text and name helpers of the network clients: wildcard matching of
// file names, random letters for MIME boundaries, numbered and temporary file
// names, separators, quotes, commas and control characters. Every scan is
// double-byte aware, so a trail byte such as the 5C of "表" or the 5F of "ダ"
// is never taken for "\" or "_".
#pragma once

#include <string_view>

#include "rtl/ansistring.h"

// "?" matches one character, "*" any run of characters (also none), any
// other character itself; with ignoreCase ASCII letters match in any case.
bool WildcardMatch(std::string_view name, std::string_view mask, bool ignoreCase);
// count letters drawn uniformly from a-z and A-Z.
AnsiString RandomLetters(int count);
// "a.txt" -> "a_000.txt", "a_000.txt" -> "a_001.txt": a three-digit (or
// longer) counter before the extension.
AnsiString NextNumberedName(std::string_view fileName);
AnsiString RemoveCommas(std::string_view text);
// The offset of the first CR or LF from `from` on, or npos: a byte scan, which
// a large listing's lines find far sooner than through a search for either.
size_t FindLineBreak(std::string_view text, size_t from = 0);
// Whether the text holds CR, LF or NUL: a protocol line that would end early
// and pass the rest as a line of its own.
bool HoldsLineBreakOrNul(std::string_view text);
// TAB, LF and CR become spaces.
AnsiString ControlsToSpaces(std::string_view text);
// The text ending in "/" when it holds one, else in "\"; an empty text gives
// "/", or stays empty with keepEmpty.
AnsiString EnsureTrailingSeparator(std::string_view text, bool keepEmpty);
// The system's temporary folder with its trailing "\"; empty when the
// platform names none.
AnsiString TempFolder();
// A new, empty file with a unique name in the temporary folder; its path, or
// the empty text when the platform cannot make one.
AnsiString MakeTempFileName(const AnsiString& prefix);
// The text between the opening quote and the closing one, a doubled quote
// standing for one; a text that does not begin with quote is returned as it is.
AnsiString UnquoteText(std::string_view text, char quote);
