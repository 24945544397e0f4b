// The Date object: construction from milliseconds, texts and fields, the UTC
// getters and setters (a setter whose fields do not encode changes nothing),
// text through `format`, parsing, dates before 1900, and the local frame, which
// must agree with the offset in force at each date. The DateObjectZone tests
// run once more under fixed time zones (see CMakeLists.txt).
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "engine/lib/dateobject.h"
#include "engine/core/hooks.h"
#include "engine/core/variant.h"
#include "valuetest.h"

namespace {

class DateTest : public ::testing::Test {
protected:
    TJDateObject* newDate(std::initializer_list<TJValue> values = {}) {
        TJValueList args;
        for (const TJValue& v : values) args.Add(v);
        return createObject<TJDateObject>(&engine, true, values.size() ? &args : nullptr);
    }
    TJDateObject* dateAt(double ms) { return newDate({doubleValue(ms)}); }

    static TJValue call(TJObject* date, const char* name, std::initializer_list<TJValue> values = {}) {
        TJValueList args;
        for (const TJValue& v : values) args.Add(v);
        TJValue f, result;
        date->GetValue(name, false, f);
        EXPECT_EQ(f.ValueType, vtFunction) << name;
        CallNativeMethod(f.FuncValue.get(), values.size() ? &args : nullptr, result);
        return result;
    }
    static int32_t integer(TJObject* date, const char* name) {
        TJValue v = call(date, name);
        EXPECT_EQ(v.ValueType, vtInteger) << name;
        return v.IntegerValue;
    }
    static double number(const TJValue& v) {
        EXPECT_EQ(v.ValueType, vtDouble);
        return v.DoubleValue;
    }
    static double time(TJObject* date) { return number(call(date, "getTime")); }
    static AnsiString text(TJObject* date, const char* name) { return ValueToString(call(date, name)); }

    FakeRuntime engine;
};

// The current UTC time in milliseconds since 1970.
double nowMs() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    int64_t units = static_cast<int64_t>(static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime);
    return static_cast<double>(units / 10000 - 11644473600000LL);
}

constexpr double kHour = 3600000;
constexpr double kDay = 24 * kHour;

}  // namespace

// ==== Construction ====

TEST_F(DateTest, ClassAndHooks) {
    TJDateObject* date = newDate();
    EXPECT_EQ(date->ScriptClassName(), "Date");
    ASSERT_TRUE(JModuleHooks.NewDateObject);
    TDateTime local = 0;
    ASSERT_TRUE(tryEncodeDateTime(2024, 7, 15, 12, 34, 56, 789, local));
    TJObject* made = JModuleHooks.NewDateObject(&engine, local);
    ASSERT_TRUE(made->InheritsFrom(&TJDateObject::classInfo));
    EXPECT_GE(engine.factory.Objects().IndexOf(made), 0);
    EXPECT_DOUBLE_EQ(static_cast<TJDateObject*>(made)->LocalDateTime(), local);
    // An automation date round trip goes through the local date-time.
    VARIANT variant;
    VariantInit(&variant);
    ValueToVariant(objectValue(made), variant);
    EXPECT_EQ(variant.vt, VT_DATE);
    EXPECT_DOUBLE_EQ(variant.date, local);
    TJValue back;
    VariantToValue(variant, &engine, back);
    ASSERT_TRUE(IsObjectValue(back));
    EXPECT_EQ(time(back.ObjValue), time(made));
}

TEST_F(DateTest, ConstructionFromMilliseconds) {
    EXPECT_EQ(time(dateAt(0)), 0);
    EXPECT_EQ(integer(dateAt(0), "getUTCFullYear"), 1970);
    EXPECT_EQ(integer(dateAt(0), "getUTCDay"), 4);  // a Thursday
    EXPECT_EQ(time(dateAt(1.9)), 1);                 // truncated
    EXPECT_EQ(time(dateAt(-1.9)), -1);
    EXPECT_EQ(time(newDate({textValue("1000")})), 1000);  // a numeric text
    EXPECT_EQ(time(newDate({boolValue(true)})), 1);
    EXPECT_EQ(time(newDate({intValue(1000000000)})), 1e9);
    EXPECT_NEAR(time(newDate()), nowMs(), 2000);
    // Another Date gives its own time, not its text read back.
    TJDateObject* original = dateAt(1234567890123.0);
    EXPECT_EQ(time(newDate({objectValue(original)})), 1234567890123.0);
}

