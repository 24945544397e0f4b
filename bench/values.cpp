// Speed of the value and object model: copying values, reading members by
// name, creating and freeing objects. Prints rates; run under Wine with
// scripts/wine-run.sh build/bench/values.exe.
#include <windows.h>

#include <cstdio>

#include "engine/eval/engine.h"
#include "engine/lib/builtins.h"
#include "engine/core/factory.h"
#include "engine/core/function.h"
#include "engine/core/jhash.h"
#include "engine/core/object.h"
#include "engine/core/valuelist.h"

namespace {

double seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class F>
void measure(const char* what, int count, F&& step) {
    double start = seconds();
    for (int i = 0; i < count; ++i) step(i);
    double elapsed = seconds() - start;
    std::printf("%-40s %12.0f per second\n", what, count / elapsed);
}

}  // namespace

int main() {
    TJEngine engine(&RegisterBuiltins);
    TJValue text, number, copy;
    MakeString("a text value of some length", text);
    MakeInteger(42, number);
    measure("copy integer value", 20000000, [&](int) { copy = number; });
    measure("copy string value", 20000000, [&](int i) { copy = (i & 1) ? text : number; });

    TJObject* object = createObject<TJObject>(&engine, true, nullptr);
    object->IncRef();
    const char* names[] = {"left", "top", "width", "height", "caption", "color", "visible", "onClick"};
    for (const char* name : names) object->SetValue(name, number);
    AnsiString hit[8], miss[8];
    for (int i = 0; i < 8; ++i) {
        hit[i] = names[i];
        miss[i] = AnsiString(names[i]) + "X";
    }
    TJValue out;
    measure("member read (found)", 2000000, [&](int i) { object->GetValue(hit[i & 7], false, out); });
    measure("member read (missing, via prototype)", 1000000,
            [&](int i) { object->GetValueImpl(miss[i & 7], out, nullptr); });
    measure("member write (existing)", 2000000, [&](int i) { object->SetValue(hit[i & 7], number); });

    measure("create and free plain object", 200000, [&](int) {
        TJObject* o = createObject<TJObject>(&engine, true, nullptr);
        o->IncRef();
        o->DecRef();
    });

    {
        measure("nine new function values", 200000, [&](int) { for (int k = 0; k < 9; ++k) { IJFunctionPtr f = NewFunction(); f->SetName("toString"); } });
        const char* nine[] = {"hasKey", "hasOwnProperty", "removeKey", "toString", "getKeys", "getProperties", "getMethods", "valueOf", "getEvents"};
        AnsiString keys[9];
        for (int k = 0; k < 9; ++k) keys[k] = nine[k];
        measure("member table with nine values", 200000, [&](int) { TJHash h(23); for (int k = 0; k < 9; ++k) h.SetValue(keys[k], number); });
    }
    TJValueList list;
    measure("value list append", 2000000, [&](int) { list.Add(number); });
    measure("value list read", 2000000, [&](int i) { list.GetItem(i, out); });
    return 0;
}
