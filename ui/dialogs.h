// The system's common dialogs as components: TCommonDialog (Execute, OnShow,
// OnClose) and TFontDialog, the font picker, which offers an Apply button
// whenever OnApply is assigned. Used by the widget window's font entry and
// the script bridge's dialog wrappers.
#pragma once

#include <memory>

#include "ui/graphics.h"
#include "ui/wndproc.h"

// Apply pressed in a font dialog: Wnd is the dialog's window.
using TFDApplyEvent = TEvent<void(TObject* Sender, HWND Wnd)>;
extern const TMethodTypeInfo FDApplyEventType;

class TCommonDialog : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}

    // Shows the dialog modally; true when the user confirmed it.
    virtual bool Execute() = 0;

    TNotifyEvent OnClose;
    TNotifyEvent OnShow;

protected:
    ~TCommonDialog() override = default;
    // The window the dialog belongs to: the active form's, else the main form's.
    static HWND ownerWindow();
};

class TFontDialog : public TCommonDialog {
    RTL_DECLARE_CLASS()
    explicit TFontDialog(TComponent* owner);

    // Offered to the user at the start; holds the choice after OK or Apply.
    TFont* Font() const { return Font_.get(); }
    void SetFont(TFont* value) { Font_->Assign(value); }
    bool Execute() override;

    TFDApplyEvent OnApply;

protected:
    ~TFontDialog() override = default;

private:
    static UINT_PTR CALLBACK hookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void apply(HWND dialog);
    void takeChoice(const LOGFONTA& font, COLORREF color);

    std::unique_ptr<TFont> Font_;
};