TEST_F(DateTest, ConstructionFromFieldsAndTexts) {
    EXPECT_EQ(time(newDate({intValue(2005), intValue(0), intValue(1), intValue(10), intValue(20), intValue(30),
                            intValue(400)})),
              1104574830400.0);
    // Missing time fields come from the current UTC time of day.
    TJDateObject* date = newDate({intValue(2005), intValue(0), intValue(1)});
    EXPECT_EQ(integer(date, "getUTCFullYear"), 2005);
    EXPECT_EQ(integer(date, "getUTCMonth"), 0);
    EXPECT_EQ(integer(date, "getUTCDate"), 1);
    double timeOfDay = std::fmod(nowMs(), kDay);
    EXPECT_NEAR(std::fmod(time(date), kDay), timeOfDay, 2000);
    EXPECT_EQ(time(newDate({textValue("Dec 25 2006 10:20:30")})), 1167042030000.0);
    EXPECT_EQ(time(newDate({textValue("2006/12/25 10:20:30")})), 1167042030000.0);
}

// ==== UTC fields ====

TEST_F(DateTest, UtcGetters) {
    TJDateObject* date = dateAt(1e12 + 123);  // 2001-09-09 01:46:40.123, a Sunday
    EXPECT_EQ(integer(date, "getUTCFullYear"), 2001);
    EXPECT_EQ(integer(date, "getUTCYear"), 2001);
    EXPECT_EQ(integer(date, "getUTCMonth"), 8);
    EXPECT_EQ(integer(date, "getUTCDate"), 9);
    EXPECT_EQ(integer(date, "getUTCDay"), 0);
    EXPECT_EQ(integer(date, "getUTCHours"), 1);
    EXPECT_EQ(integer(date, "getUTCMinutes"), 46);
    EXPECT_EQ(integer(date, "getUTCSeconds"), 40);
    EXPECT_EQ(integer(date, "getUTCMilliseconds"), 123);
    EXPECT_EQ(integer(dateAt(928195200000.0), "getUTCYear"), 99);  // 1999-06-01
    EXPECT_EQ(integer(dateAt(-3772546200000.0), "getUTCYear"), -50);  // 1850
}

TEST_F(DateTest, UtcSetters) {
    TJDateObject* date = dateAt(951825600000.0);  // 2000-02-29 12:00
    EXPECT_EQ(call(date, "setUTCYear", {intValue(99)}).ValueType, vtUndefined);  // 1999-02-29
    EXPECT_EQ(number(call(date, "setUTCFullYear", {intValue(2004)})), 1078056000000.0);
    EXPECT_EQ(number(call(date, "setUTCMonth", {intValue(0)})), 1075377600000.0);  // 2004-01-29
    EXPECT_EQ(number(call(date, "setUTCDate", {intValue(31)})), 1075550400000.0);
    call(date, "setUTCHours", {textValue("x")});  // a non-number is 0
    call(date, "setUTCMinutes", {intValue(5)});
    call(date, "setUTCSeconds", {textValue("6")});
    EXPECT_EQ(number(call(date, "setUTCMilliseconds", {doubleValue(7.4)})), 1075507506007.0);
    EXPECT_EQ(number(call(date, "setUTCYear", {intValue(2005)})), 1107129906007.0);
    EXPECT_EQ(number(call(date, "setUTCYear", {intValue(5)})), -2048630093993.0);  // 0-99: the 1900s
    EXPECT_EQ(integer(date, "getUTCFullYear"), 1905);
}

TEST_F(DateTest, SettersThatDoNotEncodeChangeNothing) {
    const double start = 1075550400000.0;  // 2004-01-31 12:00
    TJDateObject* date = dateAt(start);
    for (const char* setter : {"setUTCMonth", "setMonth"}) {
        EXPECT_EQ(call(date, setter, {intValue(12)}).ValueType, vtUndefined) << setter;
        EXPECT_EQ(call(date, setter, {intValue(1)}).ValueType, vtUndefined) << setter;  // February 31st
    }
    for (const char* setter : {"setUTCHours", "setHours"}) {
        EXPECT_EQ(call(date, setter, {intValue(24)}).ValueType, vtUndefined) << setter;
        EXPECT_EQ(call(date, setter, {intValue(-1)}).ValueType, vtUndefined) << setter;
    }
    EXPECT_EQ(call(date, "setUTCMinutes", {intValue(60)}).ValueType, vtUndefined);
    EXPECT_EQ(call(date, "setSeconds", {intValue(60)}).ValueType, vtUndefined);
    EXPECT_EQ(call(date, "setMilliseconds", {intValue(1000)}).ValueType, vtUndefined);
    EXPECT_EQ(call(date, "setUTCDate", {intValue(0)}).ValueType, vtUndefined);
    EXPECT_EQ(call(date, "setFullYear", {intValue(10000)}).ValueType, vtUndefined);
    EXPECT_EQ(call(date, "setUTCMonth", {intValue(INT32_MAX)}).ValueType, vtUndefined);
    EXPECT_EQ(call(date, "setUTCHours").ValueType, vtUndefined);  // no argument
    EXPECT_EQ(call(date, "setTime").ValueType, vtUndefined);
    EXPECT_EQ(time(date), start);
}

