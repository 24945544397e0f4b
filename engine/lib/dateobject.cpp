// The Date object: the UTC time value, the local frame through the platform's
// time-zone conversion at each date, the field getters and setters, the text
// forms and `parse`. Milliseconds, the UTC offset and date texts come from the
// date helpers (engine/support/dateutil.h).
#include "engine/lib/dateobject.h"

#include <windows.h>

#include <cmath>

#include "engine/support/dateutil.h"
#include "engine/core/runtime.h"
#include "engine/core/hooks.h"
#include "engine/core/valuelist.h"

namespace {

// The class name every object of the class shares (a copy takes no memory).
const AnsiString dateClassName("Date");

const TPropInfo dateProperties[] = {
    StringProperty<&TJDateObject::format, &TJDateObject::setFormat>("format"),
};

// ==== Days counted straight on and the platform's form ====
// Before 1899-12-30 the platform's form counts the time of day forward from
// midnight (-1.25 is 1899-12-29 06:00), where straight counting gives -0.75.

TDateTime platformForm(double straight) {
    if (!(straight < 0)) return straight;
    double day = std::floor(straight);
    double time = straight - day;
    return time == 0 ? day : day - time;
}

double straightForm(TDateTime platform) {
    if (!(platform < 0)) return platform;
    double day = std::trunc(platform);
    return day + (day - platform);
}

// ==== The time zone at a given date ====

constexpr double kMinutesPerDay = 1440;
constexpr int64_t kFileTimeUnitsPerMinute = 600000000;  // 100 ns units

// The platform converts the years 1601 to 30827; dates outside the years the
// date-time encodes take the offset at the nearest end.
SYSTEMTIME systemTimeOf(double straight) {
    static const double first = [] {
        TDateTime t = 0;
        tryEncodeDate(1601, 1, 2, t);
        return straightForm(t);
    }();
    static const double last = [] {
        TDateTime t = 0;
        tryEncodeDate(9999, 12, 31, t);
        return t;
    }();
    if (!(straight >= first)) straight = first;
    else if (straight > last) straight = last;
    return dateTimeToSystemTime(platformForm(straight));
}

int64_t fileTimeOf(const SYSTEMTIME& st) {
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return static_cast<int64_t>(static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime);
}

// The offset now, for a date the platform cannot convert.
int currentOffsetMinutes() { return static_cast<int>(std::lround(-UtcOffsetDays() * kMinutesPerDay)); }

int minutesBetween(const SYSTEMTIME& local, const SYSTEMTIME& utc) {
    return static_cast<int>((fileTimeOf(local) - fileTimeOf(utc)) / kFileTimeUnitsPerMinute);
}

// The offset of the last instant converted one way (UTC to local, or back).
struct TZoneOffset {
    double At = std::nan("");
    int Minutes = 0;
};

// The rules of the current time zone, as a conversion without a zone of its
// own would read them at each call (Wine re-reads its zone data every time),
// and the last instant converted each way with them: a date's getters ask for
// the same instant one after another. The rules are asked again after a
// second, so that a change of zone shows as soon; a change of daylight saving
// is in the rules themselves.
struct TCurrentZone {
    TIME_ZONE_INFORMATION Rules{};
    bool Known = false;  // false: the platform gave none, the conversions read them
    bool Asked = false;
    DWORD AskedAt = 0;
    TZoneOffset FromUtc, FromLocal;
    const TIME_ZONE_INFORMATION* rules() const { return Known ? &Rules : nullptr; }
    // Rules without change dates give every instant the same offset.
    bool oneOffset() const { return Known && Rules.StandardDate.wMonth == 0 && Rules.DaylightDate.wMonth == 0; }
};

TCurrentZone& currentZone() {
    static TCurrentZone zone;
    DWORD now = GetTickCount();  // the difference is right across the wrap
    if (!zone.Asked || now - zone.AskedAt >= 1000) {
        zone.Known = GetTimeZoneInformation(&zone.Rules) != TIME_ZONE_ID_INVALID;
        zone.Asked = true;
        zone.AskedAt = now;
        zone.FromUtc = zone.FromLocal = TZoneOffset();
    }
    return zone;
}

// Local time minus UTC, in minutes, at an instant in UTC (fromUtc) or in local
// time (the platform decides for the hour that daylight saving skips or
// repeats). The platform converts only an instant whose offset is not known
// already: the last one converted that way, or any in a zone of one offset.
int offsetAt(double at, bool fromUtc) {
    TCurrentZone& zone = currentZone();
    TZoneOffset& last = fromUtc ? zone.FromUtc : zone.FromLocal;
    if (at == last.At || (zone.oneOffset() && !std::isnan(last.At))) return last.Minutes;
    SYSTEMTIME given = systemTimeOf(at), converted;
    if (fromUtc ? !SystemTimeToTzSpecificLocalTime(zone.rules(), &given, &converted)
                : !TzSpecificLocalTimeToSystemTime(zone.rules(), &given, &converted)) {
        return currentOffsetMinutes();
    }
    last = {at, fromUtc ? minutesBetween(converted, given) : minutesBetween(given, converted)};
    return last.Minutes;
}

double utcToLocal(double utc) { return utc + offsetAt(utc, true) / kMinutesPerDay; }
double localToUtc(double local) { return local - offsetAt(local, false) / kMinutesPerDay; }

// ==== Fields ====

// The getters of one date decode the same day number one after another: the
// last one decoded is kept.
TJDateFields fieldsOf(double straight) {
    static double lastStraight = std::nan("");
    static TJDateFields last;
    if (straight == lastStraight) return last;
    TDateTime t = platformForm(straight);
    decodeDateTime(t, last.Year, last.Month, last.Day, last.Hour, last.Minute, last.Second, last.Millisecond);
    last.DayOfWeek = dayOfWeek(t) - 1;
    lastStraight = straight;
    return last;
}

// The stored month of a 0-based month argument.
int monthOfIndex(int32_t index) { return index < 12 ? index + 1 : 13; }

enum class DateField { FullYear, Year, Month, Date, Day, Hours, Minutes, Seconds, Milliseconds };

template <DateField F, bool Utc>
void getField(TJDateObject& self, TJValueList*, TJValue& result) {
    TJDateFields f = self.Fields(Utc);
    int value = 0;
    switch (F) {
    case DateField::FullYear: value = f.Year; break;
    case DateField::Year: value = f.Year < 2000 ? f.Year - 1900 : f.Year; break;
    case DateField::Month: value = f.Month - 1; break;
    case DateField::Date: value = f.Day; break;
    case DateField::Day: value = f.DayOfWeek; break;
    case DateField::Hours: value = f.Hour; break;
    case DateField::Minutes: value = f.Minute; break;
    case DateField::Seconds: value = f.Second; break;
    case DateField::Milliseconds: value = f.Millisecond; break;
    }
    MakeInteger(value, result);
}

// A setter replaces one field; fields that make no valid date and time leave
// the object as it was and the result undefined.
template <DateField F, bool Utc>
void setField(TJDateObject& self, TJValueList* args, TJValue& result) {
    TJDateFields f = self.Fields(Utc);
    int32_t value = ValueToInteger(args->At(0));
    switch (F) {
    case DateField::FullYear: f.Year = value; break;
    case DateField::Year: f.Year = value >= 0 && value <= 99 ? value + 1900 : value; break;
    case DateField::Month: f.Month = monthOfIndex(value); break;
    case DateField::Date: f.Day = value; break;
    case DateField::Hours: f.Hour = value; break;
    case DateField::Minutes: f.Minute = value; break;
    case DateField::Seconds: f.Second = value; break;
    case DateField::Milliseconds: f.Millisecond = value; break;
    case DateField::Day: return;  // the day of the week has no setter
    }
    if (self.SetFields(f, Utc)) MakeDouble(self.GetTime(), result);
}

// ==== Hooks ====

TJObject* newDateObject(TJRuntime* runtime, double localDateTime) {
    TJDateObject* date = createObject<TJDateObject>(runtime, true, nullptr);
    date->SetLocalDateTime(localDateTime);
    return date;
}

}  // namespace

