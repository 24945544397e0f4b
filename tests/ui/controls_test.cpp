// The standard and common controls in real windows: check box states and
// clicks, the dialog keys and a button's modal result, the page control's
// pages and tabs, the hotkey editor's encoding, timers and the tray icon's
// return after the taskbar restarts.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "ui/comctrls.h"
#include "ui/forms.h"
#include "ui/timer.h"
#include "ui/trayicon.h"
#include "uitest.h"

TEST(Controls, CheckBoxStatesFollowClicksAndThePlatform) {
    const struct {
        bool allowGrayed;
        const char* states;  // after each click, starting unchecked
    } cases[] = {{false, "1010"}, {true, "2102"}};
    for (const auto& c : cases) {
        auto* form = new TForm(nullptr);
        auto* box = new TCheckBox(form);
        box->SetParent(form);
        box->SetAllowGrayed(c.allowGrayed);
        int clicks = 0;
        NotifyHandler onClick{[&](TObject*) { ++clicks; }};
        box->OnClick = onClick.event();
        std::string states;
        for (int i = 0; i < 4; ++i) {
            SendMessageA(box->Handle(), BM_CLICK, 0, 0);
            states += std::to_string(box->State());
            EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), box->State());
        }
        EXPECT_EQ(states, c.states);
        box->SetChecked(!box->Checked());  // the program's change is a click too
        EXPECT_EQ(clicks, 5);
        form->Free();
    }
}

TEST(Controls, DialogKeysAndModalResultOfButtons) {
    auto* form = new TForm(nullptr);
    auto* ok = new TButton(form);
    auto* cancel = new TButton(form);
    for (TButton* b : {ok, cancel}) b->SetParent(form);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    std::string clicked;
    NotifyHandler onClick{[&](TObject* sender) { clicked += sender == ok ? "ok " : "cancel "; }};
    ok->OnClick = cancel->OnClick = onClick.event();
    form->Show();
    EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_RETURN), 1);
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_ESCAPE), 1);
    EXPECT_EQ(form->ModalResult(), mrCancel);
    EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_SPACE), 0);
    EXPECT_EQ(clicked, "ok cancel ");
    form->Free();
}

TEST(Controls, PageControlPagesAndTabs) {
    auto* form = new TForm(nullptr);
    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    pages->SetBounds(0, 0, 300, 200);
    TTabSheet* sheet[3];
    const char* captions[] = {"One", "Two", "Three"};
    for (int i = 0; i < 3; ++i) {
        sheet[i] = new TTabSheet(form);
        sheet[i]->SetCaption(captions[i]);
        sheet[i]->SetPageControl(pages);
    }
    sheet[1]->SetTabVisible(false);
    HWND tabs = pages->Handle();
    EXPECT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(pages->ActivePage(), sheet[0]);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(pages->FindNextPage(nullptr, true, true), sheet[0]);
    EXPECT_EQ(pages->FindNextPage(sheet[0], true, true), sheet[2]);
    EXPECT_EQ(pages->FindNextPage(sheet[0], true, false), sheet[1]);
    EXPECT_EQ(sheet[2]->TabIndex(), 1);
    EXPECT_EQ(sheet[1]->TabIndex(), -1);

    std::string events;
    bool allow = false;
    Handler<TTabChangingEvent, TObject*, bool&> changing{[&](TObject*, bool& allowChange) {
        events += "changing ";
        allowChange = allow;
    }};
    NotifyHandler changed{[&](TObject*) { events += "changed "; }};
    NotifyHandler shown{[&](TObject* sender) { events += "show " + static_cast<TTabSheet*>(sender)->Caption().str() + " "; }};
    pages->OnChanging = changing.event();
    pages->OnChange = changed.event();
    sheet[2]->OnShow = shown.event();
    pages->SelectNextPage(true);
    EXPECT_EQ(pages->ActivePage(), sheet[0]);
    allow = true;
    pages->SelectNextPage(true);
    EXPECT_EQ(pages->ActivePage(), sheet[2]);
    EXPECT_TRUE(sheet[2]->Visible() && !sheet[0]->Visible());
    EXPECT_EQ(events, "changing changing show Three changed ");

    // A tab chosen in the control itself: the notification comes reflected.
    events.clear();
    SendMessageA(tabs, TCM_SETCURSEL, 0, 0);
    NMHDR notify{tabs, 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
    EXPECT_EQ(pages->ActivePage(), sheet[0]);
    EXPECT_EQ(events, "changed ");

    TRect tab = pages->TabRect(1);
    EXPECT_EQ(pages->IndexOfTabAt(tab.left + 2, tab.top + 2), 1);
    EXPECT_EQ(SetToString(&HitTestsInfo, pages->GetHitTestInfoAt(tab.left + 2, tab.top + 2)), "htOnItem");
    TRect display = pages->DisplayRect();
    EXPECT_EQ(pages->GetHitTestInfoAt(display.left + 5, display.bottom - 5), 0);
    EXPECT_EQ(sheet[0]->BoundsRect().top, display.top);
    form->Free();
}

// Each visible tab shows its page's image once the control has an image list.
TEST(Controls, PageControlTabImages) {
    auto* form = new TForm(nullptr);
    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    const struct {
        int image;
        bool visible;
    } rows[] = {{0, true}, {5, false}, {1, true}, {1, true}};
    for (const auto& row : rows) {
        auto* sheet = new TTabSheet(form);
        sheet->SetPageControl(pages);
        sheet->SetImageIndex(row.image);
        sheet->SetTabVisible(row.visible);
    }
    auto tabImages = [&] {
        std::string images;
        for (int i = 0; i < SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0); ++i) {
            TCITEMA item{};
            item.mask = TCIF_IMAGE;
            SendMessageA(pages->Handle(), TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            images += std::to_string(item.iImage) + " ";
        }
        return images;
    };
    EXPECT_EQ(tabImages(), "-1 -1 -1 ");
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 2, 0);
    pages->SetImages(list);
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(list));
    EXPECT_EQ(tabImages(), "0 1 1 ");
    pages->Pages(3)->SetImageIndex(2);
    EXPECT_EQ(tabImages(), "0 1 2 ");
    pages->SetImages(nullptr);
    ImageList_Destroy(list);
    EXPECT_EQ(tabImages(), "-1 -1 -1 ");
    form->Free();
}

