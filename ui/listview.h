// TListView over the system's list view control: its columns (a collection),
// its items with their sub-items, owner data (the program answers for rows it
// never stores), custom draw and the notifications in both character forms.
// The items live here, in their order; the window shows them through text
// callbacks, so what it asks for (also through its own messages) is answered
// from the items. The GUI bridge (bridge/listview.h) wraps all of it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "rtl/collection.h"
#include "rtl/stringlist.h"
#include "ui/comctrls.h"

class TListItems;
class TListView;

enum TViewStyle : uint8_t { vsIcon, vsSmallIcon, vsList, vsReport };
extern const TEnumInfo ViewStyleInfo;
enum TDisplayCode : uint8_t { drBounds, drIcon, drLabel, drSelectBounds };
extern const TEnumInfo DisplayCodeInfo;
enum TListArrangement : uint8_t { arAlignBottom, arAlignLeft, arAlignRight, arAlignTop, arDefault, arSnapToGrid };
extern const TEnumInfo ListArrangementInfo;
enum TSearchDirection : uint8_t { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
extern const TEnumInfo SearchDirectionInfo;
enum TItemState : uint8_t { isNone, isCut, isDropHilited, isFocused, isSelected, isActivating };
using TItemStates = uint8_t;
extern const TSetInfo ItemStatesInfo;
enum TItemChange : uint8_t { ctText, ctImage, ctState };
extern const TEnumInfo ItemChangeInfo;
enum TItemFind : uint8_t { ifData, ifPartialString, ifExactString, ifNearest };
extern const TEnumInfo ItemFindInfo;
enum TCustomDrawStage : uint8_t { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
extern const TEnumInfo CustomDrawStageInfo;
enum TCustomDrawStateElement : uint8_t {
    cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
extern const TSetInfo CustomDrawStateInfo;
using TCustomDrawState = TSet<TCustomDrawStateElement, CustomDrawStateInfo, uint16_t>;

// ==== What the list view and the tree view share ====

// The custom-draw stage and item state of a custom-draw notification.
TCustomDrawStage customDrawStage(DWORD drawStage);
TCustomDrawState customDrawState(UINT itemState);
// Copies a text into the buffer of a display-info notification, cut to fit
// (the wide form converted from code page 932).
void copyDispText(char* to, int room, const AnsiString& text);
void copyDispText(wchar_t* to, int room, const AnsiString& text);
// The text of an end-of-edit notification in code page 932; none when the
// edit was cancelled.
std::optional<AnsiString> editedText(const char* text);
std::optional<AnsiString> editedText(const wchar_t* text);

// A flag of the control's and the set element it stands for.
template <class E>
struct TFlagElement {
    UINT Flag;
    E Element;
};
// The set of the elements whose flags are among the flags.
template <class S, class E, size_t N>
S flagsToSet(UINT flags, const TFlagElement<E> (&table)[N]) {
    S set{};
    for (const auto& row : table)
        if (flags & row.Flag) set |= setOf(row.Element);
    return set;
}

using TLVCustomDrawEvent = TEvent<void(TObject* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawEvent =
    TEvent<void(TObject* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
// The whole control's stage of a custom draw: OnCustomDraw before the
// painting, OnAdvancedCustomDraw at each stage while the drawing is the
// control's own; the answer asks for the items' stage when itemLevel (a
// handler waits there) and for the stage after the painting when
// OnAdvancedCustomDraw waits for it.
LRESULT customDrawControl(TObject* sender, const NMCUSTOMDRAW& draw, const TLVCustomDrawEvent& onDraw,
                          const TLVAdvancedCustomDrawEvent& onAdvanced, bool itemLevel);

// Sets a field the window is made with; a window made already is made again.
template <class T>
void setWindowStyle(TWinControl& control, T& field, T value) {
    if (field == value) return;
    field = value;
    control.RecreateWnd();
}

// The items' BeginUpdate and EndUpdate: the control stops drawing at the
// first and draws itself whole after the last.
class TUpdateCount {
public:
    bool Updating() const { return Count_ > 0; }
    void Begin(TWinControl& control);
    void End(TWinControl& control);
    // Runs a change of many items between the two, also when it raises.
    template <class F>
    void Around(TWinControl& control, F&& change) {
        Begin(control);
        try {
            change();
        } catch (...) {
            End(control);
            throw;
        }
        End(control);
    }

private:
    int Count_ = 0;
};

// Sorts the items (a level of nodes) on a copy, taken only when whole: a
// compare handler that raises leaves them as they were, and sorting is set
// meanwhile, so that nothing adds or deletes under the sort. The compare
// box starts with the texts' comparison, so a sort without a handler sorts
// by text.
template <class Item, class Event>
void sortByText(std::vector<Item*>& items, AnsiString Item::*text, TObject* sender, const Event& onCompare,
                bool& sorting) {
    std::vector<Item*> order = items;
    sorting = true;
    try {
        std::stable_sort(order.begin(), order.end(), [&](Item* a, Item* b) {
            int compare = compareLocaleText((a->*text).view(), (b->*text).view(), false);
            onCompare(sender, a, b, 0, compare);
            return compare < 0;
        });
    } catch (...) {
        sorting = false;
        throw;
    }
    sorting = false;
    items = std::move(order);
}

class TListItem;
class TListColumn;

using TLVNotifyEvent = TEvent<void(TObject* Sender, TListItem* Item)>;
using TLVCompareEvent = TEvent<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVColumnClickEvent = TEvent<void(TObject* Sender, TListColumn* Column)>;
using TLVEditingEvent = TEvent<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = TEvent<void(TObject* Sender, TListItem* Item, AnsiString& S)>;
using TLVSelectItemEvent = TEvent<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = TEvent<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVOwnerDataHintEvent = TEvent<void(TObject* Sender, int StartIndex, int EndIndex)>;
using TLVOwnerDataFindEvent =
    TEvent<void(TObject* Sender, TItemFind Find, const AnsiString& FindString, TPoint FindPosition, int FindData,
                int StartIndex, TSearchDirection Direction, bool Wrap, int& Index)>;
using TLVCustomDrawItemEvent =
    TEvent<void(TObject* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw)>;
using TLVCustomDrawSubItemEvent =
    TEvent<void(TObject* Sender, TListItem* Item, int SubItem, TCustomDrawState State, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawItemEvent = TEvent<void(TObject* Sender, TListItem* Item, TCustomDrawState State,
                                                   TCustomDrawStage Stage, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawSubItemEvent = TEvent<void(TObject* Sender, TListItem* Item, int SubItem,
                                                      TCustomDrawState State, TCustomDrawStage Stage,
                                                      bool& DefaultDraw)>;
extern const TMethodTypeInfo LVNotifyEventType, LVCompareEventType, LVColumnClickEventType, LVEditingEventType,
    LVEditedEventType, LVSelectItemEventType, LVChangeEventType, LVOwnerDataHintEventType, LVOwnerDataFindEventType,
    LVCustomDrawEventType, LVCustomDrawItemEventType, LVCustomDrawSubItemEventType, LVAdvancedCustomDrawEventType,
    LVAdvancedCustomDrawItemEventType, LVAdvancedCustomDrawSubItemEventType;

// ==== Columns ====

class TListColumn : public TCollectionItem {
    RTL_DECLARE_CLASS()
    explicit TListColumn(TCollection* collection);

    AnsiString Caption() const { return Caption_; }
    void SetCaption(const AnsiString& value);
    int Width() const { return Width_; }
    void SetWidth(int value);
    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment value);
    AnsiString DisplayName() const override { return Caption_; }
    void Assign(const TPersistent* source) override;

private:
    AnsiString Caption_;
    int Width_ = 50;
    TAlignment Alignment_ = taLeftJustify;
};

class TListColumns : public TCollection {
    RTL_DECLARE_CLASS()
    explicit TListColumns(TListView* owner);
    TListColumn* Items(int index) const { return static_cast<TListColumn*>(TCollection::Items(index)); }
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }

protected:
    // The window's columns follow.
    void Update(TCollectionItem* item) override;
};

// ==== Items ====

class TListItem : public TPersistent {
    RTL_DECLARE_CLASS()
    explicit TListItem(TListItems* owner);
    ~TListItem() override;
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    TListItems* Owner() const { return Owner_; }
    TListView* ListView() const;
    // The position among the items (an owner-data row: the row it stands for).
    int Index() const;
    HWND Handle() const;

    AnsiString Caption() const { return Caption_; }
    void SetCaption(const AnsiString& value);
    TStrings* SubItems() const { return SubItems_.get(); }
    // The image of a sub-item; -1 for an index outside the sub-items, which
    // a write leaves alone.
    int SubItemImages(int index) const;
    void SetSubItemImages(int index, int image);
    void* Data() const { return Data_; }
    void SetData(void* value) { Data_ = value; }
    int ImageIndex() const { return ImageIndex_; }
    void SetImageIndex(int value);
    int StateIndex() const { return StateIndex_; }
    void SetStateIndex(int value);
    int OverlayIndex() const { return OverlayIndex_; }
    void SetOverlayIndex(int value);
    int Indent() const { return Indent_; }
    void SetIndent(int value);

    // ---- States, the window's while it has one ----
    bool Checked() const;
    void SetChecked(bool value);
    bool Selected() const { return state(LVIS_SELECTED); }
    void SetSelected(bool value) { setState(LVIS_SELECTED, value); }
    bool Focused() const { return state(LVIS_FOCUSED); }
    void SetFocused(bool value) { setState(LVIS_FOCUSED, value); }
    bool Cut() const { return state(LVIS_CUT); }
    void SetCut(bool value) { setState(LVIS_CUT, value); }
    bool DropTarget() const { return state(LVIS_DROPHILITED); }
    void SetDropTarget(bool value) { setState(LVIS_DROPHILITED, value); }

    // ---- Place (icon views) ----
    TPoint Position() const;
    void SetPosition(TPoint value);
    int Left() const { return Position().x; }
    void SetLeft(int value) { SetPosition({value, Position().y}); }
    int Top() const { return Position().y; }
    void SetTop(int value) { SetPosition({Position().x, value}); }

    void Delete();
    TRect DisplayRect(TDisplayCode code) const;
    bool EditCaption();
    void CancelEdit();
    void MakeVisible(bool partialOK);
    void Update();
    int WorkArea() const;

    // Caption, sub-items and their images, images, states and Data of
    // another item.
    void Assign(const TPersistent* source) override;

private:
    friend class TListItems;
    friend class TListView;
    bool state(UINT mask) const;
    void setState(UINT mask, bool value);
    void changed();
    void subItemsChanged(TStrings*);

    TListItems* Owner_;
    AnsiString Caption_;
    std::unique_ptr<TStringList> SubItems_;
    std::vector<int> SubItemImages_;
    void* Data_ = nullptr;
    int ImageIndex_ = -1, StateIndex_ = -1, OverlayIndex_ = -1, Indent_ = 0;
    UINT States_ = 0;  // kept while there is no window
    bool Checked_ = false;
    int Row_ = -1;  // the row an owner-data item stands for
};

class TListItems : public TPersistent {
    RTL_DECLARE_CLASS()
    explicit TListItems(TListView* owner);
    ~TListItems() override;
    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;

    TListView* Owner() const { return Owner_; }
    HWND Handle() const;
    int Count() const;
    // An owner-data list's row count (the window's item count).
    void SetCount(int value);
    // The item at an index; the list index error outside 0..Count-1. An
    // owner-data list answers with its one row item, filled by OnData.
    TListItem* Item(int index) const;
    TListItem* Add();
    TListItem* Insert(int index);
    void Delete(int index);
    void Clear();
    // -1 for an item not in the list (and for nil).
    int IndexOf(const TListItem* item) const;
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TListItem;
    friend class TListView;
    // The window's row of each item again, as after it was made.
    void insertRow(int index);
    void renumber(size_t from);

    TListView* Owner_;
    std::vector<TListItem*> Items_;
    std::unique_ptr<TListItem> RowItem_;  // owner data
    int RowCount_ = 0;                    // owner data
    TUpdateCount Updates_;
};

// ==== The list view ====

class TListView : public TWinControl {
    RTL_DECLARE_CLASS()
    explicit TListView(TComponent* owner);

    TListItems* Items() const { return Items_.get(); }
    TListColumns* Columns() const { return Columns_.get(); }

    TViewStyle ViewStyle() const { return ViewStyle_; }
    void SetViewStyle(TViewStyle value);
    // The rows are the program's (OnData fills them); the items hold none.
    bool OwnerData() const { return OwnerData_; }
    void SetOwnerData(bool value);
    bool Checkboxes() const { return Checkboxes_; }
    void SetCheckboxes(bool value);
    bool ReadOnly() const { return ReadOnly_; }
    void SetReadOnly(bool value);
    bool RowSelect() const { return RowSelect_; }
    void SetRowSelect(bool value);
    bool MultiSelect() const { return MultiSelect_; }
    void SetMultiSelect(bool value);
    bool GridLines() const { return GridLines_; }
    void SetGridLines(bool value);
    bool HideSelection() const { return HideSelection_; }
    void SetHideSelection(bool value);

    // ---- Items by state and place ----
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* item);
    TListItem* DropTarget() const;
    void SetDropTarget(TListItem* item);
    TListItem* TopItem() const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    int SelCount() const;
    int VisibleRowCount() const;
    TPoint ViewOrigin() const;
    TRect BoundingRect() const;

    // ---- Actions ----
    // Sorts by OnCompare, or by the captions without one; true when sorted.
    bool AlphaSort();
    void Arrange(TListArrangement code);
    TListItem* FindCaption(int startIndex, const AnsiString& value, bool partial, bool inclusive, bool wrap) const;
    THitTests GetHitTestInfoAt(int x, int y) const;
    TListItem* GetItemAt(int x, int y) const;
    TListItem* GetNearestItem(TPoint point, TSearchDirection direction) const;
    TListItem* GetNextItem(TListItem* startItem, TSearchDirection direction, TItemStates states) const;
    AnsiString GetSearchString() const;
    bool IsEditing() const;
    void Scroll(int dx, int dy);
    int StringWidth(const AnsiString& text) const;
    void UpdateItems(int firstIndex, int lastIndex);

    // ---- Events ----
    TLVNotifyEvent OnInsert;
    TLVNotifyEvent OnDeletion;
    TLVCompareEvent OnCompare;
    TLVColumnClickEvent OnColumnClick;
    TLVEditingEvent OnEditing;
    TLVEditedEvent OnEdited;
    TLVSelectItemEvent OnSelectItem;
    TLVChangeEvent OnChange;
    TLVNotifyEvent OnData;
    TLVOwnerDataFindEvent OnDataFind;
    TLVOwnerDataHintEvent OnDataHint;
    TLVCustomDrawEvent OnCustomDraw;
    TLVCustomDrawItemEvent OnCustomDrawItem;
    TLVCustomDrawSubItemEvent OnCustomDrawSubItem;
    TLVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TLVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;
    TLVAdvancedCustomDrawSubItemEvent OnAdvancedCustomDrawSubItem;

protected:
    // Every item is deleted (OnDeletion for each) while the control is whole.
    ~TListView() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

private:
    friend class TListItems;
    friend class TListItem;
    friend class TListColumns;
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void updateColumns();
    void applyExtendedStyle();
    // The item the window's row stands for (an owner-data row filled first).
    TListItem* rowItem(int row) const;
    void notify(TMessage& message);
    template <class Item>
    void dispInfo(Item& item);
    LRESULT customDraw(NMLVCUSTOMDRAW& draw);
    LRESULT findItem(const NMLVFINDITEMA* find, const NMLVFINDITEMW* findW);
    bool beginEdit(int row);
    bool endEdit(int row, const std::optional<AnsiString>& text);
    int rowOf(const TListItem* item) const;
    // The window's rows in the items' new order (the sort's compare callback).
    static int CALLBACK compareRows(LPARAM a, LPARAM b, LPARAM);

    std::unique_ptr<TListItems> Items_;
    std::unique_ptr<TListColumns> Columns_;
    AnsiString WideText_;  // the last text handed out in wide form (kept for the window)
    std::wstring WideBuffer_;
    TViewStyle ViewStyle_ = vsIcon;
    bool OwnerData_ = false;
    bool Checkboxes_ = false;
    bool ReadOnly_ = false;
    bool RowSelect_ = false;
    bool MultiSelect_ = false;
    bool GridLines_ = false;
    bool HideSelection_ = true;
    bool Sorting_ = false;
};
