// Speed of GUI objects through their script wrappers: reading and writing
// published properties by name, an object property's kept wrapper, and
// casting new components. Prints rates; run under Wine with
// scripts/wine-run.sh build/bench/wrappers.exe.
#include <windows.h>

#include <cstdio>

#include "bridge/caster.h"
#include "bridge/controls.h"
#include "engine/orovod.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

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
    DIZI component;
    TJRuntime* runtime = &component.Engine();
    TForm* form = new TForm(nullptr);
    TJVCLPersistent* wrapper = Cast(form, runtime);
    wrapper->IncRef();
    TJValue value, number;
    MakeInteger(12, number);
    measure("read Left", 1000000, [&](int) { wrapper->GetValue("Left", false, value); });
    measure("read caption (other case)", 1000000, [&](int) { wrapper->GetValue("caption", false, value); });
    measure("read Anchors (set text)", 1000000, [&](int) { wrapper->GetValue("Anchors", false, value); });
    measure("read Font (kept wrapper)", 1000000, [&](int) { wrapper->GetValue("Font", false, value); });
    measure("write Tag", 1000000, [&](int) { wrapper->SetValue("Tag", number); });
    measure("cast a new button and free it", 1000, [&](int) {
        TButton* button = new TButton(form);
        Cast(button, runtime);
        button->Free();
    });
    wrapper->DecRef();
    form->Free();
    return 0;
}
