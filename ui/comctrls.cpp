// The tab control, the page control with its sheets, and the hotkey editor,
// each over the system's common control of its kind.
#include "ui/comctrls.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/controlprops.h"

namespace {

const char* const tabPositionNames[] = {"tpTop", "tpBottom", "tpLeft", "tpRight"};
const char* const tabStyleNames[] = {"tsTabs", "tsButtons", "tsFlatButtons"};
const char* const hitTestNames[] = {"htAbove",    "htBelow",   "htNowhere",  "htOnItem",  "htOnButton",   "htOnIcon",
                                    "htOnIndent", "htOnLabel", "htOnRight",  "htOnStateIcon", "htToLeft", "htToRight"};
const TEnumInfo hitTestInfo{"THitTest", hitTestNames, 12};
const char* const invalidKeyNames[] = {"hcNone",      "hcShift",     "hcCtrl",    "hcAlt",
                                       "hcShiftCtrl", "hcShiftAlt", "hcCtrlAlt", "hcShiftCtrlAlt"};
const TEnumInfo invalidKeyInfo{"THKInvalidKey", invalidKeyNames, 8};
const char* const modifierNames[] = {"hkShift", "hkCtrl", "hkAlt", "hkExt"};
const TEnumInfo modifierInfo{"THKModifier", modifierNames, 4};

}  // namespace

const TEnumInfo TabPositionInfo{"TTabPosition", tabPositionNames, 4};
const TEnumInfo TabStyleInfo{"TTabStyle", tabStyleNames, 3};
const TSetInfo HitTestsInfo{"THitTests", &hitTestInfo, 2};
const TSetInfo HKInvalidKeysInfo{"THKInvalidKeys", &invalidKeyInfo, 1};
const TSetInfo HKModifiersInfo{"THKModifiers", &modifierInfo, 1};
const TMethodTypeInfo TabChangingEventType{"TTabChangingEvent"}, TabGetImageEventType{"TTabGetImageEvent"},
    DrawTabEventType{"TDrawTabEvent"};

// ==== TCustomTabControl ====

TCustomTabControl::TCustomTabControl(TComponent* owner) : TWinControl(owner) {
    ControlStyle_ |= csAcceptsControls;
    TabStop_ = true;
    UpdateBoundsFields(0, 0, 289, 193);
}

void TCustomTabControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperClass = WC_TABCONTROLA;
    if (MultiLine_) params.Style |= TCS_MULTILINE;
    if (Style_ != tsTabs) params.Style |= TCS_BUTTONS | (Style_ == tsFlatButtons ? TCS_FLATBUTTONS : 0);
    switch (TabPosition_) {
    case tpBottom: params.Style |= TCS_BOTTOM; break;
    case tpLeft: params.Style |= TCS_VERTICAL | TCS_MULTILINE; break;
    case tpRight: params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
    default: break;
    }
}

void TCustomTabControl::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images_));
    UpdateTabs();
}

void TCustomTabControl::SetImages(HIMAGELIST value) {
    Images_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(value));
    UpdateTabs();
}

void TCustomTabControl::UpdateTabs() {
    if (!HandleAllocated()) return;
    HWND handle = Handle();
    SendMessageA(handle, TCM_DELETEALLITEMS, 0, 0);
    std::vector<TTabItem> tabs = TabItems();
    for (size_t i = 0; i < tabs.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<char*>(tabs[i].Text.c_str());
        item.iImage = Images_ ? tabs[i].ImageIndex : -1;
        SendMessageA(handle, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(handle, TCM_SETCURSEL, SelectedTab(), 0);
    Realign();
}

int TCustomTabControl::TabIndex() {
    return HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)) : SelectedTab();
}

void TCustomTabControl::WndProc(TMessage& message) {
    if (message.Msg == CN_NOTIFY) {
        switch (reinterpret_cast<NMHDR*>(message.LParam)->code) {
        case TCN_SELCHANGING: message.Result = CanChange() ? FALSE : TRUE; return;
        case TCN_SELCHANGE: Change(); return;
        }
    }
    TWinControl::WndProc(message);
}

// Left and Right move the selection; Wine's control moves it without asking
// first (no TCN_SELCHANGING), so the move is made here, after OnChanging.
void TCustomTabControl::KeyDown(WORD& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if ((key != VK_LEFT && key != VK_RIGHT) || Style_ != tsTabs || !HandleAllocated()) return;
    int next = TabIndex() + (key == VK_RIGHT ? 1 : -1);
    key = 0;
    if (next < 0 || next >= static_cast<int>(SendMessageA(Handle(), TCM_GETITEMCOUNT, 0, 0)) || !CanChange()) return;
    SendMessageA(Handle(), TCM_SETCURSEL, next, 0);
    Change();
}

