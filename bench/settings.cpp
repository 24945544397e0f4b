// System library speed through the objects' registered methods: StringBuffer
// appends, sorting a StringList of mixed Japanese and ASCII lines (the locale
// comparison), reading every key of a large INI file, and RegIni write and
// read pairs in the registry. Prints the time of each against its target.
#include <chrono>
#include <cstdio>
#include <initializer_list>

#include "engine/core/function.h"
#include "engine/core/valuelist.h"
#include "rtl/codepage.h"
#include "rtl/stringlist.h"
#include "stdlib/ini.h"
#include "stdlib/stringbuffer.h"
#include "stdlib/strings.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

TJValue text(const AnsiString& s) {
    TJValue v;
    MakeString(s, v);
    return v;
}

// An object made outside any engine, held while the case runs.
template <class T>
class Held {
public:
    explicit Held(std::initializer_list<TJValue> args = {}) {
        TJValueList list;
        for (const TJValue& arg : args) list.Add(arg);
        object_ = createObject<T>(nullptr, false, &list);
        object_->IncRef();
    }
    ~Held() { object_->DecRef(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* operator->() const { return object_; }

    TJValue call(const char* name, std::initializer_list<TJValue> args = {}) {
        TJValue f, result;
        object_->GetValue(name, false, f);
        TJValueList list;
        for (const TJValue& arg : args) list.Add(arg);
        CallNativeMethod(f.FuncValue.get(), &list, result);
        return result;
    }

private:
    T* object_;
};

void report(const char* what, double seconds, double target) {
    std::printf("%-52s %7.3f s  (target under %.1f s)\n", what, seconds, target);
}

void appends() {
    Held<TJStringBufferObject> buffer;
    TJValue piece = text("0123456789");
    auto start = Clock::now();
    for (int i = 0; i < 100000; ++i) buffer.call("append", {piece});
    report("100,000 StringBuffer appends of 10 bytes", secondsSince(start), 0.5);
}

void sorting() {
    const wchar_t* const words[] = {L"東京都の天気", L"表示ソフト", L"ウィジェット", L"ﾊﾝｶｸｶﾀｶﾅ", L"予定表"};
    AnsiString lines;
    char head[32];
    for (unsigned i = 0; i < 100000; ++i) {
        unsigned key = (i * 2654435761u) % 100000;
        std::snprintf(head, sizeof head, i % 2 ? "item%u " : "%u ", key);
        lines += head;
        lines += wideToAnsi(words[key % 5]);
        lines += "\r\n";
    }
    Held<TJStringsObject> list({text(lines)});
    auto start = Clock::now();
    list.call("sort");
    report("sorting 100,000 mixed Japanese and ASCII lines", secondsSince(start), 3.0);
}

void iniReads() {
    const char* path = "bench-settings.ini";
    TStringList file;
    for (int section = 0; section < 50; ++section) {
        file.Add("[section" + AnsiString(std::to_string(section)) + "]");
        for (int key = 0; key < 100; ++key)
            file.Add("key" + AnsiString(std::to_string(key)) + "=value of " + AnsiString(std::to_string(key)));
    }
    file.SaveToFile(path);
    auto start = Clock::now();
    {
        Held<TJIniObject> ini({text(path)});
        for (int section = 0; section < 50; ++section)
            for (int key = 0; key < 100; ++key)
                ini.call("read", {text("SECTION" + AnsiString(std::to_string(section))),
                                  text("KEY" + AnsiString(std::to_string(key))), text("")});
    }
    report("Ini read of every key of a 5,000-key file", secondsSince(start), 0.2);
    DeleteFileA(path);
}

void registry() {
    auto start = Clock::now();
    {
        Held<TJRegIniObject> reg({text("Software\\NimboraBench\\RegIni")});
        for (int i = 0; i < 1000; ++i) {
            TJValue key = text("key" + AnsiString(std::to_string(i % 50)));
            reg.call("write", {text("section"), key, text("some value")});
            reg.call("read", {text("section"), key, text("")});
        }
    }
    report("1,000 RegIni write and read pairs", secondsSince(start), 0.5);
    Held<TJRegIniObject> software({text("Software")});
    software.call("eraseSection", {text("NimboraBench")});
}

}  // namespace

int main() {
    appends();
    sorting();
    iniReads();
    registry();
    return 0;
}
