// Forms in real windows: close with CloseQuery and each close action, a form
// freed from its own button's click (it lives until the click returns), the
// modal loop (timers run, other windows wait, an exception ends it), the
// alignment of children, PaintTo in child order, the screen, and the control
// at a point.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/bitmap.h"
#include "ui/forms.h"
#include "ui/panel.h"
#include "ui/timer.h"
#include "uitest.h"

namespace {

std::vector<std::string> journal;

class TJournalForm : public TForm {
public:
    using TForm::TForm;

protected:
    ~TJournalForm() override { journal.push_back("destroyed"); }
};

TPanel* newPanel(TWinControl* parent, TRect bounds, TColor color) {
    auto* panel = new TPanel(parent);
    panel->SetParent(parent);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(color);
    panel->SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
    return panel;
}

}  // namespace

TEST(Forms, CloseAsksThenActs) {
    const struct {
        bool allowed;
        TCloseAction action;
        bool visible, minimized, freed;
    } cases[] = {
        {false, caHide, true, false, false}, {true, caNone, true, false, false}, {true, caHide, false, false, false},
        {true, caMinimize, true, true, false}, {true, caFree, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(GetEnumName(&CloseActionInfo, c.action).str() + (c.allowed ? "" : " refused"));
        journal.clear();
        auto* form = new TJournalForm(nullptr);
        Handler<TCloseQueryEvent, TObject*, bool&> query{[&](TObject*, bool& canClose) { canClose = c.allowed; }};
        Handler<TCloseEvent, TObject*, TCloseAction&> close{[&](TObject*, TCloseAction& action) {
            EXPECT_EQ(action, caHide);
            action = c.action;
        }};
        form->OnCloseQuery = query.event();
        form->OnClose = close.event();
        form->Show();
        HWND handle = form->Handle();
        SendMessageA(handle, WM_CLOSE, 0, 0);
        if (c.freed) {
            EXPECT_TRUE(pumpUntil([&] { return !journal.empty(); }));  // released
            continue;
        }
        Application->ProcessMessages();
        EXPECT_TRUE(journal.empty());
        EXPECT_EQ(form->Visible() && IsWindowVisible(handle), c.visible);
        EXPECT_EQ(form->WindowState() == wsMinimized, c.minimized);
        form->Free();
    }
}

// Ruling: an object freed from its own event lives until the dispatch ends.
TEST(Forms, AFormFreedByItsOwnButtonLivesUntilTheClickReturns) {
    journal.clear();
    auto* form = new TJournalForm(nullptr);
    auto* button = new TButton(form);
    button->SetParent(form);
    NotifyHandler click{[&](TObject* sender) {
        form->Free();
        journal.push_back("freed");
        journal.push_back(static_cast<TButton*>(sender)->Caption().str() + " still here");
    }};
    button->SetCaption("OK");
    button->OnClick = click.event();
    HWND handle = form->Handle();
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"freed", "OK still here", "destroyed"}));
    EXPECT_FALSE(IsWindow(handle));
}

TEST(Forms, ReleaseFreesAfterTheWaitingMessages) {
    journal.clear();
    auto* form = new TJournalForm(nullptr);
    form->Release();
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(pumpUntil([] { return !journal.empty(); }));
}

// Timers run while the modal loop waits; the other windows are disabled
// meanwhile and enabled again after.
TEST(Forms, ShowModalKeepsTimersRunningUntilModalResult) {
    auto* other = new TForm(nullptr);
    other->Show();
    auto* dialog = new TForm(nullptr);
    auto* timer = new TTimer(dialog);
    int ticks = 0;
    bool otherDisabled = false, refusedOnce = false;
    NotifyHandler tick{[&](TObject*) {
        otherDisabled = !IsWindowEnabled(other->Handle());
        if (++ticks >= 3) dialog->SetModalResult(mrOk);
    }};
    Handler<TCloseQueryEvent, TObject*, bool&> query{[&](TObject*, bool& canClose) {
        canClose = refusedOnce;
        refusedOnce = true;
    }};
    dialog->OnCloseQuery = query.event();
    timer->SetInterval(5);
    timer->SetOnTimer(tick.event());
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(ticks, 4);  // the first close was refused, the loop went on
    EXPECT_TRUE(otherDisabled);
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_FALSE(dialog->Visible());
    dialog->Free();
    other->Free();
}

