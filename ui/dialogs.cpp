// The common dialogs: the font picker runs ChooseFont with a hook procedure,
// which announces the dialog and carries Apply; like every platform callback
// it keeps what a handler raises for after ChooseFont has returned. The find
// and replace dialogs report their buttons to a hidden window of their own.
#include "ui/dialogs.h"

#include <dlgs.h>

#include <cstdio>
#include <vector>

#include "rtl/codepage.h"
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

const char* const findOptionNames[] = {
    "frDown",          "frFindNext",         "frHideMatchCase", "frHideWholeWord", "frHideUpDown",
    "frMatchCase",     "frDisableMatchCase", "frDisableUpDown", "frDisableWholeWord", "frReplace",
    "frReplaceAll",    "frWholeWord",        "frShowHelp"};
const TEnumInfo findOptionInfo{"TFindOption", findOptionNames, 13};

const TPropInfo findDialogProperties[] = {
    StringProperty<&TFindDialog::FindWhat, &TFindDialog::SetFindWhat>("FindText"),
    SetProperty<&TFindDialog::Options, &TFindDialog::SetOptions>("Options", &FindOptionsInfo, setOf(frDown)),
    MethodProperty<&TCommonDialog::OnClose, &TCommonDialog::OnClose>("OnClose", &NotifyEventType),
    MethodProperty<&TFindDialog::OnFind, &TFindDialog::OnFind>("OnFind", &NotifyEventType),
    MethodProperty<&TCommonDialog::OnShow, &TCommonDialog::OnShow>("OnShow", &NotifyEventType),
};

const TPropInfo replaceDialogProperties[] = {
    StringProperty<&TReplaceDialog::ReplaceWith, &TReplaceDialog::SetReplaceWith>("ReplaceText"),
    MethodProperty<&TReplaceDialog::OnReplace, &TReplaceDialog::OnReplace>("OnReplace", &NotifyEventType),
};

}  // namespace

const TSetInfo FindOptionsInfo{"TFindOptions", &findOptionInfo, 2};

const TMethodTypeInfo FDApplyEventType{"TFDApplyEvent"};

const TClassInfo TCommonDialog::classInfo = makeClassInfo("TCommonDialog", &TComponent::classInfo);
const TClassInfo TFontDialog::classInfo =
    makeClassInfo("TFontDialog", &TCommonDialog::classInfo, fontDialogProperties, &componentCreator<TFontDialog>);
const TClassInfo TFindDialog::classInfo =
    makeClassInfo("TFindDialog", &TCommonDialog::classInfo, findDialogProperties, &componentCreator<TFindDialog>);
const TClassInfo TReplaceDialog::classInfo = makeClassInfo("TReplaceDialog", &TFindDialog::classInfo,
                                                           replaceDialogProperties, &componentCreator<TReplaceDialog>);

HWND TCommonDialog::ownerWindow() {
    TCustomForm* form = Screen->ActiveForm();
    if (!form) form = Application->MainForm();
    return form && form->HandleAllocated() ? form->Handle() : nullptr;
}

void TCommonDialog::checkDialogError() {
    DWORD code = CommDlgExtendedError();
    if (code == 0) return;
    char text[48];
    std::snprintf(text, sizeof text, "Common dialog error %04lX", static_cast<unsigned long>(code));
    throw EComponentError(text);
}

TCommonDialog::TShowing::TShowing(TCommonDialog& dialog) : dialog_(dialog) {
    if (dialog_.Showing_) throw EComponentError("The dialog is already showing");
    dialog_.Showing_ = true;
}

// ==== TFontDialog ====

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), Font_(std::make_unique<TFont>()) {}

