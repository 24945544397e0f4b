// TFolderBrowser: the shell's folder picker, opened over its owner's window
// at a given folder. The widget settings dialog makes one for its folder rows.
#pragma once

#include <windows.h>

#include <cstdint>

#include "rtl/ansistring.h"
#include "rtl/component.h"

enum TBrowseFlag : uint8_t { bfComputersOnly, bfPrintersOnly, bfDirsOnly, bfStatusText };
using TBrowseFlags = uint8_t;
// The picker's selection moved to Folder: StatusIndex, when set to other than
// -1, enables (non-zero) or disables (0) the OK button; a StatusText set
// becomes the picker's status text.
using TChangeFolderEvent =
    TEvent<void(TObject* Sender, const AnsiString& Folder, int& StatusIndex, AnsiString& StatusText)>;

class TFolderBrowser : public TComponent {
    RTL_DECLARE_CLASS()
    // The owner must be a windowed control: its window owns the picker.
    explicit TFolderBrowser(TComponent* owner);

    AnsiString Title = "Select folder";
    // The folder selected when the picker opens, and the one chosen.
    AnsiString Folder;
    TBrowseFlags BrowseFlags = 0;
    TChangeFolderEvent OnChangeFolder;  // for selections with a file-system path

    // Shows the picker; true when a folder was chosen (then in Folder).
    bool Execute();

protected:
    ~TFolderBrowser() override = default;

private:
    // The picker's callback: the start folder once it is up, OnChangeFolder
    // as the selection moves.
    static int CALLBACK browseCallback(HWND window, UINT message, LPARAM item, LPARAM data);
    void selectionChanged(HWND window, const char* path);
};
