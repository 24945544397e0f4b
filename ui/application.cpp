// The application object: message pump, terminating state, title and the
// stored exception of platform callbacks.
#include "ui/application.h"

#include "rtl/filepath.h"

namespace {

AnsiString executableTitle() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return changeFileExt(extractFileName(AnsiString(path, length)), "");
}

TApplication applicationInstance;

}  // namespace

TApplication* Application = &applicationInstance;

TApplication::TApplication() : Title_(executableTitle()), MainThreadId_(GetCurrentThreadId()) {}

bool TApplication::dispatch(MSG& msg) {
    if (msg.message == WM_QUIT) {
        Terminated_ = true;
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        bool more = dispatch(msg);
        RaisePendingException();
        if (!more) break;
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
        Terminated_ = true;
        return;
    }
    if (got > 0) dispatch(msg);
    RaisePendingException();
}

void TApplication::Terminate() {
    Terminated_ = true;
    PostThreadMessageA(MainThreadId_, WM_QUIT, 0, 0);
}

void TApplication::StoreCallbackException(std::exception_ptr exception) {
    if (!Pending_) Pending_ = std::move(exception);
}

void TApplication::RaisePendingException() {
    if (!Pending_) return;
    std::exception_ptr pending = std::move(Pending_);
    Pending_ = nullptr;
    std::rethrow_exception(pending);
}
