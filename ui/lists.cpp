// The drop-down list and the check list over the system's combo and list boxes.
#include "ui/lists.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/bitmap.h"
#include "ui/controlprops.h"

namespace {

const char* const comboBoxStyleNames[] = {"csDropDown", "csDropDownList"};

// Room for the drop-down part: the system takes a combo box's height as that
// of the box with its list dropped down.
constexpr int kDropDownHeight = 200;

}  // namespace

const TEnumInfo ComboBoxStyleInfo{"TComboBoxStyle", comboBoxStyleNames, 2};

// ==== TCustomComboBox ====

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner) {
    TabStop_ = true;
    SetColor(clWindow);
    UpdateBoundsFields(0, 0, 145, 21);
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperClass = "COMBOBOX";
    params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | (Style_ == csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    params.Height += kDropDownHeight;
}

void TCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    HWND handle = Handle();
    for (int i = 0; i < Items_.Count(); ++i) SendMessageA(handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Items_.Get(i).c_str()));
    SendMessageA(handle, CB_SETCURSEL, ItemIndex_, 0);
}

void TCustomComboBox::DestroyWnd() {
    ItemIndex_ = ItemIndex();
    TWinControl::DestroyWnd();
}

void TCustomComboBox::SetItems(const TStrings& items) {
    Items_.Assign(items);
    ItemIndex_ = -1;
    RecreateWnd();
}

int TCustomComboBox::ItemIndex() const {
    if (!HandleAllocated()) return ItemIndex_;
    return static_cast<int>(SendMessageA(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int value) {
    ItemIndex_ = value >= 0 && value < Items_.Count() ? value : -1;
    if (HandleAllocated()) SendMessageA(Handle(), CB_SETCURSEL, ItemIndex_, 0);
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
    if (value == Style_) return;
    Style_ = value;
    RecreateWnd();
}

// ==== TCustomListBox ====

TCustomListBox::TCustomListBox(TComponent* owner) : TWinControl(owner) {
    TabStop_ = true;
    SetColor(clWindow);
    UpdateBoundsFields(0, 0, 121, 97);
}

void TCustomListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperClass = "LISTBOX";
    params.Style |= WS_HSCROLL | WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    if (MultiSelect_) params.Style |= LBS_EXTENDEDSEL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    HWND handle = Handle();
    for (int i = 0; i < Items_.Count(); ++i) SendMessageA(handle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Items_.Get(i).c_str()));
    SendMessageA(handle, LB_SETCARETINDEX, ItemIndex_, FALSE);
    if (!MultiSelect_) SendMessageA(handle, LB_SETCURSEL, ItemIndex_, 0);
    SendMessageA(handle, LB_SETHORIZONTALEXTENT, ScrollWidth_, 0);
}

void TCustomListBox::DestroyWnd() {
    ItemIndex_ = ItemIndex();
    TWinControl::DestroyWnd();
}

void TCustomListBox::SetItems(const TStrings& items) {
    Items_.Assign(items);
    ItemIndex_ = -1;
    RecreateWnd();
}

// A multiple-selection list's current item is its caret item (which an empty
// list may report as 0).
int TCustomListBox::ItemIndex() const {
    if (!HandleAllocated()) return ItemIndex_;
    HWND handle = const_cast<TCustomListBox*>(this)->Handle();
    auto index = static_cast<int>(SendMessageA(handle, MultiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
    return index < Items_.Count() ? index : -1;
}

void TCustomListBox::SetItemIndex(int value) {
    ItemIndex_ = value >= 0 && value < Items_.Count() ? value : -1;
    if (!HandleAllocated()) return;
    if (MultiSelect_) SendMessageA(Handle(), LB_SETCARETINDEX, ItemIndex_, FALSE);
    else SendMessageA(Handle(), LB_SETCURSEL, ItemIndex_, 0);
}

void TCustomListBox::SetMultiSelect(bool value) {
    if (value == MultiSelect_) return;
    MultiSelect_ = value;
    RecreateWnd();
}

int TCustomListBox::ItemHeight() const {
    HWND handle = const_cast<TCustomListBox*>(this)->Handle();
    return static_cast<int>(SendMessageA(handle, LB_GETITEMHEIGHT, 0, 0));
}

void TCustomListBox::SetScrollWidth(int value) {
    ScrollWidth_ = std::max(0, value);
    if (HandleAllocated()) SendMessageA(Handle(), LB_SETHORIZONTALEXTENT, ScrollWidth_, 0);
}

// ==== TCheckListBox ====

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner) {}

void TCheckListBox::CreateParams(TCreateParams& params) {
    TCustomListBox::CreateParams(params);
    params.Style |= LBS_OWNERDRAWFIXED;
}

// An owner-drawn list measures nothing itself: its items are as high as the
// text or the check box, whichever is higher.
void TCheckListBox::CreateWnd() {
    TCustomListBox::CreateWnd();
    TBitmap measure;
    measure.Canvas()->SetFont(Font());
    int height = std::max(measure.Canvas()->TextHeight("0"), GetSystemMetrics(SM_CYMENUCHECK)) + 2;
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, height);
}