bool TFontDialog::Execute() {
    TKeepAlive hold(this);
    TShowing showing(*this);
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
    if (!chosen) checkDialogError();
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

// ==== Find and replace ====

namespace {

struct TFindFlag {
    TFindOption Option;
    DWORD Flag;
};

const TFindFlag findFlags[] = {
    {frDown, FR_DOWN},
    {frFindNext, FR_FINDNEXT},
    {frHideMatchCase, FR_HIDEMATCHCASE},
    {frHideWholeWord, FR_HIDEWHOLEWORD},
    {frHideUpDown, FR_HIDEUPDOWN},
    {frMatchCase, FR_MATCHCASE},
    {frDisableMatchCase, FR_NOMATCHCASE},
    {frDisableUpDown, FR_NOUPDOWN},
    {frDisableWholeWord, FR_NOWHOLEWORD},
    {frReplace, FR_REPLACE},
    {frReplaceAll, FR_REPLACEALL},
    {frWholeWord, FR_WHOLEWORD},
    {frShowHelp, FR_SHOWHELP},
};

// The options that tell which button was pressed; never asked for.
constexpr uint32_t kPressedOptions = setOf(frFindNext, frReplace, frReplaceAll);

DWORD flagsOf(uint32_t options) {
    DWORD flags = 0;
    for (const TFindFlag& row : findFlags)
        if (inSet(options, row.Option)) flags |= row.Flag;
    return flags;
}

uint32_t optionsOf(DWORD flags) {
    uint32_t options = 0;
    for (const TFindFlag& row : findFlags)
        if (flags & row.Flag) options |= setOf(row.Option);
    return options;
}

UINT findMessage() {
    static const UINT message = RegisterWindowMessageA(FINDMSGSTRINGA);
    return message;
}

// The modeless dialogs showing now, which the application's loop serves.
std::vector<HWND>& modelessDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

}  // namespace

bool HandleDialogMessage(MSG& msg) {
    for (HWND dialog : modelessDialogs())
        if (dialog == msg.hwnd || IsChild(dialog, msg.hwnd)) return IsDialogMessageA(dialog, &msg);
    return false;
}

TFindDialog::TFindDialog(TComponent* owner) : TCommonDialog(owner) {}

void TFindDialog::fillBuffer(char (&buffer)[kTextSize], const AnsiString& text) {
    size_t length = 0;
    for (size_t width; length < text.length(); length += width) {
        width = isLeadByte(static_cast<unsigned char>(text[length])) && length + 1 < text.length() ? 2 : 1;
        if (length + width >= kTextSize) break;
    }
    text.view().copy(buffer, length);
    buffer[length] = '\0';
}

void TFindDialog::SetFindWhat(const AnsiString& text) {
    FindWhat_ = text;
    if (Handle_) SetDlgItemTextA(Handle_, edt1, text.c_str());
}

bool TFindDialog::Execute() {
    if (Handle_) {
        SetActiveWindow(Handle_);
        return true;
    }
    if (!Window_)
        Window_ = std::make_unique<TMessageWindow>(TMessageWindow::THandler::bind<&TFindDialog::windowMessage>(this),
                                                   this, true);
    fillBuffer(FindBuffer_, FindWhat_);
    Record_ = FINDREPLACEA{};
    Record_.lStructSize = sizeof Record_;
    Record_.hwndOwner = Window_->Handle();
    Record_.lpstrFindWhat = FindBuffer_;
    Record_.wFindWhatLen = kTextSize;
    Record_.lpstrReplaceWith = ReplaceBuffer_;
    Record_.wReplaceWithLen = kTextSize;
    Record_.Flags = flagsOf(Options_ & ~kPressedOptions);
    Handle_ = callPlatform([&] { return showDialog(Record_); });
    if (!Handle_) {
        checkDialogError();
        return false;
    }
    modelessDialogs().push_back(Handle_);
    OnShow(this);
    return true;
}

HWND TFindDialog::showDialog(FINDREPLACEA& record) { return FindTextA(&record); }

// Cancel sends the closing notice, then the dialog destroys itself.
void TFindDialog::CloseDialog() {
    if (Handle_) callPlatform([&] { SendMessageA(Handle_, WM_COMMAND, IDCANCEL, 0); });
}

// The platform keeps the record and the buffers of a showing dialog: it goes
// before they do, and tells nobody.
void TFindDialog::BeforeDestruction() {
    if (!Handle_) return;
    HWND dialog = Handle_;
    forgetDialog();
    DestroyWindow(dialog);
}

void TFindDialog::forgetDialog() {
    std::erase(modelessDialogs(), Handle_);
    Handle_ = nullptr;
}

void TFindDialog::windowMessage(TMessage& message, bool& handled) {
    if (message.Msg != findMessage()) return;
    handled = true;
    const auto& record = *reinterpret_cast<const FINDREPLACEA*>(message.LParam);
    if (record.Flags & FR_DIALOGTERM) {
        forgetDialog();
        OnClose(this);
        return;
    }
    FindWhat_ = record.lpstrFindWhat;
    Options_ = optionsOf(record.Flags);
    buttonPressed(record);
}

void TFindDialog::buttonPressed(const FINDREPLACEA& record) {
    if (record.Flags & FR_FINDNEXT) OnFind(this);
}

TReplaceDialog::TReplaceDialog(TComponent* owner) : TFindDialog(owner) {}

void TReplaceDialog::SetReplaceWith(const AnsiString& text) {
    ReplaceWith_ = text;
    if (Handle()) SetDlgItemTextA(Handle(), edt2, text.c_str());
}

HWND TReplaceDialog::showDialog(FINDREPLACEA& record) {
    fillBuffer(ReplaceBuffer_, ReplaceWith_);
    return ReplaceTextA(&record);
}

void TReplaceDialog::buttonPressed(const FINDREPLACEA& record) {
    ReplaceWith_ = record.lpstrReplaceWith;
    if (record.Flags & (FR_REPLACE | FR_REPLACEALL)) OnReplace(this);
    else TFindDialog::buttonPressed(record);
}
