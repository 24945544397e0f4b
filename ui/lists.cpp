// The list and combo boxes over the system's classes: their live items, the
// reflected notifications, the combo box's edit part (its selection in bytes,
// its keys through the control) and the check list's states.
#include "ui/lists.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/bitmap.h"
#include "ui/controlprops.h"
#include "ui/forms.h"

namespace {

const char* const comboBoxStyleNames[] = {"csDropDown", "csDropDownList"};

const TItemMessages listBoxMessages{LB_GETCOUNT,     LB_GETTEXT,     LB_GETTEXTLEN, LB_INSERTSTRING,
                                    LB_DELETESTRING, LB_RESETCONTENT, LB_GETITEMDATA, LB_SETITEMDATA,
                                    LB_GETCURSEL,    LB_SETCURSEL};
const TItemMessages comboBoxMessages{CB_GETCOUNT,     CB_GETLBTEXT,    CB_GETLBTEXTLEN, CB_INSERTSTRING,
                                     CB_DELETESTRING, CB_RESETCONTENT, CB_GETITEMDATA,  CB_SETITEMDATA,
                                     CB_GETCURSEL,    CB_SETCURSEL};

// Room for the drop-down part: the system takes a combo box's height as that
// of the box with its list dropped down.
constexpr int kDropDownHeight = 200;

// The window property that keeps a subclassed edit part's own procedure, for
// the messages it gets after its combo box has let it go.
const char kEditProcProp[] = "NimboraEditProc";

bool isKeyMessage(UINT msg) {
    return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYUP || msg == WM_CHAR;
}

// A check list item's data word: the state in the low bits, and a bit for
// a disabled item (0 is an enabled, unchecked item, as a new one is).
constexpr LPARAM kStateBits = 3, kDisabledBit = 4;

}  // namespace

const TEnumInfo ComboBoxStyleInfo{"TComboBoxStyle", comboBoxStyleNames, 2};

// ==== TControlItems ====

TControlItems::TControlItems(TWinControl* control, const TItemMessages& messages, bool dataIsObject)
    : Control_(control), Messages_(messages), DataIsObject_(dataIsObject) {}

LRESULT TControlItems::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(Control_->Handle(), message, wParam, lParam);
}

int TControlItems::Count() const {
    return windowed() ? std::max(static_cast<int>(send(Messages_.GetCount)), 0) : Kept_.Count();
}

AnsiString TControlItems::Get(int index) const {
    if (!windowed()) return Kept_.Get(index);
    checkIndex(index, Count());
    auto length = static_cast<int>(send(Messages_.GetTextLen, index));
    if (length <= 0) return AnsiString();
    AnsiString text(static_cast<size_t>(length), '\0');
    auto got = static_cast<int>(send(Messages_.GetText, index, reinterpret_cast<LPARAM>(text.mutableData())));
    text.setLength(static_cast<size_t>(std::clamp(got, 0, length)));
    return text;
}

LPARAM TControlItems::Data(int index) const {
    if (!windowed()) return reinterpret_cast<LPARAM>(Kept_.GetObjectAt(index));
    checkIndex(index, Count());
    return send(Messages_.GetItemData, index);
}

void TControlItems::SetData(int index, LPARAM data) {
    if (!windowed()) return Kept_.PutObjectAt(index, reinterpret_cast<void*>(data));
    checkIndex(index, Count());
    send(Messages_.SetItemData, index, data);
}

void* TControlItems::GetObjectAt(int index) const {
    if (DataIsObject_) return reinterpret_cast<void*>(Data(index));
    checkIndex(index, Count());
    return nullptr;
}

void TControlItems::PutObjectAt(int index, void* object) {
    if (!DataIsObject_) return checkIndex(index, Count());
    SetData(index, reinterpret_cast<LPARAM>(object));
    Changed();
}

