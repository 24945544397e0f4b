// List controls over the system's list and combo boxes: TCustomComboBox with
// TComboBox (a box to type a text in or choose it from a drop-down list),
// TCustomListBox with TListBox (a list to choose one or several items from)
// and TCheckListBox (a list whose items each carry a check box), and
// TControlItems, their live Items: a TStrings whose storage is the window,
// and the items kept for the next window while there is none.
#pragma once

#include <memory>

#include "rtl/stringlist.h"
#include "ui/stdctrls.h"

// ==== TControlItems ====

// The messages of one kind of list window.
struct TItemMessages {
    UINT GetCount, GetText, GetTextLen, InsertString, DeleteString, ResetContent, GetItemData, SetItemData,
        GetCurSel, SetCurSel;
};

// The items of a list or combo box. Every change shows in the window at once
// (and tells OnChange); what a program sends the window itself is read back
// from it. Each item has a data word: its object, or where the control keeps
// its own data there (a check list box's check states), no object at all.
class TControlItems final : public TStrings {
public:
    TControlItems(TWinControl* control, const TItemMessages& messages, bool dataIsObject);

    int Count() const override;
    AnsiString Get(int index) const override;
    // Keeps the item's data word, and the current item where it was.
    void Put(int index, const AnsiString& text) override;
    void* GetObjectAt(int index) const override;
    void PutObjectAt(int index, void* object) override;
    void Insert(int index, const AnsiString& text) override;
    int Add(const AnsiString& text) override;
    void Delete(int index) override;
    void Clear() override;
    // The data words travel with their items.
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;

    // The data word of an item; the list index error outside the items.
    LPARAM Data(int index) const;
    void SetData(int index, LPARAM data);

    // The current item while there is no window (-1: none); insertions and
    // deletions move it as they move the window's own.
    int KeptIndex() const { return KeptIndex_; }
    void SetKeptIndex(int index);
    // The control's new window takes the kept items.
    void WindowCreated();
    // The control's window is going: its items are kept.
    void WindowDestroying();

protected:
    // No painting inside an update bracket.
    void SetUpdateState(bool updating) override;

private:
    bool windowed() const { return Control_->HandleAllocated(); }
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // At the end with index -1; gives the item's index.
    int insertItem(int index, const AnsiString& text, LPARAM data);
    void deleteItem(int index);
    void replaceItem(int index, const AnsiString& text, LPARAM data);

    TWinControl* Control_;
    const TItemMessages& Messages_;
    TStringList Kept_;  // the data word as the object
    int KeptIndex_ = -1;
    bool DataIsObject_;
};

// ==== Combo boxes ====

// csDropDown lets the user type a text of his own; csDropDownList only chooses.
enum TComboBoxStyle : uint8_t { csDropDown, csDropDownList };
extern const TEnumInfo ComboBoxStyleInfo;

// The box's text, the selection and the notifications (OnChange, OnClick,
// OnSelect, OnDropDown, OnCloseUp) are those of the system's combo box; the
// keys typed into its edit part pass through the control's key events, and
// OnEnter and OnExit follow the focus of the box as a whole.
class TCustomComboBox : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TCustomComboBox(TComponent* owner);

    TStrings* Items() const { return Items_.get(); }
    // The selected item; -1 when none. A value outside the items selects none.
    int ItemIndex() const;
    void SetItemIndex(int value);
    TComboBoxStyle Style() const { return Style_; }
    void SetStyle(TComboBoxStyle value);
    // The case the box turns its text and items into.
    TEditCharCase CharCase() const { return CharCase_; }
    void SetCharCase(TEditCharCase value);

    // ---- Text and selection (byte offsets into Text) ----
    // What the box shows: the typed or chosen text; in a drop-down list the
    // selected item's. A new text tells OnChange, as typing does; in a
    // drop-down list it chooses the item of that text (none when there is
    // none), which tells nothing, as ItemIndex does.
    AnsiString Text() const;
    void SetText(const AnsiString& value);
    int SelStart() const;
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    AnsiString SelText() const;
    void SetSelText(const AnsiString& value);
    // The list is dropped down (on the screen).
    bool DroppedDown() const;
    void SetDroppedDown(bool value);
    // Empties the items and the text.
    void Clear();
    void SelectAll();

    // ---- Events ----
    // OnChange: the text changed (typed, chosen, or set). OnSelect and
    // OnClick: the user chose an item.
    TNotifyEvent OnChange;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnSelect;

