// Message routing through real windows: the handle map and the window
// classes, hooks before WndProc (real and performed messages alike),
// notifications reflected to their child, windowless children hit-tested by
// their parent, code page 932 texts, and exceptions from a window procedure,
// a timer or a menu click raised again by the pump with the process alive.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/forms.h"
#include "ui/menus.h"
#include "ui/panel.h"
#include "ui/timer.h"
#include "uitest.h"

namespace {

constexpr UINT probeMessage = WM_APP + 7;
std::vector<std::string> heard;

class TProbePanel : public TPanel {
public:
    using TPanel::TPanel;

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == probeMessage) {
            heard.push_back("control");
            message.Result = 1;
            return;
        }
        TPanel::WndProc(message);
    }
};

class TNamedHook : public TWindowHook {
public:
    TNamedHook(TControl* control, std::string name, bool answers = false)
        : TWindowHook(control), name_(std::move(name)), answers_(answers) {}

protected:
    void HookProc(TMessage& message) override {
        if (message.Msg == probeMessage) heard.push_back(name_);
        if (message.Msg == probeMessage && answers_) message.Result = 2;
        else Inherited(message);
    }

private:
    std::string name_;
    bool answers_;
};

}  // namespace

TEST(Messages, WindowsAreMappedAndNamedAfterTheirClass) {
    auto* form = new TForm(nullptr);
    auto* button = new TButton(form);
    button->SetParent(form);
    HWND formHandle = form->Handle(), buttonHandle = button->Handle();
    EXPECT_EQ(FindControl(formHandle), form);
    EXPECT_EQ(FindControl(buttonHandle), button);
    char name[32];
    GetClassNameA(formHandle, name, sizeof name);
    EXPECT_STREQ(name, "TForm");
    GetClassNameA(buttonHandle, name, sizeof name);
    EXPECT_STREQ(name, "TButton");
    form->SetBorderStyle(bsDialog);  // made anew
    EXPECT_NE(form->Handle(), formHandle);
    EXPECT_EQ(FindControl(form->Handle()), form);
    EXPECT_EQ(FindControl(formHandle), nullptr);
    formHandle = form->Handle();
    form->Free();
    EXPECT_FALSE(IsWindow(formHandle));
    EXPECT_EQ(FindControl(formHandle), nullptr);
}

TEST(Messages, HooksSeeEveryMessageNewestFirst) {
    auto* form = new TForm(nullptr);
    auto* panel = new TProbePanel(form);
    panel->SetParent(form);
    auto* older = new TNamedHook(panel, "older");
    auto* newer = new TNamedHook(panel, "newer");
    for (bool real : {false, true}) {
        heard.clear();
        LRESULT result = real ? SendMessageA(panel->Handle(), probeMessage, 0, 0) : panel->Perform(probeMessage);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(heard, (std::vector<std::string>{"newer", "older", "control"}));
    }
    delete newer;
    {
        TNamedHook answering(panel, "answering", true);
        heard.clear();
        EXPECT_EQ(panel->Perform(probeMessage), 2);
        EXPECT_EQ(heard, (std::vector<std::string>{"answering"}));
    }
    heard.clear();
    panel->Perform(probeMessage);
    EXPECT_EQ(heard, (std::vector<std::string>{"older", "control"}));
    form->Free();
    delete older;  // outlives its control
}

// The system button tells its parent; the parent hands it back to the button.
TEST(Messages, NotificationsAreReflectedToTheirChild) {
    auto* form = new TForm(nullptr);
    auto* button = new TButton(form);
    button->SetParent(form);
    int clicks = 0;
    NotifyHandler onClick{[&](TObject* sender) { clicks += sender == button; }};
    button->OnClick = onClick.event();
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button->Handle()));
    EXPECT_EQ(clicks, 2);
    form->Free();
}

