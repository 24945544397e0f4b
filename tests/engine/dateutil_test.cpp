// Script time values, the UTC offset, date-text readers, month names, and the
// binary and octal digits and bit packing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "engine/support/dateutil.h"
#include "engine/support/numbits.h"

namespace {

constexpr double kSecond = 1.0 / 86400;

TDateTime dateTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    TDateTime t = 0;
    EXPECT_TRUE(tryEncodeDateTime(y, mo, d, h, mi, s, ms, t));
    return t;
}

}  // namespace

TEST(TimeValues, MillisecondsSince1970) {
    EXPECT_EQ(DateTimeToMs(25569), 0.0);
    EXPECT_EQ(MsToDateTime(8.64e7), 25570.0);
    EXPECT_EQ(DateTimeToMs(25569.5), 4.32e7);
    EXPECT_EQ(DateTimeToMs(25568), -8.64e7);
    EXPECT_EQ(DateTimeToMs(MsToDateTime(1234567890123.0)), 1234567890123.0);
    EXPECT_EQ(DateTimeToMs(dateTime(2001, 9, 9, 1, 46, 40)), 1e12);
}

TEST(TimeValues, UtcOffsetComesFromOneClockReading) {
    double offset = UtcOffsetDays();
    // Whole minutes exactly (a second boundary between two readings would break this).
    double minutes = offset * 1440;
    EXPECT_NEAR(minutes, std::round(minutes), 1e-6);
    EXPECT_NEAR(offset, nowUtcDateTime() - nowDateTime(), 2 * kSecond);
    TDateTime t = dateTime(2020, 2, 29, 12);
    EXPECT_DOUBLE_EQ(LocalToUtc(t), t + offset);
    EXPECT_DOUBLE_EQ(UtcToLocal(LocalToUtc(t)), t);
    EXPECT_NEAR(UtcNow(), nowUtcDateTime(), 2 * kSecond);
}

TEST(TimeValues, RunsInTheZoneAsked) {
    const char* minutes = std::getenv("NIMBORA_TEST_UTC_OFFSET_MINUTES");
    if (!minutes) GTEST_SKIP() << "no time zone asked for";
    EXPECT_NEAR(UtcOffsetDays(), -std::atof(minutes) / 1440, 1e-9);
}

TEST(DateTexts, LocaleFormFirst) {
    EXPECT_DOUBLE_EQ(ParseDateTimeDef("2006/12/25 10:20", 0), dateTime(2006, 12, 25, 10, 20));
    EXPECT_EQ(ParseDateTimeDef("no date", 5.5), 5.5);
    EXPECT_DOUBLE_EQ(ParseTimeDef("10:30", 0), 10.5 / 24);
    EXPECT_EQ(ParseTimeDef("25:99", -1), -1);
    EXPECT_DOUBLE_EQ(ParseDateText("  2006/12/25 10:20:30 ", nowDateTime()), dateTime(2006, 12, 25, 10, 20, 30));
}

TEST(DateTexts, EnglishWordsWithDefaults) {
    EXPECT_DOUBLE_EQ(ParseDateText("Dec 25 2006 10:20:30", nowDateTime()), dateTime(2006, 12, 25, 10, 20, 30));
    EXPECT_DOUBLE_EQ(ParseDateText("December 25, 2006, 10:20:30:250", nowDateTime()), dateTime(2006, 12, 25, 10, 20, 30, 250));

    TDateTime before = nowDateTime();
    TDateTime jan5 = ParseDateText("Jan 5 2007", nowDateTime());
    TDateTime after = nowDateTime();
    EXPECT_EQ(std::floor(jan5), dateTime(2007, 1, 5));
    double timeOfDay = jan5 - std::floor(jan5);
    if (std::floor(before) == std::floor(after)) {  // not across midnight
        EXPECT_GE(timeOfDay, before - std::floor(before) - kSecond);
        EXPECT_LE(timeOfDay, after - std::floor(after) + kSecond);
    }
}

TEST(DateTexts, UnusableWordsGiveDefaultsOrNow) {
    // An unknown month name reads as January; a day that does not exist gives now.
    TDateTime unknownMonth = ParseDateText("Foo 31 2006 1:02:03", nowDateTime());
    EXPECT_DOUBLE_EQ(unknownMonth, dateTime(2006, 1, 31, 1, 2, 3));
    TDateTime before = nowDateTime();
    TDateTime invalid = ParseDateText("Feb 30 2006", nowDateTime());
    EXPECT_GE(invalid, before - kSecond);
    EXPECT_LE(invalid, nowDateTime() + kSecond);
    // Fewer than three words: the year is missing, so nothing is filled in.
    EXPECT_NEAR(ParseDateText("Jul 4", nowDateTime()), nowDateTime(), 2 * kSecond);
}

TEST(MonthNames, ShortAndLongInAnyCase) {
    EXPECT_EQ(MonthNameToNumber("Jan"), 1);
    EXPECT_EQ(MonthNameToNumber("dec"), 12);
    EXPECT_EQ(MonthNameToNumber("SEPTEMBER"), 9);
    EXPECT_EQ(MonthNameToNumber("Sept"), 1);
    EXPECT_EQ(MonthNameToNumber(""), 1);
    EXPECT_EQ(monthNameIndex("Sept"), 0);
    EXPECT_EQ(monthNameIndex("may"), 5);
    EXPECT_STREQ(kShortDayNames[0], "Sun");
    EXPECT_STREQ(kLongMonthNames[1], "February");
}

TEST(NumberBits, BinaryAndOctalDigits) {
    EXPECT_EQ(IntToBin(5), "101");
    EXPECT_EQ(IntToOct(8), "10");
    EXPECT_EQ(IntToBin(0), "0");
    EXPECT_EQ(IntToOct(0), "0");
    EXPECT_EQ(IntToBin(0xFFFFFFFFu), AnsiString(32, '1'));
    EXPECT_EQ(IntToOct(0xFFFFFFFFu), "37777777777");
    EXPECT_EQ(IntToBin(static_cast<uint32_t>(-2)), AnsiString(31, '1') + "0");
}

TEST(NumberBits, PackAndTest) {
    EXPECT_EQ(PackBools({true, false, true}), 5);
    EXPECT_EQ(PackBools({}), 0);
    EXPECT_EQ(PackBools({true, true, true, true, true, true, true, true, true}), 0xFF);
    EXPECT_EQ(PackBools({false, false, false, false, false, false, false, true}), 0x80);
    EXPECT_TRUE(TestBit(5, 0));
    EXPECT_FALSE(TestBit(5, 1));
    EXPECT_TRUE(TestBit(5, 2));
    EXPECT_TRUE(TestBit(0x80, 7));
    EXPECT_FALSE(TestBit(0xFF, 8));
}

TEST(DateTexts, AGivenHourStartsAtItsFirstMillisecond) {
    EXPECT_DOUBLE_EQ(ParseDateText("Mar 3 2010 7", nowDateTime()), dateTime(2010, 3, 3, 7));
    EXPECT_DOUBLE_EQ(ParseDateText("Mar 3 2010 7:45", nowDateTime()), dateTime(2010, 3, 3, 7, 45));
}
