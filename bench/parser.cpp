// Parser throughput: parses a large generated script several times and
// prints MB/s, the node count, and the speed of saving and loading its
// compiled-tree file. Run: scripts/wine-run.sh build/bench/parser.exe
#include <windows.h>

#include <cstdio>
#include <string>

#include "engine/syntax/parser.h"
#include "engine/support/sourcefiles.h"
#include "rtl/codepage.h"

namespace {

// A script that mixes the usual statement and expression forms.
std::string generateScript(size_t targetBytes) {
    std::string script = "@set @VERSION7 = 0\nvar total = 0, names = ['a', 'b', 'c'];\n";
    for (int i = 0; script.size() < targetBytes; ++i) {
        std::string n = std::to_string(i);
        script += "// block " + n + "\n"
                  "function work" + n + "(a, b, c) {\n"
                  "  var s = 0, t = \"text " + n + "\\n\";\n"
                  "  for (var i = 0; i < a.length; i++) {\n"
                  "    if (a[i] > b * 2 + 1 && c != null) s += a[i] * (b - 3) / 4;\n"
                  "    else if (typeof a[i] == 'string') s = s + a[i].length;\n"
                  "    else continue;\n"
                  "  }\n"
                  "  switch (b % 3) { case 0: s++; break; case 1: s--; break; default: s = -s; }\n"
                  "  try { s = obj.method(s, [1, 2, 3], {x: 1, y: 'two'}); } catch (e) { s = 0; }\n"
                  "  return s > 100 ? s : /ab+c/gi.test(t) ? 1 : 0;\n"
                  "}\n"
                  "total += work" + n + "([1, 2, 3], " + n + ", names);\n"
                  "foreach (k in names) { total = total + (k == 'a' ? 1 : 0x10); }\n";
    }
    return script;
}

double seconds(LARGE_INTEGER start, LARGE_INTEGER end, LARGE_INTEGER frequency) {
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main() {
    const int rounds = 5;
    std::string script = generateScript(8 << 20);
    double megabytes = static_cast<double>(script.size()) / (1024.0 * 1024.0);
    TJParser parser;
    parser.Source = ansiToWide(script);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i) {
        if (!parser.Parse()) {
            std::printf("parse failed\n");
            return 1;
        }
    }
    QueryPerformanceCounter(&end);
    double parse = seconds(start, end, frequency) / rounds;
    std::printf("script: %.2f MB, %zu nodes\n", megabytes, parser.NodeCount());
    std::printf("parse: %.3f s, %.1f MB/s\n", parse, megabytes / parse);

    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    AnsiString file = AnsiString(temp) + "nimbora-parser-bench.dmc";
    QueryPerformanceCounter(&start);
    bool saved = parser.SaveTreeToFile(file);
    QueryPerformanceCounter(&end);
    double save = seconds(start, end, frequency);
    AnsiString bytes;
    readFileBytes(file, bytes);
    TJParser loader;
    QueryPerformanceCounter(&start);
    bool loaded = loader.LoadTreeFromFile(file);
    QueryPerformanceCounter(&end);
    double load = seconds(start, end, frequency);
    DeleteFileA(file.c_str());
    if (!saved || !loaded) {
        std::printf("tree file failed\n");
        return 1;
    }
    double treeMegabytes = static_cast<double>(bytes.length()) / (1024.0 * 1024.0);
    std::printf("tree file: %.2f MB, save %.3f s (%.1f MB/s), load %.3f s (%.1f MB/s of source)\n", treeMegabytes,
                save, treeMegabytes / save, load, megabytes / load);
    return 0;
}