TEST_F(DateTest, SetTimeKeepsTheFraction) {
    TJDateObject* date = dateAt(0);
    EXPECT_EQ(number(call(date, "setTime", {doubleValue(1.9)})), 2);
    EXPECT_EQ(time(date), 2);
    EXPECT_EQ(number(call(date, "setTime", {textValue("1e12")})), 1e12);
    EXPECT_EQ(integer(date, "getUTCFullYear"), 2001);
    // A double that is no number changes nothing.
    EXPECT_EQ(call(date, "setTime", {doubleValue(NAN)}).ValueType, vtUndefined);
    EXPECT_EQ(call(date, "setTime", {doubleValue(-HUGE_VAL)}).ValueType, vtUndefined);
    EXPECT_EQ(time(date), 1e12);
    EXPECT_NEAR(time(newDate({doubleValue(HUGE_VAL)})), nowMs(), 2000);
}

TEST_F(DateTest, DatesBefore1900) {
    // 1899-12-29 06:00 lies a day and a quarter before the platform's day 0.
    TJDateObject* date = dateAt(-2209226400000.0);
    EXPECT_EQ(integer(date, "getUTCDate"), 29);
    EXPECT_EQ(integer(date, "getUTCHours"), 6);
    EXPECT_EQ(integer(date, "getUTCMonth"), 11);
    EXPECT_EQ(number(call(date, "setUTCMinutes", {intValue(30)})), -2209226400000.0 + 30 * 60000);
    TJDateObject* old = newDate({intValue(1850), intValue(5), intValue(15), intValue(6), intValue(30), intValue(0),
                                 intValue(0)});
    EXPECT_EQ(time(old), -3772546200000.0);
    EXPECT_EQ(integer(old, "getUTCDay"), 6);  // a Saturday
    EXPECT_EQ(integer(old, "getUTCHours"), 6);
    old->setFormat("yyyy-mm-dd hh:nn");
    EXPECT_EQ(text(old, "toUTCString"), "1850-06-15 06:30");
    EXPECT_EQ(number(call(old, "setUTCSeconds", {intValue(59)})), -3772546200000.0 + 59000);
    TJDateObject* early = dateAt(-14826628800000.0);  // 1500-03-01 12:00
    EXPECT_EQ(integer(early, "getUTCFullYear"), 1500);
    EXPECT_EQ(integer(early, "getUTCHours"), 12);
}

// ==== Text ====

TEST_F(DateTest, TextThroughFormat) {
    TJDateObject* date = dateAt(0);
    TJValue format;
    date->GetValue("format", false, format);
    EXPECT_EQ(format.ValueType, vtString);
    EXPECT_EQ(ValueToString(format), "");
    // The locale's short date; the time is left out at midnight.
    EXPECT_EQ(text(date, "toGMTString"), "1970/1/1");
    EXPECT_EQ(text(dateAt(1e12), "toUTCString"), "2001/9/9 1:46:40");
    date->SetValue("format", textValue("yyyy"));
    EXPECT_EQ(text(date, "toGMTString"), "1970");
    date->SetValue("FORMAT", textValue("yyyy-mm-dd hh:nn:ss.zzz ddd"));  // published names in any case
    EXPECT_EQ(date->format(), "yyyy-mm-dd hh:nn:ss.zzz ddd");
    call(date, "setTime", {doubleValue(1e12 + 5)});
    EXPECT_EQ(text(date, "toUTCString"), "2001-09-09 01:46:40.005 Sun");
    // The local forms: toString, toLocaleString, valueOf and the conversions.
    AnsiString local = formatDateTime(date->format(), date->LocalDateTime());
    EXPECT_EQ(date->ToString(), local);
    EXPECT_EQ(text(date, "toString"), local);
    EXPECT_EQ(text(date, "toLocaleString"), local);
    EXPECT_EQ(ValueToString(objectValue(date)), local);
    TJValue value = call(date, "valueOf");
    EXPECT_EQ(value.ValueType, vtDouble);
    EXPECT_EQ(value.DoubleValue, 1e12 + 5);
    EXPECT_EQ(ValueToDouble(objectValue(date)), 1e12 + 5);
}

