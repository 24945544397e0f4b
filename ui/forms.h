// Forms and the screen: TScrollingWinControl, TCustomForm and TForm (border
// styles, the owner window, the menu bar and popup menu, Show, Close with
// CloseQuery and the close actions, ShowModal with a nested message loop that
// keeps timers and other windows running, Release, activation, the dialog keys
// Tab, Return and Escape, and OnShortCut), and TScreen with the monitors, the work area
// and the list of forms.
#pragma once

#include <optional>
#include <vector>

#include "ui/controls.h"

class TMainMenu;

enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
extern const TEnumInfo CloseActionInfo;
enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
extern const TEnumInfo FormBorderStyleInfo;
enum TBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = uint8_t;
extern const TSetInfo BorderIconsInfo;
// The multiple-document styles are names only: such forms act as normal ones.
enum TFormStyle : uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
extern const TEnumInfo FormStyleInfo;
enum TPosition : uint8_t {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
    poOwnerFormCenter
};
extern const TEnumInfo PositionInfo;
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
extern const TEnumInfo WindowStateInfo;

using TModalResult = int;
enum : TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
// Help asked for (F1); the answer tells whether the help was given.
using THelpEvent = TEvent<bool(WORD Command, int32_t Data, bool& CallHelp)>;
// A key pressed in the form before its controls see it; Handled keeps it.
using TShortCutEvent = TEvent<void(TMessage& Msg, bool& Handled)>;
extern const TMethodTypeInfo CloseEventType, CloseQueryEventType, HelpEventType, ShortCutEventType;

RTL_EXCEPTION(EInvalidOperation, Exception);
RTL_EXCEPTION(EPrinter, Exception);

class TScrollingWinControl : public TWinControl {
    RTL_DECLARE_CLASS()
    using TWinControl::TWinControl;

protected:
    ~TScrollingWinControl() override = default;
};

// ==== TCustomForm ====

class TCustomForm : public TScrollingWinControl {
    RTL_DECLARE_CLASS()
    explicit TCustomForm(TComponent* owner);

    // ---- Showing and closing ----
    void SetVisible(bool value) override;
    // Shows the form modally: the thread's other windows are disabled and a
    // message loop runs (timers and the other windows' messages included)
    // until ModalResult is set and the close is allowed. An exception that a
    // handler raises meanwhile ends the loop and comes out of ShowModal.
    int ShowModal();
    TModalResult ModalResult() const { return ModalResult_; }
    void SetModalResult(TModalResult value) { ModalResult_ = value; }
    // Asks CloseQuery, then OnClose with the default action caHide, and acts:
    // the main form ends the application, caHide hides, caMinimize minimizes,
    // caFree releases. A modal form only sets ModalResult to mrCancel.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the messages already waiting for it are handled.
    void Release();

    // ---- Focus ----
    bool Active() const { return Active_; }
    TWinControl* ActiveControl() const { return ActiveControl_; }
    void SetActiveControl(TWinControl* control);
    void FocusControl(TWinControl* control);
    // Records the focused control; false when it is not on this form.
    bool SetFocusedControl(TWinControl* control);
    // Ends a mouse capture held by the control.
    void SendCancelMode(TControl* control);
    // Prints the form's image, scaled to the page, on the default printer;
    // EPrinter when there is none or the job fails.
    void Print();

