// The bar controls, each over the system's common control of its kind:
// TTabControl (tabs from a string list), TProgressBar, TStatusBar with its
// TStatusPanels collection, TToolBar with its TToolButton entries, TCoolBar
// (a rebar whose bands hold its child controls), TUpDown (the arrow pair)
// and TSpinEdit, an edit with arrows that steps a number between limits.
// The script bridge and the host's dialogs build on them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <optional>
#include <vector>

#include "rtl/collection.h"
#include "rtl/stringlist.h"
#include "ui/comctrls.h"
#include "ui/edits.h"

// ==== TTabControl ====

class TTabControl : public TCustomTabControl {
    RTL_DECLARE_CLASS()
    explicit TTabControl(TComponent* owner);

    // The tabs' texts; a change shows at once.
    TStrings* Tabs() const { return Tabs_.get(); }
    void SetTabs(TStrings* value) { Tabs_->Assign(value); }
    // The selected tab; -1 when none.
    int TabIndex() const { return TabIndex_; }
    void SetTabIndex(int value);

protected:
    ~TTabControl() override = default;
    void Change() override;
    std::vector<TTabItem> TabItems() const override;
    int SelectedTab() const override { return TabIndex_; }

private:
    void tabsChanged(TStrings*);

    std::unique_ptr<TStringList> Tabs_;
    int TabIndex_ = -1;
};

// ==== TProgressBar ====

class TProgressBar : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TProgressBar(TComponent* owner);

    int Min() const { return Min_; }
    void SetMin(int value);
    int Max() const { return Max_; }
    void SetMax(int value);
    // Kept within Min..Max.
    int Position() const;
    void SetPosition(int value);
    int Step() const { return Step_; }
    void SetStep(int value) { Step_ = value; }
    // Advances by Step, wrapping past Max to Min as the control does.
    void StepIt();
    // Moves by delta, stopping at Min and Max.
    void StepBy(int delta);

protected:
    ~TProgressBar() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    int Min_ = 0, Max_ = 100, Position_ = 0, Step_ = 10;
};

// ==== TStatusBar ====

class TStatusBar;
enum TStatusPanelStyle : uint8_t { psText, psOwnerDraw };
extern const TEnumInfo StatusPanelStyleInfo;

class TStatusPanel : public TCollectionItem {
    RTL_DECLARE_CLASS()
    explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

    const AnsiString& Text() const { return Text_; }
    void SetText(const AnsiString& value);
    int Width() const { return Width_; }
    void SetWidth(int value);
    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment value);
    TStatusPanelStyle Style() const { return Style_; }
    void SetStyle(TStatusPanelStyle value);
    void Assign(const TPersistent* source) override;
    AnsiString DisplayName() const override { return Text_; }

private:
    AnsiString Text_;
    int Width_ = 50;
    TAlignment Alignment_ = taLeftJustify;
    TStatusPanelStyle Style_ = psText;
};

class TStatusPanels : public TCollection {
    RTL_DECLARE_CLASS()
    explicit TStatusPanels(TStatusBar* bar);

    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }

protected:
    // One panel's text goes to the window alone; other changes lay out all.
    void Update(TCollectionItem* item) override;

private:
    TStatusBar* Bar_;
};

using TDrawPanelEvent = TEvent<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;
// True when the handler took the hint.
using TStatusHintEvent = TEvent<bool(TObject* Sender)>;
extern const TMethodTypeInfo DrawPanelEventType, StatusHintEventType;

class TStatusBar : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TStatusBar(TComponent* owner);

    TStatusPanels* Panels() const { return Panels_.get(); }
    void SetPanels(TStatusPanels* value) { Panels_->Assign(value); }
    // One text over the whole bar in place of the panels.
    bool SimplePanel() const { return SimplePanel_; }
    void SetSimplePanel(bool value);
    const AnsiString& SimpleText() const { return SimpleText_; }
    void SetSimpleText(const AnsiString& value);
    bool SizeGrip() const { return SizeGrip_; }
    void SetSizeGrip(bool value);
    // The application's hint shows as the simple text (OnHint decides first).
    bool AutoHint() const { return AutoHint_; }
    void SetAutoHint(bool value);
    // The application's hint changed (AutoHint): OnHint takes it when it is
    // handled; else a hint shows over the panels, and none gives them back.
    void HintChanged(const AnsiString& hint);

    TDrawPanelEvent OnDrawPanel;
    TStatusHintEvent OnHint;

