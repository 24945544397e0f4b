// guiprobe: the program the GUI kit's self-test drives. It stands in for the
// widget host: a layered window of known pixels (left half red at 50 %
// premultiplied, right half opaque white) with a tray icon and the hotkey
// Alt+A. Every event it sees is a UTF-8 line in probe.log beside the program;
// the message WM_USER answers wParam + lParam, WM_USER+1 asks a question in a
// message box. Started as "guiprobe [-s WIDGET] [--stubborn]": a stubborn
// probe refuses to close; at the end a probe with a widget writes its
// window's place into WIDGET's ".config" and the widget into nimbora.config.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kSize = 64;
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr int kHotKeyId = 7;

std::wstring gFolder;  // the program's folder, with its trailing back-slash
std::wstring gWidget;  // the "-s" argument
bool gStubborn = false;

void appendBytes(const std::wstring& path, const std::string& bytes, DWORD disposition) {
    HANDLE file = CreateFileW(path.c_str(), disposition == OPEN_ALWAYS ? FILE_APPEND_DATA : GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string narrow(const std::wstring& text, UINT codePage) {
    int size = WideCharToMultiByte(codePage, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

void log(const std::string& line) {
    appendBytes(gFolder + L"probe.log", line + "\n", OPEN_ALWAYS);
}

std::string point(LPARAM lParam) {
    return std::to_string(short(LOWORD(lParam))) + " " + std::to_string(short(HIWORD(lParam)));
}

// A settings file as the host writes it, in code page 932.
void writeSettings(const std::wstring& path, const std::wstring& section, const std::wstring& entries) {
    std::wstring text = L"<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>\r\n<configuration>\r\n  <appSettings";
    if (!section.empty()) text += L" section=\"" + section + L"\"";
    text += L">\r\n" + entries + L"  </appSettings>\r\n</configuration>\r\n";
    appendBytes(path, narrow(text, 932), CREATE_ALWAYS);
}

std::wstring entry(const std::wstring& key, const std::wstring& value) {
    return L"    <add key=\"" + key + L"\" value=\"" + value + L"\"/>\r\n";
}

void writeStoredState(HWND window) {
    if (gWidget.empty()) return;
    RECT r{};
    GetWindowRect(window, &r);
    std::wstring config = gWidget.substr(0, gWidget.rfind(L'.')) + L".config";
    writeSettings(config, L"probe",
                  entry(L"top", std::to_wstring(r.top)) + entry(L"left", std::to_wstring(r.left)) +
                      entry(L"caption", L"終了"));
    writeSettings(gFolder + L"nimbora.config", L"", entry(L"widget1", gWidget));
}

// Left half red at 50 % (premultiplied: 0x80 red, alpha 0x80), right half white.
void showPixels(HWND window) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSize, -kSize, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    auto* pixel = static_cast<DWORD*>(bits);
    for (int i = 0; i < kSize * kSize; ++i) pixel[i] = i % kSize < kSize / 2 ? 0x80800000 : 0xFFFFFFFF;
    POINT position{200, 150}, origin{0, 0};
    SIZE size{kSize, kSize};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, nullptr, &position, &size, memory, &origin, 0, &blend, ULW_ALPHA);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void addTrayIcon(HWND window, DWORD action) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kTrayMessage;
    icon.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    wcscpy(icon.szTip, L"Probe");
    Shell_NotifyIconW(action, &icon);
}

LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN: log("left down " + point(lParam)); return 0;
    case WM_LBUTTONUP: log("left up " + point(lParam)); return 0;
    case WM_LBUTTONDBLCLK: log("left double " + point(lParam)); return 0;
    case WM_RBUTTONDOWN: log("right down " + point(lParam)); return 0;
    case WM_RBUTTONUP: log("right up " + point(lParam)); return 0;
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON) log("left drag " + point(lParam));
        return 0;
    case WM_KEYDOWN: log("key " + std::to_string(wParam)); return 0;
    case WM_CHAR: log("char " + narrow(std::wstring(1, wchar_t(wParam)), CP_UTF8)); return 0;
    case WM_HOTKEY: log("hotkey " + std::to_string(wParam)); return 0;
    case kTrayMessage: log("tray " + std::to_string(lParam)); return 0;
    case WM_USER:
        log("message " + std::to_string(wParam) + " " + std::to_string(lParam));
        return LRESULT(wParam + lParam);
    case WM_USER + 1: {
        int answer = MessageBoxW(window, L"続けますか?\nSecond line", L"Probe", MB_OKCANCEL | MB_ICONQUESTION);
        log("answer " + std::to_string(answer));
        return 0;
    }
    case WM_CLOSE:
        if (gStubborn) {
            log("close refused");
            return 0;
        }
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        writeStoredState(window);
        addTrayIcon(window, NIM_DELETE);
        UnregisterHotKey(window, kHotKeyId);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return handle(window, message, wParam, lParam);
    } catch (...) {  // nothing may unwind into the platform's frames
        PostQuitMessage(3);
        return 0;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    gFolder = path;
    gFolder.erase(gFolder.rfind(L'\\') + 1);
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; i < count; ++i) {
        std::wstring word = words[i];
        if (word == L"--stubborn") gStubborn = true;
        else if (word == L"-s" && i + 1 < count) gWidget = words[++i];
    }
    LocalFree(words);
    if (!gWidget.empty()) {
        bool present = GetFileAttributesW(gWidget.c_str()) != INVALID_FILE_ATTRIBUTES;
        log("start " + narrow(gWidget, CP_UTF8) + (present ? " present" : " missing"));
    }

    WNDCLASSW windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = L"NimboraProbe";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_LAYERED, L"NimboraProbe", L"Probe", WS_POPUP, 200, 150, kSize, kSize,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    showPixels(window);
    ShowWindow(window, SW_SHOWNORMAL);
    addTrayIcon(window, NIM_ADD);
    if (!RegisterHotKey(window, kHotKeyId, MOD_ALT, 'A')) log("hotkey taken");
    log("ready");

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return int(message.wParam);
}