TEST(Messages, WindowlessChildrenGetTheMouseAtTheirPlace) {
    auto* form = new TForm(nullptr);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 50, 20);
    label->SetHint("short|long one");
    std::vector<std::string> events;
    Handler<TMouseEvent, TObject*, TMouseButton, TShiftState, int, int> down{
        [&](TObject* sender, TMouseButton, TShiftState, int x, int y) {
            events.push_back((sender == label ? "label " : "form ") + std::to_string(x) + "," + std::to_string(y));
        }};
    label->OnMouseDown = down.event();
    form->OnMouseDown = down.event();
    NotifyHandler click{[&](TObject*) { events.push_back("click"); }};
    label->OnClick = click.event();
    NotifyHandler hint{[&](TObject*) { events.push_back("hint " + Application->Hint().str()); }};
    Application->OnHint = hint.event();
    HWND handle = form->Handle();
    SendMessageA(handle, WM_MOUSEMOVE, 0, MAKELPARAM(15, 12));
    SendMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 12));
    SendMessageA(handle, WM_LBUTTONUP, 0, MAKELPARAM(15, 12));
    Handler<TContextPopupEvent, TObject*, TPoint, bool&> popup{[&](TObject*, TPoint at, bool& handled) {
        events.push_back("popup " + std::to_string(at.x) + "," + std::to_string(at.y));
        handled = true;
    }};
    label->OnContextPopup = popup.event();
    TPoint screen = form->ClientToScreen({15, 12});
    SendMessageA(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), MAKELPARAM(screen.x, screen.y));
    SendMessageA(handle, WM_RBUTTONUP, 0, MAKELPARAM(15, 12));  // the system asks no windowless control
    label->SetEnabled(false);
    SendMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 12));
    SendMessageA(handle, WM_LBUTTONUP, 0, MAKELPARAM(15, 12));
    SendMessageA(handle, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
    Application->OnHint = TNotifyEvent();
    EXPECT_EQ(events, (std::vector<std::string>{"hint long one", "label 5,2", "click", "popup 5,2", "popup 5,2",
                                                "form 15,12",
                                                "hint "}));
    form->Free();
}

TEST(Messages, TextsRoundTripInCodePage932) {
    const AnsiString text = "\x83\x45\x83\x42\x83\x57\x83\x46\x83\x62\x83\x67\x90\xdd\x92\xe8";  // ウィジェット設定
    auto* form = new TForm(nullptr);
    form->SetCaption(text);
    char read[64] = "";
    GetWindowTextA(form->Handle(), read, sizeof read);
    EXPECT_EQ(AnsiString(read), text);
    SetWindowTextA(form->Handle(), "\x95\xc2\x82\xb6\x82\xe9");  // 閉じる, set from outside
    EXPECT_EQ(form->Caption(), "\x95\xc2\x82\xb6\x82\xe9");
    auto* label = new TLabel(form);
    label->SetCaption(text);
    EXPECT_EQ(label->Caption(), text);
    form->Free();
}

namespace {

// Each source of an exception, armed: the handler raises "boom"; the trigger
// makes the platform call it.
struct ExceptionCase {
    const char* name;
    void (*arm)(TForm* form, TNotifyEvent raising);
};

const ExceptionCase exceptionCases[] = {
    {"window procedure",
     [](TForm* form, TNotifyEvent raising) {
         form->OnClick = raising;
         PostMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
         PostMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
     }},
    {"timer",
     [](TForm* form, TNotifyEvent raising) {
         auto* timer = new TTimer(form);
         timer->SetInterval(1);
         timer->SetOnTimer(raising);
     }},
    {"menu click",
     [](TForm* form, TNotifyEvent raising) {
         auto* menu = new TMainMenu(form);
         auto* item = new TMenuItem(form);
         item->OnClick = raising;
         menu->Items()->Add(item);
         form->SetMenu(menu);
         PostMessageA(form->Handle(), WM_COMMAND, item->Command(), 0);
     }},
};

}  // namespace

TEST(Exceptions, RaisedAgainByThePumpAfterThePlatformCall) {
    NotifyHandler raising{[](TObject*) { throw std::runtime_error("boom"); }};
    for (const ExceptionCase& c : exceptionCases) {
        SCOPED_TRACE(c.name);
        auto* form = new TForm(nullptr);
        c.arm(form, raising.event());
        EXPECT_EQ(pumpUntilRaised(), "boom");
        form->Free();
        EXPECT_NO_THROW(Application->ProcessMessages());
    }
}
