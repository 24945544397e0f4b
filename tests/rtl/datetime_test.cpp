// Date-time values: calendar boundaries, dates before 1899-12-30, the format
// language with the locale's and other settings, and reading date and time texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "rtl/codepage.h"
#include "rtl/datetime.h"

namespace {

TDateTime date(int y, int m, int d) {
    TDateTime t = 0;
    EXPECT_TRUE(tryEncodeDate(y, m, d, t)) << y << "-" << m << "-" << d;
    return t;
}

TDateTime dateTime(int y, int m, int d, int h, int n, int s, int ms) {
    TDateTime t = 0;
    EXPECT_TRUE(tryEncodeDateTime(y, m, d, h, n, s, ms, t));
    return t;
}

int thisYear() {
    int y, m, d;
    decodeDate(nowDateTime(), y, m, d);
    return y;
}

// Settings independent of the machine: the defaults (year first, "/" and ":").
const DateTimeSettings plain;

}  // namespace

TEST(DateTimeEncode, KnownDays) {
    EXPECT_EQ(date(1899, 12, 30), 0);
    EXPECT_EQ(date(1899, 12, 29), -1);
    EXPECT_EQ(date(1900, 1, 1), 2);
    EXPECT_EQ(date(1970, 1, 1), 25569);
    EXPECT_EQ(date(2000, 1, 1), 36526);
    EXPECT_EQ(date(2000, 2, 29), 36585);
    EXPECT_EQ(date(1, 1, 1), -693593);
    EXPECT_EQ(date(9999, 12, 31), 2958465);
}

TEST(DateTimeEncode, RejectsInvalidFields) {
    TDateTime t = 42;
    EXPECT_FALSE(tryEncodeDate(1900, 2, 29, t));
    EXPECT_FALSE(tryEncodeDate(2100, 2, 29, t));
    EXPECT_FALSE(tryEncodeDate(2023, 2, 29, t));
    EXPECT_TRUE(tryEncodeDate(2024, 2, 29, t));
    t = 42;
    EXPECT_FALSE(tryEncodeDate(0, 1, 1, t));
    EXPECT_FALSE(tryEncodeDate(10000, 1, 1, t));
    EXPECT_FALSE(tryEncodeDate(2024, 13, 1, t));
    EXPECT_FALSE(tryEncodeDate(2024, 0, 1, t));
    EXPECT_FALSE(tryEncodeDate(2024, 4, 31, t));
    EXPECT_FALSE(tryEncodeDate(2024, 4, 0, t));
    EXPECT_FALSE(tryEncodeTime(24, 0, 0, 0, t));
    EXPECT_FALSE(tryEncodeTime(0, 60, 0, 0, t));
    EXPECT_FALSE(tryEncodeTime(0, 0, 60, 0, t));
    EXPECT_FALSE(tryEncodeTime(0, 0, 0, 1000, t));
    EXPECT_FALSE(tryEncodeTime(-1, 0, 0, 0, t));
    EXPECT_EQ(t, 42);
    ASSERT_TRUE(tryEncodeTime(12, 0, 0, 0, t));
    EXPECT_EQ(t, 0.5);
}

TEST(DateTimeDecode, DaysRoundTripOverTheWholeRange) {
    TDateTime previous = -693594;
    for (int y = 1; y <= 9999; y += 7) {
        for (int m = 1; m <= 12; m += 5) {
            int last = daysInMonth(y, m);
            TDateTime t = date(y, m, last);
            int yy, mm, dd;
            decodeDate(t, yy, mm, dd);
            ASSERT_EQ(yy, y);
            ASSERT_EQ(mm, m);
            ASSERT_EQ(dd, last);
            ASSERT_GT(t, previous);
            previous = t;
        }
    }
    EXPECT_EQ(date(2024, 3, 1) - date(2024, 2, 28), 2);
    EXPECT_EQ(date(2023, 3, 1) - date(2023, 2, 28), 1);
}

TEST(DateTimeDecode, DatesBeforeTheEpochCountTheTimeForward) {
    TDateTime t = dateTime(1899, 12, 29, 6, 0, 0, 0);
    EXPECT_EQ(t, -1.25);
    int y, m, d, h, n, s, ms;
    decodeDateTime(-1.25, y, m, d, h, n, s, ms);
    EXPECT_EQ(y, 1899);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(n, 0);
    decodeDateTime(dateTime(1800, 7, 4, 23, 59, 58, 999), y, m, d, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18000704);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 235958999);
}

