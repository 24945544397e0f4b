// TControl and TGraphicControl: bounds and their checks, alignment data,
// caption, visibility, the mouse and context-menu handling shared by windowed
// and windowless controls, the hook chain, and the type tables of ui/controls.h.
#include "ui/controls.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>

#include "ui/menus.h"

// ==== Type tables ====

namespace {

const char* const alignNames[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
const char* const anchorKindNames[] = {"akLeft", "akTop", "akRight", "akBottom"};
const TEnumInfo anchorKindInfo{"TAnchorKind", anchorKindNames, 4};
const char* const mouseButtonNames[] = {"mbLeft", "mbRight", "mbMiddle"};
const char* const shiftNames[] = {"ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble"};
const TEnumInfo shiftElementInfo{"TShiftStateElement", shiftNames, 7};
const char* const dragStateNames[] = {"dsDragEnter", "dsDragLeave", "dsDragMove"};

const TIntegerIdent cursorNames[] = {
    {crDefault, "crDefault"},
    {crNone, "crNone"},
    {crArrow, "crArrow"},
    {crCross, "crCross"},
    {crIBeam, "crIBeam"},
    {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},
    {crSizeNWSE, "crSizeNWSE"},
    {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},
    {crHourGlass, "crHourGlass"},
    {crNo, "crNo"},
    {crAppStart, "crAppStart"},
    {crHelp, "crHelp"},
    {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
};

}  // namespace

const TIntegerIdents CursorIdents{cursorNames, static_cast<int>(std::size(cursorNames))};
const TEnumInfo AlignInfo{"TAlign", alignNames, 6};
const TSetInfo AnchorsInfo{"TAnchors", &anchorKindInfo, 1};
const TEnumInfo MouseButtonInfo{"TMouseButton", mouseButtonNames, 3};
const TSetInfo ShiftStateInfo{"TShiftState", &shiftElementInfo, 1};
const TEnumInfo DragStateInfo{"TDragState", dragStateNames, 3};

const TMethodTypeInfo MouseEventType{"TMouseEvent"}, MouseMoveEventType{"TMouseMoveEvent"},
    KeyEventType{"TKeyEvent"}, KeyPressEventType{"TKeyPressEvent"}, ContextPopupEventType{"TContextPopupEvent"},
    CanResizeEventType{"TCanResizeEvent"}, ConstrainedResizeEventType{"TConstrainedResizeEvent"},
    MouseWheelEventType{"TMouseWheelEvent"}, MouseWheelUpDownEventType{"TMouseWheelUpDownEvent"},
    DragDropEventType{"TDragDropEvent"}, DragOverEventType{"TDragOverEvent"}, EndDragEventType{"TEndDragEvent"},
    StartDragEventType{"TStartDragEvent"}, StartDockEventType{"TStartDockEvent"},
    GetSiteInfoEventType{"TGetSiteInfoEvent"}, UnDockEventType{"TUnDockEvent"},
    DockDropEventType{"TDockDropEvent"}, DockOverEventType{"TDockOverEvent"};

TControl* TControl::MouseControl_ = nullptr;

const TClassInfo TControl::classInfo = makeClassInfo("TControl", &TComponent::classInfo);
const TClassInfo TGraphicControl::classInfo = makeClassInfo("TGraphicControl", &TControl::classInfo);

HCURSOR cursorHandle(TCursor cursor) {
    static const struct {
        TCursor cursor;
        LPCSTR id;
    } shapes[] = {
        {crArrow, IDC_ARROW},       {crCross, IDC_CROSS},       {crIBeam, IDC_IBEAM},
        {crSizeNESW, IDC_SIZENESW}, {crSizeNS, IDC_SIZENS},     {crSizeNWSE, IDC_SIZENWSE},
        {crSizeWE, IDC_SIZEWE},     {crUpArrow, IDC_UPARROW},   {crHourGlass, IDC_WAIT},
        {crNo, IDC_NO},             {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},
        {crHandPoint, IDC_HAND},    {crSizeAll, IDC_SIZEALL},
    };
    for (const auto& shape : shapes)
        if (shape.cursor == cursor) return LoadCursorA(nullptr, shape.id);
    return nullptr;
}

TShiftState shiftFromMouseKeys(WPARAM keys) {
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= setOf(ssShift);
    if (keys & MK_CONTROL) shift |= setOf(ssCtrl);
    if (keys & MK_LBUTTON) shift |= setOf(ssLeft);
    if (keys & MK_RBUTTON) shift |= setOf(ssRight);
    if (keys & MK_MBUTTON) shift |= setOf(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) shift |= setOf(ssAlt);
    return shift;
}

TShiftState keyboardShift() {
    static const struct {
        int key;
        TShiftStateElement element;
    } keys[] = {{VK_SHIFT, ssShift}, {VK_MENU, ssAlt}, {VK_CONTROL, ssCtrl},
                {VK_LBUTTON, ssLeft}, {VK_RBUTTON, ssRight}, {VK_MBUTTON, ssMiddle}};
    TShiftState shift = 0;
    for (const auto& k : keys)
        if (GetKeyState(k.key) < 0) shift |= setOf(k.element);
    return shift;
}

// ==== Window hooks ====

TWindowHook::TWindowHook(TControl* control) : Control_(control) {
    if (control) control->Hooks_.push_back(this);
}

TWindowHook::~TWindowHook() {
    if (!Control_) return;
    auto& hooks = Control_->Hooks_;
    hooks.erase(std::find(hooks.begin(), hooks.end(), this));
}

// A hook removed while it runs passes straight to the control.
void TWindowHook::Inherited(TMessage& message) {
    if (!Control_) return;
    auto& hooks = Control_->Hooks_;
    auto self = std::find(hooks.begin(), hooks.end(), this);
    if (self != hooks.end() && self != hooks.begin()) (*(self - 1))->HookProc(message);
    else Control_->WndProc(message);
}

// ==== TControl: life and parent ====

TControl::TControl(TComponent* owner) : TComponent(owner), Font_(std::make_unique<TFont>()) {
    Font_->OnChange = TNotifyEvent::bind<&TControl::fontChanged>(this);
}

TControl::~TControl() {
    Destroying();
    for (TWindowHook* hook : Hooks_) hook->Control_ = nullptr;
    if (MouseControl_ == this) MouseControl_ = nullptr;
    if (Parent_) Parent_->removeControl(this);
}

bool TControl::isWindowed() const { return InheritsFrom(&TWinControl::classInfo); }

TComponent* TControl::GetParentComponent() const { return Parent_; }

void TControl::SetParentComponent(TComponent* parent) {
    if (parent && parent->InheritsFrom(&TWinControl::classInfo)) SetParent(static_cast<TWinControl*>(parent));
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == Parent_) return;
    for (TWinControl* p = parent; p; p = p->Parent_)
        if (p == this) throw EComponentError("A control cannot have itself or a child as its parent");
    if (Parent_) Parent_->removeControl(this);
    if (parent) parent->insertControl(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == PopupMenu_) PopupMenu_ = nullptr;
}

void TControl::SetPopupMenu(TPopupMenu* value) {
    if (value == PopupMenu_) return;
    if (PopupMenu_) RemoveFreeNotification(PopupMenu_);
    PopupMenu_ = value;
    if (value) FreeNotification(value);
}

// ==== TControl: bounds ====

// OnCanResize may refuse; the constraints then clamp the size (a maximum of
// 0 is no maximum).
bool TControl::checkNewSize(int& width, int& height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (!CanResize(width, height)) return false;
    int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
    ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
    if (maxWidth > 0) width = std::min(width, maxWidth);
    if (maxHeight > 0) height = std::min(height, maxHeight);
    width = std::max(width, minWidth);
    height = std::max(height, minHeight);
    return true;
}

bool TControl::CanResize(int& newWidth, int& newHeight) {
    bool resize = true;
    OnCanResize(this, newWidth, newHeight, resize);
    return resize;
}

void TControl::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
    OnConstrainedResize(this, minWidth, minHeight, maxWidth, maxHeight);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (!checkNewSize(width, height)) return;
    if (left == Left_ && top == Top_ && width == Width_ && height == Height_) return;
    bool sized = width != Width_ || height != Height_;
    Invalidate();
    UpdateBoundsFields(left, top, width, height);
    Invalidate();
    if (sized) Resize();
    if (Parent_ && Align_ != alNone) Parent_->Realign();
}

