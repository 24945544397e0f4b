// The Date object from C++ (its behaviour as scripts see it is in
// tests/scripts/date): the hook that makes Date objects and the automation
// date round trip, and the offsets and local fields in the fixed time zones
// the DateZoneTest tests run under (see CMakeLists.txt).
#include <windows.h>

#include <cstdlib>
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

constexpr double kHour = 3600000;
constexpr double kDay = 24 * kHour;

}  // namespace

// ==== Construction ====

// The module fills its hook when it registers.
TEST_F(DateTest, ClassAndHooks) {
    RegisterDateObject(&engine);
    TJDateObject* date = newDate();
    EXPECT_EQ(date->ScriptClassName(), "Date");
    ASSERT_TRUE(JModuleHooks.NewDateObject);
    TDateTime local = 0;
    ASSERT_TRUE(tryEncodeDateTime(2024, 7, 15, 12, 34, 56, 789, local));
    TJObject* made = JModuleHooks.NewDateObject(&engine, local);
    ASSERT_TRUE(made->InheritsFrom(&TJDateObject::classInfo));
    EXPECT_TRUE(engine.factory.HasObject(made));
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
