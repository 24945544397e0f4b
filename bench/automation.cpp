// Automation and DLL calls through scripts run by the engine component:
// 100,000 calls of a bound MulDiv, 100,000 reads of a Scripting.Dictionary's
// Count, 100,000 Struct member writes and reads, and `for ... in` over a
// 10,000-item Dictionary. Prints seconds only; run under
// Wine with scripts/wine-run.sh build/bench/automation.exe.
#include <windows.h>

#include <cstdio>
#include <string>

#include "engine/orovod.h"
#include "libraries/standard.h"

namespace {

double seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The seconds of one run of the script.
double runTime(DIZI& component, const AnsiString& script) {
    if (!component.Compile(script)) return -1;
    double start = seconds();
    component.RunNoArgs();
    return seconds() - start;
}

// The time of one pass of the measured script: the set-up followed by
// `passes` passes, less the set-up alone, divided by the passes.
void measure(DIZI& component, const char* name, const char* setUp, const char* measured, int passes = 1) {
    double setUpOnly = runTime(component, setUp);
    AnsiString script = AnsiString(setUp) + "\nfor (var pass = 0; pass < " + AnsiString(std::to_string(passes)) +
                        "; pass++) {\n" + measured + "\n}";
    std::printf("%-48s %.3f s\n", name, (runTime(component, script) - setUpOnly) / passes);
}

}  // namespace

int main() {
    InstallStandardLibraries();
    DIZI component;
    measure(component, "100,000 calls of a bound MulDiv",
            "var dc = new DynaCall(); dc.register('kernel32.dll', 'MulDiv', 'i=lll', 'r=l');",
            "for (var i = 0; i < 100000; i++) dc.MulDiv(i, 3, 2);");
    measure(component, "100,000 reads of a Dictionary's Count",
            "var d = new ActiveXObject('Scripting.Dictionary'); d.Add('a', 1);",
            "for (var i = 0; i < 100000; i++) d.Count;");
    measure(component, "100,000 Struct member writes and reads", "var s = new Struct('x:l', 'y:d');",
            "for (var i = 0; i < 100000; i++) { s.x = i; s.y = s.x; }");
    measure(component, "for ... in over a 10,000-item Dictionary",
            "var d = new ActiveXObject('Scripting.Dictionary'); for (var i = 0; i < 10000; i++) d.Add('k' + i, i);",
            "var n = 0; for (var k in d) n++;", 20);
}
