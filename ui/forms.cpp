// Forms: window styles, showing and placing, closing and the close actions,
// the modal loop, release, activation, menus, dialog keys and printing; the
// screen.
#include "ui/forms.h"

#include <winspool.h>

#include <algorithm>
#include <string>

#include "ui/controlprops.h"
#include "ui/menus.h"

// ==== Type tables ====

namespace {

const char* const closeActionNames[] = {"caNone", "caHide", "caFree", "caMinimize"};
const char* const borderStyleNames[] = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
const char* const borderIconNames[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
const TEnumInfo borderIconInfo{"TBorderIcon", borderIconNames, 4};
const char* const formStyleNames[] = {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
const char* const positionNames[] = {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                     "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};
const char* const windowStateNames[] = {"wsNormal", "wsMinimized", "wsMaximized"};

TScreen screenInstance;

}  // namespace

const TEnumInfo CloseActionInfo{"TCloseAction", closeActionNames, 4};
const TEnumInfo FormBorderStyleInfo{"TFormBorderStyle", borderStyleNames, 6};
const TSetInfo BorderIconsInfo{"TBorderIcons", &borderIconInfo, 1};
const TEnumInfo FormStyleInfo{"TFormStyle", formStyleNames, 4};
const TEnumInfo PositionInfo{"TPosition", positionNames, 8};
const TEnumInfo WindowStateInfo{"TWindowState", windowStateNames, 3};
const TMethodTypeInfo CloseEventType{"TCloseEvent"}, CloseQueryEventType{"TCloseQueryEvent"},
    HelpEventType{"THelpEvent"}, ShortCutEventType{"TShortCutEvent"};

TScreen* Screen = &screenInstance;

// ==== Life ====

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner) {
    setVisibleFlag(false);
    SetParentColor(false);
    SetParentFont(false);
    ControlStyle_ |= csAcceptsControls | csCustomPaint;
    UpdateBoundsFields(0, 0, 320, 240);
    Screen->Forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
    Destroying();
    if (HandleAllocated() && Menu_) ::SetMenu(Handle(), nullptr);
    auto& forms = Screen->Forms_;
    forms.erase(std::find(forms.begin(), forms.end(), this));
    if (Screen->ActiveForm_ == this) Screen->ActiveForm_ = nullptr;
}

// OnDestroy may raise; destructors must not, so the application keeps it for
// the pump.
void TCustomForm::BeforeDestruction() {
    guardCallback([&] { OnDestroy(this); });
}

void TCustomForm::FreeDeferred() {
    if (Modal_) ModalResult_ = mrCancel;
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void TCustomForm::Loaded() {
    TScrollingWinControl::Loaded();
    OnCreate(this);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TScrollingWinControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == Menu_) {
        // The menu bar goes before its handle does: the window must let it go.
        if (HandleAllocated()) ::SetMenu(Handle(), nullptr);
        Menu_ = nullptr;
    }
    if (component == PopupParent_) PopupParent_ = nullptr;
    if (component == ActiveControl_) ActiveControl_ = nullptr;
}

// ==== Window ====

void TCustomForm::windowStyle(DWORD& style, DWORD& exStyle) const {
    switch (BorderStyle_) {
    case bsNone: style |= WS_POPUP; break;
    case bsSingle: style |= WS_CAPTION; break;
    case bsToolWindow: style |= WS_CAPTION, exStyle |= WS_EX_TOOLWINDOW; break;
    case bsSizeable: style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsSizeToolWin: style |= WS_CAPTION | WS_THICKFRAME, exStyle |= WS_EX_TOOLWINDOW; break;
    case bsDialog: style |= WS_POPUP | WS_CAPTION, exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE; break;
    }
    if (BorderStyle_ != bsNone && inSet(BorderIcons_, biSystemMenu)) {
        style |= WS_SYSMENU;
        bool sizing = BorderStyle_ == bsSingle || BorderStyle_ == bsSizeable;
        if (sizing && inSet(BorderIcons_, biMinimize)) style |= WS_MINIMIZEBOX;
        if (sizing && inSet(BorderIcons_, biMaximize)) style |= WS_MAXIMIZEBOX;
        if (inSet(BorderIcons_, biHelp) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) exStyle |= WS_EX_CONTEXTHELP;
    }
    if (FormStyle_ == fsStayOnTop) exStyle |= WS_EX_TOPMOST;
}

HWND TCustomForm::ownerWindow() const {
    if (PopupParent_) return PopupParent_->Handle();
    TCustomForm* main = Application->MainForm();
    return main && main != this ? main->Handle() : nullptr;
}

// A form inside a parent window is a child window like any control.
void TCustomForm::CreateParams(TCreateParams& params) {
    TScrollingWinControl::CreateParams(params);
    if (params.Style & WS_CHILD) return;
    windowStyle(params.Style, params.ExStyle);
    params.WndParent = ownerWindow();
}

void TCustomForm::CreateWnd() {
    TScrollingWinControl::CreateWnd();
    if (!Menu_) return;
    ::SetMenu(Handle(), Menu_->Handle());
    Menu_->SetWindowHandle(Handle());
}

// The window would destroy its menu bar with it.
void TCustomForm::DestroyWnd() {
    if (Menu_) {
        ::SetMenu(Handle(), nullptr);
        Menu_->SetWindowHandle(nullptr);
    }
    TScrollingWinControl::DestroyWnd();
}

TRect TCustomForm::ClientRect() const {
    if (HandleAllocated()) return TScrollingWinControl::ClientRect();
    SIZE frame = frameSize();
    return {0, 0, std::max<LONG>(0, Width() - frame.cx), std::max<LONG>(0, Height() - frame.cy)};
}

// Outside a load the system is asked each time: its metrics may change.
SIZE TCustomForm::frameSize() const {
    DWORD style = 0, exStyle = 0;
    windowStyle(style, exStyle);
    bool menu = Menu_ != nullptr;
    if (Loading() && Frame_ && Frame_->Style == style && Frame_->ExStyle == exStyle && Frame_->Menu == menu)
        return Frame_->Size;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, menu, exStyle);
    Frame_ = FrameCache{style, exStyle, menu, {frame.right - frame.left, frame.bottom - frame.top}};
    return Frame_->Size;
}

int TCustomForm::ShowCommand() const {
    switch (WindowState_) {
    case wsMaximized: return SW_SHOWMAXIMIZED;
    case wsMinimized: return SW_SHOWMINIMIZED;
    default: return SW_SHOW;
    }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
    if (value == BorderStyle_) return;
    BorderStyle_ = value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
    if (value == BorderIcons_) return;
    BorderIcons_ = value;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
    if (value == FormStyle_) return;
    FormStyle_ = value;
    if (!HandleAllocated()) return;
    HWND after = value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST;
    HWND handle = Handle();
    callPlatform([&] { return SetWindowPos(handle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); });
}

TWindowState TCustomForm::WindowState() const {
    if (!HandleAllocated() || !Visible()) return WindowState_;
    HWND handle = const_cast<TCustomForm*>(this)->Handle();
    return IsIconic(handle) ? wsMinimized : IsZoomed(handle) ? wsMaximized : wsNormal;
}

void TCustomForm::SetWindowState(TWindowState value) {
    WindowState_ = value;
    if (!HandleAllocated() || !Visible()) return;
    static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
    HWND handle = Handle();
    callPlatform([&] { return ShowWindow(handle, commands[value]); });
}

void TCustomForm::SetMenu(TMainMenu* value) {
    if (value == Menu_) return;
    if (Menu_) {
        RemoveFreeNotification(Menu_);
        Menu_->SetWindowHandle(nullptr);
        if (HandleAllocated()) ::SetMenu(Handle(), nullptr);
    }
    Menu_ = value;
    if (!value) return;
    FreeNotification(value);
    if (!HandleAllocated()) return;
    HWND handle = Handle();
    HMENU bar = value->Handle();
    value->SetWindowHandle(handle);
    callPlatform([&] { return ::SetMenu(handle, bar); });
}

void TCustomForm::SetPopupParent(TCustomForm* value) {
    if (value == PopupParent_) return;
    if (PopupParent_) RemoveFreeNotification(PopupParent_);
    PopupParent_ = value;
    if (value) FreeNotification(value);
    RecreateWnd();
}

// ==== Showing ====

void TCustomForm::SetVisible(bool value) {
    if (value == Visible()) return;
    if (value) {
        HandleNeeded();
        placeOnFirstShow();
        DoShow();
    } else {
        DoHide();
    }
    TScrollingWinControl::SetVisible(value);
}

void TCustomForm::placeOnFirstShow() {
    if (Placed_) return;
    Placed_ = true;
    TRect area{};
    switch (Position_) {
    case poScreenCenter: area = Screen->MonitorFromWindow(Handle()).WorkareaRect; break;
    case poDesktopCenter: area = Screen->DesktopRect(); break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* over = Application->MainForm();
        if (Position_ == poOwnerFormCenter && Owner() && Owner()->InheritsFrom(&TCustomForm::classInfo))
            over = static_cast<TCustomForm*>(Owner());
        area = over && over != this ? over->BoundsRect() : Screen->WorkAreaRect();
        break;
    }
    default: return;
    }
    SetBounds(area.left + (area.right - area.left - Width()) / 2, area.top + (area.bottom - area.top - Height()) / 2,
              Width(), Height());
}