// ==== Parsing ====

TEST_F(DateTest, ParseAndUtc) {
    TJDateObject* date = dateAt(0);
    EXPECT_EQ(number(call(date, "parse", {textValue("Dec 25 2006 10:20:30")})), 1167042030000.0);
    EXPECT_EQ(number(call(date, "UTC", {textValue("2006/12/25 10:20:30")})), 1167042030000.0);
    EXPECT_EQ(number(call(date, "UTC", {intValue(2005), intValue(0), intValue(1), intValue(0), intValue(0),
                                        intValue(0), intValue(0)})),
              1104537600000.0);
    // A time that does not encode leaves midnight of the date.
    EXPECT_EQ(number(call(date, "parse", {intValue(2005), intValue(0), intValue(1), intValue(25), intValue(0)})),
              1104537600000.0);
    // A date that does not encode gives the current time.
    EXPECT_NEAR(number(call(date, "parse", {intValue(2005), intValue(13), intValue(1)})), nowMs(), 2000);
    EXPECT_NEAR(number(call(date, "parse")), nowMs(), 2000);
    EXPECT_EQ(time(date), 0);  // parse leaves its object alone
    // Fields beyond the seventh are ignored.
    EXPECT_EQ(number(call(date, "UTC", {intValue(2005), intValue(0), intValue(1), intValue(10), intValue(20),
                                        intValue(30), intValue(400), intValue(99)})),
              1104574830400.0);
}

// ==== The local frame ====

// Local fields are the UTC fields of the time moved by the offset in force at
// that date, whatever the zone the test runs in.
TEST_F(DateTest, LocalFieldsFollowTheOffsetAtEachDate) {
    for (double ms : {0.0, 1705320000000.0, 1721044800000.0, 1710046800000.0, -3772546200000.0,
                      -14826628800000.0, 253402300799999.0 - kDay}) {
        TJDateObject* date = dateAt(ms);
        int32_t offset = integer(date, "getTimezoneOffset");
        EXPECT_EQ(offset % 15, 0) << ms;
        EXPECT_LE(std::abs(offset), 14 * 60) << ms;
        TJDateObject* shifted = dateAt(ms - offset * 60000.0);
        for (auto [local, utc] : {std::pair{"getFullYear", "getUTCFullYear"}, {"getYear", "getUTCYear"},
                                  {"getMonth", "getUTCMonth"}, {"getDate", "getUTCDate"}, {"getDay", "getUTCDay"},
                                  {"getHours", "getUTCHours"}, {"getMinutes", "getUTCMinutes"},
                                  {"getSeconds", "getUTCSeconds"}, {"getMilliseconds", "getUTCMilliseconds"}}) {
            EXPECT_EQ(integer(date, local), integer(shifted, utc)) << local << " at " << ms;
        }
        EXPECT_DOUBLE_EQ(date->LocalDateTime(), shifted->UtcDateTime()) << ms;
    }
}

TEST_F(DateTest, LocalSettersStoreUtc) {
    TJDateObject* date = dateAt(1721044800000.0);  // 2024-07-15 12:00 UTC
    int32_t offset = integer(date, "getTimezoneOffset");
    // Local midnight of the local day, found through the local fields.
    int32_t localDay = integer(date, "getDate");
    call(date, "setHours", {intValue(0)});
    call(date, "setMinutes", {intValue(0)});
    EXPECT_EQ(integer(date, "getDate"), localDay);
    EXPECT_EQ(integer(date, "getHours"), 0);
    EXPECT_EQ(integer(date, "getMinutes"), 0);
    offset = integer(date, "getTimezoneOffset");
    EXPECT_EQ(std::fmod(time(date) - offset * 60000.0, kDay), 0);
    // setFullYear, setMonth and setDate keep the local time of day.
    double stored = number(call(date, "setFullYear", {intValue(2023)}));
    EXPECT_EQ(stored, time(date));
    EXPECT_EQ(integer(date, "getFullYear"), 2023);
    call(date, "setMonth", {intValue(6)});
    call(date, "setDate", {intValue(20)});
    EXPECT_EQ(integer(date, "getMonth"), 6);
    EXPECT_EQ(integer(date, "getDate"), 20);
    EXPECT_EQ(integer(date, "getHours"), 0);
    EXPECT_EQ(integer(date, "getSeconds"), 0);
}

// ==== Fixed time zones ====

