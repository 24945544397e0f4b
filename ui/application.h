// TApplication: the program's application object - the message pump of the GUI
// thread (ProcessMessages, HandleMessage), the terminating state and the title
// that message boxes take as their default caption. It is also the exception
// boundary of platform callbacks: a callback stores what it caught and the pump
// raises it again once the platform call has returned. The script engine's
// event loop and every modal wait of the hosts run through the one Application.
#pragma once

#include <windows.h>

#include <exception>

#include "rtl/ansistring.h"

class TApplication {
public:
    TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Dispatches every message waiting for this thread, then raises an
    // exception that a callback stored meanwhile. WM_QUIT terminates.
    void ProcessMessages();
    // Waits for one message and dispatches it, as ProcessMessages does.
    void HandleMessage();
    // The application is ending: WM_QUIT was seen or Terminate was called.
    bool Terminated() const { return Terminated_; }
    // Ends the application: posts WM_QUIT to the main thread.
    void Terminate();

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

private:
    // Dispatches one message; false when it was WM_QUIT.
    bool dispatch(MSG& msg);

    bool Terminated_ = false;
    AnsiString Title_;
    DWORD MainThreadId_;
    std::exception_ptr Pending_;
};

// Runs the body of a platform callback: every exception is stored on the
// application and raised again by the pump once the platform call returns, so
// none unwinds through the platform's own frames.
template <class Body>
void guardCallback(Body&& body) noexcept;

extern TApplication* Application;

template <class Body>
void guardCallback(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        Application->StoreCallbackException(std::current_exception());
    }
}
