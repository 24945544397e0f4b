// TApplication: the program's application object - the message pump of the GUI
// thread (ProcessMessages, HandleMessage, Run), the terminating state, the
// title that message boxes take as their default caption, the main form and
// the hint settings with the current hint. It is also the exception boundary
// of platform callbacks: a callback stores what it caught and the pump raises
// it again once the platform call has returned. The script engine's event
// loop and every modal wait of the hosts run through the one Application.
#pragma once

#include <windows.h>

#include <exception>
#include <vector>

#include "rtl/component.h"
#include "ui/graphics.h"

class TCustomForm;
class TStatusBar;

class TApplication : public TComponent {
    RTL_DECLARE_CLASS()
    TApplication();
    ~TApplication() override = default;

    // Dispatches every message waiting for this thread, then raises an
    // exception that a callback stored meanwhile. WM_QUIT terminates.
    void ProcessMessages();
    // Waits for one message and dispatches it, as ProcessMessages does.
    void HandleMessage();
    // What runs whenever the queue is found empty: the actions' update step.
    void Idle();
    // The application is ending: WM_QUIT was seen or Terminate was called.
    bool Terminated() const { return Terminated_; }
    // Ends the application: posts WM_QUIT to the main thread.
    void Terminate();
    // Handles messages until the application terminates; an exception that
    // reaches the loop goes to HandleException and the loop goes on.
    void Run();
    // Shows the exception's message in an error box captioned with the title.
    void HandleException(std::exception_ptr exception);

    // OLE, initialised once for the GUI thread when the program starts (drag
    // and drop, the web view, automation objects need it); false when the
    // platform refused.
    bool OleReady() const { return OleReady_; }

    // The form whose closing ends the application; nil when none. Cleared
    // when that form is freed.
    TCustomForm* MainForm() const { return MainForm_; }
    void SetMainForm(TCustomForm* form);

    // ---- Hints ----
    // The long part of the hint of the control under the mouse (or of the
    // menu item selected), as its action's OnHint left it. A change raises
    // OnHint; without one, every status bar with AutoHint takes the hint.
    const AnsiString& Hint() const { return Hint_; }
    void SetHint(const AnsiString& hint);
    // The status bars with AutoHint, in the order they asked.
    void AddHintBar(TStatusBar* bar);
    void RemoveHintBar(TStatusBar* bar);
    // Whether the application shows hint windows itself.
    bool ShowHint() const { return ShowHint_; }
    void SetShowHint(bool value) { ShowHint_ = value; }
    // Milliseconds before a hint shows and before it hides again.
    int HintPause() const { return HintPause_; }
    void SetHintPause(int value) { HintPause_ = value; }
    int HintHidePause() const { return HintHidePause_; }
    void SetHintHidePause(int value) { HintHidePause_ = value; }
    // The background of hint windows.
    TColor HintColor() const { return HintColor_; }
    void SetHintColor(TColor value) { HintColor_ = value; }
    TNotifyEvent OnHint;

    // The default caption of the program's message boxes: the executable's
    // file name without its extension until one is set.
    const AnsiString& Title() const { return Title_; }
    void SetTitle(const AnsiString& title) { Title_ = title; }

    // The thread that made the application object (the GUI thread).
    bool IsMainThread() const { return GetCurrentThreadId() == MainThreadId_; }

    // ---- Callback boundary ----
    // Called from a catch (...) inside a platform callback: keeps the
    // exception (the first one wins) for RaisePendingException.
    void StoreCallbackException(std::exception_ptr exception);
    // Raises the stored exception, if any, and forgets it. Called after any
    // platform call that may run callbacks (dispatching, modal boxes).
    void RaisePendingException();

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    // Dispatches one message; false when it was WM_QUIT.
    bool dispatch(MSG& msg);

    bool Terminated_ = false;
    bool ShowHint_ = true;
    int HintPause_ = 500;
    int HintHidePause_ = 2500;
    TColor HintColor_ = clInfoBk;
    TCustomForm* MainForm_ = nullptr;
    AnsiString Hint_;
    std::vector<TStatusBar*> HintBars_;
    AnsiString Title_;
    DWORD MainThreadId_;
    bool OleReady_;
    std::exception_ptr Pending_;
};

// Runs the body of a platform callback: every exception is stored on the
// application and raised again by the pump once the platform call returns, so
// none unwinds through the platform's own frames.
template <class Body>
void guardCallback(Body&& body) noexcept;

extern TApplication* Application;

// The parts of a hint text "short|long": the text before the first "|" (all of
// it without one) and the text after it (all of it without one).
AnsiString GetShortHint(const AnsiString& hint);
AnsiString GetLongHint(const AnsiString& hint);

template <class Body>
void guardCallback(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        Application->StoreCallbackException(std::current_exception());
    }
}
