// TWinControl: the window and its life, child controls with alignment and
// anchors, notifications reflected to the child that sent them, keys, focus,
// the mouse handed to windowless children, and painting (also into a device
// context of the caller's, PaintTo).
#include <windowsx.h>

#include <algorithm>

#include "rtl/codepage.h"
#include "ui/actions.h"
#include "ui/controls.h"
#include "ui/forms.h"

const TClassInfo TWinControl::classInfo = makeClassInfo("TWinControl", &TControl::classInfo);

namespace {

TWinControl* asWinControl(TControl* control) {
    return control && control->InheritsFrom(&TWinControl::classInfo) ? static_cast<TWinControl*>(control) : nullptr;
}

bool contains(const TRect& r, TPoint p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace

// ==== Life ====

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { Brush_.SetColor(Color()); }

// The children go first, while this is still a whole window control; a child
// that a dispatch holds goes later, without its window.
TWinControl::~TWinControl() {
    Destroying();
    while (!Controls_.empty()) {
        TControl* child = Controls_.back();
        removeControl(child);
        child->Free();
    }
    DestroyHandle();
}

HWND TWinControl::Handle() {
    if (!Handle_ && Parent_) Parent_->HandleNeeded();
    if (!Handle_) CreateWnd();
    return Handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = Caption();
    params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    HWND parent = Parent_ ? Parent_->Handle() : ParentWindow_;
    if (parent) {
        params.Style |= WS_CHILD;
        if (Visible()) params.Style |= WS_VISIBLE;
    }
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (TabStop_) params.Style |= WS_TABSTOP;
    params.WndParent = parent;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WinClassName = ClassName();
}

// The children's windows are made in child order, so the last one lies on top.
void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    CreateTargetWindow(this, params, DefWndProc_);
    Perform(CM_WINDOWCREATED);
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
    for (TControl* child : Controls_)
        if (TWinControl* window = asWinControl(child); window && !window->Handle_) window->CreateWnd();
    updateBoundsFromWindow();
}

// The children's windows go first, each through its own DestroyWnd, so that
// every child keeps what its window held (items, text) for the next window.
void TWinControl::DestroyHandle() {
    if (!Handle_) return;
    for (TControl* child : Controls_)
        if (TWinControl* window = asWinControl(child)) window->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    HWND handle = Handle_;
    Handle_ = nullptr;
    DestroyTargetWindow(handle);
}

// The children's windows go with this one; CreateWnd makes them again.
void TWinControl::RecreateWnd() {
    if (!Handle_) return;
    DestroyHandle();
    CreateWnd();
}

void TWinControl::SetParentWindow(HWND value) {
    if (value == ParentWindow_) return;
    ParentWindow_ = value;
    RecreateWnd();
}

bool TWinControl::Showing() const { return Handle_ && IsWindowVisible(Handle_); }

void TWinControl::WindowMessage(TMessage& message) {
    TKeepAlive hold(this);
    WindowProc(message);
    if (message.Msg == WM_NCDESTROY) Handle_ = nullptr;
}

void TWinControl::DefaultHandler(TMessage& message) {
    message.Result =
        Handle_ ? CallWindowProcA(DefWndProc_, Handle_, message.Msg, message.WParam, message.LParam) : 0;
}

// ==== Children ====

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    TControl::GetChildren(proc, root);
    for (TControl* child : Controls_)
        if (child->Owner() == root || !child->Owner()) proc(child);
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount()) raiseListIndexError(index);
    return Controls_[index];
}

void TWinControl::insertControl(TControl* control) {
    control->Parent_ = this;
    Controls_.push_back(control);
    if (TWinControl* window = asWinControl(control)) {
        TabList_.push_back(window);
        window->DestroyHandle();
        if (Handle_) window->CreateWnd();
    } else {
        control->Invalidate();
    }
    if (control->ParentColor_) control->takeParentColor();
    if (control->ParentFont_) control->takeParentFont();
    if (control->ParentShowHint_) control->ShowHint_ = ShowHint();
    control->RememberAnchors();
    if (control->Align() != alNone) Realign();
    ControlListChanged(control, true);
}