int TControlItems::insertItem(int index, const AnsiString& text, LPARAM data) {
    if (!windowed()) {
        if (index < 0) index = Kept_.Count();
        Kept_.InsertObject(index, text, reinterpret_cast<void*>(data));
        if (KeptIndex_ >= index) ++KeptIndex_;
        return index;
    }
    Control_->DeferRedraw();
    if (index == Count()) index = -1;  // the system takes -1 for the end
    auto at = static_cast<int>(send(Messages_.InsertString, index, reinterpret_cast<LPARAM>(text.c_str())));
    if (at < 0) throw EListError("Unable to insert a line");
    if (data) send(Messages_.SetItemData, at, data);
    return at;
}

void TControlItems::deleteItem(int index) {
    if (!windowed()) {
        Kept_.Delete(index);
        if (KeptIndex_ == index) KeptIndex_ = -1;
        else if (KeptIndex_ > index) --KeptIndex_;
        return;
    }
    send(Messages_.DeleteString, index);
}

// The system has no message that changes an item's text: the item is made
// again, and made current again when it was.
void TControlItems::replaceItem(int index, const AnsiString& text, LPARAM data) {
    if (!windowed()) {
        Kept_.Put(index, text);
        Kept_.PutObjectAt(index, reinterpret_cast<void*>(data));
        return;
    }
    bool current = send(Messages_.GetCurSel) == index;
    send(Messages_.DeleteString, index);
    insertItem(index, text, data);
    if (current) send(Messages_.SetCurSel, index);
}

void TControlItems::Insert(int index, const AnsiString& text) {
    checkIndex(index, Count() + 1);
    insertItem(index, text, 0);
    Changed();
}

int TControlItems::Add(const AnsiString& text) {
    int index = insertItem(-1, text, 0);
    Changed();
    return index;
}

void TControlItems::Delete(int index) {
    checkIndex(index, Count());
    deleteItem(index);
    Changed();
}

void TControlItems::Clear() {
    if (Count() == 0) return;
    if (windowed()) send(Messages_.ResetContent);
    Kept_.Clear();
    KeptIndex_ = -1;
    Changed();
}

void TControlItems::Put(int index, const AnsiString& text) {
    replaceItem(index, text, Data(index));
    Changed();
}

void TControlItems::Exchange(int index1, int index2) {
    checkIndex(index1, Count());
    checkIndex(index2, Count());
    if (index1 == index2) return;
    AnsiString text1 = Get(index1);
    LPARAM data1 = Data(index1);
    replaceItem(index1, Get(index2), Data(index2));
    replaceItem(index2, text1, data1);
    Changed();
}

void TControlItems::Move(int curIndex, int newIndex) {
    checkIndex(curIndex, Count());
    checkIndex(newIndex, Count());
    if (curIndex == newIndex) return;
    AnsiString text = Get(curIndex);
    LPARAM data = Data(curIndex);
    deleteItem(curIndex);
    insertItem(newIndex, text, data);
    Changed();
}

void TControlItems::SetKeptIndex(int index) { KeptIndex_ = index >= 0 && index < Count() ? index : -1; }

void TControlItems::WindowCreated() {
    for (int i = 0; i < Kept_.Count(); ++i) insertItem(-1, Kept_.Get(i), reinterpret_cast<LPARAM>(Kept_.GetObjectAt(i)));
    Kept_.Clear();
}

void TControlItems::WindowDestroying() {
    Kept_.Clear();
    int count = Count();
    for (int i = 0; i < count; ++i) Kept_.AddObject(Get(i), reinterpret_cast<void*>(Data(i)));
}

void TControlItems::SetUpdateState(bool updating) {
    if (!windowed()) return;
    send(WM_SETREDRAW, !updating);
    if (!updating) Control_->Invalidate();
}

// ==== TCustomComboBox ====

// The system's combo box captures the mouse itself; a click is a choice.
TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), Items_(std::make_unique<TControlItems>(this, comboBoxMessages, true)) {
    ControlStyle_ = csDoubleClicks;
    TabStop_ = true;
    SetColor(clWindow);
    UpdateBoundsFields(0, 0, 145, 21);
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    static const DWORD charCases[] = {0, CBS_UPPERCASE, CBS_LOWERCASE};
    params.SuperClass = "COMBOBOX";
    params.Caption = AnsiString();
    params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | (Style_ == csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN) |
                    charCases[CharCase_];
    params.Height += kDropDownHeight;
}