void TCheckListBox::SetItems(const TStrings& items) {
    Checked_.assign(static_cast<size_t>(items.Count()), false);
    TCustomListBox::SetItems(items);
}

bool TCheckListBox::Checked(int index) const {
    Items_.Get(index);  // the index check
    return Checked_[static_cast<size_t>(index)];
}

void TCheckListBox::SetChecked(int index, bool value) {
    Items_.Get(index);
    Checked_[static_cast<size_t>(index)] = value;
    if (!HandleAllocated()) return;
    RECT rect;
    if (SendMessageA(Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != LB_ERR)
        InvalidateRect(Handle(), &rect, FALSE);
}

int TCheckListBox::checkWidth() const { return GetSystemMetrics(SM_CXMENUCHECK) + 4; }

void TCheckListBox::toggle(int index) {
    if (index < 0 || index >= Items_.Count()) return;
    SetChecked(index, !Checked_[static_cast<size_t>(index)]);
    OnClickCheck(this);
}

void TCheckListBox::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_DRAWITEM:
        drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam));
        message.Result = TRUE;
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        TCustomListBox::WndProc(message);
        LRESULT hit = SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, message.LParam);
        if (!HIWORD(hit) && GET_X_LPARAM(message.LParam) < checkWidth()) toggle(LOWORD(hit));
        return;
    }
    case WM_CHAR:
        if (message.WParam == ' ') return toggle(ItemIndex());
        break;
    }
    TCustomListBox::WndProc(message);
}

void TCheckListBox::drawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    bool selected = item.itemState & ODS_SELECTED;
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID == static_cast<UINT>(-1) || static_cast<int>(item.itemID) >= Items_.Count()) return;
    int box = GetSystemMetrics(SM_CXMENUCHECK);
    int top = rect.top + (rect.bottom - rect.top - box) / 2;
    RECT check{rect.left + 2, top, rect.left + 2 + box, top + box};
    UINT state = DFCS_BUTTONCHECK | (Checked_[item.itemID] ? DFCS_CHECKED : 0);
    DrawFrameControl(dc, &check, DFC_BUTTON, state);
    RECT text{rect.left + checkWidth(), rect.top, rect.right, rect.bottom};
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const AnsiString& caption = Items_.Get(static_cast<int>(item.itemID));
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.length()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &text);
}

// ==== Published properties ====

namespace {

using namespace published;

const TPropInfo comboBoxProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Color, Cursor, Enabled, Font, Hint,
    IntegerProperty<&TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex>("ItemIndex"),
    ParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint,
    EnumProperty<&TCustomComboBox::Style, &TCustomComboBox::SetStyle>("Style", &ComboBoxStyleInfo, csDropDown),
    TabOrder, TabStop, Visible,
    OnClick, OnContextPopup, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp,
};

const TPropInfo checkListBoxProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Color, Cursor, Enabled, Font, Hint,
    IntegerProperty<&TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex>("ItemIndex"),
    BoolProperty<&TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect>("MultiSelect", 0),
    ParentColor, ParentFont, ParentShowHint, PopupMenu,
    IntegerProperty<&TCustomListBox::ScrollWidth, &TCustomListBox::SetScrollWidth>("ScrollWidth", 0),
    ShowHint, TabOrder, TabStop, Visible,
    OnClick,
    MethodProperty<&TCheckListBox::OnClickCheck, &TCheckListBox::OnClickCheck>("OnClickCheck", &NotifyEventType),
    OnContextPopup, OnDblClick, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp,
};

}  // namespace

const TClassInfo TCustomComboBox::classInfo = makeClassInfo("TCustomComboBox", &TWinControl::classInfo);
const TClassInfo TComboBox::classInfo =
    makeClassInfo("TComboBox", &TCustomComboBox::classInfo, comboBoxProperties, &componentCreator<TComboBox>);
const TClassInfo TCustomListBox::classInfo = makeClassInfo("TCustomListBox", &TWinControl::classInfo);
const TClassInfo TCheckListBox::classInfo =
    makeClassInfo("TCheckListBox", &TCustomListBox::classInfo, checkListBoxProperties, &componentCreator<TCheckListBox>);