void TControl::UpdateBoundsFields(int left, int top, int width, int height) {
    Left_ = left;
    Top_ = top;
    Width_ = width;
    Height_ = height;
    RememberAnchors();
}

void TControl::RememberAnchors() {
    if (!Parent_ || Parent_->Aligning_) return;
    AnchorBounds_ = BoundsRect();
    AnchorParentSize_ = {Parent_->ClientWidth(), Parent_->ClientHeight()};
}

TRect TControl::ClientRect() const { return {0, 0, Width_, Height_}; }
int TControl::ClientWidth() const { return ClientRect().right; }
int TControl::ClientHeight() const { return ClientRect().bottom; }
void TControl::SetClientWidth(int value) { SetWidth(Width_ - ClientWidth() + value); }
void TControl::SetClientHeight(int value) { SetHeight(Height_ - ClientHeight() + value); }

TPoint TControl::ClientOrigin() const {
    if (!Parent_) return {Left_, Top_};
    TPoint origin = Parent_->ClientOrigin();
    return {origin.x + Left_, origin.y + Top_};
}

TPoint TControl::ClientToScreen(TPoint point) const {
    TPoint origin = ClientOrigin();
    return {point.x + origin.x, point.y + origin.y};
}

TPoint TControl::ScreenToClient(TPoint point) const {
    TPoint origin = ClientOrigin();
    return {point.x - origin.x, point.y - origin.y};
}

