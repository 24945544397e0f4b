// The control classes: TControl (bounds, alignment, caption, visibility, the
// mouse and the common events), TGraphicControl (windowless: painted and
// hit-tested by its parent), TWinControl (a real window: focus, keys, child
// controls, reflected notifications) and TWindowHook, the chain through which
// several parties subclass one control. Every message, real or sent with
// Perform, runs through the hooks and then the virtual WndProc.
// The drag-and-drop and docking events are published for scripts to assign;
// this library raises none of them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "rtl/component.h"
#include "ui/graphics.h"
#include "ui/wndproc.h"

class TActionLink;
class TBasicAction;
class TControl;
class TWinControl;
class TPopupMenu;

using TPoint = POINT;
using TRect = RECT;

// ==== Types ====

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
extern const TEnumInfo AlignInfo;

enum TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = uint8_t;
extern const TSetInfo AnchorsInfo;

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
extern const TEnumInfo MouseButtonInfo;

enum TShiftStateElement : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
extern const TSetInfo ShiftStateInfo;
using TShiftState = TSet<TShiftStateElement, ShiftStateInfo>;

enum TDragState : uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
extern const TEnumInfo DragStateInfo;

// A cursor: 0 the class default, negative the built-in shapes.
using TCursor = int16_t;
enum : TCursor {
    crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6, crSizeNS = -7,
    crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crNo = -18, crAppStart = -19,
    crHelp = -20, crHandPoint = -21, crSizeAll = -22,
};
// The cursor names form streams write and read ("crHandPoint").
extern const TIntegerIdents CursorIdents;
// The system cursor of a cursor value (crDefault and crNone give none).
HCURSOR cursorHandle(TCursor cursor);

// The shift state of mouse-message key flags, and of the keyboard now.
TShiftState shiftFromMouseKeys(WPARAM keys);
TShiftState keyboardShift();

// ==== Events ====

using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TEvent<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = TEvent<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent =
    TEvent<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;
using TMouseWheelEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = TEvent<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TDragOverEvent =
    TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = TEvent<void(TObject* Sender, TObject*& DragObject)>;
using TGetSiteInfoEvent =
    TEvent<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect, TPoint MousePos, bool& CanDock)>;
using TUnDockEvent = TEvent<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;

// The identities of the event types (TNotifyEvent's is in rtl/component.h).
// The start-dock, dock-drop and dock-over events share the C++ types of their
// drag counterparts but not their identities.
extern const TMethodTypeInfo MouseEventType, MouseMoveEventType, KeyEventType, KeyPressEventType,
    ContextPopupEventType, CanResizeEventType, ConstrainedResizeEventType, MouseWheelEventType,
    MouseWheelUpDownEventType, DragDropEventType, DragOverEventType, EndDragEventType, StartDragEventType,
    StartDockEventType, GetSiteInfoEventType, UnDockEventType, DockDropEventType, DockOverEventType;

// ControlStyle bits.
enum : uint32_t {
    csClickEvents = 1,       // a left press and release inside is a Click
    csCaptureMouse = 2,      // the control keeps the mouse while a button is down
    csDoubleClicks = 4,      // a double click is a DblClick
    csAcceptsControls = 8,   // may be the parent of other controls
    csCustomPaint = 16,      // paints itself (PaintWindow) rather than through its window class
};

// ==== Window hooks ====

// One party's subclass of a control's message handling. The hooks of a control
// see each message before it does, the newest first; a hook passes a message
// on with Inherited, or answers it itself. A hook outlives its control safely.
class TWindowHook {
public:
    explicit TWindowHook(TControl* control);
    virtual ~TWindowHook();
    TWindowHook(const TWindowHook&) = delete;
    TWindowHook& operator=(const TWindowHook&) = delete;

    TControl* Control() const { return Control_; }

protected:
    virtual void HookProc(TMessage& message) { Inherited(message); }
    // The next older hook, or the control's own handling.
    void Inherited(TMessage& message);

private:
    friend class TControl;
    TControl* Control_;
};

// ==== TControl ====