void TWinControl::removeControl(TControl* control) {
    if (control == CaptureControl_) CaptureControl_ = nullptr;
    if (!control->InheritsFrom(&TWinControl::classInfo)) control->Invalidate();
    Controls_.erase(std::find(Controls_.begin(), Controls_.end(), control));
    if (TWinControl* window = asWinControl(control)) {
        TabList_.erase(std::find(TabList_.begin(), TabList_.end(), window));
        window->DestroyHandle();
    }
    control->Parent_ = nullptr;
    if (control->Align() != alNone) Realign();
    ControlListChanged(control, false);
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (; control; control = control->Parent_)
        if (control == this) return true;
    return false;
}

// Windowed children lie above the windowless ones; each group is searched
// from the top.
TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) const {
    for (bool windowed : {true, false}) {
        if (windowed && !allowWinControls) continue;
        for (auto it = Controls_.rbegin(); it != Controls_.rend(); ++it) {
            TControl* child = *it;
            if (child->isWindowed() != windowed || !child->Visible()) continue;
            if (!allowDisabled && !child->Enabled()) continue;
            if (contains(child->BoundsRect(), pos)) return child;
        }
    }
    return nullptr;
}

TControl* TWinControl::FindChildControl(std::string_view name) const {
    for (TControl* child : Controls_)
        if (SameName(child->Name(), name)) return child;
    return nullptr;
}

void TWinControl::FlipChildren(bool allLevels) {
    int width = ClientWidth();
    DisableAlign();
    for (TControl* child : Controls_) {
        if (child->Align() == alLeft) child->SetAlign(alRight);
        else if (child->Align() == alRight) child->SetAlign(alLeft);
        child->SetLeft(width - child->Left() - child->Width());
        if (TWinControl* window = asWinControl(child); window && allLevels) window->FlipChildren(true);
    }
    EnableAlign();
}

void TWinControl::ScaleBy(int multiplier, int divider) {
    if (divider == 0) return;
    DisableAlign();
    for (TControl* child : Controls_) {
        child->SetBounds(MulDiv(child->Left(), multiplier, divider), MulDiv(child->Top(), multiplier, divider),
                         MulDiv(child->Width(), multiplier, divider), MulDiv(child->Height(), multiplier, divider));
        if (TWinControl* window = asWinControl(child)) window->ScaleBy(multiplier, divider);
    }
    EnableAlign();
}

void TWinControl::ScrollBy(int deltaX, int deltaY) {
    DisableAlign();
    for (TControl* child : Controls_)
        child->SetBounds(child->Left() + deltaX, child->Top() + deltaY, child->Width(), child->Height());
    EnableAlign();
}

// ==== Alignment ====

// An EnableAlign without its DisableAlign is ignored.
void TWinControl::EnableAlign() {
    if (AlignDisabled_ > 0 && --AlignDisabled_ == 0) Realign();
}

void TWinControl::Realign() {
    if (AlignDisabled_ || Aligning_ || IsDestroying()) return;
    TRect rect = ClientRect();
    Aligning_ = true;
    try {
        AlignControls(rect);
    } catch (...) {
        Aligning_ = false;
        throw;
    }
    Aligning_ = false;
}

