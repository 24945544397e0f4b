// HTTP dates: reading the three forms that servers send (RFC 1123 "Sun, 06 Nov
// 1994 08:49:37 GMT", RFC 850 "Sunday, 06-Nov-94 08:49:37 GMT" and asctime
// "Sun Nov  6 08:49:37 1994", RFC 7231 section 7.1.1.1) into local time, and
// writing local time as an RFC 1123 date in GMT. Used by the cookies, the
// mail messages and the HTTP clients.
#pragma once

#include <windows.h>

#include <string_view>

#include "rtl/ansistring.h"
#include "rtl/datetime.h"

// The date in local time; the current date-time when the text holds no day,
// month or year, or an impossible date. Parts the text leaves out are today's
// and midnight; a two-digit year is the one within fifty years from now.
TDateTime ParseHttpDate(std::string_view text);
// "Sun, 06 Nov 1994 08:49:37 GMT" for the moment given in local time.
AnsiString FormatHttpDate(TDateTime local);
AnsiString FormatHttpDate(const SYSTEMTIME& local);
// A year written in the word: two digits name the year within fifty years
// from now (RFC 7231; also the FTP DOS listings), longer words stay as read.
int fullYear(const AnsiString& word, int year);
// UTC to local time through the platform's file times (milliseconds
// dropped); the current date-time when the platform cannot convert it.
TDateTime UtcToLocalTime(TDateTime utc);