protected:
    // The panels go first, while the bar is whole.
    ~TStatusBar() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    friend class TStatusPanels;
    void updatePanels();
    void updatePanelText(int index);
    void sendPanelTexts();

    std::unique_ptr<TStatusPanels> Panels_;
    AnsiString SimpleText_;
    bool SimplePanel_ = false;
    bool SizeGrip_ = true;
    bool AutoHint_ = false;
    bool TextsPending_ = false;  // the panels' texts wait for CM_PANELTEXTS
};

// ==== TToolBar and TToolButton ====

// The common base of the tool bar and the cool bar.
class TToolWindow : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TToolWindow(TComponent* owner);

protected:
    ~TToolWindow() override = default;
};

class TToolBar;
enum TToolButtonStyle : uint8_t { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
extern const TEnumInfo ToolButtonStyleInfo;

// One button of a tool bar: a control without a window whose place is the
// tool bar's button; the tool bar's window draws it and takes its clicks.
class TToolButton : public TGraphicControl {
    RTL_DECLARE_CLASS()
    explicit TToolButton(TComponent* owner);

    void SetParent(TWinControl* parent) override;
    // The position among the tool bar's buttons; -1 without a tool bar.
    int Index() const;
    TToolButtonStyle Style() const { return Style_; }
    void SetStyle(TToolButtonStyle value);
    // A check button's state.
    bool Down() const { return Down_; }
    void SetDown(bool value);
    // Check buttons next to each other form a group where one is down.
    bool Grouped() const { return Grouped_; }
    void SetGrouped(bool value);
    // The menu a drop-down button shows; not owned.
    TPopupMenu* DropdownMenu() const { return DropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* value);
    // Also the action's Checked as Down.
    void ActionChange(TBasicAction* action) override;

protected:
    ~TToolButton() override;
    void Notification(TComponent* component, TOperation operation) override;
    void TextChanged() override;
    void EnabledChanged() override;
    void VisibleChanged() override;

private:
    friend class TToolBar;
    TToolBar* bar() const;
    void changed();
    void remake();

    TPopupMenu* DropdownMenu_ = nullptr;
    TToolButtonStyle Style_ = tbsButton;
    int CommandId_;
    bool Down_ = false;
    bool Grouped_ = false;
};

class TToolBar : public TToolWindow {
    RTL_DECLARE_CLASS()
    explicit TToolBar(TComponent* owner);

    int ButtonCount() const { return static_cast<int>(Buttons_.size()); }
    // Raises the list index error outside 0..ButtonCount-1.
    TToolButton* Buttons(int index) const;
    int RowCount();
    // Shows the button's drop-down menu under it; false when it has none.
    bool TrackMenu(TToolButton* button);
    bool ShowCaptions() const { return ShowCaptions_; }
    void SetShowCaptions(bool value);
    bool Flat() const { return Flat_; }
    void SetFlat(bool value);

    // The tool bar paints itself; scripts may claim these.
    TNotifyEvent OnAdvancedCustomDraw;
    TNotifyEvent OnAdvancedCustomDrawButton;
    TNotifyEvent OnCustomDraw;
    TNotifyEvent OnCustomDrawButton;

protected:
    ~TToolBar() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void AlignControls(TRect& rect) override;

private:
    friend class TToolButton;
    void insertButton(TToolButton* button);
    void removeButton(TToolButton* button);
    void updateButton(TToolButton* button);
    void addButtonToWindow(TToolButton* button, int index);
    void placeButtons();
    TToolButton* buttonOfCommand(int id) const;

