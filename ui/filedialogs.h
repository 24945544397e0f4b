// TOpenDialog: the system's file-open dialog as a component.
#pragma once

#include "ui/dialogs.h"

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
