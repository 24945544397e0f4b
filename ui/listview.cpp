// The list view: columns, items kept here and shown through text callbacks,
// owner data, sorting, editing in place, custom draw, and the window's
// notifications (in the narrow and the wide form: Wine sends some of an ANSI
// window's, such as the owner-data find, in the wide form only).
#include "ui/listview.h"

#include <algorithm>
#include <cstring>

#include "rtl/codepage.h"
#include "ui/controlprops.h"

namespace {

const char* const viewStyleNames[] = {"vsIcon", "vsSmallIcon", "vsList", "vsReport"};
const char* const displayCodeNames[] = {"drBounds", "drIcon", "drLabel", "drSelectBounds"};
const char* const arrangementNames[] = {"arAlignBottom", "arAlignLeft", "arAlignRight",
                                        "arAlignTop",    "arDefault",   "arSnapToGrid"};
const char* const searchDirectionNames[] = {"sdLeft", "sdRight", "sdAbove", "sdBelow", "sdAll"};
const char* const itemStateNames[] = {"isNone", "isCut", "isDropHilited", "isFocused", "isSelected", "isActivating"};
const TEnumInfo itemStateInfo{"TItemState", itemStateNames, 6};
const char* const itemChangeNames[] = {"ctText", "ctImage", "ctState"};
const char* const itemFindNames[] = {"ifData", "ifPartialString", "ifExactString", "ifNearest"};
const char* const customDrawStageNames[] = {"cdPrePaint", "cdPostPaint", "cdPreErase", "cdPostErase"};
const char* const customDrawStateNames[] = {"cdsSelected", "cdsGrayed", "cdsDisabled", "cdsChecked", "cdsFocused",
                                            "cdsDefault",  "cdsHot",    "cdsMarked",   "cdsIndeterminate"};
const TEnumInfo customDrawStateElementInfo{"TCustomDrawStateElement", customDrawStateNames, 9};

// The state image of a check box: 1 unchecked, 2 checked.
constexpr UINT checkedStateImage = INDEXTOSTATEIMAGEMASK(2), uncheckedStateImage = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT keptStates = LVIS_SELECTED | LVIS_FOCUSED | LVIS_CUT | LVIS_DROPHILITED;

}  // namespace

const TEnumInfo ViewStyleInfo{"TViewStyle", viewStyleNames, 4};
const TEnumInfo DisplayCodeInfo{"TDisplayCode", displayCodeNames, 4};
const TEnumInfo ListArrangementInfo{"TListArrangement", arrangementNames, 6};
const TEnumInfo SearchDirectionInfo{"TSearchDirection", searchDirectionNames, 5};
const TSetInfo ItemStatesInfo{"TItemStates", &itemStateInfo, 1};
const TEnumInfo ItemChangeInfo{"TItemChange", itemChangeNames, 3};
const TEnumInfo ItemFindInfo{"TItemFind", itemFindNames, 4};
const TEnumInfo CustomDrawStageInfo{"TCustomDrawStage", customDrawStageNames, 4};
const TSetInfo CustomDrawStateInfo{"TCustomDrawState", &customDrawStateElementInfo, 2};
const TMethodTypeInfo LVNotifyEventType{"TLVNotifyEvent"}, LVCompareEventType{"TLVCompareEvent"},
    LVColumnClickEventType{"TLVColumnClickEvent"}, LVEditingEventType{"TLVEditingEvent"},
    LVEditedEventType{"TLVEditedEvent"}, LVSelectItemEventType{"TLVSelectItemEvent"},
    LVChangeEventType{"TLVChangeEvent"}, LVOwnerDataHintEventType{"TLVOwnerDataHintEvent"},
    LVOwnerDataFindEventType{"TLVOwnerDataFindEvent"}, LVCustomDrawEventType{"TLVCustomDrawEvent"},
    LVCustomDrawItemEventType{"TLVCustomDrawItemEvent"}, LVCustomDrawSubItemEventType{"TLVCustomDrawSubItemEvent"},
    LVAdvancedCustomDrawEventType{"TLVAdvancedCustomDrawEvent"},
    LVAdvancedCustomDrawItemEventType{"TLVAdvancedCustomDrawItemEvent"},
    LVAdvancedCustomDrawSubItemEventType{"TLVAdvancedCustomDrawSubItemEvent"};

TCustomDrawStage customDrawStage(DWORD drawStage) {
    switch (drawStage & ~(CDDS_ITEM | CDDS_SUBITEM)) {
    case CDDS_POSTPAINT: return cdPostPaint;
    case CDDS_PREERASE: return cdPreErase;
    case CDDS_POSTERASE: return cdPostErase;
    default: return cdPrePaint;
    }
}

TCustomDrawState customDrawState(UINT itemState) {
    static const TFlagElement<TCustomDrawStateElement> flags[] = {
        {CDIS_SELECTED, cdsSelected}, {CDIS_GRAYED, cdsGrayed}, {CDIS_DISABLED, cdsDisabled},
        {CDIS_CHECKED, cdsChecked},   {CDIS_FOCUS, cdsFocused}, {CDIS_DEFAULT, cdsDefault},
        {CDIS_HOT, cdsHot},           {CDIS_MARKED, cdsMarked}, {CDIS_INDETERMINATE, cdsIndeterminate}};
    return flagsToSet<TCustomDrawState>(itemState, flags);
}