TEST(DateTimeDecode, RoundsToTheMillisecond) {
    int y, m, d, h, n, s, ms;
    decodeDateTime(0.99999999999, y, m, d, h, n, s, ms);
    EXPECT_EQ(d, 31);
    EXPECT_EQ(h + n + s + ms, 0);
    decodeTime(dateTime(2006, 12, 25, 10, 20, 30, 45), h, n, s, ms);
    EXPECT_EQ(h, 10);
    EXPECT_EQ(n, 20);
    EXPECT_EQ(s, 30);
    EXPECT_EQ(ms, 45);
    decodeDate(std::numeric_limits<double>::quiet_NaN(), y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991230);
}

TEST(DateTimeDecode, DayOfWeek) {
    EXPECT_EQ(dayOfWeek(25569), 5);  // 1970-01-01, a Thursday
    EXPECT_EQ(dayOfWeek(0), 7);      // 1899-12-30, a Saturday
    EXPECT_EQ(dayOfWeek(-1), 6);
    EXPECT_EQ(dayOfWeek(-1.25), 6);
    EXPECT_EQ(dayOfWeek(date(2024, 1, 1)), 2);
    EXPECT_EQ(dayOfWeek(date(2024, 1, 7) + 0.9), 1);
}

TEST(DateTimeNow, LocalAndUtcAreClose) {
    TDateTime local = nowDateTime(), utc = nowUtcDateTime();
    EXPECT_GT(local, date(2024, 1, 1));
    EXPECT_LT(std::fabs(local - utc), 15.0 / 24);
}

TEST(FormatDateTime, Tokens) {
    TDateTime t = dateTime(2006, 12, 25, 10, 20, 30, 45);  // a Monday
    EXPECT_EQ(formatDateTime("yyyy-mm-dd hh:nn:ss.zzz", t, plain), "2006-12-25 10:20:30.045");
    EXPECT_EQ(formatDateTime("yy/m/d", dateTime(2007, 3, 4, 0, 0, 0, 0), plain), "07/3/4");
    EXPECT_EQ(formatDateTime("ddd, dd mmm yyyy", t, plain), "Mon, 25 Dec 2006");
    EXPECT_EQ(formatDateTime("dddd mmmm", t, plain), "Monday December");
    EXPECT_EQ(formatDateTime("DDD MMM YYYY", t, plain), "Mon Dec 2006");
    EXPECT_EQ(formatDateTime("h:mm", t, plain), "10:20");
    EXPECT_EQ(formatDateTime("h:m", dateTime(2006, 1, 1, 9, 5, 0, 0), plain), "9:5");
    EXPECT_EQ(formatDateTime("mm", t, plain), "12");
    EXPECT_EQ(formatDateTime("mmmmm yyyyyyy", t, plain), "December12 2006");
    EXPECT_EQ(formatDateTime("z zzz", t, plain), "45 045");
    EXPECT_EQ(formatDateTime("'yyyy' yyyy \"at\" h", t, plain), "yyyy 2006 at 10");
    EXPECT_EQ(formatDateTime("yyyy", 25569, plain), "1970");
    EXPECT_EQ(formatDateTime("yyyy-mm-dd hh:nn", -1.25, plain), "1899-12-29 06:00");
    EXPECT_EQ(formatDateTime("yyyy", date(1, 1, 1), plain), "0001");
}

TEST(FormatDateTime, TwelveHourClock) {
    TDateTime afternoon = dateTime(2006, 12, 25, 15, 5, 0, 0);
    TDateTime midnight = dateTime(2006, 12, 25, 0, 5, 0, 0);
    EXPECT_EQ(formatDateTime("h:nn am/pm", dateTime(2006, 12, 25, 10, 20, 0, 0), plain), "10:20 am");
    EXPECT_EQ(formatDateTime("h:nn am/pm", afternoon, plain), "3:05 pm");
    EXPECT_EQ(formatDateTime("hh:nn AM/PM", midnight, plain), "12:05 AM");
    EXPECT_EQ(formatDateTime("hh:nn Am/Pm", dateTime(2006, 1, 1, 12, 0, 0, 0), plain), "12:00 Pm");
    EXPECT_EQ(formatDateTime("h A/P", afternoon, plain), "3 P");
    EXPECT_EQ(formatDateTime("h ampm", afternoon, plain), "3 PM");
    EXPECT_EQ(formatDateTime("h", afternoon, plain), "15");
    // Only hours before the last am/pm token outside quotes count 12.
    EXPECT_EQ(formatDateTime("h am/pm h", afternoon, plain), "3 pm 15");
    EXPECT_EQ(formatDateTime("h 'am/pm'", afternoon, plain), "15 am/pm");
    EXPECT_EQ(formatDateTime("h 'x am/pm", afternoon, plain), "15 x am/pm");
}

