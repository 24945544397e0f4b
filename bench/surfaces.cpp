// Cost of single operations on the built-in surfaces, as scripts see them: a
// member read through a boxed text ("abc".length), a method call on a text
// (s.indexOf("b")) and new Object(). Each figure is the time of a loop doing
// the operation less the time of the same loop doing nothing, per pass, best
// of three runs. Run: scripts/wine-run.sh build/bench/surfaces.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "engine/orovod.h"

namespace {

constexpr int passes = 20000;

struct Operation {
    const char* expression;
    double targetMicroseconds;  // 0: none
};

const Operation operations[] = {
    {"\"abc\".length", 1.0},
    {"s.indexOf(\"b\")", 0.0},
    {"new Object()", 2.0},
};

double seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The best run time in seconds of a loop whose body assigns the expression.
double loopSeconds(const char* expression) {
    DIZI component;
    char text[256];
    std::snprintf(text, sizeof text, "var s = \"abc\"; var x;\nfor (var i = 0; i < %d; i++) { x = %s; }", passes,
                  expression);
    if (!component.Compile(text)) return 0.0;
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        double start = seconds();
        component.RunNoArgs();
        best = std::min(best, seconds() - start);
    }
    return best;
}

}  // namespace

int main() {
    double empty = loopSeconds("0");
    for (const Operation& operation : operations) {
        double perPass = (loopSeconds(operation.expression) - empty) / passes * 1e6;
        std::printf("%-20s %8.2f us", operation.expression, perPass);
        if (operation.targetMicroseconds > 0) std::printf("   (target under %.0f us)", operation.targetMicroseconds);
        std::printf("\n");
    }
    return 0;
}
