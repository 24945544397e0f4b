// Speed of GUI objects through their script wrappers: reading and writing
// published properties by name, an object property's kept wrapper, casting
// new components, and scripts timed against their targets (a form of 200
// controls made and freed, forwarded property reads, list box items, a menu
// of 1,000 items built and searched by command, a status panel's text set
// 10,000 times), with the platform's own time for the windows of the form
// shown.
// Prints rates and times; run under Wine with
// scripts/wine-run.sh build/bench/wrappers.exe.
#include <windows.h>

#include <cstdio>

#include "bridge/caster.h"
#include "bridge/controls.h"
#include "engine/orovod.h"
#include "libraries/standard.h"
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

// Runs the script once in a fresh engine; its time in seconds.
double scriptSeconds(const char* text) {
    DIZI component;
    if (!component.Compile(text)) return -1;
    double start = seconds();
    component.RunNoArgs();
    return seconds() - start;
}

void timeScript(const char* what, double target, const char* text) {
    std::printf("%-40s %9.3f s (target under %g s)\n", what, scriptSeconds(text), target);
}

// The platform's own share of showing such a form: 200 bare child windows
// of the two classes made and destroyed with their parent.
void timeBareWindows() {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    double start = seconds();
    for (int i = 0; i < 100; ++i) {
        CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent, nullptr, nullptr, nullptr);
        CreateWindowExA(0, "EDIT", "e", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent, nullptr, nullptr, nullptr);
    }
    DestroyWindow(parent);
    std::printf("%-40s %9.3f s\n", "200 bare system windows, for comparison", seconds() - start);
}

}  // namespace

int main() {
    InstallStandardLibraries();
    timeScript("form of 200 buttons and edits, made and freed", 0.1,
               "var f = new VCLForm(); var kept = [];"
               "for (var i = 0; i < 100; i++) { kept.push(new VCLButton(f)); kept.push(new VCLEdit(f)); }"
               "kept = null; f = null;");
    timeScript("the same, shown (200 windows made)", 0.1,
               "var f = new VCLForm(); var kept = [];"
               "for (var i = 0; i < 100; i++) { kept.push(new VCLButton(f)); kept.push(new VCLEdit(f)); }"
               "f.show(); kept = null; f = null;");
    timeBareWindows();
    timeScript("100,000 reads of a forwarded property", 0.3,
               "var e = new VCLEdit(); var n = 0; for (var i = 0; i < 100000; i++) n += e.SelStart;");
    timeScript("10,000 Items.add on a list box", 0.3,
               "var f = new VCLForm(); var l = new VCLListBox(f); var items = l.Items; f.show();"
               "for (var i = 0; i < 10000; i++) items.add(\"item \" + i);");
    // The items go one by one into a submenu of a shown form's menu bar.
    timeScript("menu of 1,000 items, built and searched", 0.05,
               "var f = new VCLForm(); var mm = new VCLMainMenu(); f.Menu = mm; f.show();"
               "var file = new VCLMenuItem(); file.Caption = \"&File\"; mm.items.add(file);"
               "var kept = [], found = 0;"
               "for (var i = 0; i < 1000; i++) {"
               "  var item = new VCLMenuItem(); item.Caption = \"item \" + i; file.add(item); kept.push(item); }"
               "for (var i = 0; i < 1000; i++) if (mm.findItem(kept[i].Command, \"fkCommand\") === kept[i]) found++;"
               "if (found != 1000) throw \"not found\";");
    timeScript("status panel's text set 10,000 times", 0.2,
               "var f = new VCLForm(); var bar = new VCLStatusBar(f); bar.panels.add(); var panel = bar.panels.add();"
               "f.show(); for (var i = 0; i < 10000; i++) panel.Text = \"line \" + i;");
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