LRESULT customDrawControl(TObject* sender, const NMCUSTOMDRAW& draw, const TLVCustomDrawEvent& onDraw,
                          const TLVAdvancedCustomDrawEvent& onAdvanced, bool itemLevel) {
    bool defaultDraw = true;
    TCustomDrawStage stage = customDrawStage(draw.dwDrawStage);
    if (stage == cdPrePaint) onDraw(sender, draw.rc, defaultDraw);
    if (defaultDraw) onAdvanced(sender, draw.rc, stage, defaultDraw);
    if (!defaultDraw) return CDRF_SKIPDEFAULT;
    LRESULT result = itemLevel ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    return result | (onAdvanced ? CDRF_NOTIFYPOSTPAINT : 0);
}

void TUpdateCount::Begin(TWinControl& control) {
    if (Count_++ == 0 && control.HandleAllocated()) SendMessageA(control.Handle(), WM_SETREDRAW, FALSE, 0);
}

void TUpdateCount::End(TWinControl& control) {
    if (Count_ == 0 || --Count_ > 0 || !control.HandleAllocated()) return;
    SendMessageA(control.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(control.Handle(), nullptr, TRUE);
}

// Copies a text into a buffer the window gave, cut to fit.
void copyDispText(char* to, int room, const AnsiString& text) {
    if (!to || room <= 0) return;
    size_t n = std::min(text.length(), static_cast<size_t>(room - 1));
    std::memcpy(to, text.data(), n);
    to[n] = 0;
}
void copyDispText(wchar_t* to, int room, const AnsiString& text) {
    if (!to || room <= 0) return;
    WideString wide = ansiToWide(text.view());
    size_t n = std::min(wide.size(), static_cast<size_t>(room - 1));
    std::wmemcpy(to, wide.data(), n);
    to[n] = 0;
}

std::optional<AnsiString> editedText(const char* text) {
    if (!text) return std::nullopt;
    return AnsiString(text);
}
std::optional<AnsiString> editedText(const wchar_t* text) {
    if (!text) return std::nullopt;
    return wideToAnsi(text);
}

// ==== Columns ====

// Joins its collection once whole: the window's columns are made again
// from every column's fields as it joins.
TListColumn::TListColumn(TCollection* collection) : TCollectionItem(nullptr) { SetCollection(collection); }

void TListColumn::SetCaption(const AnsiString& value) {
    if (value == Caption_) return;
    Caption_ = value;
    Changed(false);
}

void TListColumn::SetWidth(int value) {
    if (value == Width_) return;
    Width_ = value;
    Changed(false);
}

void TListColumn::SetAlignment(TAlignment value) {
    if (value == Alignment_) return;
    Alignment_ = value;
    Changed(false);
}

void TListColumn::Assign(const TPersistent* source) {
    if (!source || !source->InheritsFrom(&classInfo)) return TCollectionItem::Assign(source);
    auto* column = static_cast<const TListColumn*>(source);
    Caption_ = column->Caption_;
    Width_ = column->Width_;
    Alignment_ = column->Alignment_;
    Changed(false);
}

TListColumns::TListColumns(TListView* owner) : TCollection(&TListColumn::classInfo, owner) {}

void TListColumns::Update(TCollectionItem*) { static_cast<TListView*>(Owner())->updateColumns(); }

// ==== Items ====

TListItem::TListItem(TListItems* owner) : Owner_(owner), SubItems_(std::make_unique<TStringList>()) {
    SubItems_->OnChange = TStringsEvent::bind<&TListItem::subItemsChanged>(this);
}

TListItem::~TListItem() { SubItems_->OnChange = {}; }

TListView* TListItem::ListView() const { return Owner_->Owner(); }

int TListItem::Index() const { return Row_; }

HWND TListItem::Handle() const { return ListView()->HandleAllocated() ? ListView()->Handle() : nullptr; }

void TListItem::SetCaption(const AnsiString& value) {
    if (value == Caption_) return;
    Caption_ = value;
    changed();
}

void TListItem::subItemsChanged(TStrings*) {
    SubItemImages_.resize(static_cast<size_t>(SubItems_->Count()), -1);
    changed();
}

int TListItem::SubItemImages(int index) const {
    if (index < 0 || index >= SubItems_->Count()) return -1;
    return static_cast<size_t>(index) < SubItemImages_.size() ? SubItemImages_[static_cast<size_t>(index)] : -1;
}

void TListItem::SetSubItemImages(int index, int image) {
    if (index < 0 || index >= SubItems_->Count()) return;
    SubItemImages_.resize(static_cast<size_t>(SubItems_->Count()), -1);
    SubItemImages_[static_cast<size_t>(index)] = image;
    changed();
}

void TListItem::SetImageIndex(int value) {
    ImageIndex_ = value;
    changed();
}

void TListItem::SetStateIndex(int value) {
    StateIndex_ = value;
    changed();
}

void TListItem::SetOverlayIndex(int value) {
    OverlayIndex_ = value;
    changed();
}

void TListItem::SetIndent(int value) {
    Indent_ = value;
    changed();
}

// The window redraws the row; its texts come from the item again.
void TListItem::changed() {
    TListView* view = ListView();
    if (this == Owner_->RowItem_.get() || Row_ < 0 || !view->HandleAllocated() || Owner_->Updates_.Updating()) return;
    view->send(LVM_UPDATE, static_cast<WPARAM>(Row_));
}

bool TListItem::state(UINT mask) const {
    TListView* view = ListView();
    if (view->HandleAllocated() && Row_ >= 0)
        return view->send(LVM_GETITEMSTATE, static_cast<WPARAM>(Row_), mask) & mask;
    return States_ & mask;
}

void TListItem::setState(UINT mask, bool value) {
    States_ = value ? States_ | mask : States_ & ~mask;
    TListView* view = ListView();
    if (!view->HandleAllocated() || Row_ < 0) return;
    LVITEMA item{};
    item.stateMask = mask;
    item.state = value ? mask : 0;
    view->send(LVM_SETITEMSTATE, static_cast<WPARAM>(Row_), reinterpret_cast<LPARAM>(&item));
}

bool TListItem::Checked() const {
    TListView* view = ListView();
    if (view->HandleAllocated() && view->Checkboxes() && Row_ >= 0)
        return (view->send(LVM_GETITEMSTATE, static_cast<WPARAM>(Row_), LVIS_STATEIMAGEMASK) &
                LVIS_STATEIMAGEMASK) == checkedStateImage;
    return Checked_;
}

void TListItem::SetChecked(bool value) {
    Checked_ = value;
    TListView* view = ListView();
    if (!view->HandleAllocated() || !view->Checkboxes() || Row_ < 0) return;
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = value ? checkedStateImage : uncheckedStateImage;
    view->send(LVM_SETITEMSTATE, static_cast<WPARAM>(Row_), reinterpret_cast<LPARAM>(&item));
}

TPoint TListItem::Position() const {
    POINT point{};
    if (Row_ >= 0) ListView()->send(LVM_GETITEMPOSITION, static_cast<WPARAM>(Row_), reinterpret_cast<LPARAM>(&point));
    return point;
}

void TListItem::SetPosition(TPoint value) {
    if (Row_ >= 0) ListView()->send(LVM_SETITEMPOSITION, static_cast<WPARAM>(Row_), MAKELPARAM(value.x, value.y));
}

void TListItem::Delete() { Owner_->Delete(Index()); }

TRect TListItem::DisplayRect(TDisplayCode code) const {
    static const int codes[] = {LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL, LVIR_SELECTBOUNDS};
    RECT rect{};
    rect.left = codes[code];
    ListView()->send(LVM_GETITEMRECT, static_cast<WPARAM>(Row_), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

bool TListItem::EditCaption() {
    TListView* view = ListView();
    view->SetFocus();
    return view->send(LVM_EDITLABELA, static_cast<WPARAM>(Row_)) != 0;
}

void TListItem::CancelEdit() { ListView()->send(LVM_CANCELEDITLABEL); }

void TListItem::MakeVisible(bool partialOK) { ListView()->send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(Row_), partialOK); }

void TListItem::Update() { ListView()->send(LVM_UPDATE, static_cast<WPARAM>(Row_)); }

// One work area is all the control has here.
int TListItem::WorkArea() const { return 0; }

void TListItem::Assign(const TPersistent* source) {
    if (!source || !source->InheritsFrom(&classInfo)) return TPersistent::Assign(source);
    auto* item = static_cast<const TListItem*>(source);
    if (item == this) return;
    Caption_ = item->Caption_;
    SubItems_->Assign(*item->SubItems_);
    SubItemImages_ = item->SubItemImages_;
    ImageIndex_ = item->ImageIndex_;
    StateIndex_ = item->StateIndex_;
    OverlayIndex_ = item->OverlayIndex_;
    Indent_ = item->Indent_;
    Data_ = item->Data_;
    for (UINT mask : {UINT(LVIS_SELECTED), UINT(LVIS_FOCUSED), UINT(LVIS_CUT), UINT(LVIS_DROPHILITED)})
        setState(mask, item->state(mask));
    SetChecked(item->Checked());
    changed();
}

// ==== The item list ====

TListItems::TListItems(TListView* owner) : Owner_(owner) {}

TListItems::~TListItems() {
    for (TListItem* item : Items_) delete item;
}

HWND TListItems::Handle() const { return Owner_->HandleAllocated() ? Owner_->Handle() : nullptr; }

int TListItems::Count() const { return Owner_->OwnerData() ? RowCount_ : static_cast<int>(Items_.size()); }

void TListItems::SetCount(int value) {
    if (!Owner_->OwnerData() || value < 0) return;
    RowCount_ = value;
    if (Owner_->HandleAllocated()) Owner_->send(LVM_SETITEMCOUNT, static_cast<WPARAM>(value), LVSICF_NOINVALIDATEALL);
    if (Owner_->HandleAllocated()) InvalidateRect(Owner_->Handle(), nullptr, TRUE);
}

TListItem* TListItems::Item(int index) const {
    if (index < 0 || index >= Count()) raiseListIndexError(index);
    return Owner_->rowItem(index);
}

TListItem* TListItems::Add() { return Insert(Count()); }

// An owner-data list has rows, not items: it takes none.
TListItem* TListItems::Insert(int index) {
    if (Owner_->OwnerData() || index < 0 || index > Count()) raiseListIndexError(index);
    if (Owner_->Sorting_) throw EListError(AnsiString("The list is being sorted"));
    auto* item = new TListItem(this);
    Items_.insert(Items_.begin() + index, item);
    renumber(static_cast<size_t>(index));
    if (Owner_->HandleAllocated()) insertRow(index);
    Owner_->OnInsert(Owner_, item);
    return item;
}

void TListItems::insertRow(int index) {
    TListItem* item = Items_[static_cast<size_t>(index)];
    LVITEMA row{};
    row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    row.iItem = index;
    row.pszText = LPSTR_TEXTCALLBACKA;
    row.iImage = I_IMAGECALLBACK;
    row.lParam = reinterpret_cast<LPARAM>(item);
    row.stateMask = keptStates | (Owner_->Checkboxes() ? LVIS_STATEIMAGEMASK : 0);
    row.state = (item->States_ & keptStates) | (item->Checked_ ? checkedStateImage : uncheckedStateImage);
    Owner_->send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
    // The sub-items answer through the callback too (Windows asks only for
    // those set so).
    for (int column = 1; column < Owner_->Columns()->Count(); ++column) {
        LVITEMA sub{};
        sub.iSubItem = column;
        sub.pszText = LPSTR_TEXTCALLBACKA;
        Owner_->send(LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sub));
    }
}

void TListItems::renumber(size_t from) {
    for (size_t i = from; i < Items_.size(); ++i) Items_[i]->Row_ = static_cast<int>(i);
}

// OnDeletion sees the item whole; a handler that deletes it again, or
// others, finds the list as it left it.
void TListItems::Delete(int index) {
    if (Owner_->OwnerData() || index < 0 || index >= Count()) raiseListIndexError(index);
    if (Owner_->Sorting_) throw EListError(AnsiString("The list is being sorted"));
    TListItem* item = Items_[static_cast<size_t>(index)];
    if (item->Row_ < 0) return;
    Owner_->OnDeletion(Owner_, item);
    index = IndexOf(item);
    if (index < 0) return;
    Items_.erase(Items_.begin() + index);
    item->Row_ = -1;
    renumber(static_cast<size_t>(index));
    if (Owner_->HandleAllocated()) Owner_->send(LVM_DELETEITEM, static_cast<WPARAM>(index));
    delete item;
}

void TListItems::Clear() {
    if (Owner_->OwnerData()) return SetCount(0);
    Updates_.Around(*Owner_, [this] {
        while (!Items_.empty()) Delete(static_cast<int>(Items_.size()) - 1);
    });
}

int TListItems::IndexOf(const TListItem* item) const {
    if (!item || item->Owner_ != this || item == RowItem_.get()) return -1;
    return item->Row_;
}

void TListItems::BeginUpdate() { Updates_.Begin(*Owner_); }

void TListItems::EndUpdate() { Updates_.End(*Owner_); }

// ==== The list view ====

TListView::TListView(TComponent* owner)
    : TWinControl(owner), Items_(std::make_unique<TListItems>(this)), Columns_(std::make_unique<TListColumns>(this)) {
    TabStop_ = true;
    SetColor(clWindow);
    UpdateBoundsFields(0, 0, 250, 150);
}

TListView::~TListView() {
    Destroying();
    Items_->Clear();
}

LRESULT TListView::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(const_cast<TListView*>(this)->Handle(), message, wParam, lParam);
}

