// guikit: the GUI checks' hands and eyes, one command per run (driven by
// tests/gui/guikit.sh). Text is read and written as UTF-8; handles and numbers
// are decimal or "0x" hexadecimal. Every wait ends at "--timeout" (ms, 5000)
// with exit code 1; a usage error exits with 2.
//   find [--class C] [--title T] [--visible]   the first top-level match's handle
//   list [--class C] [--title T] [--visible]   handle, pid, visible, style, extended
//                                              style, rectangle, class, title; z-order
//   children HANDLE [--class C] [--title T] [--id N]
//                                              handle, control id, enabled, visible,
//                                              rectangle, class, title of each descendant
//   client HANDLE                              the client area's width and height
//   alpha HANDLE                               a layered window's constant alpha (else 255)
//   wait HANDLE visible|hidden|gone
//   msgbox [--title T] [--buttons]             a message box's text (or its buttons)
//   owner [--title T]                          a message box's owner window (0 for none)
//   press [--title T] CAPTION                  presses its button, waits until it goes
//   send|post HANDLE MESSAGE [WPARAM [LPARAM]] send prints the answer
//   click X Y [--window H] [--button left|right|middle] [--double]
//   drag X1 Y1 X2 Y2 [--window H] [--button B] [--steps N]
//   dragout X1 Y1 X2 Y2 files PATH... | text TEXT [--button B] [--steps N]
//                                              an OLE drag of our own from X1 Y1 to
//                                              X2 Y2 offering copy, move and link; prints
//                                              the effect the drop target answered
//                                              (copy, move, link joined by "|", or none)
//   key COMBO...                               "alt+a", "down", "enter", "f10"
//   type TEXT
//   chars HANDLE TEXT [--as bytes|ime|unicode] each character posted as a character
//                                              message: WM_CHAR per code-page-932 byte
//                                              (bytes, the default), WM_IME_CHAR with both
//                                              bytes in one (ime), WM_CHAR with the UTF-16
//                                              unit (unicode)
//   tray [--button B] [--double]               the first icon of Wine's tray window
//   pixels HANDLE X Y [W H]                    aarrggbb per pixel, a line per row
//   controls HANDLE                            class, visible, rectangle in HANDLE's
//                                              client area, asked text and state of
//                                              each window inside it
// Points are on the screen, or in the client area of "--window".
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// ==== Output and arguments ====

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// Raw bytes to standard output, so that UTF-8 reaches the shell unchanged.
void print(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
}

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The words after the command: options ("--name value" or a lone "--flag") and
// the positional words in order.
class Arguments {
public:
    Arguments(int count, wchar_t** words, const std::vector<std::wstring>& flags) {
        for (int i = 0; i < count; ++i) {
            std::wstring word = words[i];
            if (word.rfind(L"--", 0) != 0) {
                positional_.push_back(word);
            } else if (std::find(flags.begin(), flags.end(), word) != flags.end()) {
                options_[word] = L"1";
            } else if (i + 1 < count) {
                options_[word] = words[++i];
            } else {
                throw UsageError("option without a value");
            }
        }
    }
    size_t count() const { return positional_.size(); }
    const std::wstring& at(size_t i) const {
        if (i >= positional_.size()) throw UsageError("too few arguments");
        return positional_[i];
    }
    bool has(const wchar_t* name) const { return options_.count(name) != 0; }
    // True when the option is absent or has exactly this value.
    bool allows(const wchar_t* name, const std::wstring& value) const {
        auto found = options_.find(name);
        return found == options_.end() || found->second == value;
    }
    std::wstring option(const wchar_t* name, const wchar_t* fallback = L"") const {
        auto found = options_.find(name);
        return found == options_.end() ? fallback : found->second;
    }

private:
    std::vector<std::wstring> positional_;
    std::map<std::wstring, std::wstring> options_;
};

// Decimal, or hexadecimal after "0x"; negative numbers allowed.
long long number(const std::wstring& text) {
    wchar_t* end = nullptr;
    long long value = std::wcstoll(text.c_str(), &end, 0);
    if (text.empty() || *end) throw UsageError("not a number: " + utf8(text));
    return value;
}

HWND handle(const std::wstring& text) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(number(text)));
}

