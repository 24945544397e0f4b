// The shell's folder picker. The picker's callback finds its component
// through the call itself, so pickers never share state.
#include "host/window/folderbrowser.h"

#include <shlobj.h>

#include "ui/application.h"
#include "ui/controls.h"

namespace {

// Refuses an owner without a window before the component joins it.
TComponent* windowedOwner(TComponent* owner) {
    if (!owner || !owner->InheritsFrom(&TWinControl::classInfo)) throw Exception("I need WinControl!!!");
    return owner;
}

}  // namespace

const TClassInfo TFolderBrowser::classInfo = makeClassInfo("TFolderBrowser", &TComponent::classInfo);

TFolderBrowser::TFolderBrowser(TComponent* owner) : TComponent(windowedOwner(owner)) {}

// A platform callback: what it raises waits for the picker to return.
int CALLBACK TFolderBrowser::browseCallback(HWND window, UINT message, LPARAM item, LPARAM data) {
    guardCallback([&] {
        auto* browser = reinterpret_cast<TFolderBrowser*>(data);
        if (message == BFFM_INITIALIZED && !browser->Folder.empty())
            SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(browser->Folder.c_str()));
        if (message != BFFM_SELCHANGED) return;
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(item), path)) browser->selectionChanged(window, path);
    });
    return 0;
}

void TFolderBrowser::selectionChanged(HWND window, const char* path) {
    if (!OnChangeFolder || !path[0]) return;
    int statusIndex = -1;
    AnsiString statusText;
    TChangeFolderEvent handler = OnChangeFolder;  // a handler may replace it
    handler(this, AnsiString(path), statusIndex, statusText);
    if (statusIndex != -1) SendMessageA(window, BFFM_ENABLEOK, 0, statusIndex);
    if (!statusText.empty()) SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(statusText.c_str()));
}

bool TFolderBrowser::Execute() {
    UINT flags = (BrowseFlags & (1u << bfDirsOnly) ? BIF_RETURNONLYFSDIRS : 0) |
                 (BrowseFlags & (1u << bfStatusText) ? BIF_STATUSTEXT : 0) |
                 (BrowseFlags & (1u << bfComputersOnly) ? BIF_BROWSEFORCOMPUTER : 0) |
                 (BrowseFlags & (1u << bfPrintersOnly) ? BIF_BROWSEFORPRINTER : 0);
    char display[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = static_cast<TWinControl*>(Owner())->Handle();
    info.pszDisplayName = display;
    info.lpszTitle = Title.c_str();
    info.ulFlags = flags;
    info.lpfn = &browseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    TKeepAlive hold(this);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    char path[MAX_PATH] = {};
    bool found = chosen && SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    Application->RaisePendingException();
    if (found) Folder = path;
    return found;
}
