// The standard controls: TLabel (windowless text), TButtonControl with
// TButton (push button with a modal result and the default and cancel
// roles), TCheckBox (two or three states) and TRadioButton (one of a group),
// TCustomGroupBox with TGroupBox (a captioned frame around other controls)
// and TCustomRadioGroup with TRadioGroup (a group box of radio buttons made
// from its Items); and the byte selection of the system's edit windows.
#pragma once

#include <memory>
#include <vector>

#include "rtl/stringlist.h"
#include "ui/controls.h"

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
extern const TEnumInfo AlignmentInfo;
// A check box's text side: the two left-right values of TAlignment.
extern const TEnumInfo LeftRightInfo;
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };
extern const TEnumInfo TextLayoutInfo;
enum TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };
extern const TEnumInfo CheckBoxStateInfo;
// The case an edit box turns its text into.
enum TEditCharCase : uint8_t { ecNormal, ecUpperCase, ecLowerCase };
extern const TEnumInfo EditCharCaseInfo;

// ==== System edit windows ====

// The selection of an edit window (also a combo box's edit part) in bytes of
// its text: the window counts characters.
void getEditSelection(HWND edit, int& start, int& end);
// Selects the bytes start..end of the edit window's text.
void setEditSelection(HWND edit, int start, int end);

// ==== TLabel ====

class TLabel : public TGraphicControl {
    RTL_DECLARE_CLASS()
    explicit TLabel(TComponent* owner);

    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment value);
    // Fits the size to the text after every change of text or font (the
    // width stays with WordWrap).
    bool AutoSize() const { return AutoSize_; }
    void SetAutoSize(bool value);
    TTextLayout Layout() const { return Layout_; }
    void SetLayout(TTextLayout value);
    bool WordWrap() const { return WordWrap_; }
    void SetWordWrap(bool value);
    // Without a background of its own: what lies below shows through.
    bool Transparent() const { return Transparent_; }
    void SetTransparent(bool value);
    // "&" marks the accelerator; "&&" is an ampersand.
    bool ShowAccelChar() const { return ShowAccelChar_; }
    void SetShowAccelChar(bool value);
    // The control its accelerator focuses.
    TWinControl* FocusControl() const { return FocusControl_; }
    void SetFocusControl(TWinControl* value);

protected:
    ~TLabel() override = default;
    // A label read from a form stream takes its size once all is read.
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;

private:
    UINT drawFlags() const;
    void adjustSize();

    TWinControl* FocusControl_ = nullptr;
    TAlignment Alignment_ = taLeftJustify;
    TTextLayout Layout_ = tlTop;
    bool AutoSize_ = true;
    bool WordWrap_ = false;
    bool Transparent_ = false;
    bool ShowAccelChar_ = true;
};

// ==== Buttons ====

// A control made from the system's button class; clicks come as BN_CLICKED.
class TButtonControl : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TButtonControl(TComponent* owner);

protected:
    ~TButtonControl() override = default;
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    // A BN_CLICKED arrived.
    virtual void ButtonClicked() { Click(); }
};

class TButton : public TButtonControl {
    RTL_DECLARE_CLASS()
    explicit TButton(TComponent* owner);

    // Return anywhere in the form clicks the default button, Escape the
    // cancel button.
    bool Default() const { return Default_; }
    void SetDefault(bool value);
    bool Cancel() const { return Cancel_; }
    void SetCancel(bool value) { Cancel_ = value; }
    // Given to the form on a click (ending a modal form's loop).
    int ModalResult() const { return ModalResult_; }
    void SetModalResult(int value) { ModalResult_ = value; }

    void Click() override;

protected:
    ~TButton() override = default;
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    int ModalResult_ = 0;
    bool Default_ = false;
    bool Cancel_ = false;
};

class TCheckBox : public TButtonControl {
    RTL_DECLARE_CLASS()
    explicit TCheckBox(TComponent* owner);

    // Every change of state is a Click (OnClick), by the user or the program.
    TCheckBoxState State() const { return State_; }
    void SetState(TCheckBoxState value);
    bool Checked() const { return State_ == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    // A user click also passes through the grayed state.
    bool AllowGrayed() const { return AllowGrayed_; }
    void SetAllowGrayed(bool value) { AllowGrayed_ = value; }
    // The side of the box the text is on: taRightJustify puts it right.
    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment value);

protected:
    ~TCheckBox() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ButtonClicked() override;

private:
    TCheckBoxState State_ = cbUnchecked;
    TAlignment Alignment_ = taRightJustify;
    bool AllowGrayed_ = false;
};

// One of the radio buttons of its parent: checking it unchecks the others
// there. Becoming checked, by the user or the program, is a Click.
class TRadioButton : public TButtonControl {
    RTL_DECLARE_CLASS()
    explicit TRadioButton(TComponent* owner);

    bool Checked() const { return Checked_; }
    void SetChecked(bool value);

protected:
    ~TRadioButton() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ButtonClicked() override { SetChecked(true); }

private:
    bool Checked_ = false;
};

// ==== Group boxes ====

class TCustomGroupBox : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TCustomGroupBox(TComponent* owner);

protected:
    ~TCustomGroupBox() override = default;
    void PaintWindow(HDC dc) override;
    void AlignControls(TRect& rect) override;
    void TextChanged() override { Invalidate(); }
};

class TGroupBox : public TCustomGroupBox {
    RTL_DECLARE_CLASS()
    using TCustomGroupBox::TCustomGroupBox;

protected:
    ~TGroupBox() override = default;
};

class TCustomRadioGroup;

// The Items of a radio group: each line is the caption of one of its
// buttons, which come and go with the lines (the lines carry no objects).
class TRadioGroupItems final : public TStrings {
public:
    explicit TRadioGroupItems(TCustomRadioGroup* group) : Group_(group) {}

    int Count() const override;
    AnsiString Get(int index) const override;
    void Put(int index, const AnsiString& text) override;
    void Insert(int index, const AnsiString& text) override;
    void Delete(int index) override;
    void Clear() override;

private:
    TCustomRadioGroup* Group_;
};

// A group box of radio buttons, one for each line of Items, laid out in
// Columns from the top down. ItemIndex is the checked one (-1: none);
// checking one, by the user or the program, is the group's Click.
class TCustomRadioGroup : public TCustomGroupBox {
    RTL_DECLARE_CLASS()
    explicit TCustomRadioGroup(TComponent* owner);

    TStrings* Items() const { return Items_.get(); }
    // A value outside the items checks none.
    int ItemIndex() const;
    void SetItemIndex(int value);
    // 1 to 16.
    int Columns() const { return Columns_; }
    void SetColumns(int value);

protected:
    ~TCustomRadioGroup() override = default;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void AlignControls(TRect& rect) override;

private:
    friend class TRadioGroupItems;

    std::vector<TRadioButton*> Buttons_;  // owned by the group, in the order of the lines
    std::unique_ptr<TRadioGroupItems> Items_;
    TPendingIndex PendingIndex_;
    int Columns_ = 1;
};

class TRadioGroup : public TCustomRadioGroup {
    RTL_DECLARE_CLASS()
    using TCustomRadioGroup::TCustomRadioGroup;

protected:
    ~TRadioGroup() override = default;
};
