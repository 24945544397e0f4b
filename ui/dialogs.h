// The system's common dialogs: TCommonDialog, the base that runs one over an
// owner window, and TOpenDialog, the file-open dialog.
#pragma once

#include <windows.h>

#include "rtl/component.h"

class TCommonDialog : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}

    // Shows the dialog modally over the active window; true when the user
    // confirmed it.
    virtual bool Execute() = 0;

protected:
    ~TCommonDialog() override = default;
    // The window the dialog belongs to: the active one of this thread (none
    // when no window of it is active).
    static HWND ownerWindow();
};

class TOpenDialog : public TCommonDialog {
    RTL_DECLARE_CLASS()
    explicit TOpenDialog(TComponent* owner) : TCommonDialog(owner) {}

    // Pairs of a description and its patterns, separated by "|":
    // "Text|*.txt|All|*.*".
    AnsiString Filter;
    AnsiString InitialDir;
    // The chosen file; given before Execute, the name the dialog starts with.
    AnsiString FileName;
    AnsiString Title;

    bool Execute() override;

protected:
    ~TOpenDialog() override = default;
};
