// HTTP dates: the three forms read into local time and local time written in
// GMT. CTest runs these tests a second time in a time zone nine hours ahead
// of UTC (net_tests_tokyo), where a conversion in the wrong direction shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdlib>

#include "engine/support/dateutil.h"
#include "net/httpdate.h"

namespace {

constexpr double kSecond = 1.0 / 86400;

TDateTime dateTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    TDateTime t = 0;
    EXPECT_TRUE(tryEncodeDateTime(y, mo, d, h, mi, s, 0, t));
    return t;
}

// The local time of a UTC moment (no daylight saving in either zone tested).
TDateTime localOf(TDateTime utc) {
    return utc - UtcOffsetDays();
}

}  // namespace

TEST(HttpDate, ReadsTheThreeCommonForms) {
    TDateTime expected = localOf(dateTime(1994, 11, 6, 8, 49, 37));
    EXPECT_NEAR(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), expected, 1e-9);
    EXPECT_NEAR(ParseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT"), expected, 1e-9);
    EXPECT_NEAR(ParseHttpDate("Sunday, 06-Nov-1994 08:49:37 GMT"), expected, 1e-9);
    EXPECT_NEAR(ParseHttpDate("Sun Nov  6 08:49:37 1994"), expected, 1e-9);
    EXPECT_NEAR(ParseHttpDate("  Thu, 01-Jan-2037 00:00:00 GMT "), localOf(dateTime(2037, 1, 1)), 1e-9);
}

TEST(HttpDate, TwoDigitYearsAndMissingParts) {
    EXPECT_NEAR(ParseHttpDate("Friday, 31-Dec-99 23:59:59 GMT"), localOf(dateTime(1999, 12, 31, 23, 59, 59)), 1e-9);
    EXPECT_NEAR(ParseHttpDate("Monday, 01-Mar-21 12:00:00 GMT"), localOf(dateTime(2021, 3, 1, 12)), 1e-9);
    // Without a time the moment is midnight UTC.
    EXPECT_NEAR(ParseHttpDate("Sun, 06 Nov 1994"), localOf(dateTime(1994, 11, 6)), 1e-9);
}

TEST(HttpDate, NoDateGivesNow) {
    for (const char* text : {"", "Sun, 31 Feb 1994 08:49:37 GMT", "garbage"}) {
        TDateTime before = nowDateTime();
        TDateTime read = ParseHttpDate(text);
        EXPECT_GE(read, before - kSecond) << text;
        EXPECT_LE(read, nowDateTime() + kSecond) << text;
    }
}

TEST(HttpDate, WritesLocalTimeAsGmt) {
    EXPECT_EQ(FormatHttpDate(localOf(dateTime(1994, 11, 6, 8, 49, 37))), "Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(FormatHttpDate(localOf(dateTime(2000, 2, 29, 0, 0, 1))), "Tue, 29 Feb 2000 00:00:01 GMT");
    SYSTEMTIME local{};
    TDateTime t = localOf(dateTime(2024, 12, 31, 23, 5, 9));
    int y, mo, d, h, mi, s, ms;
    decodeDateTime(t, y, mo, d, h, mi, s, ms);
    local.wYear = static_cast<WORD>(y);
    local.wMonth = static_cast<WORD>(mo);
    local.wDay = static_cast<WORD>(d);
    local.wHour = static_cast<WORD>(h);
    local.wMinute = static_cast<WORD>(mi);
    local.wSecond = static_cast<WORD>(s);
    EXPECT_EQ(FormatHttpDate(local), "Tue, 31 Dec 2024 23:05:09 GMT");
}

TEST(HttpDate, WrittenDatesReadBack) {
    TDateTime now = std::floor(nowDateTime() * 86400) / 86400;  // whole seconds
    EXPECT_NEAR(ParseHttpDate(FormatHttpDate(now)), now, 1e-6);
}

TEST(HttpDate, UtcToLocalTimeDropsMilliseconds) {
    TDateTime utc = dateTime(2010, 6, 15, 12, 30, 45) + 0.5 * kSecond;
    EXPECT_NEAR(UtcToLocalTime(utc), localOf(dateTime(2010, 6, 15, 12, 30, 45)), 1e-9);
    TDateTime before = nowDateTime();
    EXPECT_GE(UtcToLocalTime(dateTime(1200, 1, 1)), before - kSecond);  // before file times begin
}

TEST(HttpDate, RunsInTheZoneAsked) {
    const char* minutes = std::getenv("NIMBORA_TEST_UTC_OFFSET_MINUTES");
    if (!minutes) GTEST_SKIP() << "no time zone asked for";
    EXPECT_NEAR(UtcOffsetDays(), -std::atof(minutes) / 1440, 1e-9);
}
