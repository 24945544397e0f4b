// The common dialogs: the font picker runs ChooseFont with a hook procedure,
// which announces the dialog and carries Apply; like every platform callback
// it keeps what a handler raises for after ChooseFont has returned.
#include "ui/dialogs.h"

#include <commdlg.h>
#include <dlgs.h>

#include "ui/controlprops.h"
#include "ui/forms.h"

namespace {

// The window property that leads the hook from the dialog to its component.
constexpr const char* kDialogProperty = "TFontDialog";

const TPropInfo fontDialogProperties[] = {
    ClassProperty<&TFontDialog::Font, &TFontDialog::SetFont>("Font", &TFont::classInfo),
    MethodProperty<&TFontDialog::OnApply, &TFontDialog::OnApply>("OnApply", &FDApplyEventType),
    MethodProperty<&TCommonDialog::OnClose, &TCommonDialog::OnClose>("OnClose", &NotifyEventType),
    MethodProperty<&TCommonDialog::OnShow, &TCommonDialog::OnShow>("OnShow", &NotifyEventType),
};

}  // namespace

const TMethodTypeInfo FDApplyEventType{"TFDApplyEvent"};

const TClassInfo TCommonDialog::classInfo = makeClassInfo("TCommonDialog", &TComponent::classInfo);
const TClassInfo TFontDialog::classInfo =
    makeClassInfo("TFontDialog", &TCommonDialog::classInfo, fontDialogProperties, &componentCreator<TFontDialog>);

HWND TCommonDialog::ownerWindow() {
    TCustomForm* form = Screen->ActiveForm();
    if (!form) form = Application->MainForm();
    return form && form->HandleAllocated() ? form->Handle() : nullptr;
}

// ==== TFontDialog ====

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), Font_(std::make_unique<TFont>()) {}

bool TFontDialog::Execute() {
    TKeepAlive hold(this);
    LOGFONTA font = Font_->LogFont();
    CHOOSEFONTA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = ownerWindow();
    choose.lpLogFont = &font;
    choose.rgbColors = ColorToRGB(Font_->Color());
    choose.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK | (OnApply ? CF_APPLY : 0);
    choose.lpfnHook = hookProc;
    choose.lCustData = reinterpret_cast<LPARAM>(this);
    bool chosen = callPlatform([&] { return ChooseFontA(&choose); }) != FALSE;
    if (chosen) takeChoice(font, choose.rgbColors);
    OnClose(this);
    return chosen;
}

void TFontDialog::takeChoice(const LOGFONTA& font, COLORREF color) {
    Font_->AssignLogFont(font);
    Font_->SetColor(static_cast<TColor>(color));
}

// Apply: the choice so far, its colour read from the dialog's colour list.
void TFontDialog::apply(HWND dialog) {
    LOGFONTA font{};
    SendMessageA(dialog, WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(&font));
    LRESULT index = SendDlgItemMessageA(dialog, cmb4, CB_GETCURSEL, 0, 0);
    LRESULT color = index == CB_ERR ? CB_ERR : SendDlgItemMessageA(dialog, cmb4, CB_GETITEMDATA, index, 0);
    takeChoice(font, color == CB_ERR ? ColorToRGB(Font_->Color()) : static_cast<COLORREF>(color));
    OnApply(this, dialog);
}

UINT_PTR CALLBACK TFontDialog::hookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    guardCallback([&] {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<TFontDialog*>(reinterpret_cast<CHOOSEFONTA*>(lParam)->lCustData);
            SetPropA(dialog, kDialogProperty, self);
            self->OnShow(self);
        } else if (message == WM_COMMAND && LOWORD(wParam) == psh3 && HIWORD(wParam) == BN_CLICKED) {
            if (auto* self = static_cast<TFontDialog*>(GetPropA(dialog, kDialogProperty))) self->apply(dialog);
        } else if (message == WM_DESTROY) {
            RemovePropA(dialog, kDialogProperty);
        }
    });
    return 0;  // the dialog's own handling goes on
}
