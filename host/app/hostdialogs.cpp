// The host settings dialog and the about box: their controls, laid out at
// fixed places on a fixed client area, and the settings dialog's enable rule.
#include "host/app/hostdialogs.h"

#include "host/window/layerwindow.h"
#include "ui/comctrls.h"
#include "ui/stdctrls.h"

namespace {

// A control of the form, placed on its parent.
template <class Control>
Control* place(TComponent* form, TWinControl* parent, int left, int top, int width, int height) {
    auto* control = new Control(form);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

// Return clicks the default button, Escape the cancel button.
TButton* placeButton(TForm* form, const AnsiString& caption, int left, int top, TModalResult result, bool isDefault,
                     bool isCancel) {
    auto* button = place<TButton>(form, form, left, top, 75, 25);
    button->SetCaption(caption);
    button->SetModalResult(result);
    button->SetDefault(isDefault);
    button->SetCancel(isCancel);
    return button;
}

// What both dialogs share: white, centred, the icon-title font, a fixed client area.
void dialogFrame(TForm* form, const AnsiString& caption, int clientWidth, int clientHeight) {
    form->SetCaption(caption);
    form->SetBorderStyle(bsDialog);
    form->SetColor(clWhite);
    form->SetPosition(poDesktopCenter);
    SetSystemFont(form->Font());
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(clientHeight);
}

}  // namespace

const TClassInfo TMainSettingForm::classInfo = makeClassInfo("TMainSettingForm", &TForm::classInfo);
const TClassInfo TAboutForm::classInfo = makeClassInfo("TAboutForm", &TForm::classInfo);

// ==== TMainSettingForm ====

TMainSettingForm::TMainSettingForm(TComponent* owner) : TForm(owner) {
    dialogFrame(this, "設定", 384, 257);
    PageControl = place<TPageControl>(this, this, 8, 8, 368, 208);
    GeneralSheet = new TTabSheet(this);
    GeneralSheet->SetPageControl(PageControl);
    GeneralSheet->SetCaption("一般　");
    HotKeyGroup = place<TGroupBox>(this, GeneralSheet, 8, 8, 344, 105);
    HotKeyGroup->SetCaption("ホットキー");
    EnabledHotKeyCheck = place<TCheckBox>(this, HotKeyGroup, 16, 24, 300, 17);
    EnabledHotKeyCheck->SetCaption("ホットキーを有効にする");
    EnabledHotKeyCheck->OnClick = TNotifyEvent::bind<&TMainSettingForm::EnabledHotKeyCheckClick>(this);
    HotKeyLabel = place<TLabel>(this, HotKeyGroup, 16, 50, 300, 15);
    HotKeyLabel->SetCaption("全てのウィンドウを表示するキー");
    HotKeyEdit = place<THotKey>(this, HotKeyGroup, 16, 70, 200, 19);
    HotKeyEdit->SetInvalidKeys(setOf(hcNone, hcShift));
    HotKeyEdit->SetModifiers(setOf(hkAlt));
    HotKeyEdit->SetHotKey(32833);
    OKButton = placeButton(this, "OK", 216, 224, mrOk, true, false);
    CancelButton = placeButton(this, "キャンセル", 301, 224, mrCancel, false, true);
}

void TMainSettingForm::DoShow() {
    EnabledHotKeyCheckClick(this);
    TForm::DoShow();
}

void TMainSettingForm::EnabledHotKeyCheckClick(TObject*) {
    bool enabled = EnabledHotKeyCheck->Checked();
    HotKeyLabel->SetEnabled(enabled);
    HotKeyEdit->SetEnabled(enabled);
}

// ==== TAboutForm ====

TAboutForm::TAboutForm(TComponent* owner) : TForm(owner) {
    dialogFrame(this, "Nimboraについて", 300, 120);
    NameLabel = place<TLabel>(this, this, 16, 16, 268, 24);
    NameLabel->SetCaption("Nimbora");
    NameLabel->Font()->SetSize(14);
    NameLabel->Font()->SetStyle(fontStyle(fsBold));
    MakerLabel = place<TLabel>(this, this, 16, 48, 268, 15);
    MakerLabel->SetCaption("デスクトップ ウィジェットの実行環境 - Nimbora 開発チーム");
    OKButton = placeButton(this, "OK", 113, 84, mrOk, true, true);
}