void TListView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    params.SuperClass = WC_LISTVIEWA;
    params.Style |= WS_BORDER | LVS_SHAREIMAGELISTS | views[ViewStyle_];
    if (!ReadOnly_) params.Style |= LVS_EDITLABELS;
    if (OwnerData_) params.Style |= LVS_OWNERDATA;
    if (!MultiSelect_) params.Style |= LVS_SINGLESEL;
    if (!HideSelection_) params.Style |= LVS_SHOWSELALWAYS;
}

void TListView::CreateWnd() {
    TWinControl::CreateWnd();
    applyExtendedStyle();
    updateColumns();
    if (OwnerData_) {
        send(LVM_SETITEMCOUNT, static_cast<WPARAM>(Items_->RowCount_));
        return;
    }
    for (size_t i = 0; i < Items_->Items_.size(); ++i) Items_->insertRow(static_cast<int>(i));
}

// The next window shows the items as this one left them.
void TListView::DestroyWnd() {
    if (!OwnerData_) {
        for (TListItem* item : Items_->Items_) {
            item->States_ = static_cast<UINT>(send(LVM_GETITEMSTATE, static_cast<WPARAM>(item->Row_), keptStates));
            item->Checked_ = item->Checked();
        }
    }
    TWinControl::DestroyWnd();
}