void TCustomForm::Release() {
    HWND handle = Handle();
    PostMessageA(handle, CM_RELEASE, 0, 0);
}

// ==== Closing ====

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) { OnClose(this, action); }

void TCustomForm::Close() {
    if (Modal_) {
        ModalResult_ = mrCancel;
        return;
    }
    TKeepAlive hold(this);
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application->MainForm() == this) Application->Terminate();
    else if (action == caHide) Hide();
    else if (action == caMinimize) SetWindowState(wsMinimized);
    else Release();
}

void TCustomForm::closeModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone) ModalResult_ = mrNone;
    else if (action == caFree) Release();
}

namespace {

struct ModalDisabling {
    HWND modal;
    std::vector<HWND> windows;
};

BOOL CALLBACK disableOtherWindow(HWND window, LPARAM data) {
    guardCallback([&] {
        auto* disabling = reinterpret_cast<ModalDisabling*>(data);
        if (window == disabling->modal || !IsWindowVisible(window) || !IsWindowEnabled(window)) return;
        disabling->windows.push_back(window);
        EnableWindow(window, FALSE);
    });
    return TRUE;
}

}  // namespace

int TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || Modal_) throw EInvalidOperation("Cannot make a visible window modal");
    TKeepAlive hold(this);
    HWND active = GetActiveWindow();
    ModalDisabling disabling{Handle(), {}};
    // Whatever ends the loop, an exception included, undoes the modal state.
    struct EndModal {
        TCustomForm* form;
        ModalDisabling& disabling;
        HWND active;
        ~EndModal() {
            for (HWND window : disabling.windows) EnableWindow(window, TRUE);
            form->Modal_ = false;
            if (!form->IsDestroying()) guardCallback([&] { form->Hide(); });
            if (active && IsWindow(active)) SetActiveWindow(active);
        }
    } end{this, disabling, active};
    callPlatform([&] { return EnumThreadWindows(GetCurrentThreadId(), disableOtherWindow, reinterpret_cast<LPARAM>(&disabling)); });
    Modal_ = true;
    ModalResult_ = mrNone;
    Show();
    while (ModalResult_ == mrNone) {
        if (Application->Terminated()) {
            ModalResult_ = mrCancel;
            break;
        }
        Application->HandleMessage();
        if (Application->Terminated()) ModalResult_ = mrCancel;
        else if (ModalResult_ != mrNone && !IsDestroying()) closeModal();
    }
    return ModalResult_;
}