TEST(FormatDateTime, CompositeFormats) {
    TDateTime t = dateTime(2006, 12, 25, 10, 20, 30, 0);
    EXPECT_EQ(formatDateTime("c", t, plain), "2006/12/25 10:20:30");
    EXPECT_EQ(formatDateTime("", t, plain), "2006/12/25 10:20:30");
    EXPECT_EQ(formatDateTime("", date(2006, 12, 25), plain), "2006/12/25");
    EXPECT_EQ(formatDateTime("ddddd", t, plain), "2006/12/25");
    EXPECT_EQ(formatDateTime("t", t, plain), "10:20");
    EXPECT_EQ(formatDateTime("tt", t, plain), "10:20:30");
    DateTimeSettings looping;
    looping.shortDateFormat = "c";
    EXPECT_FALSE(formatDateTime("c", t, looping).empty());  // nesting is cut off
}

TEST(FormatDateTime, SeparatorsAndDoubleByteText) {
    TDateTime t = dateTime(2006, 12, 25, 10, 20, 30, 0);
    DateTimeSettings other;
    other.dateSeparator = '-';
    other.timeSeparator = '.';
    EXPECT_EQ(formatDateTime("yyyy/mm/dd h:nn", t, other), "2006-12-25 10.20");
    // 年 is 94 4E, its trail byte the letter N (the minute token).
    AnsiString jp = wideToAnsi(L"yyyy\u5e74m\u6708d\u65e5");
    EXPECT_EQ(formatDateTime(jp, t, plain), wideToAnsi(L"2006\u5e7412\u670825\u65e5"));
}

TEST(LocaleSettings, JapaneseLocalePictures) {
    const DateTimeSettings& s = localeDateTimeSettings();
    EXPECT_EQ(s.dateSeparator, '/');
    EXPECT_EQ(s.timeSeparator, ':');
    EXPECT_EQ(s.shortDateFormat, "yyyy/m/d");
    EXPECT_EQ(s.longTimeFormat, "h:nn:ss");
    EXPECT_EQ(s.shortTimeFormat, "h:nn");
    EXPECT_EQ(s.shortMonthNames[11], "Dec");
    EXPECT_EQ(formatDateTime("", dateTime(2024, 1, 5, 7, 8, 9, 0)), "2024/1/5 7:08:09");
}

TEST(LocaleSettings, PlatformPicturesConvert) {
    EXPECT_EQ(convertPlatformPicture("yyyy/M/d", '/', '/'), "yyyy/m/d");
    EXPECT_EQ(convertPlatformPicture("H:mm:ss", ':', ':'), "h:nn:ss");
    EXPECT_EQ(convertPlatformPicture("h:mm:ss tt", ':', ':'), "h:nn:ss ampm");
    EXPECT_EQ(convertPlatformPicture("dd.MM.yyyy", '.', '/'), "dd/mm/yyyy");
    EXPECT_EQ(convertPlatformPicture("MM/dd/yy", '/', '/'), "mm/dd/yy");
    EXPECT_EQ(convertPlatformPicture("d 'de' MMMM 'de' yyyy", '/', '/'), "d \"de\" mmmm \"de\" yyyy");
    EXPECT_EQ(convertPlatformPicture("HH'h'mm", ':', ':'), "hh\"h\"nn");
    EXPECT_EQ(convertPlatformPicture("'It''s' H", ':', ':'), "\"It's\" h");
    EXPECT_EQ(convertPlatformPicture(wideToAnsi(L"yyyy\u5e74M\u6708d\u65e5dddd"), '/', '/'),
              wideToAnsi(L"yyyy\"\u5e74\"m\"\u6708\"d\"\u65e5\"dddd"));
}

TEST(TextToDateTime, DatesAndTimesInTheDefaultOrder) {
    TDateTime t = 0;
    ASSERT_TRUE(tryTextToDateTime("2006/12/25", t, plain));
    EXPECT_EQ(t, date(2006, 12, 25));
    ASSERT_TRUE(tryTextToDateTime(" 2006/12/25 10:20:30 ", t, plain));
    EXPECT_EQ(t, dateTime(2006, 12, 25, 10, 20, 30, 0));
    ASSERT_TRUE(tryTextToDateTime("2006/12/25 10:20", t, plain));
    EXPECT_EQ(t, dateTime(2006, 12, 25, 10, 20, 0, 0));
    ASSERT_TRUE(tryTextToDateTime("2006/12/25 10:20:30.5", t, plain));
    EXPECT_EQ(t, dateTime(2006, 12, 25, 10, 20, 30, 500));
    ASSERT_TRUE(tryTextToDateTime("2006/12/25 3:05 PM", t, plain));
    EXPECT_EQ(t, dateTime(2006, 12, 25, 15, 5, 0, 0));
    ASSERT_TRUE(tryTextToDateTime("1899/12/29 06:00", t, plain));
    EXPECT_EQ(t, -1.25);
    ASSERT_TRUE(tryTextToDateTime("10:20", t, plain));
    EXPECT_EQ(t, dateTime(1899, 12, 30, 10, 20, 0, 0));
    ASSERT_TRUE(tryTextToDateTime("12/25", t, plain));
    EXPECT_EQ(t, date(thisYear(), 12, 25));
    ASSERT_TRUE(tryTextToDate("06/12/25", t, plain));
    EXPECT_EQ(t, date(2006, 12, 25));
    ASSERT_TRUE(tryTextToDate("99/1/2", t, plain));
    EXPECT_EQ(t, date(1999, 1, 2));
}