class TControl : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TControl(TComponent* owner);

    // ---- Parent ----
    TWinControl* Parent() const { return Parent_; }
    virtual void SetParent(TWinControl* parent);
    TComponent* GetParentComponent() const override;
    // A form stream's parent: a window control becomes the parent.
    void SetParentComponent(TComponent* parent) override;
    bool HasParent() const { return Parent_ != nullptr; }

    // ---- Bounds (a top-level window's in screen coordinates, else in the
    // parent's client coordinates) ----
    int Left() const { return Left_; }
    int Top() const { return Top_; }
    int Width() const { return Width_; }
    int Height() const { return Height_; }
    void SetLeft(int value) { SetBounds(value, Top_, Width_, Height_); }
    void SetTop(int value) { SetBounds(Left_, value, Width_, Height_); }
    void SetWidth(int value) { SetBounds(Left_, Top_, value, Height_); }
    void SetHeight(int value) { SetBounds(Left_, Top_, Width_, value); }
    // Asks OnCanResize and OnConstrainedResize, then moves; the parent realigns.
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return {Left_, Top_, Left_ + Width_, Top_ + Height_}; }
    virtual TRect ClientRect() const;
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientWidth(int value);
    void SetClientHeight(int value);
    // The screen position of the client area's origin.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint point) const;
    TPoint ScreenToClient(TPoint point) const;

    TAlign Align() const { return Align_; }
    void SetAlign(TAlign value);
    TAnchors Anchors() const { return Anchors_; }
    void SetAnchors(TAnchors value);

    // ---- Appearance ----
    const AnsiString& Caption() const { return Caption_; }
    void SetCaption(const AnsiString& value);
    // Colour and font; with ParentColor or ParentFont the parent's, following
    // its changes. Setting either ends the inheritance.
    TColor Color() const { return Color_; }
    void SetColor(TColor value);
    bool ParentColor() const { return ParentColor_; }
    void SetParentColor(bool value);
    TFont* Font() const { return Font_.get(); }
    // Copies the font's properties.
    void SetFont(TFont* value) { Font_->Assign(value); }
    bool ParentFont() const { return ParentFont_; }
    void SetParentFont(bool value);
    bool Visible() const { return Visible_; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so is every parent up to a top-level window.
    virtual bool Showing() const;
    bool Enabled() const { return Enabled_; }
    virtual void SetEnabled(bool value);
    TCursor Cursor() const { return Cursor_; }
    void SetCursor(TCursor value) { Cursor_ = value; }
    const AnsiString& Hint() const { return Hint_; }
    void SetHint(const AnsiString& value) { Hint_ = value; }
    bool ShowHint() const { return ShowHint_; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return ParentShowHint_; }
    void SetParentShowHint(bool value);
    TPopupMenu* PopupMenu() const { return PopupMenu_; }
    void SetPopupMenu(TPopupMenu* value);
    uint32_t ControlStyle() const { return ControlStyle_; }

    // ---- Operations ----
    // Sends the message through the hooks and WndProc; the result.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    void BringToFront();
    void SendToBack();
    virtual void Invalidate();
    // Paints what is invalid now.
    virtual void Update();
    void Repaint();
    void Refresh() { Repaint(); }
    // Runs the click handling as a user click does: OnClick, or the action
    // when there is no OnClick.
    virtual void Click();

    // ---- Action ----
    // The action whose state (caption, enabled, hint, visible) the control
    // follows and whose execute step its click runs; nil when none.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* value);
    // The action is new or changed (its link calls): the control copies its state.
    virtual void ActionChange(TBasicAction* action);
    virtual void DblClick();

    // ---- Events ----
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TContextPopupEvent OnContextPopup;
    TCanResizeEvent OnCanResize;
    TConstrainedResizeEvent OnConstrainedResize;
    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TEndDragEvent OnEndDock;
    TEndDragEvent OnEndDrag;
    TStartDragEvent OnStartDock;
    TStartDragEvent OnStartDrag;

protected:
    ~TControl() override;
    void Notification(TComponent* component, TOperation operation) override;
    void FreeDeferred() override { Hide(); }

    // The message entry: the hooks, newest first, then WndProc.
    void WindowProc(TMessage& message);
    virtual void WndProc(TMessage& message);
    // What a message nobody answered gets: nothing for a windowless control,
    // the window class's own procedure for a window.
    virtual void DefaultHandler(TMessage& message);

    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void DoContextPopup(TPoint mousePos, bool& handled);
    virtual bool CanResize(int& newWidth, int& newHeight);
    virtual void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
    virtual void Resize();
    virtual void TextChanged() { Invalidate(); }
    virtual void VisibleChanged();
    virtual void EnabledChanged() { Invalidate(); }
    virtual void ColorChanged() { Invalidate(); }
    virtual void FontChanged() { Invalidate(); }

    // The flag alone, for constructors (forms start hidden).
    void setVisibleFlag(bool value) { Visible_ = value; }
    // Stores new bounds without asking (a window reports where it is).
    void UpdateBoundsFields(int left, int top, int width, int height);
    // The parent's client size when the bounds were last set by the program,
    // which anchoring measures from.
    void RememberAnchors();

    uint32_t ControlStyle_ = csClickEvents | csCaptureMouse | csDoubleClicks;

private:
    friend class TWinControl;
    friend class TWindowHook;
    friend class TControlActionLink;
    void fontChanged(TObject*);
    void takeParentColor();
    void takeParentFont();
    void wmMouseButton(TMessage& message, TMouseButton button, bool down, bool doubleClick);
    void wmContextMenu(TMessage& message);
    void askContextMenu(TPoint point);
    bool checkNewSize(int& width, int& height);
    bool isWindowed() const;

    // The control under the mouse (windowless ones included), for the mouse
    // enter and leave messages and the application's hint.
    static TControl* MouseControl_;

    TWinControl* Parent_ = nullptr;
    int Left_ = 0, Top_ = 0, Width_ = 0, Height_ = 0;
    TRect AnchorBounds_{};
    SIZE AnchorParentSize_{};
    AnsiString Caption_;
    AnsiString Hint_;
    TPopupMenu* PopupMenu_ = nullptr;
    std::unique_ptr<TFont> Font_;
    std::vector<TWindowHook*> Hooks_;
    std::unique_ptr<TActionLink> ActionLink_;  // made with the first action
    TColor Color_ = clBtnFace;
    TCursor Cursor_ = crDefault;
    TAlign Align_ = alNone;
    TAnchors Anchors_ = setOf(akLeft, akTop);
    bool Visible_ = true;
    bool Enabled_ = true;
    bool ShowHint_ = false;
    bool ParentShowHint_ = true;
    bool ParentColor_ = true;
    bool ParentFont_ = true;
    bool InheritingFont_ = false;  // the font changes because the parent's did
    bool Clicking_ = false;        // a left press is down on the control
    bool FollowingAction_ = false; // copying the action's state: no clicks
};