// ==== Focus and activation ====

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (!SetFocusedControl(control)) return;
    if (Active_ && control->CanFocus()) control->SetFocus();
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
    if (control && GetParentForm(control) != this) return false;
    if (control == ActiveControl_) return true;
    if (ActiveControl_) RemoveFreeNotification(ActiveControl_);
    ActiveControl_ = control;
    if (control) FreeNotification(control);
    return true;
}

void TCustomForm::FocusControl(TWinControl* control) {
    SetActiveControl(control);
    if (control && control->CanFocus()) control->SetFocus();
}

void TCustomForm::SendCancelMode(TControl* control) {
    HWND captured = GetCapture();
    TWinControl* owner = FindControl(captured);
    if (owner && (owner == control || GetParentForm(owner) == this)) ReleaseCapture();
}

// ==== Printing ====

namespace {

// The default printer's device context; nil when there is no printer.
HDC defaultPrinter() {
    DWORD size = 0;
    GetDefaultPrinterA(nullptr, &size);
    if (size == 0) return nullptr;
    std::string name(size, '\0');
    if (!GetDefaultPrinterA(name.data(), &size)) return nullptr;
    return CreateDCA("WINSPOOL", name.c_str(), nullptr, nullptr);
}

}  // namespace

void TCustomForm::Print() {
    HDC printer = defaultPrinter();
    if (!printer) throw EPrinter("There is no default printer currently selected");
    TRect area{0, 0, Width(), Height()};
    HDC screen = GetDC(nullptr);
    HDC image = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right, area.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(image, bitmap);
    PrintWindow(Handle(), image, 0);
    int pageWidth = GetDeviceCaps(printer, HORZRES), pageHeight = GetDeviceCaps(printer, VERTRES);
    double scale = std::min(double(pageWidth) / std::max(1L, area.right), double(pageHeight) / std::max(1L, area.bottom));
    DOCINFOA document{};
    document.cbSize = sizeof document;
    std::string title = Caption().str();
    document.lpszDocName = title.c_str();
    bool printed = StartDocA(printer, &document) > 0 && StartPage(printer) > 0 &&
                   StretchBlt(printer, 0, 0, int(area.right * scale), int(area.bottom * scale), image, 0, 0,
                              area.right, area.bottom, SRCCOPY) &&
                   EndPage(printer) > 0 && EndDoc(printer) > 0;
    SelectObject(image, old);
    DeleteObject(bitmap);
    DeleteDC(image);
    DeleteDC(printer);
    if (!printed) throw EPrinter("Printing failed");
}