void TListView::applyExtendedStyle() {
    DWORD style = (Checkboxes_ ? LVS_EX_CHECKBOXES : 0) | (RowSelect_ ? LVS_EX_FULLROWSELECT : 0) |
                  (GridLines_ ? LVS_EX_GRIDLINES : 0);
    send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, style);
}

void TListView::updateColumns() {
    if (!HandleAllocated() || IsDestroying()) return;
    while (send(LVM_DELETECOLUMN, 0)) {
    }
    static const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
    for (int i = 0; i < Columns_->Count(); ++i) {
        TListColumn* column = Columns_->Items(i);
        LVCOLUMNA info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        info.fmt = formats[column->Alignment()];
        info.cx = column->Width();
        info.pszText = const_cast<char*>(column->Caption().c_str());
        info.iSubItem = i;
        send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    }
    if (OwnerData_) return;
    for (int row = 0; row < Items_->Count(); ++row) {
        for (int column = 1; column < Columns_->Count(); ++column) {
            LVITEMA sub{};
            sub.iSubItem = column;
            sub.pszText = LPSTR_TEXTCALLBACKA;
            send(LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
        }
    }
}

void TListView::SetViewStyle(TViewStyle value) { setWindowStyle(*this, ViewStyle_, value); }
void TListView::SetReadOnly(bool value) { setWindowStyle(*this, ReadOnly_, value); }
void TListView::SetMultiSelect(bool value) { setWindowStyle(*this, MultiSelect_, value); }
void TListView::SetHideSelection(bool value) { setWindowStyle(*this, HideSelection_, value); }
void TListView::SetCheckboxes(bool value) { setWindowStyle(*this, Checkboxes_, value); }

// The items go with the change of kind: an owner-data list holds none.
void TListView::SetOwnerData(bool value) {
    if (value == OwnerData_) return;
    Items_->Clear();
    OwnerData_ = value;
    Items_->RowCount_ = 0;
    Items_->RowItem_.reset(value ? new TListItem(Items_.get()) : nullptr);
    if (HandleAllocated()) RecreateWnd();
}

void TListView::SetRowSelect(bool value) {
    RowSelect_ = value;
    if (HandleAllocated()) applyExtendedStyle();
}

void TListView::SetGridLines(bool value) {
    GridLines_ = value;
    if (HandleAllocated()) applyExtendedStyle();
}

TListItem* TListView::rowItem(int row) const {
    if (!OwnerData_) return row >= 0 && row < Items_->Count() ? Items_->Items_[static_cast<size_t>(row)] : nullptr;
    if (row < 0 || row >= Items_->RowCount_) return nullptr;
    TListItem* item = Items_->RowItem_.get();
    item->Caption_.clear();
    item->SubItems_->OnChange = {};
    item->SubItems_->Clear();
    item->SubItems_->OnChange = TStringsEvent::bind<&TListItem::subItemsChanged>(item);
    item->SubItemImages_.clear();
    item->ImageIndex_ = -1;
    item->Data_ = nullptr;
    item->Row_ = row;
    const_cast<TListView*>(this)->OnData(const_cast<TListView*>(this), item);
    return item;
}

int TListView::rowOf(const TListItem* item) const { return item ? item->Row_ : -1; }

// ==== Items by state and place ====

TListItem* TListView::Selected() const {
    int row = static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return rowItem(row);
}

void TListView::SetSelected(TListItem* item) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    if (item) item->SetSelected(true);
}