std::string handleText(HWND window) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
    return text;
}

// ==== Waiting ====

DWORD timeLimit(const Arguments& args) {
    return DWORD(number(args.option(L"--timeout", L"5000")));
}

// Polls until the test holds or the time limit has passed.
bool waitFor(DWORD limit, const std::function<bool()>& test) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (test()) return true;
        if (GetTickCount() - start >= limit) return false;
        Sleep(50);
    }
}

// ==== Windows ====

std::wstring classOf(HWND window) {
    wchar_t name[256];
    int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

std::wstring textOf(HWND window) {
    wchar_t text[4096];
    int length = GetWindowTextW(window, text, 4096);
    return std::wstring(text, length > 0 ? length : 0);
}

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    try {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    } catch (...) {  // nothing may unwind through the platform's frames
        return FALSE;
    }
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> childWindows(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The top-level windows that match "--class" and "--title" (exactly), and are
// visible with "--visible", in z-order from the top.
std::vector<HWND> matchingWindows(const Arguments& args) {
    std::vector<HWND> found;
    for (HWND window : topLevelWindows()) {
        if (args.allows(L"--class", classOf(window)) && args.allows(L"--title", textOf(window)) &&
            (!args.has(L"--visible") || IsWindowVisible(window)))
            found.push_back(window);
    }
    return found;
}

// ==== Message boxes ====

// The first visible dialog box (titled "--title" when given).
HWND findMessageBox(const Arguments& args) {
    for (HWND window : topLevelWindows()) {
        if (classOf(window) == L"#32770" && IsWindowVisible(window) && args.allows(L"--title", textOf(window)))
            return window;
    }
    return nullptr;
}

HWND waitForMessageBox(const Arguments& args) {
    HWND box = nullptr;
    if (!waitFor(timeLimit(args), [&] { return (box = findMessageBox(args)) != nullptr; }))
        throw std::runtime_error("no message box");
    return box;
}

bool isTextControl(HWND control) {
    return classOf(control) == L"Static" && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_ICON;
}

std::wstring withoutAmpersands(std::wstring caption) {
    std::erase(caption, L'&');
    return caption;
}

std::vector<HWND> buttonsOf(HWND box) {
    std::vector<HWND> buttons;
    for (HWND control : childWindows(box))
        if (classOf(control) == L"Button" && IsWindowVisible(control)) buttons.push_back(control);
    return buttons;
}

// ==== Input ====

INPUT mouseInput(POINT point, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    // Absolute coordinates are 0..65535 over the screen; round up so that the
    // platform's (value * width) >> 16 lands on the pixel itself.
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = LONG((int64_t(point.x) * 65536 + width - 1) / width);
    input.mi.dy = LONG((int64_t(point.y) * 65536 + height - 1) / height);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

void send(std::vector<INPUT> inputs) {
    if (SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        throw std::runtime_error("SendInput refused the input");
}

// The point "x y" of the arguments from `first` on, in client coordinates of
// "--window" when given, else on the screen.
POINT pointOf(const Arguments& args, size_t first) {
    POINT point{LONG(number(args.at(first))), LONG(number(args.at(first + 1)))};
    if (args.has(L"--window") && !ClientToScreen(handle(args.option(L"--window")), &point))
        throw std::runtime_error("no such window");
    return point;
}

struct ButtonFlags {
    DWORD down, up;
};

ButtonFlags buttonFlags(const Arguments& args) {
    std::wstring button = args.option(L"--button", L"left");
    if (button == L"left") return {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    if (button == L"right") return {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP};
    if (button == L"middle") return {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP};
    throw UsageError("--button is left, right or middle");
}

void clickAt(POINT point, const Arguments& args) {
    ButtonFlags button = buttonFlags(args);
    std::vector<INPUT> inputs = {mouseInput(point, 0), mouseInput(point, button.down), mouseInput(point, button.up)};
    if (args.has(L"--double")) {
        inputs.push_back(mouseInput(point, button.down));
        inputs.push_back(mouseInput(point, button.up));
    }
    send(inputs);
}

// Virtual keys by name; letters and digits stand for themselves.
const std::map<std::wstring, WORD> kKeyNames = {
    {L"ctrl", VK_CONTROL}, {L"shift", VK_SHIFT},     {L"alt", VK_MENU},      {L"win", VK_LWIN},
    {L"enter", VK_RETURN}, {L"esc", VK_ESCAPE},      {L"tab", VK_TAB},       {L"space", VK_SPACE},
    {L"backspace", VK_BACK}, {L"delete", VK_DELETE}, {L"insert", VK_INSERT}, {L"home", VK_HOME},
    {L"end", VK_END},      {L"pageup", VK_PRIOR},    {L"pagedown", VK_NEXT}, {L"up", VK_UP},
    {L"down", VK_DOWN},    {L"left", VK_LEFT},       {L"right", VK_RIGHT},   {L"apps", VK_APPS},
};

WORD virtualKey(const std::wstring& name) {
    if (name.size() == 1 && iswalnum(name[0])) return WORD(towupper(name[0]));
    if (name.size() >= 2 && name[0] == L'f' && iswdigit(name[1])) {
        long long n = number(name.substr(1));
        if (n >= 1 && n <= 24) return WORD(VK_F1 + n - 1);
    }
    auto found = kKeyNames.find(name);
    if (found == kKeyNames.end()) throw UsageError("unknown key " + utf8(name));
    return found->second;
}

INPUT keyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = WORD(MapVirtualKeyW(key, 0));
    bool extended = (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE ||
                    key == VK_LWIN || key == VK_APPS;
    input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

// "alt+a": the keys pressed in order and released in reverse.
std::vector<INPUT> comboInputs(const std::wstring& combo) {
    std::vector<WORD> keys;
    for (size_t start = 0; start <= combo.size();) {
        size_t plus = combo.find(L'+', start);
        if (plus == std::wstring::npos) plus = combo.size();
        keys.push_back(virtualKey(combo.substr(start, plus - start)));
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (WORD key : keys) inputs.push_back(keyInput(key, false));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) inputs.push_back(keyInput(*key, true));
    return inputs;
}

// ==== Commands ====

int findCommand(const Arguments& args) {
    std::vector<HWND> found;
    if (!waitFor(timeLimit(args), [&] { return !(found = matchingWindows(args)).empty(); })) return 1;
    print(handleText(found.front()) + "\n");
    return 0;
}

// Handle, process id, visible, style, extended style, window rectangle, class, title.
void printWindowRow(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    RECT r{};
    GetWindowRect(window, &r);
    char fields[160];
    std::snprintf(fields, sizeof fields, "\t%lu\t%d\t0x%08lX\t0x%08lX\t%ld,%ld,%ld,%ld\t", process,
                  IsWindowVisible(window) ? 1 : 0, GetWindowLongW(window, GWL_STYLE),
                  GetWindowLongW(window, GWL_EXSTYLE), r.left, r.top, r.right, r.bottom);
    print(handleText(window) + fields + utf8(classOf(window)) + "\t" + utf8(textOf(window)) + "\n");
}

int listCommand(const Arguments& args) {
    for (HWND window : matchingWindows(args)) printWindowRow(window);
    return 0;
}

// alpha HANDLE: the constant alpha of a layered window, 255 for any other.
int alphaCommand(const Arguments& args) {
    HWND window = handle(args.at(0));
    BYTE alpha = 255;
    DWORD flags = 0;
    if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) ||
        !GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        alpha = 255;
    print(std::to_string(alpha) + "\n");
    return 0;
}

// The descendants matching "--class", "--title" and "--id", in the platform's order.
int childrenCommand(const Arguments& args) {
    for (HWND child : childWindows(handle(args.at(0)))) {
        int id = GetDlgCtrlID(child);
        if (!args.allows(L"--class", classOf(child)) || !args.allows(L"--title", textOf(child)) ||
            (args.has(L"--id") && number(args.option(L"--id")) != id))
            continue;
        RECT r{};
        GetWindowRect(child, &r);
        char fields[120];
        std::snprintf(fields, sizeof fields, "\t%d\t%d\t%d\t%ld,%ld,%ld,%ld\t", id, IsWindowEnabled(child) ? 1 : 0,
                      IsWindowVisible(child) ? 1 : 0, r.left, r.top, r.right, r.bottom);
        print(handleText(child) + fields + utf8(classOf(child)) + "\t" + utf8(textOf(child)) + "\n");
    }
    return 0;
}

int clientCommand(const Arguments& args) {
    RECT r{};
    if (!GetClientRect(handle(args.at(0)), &r)) throw std::runtime_error("no such window");
    print(std::to_string(r.right) + " " + std::to_string(r.bottom) + "\n");
    return 0;
}

// wait HANDLE visible|hidden|gone
int waitCommand(const Arguments& args) {
    HWND window = handle(args.at(0));
    const std::wstring& state = args.at(1);
    std::function<bool()> test;
    if (state == L"visible") test = [&] { return IsWindowVisible(window) != FALSE; };
    else if (state == L"hidden") test = [&] { return IsWindow(window) && !IsWindowVisible(window); };
    else if (state == L"gone") test = [&] { return !IsWindow(window); };
    else throw UsageError("wait for visible, hidden or gone");
    return waitFor(timeLimit(args), test) ? 0 : 1;
}

// The box's text, CR dropped; with "--buttons" its button captions, one a line.
int msgboxCommand(const Arguments& args) {
    HWND box = waitForMessageBox(args);
    std::wstring text;
    if (args.has(L"--buttons")) {
        for (HWND button : buttonsOf(box)) text += withoutAmpersands(textOf(button)) + L"\n";
    } else {
        for (HWND control : childWindows(box))
            if (isTextControl(control)) text += textOf(control) + L"\n";
        std::erase(text, L'\r');
    }
    print(utf8(text));
    return 0;
}

int ownerCommand(const Arguments& args) {
    print(handleText(GetWindow(waitForMessageBox(args), GW_OWNER)) + "\n");
    return 0;
}

// press CAPTION: clicks the button and waits until the box is gone.
int pressCommand(const Arguments& args) {
    HWND box = waitForMessageBox(args);
    for (HWND button : buttonsOf(box)) {
        if (withoutAmpersands(textOf(button)) != args.at(0)) continue;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return waitFor(timeLimit(args), [&] { return !IsWindow(box); }) ? 0 : 1;
    }
    throw std::runtime_error("the box has no button " + utf8(args.at(0)));
}

// send|post HANDLE MESSAGE [WPARAM [LPARAM]]; send prints the result.
int messageCommand(const Arguments& args, bool post) {
    HWND window = handle(args.at(0));
    UINT message = UINT(number(args.at(1)));
    WPARAM wParam = args.count() > 2 ? WPARAM(number(args.at(2))) : 0;
    LPARAM lParam = args.count() > 3 ? LPARAM(number(args.at(3))) : 0;
    if (post) return PostMessageW(window, message, wParam, lParam) ? 0 : 1;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, timeLimit(args), &result)) return 1;
    print(std::to_string(static_cast<long long>(static_cast<LONG_PTR>(result))) + "\n");
    return 0;
}

int clickCommand(const Arguments& args) {
    clickAt(pointOf(args, 0), args);
    return 0;
}

// drag X1 Y1 X2 Y2: press, move in "--steps" steps (10), release; with pauses,
// so that a window moving with the mouse follows each step.
int dragCommand(const Arguments& args) {
    POINT from = pointOf(args, 0), to = pointOf(args, 2);
    ButtonFlags button = buttonFlags(args);
    int steps = int(number(args.option(L"--steps", L"10")));
    if (steps < 1) throw UsageError("--steps must be at least 1");
    send({mouseInput(from, 0), mouseInput(from, button.down)});
    for (int i = 1; i <= steps; ++i) {
        Sleep(30);
        POINT at{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        send({mouseInput(at, 0)});
    }
    Sleep(30);
    send({mouseInput(to, button.up)});
    return 0;
}

// ==== Dragging out ====

// IUnknown for one interface, deleted with its last reference.
template <class Interface>
class ComObject : public Interface {
public:
    virtual ~ComObject() = default;
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != __uuidof(Interface)) return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --references_;
        if (!left) delete this;
        return left;
    }

private:
    ULONG references_ = 1;
};

// The bytes of one clipboard format, handed out in a new global block on each ask.
class DragData final : public ComObject<IDataObject> {
public:
    DragData(CLIPFORMAT format, std::string bytes) : format_(format), bytes_(std::move(bytes)) {}

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!medium) return E_POINTER;
        *medium = {};
        if (HRESULT result = QueryGetData(format); result != S_OK) return result;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes_.size());
        void* bytes = block ? GlobalLock(block) : nullptr;
        if (!bytes) {
            if (block) GlobalFree(block);
            return E_OUTOFMEMORY;
        }
        std::memcpy(bytes, bytes_.data(), bytes_.size());
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        bool ours = format && format->cfFormat == format_ && format->dwAspect == DVASPECT_CONTENT &&
                    (format->tymed & TYMED_HGLOBAL);
        return ours ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    CLIPFORMAT format_;
    std::string bytes_;
};