TEST(TextToDateTime, RejectsBadTexts) {
    for (const char* text : {"", " ", "abc", "2006/2/29", "2006/13/1", "2006/12", "2006/12/25x", "2006/12/25 25:00",
                             "2006/12/25 10:60", "2006/12/25 10:", "2006//25", "2006/12/25/1", "20061225",
                             "2006/12/25 10:20:30.", "5", "13:00 PM", "10:20 XM", "Dec 25 2006"}) {
        TDateTime t = 42;
        EXPECT_FALSE(tryTextToDateTime(text, t, plain)) << text;
        EXPECT_EQ(t, 42) << text;
    }
    TDateTime t = 42;
    EXPECT_FALSE(tryTextToDate("10:20", t, plain));
    EXPECT_FALSE(tryTextToTime("2006/12/25", t, plain));
    EXPECT_FALSE(tryTextToDate("2006/12/25 10:20", t, plain));
}

TEST(TextToDateTime, AmPmTexts) {
    TDateTime t = 0;
    ASSERT_TRUE(tryTextToTime("12:00 AM", t, plain));
    EXPECT_EQ(t, 0);
    ASSERT_TRUE(tryTextToTime("12:30 pm", t, plain));
    EXPECT_EQ(t, dateTime(1899, 12, 30, 12, 30, 0, 0));
    ASSERT_TRUE(tryTextToTime("5 P", t, plain));
    EXPECT_EQ(t, dateTime(1899, 12, 30, 17, 0, 0, 0));
    ASSERT_TRUE(tryTextToTime("AM 9:15", t, plain));
    EXPECT_EQ(t, dateTime(1899, 12, 30, 9, 15, 0, 0));
    // The locale's own texts: 午後 3:00.
    ASSERT_TRUE(tryTextToTime(wideToAnsi(L"\u5348\u5f8c3:00"), t));
    EXPECT_EQ(t, dateTime(1899, 12, 30, 15, 0, 0, 0));
}

TEST(TextToDateTime, OtherOrdersAndSeparators) {
    DateTimeSettings listing;  // the settings of DOS-style directory listings
    listing.dateSeparator = '-';
    listing.shortDateFormat = "mm/dd/yy";
    TDateTime t = 0;
    ASSERT_TRUE(tryTextToDateTime("08-15-07  10:30AM", t, listing));
    EXPECT_EQ(t, dateTime(2007, 8, 15, 10, 30, 0, 0));
    ASSERT_TRUE(tryTextToDateTime("12-01-99 12:05AM", t, listing));
    EXPECT_EQ(t, dateTime(1999, 12, 1, 0, 5, 0, 0));
    ASSERT_TRUE(tryTextToDate("08/15/2007", t, listing));
    EXPECT_EQ(t, date(2007, 8, 15));

    DateTimeSettings dayFirst;
    dayFirst.shortDateFormat = "dd/mm/yyyy";
    ASSERT_TRUE(tryTextToDate("25/12/2006", t, dayFirst));
    EXPECT_EQ(t, date(2006, 12, 25));
    ASSERT_TRUE(tryTextToDate("25/12", t, dayFirst));
    EXPECT_EQ(t, date(thisYear(), 12, 25));

    DateTimeSettings century = plain;
    century.twoDigitYearCenturyWindow = 0;
    ASSERT_TRUE(tryTextToDate("99/1/2", t, century));
    EXPECT_EQ(t, date(thisYear() / 100 * 100 + 99, 1, 2));
}

TEST(TextToDateTime, FormattedTextsReadBack) {
    for (TDateTime t = -700000.3; t < 2958465; t += 12345.678) {
        int y, m, d, h, n, s, ms;
        decodeDateTime(t, y, m, d, h, n, s, ms);
        if (y < 1) continue;
        TDateTime whole = dateTime(y, m, d, h, n, s, 0);
        AnsiString text = formatDateTime("yyyy/mm/dd hh:nn:ss", whole, plain);
        TDateTime back = 0;
        ASSERT_TRUE(tryTextToDateTime(text, back, plain)) << text.c_str();
        EXPECT_EQ(back, whole) << text.c_str();
    }
}
