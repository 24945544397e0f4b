// The standard and common controls in real windows: check box states and
// clicks, the radio group's buttons made from its items, the dialog keys and
// a button's modal result, the splitter's drag, the page control's pages and
// tabs, the hotkey editor's encoding, timers and the tray icon's return after
// the taskbar restarts.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "ui/comctrls.h"
#include "ui/forms.h"
#include "ui/panel.h"
#include "ui/splitter.h"
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

// One button per line, in columns from the top down; checking one by a click
// or by ItemIndex is one click of the group; the lines outlive the window.
TEST(Controls, RadioGroupButtonsAreItsItems) {
    auto* form = new TForm(nullptr);
    auto* group = new TRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(0, 0, 200, 100);
    group->SetColumns(2);
    group->Items()->SetCommaText("a,b,c");
    ASSERT_EQ(group->ControlCount(), 3);
    auto button = [&](int i) { return static_cast<TRadioButton*>(group->Controls(i)); };
    EXPECT_EQ(button(1)->Left(), button(0)->Left());
    EXPECT_GT(button(1)->Top(), button(0)->Top());
    EXPECT_GT(button(2)->Left(), button(0)->Left());
    EXPECT_EQ(button(2)->Top(), button(0)->Top());

    int clicks = 0;
    NotifyHandler onClick{[&](TObject* sender) { clicks += sender == group; }};
    group->OnClick = onClick.event();
    SendMessageA(button(1)->Handle(), BM_CLICK, 0, 0);
    SendMessageA(button(1)->Handle(), BM_CLICK, 0, 0);  // checked already
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(SendMessageA(button(1)->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    group->SetItemIndex(2);
    EXPECT_FALSE(button(1)->Checked());
    group->SetItemIndex(7);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(clicks, 2);

    group->SetItemIndex(1);
    group->Items()->Delete(1);
    group->Items()->Insert(0, "z");
    EXPECT_EQ(group->ItemIndex(), -1);
    group->SetItemIndex(2);
    form->RecreateWnd();
    EXPECT_EQ(group->Items()->CommaText(), "z,a,c");
    EXPECT_EQ(group->ItemIndex(), 2);
    std::string checked;  // the windows' own checks, in child order (a, c, z)
    for (int i = 0; i < group->ControlCount(); ++i)
        checked += std::to_string(SendMessageA(button(i)->Handle(), BM_GETCHECK, 0, 0));
    EXPECT_EQ(checked, "010");
    form->Free();
}

// A drag of the splitter resizes the control before it, within MinSize and
// what leaves MinSize to the rest, as OnCanResize allows.
TEST(Controls, SplitterDragResizesItsNeighbour) {
    const struct {
        TAlign align;
        TResizeStyle style;
        int drag;
        int canResize;  // -1 refuses; 0 allows as asked; else the size given
        int width, moved;
    } cases[] = {
        {alLeft, rsUpdate, 40, 0, 140, 1},    {alLeft, rsPattern, 40, 0, 140, 1},
        {alLeft, rsNone, -40, 0, 60, 1},      {alLeft, rsUpdate, -80, 0, 0, 1},  // snaps
        {alLeft, rsUpdate, 400, 0, 367, 1},   {alLeft, rsUpdate, 40, -1, 100, 0},
        {alLeft, rsUpdate, 40, 120, 120, 1},  {alLeft, rsUpdate, 0, 0, 100, 0},
        {alRight, rsUpdate, -40, 0, 140, 1},  {alRight, rsLine, 30, 0, 70, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(GetEnumName(&AlignInfo, c.align).str() + " " + GetEnumName(&ResizeStyleInfo, c.style).str() + " " +
                     std::to_string(c.drag));
        auto* form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 400, 200);
        auto* side = new TPanel(form);
        auto* splitter = new TSplitter(form);
        auto* rest = new TPanel(form);
        side->SetBounds(c.align == alLeft ? 0 : 300, 0, 100, 200);
        splitter->SetLeft(c.align == alLeft ? 150 : 250);
        for (TControl* control : {static_cast<TControl*>(side), static_cast<TControl*>(splitter),
                                  static_cast<TControl*>(rest)})
            control->SetParent(form);
        side->SetAlign(c.align);
        splitter->SetAlign(c.align);
        rest->SetAlign(alClient);
        splitter->SetResizeStyle(c.style);
        form->Show();
        int moved = 0;
        NotifyHandler onMoved{[&](TObject*) { ++moved; }};
        Handler<TSplitterCanResizeEvent, TObject*, int&, bool&> onCanResize{[&](TObject*, int& size, bool& accept) {
            if (c.canResize < 0) accept = false;
            else if (c.canResize > 0) size = c.canResize;
        }};
        splitter->OnMoved = onMoved.event();
        splitter->OnCanResize = onCanResize.event();
        ASSERT_EQ(splitter->Left(), c.align == alLeft ? 100 : 297);
        int x = splitter->Left() + 1;
        SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
        SendMessageA(form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + c.drag, 10));
        SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x + c.drag, 10));
        EXPECT_EQ(side->Width(), c.width);
        EXPECT_EQ(rest->Width(), 400 - 3 - c.width);
        EXPECT_EQ(moved, c.moved);
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
