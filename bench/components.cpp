// Component library speed: published properties read and written by name (the
// way the script bridge reaches them), 1,000 components made and freed under
// one owner, plain and as buttons in a real window, and items added to a list
// box's window one by one. Figures only.
#include <chrono>
#include <cstdio>

#include "ui/forms.h"
#include "ui/lists.h"
#include "ui/panel.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void propertyAccess(TPanel* panel) {
    const char* const names[] = {"Left", "caption", "Visible", "OnClick", "BevelOuter", "Tag"};
    const int rounds = 300000;
    TPropValue value;
    int64_t sink = 0;
    Clock::time_point start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        ReadProp(panel, GetPropInfo(panel->ClassType(), names[i % 6]), value);
        sink += value.Ordinal;
    }
    double reads = rounds / secondsSince(start);
    const TPropInfo* width = GetPropInfo(panel->ClassType(), "width");
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        value.Ordinal = 100 + i % 50;
        WriteProp(panel, GetPropInfo(panel->ClassType(), "tag"), value);
    }
    double writes = rounds / secondsSince(start);
    start = Clock::now();
    const int resizes = 2000;
    for (int i = 0; i < resizes; ++i) {
        value.Ordinal = 100 + i % 50;
        WriteProp(panel, width, value);
    }
    double windowWrites = resizes / secondsSince(start);
    std::printf("property read by name:         %10.0f /s (%lld)\n", reads, static_cast<long long>(sink % 2));
    std::printf("property write by name (Tag):  %10.0f /s\n", writes);
    std::printf("Width written to a window:     %10.0f /s\n", windowWrites);
}

template <class Owner, class Make>
void makeAndFree(const char* what, Owner* owner, Make make) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < 1000; ++i) make(owner);
    double made = secondsSince(start);
    start = Clock::now();
    owner->Free();
    double freed = secondsSince(start);
    std::printf("1,000 %-24s made %7.2f ms, freed %7.2f ms\n", what, made * 1000, freed * 1000);
}

// Each Add goes to the window at once, as a script's list.Items.add does.
void listItems() {
    auto* form = new TForm(nullptr);
    auto* list = new TListBox(form);
    list->SetParent(form);
    form->HandleNeeded();
    Clock::time_point start = Clock::now();
    for (int i = 0; i < 10000; ++i) list->Items()->Add("item");
    std::printf("10,000 list box Items.Add:      %7.2f ms\n", secondsSince(start) * 1000);
    form->Free();
}

}  // namespace

int main() {
    auto* form = new TForm(nullptr);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    form->HandleNeeded();
    propertyAccess(panel);
    form->Free();
    makeAndFree("components", new TComponent(nullptr), [](TComponent* owner) { new TComponent(owner); });
    auto* owner = new TForm(nullptr);
    owner->HandleNeeded();
    makeAndFree("buttons with windows", owner, [](TForm* owner) { (new TButton(owner))->SetParent(owner); });
    listItems();
    return 0;
}
