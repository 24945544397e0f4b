// Message box and application title over the hooks that the GUI library sets.
#include "engine/appmessage.h"

#include "engine/mbstring.h"
#include "ui/application.h"

namespace {

AppWindowHook appWindowHook = nullptr;
AppTitleHook appTitleHook = nullptr;

AnsiString programName() {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string_view full(path, n);
    size_t slash = mbcsFindLastOf(full, "\\/:");
    std::string_view name = slash == std::string_view::npos ? full : full.substr(slash + 1);
    size_t dot = mbcsFindLastOf(name, ".");
    return AnsiString(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace

void setAppWindowHook(AppWindowHook hook) {
    appWindowHook = hook;
}

void setAppTitleHook(AppTitleHook hook) {
    appTitleHook = hook;
}

HWND GetAppWindow() {
    return appWindowHook ? appWindowHook() : nullptr;
}

int AppMessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) {
    HWND active = GetActiveWindow();
    HWND owner = GetAppWindow();
    int pressed = MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    if (active) SetForegroundWindow(active);
    // What a callback raised while the box's loop ran goes on from here.
    Application->RaisePendingException();
    return pressed;
}

AnsiString GetAppTitle() {
    return appTitleHook ? appTitleHook() : programName();
}
