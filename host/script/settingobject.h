// The script class "setting": one key of the section "Settings" of the
// widget's settings file, shown as a row of its window's settings dialog.
// The setting registers with a widget window (enabling the window's "設定"
// entry) and follows it by free notification: a freed window reads as null.
#pragma once

#include <memory>

#include "engine/core/object.h"
#include "host/window/settingform.h"

class TSetting;
class TSkinForm;

class TJSettingObject : public TJObject, public TSettingItem {
    RTL_DECLARE_CLASS()
    TJSettingObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    // Unregisters from its window.
    ~TJSettingObject() override;

    const AnsiString& Key() const { return Key_; }
    // The window it is registered with; nil when none (or freed).
    TSkinForm* Window() const { return Window_; }

    // ---- The settings dialog's row ----
    // Its value, then its members "type", "description", "option",
    // "category", "directory", "filter" (texts) and "multiple", "multiline"
    // (script truth), named exactly.
    TSettingData SettingData() override;
    void StageValue(const AnsiString& value) override { SettingValue = value; }
    void StoreValue(const AnsiString& value) override { SetStoredValue(value); }
    TJObject& SettingObject() override { return *this; }

    // ---- Published ----
    // The stored value, or defaultValue when none is stored; writing stores
    // it at once (the file itself is saved at unload).
    AnsiString StoredValue() const;
    void SetStoredValue(const AnsiString& value);
    AnsiString DefaultValue;
    // The value the dialog staged before onSettingChanging.
    AnsiString SettingValue;
    // The window's wrapper; null when none.
    TObject* Parent() const;
    // Unregisters from the current window; a window object registers with
    // that window, anything else leaves the setting without one.
    void SetParent(TObject* parent);

protected:
    // Window, key, default; "ESettingError" without a key or a settings file.
    void Construct(TJValueList* args) override;

private:
    class WindowLink;
    struct LinkFree {
        void operator()(WindowLink* link) const;
    };

    void registerWith(TSkinForm* window);
    void unregister();

    TSetting* Setting_ = nullptr;  // the widget's settings file (outlives its engine)
    AnsiString Key_;
    TSkinForm* Window_ = nullptr;
    std::unique_ptr<WindowLink, LinkFree> Link_;
};