// Aligned children take the edges in the order top, bottom, left, right, each
// group by position; the client-aligned ones take what is left. Anchored
// children keep their distances to the anchored edges from when their bounds
// were set.
void TWinControl::AlignControls(TRect& rect) {
    static const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign align : order) {
        std::vector<TControl*> group;
        for (TControl* child : Controls_)
            if (child->Align() == align && child->Visible()) group.push_back(child);
        std::stable_sort(group.begin(), group.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop: return a->Top() < b->Top();
            case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
            case alLeft: return a->Left() < b->Left();
            case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
            default: return false;
            }
        });
        for (TControl* child : group) {
            int width = rect.right - rect.left, height = rect.bottom - rect.top;
            switch (align) {
            case alTop:
                child->SetBounds(rect.left, rect.top, width, child->Height());
                rect.top += child->Height();
                break;
            case alBottom:
                child->SetBounds(rect.left, rect.bottom - child->Height(), width, child->Height());
                rect.bottom -= child->Height();
                break;
            case alLeft:
                child->SetBounds(rect.left, rect.top, child->Width(), height);
                rect.left += child->Width();
                break;
            case alRight:
                child->SetBounds(rect.right - child->Width(), rect.top, child->Width(), height);
                rect.right -= child->Width();
                break;
            default: child->SetBounds(rect.left, rect.top, width, height); break;
            }
        }
    }
    SIZE client{ClientWidth(), ClientHeight()};
    for (TControl* child : Controls_) {
        if (child->Align() != alNone || child->Anchors() == setOf(akLeft, akTop)) continue;
        if (child->AnchorParentSize_.cx == 0 && child->AnchorParentSize_.cy == 0) {
            child->AnchorBounds_ = child->BoundsRect();
            child->AnchorParentSize_ = client;
            continue;
        }
        auto place = [](bool nearEdge, bool farEdge, int delta, LONG& start, LONG& end) {
            if (farEdge && nearEdge) end += delta;
            else if (farEdge) start += delta, end += delta;
            else if (!nearEdge) start += delta / 2, end += delta / 2;
        };
        TRect b = child->AnchorBounds_;
        TAnchors anchors = child->Anchors();
        place(inSet(anchors, akLeft), inSet(anchors, akRight), client.cx - child->AnchorParentSize_.cx, b.left, b.right);
        place(inSet(anchors, akTop), inSet(anchors, akBottom), client.cy - child->AnchorParentSize_.cy, b.top, b.bottom);
        child->SetBounds(b.left, b.top, b.right - b.left, b.bottom - b.top);
    }
}

// ==== Bounds and visibility ====

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (!checkNewSize(width, height)) return;
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    if (Handle_) {
        callPlatform([&] {
            return SetWindowPos(Handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        });
        updateBoundsFromWindow();
    } else {
        bool sized = width != Width() || height != Height();
        UpdateBoundsFields(left, top, width, height);
        if (sized) {
            Realign();
            Resize();
        }
    }
    if (Parent_ && Align() != alNone) Parent_->Realign();
}

