// HTTP date reading and writing. Local and UTC are converted through the
// platform's file-time functions in both directions, so a date written and
// read back is the same moment.
#include "net/httpdate.h"

#include <cmath>
#include <cstdint>

#include "engine/support/dateutil.h"
#include "engine/support/mbstring.h"
#include "engine/support/regexp.h"
#include "rtl/format.h"
#include "rtl/numtext.h"

namespace {

bool toFileTime(TDateTime t, FILETIME& ft) {
    SYSTEMTIME st = dateTimeToSystemTime(t);
    return st.wYear >= 1601 && SystemTimeToFileTime(&st, &ft);
}

bool fromFileTime(const FILETIME& ft, TDateTime& t) {
    SYSTEMTIME st;
    return FileTimeToSystemTime(&ft, &st) &&
           tryEncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, 0, t);
}

}  // namespace

int fullYear(const AnsiString& word, int year) {
    if (word.length() > 2 || year < 0 || year > 99) return year;
    int currentYear, month, day;
    decodeDate(nowDateTime(), currentYear, month, day);
    int candidate = currentYear / 100 * 100 + year;
    return candidate > currentYear + 50 ? candidate - 100 : candidate;
}

TDateTime UtcToLocalTime(TDateTime utc) {
    FILETIME utcTime, localTime;
    TDateTime local;
    if (toFileTime(utc, utcTime) && FileTimeToLocalFileTime(&utcTime, &localTime) && fromFileTime(localTime, local))
        return local;
    return nowDateTime();
}

TDateTime ParseHttpDate(std::string_view text) {
    int year, month, day;
    decodeDate(nowDateTime(), year, month, day);
    TJRegExp separators("[\\s\\-]+");
    TJRegExpTexts words;
    separators.Split(trimText(text), words);
    auto word = [&](size_t i) { return i < words.size() ? words[i] : AnsiString(); };

    // Word 0 is the day name; asctime puts the month before the day.
    bool asctime = monthNameIndex(word(1)) != 0;
    AnsiString dayWord = word(asctime ? 2 : 1), monthWord = word(asctime ? 1 : 2);
    AnsiString yearWord = word(asctime ? 4 : 3), timeWord = word(asctime ? 3 : 4);
    int32_t dayRead, yearRead;
    bool hasDay = textToInt32(dayWord, dayRead), hasYear = textToInt32(yearWord, yearRead);
    bool hasMonth = monthNameIndex(monthWord) != 0;
    if (!hasDay && !hasMonth && !hasYear) return nowDateTime();  // no date in the text at all
    if (hasDay) day = dayRead;
    if (!monthWord.empty()) month = MonthNameToNumber(monthWord);
    if (hasYear) year = fullYear(yearWord, yearRead);
    TDateTime date;
    if (!tryEncodeDate(year, month, day, date)) return nowDateTime();
    return UtcToLocalTime(date + ParseTimeDef(timeWord, 0));
}

AnsiString FormatHttpDate(TDateTime local) {
    FILETIME localTime, utcTime;
    TDateTime utc;
    if (!(toFileTime(local, localTime) && LocalFileTimeToFileTime(&localTime, &utcTime) && fromFileTime(utcTime, utc)))
        utc = LocalToUtc(local);
    int year, month, day, hour, minute, second, ms;
    decodeDateTime(utc, year, month, day, hour, minute, second, ms);
    return formatText("%s, %.2d %s %.4d %.2d:%.2d:%.2d GMT",
                      {kShortDayNames[dayOfWeek(utc) - 1], day, kShortMonthNames[month - 1], year, hour, minute, second});
}

AnsiString FormatHttpDate(const SYSTEMTIME& local) {
    return FormatHttpDate(systemTimeToDateTime(local));
}