namespace {

// The zone the test run asked for ("tokyo", "newyork", "kolkata"), empty when none.
std::string askedZone() {
    const char* zone = std::getenv("NIMBORA_TEST_ZONE");
    return zone ? zone : "";
}

}  // namespace

class DateZoneTest : public DateTest {
protected:
    void SetUp() override {
        zone = askedZone();
        if (zone.empty()) GTEST_SKIP() << "no time zone asked for";
    }
    std::string zone;
};

TEST_F(DateZoneTest, ThePlatformRunsInTheZoneAsked) {
    TIME_ZONE_INFORMATION tzi;
    GetTimeZoneInformation(&tzi);
    long expected = zone == "tokyo" ? -540 : zone == "newyork" ? 300 : zone == "kolkata" ? -330 : 1;
    EXPECT_EQ(tzi.Bias, expected) << zone;
}

TEST_F(DateZoneTest, OffsetsAndLocalFields) {
    TJDateObject* winter = dateAt(1705320000000.0);  // 2024-01-15 12:00 UTC
    TJDateObject* summer = dateAt(1721044800000.0);  // 2024-07-15 12:00 UTC
    TJDateObject* epoch = dateAt(0);
    if (zone == "tokyo") {
        EXPECT_EQ(integer(winter, "getTimezoneOffset"), -540);
        EXPECT_EQ(integer(summer, "getTimezoneOffset"), -540);
        EXPECT_EQ(integer(epoch, "getHours"), 9);
        EXPECT_EQ(epoch->ToString(), "1970/1/1 9:00:00");
        EXPECT_EQ(text(epoch, "toGMTString"), "1970/1/1");
    } else if (zone == "newyork") {
        EXPECT_EQ(integer(winter, "getTimezoneOffset"), 300);
        EXPECT_EQ(integer(winter, "getHours"), 7);
        EXPECT_EQ(integer(summer, "getTimezoneOffset"), 240);  // daylight saving
        EXPECT_EQ(integer(summer, "getHours"), 8);
        EXPECT_EQ(integer(epoch, "getDate"), 31);
        EXPECT_EQ(integer(epoch, "getFullYear"), 1969);
        EXPECT_EQ(integer(epoch, "getYear"), 69);
        EXPECT_EQ(integer(epoch, "getDay"), 3);
        EXPECT_EQ(epoch->ToString(), "1969/12/31 19:00:00");
    } else if (zone == "kolkata") {
        EXPECT_EQ(integer(winter, "getTimezoneOffset"), -330);
        EXPECT_EQ(integer(summer, "getTimezoneOffset"), -330);
        EXPECT_EQ(integer(epoch, "getHours"), 5);
        EXPECT_EQ(integer(epoch, "getMinutes"), 30);
        EXPECT_EQ(epoch->ToString(), "1970/1/1 5:30:00");
    }
}

TEST_F(DateZoneTest, LocalSettersUseTheOffsetOfTheNewDate) {
    TJDateObject* date = dateAt(0);
    if (zone == "tokyo") {
        EXPECT_EQ(number(call(date, "setHours", {intValue(0)})), -9 * kHour);
        EXPECT_EQ(number(call(date, "setFullYear", {intValue(2000)})), 946684800000.0 - 9 * kHour);
    } else if (zone == "kolkata") {
        EXPECT_EQ(number(call(date, "setMinutes", {intValue(0)})), -30 * 60000.0);  // 05:00 local
    } else if (zone == "newyork") {
        // 2024-03-10 00:00 EST; daylight saving starts at 02:00 that morning.
        TJDateObject* spring = dateAt(1710046800000.0);
        EXPECT_EQ(integer(spring, "getHours"), 0);
        EXPECT_EQ(integer(spring, "getTimezoneOffset"), 300);
        EXPECT_EQ(number(call(spring, "setHours", {intValue(12)})), 1710086400000.0);  // 16:00 UTC
        EXPECT_EQ(integer(spring, "getTimezoneOffset"), 240);
        // A summer date moved into winter keeps its local time of day.
        TJDateObject* summer = dateAt(1721044800000.0);  // 08:00 EDT
        call(summer, "setMonth", {intValue(0)});
        EXPECT_EQ(integer(summer, "getHours"), 8);
        EXPECT_EQ(time(summer), 1721044800000.0 - 182 * kDay + kHour);
        // The automation date of a Date is its local date-time at that date.
        TDateTime local = 0;
        tryEncodeDateTime(2024, 7, 15, 8, 0, 0, 0, local);
        EXPECT_DOUBLE_EQ(dateAt(1721044800000.0)->LocalDateTime(), local);
    }
}