void TCustomForm::activated(bool active) {
    Active_ = active;
    if (active) {
        Screen->ActiveForm_ = this;
        OnActivate(this);
    } else {
        OnDeactivate(this);
    }
}

// ==== Messages ====

void TCustomForm::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE: Close(); return;
    case CM_RELEASE: Free(); return;
    case WM_ACTIVATE: activated(LOWORD(message.WParam) != WA_INACTIVE); break;
    case WM_COMMAND:
        if (!message.LParam && HIWORD(message.WParam) <= 1 && Menu_ && Menu_->DispatchCommand(LOWORD(message.WParam)))
            return;
        break;
    case WM_INITMENUPOPUP:
        if (DispatchMenuPopup(reinterpret_cast<HMENU>(message.WParam))) return;
        break;
    case WM_MENUSELECT: DispatchMenuSelect(message.WParam, message.LParam); break;
    case WM_HELP: {
        bool callHelp = true;
        OnHelp(HELP_CONTEXT, static_cast<int32_t>(reinterpret_cast<HELPINFO*>(message.LParam)->dwContextId), callHelp);
        message.Result = TRUE;
        return;
    }
    case CM_DIALOGKEY:
        dialogKey(message);
        if (message.Result) return;
        break;
    }
    TScrollingWinControl::WndProc(message);
}

// Tab moves the focus; Return and Escape go on to the controls (the default
// and cancel buttons answer them).
void TCustomForm::dialogKey(TMessage& message) {
    if (message.WParam != VK_TAB) return;
    TWinControl* next = FindNextControl(FindControl(GetFocus()), GetKeyState(VK_SHIFT) >= 0, true);
    if (!next) return;
    next->SetFocus();
    message.Result = 1;
}

void TCustomForm::PaintWindow(HDC dc) {
    TCanvasPaint paint(Canvas(), dc, this);
    OnPaint(this);
}

TCustomForm* GetParentForm(TControl* control) {
    while (control && control->Parent()) control = control->Parent();
    return control && control->InheritsFrom(&TCustomForm::classInfo) ? static_cast<TCustomForm*>(control) : nullptr;
}

bool HandleFormKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    TWinControl* control = nullptr;
    for (HWND window = msg.hwnd; window && !control; window = GetParent(window)) control = FindControl(window);
    TCustomForm* form = GetParentForm(control);
    if (!form) return false;
    TMessage key{msg.message, msg.wParam, msg.lParam, 0};
    bool handled = false;
    form->OnShortCut(key, handled);
    if (handled) return true;
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_TAB && msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE))
        return false;
    LRESULT code = callPlatform(
        [&] { return SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)); });
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
    if (msg.wParam == VK_TAB && (code & DLGC_WANTTAB)) return false;
    return form->Perform(CM_DIALOGKEY, msg.wParam, msg.lParam) != 0;
}

// ==== TScreen ====

TRect TScreen::DesktopRect() const {
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

TRect TScreen::WorkAreaRect() const {
    RECT area{0, 0, Width(), Height()};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

int TScreen::WorkAreaWidth() const {
    TRect area = WorkAreaRect();
    return area.right - area.left;
}

int TScreen::WorkAreaHeight() const {
    TRect area = WorkAreaRect();
    return area.bottom - area.top;
}

namespace {

TMonitor describeMonitor(HMONITOR handle, int number) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(handle, &info);
    return {handle, number, info.rcMonitor, info.rcWork, (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
}

BOOL CALLBACK collectMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    guardCallback([&] {
        auto* monitors = reinterpret_cast<std::vector<TMonitor>*>(data);
        monitors->push_back(describeMonitor(handle, 0));
    });
    return TRUE;
}

}  // namespace

std::vector<TMonitor> TScreen::Monitors() const {
    std::vector<TMonitor> monitors;
    callPlatform([&] { return EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&monitors)); });
    std::stable_partition(monitors.begin(), monitors.end(), [](const TMonitor& m) { return m.Primary; });
    for (size_t i = 0; i < monitors.size(); ++i) monitors[i].MonitorNum = static_cast<int>(i);
    return monitors;
}

