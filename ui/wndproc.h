// The one window procedure of all our windows: the map from window handle to
// the object that receives its messages (entered with the first message of a
// window, left after WM_NCDESTROY), window classes registered under the C++
// class name (superclassing a system class where one is named), the exception
// boundary of every message, and TMessageWindow, the hidden window of a
// component that only needs messages (timers, the tray icon, popup menus).
// Used by the controls (ui/control.h) and every component with a window.
#pragma once

#include <windows.h>

#include <type_traits>

#include "rtl/component.h"

// A window message in transit through an object's handlers.
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

// Our own messages: CM_ are control messages, CN_ the notifications a parent
// reflects back to the child control that sent them (CN_BASE + the message).
enum : UINT {
    CM_BASE = 0xB000,
    CM_RELEASE = CM_BASE + 1,     // a form frees itself (Release)
    CM_MOUSEENTER = CM_BASE + 2,  // the mouse came over a control (graphic ones included)
    CM_MOUSELEAVE = CM_BASE + 3,
    CM_DIALOGKEY = CM_BASE + 4,   // Tab, Return or Escape for the form; WParam the key
    CM_RESUMEREDRAW = CM_BASE + 5,  // painting deferred by DeferRedraw comes back
    CM_WINDOWCREATED = CM_BASE + 6,  // a window control has a new window (a hook registers with it)
    CM_REDRAWMENUBARS = CM_BASE + 7,  // the menu bars changed since the last turn are drawn
    CM_PANELTEXTS = CM_BASE + 8,      // a status bar's panels give the control their texts
    CN_BASE = 0xBC00,
    CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_NOTIFY = CN_BASE + WM_NOTIFY,
    CN_HSCROLL = CN_BASE + WM_HSCROLL,
    CN_VSCROLL = CN_BASE + WM_VSCROLL,
    CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
    CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
    CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
    CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
    CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
};

// The receiver of one window's messages.
class TWindowTarget {
public:
    // The window exists: called with its first message, before any handler.
    virtual void WindowAttached(HWND handle) = 0;
    // Every message; after WM_NCDESTROY the target forgets the handle, as the
    // window is gone (its link ends with that message).
    virtual void WindowMessage(TMessage& message) = 0;

protected:
    ~TWindowTarget() = default;
};

// What a window is made with.
struct TCreateParams {
    AnsiString Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    AnsiString WinClassName;          // our class: the C++ class name
    const char* SuperClass = nullptr; // the system class it refines, if any
    UINT ClassStyle = CS_DBLCLKS;
};

// Registers the window class (once) and makes the window; the target receives
// every message from the first on. Returns the handle and the class's default
// procedure. Raises what a handler raised during creation (the window is then
// gone again) or the system error.
HWND CreateTargetWindow(TWindowTarget* target, const TCreateParams& params, WNDPROC& defaultProc);
// Unlinks the window, then destroys it: the target hears nothing more of it.
// Raises nothing (destructors call it); handler exceptions wait for the pump.
void DestroyTargetWindow(HWND handle);
// Calls the wide form of the default procedure of one of our windows (its
// system class's, else DefWindowProcW): the ANSI form of a system control may
// take a double-byte character byte by byte, the wide form takes it whole.
LRESULT CallDefaultProcW(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
// The target of one of our windows; nil for any other window.
TWindowTarget* FindWindowTarget(HWND handle);

// Runs a platform call that may send messages to our windows, then raises
// what their handlers raised meanwhile.
template <class Call>
auto callPlatform(Call&& call);

// ==== Message windows ====

// The hidden window of a component that only needs messages. A message-only
// window by default; a hidden top-level one when it must also hear broadcasts
// (the taskbar's restart) or own a popup menu. The handler sets Handled for
// the messages it answers; the rest go to the default procedure.
class TMessageWindow final : public TWindowTarget {
public:
    using THandler = TEvent<void(TMessage& Message, bool& Handled)>;
    // The holder is kept alive while a message is dispatched.
    TMessageWindow(THandler handler, TComponent* holder, bool topLevel = false);
    ~TMessageWindow();
    TMessageWindow(const TMessageWindow&) = delete;
    TMessageWindow& operator=(const TMessageWindow&) = delete;

    HWND Handle() const { return Handle_; }

private:
    void WindowAttached(HWND handle) override { Handle_ = handle; }
    void WindowMessage(TMessage& message) override;

    THandler Handler_;
    TComponent* Holder_;
    HWND Handle_ = nullptr;
};

// ==== Template definitions ====

#include "ui/application.h"

template <class Call>
auto callPlatform(Call&& call) {
    if constexpr (std::is_void_v<decltype(call())>) {
        call();
        Application->RaisePendingException();
    } else {
        auto result = call();
        Application->RaisePendingException();
        return result;
    }
}
