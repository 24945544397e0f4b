// Benchmark of the lexer and the hash tables: the lexer's throughput on a
// generated script of a few MB (identifiers, numbers, strings, operators,
// comments and some Japanese text), and the insert and lookup rates of an
// integer hash table, case-sensitive and ignoring case.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/support/hashtable.h"
#include "engine/syntax/lexer.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// About `bytes` of script text in code page 932.
std::string makeScript(size_t bytes) {
    std::string text;
    for (int i = 0; text.size() < bytes; ++i) {
        std::string n = std::to_string(i);
        text += "// comment line " + n + " \x83\x52\x83\x81\x83\x93\x83\x67\n";
        text += "var item" + n + " = { name: \"\x95\x5C\x8E\xA6 " + n + "\", size: " + n + ", ratio: 0.5e-3 };\n";
        text += "function f" + n + "(a, b) { if (a >= b && a != 0x1F) return a / b; else return /ab+c/gi; }\n";
        text += "/* block\n   comment */ total += item" + n + ".size * 3 - (total >>> 2) % 7; s = 'x\\y';\n";
    }
    return text;
}

void benchLexer() {
    std::string script = makeScript(4u << 20);
    WideString wide = ansiToWide(script);
    TJLex lex;
    long long tokens = 0;
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        lex.SetSource(wide);
        tokens = 0;
        auto start = Clock::now();
        while (lex.NextToken()) ++tokens;
        best = std::min(best, secondsSince(start));
    }
    double mb = static_cast<double>(script.size()) / (1024.0 * 1024.0);
    std::printf("lexer: %.2f MB script, %lld tokens, %d lines\n", mb, tokens, lex.LineNo());
    std::printf("lexer: %.1f MB/s, %.2f million tokens/s\n", mb / best, tokens / best / 1e6);
}

void benchHash(bool ignoreCase) {
    const int count = 200000;
    std::vector<AnsiString> keys;
    std::vector<AnsiString> upper;
    for (int i = 0; i < count; ++i) {
        keys.push_back(AnsiString("member_" + std::to_string(i * 7919)));
        upper.push_back(AnsiString("MEMBER_" + std::to_string(i * 7919)));
    }
    TIntegerHashTable table(10007, ignoreCase);
    auto start = Clock::now();
    for (int i = 0; i < count; ++i) table.SetValue(keys[static_cast<size_t>(i)], i);
    double insertTime = secondsSince(start);

    const auto& probe = ignoreCase ? upper : keys;
    long long sum = 0;
    start = Clock::now();
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < count; ++i) sum += table.GetValue(probe[static_cast<size_t>(i)]);
    }
    double lookupTime = secondsSince(start);

    start = Clock::now();
    int misses = 0;
    for (int i = 0; i < count; ++i) misses += table.HasKey(AnsiString("absent_" + std::to_string(i))) ? 0 : 1;
    double missTime = secondsSince(start);

    const char* kind = ignoreCase ? "ignore-case" : "case-sensitive";
    std::printf("hash (%s, %d keys, 10007 buckets): %.0f inserts/s, %.0f lookups/s, %.0f misses/s (check %lld %d)\n",
                kind, count, count / insertTime, 5.0 * count / lookupTime, count / missTime, sum, misses);
}

}  // namespace

int main() {
    benchLexer();
    benchHash(false);
    benchHash(true);
    return 0;
}