    // ---- Window ----
    TFormBorderStyle BorderStyle() const { return BorderStyle_; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons BorderIcons() const { return BorderIcons_; }
    void SetBorderIcons(TBorderIcons value);
    TFormStyle FormStyle() const { return FormStyle_; }
    void SetFormStyle(TFormStyle value);
    TPosition Position() const { return Position_; }
    void SetPosition(TPosition value) { Position_ = value; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState value);
    TMainMenu* Menu() const { return Menu_; }
    void SetMenu(TMainMenu* value);
    // The form whose window owns this one; without one the main form's window
    // does (for every form but the main form itself).
    TCustomForm* PopupParent() const { return PopupParent_; }
    void SetPopupParent(TCustomForm* value);

    TRect ClientRect() const override;

    // ---- Events ----
    TNotifyEvent OnActivate;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TNotifyEvent OnShow;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    THelpEvent OnHelp;
    TShortCutEvent OnShortCut;

    void Loaded() override;

protected:
    ~TCustomForm() override;
    void Notification(TComponent* component, TOperation operation) override;
    void BeforeDestruction() override;
    void FreeDeferred() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    int ShowCommand() const override;
    void WndProc(TMessage& message) override;
    void PaintWindow(HDC dc) override;

    virtual void DoClose(TCloseAction& action);
    virtual void DoShow() { OnShow(this); }
    virtual void DoHide() { OnHide(this); }

private:
    void closeModal();
    void activated(bool active);
    void dialogKey(TMessage& message);
    void placeOnFirstShow();
    HWND ownerWindow() const;
    void windowStyle(DWORD& style, DWORD& exStyle) const;
    SIZE frameSize() const;

    // The frame a window of these styles would have: a stream sets the
    // children's bounds one property at a time, and each asks the client
    // size, so while the form loads the frame is reckoned once per style.
    struct FrameCache {
        DWORD Style, ExStyle;
        bool Menu;
        SIZE Size;
    };
    mutable std::optional<FrameCache> Frame_;
    TMainMenu* Menu_ = nullptr;
    TCustomForm* PopupParent_ = nullptr;
    TWinControl* ActiveControl_ = nullptr;
    TModalResult ModalResult_ = mrNone;
    TFormBorderStyle BorderStyle_ = bsSizeable;
    TBorderIcons BorderIcons_ = setOf(biSystemMenu, biMinimize, biMaximize);
    TFormStyle FormStyle_ = fsNormal;
    TPosition Position_ = poDesigned;
    TWindowState WindowState_ = wsNormal;
    bool Active_ = false;
    bool Modal_ = false;
    bool Placed_ = false;
};

class TForm : public TCustomForm {
    RTL_DECLARE_CLASS()
    using TCustomForm::TCustomForm;

protected:
    ~TForm() override = default;
};

// The form a control sits on (its outermost parent, when that is a form).
TCustomForm* GetParentForm(TControl* control);
// Handles a key message before it is dispatched: the form's OnShortCut, then
// Tab, Return and Escape as dialog keys. True when the key was used.
bool HandleFormKey(const MSG& msg);

// ==== TScreen ====

// One display.
struct TMonitor {
    HMONITOR Handle;
    int MonitorNum;
    TRect BoundsRect;
    TRect WorkareaRect;
    bool Primary;
    int Left() const { return BoundsRect.left; }
    int Top() const { return BoundsRect.top; }
    int Width() const { return BoundsRect.right - BoundsRect.left; }
    int Height() const { return BoundsRect.bottom - BoundsRect.top; }
};

class TScreen : public TComponent {
    RTL_DECLARE_CLASS()
    TScreen() : TComponent(nullptr) {}
    ~TScreen() override = default;

    // The primary display.
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    // All displays together.
    TRect DesktopRect() const;
    // The primary display without the taskbar.
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().left; }
    int WorkAreaTop() const { return WorkAreaRect().top; }
    int WorkAreaWidth() const;
    int WorkAreaHeight() const;

    // The displays now attached, the primary one first.
    std::vector<TMonitor> Monitors() const;
    int MonitorCount() const { return GetSystemMetrics(SM_CMONITORS); }
    TMonitor MonitorFromPoint(TPoint point) const;
    TMonitor MonitorFromWindow(HWND window) const;

    // The forms that exist, in order of creation.
    int FormCount() const { return static_cast<int>(Forms_.size()); }
    TCustomForm* Forms(int index) const;
    TCustomForm* ActiveForm() const { return ActiveForm_; }

    // A cursor for every window of ours (crDefault: each control's own).
    TCursor Cursor() const { return Cursor_; }
    void SetCursor(TCursor value);

private:
    friend class TCustomForm;
    std::vector<TCustomForm*> Forms_;
    TCustomForm* ActiveForm_ = nullptr;
    TCursor Cursor_ = crDefault;
};

extern TScreen* Screen;