// ==== TGraphicControl ====

// A control without a window of its own: its parent paints it (in child order,
// below the windowed children) and hands it the mouse messages at its place.
class TGraphicControl : public TControl {
    RTL_DECLARE_CLASS()
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}

    void Invalidate() override;
    void Update() override;
    // The surface while the control paints, with its font and colour.
    TCanvas* Canvas() { return &Canvas_; }

protected:
    ~TGraphicControl() override = default;
    void WndProc(TMessage& message) override;
    // Paints on Canvas, its origin at the control's top left and clipped to
    // its bounds.
    virtual void Paint() {}

private:
    TCanvas Canvas_;
};

// Lends a device context to a control's canvas for one paint, with the
// control's font and its colour as the brush.
class TCanvasPaint {
public:
    TCanvasPaint(TCanvas* canvas, HDC dc, const TControl* control);
    ~TCanvasPaint() { Canvas_->SetHandle(nullptr); }
    TCanvasPaint(const TCanvasPaint&) = delete;
    TCanvasPaint& operator=(const TCanvasPaint&) = delete;

private:
    TCanvas* Canvas_;
};

// ==== TWinControl ====

class TWinControl : public TControl, public TWindowTarget {
    RTL_DECLARE_CLASS()
    explicit TWinControl(TComponent* owner);

    // ---- Window ----
    // The window, made now when it is not yet (with the parent's first).
    HWND Handle();
    bool HandleAllocated() const { return Handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // Painting of a visible window waits until the messages already waiting
    // are handled: a run of changes from a script (a line added at a time)
    // is then drawn once, not once each.
    void DeferRedraw();
    // A window of another program or library to live in, when there is no parent.
    HWND ParentWindow() const { return ParentWindow_; }
    void SetParentWindow(HWND value);
    // Destroys the window and makes it again (style changes).
    void RecreateWnd();
    bool Showing() const override;

    // ---- Children ----
    int ControlCount() const { return static_cast<int>(Controls_.size()); }
    TControl* Controls(int index) const;
    bool ContainsControl(const TControl* control) const;
    // The child at a client point, the topmost first: windowless children
    // only unless allowWinControls; disabled ones only with allowDisabled.
    TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false) const;
    // The child control of that name (any case); nil when none.
    TControl* FindChildControl(std::string_view name) const;
    void DisableAlign() { ++AlignDisabled_; }
    void EnableAlign();
    void Realign();
    // Mirrors the children's left positions; with allLevels also inside them.
    void FlipChildren(bool allLevels);
    // Scales the children's bounds (and own size) by multiplier / divider.
    void ScaleBy(int multiplier, int divider);
    // Moves every child by the distances.
    void ScrollBy(int deltaX, int deltaY);

    // ---- Focus and tab order ----
    bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    int TabOrder() const;
    void SetTabOrder(int value);
    bool TabStop() const { return TabStop_; }
    void SetTabStop(bool value) { TabStop_ = value; }
    // The next control in tab order after current (wrapping), nil when none.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop) const;