void TControl::SetAlign(TAlign value) {
    if (value == Align_) return;
    Align_ = value;
    if (Parent_) Parent_->Realign();
}

void TControl::SetAnchors(TAnchors value) {
    if (value == Anchors_) return;
    Anchors_ = value;
    RememberAnchors();
}

void TControl::Resize() { OnResize(this); }

// ==== TControl: appearance ====

void TControl::SetCaption(const AnsiString& value) {
    if (value == Caption_) return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

void TControl::SetColor(TColor value) {
    ParentColor_ = false;
    if (value == Color_) return;
    Color_ = value;
    ColorChanged();
}

void TControl::SetParentColor(bool value) {
    if (value == ParentColor_) return;
    ParentColor_ = value;
    if (value) takeParentColor();
}

void TControl::takeParentColor() {
    if (!Parent_ || Color_ == Parent_->Color_) return;
    Color_ = Parent_->Color_;
    ColorChanged();
}

void TControl::SetParentFont(bool value) {
    if (value == ParentFont_) return;
    ParentFont_ = value;
    if (value) takeParentFont();
}

void TControl::takeParentFont() {
    if (!Parent_) return;
    InheritingFont_ = true;
    try {
        Font_->Assign(Parent_->Font());
    } catch (...) {
        InheritingFont_ = false;
        throw;
    }
    InheritingFont_ = false;
}

void TControl::fontChanged(TObject*) {
    if (!InheritingFont_) ParentFont_ = false;
    FontChanged();
}

void TControl::SetVisible(bool value) {
    if (value == Visible_) return;
    Visible_ = value;
    VisibleChanged();
}

void TControl::VisibleChanged() {
    if (!Parent_) return;
    if (!isWindowed()) {
        TRect bounds = BoundsRect();
        if (Parent_->HandleAllocated()) InvalidateRect(Parent_->Handle(), &bounds, TRUE);
    }
    if (Align_ != alNone) Parent_->Realign();
}

bool TControl::Showing() const { return Visible_ && Parent_ && Parent_->Showing(); }

void TControl::SetEnabled(bool value) {
    if (value == Enabled_) return;
    Enabled_ = value;
    EnabledChanged();
}

void TControl::SetShowHint(bool value) {
    ShowHint_ = value;
    ParentShowHint_ = false;
}

void TControl::SetParentShowHint(bool value) {
    ParentShowHint_ = value;
    if (value && Parent_) ShowHint_ = Parent_->ShowHint();
}

// ==== TControl: operations ====

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TKeepAlive hold(this);
    TMessage message{msg, wParam, lParam, 0};
    WindowProc(message);
    return message.Result;
}

