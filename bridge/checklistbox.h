// TJCheckListBox, the script type "CheckListBox": items with a checked state
// each, which `execute` shows to the user in the check-list dialog
// (bridge/scriptdialogs.h). The items are a StringList the object makes and
// holds for its whole life; the list's change notification keeps one state
// per item, attached to positions, not to texts. Every engine component
// registers the type through its check-list library slot (bridge/caster.cpp).
#pragma once

#include <vector>

#include "engine/core/object.h"

class TJStringsObject;
class TStrings;

class TJCheckListBox : public TJObject {
    RTL_DECLARE_CLASS()
    TJCheckListBox(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJCheckListBox() override;

    // The state of the item at the index; outside the items "EIndexError".
    bool GetChecked(int32_t index) const;
    void SetChecked(int32_t index, bool checked);
    // Shows the dialog (an empty caption is the application's title); true
    // for OK, which takes the user's states. Either way `index` becomes the
    // list's item index at the end.
    bool Execute(const AnsiString& caption, const AnsiString& text, int32_t itemIndex, int32_t width,
                 int32_t height);

    // ---- Published properties ----
    TJObject* itemsProperty() const;
    int32_t countProperty() const;
    int32_t indexProperty() const { return Index_; }

    const TJMethodTable& Methods() const override;

private:
    void itemsChanged(TStrings* lines);

    TJStringsObject* Items_;
    std::vector<bool> Checked_;
    int32_t Index_ = -1;
};

// Registers "CheckListBox" with the runtime.
void RegisterCheckListBoxType(TJRuntime& runtime);