TListItem* TListView::ItemFocused() const {
    return rowItem(static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
}

void TListView::SetItemFocused(TListItem* item) {
    if (TListItem* old = ItemFocused()) old->SetFocused(false);
    if (item) item->SetFocused(true);
}

TListItem* TListView::DropTarget() const {
    return rowItem(static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_DROPHILITED)));
}

void TListView::SetDropTarget(TListItem* item) {
    if (TListItem* old = DropTarget()) old->SetDropTarget(false);
    if (item) item->SetDropTarget(true);
}

TListItem* TListView::TopItem() const { return rowItem(static_cast<int>(send(LVM_GETTOPINDEX))); }

int TListView::ItemIndex() const {
    return static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetItemIndex(int index) {
    SetSelected(nullptr);
    if (index < 0 || index >= Items_->Count()) return;
    LVITEMA state{};
    state.stateMask = state.state = LVIS_SELECTED;
    send(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
}

int TListView::SelCount() const { return static_cast<int>(send(LVM_GETSELECTEDCOUNT)); }

int TListView::VisibleRowCount() const { return static_cast<int>(send(LVM_GETCOUNTPERPAGE)); }

TPoint TListView::ViewOrigin() const {
    POINT origin{};
    send(LVM_GETORIGIN, 0, reinterpret_cast<LPARAM>(&origin));
    return origin;
}

TRect TListView::BoundingRect() const {
    RECT rect{};
    send(LVM_GETVIEWRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

// ==== Actions ====

// The window sorts its rows by the items' new places.
int CALLBACK TListView::compareRows(LPARAM a, LPARAM b, LPARAM) {
    return reinterpret_cast<TListItem*>(a)->Row_ - reinterpret_cast<TListItem*>(b)->Row_;
}

bool TListView::AlphaSort() {
    if (OwnerData_ || Sorting_) return false;
    sortByText(Items_->Items_, &TListItem::Caption_, this, OnCompare, Sorting_);
    Items_->renumber(0);
    if (HandleAllocated()) {
        send(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&compareRows));
    }
    return true;
}

void TListView::Arrange(TListArrangement code) {
    // The control aligns only to the left or the top: bottom and right
    // arrange as it would by default.
    static const int codes[] = {LVA_DEFAULT, LVA_ALIGNLEFT, LVA_DEFAULT, LVA_ALIGNTOP, LVA_DEFAULT, LVA_SNAPTOGRID};
    send(LVM_ARRANGE, static_cast<WPARAM>(codes[code]));
}

// Captions compare without regard to case; a partial value matches the
// start of a caption. An owner-data list asks OnDataFind.
TListItem* TListView::FindCaption(int startIndex, const AnsiString& value, bool partial, bool inclusive,
                                  bool wrap) const {
    int count = Items_->Count();
    if (count == 0) return nullptr;
    int first = std::clamp(inclusive ? startIndex : startIndex + 1, 0, count);
    if (OwnerData_) {
        int index = -1;
        const_cast<TListView*>(this)->OnDataFind(const_cast<TListView*>(this),
                                                 partial ? ifPartialString : ifExactString, value, TPoint{}, 0,
                                                 first, sdAll, wrap, index);
        return rowItem(index);
    }
    auto matches = [&](const TListItem* item) {
        std::string_view caption = item->Caption_.view();
        if (partial) caption = caption.substr(0, std::min(caption.size(), value.length()));
        return compareLocaleText(caption, value.view(), false) == 0;
    };
    for (int i = first; i < count; ++i)
        if (matches(Items_->Items_[static_cast<size_t>(i)])) return Items_->Items_[static_cast<size_t>(i)];
    if (!wrap) return nullptr;
    for (int i = 0; i < first && i < count; ++i)
        if (matches(Items_->Items_[static_cast<size_t>(i)])) return Items_->Items_[static_cast<size_t>(i)];
    return nullptr;
}

THitTests TListView::GetHitTestInfoAt(int x, int y) const {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    static const TFlagElement<THitTest> flags[] = {
        {LVHT_ABOVE, htAbove},   {LVHT_BELOW, htBelow},       {LVHT_NOWHERE, htNowhere},
        {LVHT_ONITEM, htOnItem}, {LVHT_ONITEMICON, htOnIcon}, {LVHT_ONITEMLABEL, htOnLabel},
        {LVHT_ONITEMSTATEICON, htOnStateIcon}, {LVHT_TOLEFT, htToLeft}, {LVHT_TORIGHT, htToRight}};
    return flagsToSet<THitTests>(hit.flags, flags);
}

TListItem* TListView::GetItemAt(int x, int y) const {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    int row = static_cast<int>(send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & LVHT_ONITEM) ? rowItem(row) : nullptr;
}

TListItem* TListView::GetNearestItem(TPoint point, TSearchDirection direction) const {
    static const UINT keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, 0};
    LVFINDINFOA find{};
    find.flags = LVFI_NEARESTXY;
    find.pt = point;
    find.vkDirection = keys[direction];
    return rowItem(static_cast<int>(send(LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find))));
}

TListItem* TListView::GetNextItem(TListItem* startItem, TSearchDirection direction, TItemStates states) const {
    static const UINT directions[] = {LVNI_TOLEFT, LVNI_TORIGHT, LVNI_ABOVE, LVNI_BELOW, LVNI_ALL};
    UINT flags = directions[direction];
    if (inSet(states, isCut)) flags |= LVNI_CUT;
    if (inSet(states, isDropHilited)) flags |= LVNI_DROPHILITED;
    if (inSet(states, isFocused)) flags |= LVNI_FOCUSED;
    if (inSet(states, isSelected)) flags |= LVNI_SELECTED;
    int start = startItem ? rowOf(startItem) : -1;
    return rowItem(static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags)));
}