    std::vector<TToolButton*> Buttons_;
    bool ShowCaptions_ = true;
    bool Flat_ = true;
};

// ==== TCoolBar ====

// A rebar: each windowed child control sits on a band of its own, in child
// order; a band shows the control's Caption as its text.
class TCoolBar : public TToolWindow {
    RTL_DECLARE_CLASS()
    explicit TCoolBar(TComponent* owner);

    // The bands the rebar has.
    int BandCount();
    // A band's text; empty outside the bands.
    AnsiString BandText(int index);

    TNotifyEvent OnChange;

protected:
    ~TCoolBar() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void AlignControls(TRect& rect) override;
    void ControlListChanged(TControl* control, bool inserted) override;

private:
    void updateBands();
};

// ==== TUpDown ====

enum TUDBtnType : uint8_t { btNext, btPrev };
extern const TEnumInfo UDBtnTypeInfo;
enum TUpDownDirection : uint8_t { updNone, updUp, updDown };
extern const TEnumInfo UpDownDirectionInfo;
enum TUDOrientation : uint8_t { udHorizontal, udVertical };
extern const TEnumInfo UDOrientationInfo;

using TUDChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;
using TUDChangingEventEx =
    TEvent<void(TObject* Sender, bool& AllowChange, int16_t NewValue, TUpDownDirection Direction)>;
using TUDClickEvent = TEvent<void(TObject* Sender, TUDBtnType Button)>;
extern const TMethodTypeInfo UDChangingEventType, UDChangingEventExType, UDClickEventType;

class TUpDown : public TToolWindow {
    RTL_DECLARE_CLASS()
    explicit TUpDown(TComponent* owner);

    int Min() const { return Min_; }
    void SetMin(int value);
    int Max() const { return Max_; }
    void SetMax(int value);
    // Kept within Min..Max.
    int Position() const;
    void SetPosition(int value);
    int Increment() const { return Increment_; }
    void SetIncrement(int value);
    // Past one end the position goes on from the other.
    bool Wrap() const { return Wrap_; }
    void SetWrap(bool value);
    TUDOrientation Orientation() const { return Orientation_; }
    void SetOrientation(TUDOrientation value);

    // An arrow is pressed: OnChanging and OnChangingEx may refuse the new
    // position; after a change OnClick names the arrow.
    TUDChangingEvent OnChanging;
    TUDChangingEventEx OnChangingEx;
    TUDClickEvent OnClick;

protected:
    ~TUpDown() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    virtual bool CanChange(int newValue, TUpDownDirection direction);
    virtual void ArrowClick(TUDBtnType button) { OnClick(this, button); }

private:
    void applyRange();

    int Min_ = 0, Max_ = 100, Position_ = 0, Increment_ = 1;
    bool Wrap_ = false;
    TUDOrientation Orientation_ = udVertical;
    std::optional<TUDBtnType> Moving_;  // the arrow of an allowed move, until the window reports it
};

// ==== TSpinEdit ====

// An edit that holds a number, with an arrow pair at its right end; the
// arrows and the Up and Down keys step it by Increment. With MaxValue above
// MinValue the value stays between them.
class TSpinEdit : public TCustomEdit {
    RTL_DECLARE_CLASS()
    explicit TSpinEdit(TComponent* owner);

    int MinValue() const { return MinValue_; }
    void SetMinValue(int value);
    int MaxValue() const { return MaxValue_; }
    void SetMaxValue(int value);
    int Increment() const { return Increment_; }
    void SetIncrement(int value) { Increment_ = value; }
    // The number in the text, kept within the limits; MinValue for a text
    // that is no number.
    int Value() const;
    void SetValue(int value);

protected:
    ~TSpinEdit() override = default;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void KeyDown(WORD& key, TShiftState shift) override;

private:
    int checkValue(int value) const;
    void placeArrows();

    HWND Arrows_ = nullptr;  // a child of the edit's window, gone with it
    int MinValue_ = 0, MaxValue_ = 0, Increment_ = 1;
};
