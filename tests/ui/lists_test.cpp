// The list, combo and check list boxes in real windows: Items written
// through to the window and kept across window re-creations (the control's
// own and its parent's), the check states travelling with their items, the
// notifications told once, and the combo box's selection in bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/forms.h"
#include "ui/lists.h"
#include "uitest.h"

namespace {

const char kJapanese[] = "\x93\xfa\x96\x7b\x8c\xea";  // three double-byte characters

struct ItemMessages {
    UINT count, text, add;
};

// The items as the window holds them, joined by "|".
std::string windowItems(HWND window, const ItemMessages& messages) {
    std::string items;
    for (int i = 0; i < SendMessageA(window, messages.count, 0, 0); ++i) {
        char text[256] = "";
        SendMessageA(window, messages.text, i, reinterpret_cast<LPARAM>(text));
        items += (i ? "|" : "") + std::string(text);
    }
    return items;
}

template <class List>
void checkLiveItems(const ItemMessages& messages, bool keepsObjects) {
    SCOPED_TRACE(List::classInfo.ClassName);
    int object = 7;
    auto* form = new TForm(nullptr);
    auto* list = new List(form);
    list->SetParent(form);
    TStrings* items = list->Items();
    int changes = 0;
    Handler<TStringsEvent, TStrings*> onChange{[&](TStrings*) { ++changes; }};
    items->OnChange = onChange.event();

    items->Add("one");
    items->Add(kJapanese);
    items->AddObject("three", &object);
    list->SetItemIndex(1);
    items->Insert(0, "zero");  // the current item moves with its line
    ASSERT_FALSE(list->HandleAllocated());
    EXPECT_EQ(list->ItemIndex(), 2);
    HWND window = list->Handle();
    const std::string all = std::string("zero|one|") + kJapanese + "|three";
    EXPECT_EQ(windowItems(window, messages), all);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(items->Objects(3), keepsObjects ? &object : nullptr);

    items->Delete(1);
    EXPECT_EQ(list->ItemIndex(), 1);
    items->Exchange(0, 2);
    EXPECT_EQ(windowItems(window, messages), std::string("three|") + kJapanese + "|zero");
    EXPECT_EQ(items->Objects(0), keepsObjects ? &object : nullptr);
    SendMessageA(window, messages.add, 0, reinterpret_cast<LPARAM>("four"));  // not through Items
    EXPECT_EQ(items->Count(), 4);
    EXPECT_EQ(items->Get(3), AnsiString("four"));
    EXPECT_EQ(changes, 6);

    const std::string kept = std::string("three|") + kJapanese + "|zero|four";
    for (TWinControl* remade : {static_cast<TWinControl*>(form), static_cast<TWinControl*>(list)}) {
        remade->RecreateWnd();
        EXPECT_NE(list->Handle(), window);
        window = list->Handle();
        EXPECT_EQ(windowItems(window, messages), kept);
        EXPECT_EQ(list->ItemIndex(), 1);
        EXPECT_EQ(items->Objects(0), keepsObjects ? &object : nullptr);
    }
    items->Clear();
    EXPECT_EQ(windowItems(window, messages), "");
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(changes, 7);
    form->Free();
}

std::string statesOf(TCheckListBox* list) {
    std::string states;
    for (int i = 0; i < list->Items()->Count(); ++i)
        states += std::to_string(list->State(i)) + (list->ItemEnabled(i) ? "" : "x") + " ";
    return states;
}

}  // namespace

TEST(Lists, ItemsWriteThroughAndOutliveTheWindow) {
    checkLiveItems<TListBox>({LB_GETCOUNT, LB_GETTEXT, LB_ADDSTRING}, true);
    checkLiveItems<TComboBox>({CB_GETCOUNT, CB_GETLBTEXT, CB_ADDSTRING}, true);
    checkLiveItems<TCheckListBox>({LB_GETCOUNT, LB_GETTEXT, LB_ADDSTRING}, false);
}

// A state is its item's: it moves with it and outlives the window.
TEST(Lists, CheckStatesTravelWithTheirItems) {
    auto* form = new TForm(nullptr);
    auto* list = new TCheckListBox(form);
    list->SetParent(form);
    list->Items()->SetCommaText("a,b,c");
    list->SetState(0, cbGrayed);
    list->SetChecked(2, true);
    list->SetItemEnabled(1, false);
    list->Items()->Move(0, 2);
    list->Items()->Insert(0, "new");
    EXPECT_EQ(statesOf(list), "0 0x 1 2 ");
    list->HandleNeeded();
    form->RecreateWnd();
    EXPECT_EQ(statesOf(list), "0 0x 1 2 ");

    // The space key cycles the current item, through grayed with AllowGrayed;
    // a disabled item stays as it is.
    int checks = 0;
    NotifyHandler onClickCheck{[&](TObject*) { ++checks; }};
    list->OnClickCheck = onClickCheck.event();
    list->SetAllowGrayed(true);
    std::string cycle;
    list->SetItemIndex(0);
    for (int i = 0; i < 3; ++i) {
        SendMessageA(list->Handle(), WM_CHAR, ' ', 0);
        cycle += std::to_string(list->State(0));
    }
    EXPECT_EQ(cycle, "210");
    list->SetItemIndex(1);
    SendMessageA(list->Handle(), WM_CHAR, ' ', 0);
    EXPECT_EQ(statesOf(list), "0 0x 1 2 ");
    EXPECT_EQ(checks, 3);
    EXPECT_THROW(list->SetChecked(4, true), EListError);
    form->Free();
}