AnsiString TListView::GetSearchString() const {
    char text[256] = "";
    send(LVM_GETISEARCHSTRINGA, 0, reinterpret_cast<LPARAM>(text));
    return AnsiString(text);
}

bool TListView::IsEditing() const { return HandleAllocated() && send(LVM_GETEDITCONTROL) != 0; }

void TListView::Scroll(int dx, int dy) { send(LVM_SCROLL, static_cast<WPARAM>(dx), dy); }

int TListView::StringWidth(const AnsiString& text) const {
    return static_cast<int>(send(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void TListView::UpdateItems(int firstIndex, int lastIndex) {
    send(LVM_REDRAWITEMS, static_cast<WPARAM>(firstIndex), lastIndex);
}

// ==== Notifications ====

void TListView::WndProc(TMessage& message) {
    if (message.Msg == CN_NOTIFY) return notify(message);
    TWinControl::WndProc(message);
}

void TListView::notify(TMessage& message) {
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    switch (header->code) {
    case LVN_GETDISPINFOA: return dispInfo(reinterpret_cast<NMLVDISPINFOA*>(header)->item);
    case LVN_GETDISPINFOW: return dispInfo(reinterpret_cast<NMLVDISPINFOW*>(header)->item);
    case LVN_ODFINDITEMA:
        message.Result = findItem(reinterpret_cast<NMLVFINDITEMA*>(header), nullptr);
        return;
    case LVN_ODFINDITEMW:
        message.Result = findItem(nullptr, reinterpret_cast<NMLVFINDITEMW*>(header));
        return;
    case LVN_ODCACHEHINT: {
        auto* hint = reinterpret_cast<NMLVCACHEHINT*>(header);
        return OnDataHint(this, hint->iFrom, hint->iTo);
    }
    case LVN_COLUMNCLICK: {
        int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
        if (column >= 0 && column < Columns_->Count()) OnColumnClick(this, Columns_->Items(column));
        return;
    }
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW:
        message.Result = beginEdit(reinterpret_cast<NMLVDISPINFOA*>(header)->item.iItem) ? FALSE : TRUE;
        return;
    case LVN_ENDLABELEDITA: {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
        message.Result = endEdit(item.iItem, editedText(item.pszText));
        return;
    }
    case LVN_ENDLABELEDITW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        message.Result = endEdit(item.iItem, editedText(item.pszText));
        return;
    }
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!(change->uChanged & LVIF_STATE) || change->iItem < 0) return;
        TListItem* item = rowItem(change->iItem);
        if (!item) return;
        OnChange(this, item, ctState);
        if ((change->uOldState ^ change->uNewState) & LVIS_SELECTED)
            OnSelectItem(this, item, (change->uNewState & LVIS_SELECTED) != 0);
        return;
    }
    case NM_CUSTOMDRAW: message.Result = customDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header)); return;
    default: TWinControl::WndProc(message);
    }
}