// The window takes back the items, the choice, the text and its selection.
void TCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    Items_->WindowCreated();
    SendMessageA(Handle(), CB_SETCURSEL, Items_->KeptIndex(), 0);
    subclassEdit();
    if (!Edit_) return;
    SettingText_ = true;
    SetWindowTextA(Edit_, Text_.c_str());
    SettingText_ = false;
    setEditSelection(Edit_, SelStart_, SelEnd_);
}

void TCustomComboBox::DestroyWnd() {
    Text_ = Text();
    editSelection(SelStart_, SelEnd_);
    Items_->SetKeptIndex(ItemIndex());
    Items_->WindowDestroying();
    Edit_ = nullptr;
    TWinControl::DestroyWnd();
}

// The keys typed into the edit part pass through this control first.
void TCustomComboBox::subclassEdit() {
    Edit_ = Style_ == csDropDown ? FindWindowExA(Handle(), nullptr, "Edit", nullptr) : nullptr;
    if (!Edit_) return;
    EditProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Edit_, GWLP_WNDPROC));
    EditProcW_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Edit_, GWLP_WNDPROC));
    SetPropA(Edit_, kEditProcProp, reinterpret_cast<HANDLE>(EditProc_));
    SetWindowLongPtrA(Edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&editWindowProc));
}

LRESULT CALLBACK TCustomComboBox::editWindowProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto proc = reinterpret_cast<WNDPROC>(GetPropA(edit, kEditProcProp));
    if (msg == WM_NCDESTROY) RemovePropA(edit, kEditProcProp);
    if (isKeyMessage(msg)) {
        auto* combo = dynamic_cast<TCustomComboBox*>(FindControl(GetParent(edit)));
        if (combo && combo->Edit_ == edit) {
            TMessage message{msg, wParam, lParam, 0};
            guardCallback([&] { combo->editKey(message); });
            return message.Result;
        }
    }
    return proc ? CallWindowProcA(proc, edit, msg, wParam, lParam) : DefWindowProcA(edit, msg, wParam, lParam);
}

void TCustomComboBox::editKey(TMessage& message) {
    TKeepAlive hold(this);
    WindowProc(message);
}

// A key message nobody took goes to the edit part, where the typing happens.
void TCustomComboBox::DefaultHandler(TMessage& message) {
    if (Edit_ && isKeyMessage(message.Msg)) {
        message.Result = CallWindowProcA(EditProc_, Edit_, message.Msg, message.WParam, message.LParam);
        return;
    }
    TWinControl::DefaultHandler(message);
}

LRESULT TCustomComboBox::DefaultCharW(wchar_t character, LPARAM lParam) {
    if (!Edit_) return TWinControl::DefaultCharW(character, lParam);
    return CallWindowProcW(EditProcW_, Edit_, WM_CHAR, character, lParam);
}

// The focus moves between the box and its edit part: OnEnter and OnExit come
// with the box's own notifications instead.
void TCustomComboBox::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND: return command(HIWORD(message.WParam));
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return DefaultHandler(message);
    case WM_NCDESTROY: Edit_ = nullptr; break;
    }
    TWinControl::WndProc(message);
}

void TCustomComboBox::command(WORD code) {
    switch (code) {
    case CBN_SELCHANGE:
        // The edit part shows the choice only later; the handlers read it now.
        if (int index = ItemIndex(); Edit_ && index >= 0) {
            SettingText_ = true;
            SetWindowTextA(Edit_, Items_->Get(index).c_str());
            SettingText_ = false;
        }
        Click();
        Select();
        Change();
        break;
    case CBN_EDITCHANGE:
        if (!SettingText_) Change();
        break;
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP: CloseUp(); break;
    case CBN_SETFOCUS:
        if (TCustomForm* form = GetParentForm(this)) form->SetFocusedControl(this);
        DoEnter();
        break;
    case CBN_KILLFOCUS: DoExit(); break;
    }
}