const TClassInfo TJDateObject::classInfo =
    makeClassInfo("TJDateObject", &TJObject::classInfo, dateProperties, &scriptCreator<TJDateObject>);

// ==== Construction and the time value ====

// The clock is read only for a date that is not given one.
TJDateObject::TJDateObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args), Utc_(0) {
    SetClassName(dateClassName);
    int count = ArgCount(args);
    if (count > 0) {
        const TJValue& first = args->At(0);
        if (count == 1 && IsObjectOfClass(&first, &classInfo)) {
            Utc_ = static_cast<TJDateObject*>(first.ObjValue)->Utc_;
            return;
        }
        bool milliseconds = count == 1 && IsNumericValue(first);
        if (SetTime(std::trunc(milliseconds ? ValueToDouble(first) : ParseDateArguments(args)))) return;
    }
    Utc_ = straightForm(nowUtcDateTime());
}

// The variant conversions make Date objects from here on.
void RegisterDateObject(TJRuntime* runtime) {
    JModuleHooks.NewDateObject = &newDateObject;
    runtime->RegisterScriptClass("Date", &TJDateObject::classInfo);
}

bool TJDateObject::BindsMethodsOnRead() const { return ClassType() == &classInfo; }

double TJDateObject::GetTime() const { return DateTimeToMs(Utc_); }
bool TJDateObject::SetTime(double ms) {
    if (!std::isfinite(ms)) return false;
    Utc_ = MsToDateTime(ms);
    return true;
}