    // ---- Painting ----
    // Paints the control and its children, in child order, into the device
    // context with its top left at (x, y): also hidden-by-others and
    // layered windows, whose screen image cannot be copied.
    void PaintTo(HDC dc, int x, int y);
    void PaintTo(TCanvas* canvas, int x, int y) { PaintTo(canvas->Handle(), x, y); }
    // The background brush, in the control's colour.
    TBrush* Brush() { return &Brush_; }
    // The surface while a control that paints itself paints (PaintWindow
    // lends it the device context with TCanvasPaint).
    TCanvas* Canvas();

    // ---- Events ----
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TGetSiteInfoEvent OnGetSiteInfo;
    TUnDockEvent OnUnDock;
    TDragDropEvent OnDockDrop;
    TDragOverEvent OnDockOver;

    // A form stream writes the child controls that the root owns, and those
    // that nobody owns (placed here by a script).
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    void SetBounds(int left, int top, int width, int height) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void Invalidate() override;
    void Update() override;

protected:
    ~TWinControl() override;

    virtual void CreateParams(TCreateParams& params);
    // Makes the window; descendants that keep state in the window restore it
    // after the inherited call.
    virtual void CreateWnd();
    // Destroys the window (and with it the children's); DestroyWnd does the
    // work, for descendants that must detach something from the window first.
    void DestroyHandle();
    virtual void DestroyWnd();
    // How a shown window appears: without taking the focus by default.
    virtual int ShowCommand() const { return SW_SHOWNA; }
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    // Painting through WM_PAINT (or a device context in WParam): the window's
    // own painting, then its windowless children.
    void PaintHandler(TMessage& message);
    // Paints the control's own surface; the base lets the window class paint.
    virtual void PaintWindow(HDC dc);
    void PaintControls(HDC dc);
    // Places the aligned and anchored children inside the rectangle.
    virtual void AlignControls(TRect& rect);
    // A child joined (inserted) or left the control's children; it is in the
    // list, its window made when this one has one, or gone from both.
    virtual void ControlListChanged(TControl* /*control*/, bool /*inserted*/) {}

    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // A whole character typed in, in its wide form, for the window that
    // takes the typing; the result is that window's.
    virtual LRESULT DefaultCharW(wchar_t character, LPARAM lParam);
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    virtual void DoEnter();
    virtual void DoExit();

    void TextChanged() override {}
    void ColorChanged() override;
    void FontChanged() override;

    bool TabStop_ = false;

private:
    friend class TControl;
    void WindowAttached(HWND handle) override { Handle_ = handle; }
    void WindowMessage(TMessage& message) override;

    void insertControl(TControl* control);
    void removeControl(TControl* control);
    void updateBoundsFromWindow();
    void reflect(TMessage& message, HWND child);
    void wmChar(TMessage& message);
    void pressCharByte(unsigned char byte, TMessage& message);
    bool routeMouse(TMessage& message);
    void trackMouseControl(TControl* control);
    void setWindowPos(HWND after, UINT flags);

    TBrush Brush_;
    std::unique_ptr<TCanvas> Canvas_;
    HWND Handle_ = nullptr;
    WNDPROC DefWndProc_ = nullptr;
    HWND ParentWindow_ = nullptr;
    std::vector<TControl*> Controls_;
    std::vector<TWinControl*> TabList_;
    TControl* CaptureControl_ = nullptr;  // a windowless child that has the mouse
    bool RedrawDeferred_ = false;
    bool LeadPending_ = false;  // a double-byte character's lead byte waits for its trail byte
    char PendingLead_ = 0;      // that lead byte, as its key press left it
    int AlignDisabled_ = 0;
    bool Aligning_ = false;
};

// The index that selects one of a control's items (ItemIndex): a form stream
// may give it before the items, so while the control loads the value waits,
// and the control's Loaded sets it.
class TPendingIndex {
public:
    // True (the value kept) while the control is loading.
    bool defer(const TComponent& control, int value) {
        if (!control.Loading()) return false;
        Value_ = value;
        return true;
    }
    // Sets the kept value, once.
    template <class Set>
    void apply(Set&& set) {
        if (!Value_) return;
        int value = *Value_;
        Value_.reset();
        set(value);
    }

private:
    std::optional<int> Value_;
};

// The control of one of our windows; nil for any other window.
TWinControl* FindControl(HWND handle);
// The text of a window, as the window gives it.
AnsiString windowText(HWND handle);
// The control at a screen point, windowless and disabled ones included when
// allowDisabled; nil over windows that are not ours.
TControl* FindDragTarget(TPoint screenPos, bool allowDisabled);
