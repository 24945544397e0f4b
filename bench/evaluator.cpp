// Evaluator speed: compiles and runs each benchmark script (bench/scripts, or
// the files given) through the engine component and prints the compile time,
// the least elapsed time of three runs, the process's peak private memory
// once the engine is ready and after the runs, and what the script reported. A
// script reports through report(x), which this program defines before its text.
// Run: scripts/wine-run.sh build/bench/evaluator.exe [SCRIPT...], or
// bench/evaluator.sh, which runs each script in its own process (so that the
// peak is the script's) beside Duktape and MuJS.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/orovod.h"
#include "engine/support/sourcefiles.h"

namespace {

const char prelude[] = "function report(x) { WScript.StdOut.WriteLine(x); }\n";

double milliseconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The most private memory the process has held so far, in KiB.
SIZE_T peakPrivateKilobytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage / 1024;
}

struct Output {
    std::string text;
    void write(TObject*, const AnsiString& s) { text += s.str(); }
};

void benchmark(const AnsiString& path) {
    AnsiString source;
    if (!readFileBytes(path, source)) {
        std::printf("%-12s cannot be read\n", extractFileName(path).c_str());
        return;
    }
    DIZI component;
    Output out, err;
    component.SetOnStdout(TStringEvent::bind<&Output::write>(&out));
    component.SetOnStderr(TStringEvent::bind<&Output::write>(&err));
    SIZE_T startPeak = peakPrivateKilobytes();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    bool compiled = component.Compile(AnsiString(prelude) + source);
    QueryPerformanceCounter(&end);
    double compileTime = milliseconds(start, end);
    double best = 1e30;
    // Elapsed, not processor, time: Wine counts a process's times in 10 ms
    // steps, too coarse for the short scripts; a run on one thread takes at
    // least its processor time.
    for (int run = 0; compiled && run < 3; ++run) {
        out.text.clear();
        QueryPerformanceCounter(&start);
        component.RunNoArgs();
        QueryPerformanceCounter(&end);
        best = std::min(best, milliseconds(start, end));
    }
    std::string reported = out.text + err.text;
    while (!reported.empty() && (reported.back() == '\n' || reported.back() == '\r')) reported.pop_back();
    for (char& c : reported)
        if (c == '\r' || c == '\n') c = ' ';
    std::printf("%-12s compile %8.2f ms  run %7.0f ms  start %7lu KiB  peak %7lu KiB  %s\n",
                extractFileName(path).c_str(), compileTime, compiled ? best : 0.0,
                static_cast<unsigned long>(startPeak), static_cast<unsigned long>(peakPrivateKilobytes()),
                reported.c_str());
}

// The .dms files of the folder beside this program's sources.
std::vector<AnsiString> defaultScripts() {
    std::vector<AnsiString> scripts;
    AnsiString folder = AnsiString(NIMBORA_BENCH_SCRIPTS) + "\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.dms").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return scripts;
    do {
        scripts.push_back(folder + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(scripts.begin(), scripts.end());
    return scripts;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<AnsiString> scripts;
    for (int i = 1; i < argc; ++i) scripts.push_back(argv[i]);
    if (scripts.empty()) scripts = defaultScripts();
    for (const AnsiString& script : scripts) benchmark(script);
    return 0;
}