// The window says where it is (the system may have adjusted a request).
void TWinControl::updateBoundsFromWindow() {
    if (!Handle_ || IsIconic(Handle_)) return;
    RECT r;
    GetWindowRect(Handle_, &r);
    if (GetWindowLongPtrA(Handle_, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(Handle_), reinterpret_cast<POINT*>(&r), 2);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (r.left == Left() && r.top == Top() && width == Width() && height == Height()) return;
    bool sized = width != Width() || height != Height();
    UpdateBoundsFields(r.left, r.top, width, height);
    if (sized) {
        Realign();
        Resize();
    }
}

TRect TWinControl::ClientRect() const {
    if (!Handle_) return TControl::ClientRect();
    RECT r;
    GetClientRect(Handle_, &r);
    return r;
}

TPoint TWinControl::ClientOrigin() const {
    if (!Handle_) return TControl::ClientOrigin();
    POINT origin{0, 0};
    ::ClientToScreen(Handle_, &origin);
    return origin;
}

void TWinControl::SetVisible(bool value) {
    if (value == Visible()) return;
    Visible_ = value;
    if (value && !Parent_) HandleNeeded();
    if (Handle_) callPlatform([&] { return ShowWindow(Handle_, value ? ShowCommand() : SW_HIDE); });
    VisibleChanged();
}

void TWinControl::SetEnabled(bool value) {
    if (value == Enabled()) return;
    Enabled_ = value;
    if (Handle_) callPlatform([&] { return EnableWindow(Handle_, value); });
    EnabledChanged();
}

void TWinControl::setWindowPos(HWND after, UINT flags) {
    if (!Handle_) return;
    callPlatform([&] {
        return SetWindowPos(Handle_, after, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    });
}

void TWinControl::Invalidate() {
    if (Handle_) InvalidateRect(Handle_, nullptr, TRUE);
}

void TWinControl::Update() {
    if (Handle_) callPlatform([&] { return UpdateWindow(Handle_); });
}

// ==== Focus and tab order ====

bool TWinControl::CanFocus() const {
    for (const TWinControl* c = this; c; c = c->Parent_)
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const { return Handle_ && GetFocus() == Handle_; }

void TWinControl::SetFocus() {
    HWND handle = Handle();
    callPlatform([&] { return ::SetFocus(handle); });
}

int TWinControl::TabOrder() const {
    if (!Parent_) return -1;
    const auto& list = Parent_->TabList_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int value) {
    if (!Parent_) return;
    auto& list = Parent_->TabList_;
    list.erase(std::find(list.begin(), list.end(), this));
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

// The tab order runs through the windowed descendants depth first, each
// container's children in their tab order.
TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop) const {
    std::vector<TWinControl*> order;
    auto collect = [&order](const TWinControl* container, auto&& self) -> void {
        for (TWinControl* child : container->TabList_) {
            order.push_back(child);
            self(child, self);
        }
    };
    collect(this, collect);
    if (order.empty()) return nullptr;
    int count = static_cast<int>(order.size());
    int start = static_cast<int>(std::find(order.begin(), order.end(), current) - order.begin());
    if (start == count) start = goForward ? count - 1 : 0;
    for (int step = 1; step <= count; ++step) {
        TWinControl* candidate = order[((goForward ? start + step : start - step) % count + count) % count];
        if (candidate == current && step < count) continue;
        if ((!checkTabStop || candidate->TabStop_) && candidate->CanFocus() && candidate->HandleAllocated())
            return candidate;
    }
    return nullptr;
}

// ==== Messages ====

void TWinControl::DeferRedraw() {
    if (RedrawDeferred_ || !Handle_ || !IsWindowVisible(Handle_)) return;
    RedrawDeferred_ = true;
    SendMessageA(Handle_, WM_SETREDRAW, FALSE, 0);
    PostMessageA(Handle_, CM_RESUMEREDRAW, 0, 0);
}

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CM_RESUMEREDRAW:
        RedrawDeferred_ = false;
        SendMessageA(Handle_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(Handle_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        return;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (message.LParam) return reflect(message, reinterpret_cast<HWND>(message.LParam));
        break;
    case WM_NOTIFY: return reflect(message, reinterpret_cast<NMHDR*>(message.LParam)->hwndFrom);
    case WM_DRAWITEM: return reflect(message, reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam)->hwndItem);
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return reflect(message, reinterpret_cast<HWND>(message.LParam));
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX: {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        SetBkColor(dc, ColorToRGB(Color()));
        message.Result = reinterpret_cast<LRESULT>(Brush_.Handle());
        return;
    }
    case WM_ERASEBKGND:
        if (!(ControlStyle_ & csCustomPaint)) break;
        {
            TRect client = ClientRect();
            FillRect(reinterpret_cast<HDC>(message.WParam), &client, Brush_.Handle());
        }
        message.Result = 1;
        return;
    case WM_SETFOCUS:
        DefaultHandler(message);
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->SetFocusedControl(this);
        DoEnter();
        return;
    case WM_KILLFOCUS:
        DefaultHandler(message);
        DoExit();
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(message.WParam);
        bool down = message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN;
        if (down) KeyDown(key, keyboardShift());
        else KeyUp(key, keyboardShift());
        if (!key) return;
        message.WParam = key;
        break;
    }
    case WM_CHAR: return wmChar(message);
    case WM_MOUSEWHEEL: {
        TPoint screen{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        if (DoMouseWheel(shiftFromMouseKeys(GET_KEYSTATE_WPARAM(message.WParam)),
                         GET_WHEEL_DELTA_WPARAM(message.WParam), screen)) {
            message.Result = 1;
            return;
        }
        break;
    }
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(message);
        updateBoundsFromWindow();
        return;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        bool windowless = std::any_of(Controls_.begin(), Controls_.end(), [](TControl* c) { return !c->isWindowed(); });
        if (!(ControlStyle_ & csCustomPaint) && !windowless) break;
        PaintHandler(message);
        return;
    }
    case WM_SETCURSOR:
        if (LOWORD(message.LParam) == HTCLIENT && reinterpret_cast<HWND>(message.WParam) == Handle_) {
            POINT p;
            GetCursorPos(&p);
            TControl* under = ControlAtPos(ScreenToClient(p), false);
            TCursor shape = Screen->Cursor() != crDefault ? Screen->Cursor() : (under ? under : this)->Cursor();
            if (HCURSOR cursor = cursorHandle(shape)) {
                ::SetCursor(cursor);
                message.Result = 1;
                return;
            }
        }
        break;
    case WM_CONTEXTMENU: {
        TPoint screen{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        if (screen.x != -1 || screen.y != -1)
            if (TControl* child = ControlAtPos(ScreenToClient(screen), false))
                if ((message.Result = child->Perform(WM_CONTEXTMENU, message.WParam, message.LParam))) return;
        break;
    }
    case CM_DIALOGKEY:
        for (size_t i = 0; i < Controls_.size(); ++i)
            if (Controls_[i]->isWindowed() &&
                (message.Result = Controls_[i]->Perform(CM_DIALOGKEY, message.WParam, message.LParam)))
                return;
        break;
    case WM_MOUSELEAVE:
        if (MouseControl_ == this || (MouseControl_ && MouseControl_->Parent_ == this && !MouseControl_->isWindowed()))
            trackMouseControl(nullptr);
        break;
    }
    if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MBUTTONDBLCLK && routeMouse(message)) return;
    TControl::WndProc(message);
}

// A double-byte character comes as two WM_CHAR messages, its lead byte first,
// or as one with the lead byte in the high byte. Each byte is a key press of
// its own, which may change or cancel it; the lead byte is held until its
// trail byte has been pressed, and the character then goes to the window
// whole, in its wide form: an ANSI control procedure may take each byte as a
// character of its own. A character with a cancelled byte is dropped whole.
void TWinControl::wmChar(TMessage& message) {
    auto code = static_cast<unsigned>(LOWORD(message.WParam));
    message.Result = 0;
    if (code > 0xFF) pressCharByte(static_cast<unsigned char>(code >> 8), message);
    pressCharByte(static_cast<unsigned char>(code), message);
}

void TWinControl::pressCharByte(unsigned char byte, TMessage& message) {
    char key = static_cast<char>(byte);
    KeyPress(key);
    if (!LeadPending_ && isLeadByte(byte)) {
        LeadPending_ = true;
        PendingLead_ = key;
        return;
    }
    // Below 0x40 no trail byte: the held lead byte was a broken character.
    bool pair = LeadPending_ && byte >= 0x40;
    LeadPending_ = false;
    if (!key || (pair && !PendingLead_)) return;
    if (!pair) {
        TMessage single{WM_CHAR, static_cast<unsigned char>(key), message.LParam, 0};
        DefaultHandler(single);
        message.Result = single.Result;
        return;
    }
    const char bytes[] = {PendingLead_, key};
    wchar_t wide[2];
    int count = MultiByteToWideChar(CP_ACP, 0, bytes, 2, wide, 2);
    for (int i = 0; i < count && Handle_; ++i) message.Result = DefaultCharW(wide[i], message.LParam);
}

LRESULT TWinControl::DefaultCharW(wchar_t character, LPARAM lParam) {
    return CallDefaultProcW(Handle_, WM_CHAR, character, lParam);
}

// A notification goes back to the child window that sent it, as CN_BASE plus
// the message, so each control handles its own.
void TWinControl::reflect(TMessage& message, HWND child) {
    TWinControl* control = FindControl(child);
    if (control && control != this) {
        message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
        return;
    }
    TControl::WndProc(message);
}

// Mouse messages over a windowless child (or while one holds the mouse) go to
// that child in its own coordinates. Every move also settles which control is
// under the mouse.
bool TWinControl::routeMouse(TMessage& message) {
    TPoint p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    TControl* target = CaptureControl_ ? CaptureControl_ : ControlAtPos(p, false);
    if (message.Msg == WM_MOUSEMOVE) trackMouseControl(target ? target : this);
    if (!target) return false;
    bool down = message.Msg == WM_LBUTTONDOWN || message.Msg == WM_RBUTTONDOWN || message.Msg == WM_MBUTTONDOWN ||
                message.Msg == WM_LBUTTONDBLCLK || message.Msg == WM_RBUTTONDBLCLK || message.Msg == WM_MBUTTONDBLCLK;
    bool up = message.Msg == WM_LBUTTONUP || message.Msg == WM_RBUTTONUP || message.Msg == WM_MBUTTONUP;
    if (down && (target->ControlStyle() & csCaptureMouse)) {
        CaptureControl_ = target;
        SetCapture(Handle_);
    }
    TPoint local{p.x - target->Left(), p.y - target->Top()};
    message.Result = target->Perform(message.Msg, message.WParam, MAKELPARAM(local.x, local.y));
    if (up && !(message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && CaptureControl_) {
        CaptureControl_ = nullptr;
        if (GetCapture() == Handle_) ReleaseCapture();
    }
    return true;
}

// Sends the leave and enter messages and tells the application the hint of
// the control now under the mouse (its own, or its nearest parent's).
void TWinControl::trackMouseControl(TControl* control) {
    if (control == MouseControl_) return;
    TControl* previous = MouseControl_;
    MouseControl_ = control;
    if (control && Handle_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle_, 0};
        TrackMouseEvent(&track);
    }
    if (previous) previous->Perform(CM_MOUSELEAVE);
    if (control && MouseControl_ == control) control->Perform(CM_MOUSEENTER);
    TControl* source = MouseControl_;
    while (source && source->Hint().empty()) source = source->Parent_;
    Application->SetHint(source ? ClientHint(source->Hint(), source->Action()) : AnsiString());
}

void TWinControl::ColorChanged() {
    Brush_.SetColor(Color());
    for (TControl* child : Controls_)
        if (child->ParentColor_) child->takeParentColor();
    Invalidate();
}

void TWinControl::FontChanged() {
    if (Handle_) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
    for (TControl* child : Controls_)
        if (child->ParentFont_) child->takeParentFont();
    Invalidate();
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) { OnKeyDown(this, key, shift); }
void TWinControl::KeyUp(WORD& key, TShiftState shift) { OnKeyUp(this, key, shift); }
void TWinControl::KeyPress(char& key) { OnKeyPress(this, key); }
void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }

bool TWinControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    bool handled = false;
    OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    if (handled) return true;
    if (wheelDelta < 0) OnMouseWheelDown(this, shift, mousePos, handled);
    else OnMouseWheelUp(this, shift, mousePos, handled);
    return handled;
}

// ==== Painting ====

void TWinControl::PaintHandler(TMessage& message) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    PAINTSTRUCT paint;
    if (!dc) dc = BeginPaint(Handle_, &paint);
    struct EndPaintOnExit {
        HWND handle;
        PAINTSTRUCT* paint;
        ~EndPaintOnExit() { if (paint) EndPaint(handle, paint); }
    } end{Handle_, message.WParam ? nullptr : &paint};
    PaintWindow(dc);
    PaintControls(dc);
    message.Result = 0;
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(paint);
}

TCanvas* TWinControl::Canvas() {
    if (!Canvas_) Canvas_ = std::make_unique<TCanvas>();
    return Canvas_.get();
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* child : Controls_) {
        if (child->isWindowed() || !child->Visible()) continue;
        TRect bounds = child->BoundsRect();
        if (!RectVisible(dc, &bounds)) continue;
        int saved = SaveDC(dc);
        OffsetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
        IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
        child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
    }
}

// The frame, the client area with its windowless children, then each windowed
// child at its place, in child order.
void TWinControl::PaintTo(HDC dc, int x, int y) {
    HWND handle = Handle();
    int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, x, y, nullptr);
    IntersectClipRect(dc, 0, 0, Width(), Height());
    Perform(WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
    RECT window;
    GetWindowRect(handle, &window);
    TPoint client = ClientOrigin();
    OffsetViewportOrgEx(dc, client.x - window.left, client.y - window.top, nullptr);
    IntersectClipRect(dc, 0, 0, ClientWidth(), ClientHeight());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    for (TControl* child : Controls_)
        if (TWinControl* window = asWinControl(child); window && window->Visible())
            window->PaintTo(dc, window->Left(), window->Top());
    RestoreDC(dc, saved);
}
