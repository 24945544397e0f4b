// Speed of the Date object's text forms and fields: the local text (the time
// zone conversion at the date plus formatting), the UTC text, a custom format,
// a format of 100,000 characters, the local getters and a local setter, and
// parsing a date text.
#include <chrono>
#include <cstdio>
#include <string>

#include "engine/lib/dateobject.h"
#include "engine/core/valuelist.h"

namespace {

template <typename F>
void measure(const char* name, int rounds, F&& body) {
    auto start = std::chrono::steady_clock::now();
    size_t sink = 0;
    for (int i = 0; i < rounds; ++i) sink += body(i);
    double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-34s %8.3f us/op  %10.0f /s  (%zu)\n", name, us / rounds, rounds / us * 1e6, sink);
}

// A time within 2000-2040, different each round.
double msOf(int i) { return 946684800000.0 + (i * 7919.0 * 3600000.0 + i * 13.0) * 0.01; }

}  // namespace

int main() {
    TJDateObject* date = createObject<TJDateObject>(nullptr, false, nullptr);
    date->IncRef();
    const int rounds = 200000;
    measure("toString (empty format, local)", rounds, [&](int i) {
        date->SetTime(msOf(i));
        return date->ToString().length();
    });
    measure("toUTCString (empty format)", rounds, [&](int i) {
        date->SetTime(msOf(i));
        return formatDateTime(date->format(), date->UtcDateTime()).length();
    });
    date->setFormat("yyyy-mm-dd hh:nn:ss.zzz dddd");
    measure("toString (custom format, local)", rounds, [&](int i) {
        date->SetTime(msOf(i));
        return date->ToString().length();
    });
    measure("local fields", rounds, [&](int i) {
        date->SetTime(msOf(i));
        return static_cast<size_t>(date->Fields(false).Hour);
    });
    measure("local setter (fields to UTC)", rounds, [&](int i) {
        date->SetTime(msOf(i));
        TJDateFields f = date->Fields(false);
        f.Hour = i % 24;
        return static_cast<size_t>(date->SetFields(f, false));
    });
    // A format of 100,000 characters: hours before a closing am/pm and runs
    // of letters, which cost linear time.
    std::string longFormat;
    while (longFormat.size() < 100000) longFormat += "hh:nn dddddddddd bbbbbbbb ";
    longFormat += "am/pm";
    measure("format of 100,000 characters", 20,
            [&](int i) { return formatDateTime(longFormat, 39000.0 + i).length(); });
    TJValueList args;
    args.AddString("Dec 25 2006 10:20:30");
    measure("parse (English date text)", rounds / 10,
            [&](int) { return static_cast<size_t>(ParseDateArguments(&args) > 0); });
    date->DecRef();
    return 0;
}
