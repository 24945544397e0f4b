// TJDateObject: the script class "Date" - one point in time held in UTC, its
// local and UTC fields with getters and setters, milliseconds since 1970, text
// through the settable `format`, and parsing. Local fields use the UTC offset
// in force at the date itself. RegisterDateObject registers the class with a
// runtime (engine/lib/builtins.cpp calls it); the module fills the Date entry of
// JModuleHooks when it is linked.
#pragma once

#include "engine/core/object.h"
#include "rtl/datetime.h"

// The fields of a date-time in one frame (local or UTC).
struct TJDateFields {
    int Year = 0, Month = 0, Day = 0;  // month 1..12, day 1..31
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
    int DayOfWeek = 0;  // 0 Sunday .. 6 Saturday
};

class TJDateObject : public TJObject {
    RTL_DECLARE_CLASS()
    // No arguments: now. One numeric argument: milliseconds since 1970 (UTC,
    // truncated; not finite: now); another Date: its time; one other argument
    // or several: the milliseconds that `parse` gives for them.
    TJDateObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // Milliseconds since 1970-01-01 00:00 UTC, rounded to whole milliseconds.
    double GetTime() const;
    // Stores the milliseconds as they are (a fraction is kept); false (nothing
    // changes) for a value that is not finite.
    bool SetTime(double ms);
    // The date-time in the platform's form, in the local frame or in UTC.
    TDateTime LocalDateTime() const;
    TDateTime UtcDateTime() const;
    void SetLocalDateTime(TDateTime local);

    // The fields in the local frame or in UTC.
    TJDateFields Fields(bool utc) const;
    // Stores the date-time that the fields give in that frame; false (nothing
    // changes) when they do not make a valid date and time.
    bool SetFields(const TJDateFields& fields, bool utc);
    // Minutes of UTC minus local time at this date (-540 in Tokyo).
    int32_t TimezoneOffset() const;

    // The `format` property: the picture of every text form (empty: the short
    // date and the long time, the time left out at midnight).
    const AnsiString& format() const { return Format_; }
    void setFormat(const AnsiString& format) { Format_ = format; }

    // The local date-time as text.
    AnsiString ToString(const TJValue* arg = nullptr) override;
    // The milliseconds of getTime.
    TJValue ValueOf() override;
    double ToNumber() override { return GetTime(); }
    // The local date-time as VT_DATE.
    void ToVariant(VARIANT& variant) override;

    const TJMethodTable& Methods() const override;

protected:
    bool BindsMethodsOnRead() const override;

private:

    // UTC, as days since 1899-12-30 counted straight on (for dates before it
    // too), so milliseconds convert both ways by scale and shift alone.
    double Utc_;
    AnsiString Format_;
};

// Registers the class "Date" with the engine.
void RegisterDateObject(TJRuntime* runtime);

// The milliseconds that `parse` and `UTC` give: one argument is read as a date
// text, several are the UTC fields year, month (0-based), day, hours, minutes,
// seconds and milliseconds, missing ones from the current UTC time.
double ParseDateArguments(TJValueList* args);