// The two forms differ in the text pointer's type only.
template <class Item>
void TListView::dispInfo(Item& info) {
    TListItem* item = OwnerData_ ? rowItem(info.iItem) : reinterpret_cast<TListItem*>(info.lParam);
    if (!item) return;
    if (info.mask & LVIF_TEXT) {
        AnsiString text;
        if (info.iSubItem == 0) text = item->Caption_;
        else if (info.iSubItem - 1 < item->SubItems_->Count()) text = item->SubItems_->Get(info.iSubItem - 1);
        copyDispText(info.pszText, info.cchTextMax, text);
    }
    if (info.mask & LVIF_IMAGE)
        info.iImage = info.iSubItem == 0 ? item->ImageIndex_ : item->SubItemImages(info.iSubItem - 1);
    if ((info.mask & LVIF_INDENT) && info.iSubItem == 0) info.iIndent = item->Indent_;
}

// The owner-data find of typing in the list: a text by its start (or whole),
// the answer OnDataFind's index.
LRESULT TListView::findItem(const NMLVFINDITEMA* find, const NMLVFINDITEMW* findW) {
    const LVFINDINFOA* info = find ? &find->lvfi : nullptr;
    UINT flags = find ? info->flags : findW->lvfi.flags;
    AnsiString text;
    if (flags & (LVFI_STRING | LVFI_PARTIAL)) {
        if (find && info->psz) text = AnsiString(info->psz);
        else if (findW && findW->lvfi.psz) text = wideToAnsi(findW->lvfi.psz);
    }
    TItemFind kind = (flags & LVFI_PARAM) ? ifData
                     : (flags & LVFI_NEARESTXY) ? ifNearest
                     : (flags & LVFI_PARTIAL) ? ifPartialString
                                              : ifExactString;
    TPoint point = find ? info->pt : findW->lvfi.pt;
    int data = static_cast<int>(find ? info->lParam : findW->lvfi.lParam);
    int start = find ? find->iStart : findW->iStart;
    int index = -1;
    OnDataFind(this, kind, text, point, data, start, sdAll, (flags & LVFI_WRAP) != 0, index);
    return index;
}

bool TListView::beginEdit(int row) {
    TListItem* item = rowItem(row);
    bool allow = !ReadOnly_ && item;
    if (allow) OnEditing(this, item, allow);
    return allow;
}

// The caption is the item's: the window's answer does not matter.
bool TListView::endEdit(int row, const std::optional<AnsiString>& text) {
    TListItem* item = rowItem(row);
    if (!item || !text) return false;
    AnsiString caption = *text;
    OnEdited(this, item, caption);
    if (!OwnerData_) item->SetCaption(caption);
    return false;
}

// Each level asks for the next only when a handler waits there; a handler
// that clears DefaultDraw skips the control's own drawing.
LRESULT TListView::customDraw(NMLVCUSTOMDRAW& draw) {
    DWORD stage = draw.nmcd.dwDrawStage;
    if (!(stage & CDDS_ITEM)) {
        bool itemLevel = OnCustomDrawItem || OnAdvancedCustomDrawItem || OnCustomDrawSubItem ||
                         OnAdvancedCustomDrawSubItem;
        return customDrawControl(this, draw.nmcd, OnCustomDraw, OnAdvancedCustomDraw, itemLevel);
    }
    bool defaultDraw = true;
    TCustomDrawStage drawStage = customDrawStage(stage);
    TListItem* item = OwnerData_ ? rowItem(static_cast<int>(draw.nmcd.dwItemSpec))
                                 : reinterpret_cast<TListItem*>(draw.nmcd.lItemlParam);
    if (!item) return CDRF_DODEFAULT;
    TCustomDrawState state = customDrawState(draw.nmcd.uItemState);
    if (stage & CDDS_SUBITEM) {
        if (drawStage == cdPrePaint) OnCustomDrawSubItem(this, item, draw.iSubItem, state, defaultDraw);
        if (defaultDraw) OnAdvancedCustomDrawSubItem(this, item, draw.iSubItem, state, drawStage, defaultDraw);
        return defaultDraw ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
    }
    if (drawStage == cdPrePaint) OnCustomDrawItem(this, item, state, defaultDraw);
    if (defaultDraw) OnAdvancedCustomDrawItem(this, item, state, drawStage, defaultDraw);
    if (!defaultDraw) return CDRF_SKIPDEFAULT;
    return OnCustomDrawSubItem || OnAdvancedCustomDrawSubItem ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT;
}

// ==== Published properties ====

