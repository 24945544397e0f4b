// The application object: message pump, terminating state, title and the
// stored exception of platform callbacks.
#include "ui/application.h"

#include <ole2.h>

#include <algorithm>

#include "rtl/codepage.h"
#include "rtl/filepath.h"
#include "ui/actions.h"
#include "ui/bars.h"
#include "ui/dialogs.h"
#include "ui/forms.h"

namespace {

AnsiString executableTitle() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return changeFileExt(extractFileName(AnsiString(path, length)), "");
}

TApplication applicationInstance;

}  // namespace

TApplication* Application = &applicationInstance;

const TClassInfo TApplication::classInfo = makeClassInfo("TApplication", &TComponent::classInfo);

// The program's start runs on its GUI thread.
TApplication::TApplication()
    : TComponent(nullptr), Title_(executableTitle()), MainThreadId_(GetCurrentThreadId()),
      OleReady_(SUCCEEDED(OleInitialize(nullptr))) {}

bool TApplication::dispatch(MSG& msg) {
    if (msg.message == WM_QUIT) {
        Terminated_ = true;
        return false;
    }
    if (HandleDialogMessage(msg) || HandleFormKey(msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        bool more = dispatch(msg);
        RaisePendingException();
        if (!more) return;
    }
    Idle();
}

// The queue is empty: the actions update their clients.
void TApplication::Idle() { UpdateActions(); }

void TApplication::HandleMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) Idle();
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

void TApplication::Run() {
    while (!Terminated_) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
}

void TApplication::HandleException(std::exception_ptr exception) {
    AnsiString text;
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
        text = "Unknown exception";
    }
    // What callbacks raise while the box is up waits for the next message.
    MessageBoxA(nullptr, text.c_str(), Title_.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::SetMainForm(TCustomForm* form) {
    if (form == MainForm_) return;
    if (MainForm_) RemoveFreeNotification(MainForm_);
    MainForm_ = form;
    if (form) FreeNotification(form);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == MainForm_) MainForm_ = nullptr;
}

void TApplication::SetHint(const AnsiString& hint) {
    if (hint == Hint_) return;
    Hint_ = hint;
    if (OnHint) return OnHint(this);
    std::vector<TStatusBar*> bars = HintBars_;  // a bar's handler may free bars
    for (TStatusBar* bar : bars)
        if (std::find(HintBars_.begin(), HintBars_.end(), bar) != HintBars_.end()) bar->HintChanged(hint);
}

void TApplication::AddHintBar(TStatusBar* bar) {
    if (std::find(HintBars_.begin(), HintBars_.end(), bar) == HintBars_.end()) HintBars_.push_back(bar);
}

void TApplication::RemoveHintBar(TStatusBar* bar) { std::erase(HintBars_, bar); }

AnsiString GetShortHint(const AnsiString& hint) {
    size_t bar = hint.find('|');
    return bar == std::string_view::npos ? hint : hint.substr(0, bar);
}

AnsiString GetLongHint(const AnsiString& hint) {
    size_t bar = hint.find('|');
    return bar == std::string_view::npos ? hint : hint.substr(bar + 1);
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
