// TSettingForm: the settings dialog of a widget window, built from the
// window's registered settings: a tab per category ("一般" first), a row per
// setting whose control follows the setting's type, and OK / キャンセル.
// The dialog reads each setting's row when it is built and writes the
// controls' values back into the settings, staged or stored.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "engine/core/notify.h"
#include "ui/forms.h"

class TButton;
class TJObject;
class TPageControl;
class TPanel;
class TTabSheet;

// What one row is built from: the setting's value and members.
struct TSettingData {
    AnsiString key;
    AnsiString value;
    AnsiString description;
    AnsiString type;
    AnsiString option;     // the comma list of a "select"
    AnsiString filter;     // the file dialog's filter of a "file"
    AnsiString directory;  // the starting folder of a "file" or "directory"
    bool multiple = false;  // a "select" as a check list
    AnsiString category;   // its tab; empty: the first one
    bool multiline = false;  // a "text" as a memo
};

// What the dialog needs of one setting (the script class "setting",
// host/script/settingobject.h): its row, its two values, and the script
// object that is held while the dialog shows it.
class TSettingItem {
public:
    virtual TSettingData SettingData() = 0;
    // The value staged for onSettingChanging (settingValue), and the stored one (value).
    virtual void StageValue(const AnsiString& value) = 0;
    virtual void StoreValue(const AnsiString& value) = 0;
    virtual TJObject& SettingObject() = 0;

protected:
    ~TSettingItem() = default;
};

class TSettingForm : public TForm {
    RTL_DECLARE_CLASS()
    explicit TSettingForm(TComponent* owner);

    // Adds the setting's row to its category's panel (made with its tab on
    // first use) and grows the height the dialog needs (its Tag). The setting
    // is held while the dialog lives, unless its engine frees it first: the
    // row then has no setting any more.
    void AddSettingControl(TSettingItem* setting);
    // Every value control's value, in row order, into its setting's
    // settingValue (staged) or value (stored).
    void CollectSettingValues(bool stored);

    TPanel* Panel1;
    TButton* OKButton;
    TButton* CancelButton;
    TPageControl* PageControl;
    TTabSheet* TabSheet1;
    TPanel* mainPanel;

protected:
    ~TSettingForm() override;

private:
    // A panel or control of the dialog, with the setting of its row and its
    // script object (none for a panel).
    struct TListed {
        TControl* control;
        TSettingItem* setting;
        TJObject* object;
    };

    TPanel* panelFor(const AnsiString& category);
    TPanel* newPanel(TWinControl* parent, const AnsiString& hint);
    void addBrowseButton(TPanel* panel, int y, const TSettingData& data, TSettingItem* setting);
    void browseClick(TObject* sender);
    void holdSetting(TControl* control, TSettingItem* setting);
    void settingFreed(TJNotify* sender, TJNotify* freed);
    // The value a control gives; false for panels and buttons.
    bool controlValue(TControl* control, AnsiString& value) const;

    std::vector<TListed> Listed_;
    TJNotifyLink SettingsLink_;  // hears of a row's setting freed with its engine
    HIMAGELIST TabImages_;  // the first tab's image, then every other tab's
};