void TControl::WindowProc(TMessage& message) {
    if (Hooks_.empty()) WndProc(message);
    else Hooks_.back()->HookProc(message);
}

void TControl::BringToFront() {
    if (!Parent_) return;
    auto& siblings = Parent_->Controls_;
    siblings.erase(std::find(siblings.begin(), siblings.end(), this));
    siblings.push_back(this);
    if (isWindowed()) static_cast<TWinControl*>(this)->setWindowPos(HWND_TOP, 0);
    else Invalidate();
}

void TControl::SendToBack() {
    if (!Parent_) return;
    auto& siblings = Parent_->Controls_;
    siblings.erase(std::find(siblings.begin(), siblings.end(), this));
    siblings.insert(siblings.begin(), this);
    if (isWindowed()) static_cast<TWinControl*>(this)->setWindowPos(HWND_BOTTOM, 0);
    else Invalidate();
}

void TControl::Invalidate() {}
void TControl::Update() {}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Click() {
    TKeepAlive hold(this);
    OnClick(this);
}

void TControl::DblClick() {
    TKeepAlive hold(this);
    OnDblClick(this);
}

// ==== TControl: messages ====

void TControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONDOWN: wmMouseButton(message, mbLeft, true, false); return;
    case WM_LBUTTONDBLCLK: wmMouseButton(message, mbLeft, true, true); return;
    case WM_LBUTTONUP: wmMouseButton(message, mbLeft, false, false); return;
    case WM_RBUTTONDOWN: wmMouseButton(message, mbRight, true, false); return;
    case WM_RBUTTONDBLCLK: wmMouseButton(message, mbRight, true, true); return;
    case WM_RBUTTONUP: wmMouseButton(message, mbRight, false, false); return;
    case WM_MBUTTONDOWN: wmMouseButton(message, mbMiddle, true, false); return;
    case WM_MBUTTONDBLCLK: wmMouseButton(message, mbMiddle, true, true); return;
    case WM_MBUTTONUP: wmMouseButton(message, mbMiddle, false, false); return;
    case WM_MOUSEMOVE:
        MouseMove(shiftFromMouseKeys(message.WParam), GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
        break;
    case WM_CONTEXTMENU:
        wmContextMenu(message);
        if (message.Result) return;
        break;
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(message.LParam);
        Caption_ = text ? text : "";
        DefaultHandler(message);
        if (!isWindowed()) message.Result = TRUE;
        TextChanged();
        return;
    }
    case CM_MOUSEENTER: MouseEnter(); return;
    case CM_MOUSELEAVE: MouseLeave(); return;
    }
    DefaultHandler(message);
}

void TControl::DefaultHandler(TMessage& message) { message.Result = 0; }

// A left press and release inside the control is a Click; a double click
// is a DblClick and a press with ssDouble, and starts no Click.
void TControl::wmMouseButton(TMessage& message, TMouseButton button, bool down, bool doubleClick) {
    int x = GET_X_LPARAM(message.LParam), y = GET_Y_LPARAM(message.LParam);
    TShiftState shift = shiftFromMouseKeys(message.WParam);
    bool captures = isWindowed() && (ControlStyle_ & csCaptureMouse);
    if (down) {
        if (captures) SetCapture(static_cast<TWinControl*>(this)->Handle());
        if (doubleClick) {
            shift |= setOf(ssDouble);
            if (button == mbLeft && (ControlStyle_ & csDoubleClicks)) DblClick();
        } else if (button == mbLeft && (ControlStyle_ & csClickEvents)) {
            Clicking_ = true;
        }
        MouseDown(button, shift, x, y);
    } else {
        bool click = button == mbLeft && Clicking_;
        if (button == mbLeft) Clicking_ = false;
        const WPARAM buttons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
        if (captures && !(message.WParam & buttons) && GetCapture() == static_cast<TWinControl*>(this)->Handle())
            ReleaseCapture();
        MouseUp(button, shift, x, y);
        TRect client = ClientRect();
        if (click && x >= client.left && x < client.right && y >= client.top && y < client.bottom) Click();
        if (button == mbRight && !isWindowed() && Parent_) askContextMenu({x, y});
    }
    DefaultHandler(message);
}

