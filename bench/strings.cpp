// String object speed through its registered methods: building texts
// (multiply, concat, index writes) and searching and replacing in a long
// code-page-932 text of mixed Japanese and ASCII lines (indexOf, lastIndexOf,
// charAt, replace, split, match). Prints calls/s and MB/s for each case.
#include <chrono>
#include <cstdio>

#include "engine/core/array.h"
#include "engine/core/function.h"
#include "engine/lib/stringobject.h"
#include "engine/core/valuelist.h"
#include "rtl/codepage.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// About `kilobytes` KB of lines such as "0017 東京都の天気は晴れ、表示ソフト 17 \ item17\r\n".
AnsiString makeText(size_t kilobytes) {
    const wchar_t* const sentences[] = {
        L"東京都の天気は晴れ、気温", L"大阪で表示ソフトの能力を確認", L"ウィジェットの設定を保存しました",
        L"ﾊﾝｶｸｶﾀｶﾅと全角カタカナ", L"予定表：会議室ソの予約",
    };
    AnsiString text;
    char head[64];
    for (unsigned i = 0; text.length() < kilobytes * 1024; ++i) {
        std::snprintf(head, sizeof head, "%04u ", i % 10000);
        text += head;
        text += wideToAnsi(sentences[i % 5]);
        std::snprintf(head, sizeof head, " %u \\ item%u\r\n", i % 1000, i);
        text += head;
    }
    return text;
}

// One String object (outside any engine) and calls of its methods by name.
class Caller {
public:
    explicit Caller(const AnsiString& text) : object_(createObject<TJStringObject>(nullptr, false, nullptr)) {
        object_->IncRef();
        object_->SetText(text);
    }
    ~Caller() { object_->DecRef(); }
    TJStringObject* object() const { return object_; }

    TJValue call(const char* name, std::initializer_list<TJValue> args) {
        TJValue f, result;
        object_->GetValue(name, false, f);
        TJValueList list;
        for (const TJValue& arg : args) list.Add(arg);
        CallNativeMethod(f.FuncValue.get(), &list, result);
        if (result.ValueType == vtObject) {  // an Array made outside an engine: free it here
            result.ObjValue->IncRef();
            result.ObjValue->DecRef();
            MakeNull(result);
        }
        return result;
    }

private:
    TJStringObject* object_;
};

TJValue text(const AnsiString& s) {
    TJValue v;
    MakeString(s, v);
    return v;
}
TJValue integer(int32_t i) {
    TJValue v;
    MakeInteger(i, v);
    return v;
}

void report(const char* what, long calls, size_t bytes, double seconds) {
    std::printf("%-44s %8ld calls %8.3f s %12.0f calls/s %9.1f MB/s\n", what, calls, seconds, calls / seconds,
                bytes / seconds / (1024.0 * 1024.0));
}

template <class Body>
void measure(const char* what, long calls, size_t bytesPerCall, Body body) {
    auto start = Clock::now();
    for (long i = 0; i < calls; ++i) body(i);
    report(what, calls, bytesPerCall * calls, secondsSince(start));
}

void benchBuilding() {
    Caller piece(wideToAnsi(L"表示ソフトabc"));
    measure("multiply 10000 x 13 bytes", 200, 130000, [&](long) { piece.call("multiply", {integer(10000)}); });

    Caller growing("");
    measure("concat onto a growing text (to 260 KB)", 20000, 13, [&](long) {
        growing.object()->SetText(growing.call("concat", {text(piece.object()->Text())}).StrValue);
    });

    AnsiString japanese = makeText(100);
    Caller written(japanese);
    int32_t length = written.object()->lengthProperty();
    measure("index write s[i] = \"x\" in 100 KB", 2000, japanese.length(), [&](long i) {
        written.object()->SetValue(AnsiString(std::to_string(i * 37 % length)), text("x"));
    });
}

void benchSearching() {
    AnsiString japanese = makeText(1024);
    Caller big(japanese);
    AnsiString needle = wideToAnsi(L"会議室ソの予約") + " 999";
    const size_t mb = japanese.length();
    measure("indexOf (absent) in 1 MB", 20, mb, [&](long) { big.call("indexOf", {text("absent")}); });
    measure("indexOf (hit at line 1000) in 1 MB", 20, mb, [&](long) { big.call("indexOf", {text(needle)}); });
    measure("indexOf \"\\\" from a position in 1 MB", 20, mb,
            [&](long) { big.call("indexOf", {text("\\"), integer(300000)}); });
    measure("lastIndexOf (first line) in 1 MB", 20, mb, [&](long) { big.call("lastIndexOf", {text("0000 ")}); });
    measure("length of 1 MB", 20, mb, [&](long) { big.object()->lengthProperty(); });
    measure("search (regexp) in 1 MB", 20, mb, [&](long) { big.call("search", {text("absent")}); });

    Caller line(makeText(1));
    measure("charAt over a 1 KB text", 20000, 0, [&](long i) { line.call("charAt", {integer(i % 400)}); });

    measure("replace \"表\" globally in 1 MB", 5, mb,
            [&](long) { big.call("replace", {text(wideToAnsi(L"表")), text("g"), text("[$&]")}); });
    measure("replace \"\\\\d+\" globally in 1 MB", 5, mb,
            [&](long) { big.call("replace", {text("\\d+"), text("g"), text("#")}); });
    measure("split at CR LF in 1 MB", 5, mb, [&](long) { big.call("split", {text("\r\n")}); });
    measure("match \"item\\\\d+\" globally in 1 MB", 5, mb,
            [&](long) { big.call("match", {text("item\\d+"), text("g")}); });
}

}  // namespace

int main() {
    benchBuilding();
    benchSearching();
    return 0;
}