TDateTime TJDateObject::LocalDateTime() const { return platformForm(utcToLocal(Utc_)); }
TDateTime TJDateObject::UtcDateTime() const { return platformForm(Utc_); }
void TJDateObject::SetLocalDateTime(TDateTime local) { Utc_ = localToUtc(straightForm(local)); }

TJDateFields TJDateObject::Fields(bool utc) const { return fieldsOf(utc ? Utc_ : utcToLocal(Utc_)); }

bool TJDateObject::SetFields(const TJDateFields& f, bool utc) {
    TDateTime t;
    if (!tryEncodeDateTime(f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second, f.Millisecond, t)) return false;
    Utc_ = utc ? straightForm(t) : localToUtc(straightForm(t));
    return true;
}

int32_t TJDateObject::TimezoneOffset() const { return -offsetAt(Utc_, true); }

AnsiString TJDateObject::ToString(const TJValue*) { return formatDateTime(Format_, LocalDateTime()); }

void TJDateObject::ToVariant(VARIANT& variant) {
    variant.vt = VT_DATE;
    variant.date = LocalDateTime();
}

TJValue TJDateObject::ValueOf() {
    TJValue value;
    MakeDouble(GetTime(), value);
    return value;
}

// ==== Methods ====

namespace {

void getTime(TJDateObject& self, TJValueList*, TJValue& result) { MakeDouble(self.GetTime(), result); }

void setTime(TJDateObject& self, TJValueList* args, TJValue& result) {
    if (self.SetTime(ValueToDouble(args->At(0)))) MakeDouble(self.GetTime(), result);
}

void getTimezoneOffset(TJDateObject& self, TJValueList*, TJValue& result) {
    MakeInteger(self.TimezoneOffset(), result);
}

void toLocaleString(TJDateObject& self, TJValueList*, TJValue& result) { MakeString(self.ToString(), result); }

void toUTCString(TJDateObject& self, TJValueList*, TJValue& result) {
    MakeString(formatDateTime(self.format(), self.UtcDateTime()), result);
}

void parse(TJDateObject&, TJValueList* args, TJValue& result) { MakeDouble(ParseDateArguments(args), result); }

// The field methods of one frame; "utc" is "" or "UTC".
#define DATE_FIELD_METHODS(utc, isUtc)                                         \
    {"get" utc "FullYear", 0, &getField<DateField::FullYear, isUtc>},          \
    {"set" utc "FullYear", 1, &setField<DateField::FullYear, isUtc>},          \
    {"get" utc "Year", 0, &getField<DateField::Year, isUtc>},                  \
    {"set" utc "Year", 1, &setField<DateField::Year, isUtc>},                  \
    {"get" utc "Month", 0, &getField<DateField::Month, isUtc>},                \
    {"set" utc "Month", 1, &setField<DateField::Month, isUtc>},                \
    {"get" utc "Date", 0, &getField<DateField::Date, isUtc>},                  \
    {"set" utc "Date", 1, &setField<DateField::Date, isUtc>},                  \
    {"get" utc "Day", 0, &getField<DateField::Day, isUtc>},                    \
    {"get" utc "Hours", 0, &getField<DateField::Hours, isUtc>},                \
    {"set" utc "Hours", 1, &setField<DateField::Hours, isUtc>},                \
    {"get" utc "Minutes", 0, &getField<DateField::Minutes, isUtc>},            \
    {"set" utc "Minutes", 1, &setField<DateField::Minutes, isUtc>},            \
    {"get" utc "Seconds", 0, &getField<DateField::Seconds, isUtc>},            \
    {"set" utc "Seconds", 1, &setField<DateField::Seconds, isUtc>},            \
    {"get" utc "Milliseconds", 0, &getField<DateField::Milliseconds, isUtc>},  \
    {"set" utc "Milliseconds", 1, &setField<DateField::Milliseconds, isUtc>}

// "toString" is the inherited method.
const TJMethod<TJDateObject> dateMethods[] = {
    DATE_FIELD_METHODS("", false),
    DATE_FIELD_METHODS("UTC", true),
    {"getTime", 0, &getTime},
    {"setTime", 1, &setTime},
    {"getTimezoneOffset", 0, &getTimezoneOffset},
    {"toLocaleString", 0, &toLocaleString},
    {"toGMTString", 0, &toUTCString},
    {"toUTCString", 0, &toUTCString},
    {"UTC", 0, &parse},
    {"parse", 0, &parse},
};

#undef DATE_FIELD_METHODS

}  // namespace