// The value is written as shortcuts are, not as the system control keeps it.
TEST(Controls, HotKeyEditorSpeaksInShortcuts) {
    const struct {
        TShortCut shortCut;
        WORD control;
    } cases[] = {{32833, 0x0441}, {scCtrl | scShift | 'K', 0x034B}, {VK_F5, 0x0074}};
    auto* form = new TForm(nullptr);
    auto* editor = new THotKey(form);
    editor->SetParent(form);
    EXPECT_EQ(editor->HotKey(), 32833);  // Alt+A until set
    for (const auto& c : cases) {
        EXPECT_EQ(shortCutToHotKeyControl(c.shortCut), c.control);
        EXPECT_EQ(hotKeyControlToShortCut(c.control), c.shortCut);
        editor->SetHotKey(c.shortCut);
        EXPECT_EQ(SendMessageA(editor->Handle(), HKM_GETHOTKEY, 0, 0), c.control);
        SendMessageA(editor->Handle(), HKM_SETHOTKEY, 0, 0);
        SendMessageA(editor->Handle(), HKM_SETHOTKEY, c.control, 0);
        EXPECT_EQ(editor->HotKey(), c.shortCut);
    }
    form->Free();
}

// A timer runs only with Enabled, an Interval and OnTimer; each change
// starts it again; it may free itself from OnTimer.
TEST(Controls, TimerRaisesOnTimerWhileEnabled) {
    auto* timer = new TTimer(nullptr);
    int ticks = 0;
    NotifyHandler tick{[&](TObject* sender) {
        if (++ticks == 2) static_cast<TTimer*>(sender)->SetEnabled(false);
    }};
    timer->SetInterval(1);
    timer->SetOnTimer(tick.event());
    EXPECT_TRUE(pumpUntil([&] { return ticks == 2; }));
    EXPECT_FALSE(timer->Enabled());
    timer->SetEnabled(true);
    EXPECT_TRUE(pumpUntil([&] { return ticks == 3; }));
    bool freed = false;
    NotifyHandler selfFree{[&](TObject* sender) {  // from its own event
        static_cast<TTimer*>(sender)->Free();
        freed = true;
    }};
    timer->SetOnTimer(selfFree.event());
    EXPECT_TRUE(pumpUntil([&] { return freed; }));
}

// The shell restarting announces "TaskbarCreated"; a shown icon adds itself
// again (only an added icon can be modified).
TEST(Controls, TrayIconReturnsWhenTheTaskbarIsMadeAgain) {
    auto* tray = new TTrayIcon(nullptr);
    tray->SetHint("Nimbora");
    tray->SetVisible(true);
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = tray->Handle();
    data.uID = 1;
    if (!Shell_NotifyIconA(NIM_MODIFY, &data)) GTEST_SKIP() << "no notification area in this session";
    Shell_NotifyIconA(NIM_DELETE, &data);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data));
    SendMessageA(tray->Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
    tray->Free();
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data));
}