bool TCustomTabControl::CanChange() {
    bool allow = true;
    OnChanging(this, allow);
    return allow;
}

int TCustomTabControl::IndexOfTabAt(int x, int y) {
    TCHITTESTINFO hit{{x, y}, 0};
    return static_cast<int>(SendMessageA(Handle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

THitTests TCustomTabControl::GetHitTestInfoAt(int x, int y) {
    TRect client = ClientRect();
    if (x < client.left || x >= client.right || y < client.top || y >= client.bottom) return 0;
    TCHITTESTINFO hit{{x, y}, 0};
    if (SendMessageA(Handle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == -1) return 0;
    THitTests result = 0;
    if (hit.flags & TCHT_NOWHERE) result |= setOf(htNowhere);
    if ((hit.flags & TCHT_ONITEM) == TCHT_ONITEM) return result | setOf(htOnItem);
    if (hit.flags & TCHT_ONITEM) result |= setOf(htOnItem);
    if (hit.flags & TCHT_ONITEMICON) result |= setOf(htOnIcon);
    if (hit.flags & TCHT_ONITEMLABEL) result |= setOf(htOnLabel);
    return result;
}

TRect TCustomTabControl::TabRect(int index) {
    RECT r{};
    SendMessageA(Handle(), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

// A single row of tabs that does not fit shows arrow buttons (an up-down
// control); scrolling is asking the tab control to move to another position.
void TCustomTabControl::ScrollTabs(int delta) {
    HWND handle = Handle();
    HWND arrows = FindWindowExA(handle, nullptr, UPDOWN_CLASSA, nullptr);
    if (!arrows) return;
    DWORD range = static_cast<DWORD>(SendMessageA(arrows, UDM_GETRANGE, 0, 0));
    int low = std::min<int>(LOWORD(range), HIWORD(range)), high = std::max<int>(LOWORD(range), HIWORD(range));
    int position = std::clamp(static_cast<int>(LOWORD(SendMessageA(arrows, UDM_GETPOS, 0, 0))) + delta, low, high);
    callPlatform([&] {
        SendMessageA(handle, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(arrows));
        return SendMessageA(handle, WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(arrows));
    });
}

TRect TCustomTabControl::DisplayRect() {
    TRect r = ClientRect();
    if (HandleAllocated()) SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

int TCustomTabControl::RowCount() { return static_cast<int>(SendMessageA(Handle(), TCM_GETROWCOUNT, 0, 0)); }

void TCustomTabControl::AlignControls(TRect& rect) {
    rect = DisplayRect();
    TWinControl::AlignControls(rect);
}

void TCustomTabControl::SetTabPosition(TTabPosition value) {
    if (value == TabPosition_) return;
    TabPosition_ = value;
    RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool value) {
    if (value == MultiLine_) return;
    MultiLine_ = value;
    RecreateWnd();
}

void TCustomTabControl::SetStyle(TTabStyle value) {
    if (value == Style_) return;
    Style_ = value;
    RecreateWnd();
}

// ==== TPageControl ====

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

// The sheets go with the children of the window control; they must not
// report to a page control that is already half gone.
TPageControl::~TPageControl() {
    Destroying();
    for (TTabSheet* page : Pages_) page->PageControl_ = nullptr;
    Pages_.clear();
    ActivePage_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount()) raiseListIndexError(index);
    return Pages_[index];
}

void TPageControl::insertPage(TTabSheet* page) {
    Pages_.push_back(page);
    page->PageControl_ = this;
    page->SetVisible(false);
    UpdateTabs();
    Realign();
    if (!ActivePage_ && page->TabVisible_) SetActivePage(page);
}

void TPageControl::removePage(TTabSheet* page) {
    Pages_.erase(std::find(Pages_.begin(), Pages_.end(), page));
    page->PageControl_ = nullptr;
    if (page == ActivePage_) {
        ActivePage_ = nullptr;
        SetActivePage(FindNextPage(nullptr, true, true));
    }
    UpdateTabs();
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page == ActivePage_ || (page && page->PageControl_ != this)) return;
    TTabSheet* previous = ActivePage_;
    ActivePage_ = page;
    if (previous) {
        previous->SetVisible(false);
        previous->OnHide(previous);
    }
    if (page) {
        page->BringToFront();
        page->SetVisible(true);
        page->OnShow(page);
    }
    if (HandleAllocated()) SendMessageA(Handle(), TCM_SETCURSEL, SelectedTab(), 0);
}

int TPageControl::ActivePageIndex() const { return ActivePage_ ? ActivePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? Pages_[index] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    int count = PageCount();
    if (count == 0) return nullptr;
    int start = static_cast<int>(std::find(Pages_.begin(), Pages_.end(), current) - Pages_.begin());
    if (start == count) start = goForward ? count - 1 : 0;
    int i = start;
    do {
        i = goForward ? (i + 1) % count : (i + count - 1) % count;
        if (!checkTabVisible || Pages_[i]->TabVisible_) return Pages_[i];
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
    TTabSheet* page = FindNextPage(ActivePage_, goForward, checkTabVisible);
    if (!page || page == ActivePage_ || !CanChange()) return;
    SetActivePage(page);
    Change();
}

// The selected tab decides the page, then OnChange tells of it.
void TPageControl::Change() {
    int tab = TabIndex();
    for (TTabSheet* page : Pages_)
        if (page->TabIndex() == tab) SetActivePage(page);
    TCustomTabControl::Change();
}

std::vector<TCustomTabControl::TTabItem> TPageControl::TabItems() const {
    std::vector<TTabItem> tabs;
    for (TTabSheet* page : Pages_)
        if (page->TabVisible_) tabs.push_back({page->Caption(), page->ImageIndex_});
    return tabs;
}

int TPageControl::SelectedTab() const { return ActivePage_ ? ActivePage_->TabIndex() : -1; }

void TPageControl::AlignControls(TRect& rect) {
    TCustomTabControl::AlignControls(rect);
    for (TTabSheet* page : Pages_) page->SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// ==== TTabSheet ====

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    setVisibleFlag(false);
    ControlStyle_ |= csAcceptsControls | csCustomPaint;
}

TTabSheet::~TTabSheet() {
    Destroying();
    if (PageControl_) PageControl_->removePage(this);
}

void TTabSheet::SetPageControl(TPageControl* value) {
    if (value == PageControl_) return;
    if (PageControl_) PageControl_->removePage(this);
    TControl::SetParent(value);
    if (value) value->insertPage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
    if (parent && parent->InheritsFrom(&TPageControl::classInfo)) {
        SetPageControl(static_cast<TPageControl*>(parent));
        return;
    }
    if (PageControl_) PageControl_->removePage(this);
    TWinControl::SetParent(parent);
}

int TTabSheet::PageIndex() const {
    if (!PageControl_) return -1;
    const auto& pages = PageControl_->Pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int value) {
    if (!PageControl_) return;
    auto& pages = PageControl_->Pages_;
    pages.erase(std::find(pages.begin(), pages.end(), this));
    pages.insert(pages.begin() + std::clamp(value, 0, static_cast<int>(pages.size())), this);
    PageControl_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (!PageControl_ || !TabVisible_) return -1;
    int index = 0;
    for (TTabSheet* page : PageControl_->Pages_) {
        if (page == this) return index;
        if (page->TabVisible_) ++index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool value) {
    if (value == TabVisible_) return;
    TabVisible_ = value;
    if (PageControl_) PageControl_->UpdateTabs();
}

void TTabSheet::SetImageIndex(int value) {
    if (value == ImageIndex_) return;
    ImageIndex_ = value;
    if (PageControl_) PageControl_->UpdateTabs();
}

void TTabSheet::TextChanged() {
    if (PageControl_) PageControl_->UpdateTabs();
}

// ==== THotKey ====

TShortCut hotKeyControlToShortCut(WORD value) {
    BYTE flags = HIBYTE(value);
    TShortCut shortCut = LOBYTE(value);
    if (flags & HOTKEYF_SHIFT) shortCut |= scShift;
    if (flags & HOTKEYF_CONTROL) shortCut |= scCtrl;
    if (flags & HOTKEYF_ALT) shortCut |= scAlt;
    return shortCut;
}

WORD shortCutToHotKeyControl(TShortCut shortCut) {
    BYTE flags = (shortCut & scShift ? HOTKEYF_SHIFT : 0) | (shortCut & scCtrl ? HOTKEYF_CONTROL : 0) |
                 (shortCut & scAlt ? HOTKEYF_ALT : 0);
    return MAKEWORD(shortCut & 0xFF, flags);
}

THotKey::THotKey(TComponent* owner) : TWinControl(owner) {
    TabStop_ = true;
    UpdateBoundsFields(0, 0, 121, 19);
}

void THotKey::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperClass = HOTKEY_CLASSA;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void THotKey::CreateWnd() {
    TWinControl::CreateWnd();
    applyRules();
    SendMessageA(Handle(), HKM_SETHOTKEY, shortCutToHotKeyControl(HotKey_), 0);
}

// The invalid combinations and the modifier flags are numbered as the
// control's HKCOMB_ and HOTKEYF_ bits.
void THotKey::applyRules() {
    if (HandleAllocated()) SendMessageA(Handle(), HKM_SETRULES, InvalidKeys_, MAKELPARAM(Modifiers_, 0));
}

TShortCut THotKey::HotKey() const {
    if (!HandleAllocated()) return HotKey_;
    HWND handle = const_cast<THotKey*>(this)->Handle();
    return hotKeyControlToShortCut(static_cast<WORD>(SendMessageA(handle, HKM_GETHOTKEY, 0, 0)));
}

void THotKey::SetHotKey(TShortCut value) {
    HotKey_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), HKM_SETHOTKEY, shortCutToHotKeyControl(value), 0);
}

void THotKey::SetInvalidKeys(THKInvalidKeys value) {
    InvalidKeys_ = value;
    applyRules();
}

void THotKey::SetModifiers(THKModifiers value) {
    Modifiers_ = value;
    applyRules();
}

// ==== Published properties ====

namespace {

using namespace published;

const TPropInfo pageControlProperties[] = {
    Left, Top, Width, Height,
    ClassProperty<&TPageControl::ActivePage, &TPageControl::SetActivePage>("ActivePage", &TTabSheet::classInfo),
    Align, Anchors, Color, Cursor, Enabled, Font, Hint,
    BoolProperty<&TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine>("MultiLine", 0),
    ParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint,
    EnumProperty<&TCustomTabControl::Style, &TCustomTabControl::SetStyle>("Style", &TabStyleInfo, tsTabs),
    TabOrder,
    EnumProperty<&TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition>("TabPosition", &TabPositionInfo,
                                                                                       tpTop),
    TabStop, Visible,
    MethodProperty<&TCustomTabControl::OnChange, &TCustomTabControl::OnChange>("OnChange", &NotifyEventType),
    MethodProperty<&TCustomTabControl::OnChanging, &TCustomTabControl::OnChanging>("OnChanging",
                                                                                   &TabChangingEventType),
    OnContextPopup, OnDockDrop, OnDockOver, OnDragDrop, OnDragOver,
    MethodProperty<&TCustomTabControl::OnDrawTab, &TCustomTabControl::OnDrawTab>("OnDrawTab", &DrawTabEventType),
    OnEndDock, OnEndDrag, OnEnter, OnExit,
    MethodProperty<&TCustomTabControl::OnGetImageIndex, &TCustomTabControl::OnGetImageIndex>("OnGetImageIndex",
                                                                                             &TabGetImageEventType),
    OnGetSiteInfo, OnMouseDown, OnMouseMove, OnMouseUp, OnResize, OnStartDock, OnStartDrag, OnUnDock,
};

const TPropInfo tabSheetProperties[] = {
    Left, Top, Width, Height, Caption, Color, Cursor, Enabled, Font, Hint,
    IntegerProperty<&TTabSheet::PageIndex, &TTabSheet::SetPageIndex>("PageIndex"),
    ParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint,
    BoolProperty<&TTabSheet::TabVisible, &TTabSheet::SetTabVisible>("TabVisible", 1),
    Visible,
    OnContextPopup, OnDragDrop, OnDragOver, OnEndDrag, OnEnter, OnExit,
    MethodProperty<&TTabSheet::OnHide, &TTabSheet::OnHide>("OnHide", &NotifyEventType),
    OnMouseDown, OnMouseMove, OnMouseUp, OnResize,
    MethodProperty<&TTabSheet::OnShow, &TTabSheet::OnShow>("OnShow", &NotifyEventType),
    OnStartDrag,
};

const TPropInfo hotKeyProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Color, Cursor, Enabled, Font, Hint,
    IntegerProperty<&THotKey::HotKey, &THotKey::SetHotKey>("HotKey", scAlt | 'A'),
    SetProperty<&THotKey::InvalidKeys, &THotKey::SetInvalidKeys>("InvalidKeys", &HKInvalidKeysInfo,
                                                                  setOf(hcNone, hcShift)),
    SetProperty<&THotKey::Modifiers, &THotKey::SetModifiers>("Modifiers", &HKModifiersInfo, setOf(hkAlt)),
    ParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint, TabOrder, TabStop, Visible,
    OnContextPopup, OnEnter, OnExit, OnMouseDown, OnMouseMove, OnMouseUp,
};

}  // namespace

const TClassInfo TCustomTabControl::classInfo = makeClassInfo("TCustomTabControl", &TWinControl::classInfo);
const TClassInfo TPageControl::classInfo =
    makeClassInfo("TPageControl", &TCustomTabControl::classInfo, pageControlProperties, &componentCreator<TPageControl>);
const TClassInfo TTabSheet::classInfo =
    makeClassInfo("TTabSheet", &TWinControl::classInfo, tabSheetProperties, &componentCreator<TTabSheet>);
const TClassInfo THotKey::classInfo =
    makeClassInfo("THotKey", &TWinControl::classInfo, hotKeyProperties, &componentCreator<THotKey>);
