// The system objects over the desktop: Dialog shows the GUI library's open
// and save dialogs (ui/filedialogs.h) and the shell's folder browser (owned
// by the application window, none without one), Keyboard and Mouse read the input state at this
// moment, and Clipboard moves ANSI text through the platform's clipboard.
#include <windows.h>

#include <memory>
#include <vector>

#include "engine/core/errors.h"
#include "engine/core/hooks.h"
#include "engine/core/valuelist.h"
#include "engine/lib/appmessage.h"
#include "engine/support/dirutil.h"
#include "engine/support/mbstring.h"
#include "stdlib/strings.h"
#include "stdlib/sysobjects.h"
#include "ui/filedialogs.h"

namespace {

const TPropInfo dialogProperties[] = {
    ClassProperty<&TJDialogObject::filtersProperty>("filters", &TJStringsObject::classInfo),
};

const TPropInfo keyboardProperties[] = {
    BoolProperty<&TJKeyboard::shiftProperty>("shift"),
    BoolProperty<&TJKeyboard::ctrlProperty>("ctrl"),
    BoolProperty<&TJKeyboard::altProperty>("alt"),
};

const TPropInfo mouseProperties[] = {
    BoolProperty<&TJMouse::lbuttonProperty>("lbutton"), BoolProperty<&TJMouse::mbuttonProperty>("mbutton"),
    BoolProperty<&TJMouse::rbuttonProperty>("rbutton"), IntegerProperty<&TJMouse::xProperty>("x"),
    IntegerProperty<&TJMouse::yProperty>("y"),
};

const TPropInfo clipboardProperties[] = {
    StringProperty<&TJClipboard::asTextProperty, &TJClipboard::setAsTextProperty>("asText"),
};

// The asynchronous state reports the physical mouse buttons, not the swapped ones.
bool isKeyDown(int virtualKey) { return GetAsyncKeyState(virtualKey) & 0x8000; }

}  // namespace

const TClassInfo TJDialogObject::classInfo =
    makeClassInfo("TJDialogObject", &TJObject::classInfo, dialogProperties, &scriptCreator<TJDialogObject>);
const TClassInfo TJKeyboard::classInfo =
    makeClassInfo("TJKeyboard", &TJObject::classInfo, keyboardProperties, &scriptCreator<TJKeyboard>);
const TClassInfo TJMouse::classInfo =
    makeClassInfo("TJMouse", &TJObject::classInfo, mouseProperties, &scriptCreator<TJMouse>);
const TClassInfo TJClipboard::classInfo =
    makeClassInfo("TJClipboard", &TJObject::classInfo, clipboardProperties, &scriptCreator<TJClipboard>);

// ==== Dialog ====

TJDialogObject::TJDialogObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args), Filters_(createObject<TJStringsObject>(runtime, false, nullptr)) {
    Filters_->IncRef();
    SetClassName("Dialog");
    for (int i = 0; i < ArgCount(args); ++i) Filters_->GetStringList().Add(ValueToString(args->At(i)));
}

TJDialogObject::~TJDialogObject() { Filters_->DecRef(); }

namespace {

// The title argument, else the application's title (the program file's name
// until the program names itself).
AnsiString dialogTitle(TJValueList* args) { return HasArgs(args) ? ValueToString(args->At(0)) : GetAppTitle(); }

// The filter lines, trimmed, as one "|"-separated filter.
AnsiString dialogFilter(const TStrings& lines) {
    AnsiString joined;
    for (int i = 0; i < lines.Count(); ++i) {
        if (i > 0) joined += '|';
        joined += trimText(lines.Get(i));
    }
    return joined;
}

struct FreeDialog {
    void operator()(TOpenDialog* dialog) const { dialog->Free(); }
};

// Shows the open or save dialog modally; the chosen paths, none when cancelled.
std::vector<AnsiString> runFileDialog(TJDialogObject& self, TJValueList* args, bool save, bool multiple) {
    std::unique_ptr<TOpenDialog, FreeDialog> dialog(save ? new TSaveDialog(nullptr) : new TOpenDialog(nullptr));
    dialog->Title = dialogTitle(args);
    dialog->Filter = dialogFilter(self.filtersProperty()->Lines());
    if (HasTwoArgs(args)) dialog->FileName = ValueToString(args->At(1));
    if (multiple) dialog->Options |= setOf(ofAllowMultiSelect);
    if (!dialog->Execute()) return {};
    std::vector<AnsiString> paths;
    for (int i = 0; i < dialog->Files()->Count(); ++i) paths.push_back(dialog->Files()->Get(i));
    return paths;
}

void returnPath(const std::vector<AnsiString>& paths, TJValue& result) {
    if (paths.empty()) MakeNull(result);
    else MakeString(paths.front(), result);
}

void openFile(TJDialogObject& self, TJValueList* args, TJValue& result) {
    returnPath(runFileDialog(self, args, false, false), result);
}

void openFiles(TJDialogObject& self, TJValueList* args, TJValue& result) {
    std::vector<AnsiString> paths = runFileDialog(self, args, false, true);
    TJStringsObject* list = NewStringList(self.Runtime());
    MakeObject(list, result);
    for (const AnsiString& path : paths) list->GetStringList().Add(path);
}

void saveFile(TJDialogObject& self, TJValueList* args, TJValue& result) {
    returnPath(runFileDialog(self, args, true, false), result);
}

// Starts at the folder argument, else at the current folder.
void openFolder(TJDialogObject&, TJValueList* args, TJValue& result) {
    AnsiString folder;
    if (HasTwoArgs(args)) {
        folder = ValueToString(args->At(1));
    } else {
        char current[MAX_PATH * 2];
        DWORD length = GetCurrentDirectoryA(sizeof current, current);
        folder = AnsiString(current, length < sizeof current ? length : 0);
    }
    if (ShowFolderDialog(GetAppWindow(), dialogTitle(args), WideString(), folder)) MakeString(folder, result);
    else MakeNull(result);
}

const TJMethod<TJDialogObject> dialogMethods[] = {
    {"openFile", 0, &openFile},
    {"openFiles", 0, &openFiles},
    {"saveFile", 0, &saveFile},
    {"openFolder", 0, &openFolder},
};

}  // namespace