int TCustomComboBox::ItemIndex() const {
    if (!HandleAllocated()) return Items_->KeptIndex();
    return static_cast<int>(SendMessageA(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
}

// Choosing an item shows its text in the edit part ("" for none).
void TCustomComboBox::Loaded() {
    TWinControl::Loaded();
    PendingIndex_.apply([&](int value) { SetItemIndex(value); });
}

void TCustomComboBox::SetItemIndex(int value) {
    if (PendingIndex_.defer(*this, value)) return;
    if (value < 0 || value >= Items_->Count()) value = -1;
    if (HandleAllocated()) {
        SendMessageA(Handle(), CB_SETCURSEL, value, 0);
        return;
    }
    Items_->SetKeptIndex(value);
    Text_ = value >= 0 ? Items_->Get(value) : AnsiString();
    SelStart_ = SelEnd_ = 0;
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
    if (value == Style_) return;
    Style_ = value;
    RecreateWnd();
}

void TCustomComboBox::SetCharCase(TEditCharCase value) {
    if (value == CharCase_ || value > ecLowerCase) return;
    CharCase_ = value;
    RecreateWnd();
}

AnsiString TCustomComboBox::Text() const {
    if (Style_ == csDropDownList) {
        int index = ItemIndex();
        return index >= 0 ? Items_->Get(index) : AnsiString();
    }
    return Edit_ ? windowText(Edit_) : Text_;
}

void TCustomComboBox::SetText(const AnsiString& value) {
    if (Style_ == csDropDownList) return SetItemIndex(Items_->IndexOf(value.view()));
    if (value == Text()) return;
    if (Edit_) {
        SettingText_ = true;
        SetWindowTextA(Edit_, value.c_str());
        SettingText_ = false;
    } else {
        Text_ = value;
        SelStart_ = SelEnd_ = 0;
    }
    Change();
}

void TCustomComboBox::editSelection(int& start, int& end) const {
    if (Edit_) return getEditSelection(Edit_, start, end);
    start = Style_ == csDropDown ? SelStart_ : 0;
    end = Style_ == csDropDown ? SelEnd_ : 0;
}

void TCustomComboBox::select(int start, int end) {
    int size = static_cast<int>(Text().length());
    start = std::clamp(start, 0, size);
    end = std::clamp(end, start, size);
    if (Edit_) return setEditSelection(Edit_, start, end);
    SelStart_ = start, SelEnd_ = end;
}

int TCustomComboBox::SelStart() const {
    int start, end;
    editSelection(start, end);
    return start;
}

int TCustomComboBox::SelLength() const {
    int start, end;
    editSelection(start, end);
    return end - start;
}

// A new start selects nothing; a length counts from the start.
void TCustomComboBox::SetSelStart(int value) { select(value, value); }

void TCustomComboBox::SetSelLength(int value) {
    int start = SelStart();
    select(start, start + std::max(value, 0));
}

AnsiString TCustomComboBox::SelText() const {
    int start, end;
    editSelection(start, end);
    return Text().substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
}

// Replaces the selection as typing does (OnChange tells it); a drop-down
// list has no text of its own to change.
void TCustomComboBox::SetSelText(const AnsiString& value) {
    if (Style_ == csDropDownList) return;
    if (Edit_) {
        callPlatform([&] { SendMessageA(Edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str())); });
        return;
    }
    int start = SelStart_, at = start + static_cast<int>(value.length());
    SetText(Text_.substr(0, static_cast<size_t>(start)) + value + Text_.substr(static_cast<size_t>(SelEnd_)));
    select(at, at);
}

bool TCustomComboBox::DroppedDown() const {
    return HandleAllocated() && SendMessageA(const_cast<TCustomComboBox*>(this)->Handle(), CB_GETDROPPEDSTATE, 0, 0);
}

void TCustomComboBox::SetDroppedDown(bool value) {
    if (value == DroppedDown()) return;
    HWND handle = Handle();
    callPlatform([&] { SendMessageA(handle, CB_SHOWDROPDOWN, value, 0); });
}

void TCustomComboBox::Clear() {
    Items_->Clear();
    SetText(AnsiString());
}

void TCustomComboBox::SelectAll() { select(0, static_cast<int>(Text().length())); }

// ==== TCustomListBox ====

// The system's list box captures the mouse itself; a click is a change of
// the selection (LBN_SELCHANGE).
TCustomListBox::TCustomListBox(TComponent* owner, bool dataIsObject)
    : TWinControl(owner), Items_(std::make_unique<TControlItems>(this, listBoxMessages, dataIsObject)) {
    ControlStyle_ = csDoubleClicks;
    TabStop_ = true;
    SetColor(clWindow);
    UpdateBoundsFields(0, 0, 121, 97);
}

LRESULT TCustomListBox::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(const_cast<TCustomListBox*>(this)->Handle(), message, wParam, lParam);
}

