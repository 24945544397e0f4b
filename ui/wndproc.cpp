// The static window procedure, the handle map and the window classes, and the
// hidden message windows of components.
#include "ui/wndproc.h"

#include <commctrl.h>

#include <string>
#include <unordered_map>

#include "rtl/codepage.h"

namespace {

std::unordered_map<HWND, TWindowTarget*> windowTargets;
// The target of the window being created: its first messages (WM_GETMINMAXINFO
// comes even before WM_NCCREATE) find it here and enter it in the map.
TWindowTarget* creatingTarget = nullptr;
// The default procedure of each class we registered, by class atom, in its
// ANSI form (for the messages a window still gets after it left the map, its
// destruction) and its wide form (CallDefaultProcW).
struct TClassProcs {
    WNDPROC Ansi;
    WNDPROC Wide;
};
std::unordered_map<ATOM, TClassProcs> classProcs;

LRESULT CALLBACK staticWndProc(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);

TClassProcs classDefaultProcs(HWND handle) {
    auto it = classProcs.find(static_cast<ATOM>(GetClassLongPtrA(handle, GCW_ATOM)));
    return it != classProcs.end() ? it->second : TClassProcs{DefWindowProcA, DefWindowProcW};
}

void initCommonControls() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_COOL_CLASSES};
    InitCommonControlsEx(&init);
}

// Registers our class once: a refinement of the system class when one is
// named (its extra bytes and styles kept, our procedure in front of its own).
WNDPROC registerWindowClass(const TCreateParams& params) {
    static std::unordered_map<std::string, WNDPROC> registered;
    auto known = registered.find(params.WinClassName.str());
    if (known != registered.end()) return known->second;

    WNDCLASSA wc{};
    WNDPROC defaultProc = DefWindowProcA;
    WNDPROC wideProc = DefWindowProcW;
    if (params.SuperClass) {
        if (!GetClassInfoA(nullptr, params.SuperClass, &wc)) {
            initCommonControls();
            if (!GetClassInfoA(nullptr, params.SuperClass, &wc)) raiseLastOSError();
        }
        defaultProc = wc.lpfnWndProc;
        WNDCLASSW wide{};
        if (!GetClassInfoW(nullptr, ansiToWide(params.SuperClass).c_str(), &wide)) raiseLastOSError();
        wideProc = wide.lpfnWndProc;
        wc.style &= ~CS_GLOBALCLASS;
    } else {
        wc.style = params.ClassStyle;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    }
    wc.lpfnWndProc = staticWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = params.WinClassName.c_str();
    ATOM atom = RegisterClassA(&wc);
    if (!atom) raiseLastOSError();
    classProcs[atom] = {defaultProc, wideProc};
    registered.emplace(params.WinClassName.str(), defaultProc);
    return defaultProc;
}

// Every message of every window of ours passes here. Nothing may unwind out
// of it: what a handler raises is stored on the application and raised again
// once the platform call that sent the message has returned.
LRESULT CALLBACK staticWndProc(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWindowTarget* target = FindWindowTarget(handle);
    if (!target && creatingTarget) {
        target = creatingTarget;
        creatingTarget = nullptr;
        windowTargets[handle] = target;
        target->WindowAttached(handle);
    }
    if (!target) return CallWindowProcA(classDefaultProcs(handle).Ansi, handle, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    guardCallback([&] { target->WindowMessage(message); });
    // The target may be gone by now (freed from its last message).
    if (msg == WM_NCDESTROY) windowTargets.erase(handle);
    return message.Result;
}

}  // namespace

HWND CreateTargetWindow(TWindowTarget* target, const TCreateParams& params, WNDPROC& defaultProc) {
    defaultProc = registerWindowClass(params);
    creatingTarget = target;
    HWND handle = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                                  params.X, params.Y, params.Width, params.Height, params.WndParent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    DWORD error = GetLastError();
    creatingTarget = nullptr;
    try {
        Application->RaisePendingException();
    } catch (...) {
        if (handle) {
            DestroyTargetWindow(handle);
            target->WindowAttached(nullptr);  // the window it was given is gone
        }
        throw;
    }
    if (!handle) {
        SetLastError(error);
        raiseLastOSError();
    }
    return handle;
}

void DestroyTargetWindow(HWND handle) {
    windowTargets.erase(handle);
    DestroyWindow(handle);
}

LRESULT CallDefaultProcW(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(classDefaultProcs(handle).Wide, handle, msg, wParam, lParam);
}

TWindowTarget* FindWindowTarget(HWND handle) {
    auto it = windowTargets.find(handle);
    return it != windowTargets.end() ? it->second : nullptr;
}

// ==== Message windows ====

TMessageWindow::TMessageWindow(THandler handler, TComponent* holder, bool topLevel)
    : Handler_(handler), Holder_(holder) {
    TCreateParams params;
    params.WinClassName = "TMessageWindow";
    params.ClassStyle = 0;
    params.Style = topLevel ? WS_POPUP : 0;
    params.WndParent = topLevel ? nullptr : HWND_MESSAGE;
    WNDPROC defaultProc;
    CreateTargetWindow(this, params, defaultProc);
}

TMessageWindow::~TMessageWindow() {
    if (Handle_) DestroyTargetWindow(Handle_);
}

void TMessageWindow::WindowMessage(TMessage& message) {
    TKeepAlive hold(Holder_);
    bool handled = false;
    Handler_(message, handled);
    if (!handled) message.Result = DefWindowProcA(Handle_, message.Msg, message.WParam, message.LParam);
    if (message.Msg == WM_NCDESTROY) Handle_ = nullptr;
}