const TJMethodTable& TJDialogObject::Methods() const {
    static const TJMethodTable table(dialogMethods, TJObject::Methods());
    return table;
}

// ==== Keyboard and mouse ====

TJKeyboard::TJKeyboard(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
    SetClassName("Keyboard");
}

bool TJKeyboard::shiftProperty() const { return isKeyDown(VK_SHIFT); }
bool TJKeyboard::ctrlProperty() const { return isKeyDown(VK_CONTROL); }
bool TJKeyboard::altProperty() const { return isKeyDown(VK_MENU); }

namespace {

// The byte as it is names the virtual key: "a" is 97, the keypad's 1.
void isDown(TJKeyboard&, TJValueList* args, TJValue& result) {
    uint8_t code = HasArgs(args) ? ValueToChar(args->At(0)) : 0;
    if (code != 0) MakeBool(isKeyDown(code), result);
}

const TJMethod<TJKeyboard> keyboardMethods[] = {
    {"isDown", 0, &isDown},
};

}  // namespace

const TJMethodTable& TJKeyboard::Methods() const {
    static const TJMethodTable table(keyboardMethods, TJObject::Methods());
    return table;
}

TJMouse::TJMouse(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
    SetClassName("Mouse");
}

bool TJMouse::lbuttonProperty() const { return isKeyDown(VK_LBUTTON); }
bool TJMouse::mbuttonProperty() const { return isKeyDown(VK_MBUTTON); }
bool TJMouse::rbuttonProperty() const { return isKeyDown(VK_RBUTTON); }

int32_t TJMouse::xProperty() const {
    POINT cursor{};
    GetCursorPos(&cursor);
    return cursor.x;
}

int32_t TJMouse::yProperty() const {
    POINT cursor{};
    GetCursorPos(&cursor);
    return cursor.y;
}

// ==== Clipboard ====

TJClipboard::TJClipboard(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Clipboard");
}

namespace {

// The clipboard opened for a while (another program may hold it a moment),
// by a hidden window of ours: data set without an owner window is refused.
class OpenedClipboard {
public:
    OpenedClipboard() {
        static HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
            open_ = OpenClipboard(owner);
            if (!open_) Sleep(20);
        }
    }
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool isOpen() const { return open_; }

private:
    bool open_ = false;
};

// Puts the text on the clipboard; false when the platform refuses.
bool putText(const AnsiString& text) {
    OpenedClipboard clipboard;
    if (!clipboard.isOpen() || !EmptyClipboard()) return false;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.length() + 1);
    if (!memory) return false;
    memcpy(GlobalLock(memory), text.c_str(), text.length() + 1);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_TEXT, memory)) return true;
    GlobalFree(memory);
    return false;
}

void hasText(TJClipboard&, TJValueList*, TJValue& result) { MakeBool(IsClipboardFormatAvailable(CF_TEXT), result); }

const TJMethod<TJClipboard> clipboardMethods[] = {
    {"hasText", 0, &hasText},
};

}  // namespace

AnsiString TJClipboard::asTextProperty() const {
    OpenedClipboard clipboard;
    HANDLE data = clipboard.isOpen() ? GetClipboardData(CF_TEXT) : nullptr;
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (!text) return {};
    AnsiString copy(text, strnlen(text, GlobalSize(data)));
    GlobalUnlock(data);
    return copy;
}

// A text the clipboard refuses is reported, not lost in silence.
void TJClipboard::setAsTextProperty(AnsiString text) {
    if (!putText(text)) raiseScriptError("EClipboardError", "asText error");
}

const TJMethodTable& TJClipboard::Methods() const {
    static const TJMethodTable table(clipboardMethods, TJObject::Methods());
    return table;
}
