// Array storage: the memory an array of 1,000,000 integers takes (MB of 2^20
// bytes), pushed or filled after its length is set, and the time
// to read element 16,777,215 of an empty array (which grows it to the largest
// count) and to free that array again, each through a script run by the engine
// component. Prints figures only; run under Wine with
// scripts/wine-run.sh build/bench/arrays.exe.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "engine/core/value.h"
#include "engine/orovod.h"

namespace {

double seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The private memory the process uses (under Wine: the part resident in memory).
double privateMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
}

// Compiles the script, then runs it; the seconds of the run. The variables
// it leaves stay until the component is cleared.
double run(DIZI& component, const char* script) {
    if (!component.Compile(script)) {
        std::printf("cannot compile: %s\n", script);
        return 0.0;
    }
    double start = seconds();
    component.RunNoArgs();
    return seconds() - start;
}

}  // namespace

int main() {
    DIZI component;
    run(component, "var warm = [1, 2, 3];");
    component.Clear();

    std::printf("%zu bytes a value\n", sizeof(TJValue));
    struct {
        const char* name;
        const char* script;
    } const millions[] = {
        {"array of 1,000,000 integers, pushed", "var a = []; for (var i = 0; i < 1000000; i++) a.push(i);"},
        {"array of 1,000,000 integers, length set first",
         "var a = []; a.length = 1000000; for (var i = 0; i < 1000000; i++) a[i] = i;"},
    };
    for (const auto& million : millions) {
        double before = privateMegabytes();
        run(component, million.script);
        std::printf("%-48s %8.1f MB\n", million.name, privateMegabytes() - before);
        component.Clear();
    }

    double read = run(component, "var a = []; a[16777215];");
    double start = seconds();
    component.Clear();
    double freed = seconds() - start;
    std::printf("%-48s %8.3f s\n", "read element 16,777,215 of an empty array", read);
    std::printf("%-48s %8.3f s\n", "free that array of 16,777,216 elements", freed);
    return 0;
}
