// The tray icon: Shell_NotifyIcon over a hidden top-level window (message-only
// windows hear no broadcasts, and the popup menu needs a real owner).
#include "ui/trayicon.h"

#include <shellapi.h>

#include <cstring>

#include "ui/controlprops.h"

namespace {

constexpr UINT trayCallback = WM_APP + 1;

const TPropInfo trayIconProperties[] = {
    StringProperty<&TTrayIcon::Hint, &TTrayIcon::SetHint>("Hint"),
    ClassProperty<&TTrayIcon::PopupMenu, &TTrayIcon::SetPopupMenu>("PopupMenu", &TPopupMenu::classInfo),
    BoolProperty<&TTrayIcon::Visible, &TTrayIcon::SetVisible>("Visible", 0),
    MethodProperty<&TTrayIcon::OnClick, &TTrayIcon::OnClick>("OnClick", &NotifyEventType),
    MethodProperty<&TTrayIcon::OnDblClick, &TTrayIcon::OnDblClick>("OnDblClick", &NotifyEventType),
    MethodProperty<&TTrayIcon::OnMouseDown, &TTrayIcon::OnMouseDown>("OnMouseDown", &MouseEventType),
    MethodProperty<&TTrayIcon::OnMouseMove, &TTrayIcon::OnMouseMove>("OnMouseMove", &MouseMoveEventType),
    MethodProperty<&TTrayIcon::OnMouseUp, &TTrayIcon::OnMouseUp>("OnMouseUp", &MouseEventType),
};

HICON programIcon() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), path, 0);
    if (icon && icon != reinterpret_cast<HICON>(1)) return icon;
    return CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
}

}  // namespace

const TClassInfo TTrayIcon::classInfo =
    makeClassInfo("TTrayIcon", &TComponent::classInfo, trayIconProperties, &componentCreator<TTrayIcon>);

TTrayIcon::TTrayIcon(TComponent* owner)
    : TComponent(owner),
      Window_(std::make_unique<TMessageWindow>(TMessageWindow::THandler::bind<&TTrayIcon::windowMessage>(this), this,
                                               true)),
      Icon_(programIcon()) {}

TTrayIcon::~TTrayIcon() {
    Destroying();
    if (Visible_) notify(NIM_DELETE);
    if (Icon_) DestroyIcon(Icon_);
}

void TTrayIcon::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == PopupMenu_) PopupMenu_ = nullptr;
}

bool TTrayIcon::notify(DWORD action) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = Window_->Handle();
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = trayCallback;
    data.hIcon = Icon_;
    std::memcpy(data.szTip, Hint_.c_str(), Hint_.length() + 1);
    return Shell_NotifyIconA(action, &data);
}

// The tip keeps whole characters: a lead byte cut from its trail goes too.
void TTrayIcon::SetHint(const AnsiString& value) {
    size_t length = 0;
    while (length < value.length()) {
        size_t next = length + (IsDBCSLeadByteEx(932, value.byte(length)) ? 2 : 1);
        if (next > sizeof(NOTIFYICONDATAA::szTip) - 1) break;
        length = next;
    }
    AnsiString hint = value.substr(0, length);
    if (hint == Hint_) return;
    Hint_ = hint;
    if (Visible_) notify(NIM_MODIFY);
}

void TTrayIcon::replaceIcon(HICON icon) {
    if (Icon_) DestroyIcon(Icon_);
    Icon_ = icon;
    if (Visible_) notify(NIM_MODIFY);
}

void TTrayIcon::SetIcon(HICON icon) { replaceIcon(icon ? CopyIcon(icon) : programIcon()); }

void TTrayIcon::LoadIconFromFile(const AnsiString& fileName) {
    HANDLE icon = LoadImageA(nullptr, fileName.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
    if (!icon) raiseLastOSError();
    replaceIcon(static_cast<HICON>(icon));
}

void TTrayIcon::SetVisible(bool value) {
    if (value == Visible_) return;
    Visible_ = value;
    notify(value ? NIM_ADD : NIM_DELETE);
}

void TTrayIcon::SetPopupMenu(TPopupMenu* value) {
    if (value == PopupMenu_) return;
    if (PopupMenu_) RemoveFreeNotification(PopupMenu_);
    PopupMenu_ = value;
    if (value) FreeNotification(value);
}

void TTrayIcon::windowMessage(TMessage& message, bool& handled) {
    static const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    if (message.Msg == taskbarCreated) {
        if (Visible_) notify(NIM_ADD);
    } else if (message.Msg == trayCallback) {
        handled = true;
        mouseMessage(static_cast<UINT>(message.LParam));
    }
}

// A menu shown for the notification area must belong to the foreground
// window, or it would not close when the user clicks elsewhere.
void TTrayIcon::mouseMessage(UINT message) {
    POINT p;
    GetCursorPos(&p);
    TShiftState shift = keyboardShift();
    switch (message) {
    case WM_MOUSEMOVE: OnMouseMove(this, shift, p.x, p.y); break;
    case WM_LBUTTONDOWN: OnMouseDown(this, mbLeft, shift, p.x, p.y); break;
    case WM_RBUTTONDOWN: OnMouseDown(this, mbRight, shift, p.x, p.y); break;
    case WM_MBUTTONDOWN: OnMouseDown(this, mbMiddle, shift, p.x, p.y); break;
    case WM_MBUTTONUP: OnMouseUp(this, mbMiddle, shift, p.x, p.y); break;
    case WM_LBUTTONDBLCLK: OnDblClick(this); break;
    case WM_LBUTTONUP:
        OnMouseUp(this, mbLeft, shift, p.x, p.y);
        OnClick(this);
        break;
    case WM_RBUTTONUP:
        OnMouseUp(this, mbRight, shift, p.x, p.y);
        if (PopupMenu_ && PopupMenu_->AutoPopup()) {
            HWND owner = PopupListWindow();
            SetForegroundWindow(owner);
            PopupMenu_->SetPopupComponent(this);
            PopupMenu_->Popup(p.x, p.y);
            PostMessageA(owner, WM_NULL, 0, 0);
        }
        break;
    }
}
