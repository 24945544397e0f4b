// Script time values, the UTC offset from the platform clock, the date-text
// readers (the locale's form first, then the English words split by TJRegExp)
// and the English month and day names.
#include "engine/support/dateutil.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "engine/support/mbstring.h"
#include "engine/support/regexp.h"
#include "rtl/numtext.h"

namespace {

constexpr double kUnixEpochDays = 25569;  // 1970-01-01 as a date-time
constexpr double kMsPerDay = 8.64e7;
constexpr double kFileTimeUnitsPerDay = 864e9;  // 100 ns units

int64_t fileTimeValue(const FILETIME& ft) {
    return static_cast<int64_t>(static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime);
}

int readNumber(const AnsiString& word, int def) {
    int32_t value;
    return textToInt32(word, value) ? value : def;
}

}  // namespace

// ==== Milliseconds and UTC ====

double DateTimeToMs(TDateTime t) {
    return roundHalfEven((t - kUnixEpochDays) * kMsPerDay);
}

TDateTime MsToDateTime(double ms) {
    return ms / kMsPerDay + kUnixEpochDays;
}

// Both sides come from the same instant, so the offset is exact even when the
// clock ticks over a second meanwhile.
double UtcOffsetDays() {
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    if (!FileTimeToLocalFileTime(&utc, &local)) return 0;
    return static_cast<double>(fileTimeValue(utc) - fileTimeValue(local)) / kFileTimeUnitsPerDay;
}

TDateTime LocalToUtc(TDateTime t) {
    return t + UtcOffsetDays();
}

TDateTime UtcToLocal(TDateTime t) {
    return t - UtcOffsetDays();
}

TDateTime UtcNow() {
    return LocalToUtc(nowDateTime());
}

// ==== Reading date texts ====

TDateTime ParseDateTimeDef(std::string_view text, TDateTime def) {
    TDateTime t;
    return tryTextToDateTime(text, t) ? t : def;
}

TDateTime ParseTimeDef(std::string_view text, TDateTime def) {
    TDateTime t;
    return tryTextToTime(text, t) ? t : def;
}

TDateTime ParseDateText(std::string_view text, TDateTime now) {
    AnsiString trimmed = trimText(text);
    TDateTime t;
    if (tryTextToDateTime(trimmed, t)) return t;

    int year, month, day, hour, minute, second, ms;
    decodeDateTime(now, year, month, day, hour, minute, second, ms);
    TJRegExp separators("[,:\\s]+");
    TJRegExpTexts words;
    separators.Split(trimmed, words);
    // A text that gives the hour means the start of that hour, not the
    // current minutes, seconds and milliseconds within it.
    if (words.size() > 3) minute = second = ms = 0;
    // The words in the order they are filled in; filling stops at the first
    // word the text does not have.
    const struct {
        size_t word;
        int* part;
    } order[] = {{2, &year}, {0, &month}, {1, &day}, {3, &hour}, {4, &minute}, {5, &second}, {6, &ms}};
    for (const auto& step : order) {
        if (step.word >= words.size()) break;
        const AnsiString& word = words[step.word];
        *step.part = step.part == &month ? MonthNameToNumber(word) : readNumber(word, *step.part);
    }
    return tryEncodeDateTime(year, month, day, hour, minute, second, ms, t) ? t : now;
}

// ==== English names ====

const std::array<const char*, 12> kShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const std::array<const char*, 12> kLongMonthNames{"January", "February", "March",     "April",   "May",      "June",
                                                  "July",    "August",   "September", "October", "November", "December"};
const std::array<const char*, 7> kShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// Compared in place, without lower-cased copies: the FTP listing parser asks
// this of several words of every line.
int monthNameIndex(std::string_view name) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    auto same = [&](std::string_view english) {
        return english.size() == name.size() &&
               std::equal(name.begin(), name.end(), english.begin(), [&](char a, char b) { return lower(a) == lower(b); });
    };
    for (const auto* names : {&kShortMonthNames, &kLongMonthNames}) {
        for (size_t i = 0; i < names->size(); ++i) {
            if (same((*names)[i])) return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

int MonthNameToNumber(std::string_view name) {
    int month = monthNameIndex(name);
    return month ? month : 1;
}