namespace {

using namespace published;

const TPropInfo listColumnProperties[] = {
    EnumProperty<&TListColumn::Alignment, &TListColumn::SetAlignment>("Alignment", &AlignmentInfo, taLeftJustify),
    StringProperty<&TListColumn::Caption, &TListColumn::SetCaption>("Caption"),
    IntegerProperty<&TListColumn::Width, &TListColumn::SetWidth>("Width", 50),
};

const TPropInfo listItemProperties[] = {
    StringProperty<&TListItem::Caption, &TListItem::SetCaption>("Caption"),
    BoolProperty<&TListItem::Checked, &TListItem::SetChecked>("Checked"),
    BoolProperty<&TListItem::Cut, &TListItem::SetCut>("Cut"),
    BoolProperty<&TListItem::DropTarget, &TListItem::SetDropTarget>("DropTarget"),
    BoolProperty<&TListItem::Focused, &TListItem::SetFocused>("Focused"),
    IntegerProperty<&TListItem::ImageIndex, &TListItem::SetImageIndex>("ImageIndex"),
    IntegerProperty<&TListItem::Indent, &TListItem::SetIndent>("Indent"),
    IntegerProperty<&TListItem::Index>("Index"),
    IntegerProperty<&TListItem::Left, &TListItem::SetLeft>("Left"),
    IntegerProperty<&TListItem::OverlayIndex, &TListItem::SetOverlayIndex>("OverlayIndex"),
    BoolProperty<&TListItem::Selected, &TListItem::SetSelected>("Selected"),
    IntegerProperty<&TListItem::StateIndex, &TListItem::SetStateIndex>("StateIndex"),
    IntegerProperty<&TListItem::Top, &TListItem::SetTop>("Top"),
};

const TPropInfo listItemsProperties[] = {
    IntegerProperty<&TListItems::Count, &TListItems::SetCount>("Count"),
};

#define LV_EVENT(Name, Type) MethodProperty<&TListView::Name, &TListView::Name>(#Name, &Type)

const TPropInfo listViewProperties[] = {
    Left, Top, Width, Height, Align, Anchors,
    BoolProperty<&TListView::Checkboxes, &TListView::SetCheckboxes>("Checkboxes", 0),
    WindowColor,
    ClassProperty<&TListView::Columns>("Columns", &TListColumns::classInfo),
    Cursor, Enabled, Font,
    BoolProperty<&TListView::GridLines, &TListView::SetGridLines>("GridLines", 0),
    BoolProperty<&TListView::HideSelection, &TListView::SetHideSelection>("HideSelection", 1),
    Hint,
    BoolProperty<&TListView::MultiSelect, &TListView::SetMultiSelect>("MultiSelect", 0),
    BoolProperty<&TListView::OwnerData, &TListView::SetOwnerData>("OwnerData", 0),
    WindowParentColor, ParentFont, ParentShowHint, PopupMenu,
    BoolProperty<&TListView::ReadOnly, &TListView::SetReadOnly>("ReadOnly", 0),
    BoolProperty<&TListView::RowSelect, &TListView::SetRowSelect>("RowSelect", 0),
    ShowHint, TabOrder, TabStop,
    EnumProperty<&TListView::ViewStyle, &TListView::SetViewStyle>("ViewStyle", &ViewStyleInfo, vsIcon),
    Visible,
    LV_EVENT(OnAdvancedCustomDraw, LVAdvancedCustomDrawEventType),
    LV_EVENT(OnAdvancedCustomDrawItem, LVAdvancedCustomDrawItemEventType),
    LV_EVENT(OnAdvancedCustomDrawSubItem, LVAdvancedCustomDrawSubItemEventType),
    LV_EVENT(OnChange, LVChangeEventType),
    OnClick,
    LV_EVENT(OnColumnClick, LVColumnClickEventType),
    LV_EVENT(OnCompare, LVCompareEventType),
    OnContextPopup,
    LV_EVENT(OnCustomDraw, LVCustomDrawEventType),
    LV_EVENT(OnCustomDrawItem, LVCustomDrawItemEventType),
    LV_EVENT(OnCustomDrawSubItem, LVCustomDrawSubItemEventType),
    LV_EVENT(OnData, LVNotifyEventType),
    LV_EVENT(OnDataFind, LVOwnerDataFindEventType),
    LV_EVENT(OnDataHint, LVOwnerDataHintEventType),
    OnDblClick,
    LV_EVENT(OnDeletion, LVNotifyEventType),
    OnDragDrop, OnDragOver,
    LV_EVENT(OnEdited, LVEditedEventType),
    LV_EVENT(OnEditing, LVEditingEventType),
    OnEndDock, OnEndDrag, OnEnter, OnExit,
    LV_EVENT(OnInsert, LVNotifyEventType),
    OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnResize,
    LV_EVENT(OnSelectItem, LVSelectItemEventType),
    OnStartDock, OnStartDrag,
};

#undef LV_EVENT

}  // namespace

const TClassInfo TListColumn::classInfo = makeClassInfo("TListColumn", &TCollectionItem::classInfo,
                                                        listColumnProperties, &collectionItemCreator<TListColumn>);
const TClassInfo TListColumns::classInfo = makeClassInfo("TListColumns", &TCollection::classInfo);
const TClassInfo TListItem::classInfo = makeClassInfo("TListItem", &TPersistent::classInfo, listItemProperties);
const TClassInfo TListItems::classInfo = makeClassInfo("TListItems", &TPersistent::classInfo, listItemsProperties);
const TClassInfo TListView::classInfo =
    makeClassInfo("TListView", &TWinControl::classInfo, listViewProperties, &componentCreator<TListView>);
