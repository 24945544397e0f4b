// TFolderBrowser: the shell's folder picker, opened over its owner's window
// at a given folder. The widget settings dialog makes one for its folder rows.
#pragma once

#include <cstdint>

#include "rtl/ansistring.h"
#include "rtl/component.h"

enum TBrowseFlag : uint8_t { bfComputersOnly, bfPrintersOnly, bfDirsOnly, bfStatusText };
using TBrowseFlags = uint8_t;

class TFolderBrowser : public TComponent {
    RTL_DECLARE_CLASS()
    // The owner must be a windowed control: its window owns the picker.
    explicit TFolderBrowser(TComponent* owner);

    AnsiString Title = "Select folder";
    // The folder selected when the picker opens, and the one chosen.
    AnsiString Folder;
    TBrowseFlags BrowseFlags = 0;

    // Shows the picker; true when a folder was chosen (then in Folder).
    bool Execute();

protected:
    ~TFolderBrowser() override = default;
};