void TCustomListBox::checkItem(int index) const {
    if (index < 0 || index >= Items_->Count()) raiseListIndexError(index);
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
    Items_->WindowCreated();
    int current = Items_->KeptIndex();
    send(LB_SETCARETINDEX, current, FALSE);
    if (!MultiSelect_) send(LB_SETCURSEL, current);
    send(LB_SETHORIZONTALEXTENT, ScrollWidth_);
}

void TCustomListBox::DestroyWnd() {
    Items_->SetKeptIndex(ItemIndex());
    Items_->WindowDestroying();
    TWinControl::DestroyWnd();
}

void TCustomListBox::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == LBN_SELCHANGE) return Click();
    TWinControl::WndProc(message);
}

// A multiple-selection list's current item is its caret item (which an empty
// list may report as 0).
int TCustomListBox::ItemIndex() const {
    if (!HandleAllocated()) return Items_->KeptIndex();
    auto index = static_cast<int>(send(MultiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL));
    return index < Items_->Count() ? index : -1;
}

void TCustomListBox::Loaded() {
    TWinControl::Loaded();
    PendingIndex_.apply([&](int value) { SetItemIndex(value); });
}

void TCustomListBox::SetItemIndex(int value) {
    if (PendingIndex_.defer(*this, value)) return;
    if (!HandleAllocated()) return Items_->SetKeptIndex(value);
    if (value < 0 || value >= Items_->Count()) value = -1;
    send(MultiSelect_ ? LB_SETCARETINDEX : LB_SETCURSEL, value);
}

void TCustomListBox::SetMultiSelect(bool value) {
    if (value == MultiSelect_) return;
    MultiSelect_ = value;
    RecreateWnd();
}

int TCustomListBox::ItemHeight() const { return static_cast<int>(send(LB_GETITEMHEIGHT)); }

void TCustomListBox::SetScrollWidth(int value) {
    ScrollWidth_ = std::max(0, value);
    if (HandleAllocated()) send(LB_SETHORIZONTALEXTENT, ScrollWidth_);
}

bool TCustomListBox::Selected(int index) const {
    checkItem(index);
    return send(LB_GETSEL, index) > 0;
}

void TCustomListBox::SetSelected(int index, bool value) {
    checkItem(index);
    if (MultiSelect_) send(LB_SETSEL, value, index);
    else if (value) SetItemIndex(index);
    else if (ItemIndex() == index) SetItemIndex(-1);
}

int TCustomListBox::SelCount() const {
    if (!MultiSelect_) return ItemIndex() >= 0 ? 1 : 0;
    return std::max(static_cast<int>(send(LB_GETSELCOUNT)), 0);
}

int TCustomListBox::TopIndex() const { return static_cast<int>(send(LB_GETTOPINDEX)); }

void TCustomListBox::SetTopIndex(int value) { send(LB_SETTOPINDEX, value); }

void TCustomListBox::ClearSelection() {
    if (MultiSelect_) send(LB_SETSEL, FALSE, -1);
    else SetItemIndex(-1);
}

