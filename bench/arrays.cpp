// Array storage: the memory an array of 1,000,000 integers takes, and the time
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

// The process's committed private memory.
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

    double before = privateMegabytes();
    run(component, "var a = []; for (var i = 0; i < 1000000; i++) a.push(i);");
    double used = privateMegabytes() - before;
    std::printf("%-48s %8.1f MB (%zu bytes a value)\n", "array of 1,000,000 integers", used, sizeof(TJValue));
    component.Clear();

    double read = run(component, "var a = []; a[16777215];");
    double start = seconds();
    component.Clear();
    double freed = seconds() - start;
    std::printf("%-48s %8.3f s\n", "read element 16,777,215 of an empty array", read);
    std::printf("%-48s %8.3f s\n", "free that array of 16,777,216 elements", freed);
    return 0;
}
