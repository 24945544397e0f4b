// The shell's folder picker. The folder to select at the start travels with
// the call itself, so pickers never share state.
#include "host/folderbrowser.h"

#include <shlobj.h>

#include "ui/controls.h"

namespace {

// The picker's callback: selects the starting folder once the picker is up.
// It raises nothing (a platform callback).
int CALLBACK browseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    const auto* folder = reinterpret_cast<const AnsiString*>(data);
    if (message == BFFM_INITIALIZED && !folder->empty())
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder->c_str()));
    return 0;
}

// Refuses an owner without a window before the component joins it.
TComponent* windowedOwner(TComponent* owner) {
    if (!owner || !owner->InheritsFrom(&TWinControl::classInfo)) throw Exception("I need WinControl!!!");
    return owner;
}

}  // namespace

const TClassInfo TFolderBrowser::classInfo = makeClassInfo("TFolderBrowser", &TComponent::classInfo);

TFolderBrowser::TFolderBrowser(TComponent* owner) : TComponent(windowedOwner(owner)) {}

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
    info.lParam = reinterpret_cast<LPARAM>(&Folder);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen) return false;
    char path[MAX_PATH] = {};
    bool found = SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    if (found) Folder = path;
    return found;
}