void TCustomListBox::DeleteSelected() {
    if (!MultiSelect_) {
        if (int index = ItemIndex(); index >= 0) Items_->Delete(index);
        return;
    }
    inUpdate(*Items_, [&] {
        for (int i = Items_->Count() - 1; i >= 0; --i)
            if (Selected(i)) Items_->Delete(i);
    });
}

void TCustomListBox::SelectAll() {
    if (MultiSelect_) send(LB_SETSEL, TRUE, -1);
}

// The items from the first one shown to the last one in sight are asked.
int TCustomListBox::ItemAtPos(TPoint pos, bool existing) const {
    TRect client = ClientRect();
    if (!PtInRect(&client, pos)) return -1;
    int count = Items_->Count();
    for (int i = TopIndex(); i < count; ++i) {
        TRect item = ItemRect(i);
        if (PtInRect(&item, pos)) return i;
        if (item.top >= client.bottom) break;
    }
    return existing ? -1 : count;
}

TRect TCustomListBox::ItemRect(int index) const {
    checkItem(index);
    RECT rect{};
    send(LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

// ==== TCheckListBox ====

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner, false) {}

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
    send(LB_SETITEMHEIGHT, 0, height);
}

TCheckBoxState TCheckListBox::State(int index) const {
    auto state = Items_->Data(index) & kStateBits;
    return state <= cbGrayed ? static_cast<TCheckBoxState>(state) : cbUnchecked;
}

void TCheckListBox::SetState(int index, TCheckBoxState value) {
    if (value > cbGrayed) return;
    setData(index, (Items_->Data(index) & ~kStateBits) | value);
}

bool TCheckListBox::ItemEnabled(int index) const { return !(Items_->Data(index) & kDisabledBit); }

void TCheckListBox::SetItemEnabled(int index, bool value) {
    LPARAM data = Items_->Data(index);
    setData(index, value ? data & ~kDisabledBit : data | kDisabledBit);
}

void TCheckListBox::setData(int index, LPARAM data) {
    if (data == Items_->Data(index)) return;
    Items_->SetData(index, data);
    if (!HandleAllocated()) return;
    RECT rect;
    if (send(LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != LB_ERR) InvalidateRect(Handle(), &rect, FALSE);
}

int TCheckListBox::checkWidth() const { return GetSystemMetrics(SM_CXMENUCHECK) + 4; }

void TCheckListBox::toggle(int index) {
    if (index < 0 || index >= Items_->Count() || !ItemEnabled(index)) return;
    switch (State(index)) {
    case cbUnchecked: SetState(index, AllowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(index, cbUnchecked); break;
    case cbGrayed: SetState(index, cbChecked); break;
    }
    ClickCheck();
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
        LRESULT hit = send(LB_ITEMFROMPOINT, 0, message.LParam);
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
    auto index = static_cast<int>(item.itemID);
    if (index < 0 || index >= Items_->Count()) return;
    static const UINT states[] = {0, DFCS_CHECKED, DFCS_BUTTON3STATE | DFCS_CHECKED};
    bool enabled = ItemEnabled(index);
    int box = GetSystemMetrics(SM_CXMENUCHECK);
    int top = rect.top + (rect.bottom - rect.top - box) / 2;
    RECT check{rect.left + 2, top, rect.left + 2 + box, top + box};
    DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | states[State(index)] | (enabled ? 0 : DFCS_INACTIVE));
    RECT text{rect.left + checkWidth(), rect.top, rect.right, rect.bottom};
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    AnsiString caption = Items_->Get(index);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.length()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &text);
}

// ==== Published properties ====

