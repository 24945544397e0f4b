// Date-time values (days since 1899-12-30, the fraction being the time of day),
// their encoding and decoding, the text form of the date-time format language
// and the reading of date and time texts by the user's locale. Used by the Date
// object, the global and Number helpers, the FTP listing parser and the HTTP
// date helpers.
#pragma once

#include <windows.h>

#include <array>
#include <string_view>

#include "rtl/ansistring.h"

// Whole days since 1899-12-30 plus the fraction of the day. Before that day the
// value is negative and the fraction still counts forward from midnight:
// -1.25 is 1899-12-29 06:00.
using TDateTime = double;

// ==== Locale settings ====

// What the text conversions take from the locale. The pictures are in the
// format language of formatDateTime; the names are the English ones.
struct DateTimeSettings {
    char dateSeparator = '/';
    char timeSeparator = ':';
    AnsiString shortDateFormat = "yyyy/m/d";
    AnsiString longDateFormat = "yyyy/mm/dd dddd";
    AnsiString shortTimeFormat = "h:nn";
    AnsiString longTimeFormat = "h:nn:ss";
    AnsiString timeAMString = "AM";
    AnsiString timePMString = "PM";
    std::array<AnsiString, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<AnsiString, 12> longMonthNames{"January", "February", "March", "April", "May", "June", "July",
                                              "August", "September", "October", "November", "December"};
    std::array<AnsiString, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<AnsiString, 7> longDayNames{"Sunday", "Monday", "Tuesday", "Wednesday",
                                           "Thursday", "Friday", "Saturday"};
    // A two-digit year read from text falls into the hundred years that begin
    // this many years before the current one (0: the current century).
    int twoDigitYearCenturyWindow = 50;
};

// The user's locale (read once): separators, the short and long date pictures,
// the time picture and the AM/PM texts from the platform, converted into the
// format language; the short time format is the time picture without seconds.
const DateTimeSettings& localeDateTimeSettings();

// Converts a platform date or time picture ("yyyy/M/d", "H:mm:ss tt") into the
// format language ("yyyy/m/d", "h:nn:ss ampm"); each `separator` byte becomes
// the token `separatorToken` ('/' or ':'), other text is quoted.
AnsiString convertPlatformPicture(std::string_view picture, char separator, char separatorToken);

// ==== Encoding and decoding ====

bool isLeapYear(int year);
int daysInMonth(int year, int month);  // 0 for a month outside 1..12

// Year 1..9999, month 1..12, day within the month; false leaves out unchanged.
bool tryEncodeDate(int year, int month, int day, TDateTime& out);
// Hour 0..23, minute and second 0..59, millisecond 0..999.
bool tryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out);
bool tryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond,
                       TDateTime& out);
// A date (whole days) and a time of day (0 <= time < 1) as one value, the time
// counting away from zero for dates before 1899-12-30.
TDateTime combineDateTime(TDateTime date, TDateTime time);

// Decoding rounds to the nearest millisecond first, so a time that rounds up
// to midnight gives the next day. NaN, infinities and values beyond a billion
// days decode as 1899-12-30 00:00.
void decodeDate(TDateTime t, int& year, int& month, int& day);
void decodeTime(TDateTime t, int& hour, int& minute, int& second, int& millisecond);
void decodeDateTime(TDateTime t, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& millisecond);
// 1 = Sunday ... 7 = Saturday.
int dayOfWeek(TDateTime t);

TDateTime nowDateTime();     // the local date and time
TDateTime nowUtcDateTime();  // the same in UTC

// The platform's calendar record and back; a record that does not encode
// gives 0 (1899-12-30).
SYSTEMTIME dateTimeToSystemTime(TDateTime t);
TDateTime systemTimeToDateTime(const SYSTEMTIME& st);

// ==== Text ====

// Formats t; the letters are case-insensitive:
//   c          short date, then a blank and the long time unless t is exactly midnight
//   d dd       day (dd: two digits)         ddd dddd  short / long day name
//   ddddd      short date format            dddddd    long date format
//   m mm       month (right after an hour token: minutes)   mmm mmmm  month name
//   yy yyyy    year in two / four digits    h hh      hour (12-hour when an
//   n nn       minute                       s ss      second      am/pm token follows)
//   z zzz      millisecond                  t tt      short / long time format
//   am/pm a/p  "am"/"pm" or "a"/"p" in the case written      ampm  the AM/PM texts
//   /  :       the date and time separators '...' "..."  text as it stands
// Any other byte (and every double-byte character) is copied. An empty format
// is "c".
AnsiString formatDateTime(std::string_view fmt, TDateTime t,
                          const DateTimeSettings& settings = localeDateTimeSettings());

// Reading. Blanks around the text are ignored.
// A date is two or three numbers separated by the date separator or "/", in the
// order of the short date format (two numbers: month and day, or day and month
// when the day comes first; the year is the current one); a year of one or two
// digits is placed by the two-digit-year window.
bool tryTextToDate(std::string_view text, TDateTime& out,
                   const DateTimeSettings& settings = localeDateTimeSettings());
// A time is H:mm[:ss[.zzz]] with the time separator or ":", followed (or
// preceded) by an optional AM/PM text ("AM", "PM", "A", "P" in any case, or the
// settings' texts; then the hour must be 0..12); an hour alone needs AM/PM.
bool tryTextToTime(std::string_view text, TDateTime& out,
                   const DateTimeSettings& settings = localeDateTimeSettings());
// A date, a time, or a date followed by blanks and a time.
bool tryTextToDateTime(std::string_view text, TDateTime& out,
                       const DateTimeSettings& settings = localeDateTimeSettings());