TMonitor TScreen::MonitorFromPoint(TPoint point) const {
    HMONITOR handle = ::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    for (const TMonitor& monitor : Monitors())
        if (monitor.Handle == handle) return monitor;
    return describeMonitor(handle, 0);
}

TMonitor TScreen::MonitorFromWindow(HWND window) const {
    HMONITOR handle = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    for (const TMonitor& monitor : Monitors())
        if (monitor.Handle == handle) return monitor;
    return describeMonitor(handle, 0);
}

TCustomForm* TScreen::Forms(int index) const {
    if (index < 0 || index >= FormCount()) raiseListIndexError(index);
    return Forms_[index];
}

void TScreen::SetCursor(TCursor value) {
    if (value == Cursor_) return;
    Cursor_ = value;
    ::SetCursor(value == crDefault ? LoadCursorA(nullptr, IDC_ARROW) : cursorHandle(value));
}

// ==== Class records ====

namespace {

using namespace published;

const TPropInfo formProperties[] = {
    Left, Top, Width, Height, Align, Anchors,
    SetProperty<&TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons>(
        "BorderIcons", &BorderIconsInfo, setOf(biSystemMenu, biMinimize, biMaximize)),
    EnumProperty<&TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle>("BorderStyle", &FormBorderStyleInfo,
                                                                           bsSizeable),
    Caption, ClientHeight, ClientWidth, Color, Cursor, Enabled, Font,
    EnumProperty<&TCustomForm::FormStyle, &TCustomForm::SetFormStyle>("FormStyle", &FormStyleInfo, fsNormal),
    Hint,
    ClassProperty<&TCustomForm::Menu, &TCustomForm::SetMenu>("Menu", &TMainMenu::classInfo),
    ParentFont, PopupMenu,
    EnumProperty<&TCustomForm::Position, &TCustomForm::SetPosition>("Position", &PositionInfo, poDesigned),
    ShowHint, Visible,
    EnumProperty<&TCustomForm::WindowState, &TCustomForm::SetWindowState>("WindowState", &WindowStateInfo, wsNormal),
    MethodProperty<&TCustomForm::OnActivate, &TCustomForm::OnActivate>("OnActivate", &NotifyEventType),
    OnCanResize, OnClick,
    MethodProperty<&TCustomForm::OnClose, &TCustomForm::OnClose>("OnClose", &CloseEventType),
    MethodProperty<&TCustomForm::OnCloseQuery, &TCustomForm::OnCloseQuery>("OnCloseQuery", &CloseQueryEventType),
    OnConstrainedResize, OnContextPopup,
    MethodProperty<&TCustomForm::OnCreate, &TCustomForm::OnCreate>("OnCreate", &NotifyEventType),
    OnDblClick,
    MethodProperty<&TCustomForm::OnDeactivate, &TCustomForm::OnDeactivate>("OnDeactivate", &NotifyEventType),
    MethodProperty<&TCustomForm::OnDestroy, &TCustomForm::OnDestroy>("OnDestroy", &NotifyEventType),
    OnDockDrop, OnDockOver, OnDragDrop, OnDragOver, OnEndDock, OnGetSiteInfo,
    MethodProperty<&TCustomForm::OnHelp, &TCustomForm::OnHelp>("OnHelp", &HelpEventType),
    MethodProperty<&TCustomForm::OnHide, &TCustomForm::OnHide>("OnHide", &NotifyEventType),
    OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnMouseWheel, OnMouseWheelDown,
    OnMouseWheelUp,
    MethodProperty<&TCustomForm::OnPaint, &TCustomForm::OnPaint>("OnPaint", &NotifyEventType),
    OnResize,
    MethodProperty<&TCustomForm::OnShortCut, &TCustomForm::OnShortCut>("OnShortCut", &ShortCutEventType),
    MethodProperty<&TCustomForm::OnShow, &TCustomForm::OnShow>("OnShow", &NotifyEventType),
    OnStartDock, OnUnDock,
};

}  // namespace

const TClassInfo TScrollingWinControl::classInfo = makeClassInfo("TScrollingWinControl", &TWinControl::classInfo);
const TClassInfo TCustomForm::classInfo = makeClassInfo("TCustomForm", &TScrollingWinControl::classInfo);
const TClassInfo TForm::classInfo =
    makeClassInfo("TForm", &TCustomForm::classInfo, formProperties, &componentCreator<TForm>);
const TClassInfo TScreen::classInfo = makeClassInfo("TScreen", &TComponent::classInfo);