namespace {

using namespace published;

const TPropInfo comboBoxProperties[] = {
    Left, Top, Width, Height, Align, Anchors,
    EnumProperty<&TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase>("CharCase", &EditCharCaseInfo, ecNormal),
    WindowColor, Cursor, Enabled, Font, Hint,
    IntegerProperty<&TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex>("ItemIndex"),
    ClassProperty<&TCustomComboBox::Items>("Items", &TStrings::classInfo),
    WindowParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint,
    EnumProperty<&TCustomComboBox::Style, &TCustomComboBox::SetStyle>("Style", &ComboBoxStyleInfo, csDropDown),
    TabOrder, TabStop,
    StringProperty<&TCustomComboBox::Text, &TCustomComboBox::SetText>("Text"),
    Visible,
    MethodProperty<&TCustomComboBox::OnChange, &TCustomComboBox::OnChange>("OnChange", &NotifyEventType),
    OnClick,
    MethodProperty<&TCustomComboBox::OnCloseUp, &TCustomComboBox::OnCloseUp>("OnCloseUp", &NotifyEventType),
    OnContextPopup, OnDragDrop, OnDragOver,
    MethodProperty<&TCustomComboBox::OnDropDown, &TCustomComboBox::OnDropDown>("OnDropDown", &NotifyEventType),
    OnEndDock, OnEndDrag, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp,
    MethodProperty<&TCustomComboBox::OnSelect, &TCustomComboBox::OnSelect>("OnSelect", &NotifyEventType),
    OnStartDock, OnStartDrag,
};

// ORDER LIST BOX: the check list box publishes the list box's properties and
// events, and its own among them.
const TPropInfo listBoxProperties[] = {
    Left, Top, Width, Height, Align, Anchors, WindowColor, Cursor, Enabled, Font, Hint,
    IntegerProperty<&TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex>("ItemIndex"),
    ClassProperty<&TCustomListBox::Items>("Items", &TStrings::classInfo),
    BoolProperty<&TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect>("MultiSelect", 0),
    WindowParentColor, ParentFont, ParentShowHint, PopupMenu,
    IntegerProperty<&TCustomListBox::ScrollWidth, &TCustomListBox::SetScrollWidth>("ScrollWidth", 0),
    ShowHint, TabOrder, TabStop, Visible,
    OnClick, OnContextPopup, OnDblClick, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnKeyDown,
    OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnStartDock, OnStartDrag,
};

// ORDER LIST BOX
const TPropInfo checkListBoxProperties[] = {
    Left, Top, Width, Height, Align,
    BoolProperty<&TCheckListBox::AllowGrayed, &TCheckListBox::SetAllowGrayed>("AllowGrayed", 0),
    Anchors, WindowColor, Cursor, Enabled, Font, Hint,
    IntegerProperty<&TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex>("ItemIndex"),
    ClassProperty<&TCustomListBox::Items>("Items", &TStrings::classInfo),
    BoolProperty<&TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect>("MultiSelect", 0),
    WindowParentColor, ParentFont, ParentShowHint, PopupMenu,
    IntegerProperty<&TCustomListBox::ScrollWidth, &TCustomListBox::SetScrollWidth>("ScrollWidth", 0),
    ShowHint, TabOrder, TabStop, Visible,
    OnClick,
    MethodProperty<&TCheckListBox::OnClickCheck, &TCheckListBox::OnClickCheck>("OnClickCheck", &NotifyEventType),
    OnContextPopup, OnDblClick, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnKeyDown,
    OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnStartDock, OnStartDrag,
};

}  // namespace

const TClassInfo TCustomComboBox::classInfo = makeClassInfo("TCustomComboBox", &TWinControl::classInfo);
const TClassInfo TComboBox::classInfo =
    makeClassInfo("TComboBox", &TCustomComboBox::classInfo, comboBoxProperties, &componentCreator<TComboBox>);
const TClassInfo TCustomListBox::classInfo = makeClassInfo("TCustomListBox", &TWinControl::classInfo);
const TClassInfo TListBox::classInfo =
    makeClassInfo("TListBox", &TCustomListBox::classInfo, listBoxProperties, &componentCreator<TListBox>);
const TClassInfo TCheckListBox::classInfo =
    makeClassInfo("TCheckListBox", &TCustomListBox::classInfo, checkListBoxProperties, &componentCreator<TCheckListBox>);
