// Time values for scripts (milliseconds since 1970-01-01) and the platform's
// day-based date-time, the offset between local time and UTC, readers of date
// texts with defaults, and the English month and day names. Used by the Date
// object, the global functions, the file objects and the HTTP date helpers.
#pragma once

#include <array>
#include <string_view>

#include "rtl/ansistring.h"
#include "rtl/datetime.h"

// ==== Milliseconds and UTC ====

// round((t - 25569) * 8.64e7), halves to even.
double DateTimeToMs(TDateTime t);
TDateTime MsToDateTime(double ms);

// UTC minus local time, in days, from one reading of the clock.
double UtcOffsetDays();
TDateTime LocalToUtc(TDateTime t);
TDateTime UtcToLocal(TDateTime t);
TDateTime UtcNow();

// ==== Reading date texts ====

// The locale's date-time reading of text, or def when it fails.
TDateTime ParseDateTimeDef(std::string_view text, TDateTime def);
// The locale's time reading of text, or def when it fails.
TDateTime ParseTimeDef(std::string_view text, TDateTime def);
// The locale's date-time reading, else the English form "Dec 25 2006 10:20:30"
// (words split at commas, colons and blanks: month, day, year, hour, minute,
// second, millisecond), with now's date for the date parts not given and
// now's time when no hour is given (a given hour starts at 00:00.000); now
// itself when the parts make no valid date. `now` is the current date-time in
// the frame the caller reads the result in.
TDateTime ParseDateText(std::string_view text, TDateTime now);

// ==== English names ====

extern const std::array<const char*, 12> kShortMonthNames;  // "Jan" .. "Dec"
extern const std::array<const char*, 12> kLongMonthNames;   // "January" .. "December"
extern const std::array<const char*, 7> kShortDayNames;     // "Sun" .. "Sat"

// 1..12 for a short or long English month name in any case, 0 for anything else.
int monthNameIndex(std::string_view name);
// The same, but 1 for anything else.
int MonthNameToNumber(std::string_view name);
