// Form stream speed: a form of 500 components (buttons, edits, labels and
// list boxes with items, in panels) saved and loaded as text and as binary,
// the way a script's saveToText and loadFromText go (beside the same controls
// made by code, which is most of a load's time), into a form that has no
// window yet (a script loads a form before showing it); then the time its
// 500 windows take to be made, which Wine spends on windows whatever made
// the controls. Target: under 50 ms each for saving and loading. Figures only.
#include <chrono>
#include <cstdio>
#include <string>

#include "bridge/caster.h"
#include "rtl/filer.h"
#include "rtl/streams.h"
#include "ui/edits.h"
#include "ui/forms.h"
#include "ui/lists.h"
#include "ui/panel.h"
#include "ui/stdctrls.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count() * 1000; }

// 100 panels of four controls each: 500 components.
TForm* makeForm() {
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 800, 600);
    for (int i = 0; i < 100; ++i) {
        std::string n = std::to_string(i);
        auto* panel = new TPanel(form);
        panel->SetName(AnsiString("Panel" + n));
        panel->SetParent(form);
        panel->SetBounds(i % 10 * 80, i / 10 * 60, 80, 60);
        auto* button = new TButton(form);
        button->SetName(AnsiString("Button" + n));
        button->SetParent(panel);
        button->SetCaption(AnsiString("Button " + n));
        auto* edit = new TEdit(form);
        edit->SetName(AnsiString("Edit" + n));
        edit->SetParent(panel);
        edit->SetText(AnsiString("text " + n));
        auto* label = new TLabel(form);
        label->SetName(AnsiString("Label" + n));
        label->SetParent(panel);
        label->SetCaption(AnsiString("label " + n));
        auto* list = new TListBox(form);
        list->SetName(AnsiString("List" + n));
        list->SetParent(panel);
        for (int k = 0; k < 5; ++k) list->Items()->Add(AnsiString("item " + std::to_string(k)));
    }
    return form;
}

void measure(bool binary) {
    TForm* form = makeForm();
    form->HandleNeeded();
    TStringStream stream;
    Clock::time_point start = Clock::now();
    if (binary) WriteComponent(stream, form);
    else writeTextForm(stream, WriteComponentTree(form));
    double saved = msSince(start);
    size_t bytes = stream.Bytes().size();
    form->Free();
    auto* copy = new TForm(nullptr);
    stream.setPosition(0);
    start = Clock::now();
    TFormObject tree = binary ? readBinaryForm(stream) : readTextForm(stream);
    double parsed = msSince(start);
    ReadComponentTree(tree, copy);
    double loaded = msSince(start);
    start = Clock::now();
    copy->HandleNeeded();
    double windows = msSince(start);
    std::printf("500 components as %-6s saved %6.2f ms, loaded %6.2f ms (parsed in %5.2f ms; %zu bytes, %d read "
                "back); their windows made after: %6.1f ms\n",
                binary ? "binary" : "text", saved, loaded, parsed, bytes, copy->ComponentCount(), windows);
    copy->Free();
}

}  // namespace

// The same controls made and placed by code, without a stream: what loading
// costs beyond the stream itself.
void byCode() {
    Clock::time_point start = Clock::now();
    TForm* made = makeForm();
    double ms = msSince(start);
    std::printf("500 components made by code:                  %6.2f ms\n", ms);
    made->Free();
}

int main() {
    RegisterVCLClasses();
    byCode();
    measure(false);
    measure(true);
    return 0;
}