protected:
    ~TCustomComboBox() override = default;
    void Loaded() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    LRESULT DefaultCharW(wchar_t character, LPARAM lParam) override;
    virtual void Change() { OnChange(this); }
    virtual void Select() { OnSelect(this); }
    virtual void DropDown() { OnDropDown(this); }
    virtual void CloseUp() { OnCloseUp(this); }

private:
    // The procedure the edit part is subclassed with.
    static LRESULT CALLBACK editWindowProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam);
    void command(WORD code);
    // The selection of the edit part as it gives it (characters), in bytes.
    void editSelection(int& start, int& end) const;
    void select(int start, int end);
    void subclassEdit();
    // A key message of the edit part: the control's key handling, then the edit.
    void editKey(TMessage& message);

    std::unique_ptr<TControlItems> Items_;
    HWND Edit_ = nullptr;           // the edit part, keys routed through this control
    WNDPROC EditProc_ = nullptr;    // its own procedure
    WNDPROC EditProcW_ = nullptr;   // the same in its wide form, for whole characters
    AnsiString Text_;               // kept while there is no window
    int SelStart_ = 0, SelEnd_ = 0;
    TComboBoxStyle Style_ = csDropDown;
    TEditCharCase CharCase_ = ecNormal;
    TPendingIndex PendingIndex_;
    bool SettingText_ = false;      // the program writes the edit part: no CBN_EDITCHANGE
};

class TComboBox : public TCustomComboBox {
    RTL_DECLARE_CLASS()
    using TCustomComboBox::TCustomComboBox;

protected:
    ~TComboBox() override = default;
};

// ==== List boxes ====

// A click is a change of the selection (by the mouse or the keys); a double
// click on the list is DblClick. The selection lives in the window (made
// when asked for it), the current item also while there is none.
class TCustomListBox : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TCustomListBox(TComponent* owner) : TCustomListBox(owner, true) {}

    TStrings* Items() const { return Items_.get(); }
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

    // ---- Selection ----
    // Whether the item is selected; the list index error outside the items.
    // Selecting an item of a single-selection list makes it the current one;
    // unselecting the current one leaves none.
    bool Selected(int index) const;
    void SetSelected(int index, bool value);
    // The number of selected items (in a single-selection list 0 or 1).
    int SelCount() const;
    // The first item shown.
    int TopIndex() const;
    void SetTopIndex(int value);
    void Clear() { Items_->Clear(); }
    void ClearSelection();
    void DeleteSelected();
    // Selects every item of a multiple-selection list.
    void SelectAll();
    // The item at a client point. A point in the client area below the last
    // item gives -1 with existing, else the item count; outside it, -1.
    int ItemAtPos(TPoint pos, bool existing) const;
    // The item's rectangle in client coordinates; the list index error
    // outside the items.
    TRect ItemRect(int index) const;

protected:
    // dataIsObject: see TControlItems.
    TCustomListBox(TComponent* owner, bool dataIsObject);
    ~TCustomListBox() override = default;
    void Loaded() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void checkItem(int index) const;

    std::unique_ptr<TControlItems> Items_;

private:
    TPendingIndex PendingIndex_;
    int ScrollWidth_ = 0;
    bool MultiSelect_ = false;
};

class TListBox : public TCustomListBox {
    RTL_DECLARE_CLASS()
    using TCustomListBox::TCustomListBox;

protected:
    ~TListBox() override = default;
};

// The check box of an item cycles with a click on it or with the space key
// (through cbGrayed with AllowGrayed), unless the item is disabled; each such
// toggle is OnClickCheck. The program's changes tell no event. The state
// travels with its item (it is the item's data word), so the items carry no
// objects.
class TCheckListBox : public TCustomListBox {
    RTL_DECLARE_CLASS()
    explicit TCheckListBox(TComponent* owner);

    // Each raises the list index error outside the items.
    TCheckBoxState State(int index) const;
    void SetState(int index, TCheckBoxState value);
    bool Checked(int index) const { return State(index) == cbChecked; }
    void SetChecked(int index, bool value) { SetState(index, value ? cbChecked : cbUnchecked); }
    // A disabled item is drawn grayed and does not toggle.
    bool ItemEnabled(int index) const;
    void SetItemEnabled(int index, bool value);
    bool AllowGrayed() const { return AllowGrayed_; }
    void SetAllowGrayed(bool value) { AllowGrayed_ = value; }

    TNotifyEvent OnClickCheck;

protected:
    ~TCheckListBox() override = default;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    virtual void ClickCheck() { OnClickCheck(this); }

private:
    void setData(int index, LPARAM data);
    void drawItem(const DRAWITEMSTRUCT& item);
    void toggle(int index);
    // The width of the check box column.
    int checkWidth() const;

    bool AllowGrayed_ = false;
};
