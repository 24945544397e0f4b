// List controls over the system's list and combo boxes: TCustomComboBox with
// TComboBox (a drop-down list to choose one item from), and TCustomListBox
// with TCheckListBox (a list whose items each carry a check box). The items
// are kept by the control and given to its window whenever it is made.
#pragma once

#include <vector>

#include "rtl/stringlist.h"
#include "ui/controls.h"

// csDropDown lets the user type a text of his own; csDropDownList only chooses.
enum TComboBoxStyle : uint8_t { csDropDown, csDropDownList };
extern const TEnumInfo ComboBoxStyleInfo;

class TCustomComboBox : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TCustomComboBox(TComponent* owner);

    const TStrings& Items() const { return Items_; }
    void SetItems(const TStrings& items);
    // The selected item; -1 when none. A value outside the items selects none.
    int ItemIndex() const;
    void SetItemIndex(int value);
    TComboBoxStyle Style() const { return Style_; }
    void SetStyle(TComboBoxStyle value);

protected:
    ~TCustomComboBox() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    TStringList Items_;
    int ItemIndex_ = -1;  // kept while there is no window
    TComboBoxStyle Style_ = csDropDown;
};

class TComboBox : public TCustomComboBox {
    RTL_DECLARE_CLASS()
    using TCustomComboBox::TCustomComboBox;

protected:
    ~TComboBox() override = default;
};

class TCustomListBox : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TCustomListBox(TComponent* owner);

    const TStrings& Items() const { return Items_; }
    virtual void SetItems(const TStrings& items);
    // The current item; -1 when none. A value outside the items makes none current.
    int ItemIndex() const;
    void SetItemIndex(int value);
    // Several items may be selected at once.
    bool MultiSelect() const { return MultiSelect_; }
    void SetMultiSelect(bool value);
    // The height of every item, in pixels.
    int ItemHeight() const;
    // The width the horizontal scroll bar scrolls over (0: none).
    int ScrollWidth() const { return ScrollWidth_; }
    void SetScrollWidth(int value);

protected:
    ~TCustomListBox() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

    TStringList Items_;

private:
    int ItemIndex_ = -1;  // kept while there is no window
    int ScrollWidth_ = 0;
    bool MultiSelect_ = false;
};

// The check box of an item toggles with a click on it or with the space key.
class TCheckListBox : public TCustomListBox {
    RTL_DECLARE_CLASS()
    explicit TCheckListBox(TComponent* owner);

    void SetItems(const TStrings& items) override;
    // Raises the list index error outside the items.
    bool Checked(int index) const;
    void SetChecked(int index, bool value);

    TNotifyEvent OnClickCheck;

protected:
    ~TCheckListBox() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    void drawItem(const DRAWITEMSTRUCT& item);
    void toggle(int index);
    // The width of the check box column.
    int checkWidth() const;

    std::vector<bool> Checked_;
};
