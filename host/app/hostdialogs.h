// The host's own dialogs, opened from the tray menu by the main form:
// TMainSettingForm, the host settings (whether the show-all hotkey is on and
// which key it is), and TAboutForm, the about box. Both are white, centred on
// the desktop and written in the system's icon-title font.
#pragma once

#include "ui/forms.h"

class TButton;
class TCheckBox;
class TGroupBox;
class THotKey;
class TLabel;
class TPageControl;
class TTabSheet;

class TMainSettingForm : public TForm {
    RTL_DECLARE_CLASS()
    explicit TMainSettingForm(TComponent* owner);

    TPageControl* PageControl;
    TTabSheet* GeneralSheet;
    TGroupBox* HotKeyGroup;
    TCheckBox* EnabledHotKeyCheck;
    TLabel* HotKeyLabel;
    THotKey* HotKeyEdit;
    TButton* OKButton;
    TButton* CancelButton;

protected:
    ~TMainSettingForm() override = default;
    void DoShow() override;

private:
    // The label and the editor are enabled exactly when the box is checked.
    void EnabledHotKeyCheckClick(TObject*);
};

class TAboutForm : public TForm {
    RTL_DECLARE_CLASS()
    explicit TAboutForm(TComponent* owner);

    TLabel* NameLabel;
    TLabel* MakerLabel;
    TButton* OKButton;

protected:
    ~TAboutForm() override = default;
};