TEST(Forms, AnExceptionEndsTheModalLoopAndComesOutOfShowModal) {
    auto* other = new TForm(nullptr);
    other->Show();
    auto* dialog = new TForm(nullptr);
    auto* timer = new TTimer(dialog);
    NotifyHandler raising{[](TObject*) { throw std::runtime_error("from the dialog"); }};
    timer->SetInterval(5);
    timer->SetOnTimer(raising.event());
    try {
        dialog->ShowModal();
        ADD_FAILURE() << "ShowModal returned";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "from the dialog");
    }
    EXPECT_FALSE(dialog->Visible());
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    dialog->Free();
    other->Free();
    EXPECT_NO_THROW(Application->ProcessMessages());
}

TEST(Forms, ChildrenAlignAndKeepTheirAnchors) {
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 100);
    TPanel* top = newPanel(form, {0, 0, 50, 20}, clRed);
    TPanel* client = newPanel(form, {0, 0, 10, 10}, clBlue);
    TPanel* corner = newPanel(form, {150, 70, 190, 90}, clLime);
    top->SetAlign(alTop);
    client->SetAlign(alClient);
    corner->SetAnchors(setOf(akRight, akBottom));
    form->EnableAlign();  // without a DisableAlign: ignored
    form->HandleNeeded();
    form->SetBounds(0, 0, 300, 150);
    auto bounds = [](TControl* c) { return std::vector<int>{c->Left(), c->Top(), c->Width(), c->Height()}; };
    EXPECT_EQ(bounds(top), (std::vector<int>{0, 0, 300, 20}));
    EXPECT_EQ(bounds(client), (std::vector<int>{0, 20, 300, 130}));
    EXPECT_EQ(bounds(corner), (std::vector<int>{250, 120, 40, 20}));
    form->Free();
}

// The overlapping later child lies above the earlier one; a windowless child
// is painted on its parent; the form was never shown.
TEST(Forms, PaintToDrawsTheChildrenInOrder) {
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 100, 40);
    form->SetColor(clWhite);
    TPanel* first = newPanel(form, {0, 0, 60, 40}, clBlue);
    newPanel(form, {40, 0, 100, 20}, clRed);
    auto* label = new TLabel(form);
    label->SetParent(first);
    label->SetAutoSize(false);
    label->SetColor(clLime);
    label->SetBounds(5, 25, 10, 10);
    TBitmap bitmap;
    bitmap.SetSize(100, 40);
    form->PaintTo(bitmap.Canvas(), 0, 0);
    auto at = [&](int x, int y) { return pixelColor(bitmap.ScanLine(y)[x]); };
    EXPECT_EQ(at(10, 10), clBlue);
    EXPECT_EQ(at(50, 10), clRed);
    EXPECT_EQ(at(50, 30), clBlue);
    EXPECT_EQ(at(80, 30), clWhite);
    EXPECT_EQ(at(8, 28), clLime);
    form->Free();
}

TEST(Forms, ScreenKnowsMonitorsWorkAreaAndForms) {
    std::vector<TMonitor> monitors = Screen->Monitors();
    ASSERT_EQ(static_cast<int>(monitors.size()), Screen->MonitorCount());
    EXPECT_TRUE(monitors[0].Primary);
    TRect work = Screen->WorkAreaRect(), desktop = Screen->DesktopRect();
    EXPECT_TRUE(work.left >= desktop.left && work.right <= desktop.right && work.bottom <= desktop.bottom);
    EXPECT_EQ(Screen->WorkAreaWidth(), work.right - work.left);
    EXPECT_EQ(Screen->MonitorFromPoint({work.left + 1, work.top + 1}).Handle, monitors[0].Handle);
    int forms = Screen->FormCount();
    auto* form = new TForm(nullptr);
    EXPECT_EQ(Screen->Forms(forms), form);
    form->Free();
    EXPECT_EQ(Screen->FormCount(), forms);
}

// Disabled controls are found too when asked, windowed or not.
TEST(Forms, TheControlAtAPointIncludesDisabledOnes) {
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetFormStyle(fsStayOnTop);
    form->SetBounds(100, 100, 200, 100);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 50, 20);
    label->SetEnabled(false);
    TPanel* panel = newPanel(form, {100, 10, 150, 60}, clRed);
    panel->SetEnabled(false);
    form->Show();
    EXPECT_EQ(FindDragTarget({120, 120}, true), label);
    EXPECT_EQ(FindDragTarget({120, 120}, false), form);
    EXPECT_EQ(FindDragTarget({220, 130}, true), panel);
    EXPECT_EQ(FindDragTarget({220, 130}, false), form);
    form->Free();
}