TEST(Lists, NotificationsComeOnce) {
    auto* form = new TForm(nullptr);
    auto* list = new TListBox(form);
    auto* combo = new TComboBox(form);
    for (TWinControl* c : {static_cast<TWinControl*>(list), static_cast<TWinControl*>(combo)}) c->SetParent(form);
    combo->SetLeft(150);
    list->Items()->SetCommaText("a,b,c");
    combo->Items()->SetCommaText("one,two,three");
    form->Show();
    std::string events;
    NotifyHandler onClick{[&](TObject* sender) { events += sender == list ? "list " : "click "; }};
    NotifyHandler onDblClick{[&](TObject*) { events += "dblclick "; }};
    NotifyHandler onSelect{[&](TObject*) { events += "select "; }};
    NotifyHandler onChange{[&](TObject*) { events += "change:" + combo->Text().str() + " "; }};
    NotifyHandler onDropDown{[&](TObject*) { events += "dropdown "; }};
    NotifyHandler onCloseUp{[&](TObject*) { events += "closeup "; }};
    Handler<TKeyPressEvent, TObject*, char&> onKeyPress{[&](TObject*, char& key) {
        events += std::string("key:") + key + " ";
        if (key == 'q') key = 0;
    }};
    list->OnClick = combo->OnClick = onClick.event();
    list->OnDblClick = onDblClick.event();
    combo->OnSelect = onSelect.event();
    combo->OnChange = onChange.event();
    combo->OnDropDown = onDropDown.event();
    combo->OnCloseUp = onCloseUp.event();
    combo->OnKeyPress = onKeyPress.event();
    TRect item = list->ItemRect(1);
    LPARAM at = MAKELPARAM(item.left + 2, item.top + 2);
    HWND edit = FindWindowExA(combo->Handle(), nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);

    const struct {
        const char* what;
        void (*act)(TListBox*, TComboBox*, HWND edit, LPARAM at);
        const char* events;
    } cases[] = {
        {"list click", [](TListBox* l, TComboBox*, HWND, LPARAM p) {
             SendMessageA(l->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, p);
             SendMessageA(l->Handle(), WM_LBUTTONUP, 0, p);
         }, "list "},
        {"list double click", [](TListBox* l, TComboBox*, HWND, LPARAM p) {
             SendMessageA(l->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, p);
             SendMessageA(l->Handle(), WM_LBUTTONUP, 0, p);
         }, "dblclick "},
        {"list key", [](TListBox* l, TComboBox*, HWND, LPARAM) { SendMessageA(l->Handle(), WM_KEYDOWN, VK_DOWN, 0); },
         "list "},
        {"list by program", [](TListBox* l, TComboBox*, HWND, LPARAM) { l->SetItemIndex(0); }, ""},
        {"combo key", [](TListBox*, TComboBox*, HWND e, LPARAM) { SendMessageA(e, WM_KEYDOWN, VK_DOWN, 0); },
         "click select change:one "},
        {"combo typing", [](TListBox*, TComboBox* c, HWND e, LPARAM) {
             c->SetSelStart(3);
             SendMessageA(e, WM_CHAR, 'x', 0);
         }, "key:x change:onex "},
        {"combo key taken", [](TListBox*, TComboBox*, HWND e, LPARAM) { SendMessageA(e, WM_CHAR, 'q', 0); },
         "key:q "},
        {"combo text by program", [](TListBox*, TComboBox* c, HWND, LPARAM) { c->SetText("new"); }, "change:new "},
        {"combo item by program", [](TListBox*, TComboBox* c, HWND, LPARAM) { c->SetItemIndex(2); }, ""},
        {"combo drops down", [](TListBox*, TComboBox* c, HWND, LPARAM) { c->SetDroppedDown(true); }, "dropdown "},
        {"combo closes up", [](TListBox*, TComboBox* c, HWND, LPARAM) { c->SetDroppedDown(false); }, "closeup "},
    };
    for (const auto& c : cases) {
        events.clear();
        c.act(list, combo, edit, at);
        EXPECT_EQ(events, c.events) << c.what;
    }
    EXPECT_EQ(combo->Text(), AnsiString("three"));
    EXPECT_FALSE(combo->DroppedDown());
    form->Free();
}

TEST(Lists, ComboSelectionCountsBytes) {
    for (bool windowed : {false, true}) {
        SCOPED_TRACE(windowed ? "windowed" : "no window");
        auto* form = new TForm(nullptr);
        auto* combo = new TComboBox(form);
        combo->SetParent(form);
        if (windowed) combo->HandleNeeded();
        combo->SetText(AnsiString(kJapanese) + "ab");
        combo->SetSelStart(2);
        combo->SetSelLength(5);
        EXPECT_EQ(combo->SelText(), AnsiString("\x96\x7b\x8c\xea" "a"));
        EXPECT_EQ(combo->SelStart(), 2);
        combo->SetSelText("x");
        EXPECT_EQ(combo->Text(), AnsiString("\x93\xfa" "xb"));
        combo->SelectAll();
        EXPECT_EQ(combo->SelLength(), 4);
        combo->RecreateWnd();
        EXPECT_EQ(combo->Text(), AnsiString("\x93\xfa" "xb"));
        form->Free();
    }
}
