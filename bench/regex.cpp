// Regular-expression speed over a long code-page-932 text of mixed Japanese
// and ASCII lines: global Exec, Replace and Split with TJRegExp, and the cost
// of seeing the text as UTF-8. Prints matches/s and MB/s for each pattern.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "engine/support/regexp.h"
#include "engine/support/utf8mirror.h"
#include "rtl/codepage.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// About `megabytes` MB of lines such as
// "2024-03-17 東京都の天気は晴れ、気温 21 度。 mail: user17@example.jp\r\n".
AnsiString makeText(size_t megabytes) {
    const wchar_t* const sentences[] = {
        L"東京都の天気は晴れ、気温", L"大阪で表示ソフトの能力を確認、件数", L"ウィジェットの設定を保存しました。番号",
        L"ﾊﾝｶｸｶﾀｶﾅと全角カタカナ、値", L"予定表：会議室ソの予約", L"プログラムの実行時間は",
    };
    AnsiString text;
    char head[64];
    for (unsigned i = 0; text.length() < megabytes * 1024 * 1024; ++i) {
        std::snprintf(head, sizeof head, "%04u-%02u-%02u ", 2000 + i % 25, 1 + i % 12, 1 + i % 28);
        text += head;
        text += wideToAnsi(sentences[i % 6]);
        std::snprintf(head, sizeof head, " %u \\ item%u mail: user%u@example.jp\r\n", i % 1000, i, i % 97);
        text += head;
    }
    return text;
}

void report(const char* what, size_t matches, size_t bytes, double seconds) {
    std::printf("%-34s %9zu matches %8.3f s %12.0f matches/s %8.1f MB/s\n", what, matches, seconds,
                matches / seconds, bytes / seconds / (1024.0 * 1024.0));
}

void benchExec(const AnsiString& text, const AnsiString& pattern, const char* what, bool multiLine = false) {
    TJRegExp re(pattern);
    re.SetGlobal(true);
    re.SetMultiLine(multiLine);
    TJRegExpTexts list;
    re.Exec(text, &list);  // warms the mirror of the text
    auto start = Clock::now();
    const int rounds = 3;
    size_t matches = 0;
    for (int round = 0; round < rounds; ++round) {
        re.Exec(text, &list);
        matches += list.size();
    }
    report(what, matches, text.length() * rounds, secondsSince(start));
}

}  // namespace

int main() {
    AnsiString text = makeText(4);
    std::printf("text: %.2f MB of code page %u, mixed Japanese and ASCII\n\n", text.length() / (1024.0 * 1024.0),
                GetACP());

    auto start = Clock::now();
    Utf8Mirror mirror = mirrorAsUtf8(text);
    double seconds = secondsSince(start);
    std::printf("%-34s %8.3f s %8.1f MB/s (UTF-8 %.2f MB)\n", "UTF-8 mirror of the text", seconds,
                text.length() / seconds / (1024.0 * 1024.0), mirror.utf8.size() / (1024.0 * 1024.0));

    benchExec(text, "\\d+", "Exec global \\d+");
    benchExec(text, "[\\w.]+@[\\w.]+\\.jp", "Exec global e-mail");
    benchExec(text, "^\\d{4}-\\d{2}-\\d{2}", "Exec global ^date (multi-line)", true);
    benchExec(text, "\\\\", "Exec global back-slash");
    benchExec(text, "item\\d+7 ", "Exec global item..7");
    benchExec(text, wideToAnsi(L"(表|能|ソ)"), "Exec global kanji alternatives");
    benchExec(text, wideToAnsi(L"[ァ-ヶ]+"), "Exec global katakana runs");
    {
        TJRegExp re("(\\d{4})-(\\d{2})-(\\d{2})");
        re.SetGlobal(true);
        TJRegExpTexts list;
        TJRegExp counter("\\d{4}-\\d{2}-\\d{2}");  // another wrapper: its mirror is its own
        counter.SetGlobal(true);
        counter.Exec(text, &list);
        size_t count = list.size();
        start = Clock::now();
        AnsiString out = re.Replace(text, "$3/$2/$1");
        report("Replace global date (cold text)", count, text.length(), secondsSince(start));
    }
    {
        TJRegExp re("\\r\\n");
        TJRegExpTexts pieces;
        start = Clock::now();
        re.Split(text, pieces);
        report("Split at CR LF (cold text)", pieces.size() - 1, text.length(), secondsSince(start));
    }
    {
        TJRegExp re(wideToAnsi(L"天気"));
        start = Clock::now();
        const int rounds = 2000;
        size_t hits = 0;
        AnsiString line = wideToAnsi(L"2024-03-17 東京都の天気は晴れ、気温 21 度。 mail: user17@example.jp\r\n");
        for (int i = 0; i < rounds; ++i) {
            AnsiString fresh = line + "";  // a new text each time: no mirror reuse
            hits += re.Test(fresh);
        }
        report("Test on fresh short lines", hits, line.length() * rounds, secondsSince(start));
    }
    return 0;
}