// Drops when the dragging button goes up.
class DragSource final : public ComObject<IDropSource> {
public:
    explicit DragSource(DWORD button) : button_(button) {}
    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keys) override {
        if (escapePressed) return DRAGDROP_S_CANCEL;
        return keys & button_ ? S_OK : DRAGDROP_S_DROP;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    DWORD button_;
};

template <class Interface>
struct Released {
    void operator()(Interface* object) const { object->Release(); }
};
template <class Interface>
using ComPointer = std::unique_ptr<Interface, Released<Interface>>;

// A file list as another program offers it: wide names after the header,
// each ended by a zero, the list by one more.
std::string fileListBytes(const Arguments& args) {
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    std::wstring names;
    for (size_t i = 5; i < args.count(); ++i) names += args.at(i) + L'\0';
    names += L'\0';
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(wchar_t));
    return bytes;
}

// A text in the code page of the system, ended by a zero.
std::string textBytes(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

ComPointer<IDataObject> dragDataOf(const Arguments& args) {
    const std::wstring& kind = args.at(4);
    if (kind == L"files" && args.count() > 5) return ComPointer<IDataObject>(new DragData(CF_HDROP, fileListBytes(args)));
    if (kind == L"text" && args.count() == 6) return ComPointer<IDataObject>(new DragData(CF_TEXT, textBytes(args.at(5))));
    throw UsageError("dragout drags files PATH... or text TEXT");
}

std::string effectText(DWORD effect) {
    std::string text;
    for (auto [bit, name] : {std::pair{DROPEFFECT_COPY, "copy"}, {DROPEFFECT_MOVE, "move"}, {DROPEFFECT_LINK, "link"}})
        if (effect & bit) text += (text.empty() ? "" : "|") + std::string(name);
    return text.empty() ? "none" : text;
}

LRESULT CALLBACK gripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A small window of ours under the start point takes the button press, as a
// program's own window would, and the drag starts from that press; another
// thread moves the pointer meanwhile and lets the button go at the end.
int dragoutCommand(const Arguments& args) {
    POINT from = pointOf(args, 0), to = pointOf(args, 2);
    ButtonFlags button = buttonFlags(args);
    DWORD buttonKey = button.down == MOUSEEVENTF_LEFTDOWN ? MK_LBUTTON : button.down == MOUSEEVENTF_RIGHTDOWN ? MK_RBUTTON : MK_MBUTTON;
    int steps = int(number(args.option(L"--steps", L"10")));
    if (steps < 1) throw UsageError("--steps must be at least 1");
    ComPointer<IDataObject> data = dragDataOf(args);
    if (FAILED(OleInitialize(nullptr))) throw std::runtime_error("OLE did not start");
    WNDCLASSW type{};
    type.lpfnWndProc = gripProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"GuiKitDragGrip";
    type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&type);
    HWND grip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, type.lpszClassName, L"guikit drag", WS_POPUP | WS_VISIBLE,
                                from.x - 20, from.y - 20, 40, 40, nullptr, nullptr, type.hInstance, nullptr);
    if (!grip) throw std::runtime_error("no window to drag from");
    UpdateWindow(grip);
    HANDLE dragging = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD limit = timeLimit(args);
    bool refused = false;
    std::thread hand([&] {
        try {
            send({mouseInput(from, 0), mouseInput(from, button.down)});
            WaitForSingleObject(dragging, limit);
            for (int i = 1; i <= steps; ++i) {
                Sleep(30);
                send({mouseInput({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}, 0)});
            }
            Sleep(30);
            send({mouseInput(to, button.up)});
        } catch (const std::exception&) {
            refused = true;
        }
    });
    DWORD effect = DROPEFFECT_NONE;
    HRESULT result = E_FAIL;
    const DWORD start = GetTickCount();
    for (MSG message; GetTickCount() - start < limit;) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        DispatchMessageW(&message);
        bool pressed = message.hwnd == grip && (message.message == WM_LBUTTONDOWN || message.message == WM_RBUTTONDOWN ||
                                                message.message == WM_MBUTTONDOWN);
        if (!pressed) continue;
        SetEvent(dragging);
        ComPointer<IDropSource> source(new DragSource(buttonKey));
        result = DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
        break;
    }
    SetEvent(dragging);
    hand.join();
    CloseHandle(dragging);
    DestroyWindow(grip);
    data.reset();
    OleUninitialize();
    if (refused) throw std::runtime_error("SendInput refused the input");
    if (result == E_FAIL) throw std::runtime_error("the press never reached the drag window");
    if (FAILED(result)) throw std::runtime_error("the drag failed");
    print((result == DRAGDROP_S_DROP ? effectText(effect) : "none") + "\n");
    return 0;
}