// The system makes no context menu message for a windowless control: its
// right release asks the parent, which offers the menu to the control at the
// point, then takes it itself or hands it on to its own parent.
void TControl::askContextMenu(TPoint point) {
    TPoint screen = ClientToScreen(point);
    Parent_->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Parent_->Handle()), MAKELPARAM(screen.x, screen.y));
}

// A context menu asked from the keyboard comes at (-1, -1); the popup then
// opens at the control's top left.
void TControl::wmContextMenu(TMessage& message) {
    TPoint screen{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    bool fromKeyboard = screen.x == -1 && screen.y == -1;
    bool handled = false;
    DoContextPopup(fromKeyboard ? TPoint{-1, -1} : ScreenToClient(screen), handled);
    if (handled) {
        message.Result = 1;
        return;
    }
    if (!PopupMenu_ || !PopupMenu_->AutoPopup()) return;
    if (fromKeyboard) screen = ClientToScreen({0, 0});
    PopupMenu_->SetPopupComponent(this);
    PopupMenu_->Popup(screen.x, screen.y);
    message.Result = 1;
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseUp(this, button, shift, x, y);
}

void TControl::DoContextPopup(TPoint mousePos, bool& handled) { OnContextPopup(this, mousePos, handled); }

// ==== TGraphicControl ====

void TGraphicControl::Invalidate() {
    if (!Parent() || !Parent()->HandleAllocated()) return;
    TRect bounds = BoundsRect();
    InvalidateRect(Parent()->Handle(), &bounds, TRUE);
}

void TGraphicControl::Update() {
    if (Parent()) Parent()->Update();
}

void TGraphicControl::WndProc(TMessage& message) {
    if (message.Msg == WM_PAINT) {
        TCanvasPaint paint(&Canvas_, reinterpret_cast<HDC>(message.WParam), this);
        Paint();
        return;
    }
    TControl::WndProc(message);
}

TCanvasPaint::TCanvasPaint(TCanvas* canvas, HDC dc, const TControl* control) : Canvas_(canvas) {
    canvas->SetHandle(dc);
    canvas->Font()->Assign(control->Font());
    canvas->Brush()->SetColor(control->Color());
}

// ==== Finding controls ====

TWinControl* FindControl(HWND handle) { return dynamic_cast<TWinControl*>(FindWindowTarget(handle)); }

AnsiString windowText(HWND handle) {
    int length = GetWindowTextLengthA(handle);
    if (length <= 0) return AnsiString();
    AnsiString text(static_cast<size_t>(length), '\0');
    text.setLength(static_cast<size_t>(std::max(GetWindowTextA(handle, text.mutableData(), length + 1), 0)));
    return text;
}

// The window under the point may skip disabled windows or not; the descent
// through ControlAtPos finds them when they are wanted, and a disabled one is
// passed over for its parent when they are not.
TControl* FindDragTarget(TPoint screenPos, bool allowDisabled) {
    TWinControl* window = nullptr;
    for (HWND handle = WindowFromPoint(screenPos); handle && !window; handle = GetParent(handle))
        window = FindControl(handle);
    while (window && !allowDisabled && !window->Enabled()) window = window->Parent();
    TControl* found = window;
    while (window) {
        TControl* child = window->ControlAtPos(window->ScreenToClient(screenPos), allowDisabled, true);
        if (!child) break;
        found = child;
        window = child->InheritsFrom(&TWinControl::classInfo) ? static_cast<TWinControl*>(child) : nullptr;
    }
    return found;
}
