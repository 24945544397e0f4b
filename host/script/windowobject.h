// The script class "window": the script face of a widget window (TSkinForm).
// TJVCLBaseExForm carries the window's handlers, methods and `popupMenu`;
// TJVCLExForm makes the window it stands for. Made with two optional
// arguments: whether it is the widget's main window, and its section in the
// widget's settings file.
#pragma once

#include "host/script/elementbase.h"
#include "ui/forms.h"

class TSkinForm;

class TJVCLBaseExForm : public TJExVCLWinControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseExForm(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // The linked window; nil when none.
    TSkinForm* Window() const;
    const TClassInfo* VCLClass() const override;
    TJHookList Hooks() const override;
    const TJMethodTable& Methods() const override;

    // ---- Published ----
    // Whether the window has a popup menu; true gives back its own menu.
    bool PopupMenu() const;
    void SetPopupMenu(bool value);

    // ---- The window's own handlers ----
    void WindowClose(TObject* sender, TCloseAction& action);
    void WindowMouseWheel(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled);
    // onSettingChanging refuses the staged values by setting returnValue false.
    void WindowSettingChanging(TObject* sender, bool& accept);

protected:
    // The constructor's steps once the window is made: identity, `main`,
    // section, registration with the host, then onCreate.
    void Construct(TJValueList* args) override;
};

class TJVCLExForm : public TJVCLBaseExForm {
    RTL_DECLARE_CLASS()
    using TJVCLBaseExForm::TJVCLBaseExForm;

    // A window with no owner, owned by the wrapper.
    void CreateVCL() override;
};