const TJMethodTable& TJDateObject::Methods() const {
    static const TJMethodTable table(dateMethods, TJObject::Methods());
    return table;
}

// ==== Parsing ====

double ParseDateArguments(TJValueList* args) {
    double now = straightForm(nowUtcDateTime());
    int count = ArgCount(args);
    if (count == 0) return DateTimeToMs(now);
    // A date text: read in the locale's form or the English one, taken as UTC,
    // so the parts it does not give come from the UTC clock.
    if (count == 1) return DateTimeToMs(straightForm(ParseDateText(ValueToString(args->At(0)), nowUtcDateTime())));

    TJDateFields f = fieldsOf(now);
    int* parts[] = {&f.Year, &f.Month, &f.Day, &f.Hour, &f.Minute, &f.Second, &f.Millisecond};
    for (int i = 0; i < count && i < 7; ++i) {
        int32_t value = ValueToInteger(args->At(i));
        *parts[i] = i == 1 ? monthOfIndex(value) : value;
    }
    TDateTime date, time;
    if (!tryEncodeDate(f.Year, f.Month, f.Day, date)) return DateTimeToMs(now);
    if (!tryEncodeTime(f.Hour, f.Minute, f.Second, f.Millisecond, time)) time = 0;
    return DateTimeToMs(straightForm(combineDateTime(date, time)));
}