// key COMBO...: each combination in turn ("alt+a", "down", "enter").
int keyCommand(const Arguments& args) {
    for (size_t i = 0; i < args.count(); ++i) send(comboInputs(args.at(i)));
    return 0;
}

// type TEXT: the characters themselves, whatever the keyboard.
int typeCommand(const Arguments& args) {
    std::vector<INPUT> inputs;
    for (wchar_t c : args.at(0)) {
        for (bool up : {false, true}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    send(inputs);
    return 0;
}

// chars HANDLE TEXT: character messages as an input method or a keyboard
// driver gives them; the ANSI ones in code page 932, a double-byte character
// with its lead byte first (in the high byte of WM_IME_CHAR).
int charsCommand(const Arguments& args) {
    HWND window = handle(args.at(0));
    std::wstring way = args.option(L"--as", L"bytes");
    if (way != L"bytes" && way != L"ime" && way != L"unicode") throw UsageError("--as is bytes, ime or unicode");
    for (wchar_t c : args.at(1)) {
        bool posted = true;
        if (way == L"unicode") {
            posted = PostMessageW(window, WM_CHAR, c, 1);
        } else {
            unsigned char bytes[2] = {};
            int count = WideCharToMultiByte(932, 0, &c, 1, reinterpret_cast<char*>(bytes), 2, nullptr, nullptr);
            if (count < 1) throw std::runtime_error("a character without a code-page-932 form");
            if (way == L"ime") posted = PostMessageA(window, WM_IME_CHAR, count == 2 ? bytes[0] << 8 | bytes[1] : bytes[0], 1);
            else
                for (int i = 0; i < count && posted; ++i) posted = PostMessageA(window, WM_CHAR, bytes[i], 1);
        }
        if (!posted) throw std::runtime_error("the window took no message");
    }
    return 0;
}

// Without a tray of the desktop's own, Wine shows its icons in the window
// "Wine System Tray", the first icon at the left of its client area.
int trayCommand(const Arguments& args) {
    HWND tray = nullptr;
    auto visibleTray = [&] {
        tray = FindWindowW(nullptr, L"Wine System Tray");
        return tray && IsWindowVisible(tray);
    };
    if (!waitFor(timeLimit(args), visibleTray)) return 1;
    RECT client{};
    GetClientRect(tray, &client);
    POINT point{client.left + 10, (client.top + client.bottom) / 2};
    ClientToScreen(tray, &point);
    clickAt(point, args);
    return 0;
}

// pixels HANDLE X Y [WIDTH HEIGHT]: one line per row, each pixel as aarrggbb.
// For a layered window Wine gives the buffer last handed to
// UpdateLayeredWindow: premultiplied, alpha included.
int pixelsCommand(const Arguments& args) {
    HWND window = handle(args.at(0));
    int x = int(number(args.at(1))), y = int(number(args.at(2)));
    int width = args.count() > 3 ? int(number(args.at(3))) : 1;
    int height = args.count() > 4 ? int(number(args.at(4))) : 1;
    if (width < 1 || height < 1) throw UsageError("the size must be positive");
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC source = GetDC(window);
    if (!source) throw std::runtime_error("no device context for the window");
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BOOL copied = BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    std::string rows;
    const auto* pixel = static_cast<const uint32_t*>(bits);
    for (int row = 0; copied && row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            char text[10];
            std::snprintf(text, sizeof text, column ? " %08x" : "%08x", static_cast<unsigned>(*pixel++));
            rows += text;
        }
        rows += "\n";
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    if (!copied) throw std::runtime_error("the window's pixels cannot be read");
    print(rows);
    return 0;
}

// What a control of a known class holds beside its text: a check box's
// check, a combo box's selection, an edit box's password character, a list
// box's count and caret item.
std::string controlState(HWND control) {
    std::wstring name = classOf(control);
    char text[64] = "";
    auto ask = [&](UINT message) { return static_cast<long long>(SendMessageW(control, message, 0, 0)); };
    if (name.find(L"CheckBox") != std::wstring::npos)
        std::snprintf(text, sizeof text, "check=%lld", ask(BM_GETCHECK));
    else if (name.find(L"ComboBox") != std::wstring::npos)
        std::snprintf(text, sizeof text, "selected=%lld", ask(CB_GETCURSEL));
    else if (name.find(L"Edit") != std::wstring::npos || name.find(L"Memo") != std::wstring::npos)
        std::snprintf(text, sizeof text, "password=%lld", ask(EM_GETPASSWORDCHAR));
    else if (name.find(L"ListBox") != std::wstring::npos)
        std::snprintf(text, sizeof text, "count=%lld caret=%lld", ask(LB_GETCOUNT), ask(LB_GETCARETINDEX));
    return text;
}

// controls HANDLE: every window inside it, parents before their children.
// The text is asked for (an edit box's is the user's).
int controlsCommand(const Arguments& args) {
    HWND top = handle(args.at(0));
    for (HWND child : childWindows(top)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
        wchar_t text[4096] = L"";
        DWORD_PTR length = 0;
        SendMessageTimeoutW(child, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length);
        char fields[96];
        std::snprintf(fields, sizeof fields, "\t%d\t%ld,%ld,%ld,%ld\t", IsWindowVisible(child) ? 1 : 0, r.left, r.top,
                      r.right, r.bottom);
        print(utf8(classOf(child)) + fields + utf8(std::wstring(text, length)) + "\t" + controlState(child) + "\n");
    }
    return 0;
}

struct Command {
    const wchar_t* name;
    std::vector<std::wstring> flags;  // options without a value
    std::function<int(const Arguments&)> run;
};

const Command kCommands[] = {
    {L"find", {L"--visible"}, findCommand},
    {L"list", {L"--visible"}, listCommand},
    {L"children", {}, childrenCommand},
    {L"client", {}, clientCommand},
    {L"alpha", {}, alphaCommand},
    {L"wait", {}, waitCommand},
    {L"msgbox", {L"--buttons"}, msgboxCommand},
    {L"owner", {}, ownerCommand},
    {L"press", {}, pressCommand},
    {L"send", {}, [](const Arguments& args) { return messageCommand(args, false); }},
    {L"post", {}, [](const Arguments& args) { return messageCommand(args, true); }},
    {L"click", {L"--double"}, clickCommand},
    {L"drag", {}, dragCommand},
    {L"dragout", {}, dragoutCommand},
    {L"key", {}, keyCommand},
    {L"type", {}, typeCommand},
    {L"chars", {}, charsCommand},
    {L"tray", {L"--double"}, trayCommand},
    {L"pixels", {}, pixelsCommand},
    {L"controls", {}, controlsCommand},
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        if (argc < 2) throw UsageError("no command");
        for (const Command& command : kCommands) {
            if (argv[1] != std::wstring(command.name)) continue;
            return command.run(Arguments(argc - 2, argv + 2, command.flags));
        }
        throw UsageError("unknown command " + utf8(argv[1]));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "guikit: %s\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "guikit: %s\n", error.what());
        return 1;
    }
}
