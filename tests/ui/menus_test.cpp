// Menus: the menu handle built from the items (captions, states, separators),
// a submenu filled by its OnClick as it opens (popup and menu bar alike),
// separators thought over, accelerators handed out, and shortcut texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/forms.h"
#include "ui/menus.h"
#include "uitest.h"

namespace {

TMenuItem* newItem(TComponent* owner, const char* caption, TMenuItem* parent) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    if (parent) parent->Add(item);
    return item;
}

std::string entryText(HMENU menu, int index) {
    char text[64] = "";
    GetMenuStringA(menu, index, text, sizeof text, MF_BYPOSITION);
    return text;
}

UINT entryState(HMENU menu, int index) { return GetMenuState(menu, index, MF_BYPOSITION); }

}  // namespace

TEST(Menus, ItemsBuildTheMenuHandle) {
    auto* form = new TForm(nullptr);
    auto* menu = new TPopupMenu(form);
    TMenuItem* root = menu->Items();
    TMenuItem* open = newItem(form, "&Open", root);
    newItem(form, "-", root);
    TMenuItem* hidden = newItem(form, "Hidden", root);
    TMenuItem* quit = newItem(form, "Quit", root);
    hidden->SetVisible(false);
    open->SetChecked(true);
    quit->SetEnabled(false);
    quit->SetShortCut(scCtrl | 'Q');
    HMENU handle = menu->Handle();
    ASSERT_EQ(GetMenuItemCount(handle), 3);
    EXPECT_EQ(entryText(handle, 0), "&Open");
    EXPECT_TRUE(entryState(handle, 0) & MF_CHECKED);
    EXPECT_TRUE(entryState(handle, 1) & MF_SEPARATOR);
    EXPECT_EQ(entryText(handle, 2), "Quit\tCtrl+Q");
    EXPECT_TRUE(entryState(handle, 2) & MF_GRAYED);
    EXPECT_EQ(GetMenuItemID(handle, 2), quit->Command());
    EXPECT_EQ(root->Find("OPEN"), open);
    EXPECT_EQ(menu->FindItem(quit->Command(), fkCommand), quit);
    EXPECT_EQ(menu->FindItem(scCtrl | 'Q', fkShortCut), quit);
    quit->Free();
    EXPECT_EQ(menu->Handle(), handle);  // the same handle, its entries brought up to date
    EXPECT_EQ(GetMenuItemCount(handle), 2);
    form->Free();
}

// The widget-folder menu: a submenu with one invisible placeholder, refilled
// by its OnClick every time it opens.
TEST(Menus, ASubmenuFillsItselfAsItOpens) {
    auto* form = new TForm(nullptr);
    auto* popup = new TPopupMenu(form);
    auto* bar = new TMainMenu(form);
    for (TMenu* menu : {static_cast<TMenu*>(popup), static_cast<TMenu*>(bar)}) {
        TMenuItem* folder = newItem(form, "Folder", menu->Items());
        newItem(form, "placeholder", folder)->SetVisible(false);
        int opened = 0;
        NotifyHandler fill{[&](TObject*) {
            ++opened;
            while (folder->Count() > 1) folder->Items(folder->Count() - 1)->Free();
            for (const char* name : {"a", "b", "c"}) newItem(form, name, folder);
        }};
        folder->OnClick = fill.event();
        HMENU sub = folder->Handle();
        EXPECT_EQ(GetMenuItemCount(sub), 0);
        HWND owner = menu == bar ? form->Handle() : PopupListWindow();
        if (menu == bar) form->SetMenu(bar);
        for (int round = 1; round <= 2; ++round) {
            SendMessageA(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), 0);
            EXPECT_EQ(opened, round);
            ASSERT_EQ(GetMenuItemCount(sub), 3);
            EXPECT_EQ(entryText(sub, 2), "c");
        }
        folder->OnClick = TNotifyEvent();
    }
    bar->Free();  // the window lets its menu bar go first
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_EQ(form->Menu(), nullptr);
    form->Free();
}

TEST(Menus, LinesAndHotkeysAreThoughtOver) {
    auto* menu = new TPopupMenu(nullptr);
    TMenuItem* root = menu->Items();
    const char* captions[] = {"-", "Alpha", "-", "-", "&Beta", "Apple", "-"};
    for (const char* caption : captions) newItem(menu, caption, root);
    EXPECT_TRUE(root->RethinkLines());
    std::string shown;
    for (int i = 0; i < root->Count(); ++i) shown += root->Items(i)->Visible() ? "1" : "0";
    EXPECT_EQ(shown, "0110110");
    EXPECT_FALSE(root->RethinkLines());
    EXPECT_TRUE(root->RethinkHotkeys());
    EXPECT_EQ(root->Items(1)->Caption(), "&Alpha");
    EXPECT_EQ(root->Items(4)->Caption(), "&Beta");
    EXPECT_EQ(root->Items(5)->Caption(), "A&pple");
    EXPECT_EQ(ShortCutToText(scCtrl | scShift | 'K'), "Ctrl+Shift+K");
    EXPECT_EQ(ShortCutToText(scAlt | VK_F4), "Alt+F4");
    menu->Free();
}

// A menu bar's entry gets its submenu with the first sub-item and loses it
// when they go; the sub-items between leave the bar as it is (a mark put on
// the bar's entry stays), and commands and handles are found in the menu and
// the one merged into it only.
TEST(Menus, ASubmenuChangesWithoutTheBar) {
    auto* form = new TForm(nullptr);
    auto* bar = new TMainMenu(form);
    auto* merged = new TMainMenu(form);
    auto* other = new TPopupMenu(form);
    TMenuItem* file = newItem(form, "&File", bar->Items());
    form->SetMenu(bar);
    HMENU handle = bar->Handle();
    EXPECT_EQ(GetSubMenu(handle, 0), nullptr);
    TMenuItem* first = newItem(form, "first", file);
    ASSERT_EQ(GetSubMenu(handle, 0), file->Handle());
    ModifyMenuA(handle, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(file->Handle()), "mark");
    TMenuItem* last = nullptr;
    for (int i = 0; i < 50; ++i) last = newItem(form, "more", file);
    last->SetCaption("last");
    EXPECT_EQ(entryText(handle, 0), "mark");
    EXPECT_EQ(GetMenuItemCount(file->Handle()), 51);
    EXPECT_EQ(entryText(file->Handle(), 50), "last");
    TMenuItem* tools = newItem(form, "&Tools", merged->Items());
    tools->SetGroupIndex(1);  // beside File, not in its place
    TMenuItem* tool = newItem(form, "tool", tools);
    TMenuItem* stray = newItem(form, "stray", other->Items());
    bar->Merge(merged);
    EXPECT_EQ(bar->FindItem(first->Command(), fkCommand), first);
    EXPECT_EQ(bar->FindItem(tool->Command(), fkCommand), tool);
    EXPECT_EQ(bar->FindItem(stray->Command(), fkCommand), nullptr);
    EXPECT_EQ(bar->FindItem(first->Command() + (UINT_PTR{1} << 31) * 2, fkCommand), nullptr);
    EXPECT_EQ(bar->FindItem(reinterpret_cast<UINT_PTR>(file->Handle()), fkHandle), file);
    EXPECT_EQ(merged->FindItem(first->Command(), fkCommand), nullptr);
    file->Clear();
    EXPECT_EQ(GetSubMenu(handle, 0), nullptr);
    EXPECT_EQ(entryText(handle, 0), "&File");
    bar->Free();
    form->Free();
}
