// The bar controls over the system's tab, progress, status bar, tool bar,
// rebar and up-down controls, and the spin edit built from an edit and an
// up-down; their published tables.
#include "ui/bars.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "ui/actions.h"
#include "ui/application.h"
#include "ui/controlprops.h"

namespace {

const char* const statusPanelStyleNames[] = {"psText", "psOwnerDraw"};
const char* const toolButtonStyleNames[] = {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"};
const char* const udBtnTypeNames[] = {"btNext", "btPrev"};
const char* const upDownDirectionNames[] = {"updNone", "updUp", "updDown"};
const char* const udOrientationNames[] = {"udHorizontal", "udVertical"};

}  // namespace

const TEnumInfo StatusPanelStyleInfo{"TStatusPanelStyle", statusPanelStyleNames, 2};
const TEnumInfo ToolButtonStyleInfo{"TToolButtonStyle", toolButtonStyleNames, 5};
const TEnumInfo UDBtnTypeInfo{"TUDBtnType", udBtnTypeNames, 2};
const TEnumInfo UpDownDirectionInfo{"TUpDownDirection", upDownDirectionNames, 3};
const TEnumInfo UDOrientationInfo{"TUDOrientation", udOrientationNames, 2};
const TMethodTypeInfo DrawPanelEventType{"TDrawPanelEvent"}, StatusHintEventType{"TStatusHintEvent"},
    UDChangingEventType{"TUDChangingEvent"},
    UDChangingEventExType{"TUDChangingEventEx"}, UDClickEventType{"TUDClickEvent"};

// ==== TTabControl ====

TTabControl::TTabControl(TComponent* owner) : TCustomTabControl(owner), Tabs_(std::make_unique<TStringList>()) {
    Tabs_->OnChange = TStringsEvent::bind<&TTabControl::tabsChanged>(this);
}

// A tab index past the new tabs falls back to the last one.
void TTabControl::tabsChanged(TStrings*) {
    if (TabIndex_ >= Tabs_->Count()) TabIndex_ = Tabs_->Count() - 1;
    if (TabIndex_ < 0 && Tabs_->Count() > 0) TabIndex_ = 0;
    UpdateTabs();
}

std::vector<TCustomTabControl::TTabItem> TTabControl::TabItems() const {
    std::vector<TTabItem> items;
    for (int i = 0; i < Tabs_->Count(); ++i) items.push_back({Tabs_->Strings(i), i});
    return items;
}

void TTabControl::SetTabIndex(int value) {
    if (value < -1 || value >= Tabs_->Count()) return;
    TabIndex_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), TCM_SETCURSEL, value, 0);
}

void TTabControl::Change() {
    TabIndex_ = TCustomTabControl::TabIndex();
    TCustomTabControl::Change();
}

// ==== TProgressBar ====

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { UpdateBoundsFields(0, 0, 150, 16); }

void TProgressBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperClass = PROGRESS_CLASSA;
}

void TProgressBar::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(Handle(), PBM_SETRANGE32, Min_, Max_);
    SendMessageA(Handle(), PBM_SETPOS, Position_, 0);
}

void TProgressBar::SetMin(int value) {
    Min_ = value;
    Max_ = std::max(Max_, value);
    SetPosition(Position_);
    if (HandleAllocated()) SendMessageA(Handle(), PBM_SETRANGE32, Min_, Max_);
}

void TProgressBar::SetMax(int value) {
    Max_ = value;
    Min_ = std::min(Min_, value);
    SetPosition(Position_);
    if (HandleAllocated()) SendMessageA(Handle(), PBM_SETRANGE32, Min_, Max_);
}

int TProgressBar::Position() const { return Position_; }

void TProgressBar::SetPosition(int value) {
    Position_ = std::clamp(value, Min_, Max_);
    if (HandleAllocated()) SendMessageA(Handle(), PBM_SETPOS, Position_, 0);
}

void TProgressBar::StepIt() {
    int64_t next = static_cast<int64_t>(Position_) + Step_;
    int64_t span = static_cast<int64_t>(Max_) - Min_;
    if (span > 0 && next > Max_) next = Min_ + (next - Min_) % span;
    SetPosition(static_cast<int>(std::clamp<int64_t>(next, Min_, Max_)));
}

void TProgressBar::StepBy(int delta) {
    SetPosition(static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(Position_) + delta, Min_, Max_)));
}

// ==== TStatusBar and its panels ====

void TStatusPanel::SetText(const AnsiString& value) {
    if (value == Text_) return;
    Text_ = value;
    Changed(false);
}

void TStatusPanel::SetWidth(int value) {
    if (value == Width_) return;
    Width_ = value;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment value) {
    if (value == Alignment_) return;
    Alignment_ = value;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
    if (value == Style_) return;
    Style_ = value;
    Changed(false);
}

void TStatusPanel::Assign(const TPersistent* source) {
    if (!source || !source->InheritsFrom(&TStatusPanel::classInfo)) return TCollectionItem::Assign(source);
    auto* panel = static_cast<const TStatusPanel*>(source);
    Text_ = panel->Text_;
    Width_ = panel->Width_;
    Alignment_ = panel->Alignment_;
    Style_ = panel->Style_;
    Changed(true);
}

TStatusPanels::TStatusPanels(TStatusBar* bar) : TCollection(&TStatusPanel::classInfo, bar), Bar_(bar) {}

void TStatusPanels::Update(TCollectionItem* item) {
    if (Bar_->IsDestroying()) return;
    if (item) Bar_->updatePanelText(item->Index());
    else Bar_->updatePanels();
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner), Panels_(std::make_unique<TStatusPanels>(this)) {
    UpdateBoundsFields(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
    Destroying();
    Application->RemoveHintBar(this);
    Panels_.reset();
}

void TStatusBar::SetAutoHint(bool value) {
    AutoHint_ = value;
    if (value) Application->AddHintBar(this);
    else Application->RemoveHintBar(this);
}

void TStatusBar::HintChanged(const AnsiString& hint) {
    TKeepAlive hold(this);
    if (OnHint(this) || IsDestroying()) return;
    SetSimpleText(hint);
    SetSimplePanel(!hint.empty());
}

void TStatusBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperClass = STATUSCLASSNAMEA;
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;
    if (SizeGrip_) params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    TextsPending_ = false;  // a message posted to an earlier window is lost with it
    updatePanels();
}

void TStatusBar::updatePanels() {
    if (!HandleAllocated()) return;
    HWND handle = Handle();
    SendMessageA(handle, SB_SIMPLE, SimplePanel_, 0);
    if (SimplePanel_) {
        SendMessageA(handle, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(SimpleText_.c_str()));
        return;
    }
    std::vector<int> rights;
    int right = 0;
    for (int i = 0; i < Panels_->Count(); ++i) {
        right += Panels_->Items(i)->Width();
        rights.push_back(i + 1 == Panels_->Count() ? -1 : right);
    }
    if (rights.empty()) rights.push_back(-1);
    SendMessageA(handle, SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    for (int i = 0; i < Panels_->Count(); ++i) updatePanelText(i);
}

// The control paints each text it is given at once, and under Wine even a
// text given while it cannot paint costs a great deal: the texts go to it
// once a turn of the message loop, or before it paints or is asked for one.
void TStatusBar::updatePanelText(int index) {
    if (!HandleAllocated() || SimplePanel_ || index < 0 || index >= Panels_->Count() || TextsPending_) return;
    TextsPending_ = true;
    PostMessageA(Handle(), CM_PANELTEXTS, 0, 0);
}

void TStatusBar::sendPanelTexts() {
    TextsPending_ = false;
    if (!HandleAllocated() || SimplePanel_) return;
    static const char* const alignments[] = {"", "\t\t", "\t"};
    for (int index = 0; index < Panels_->Count(); ++index) {
        TStatusPanel* panel = Panels_->Items(index);
        AnsiString text = alignments[panel->Alignment()] + panel->Text();
        WPARAM style = panel->Style() == psOwnerDraw ? SBT_OWNERDRAW : 0;
        LPARAM data =
            panel->Style() == psOwnerDraw ? reinterpret_cast<LPARAM>(panel) : reinterpret_cast<LPARAM>(text.c_str());
        SendMessageA(Handle(), SB_SETTEXTA, index | style, data);
    }
}

void TStatusBar::SetSimplePanel(bool value) {
    if (value == SimplePanel_) return;
    SimplePanel_ = value;
    updatePanels();
}

void TStatusBar::SetSimpleText(const AnsiString& value) {
    if (value == SimpleText_) return;
    SimpleText_ = value;
    if (HandleAllocated() && SimplePanel_)
        SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(SimpleText_.c_str()));
}

void TStatusBar::SetSizeGrip(bool value) {
    if (value == SizeGrip_) return;
    SizeGrip_ = value;
    RecreateWnd();
}

void TStatusBar::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CM_PANELTEXTS:
        if (TextsPending_) sendPanelTexts();
        return;
    case WM_PAINT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case SB_GETTEXTA:
    case SB_GETTEXTW:
    case SB_GETTEXTLENGTHA:
    case SB_GETTEXTLENGTHW:
        if (TextsPending_) sendPanelTexts();
        break;
    }
    if (message.Msg == CN_DRAWITEM) {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
        auto index = static_cast<int>(draw->itemID);
        if (index >= 0 && index < Panels_->Count()) {
            TCanvas* canvas = Canvas();
            TCanvasPaint paint(canvas, draw->hDC, this);
            OnDrawPanel(this, Panels_->Items(index), draw->rcItem);
        }
        message.Result = TRUE;
        return;
    }
    TWinControl::WndProc(message);
}

// ==== TToolWindow ====

// The system's tool, rebar and up-down windows capture the mouse themselves
// and let it go on the button's release: taking it from them first leaves
// them pressed (an up-down then repeats to its end).
TToolWindow::TToolWindow(TComponent* owner) : TWinControl(owner) {
    ControlStyle_ = (ControlStyle_ | csAcceptsControls) & ~csCaptureMouse;
}

// ==== TToolButton ====

namespace {

// Command numbers of tool buttons, 16 bits wide, handed out in turn.
int nextToolCommand() {
    static int next = 0;
    next = next % 0xFFFF + 1;
    return next;
}

}  // namespace

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner), CommandId_(nextToolCommand()) {
    UpdateBoundsFields(0, 0, 23, 22);
}

TToolButton::~TToolButton() {
    if (TToolBar* toolBar = bar()) toolBar->removeButton(this);
}

TToolBar* TToolButton::bar() const {
    TWinControl* parent = Parent();
    return parent && parent->InheritsFrom(&TToolBar::classInfo) ? static_cast<TToolBar*>(parent) : nullptr;
}

void TToolButton::SetParent(TWinControl* parent) {
    if (parent == Parent()) return;
    if (TToolBar* toolBar = bar()) toolBar->removeButton(this);
    TGraphicControl::SetParent(parent);
    if (TToolBar* toolBar = bar()) toolBar->insertButton(this);
}

int TToolButton::Index() const {
    TToolBar* toolBar = bar();
    if (!toolBar) return -1;
    auto& buttons = toolBar->Buttons_;
    auto it = std::find(buttons.begin(), buttons.end(), this);
    return it == buttons.end() ? -1 : static_cast<int>(it - buttons.begin());
}

void TToolButton::changed() {
    if (TToolBar* toolBar = bar()) toolBar->updateButton(this);
}

void TToolButton::SetStyle(TToolButtonStyle value) {
    if (value == Style_) return;
    Style_ = value;
    remake();
}

// Style and group are fixed when the window's entry is made: it is made again.
void TToolButton::remake() {
    TToolBar* toolBar = bar();
    if (!toolBar || !toolBar->HandleAllocated()) return;
    int index = Index();
    SendMessageA(toolBar->Handle(), TB_DELETEBUTTON, index, 0);
    toolBar->addButtonToWindow(this, index);
    toolBar->placeButtons();
}

void TToolButton::SetDown(bool value) {
    if (value == Down_) return;
    Down_ = value;
    changed();
}

void TToolButton::SetGrouped(bool value) {
    if (value == Grouped_) return;
    Grouped_ = value;
    remake();
}

void TToolButton::SetDropdownMenu(TPopupMenu* value) {
    if (value == DropdownMenu_) return;
    if (DropdownMenu_) RemoveFreeNotification(DropdownMenu_);
    DropdownMenu_ = value;
    if (value) FreeNotification(value);
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == DropdownMenu_) DropdownMenu_ = nullptr;
}

void TToolButton::TextChanged() { changed(); }
void TToolButton::EnabledChanged() { changed(); }
void TToolButton::VisibleChanged() { changed(); }

void TToolButton::ActionChange(TBasicAction* action) {
    TGraphicControl::ActionChange(action);
    if (action->InheritsFrom(&TCustomAction::classInfo)) SetDown(static_cast<TCustomAction*>(action)->Checked());
}

// ==== TToolBar ====

TToolBar::TToolBar(TComponent* owner) : TToolWindow(owner) {
    UpdateBoundsFields(0, 0, 150, 29);
    SetAlign(alTop);
}

TToolBar::~TToolBar() {
    Destroying();
    Buttons_.clear();
}

void TToolBar::CreateParams(TCreateParams& params) {
    TToolWindow::CreateParams(params);
    params.SuperClass = TOOLBARCLASSNAMEA;
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_WRAPABLE;
    if (Flat_) params.Style |= TBSTYLE_FLAT;
    if (ShowCaptions_) params.Style |= TBSTYLE_LIST;
}

void TToolBar::CreateWnd() {
    TToolWindow::CreateWnd();
    HWND handle = Handle();
    SendMessageA(handle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(handle, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    for (size_t i = 0; i < Buttons_.size(); ++i) addButtonToWindow(Buttons_[i], static_cast<int>(i));
    placeButtons();
}

TToolButton* TToolBar::Buttons(int index) const {
    if (index < 0 || index >= ButtonCount()) raiseListIndexError(index);
    return Buttons_[index];
}

void TToolBar::insertButton(TToolButton* button) {
    Buttons_.push_back(button);
    addButtonToWindow(button, ButtonCount() - 1);
    placeButtons();
}

void TToolBar::removeButton(TToolButton* button) {
    auto it = std::find(Buttons_.begin(), Buttons_.end(), button);
    if (it == Buttons_.end() || IsDestroying()) return;
    int index = static_cast<int>(it - Buttons_.begin());
    Buttons_.erase(it);
    if (HandleAllocated()) SendMessageA(Handle(), TB_DELETEBUTTON, index, 0);
    placeButtons();
}

void TToolBar::addButtonToWindow(TToolButton* button, int index) {
    if (!HandleAllocated()) return;
    static const BYTE styles[] = {BTNS_BUTTON, BTNS_CHECK, BTNS_DROPDOWN, BTNS_SEP, BTNS_SEP};
    TBBUTTON entry{};
    entry.iBitmap = I_IMAGENONE;
    entry.idCommand = button->CommandId_;
    entry.fsStyle = styles[button->Style_] | BTNS_AUTOSIZE | (button->Grouped_ ? BTNS_GROUP : 0);
    entry.fsState = (button->Enabled() ? TBSTATE_ENABLED : 0) | (button->Down_ ? TBSTATE_CHECKED : 0) |
                    (button->Visible() ? 0 : TBSTATE_HIDDEN);
    entry.iString = reinterpret_cast<INT_PTR>(button->Caption().c_str());
    SendMessageA(Handle(), TB_INSERTBUTTONA, index, reinterpret_cast<LPARAM>(&entry));
}

void TToolBar::updateButton(TToolButton* button) {
    if (!HandleAllocated() || IsDestroying()) return;
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STATE | TBIF_TEXT;
    info.fsState = (button->Enabled() ? TBSTATE_ENABLED : 0) | (button->Down_ ? TBSTATE_CHECKED : 0) |
                   (button->Visible() ? 0 : TBSTATE_HIDDEN);
    info.pszText = const_cast<char*>(button->Caption().c_str());
    SendMessageA(Handle(), TB_SETBUTTONINFOA, button->CommandId_, reinterpret_cast<LPARAM>(&info));
    SendMessageA(Handle(), TB_AUTOSIZE, 0, 0);
    placeButtons();
}

// Each button's bounds are those of its entry in the window.
void TToolBar::placeButtons() {
    if (!HandleAllocated()) return;
    for (size_t i = 0; i < Buttons_.size(); ++i) {
        RECT r{};
        SendMessageA(Handle(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        Buttons_[i]->UpdateBoundsFields(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
}

void TToolBar::AlignControls(TRect& rect) {
    placeButtons();
    TToolWindow::AlignControls(rect);
}

TToolButton* TToolBar::buttonOfCommand(int id) const {
    for (TToolButton* button : Buttons_)
        if (button->CommandId_ == id) return button;
    return nullptr;
}

int TToolBar::RowCount() { return static_cast<int>(SendMessageA(Handle(), TB_GETROWS, 0, 0)); }

bool TToolBar::TrackMenu(TToolButton* button) {
    if (!button || button->bar() != this || !button->DropdownMenu_) return false;
    TPoint below = ClientToScreen({button->Left(), button->Top() + button->Height()});
    button->DropdownMenu_->Popup(below.x, below.y);
    return true;
}

void TToolBar::SetShowCaptions(bool value) {
    if (value == ShowCaptions_) return;
    ShowCaptions_ = value;
    RecreateWnd();
}

void TToolBar::SetFlat(bool value) {
    if (value == Flat_) return;
    Flat_ = value;
    RecreateWnd();
}

// The window presses its buttons itself: mouse messages go to it, not to the
// windowless buttons over its entries. A pressed entry comes back as a command.
void TToolBar::WndProc(TMessage& message) {
    if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MBUTTONDBLCLK) return TControl::WndProc(message);
    if (message.Msg == CN_COMMAND) {
        if (TToolButton* button = buttonOfCommand(LOWORD(message.WParam))) {
            TKeepAlive hold(button);
            if (button->Style_ == tbsCheck)
                button->Down_ = SendMessageA(Handle(), TB_ISBUTTONCHECKED, button->CommandId_, 0) != 0;
            button->Click();
        }
        message.Result = 0;
        return;
    }
    if (message.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(message.LParam)->code == TBN_DROPDOWN) {
        auto* notify = reinterpret_cast<NMTOOLBARA*>(message.LParam);
        if (TToolButton* button = buttonOfCommand(notify->iItem)) TrackMenu(button);
        message.Result = TBDDRET_DEFAULT;
        return;
    }
    TToolWindow::WndProc(message);
}

// ==== TCoolBar ====

TCoolBar::TCoolBar(TComponent* owner) : TToolWindow(owner) {
    UpdateBoundsFields(0, 0, 150, 75);
    SetAlign(alTop);
}

void TCoolBar::CreateParams(TCreateParams& params) {
    TToolWindow::CreateParams(params);
    params.SuperClass = REBARCLASSNAMEA;
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | RBS_VARHEIGHT | RBS_BANDBORDERS;
}

void TCoolBar::CreateWnd() {
    TToolWindow::CreateWnd();
    updateBands();
}

// The bands are made again from the windowed children.
void TCoolBar::updateBands() {
    if (!HandleAllocated() || IsDestroying()) return;
    HWND handle = Handle();
    while (SendMessageA(handle, RB_GETBANDCOUNT, 0, 0) > 0) SendMessageA(handle, RB_DELETEBAND, 0, 0);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* control = Controls(i);
        if (!control->InheritsFrom(&TWinControl::classInfo) || !control->Visible()) continue;
        auto* window = static_cast<TWinControl*>(control);
        REBARBANDINFOA band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_TEXT | RBBIM_SIZE | RBBIM_STYLE;
        band.fStyle = RBBS_CHILDEDGE;
        band.hwndChild = window->Handle();
        band.cxMinChild = 0;
        band.cyMinChild = control->Height();
        band.cx = control->Width();
        band.lpText = const_cast<char*>(control->Caption().c_str());
        SendMessageA(handle, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    }
}

int TCoolBar::BandCount() { return static_cast<int>(SendMessageA(Handle(), RB_GETBANDCOUNT, 0, 0)); }

AnsiString TCoolBar::BandText(int index) {
    char text[256] = "";
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_TEXT;
    band.lpText = text;
    band.cch = sizeof text;
    if (index < 0 || index >= BandCount() || !SendMessageA(Handle(), RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&band)))
        return AnsiString();
    return AnsiString(text);
}

// The rebar places the bands' controls; a change of children remakes the bands.
void TCoolBar::AlignControls(TRect&) { updateBands(); }
void TCoolBar::ControlListChanged(TControl*, bool) { updateBands(); }

void TCoolBar::WndProc(TMessage& message) {
    if (message.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(message.LParam)->code == RBN_HEIGHTCHANGE) {
        OnChange(this);
        return;
    }
    TToolWindow::WndProc(message);
}

// ==== TUpDown ====

TUpDown::TUpDown(TComponent* owner) : TToolWindow(owner) {
    ControlStyle_ &= ~csAcceptsControls;
    UpdateBoundsFields(0, 0, 17, 25);
}

void TUpDown::CreateParams(TCreateParams& params) {
    TToolWindow::CreateParams(params);
    params.SuperClass = UPDOWN_CLASSA;
    if (Wrap_) params.Style |= UDS_WRAP;
    if (Orientation_ == udHorizontal) params.Style |= UDS_HORZ;
    params.Style |= UDS_ARROWKEYS;
}

void TUpDown::CreateWnd() {
    TToolWindow::CreateWnd();
    applyRange();
}

void TUpDown::applyRange() {
    if (!HandleAllocated()) return;
    SendMessageA(Handle(), UDM_SETRANGE32, Min_, Max_);
    UDACCEL accel{0, static_cast<UINT>(Increment_)};
    SendMessageA(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    SendMessageA(Handle(), UDM_SETPOS32, 0, Position_);
}

void TUpDown::SetMin(int value) {
    Min_ = value;
    Position_ = std::clamp(Position_, std::min(Min_, Max_), std::max(Min_, Max_));
    applyRange();
}

void TUpDown::SetMax(int value) {
    Max_ = value;
    Position_ = std::clamp(Position_, std::min(Min_, Max_), std::max(Min_, Max_));
    applyRange();
}

int TUpDown::Position() const {
    if (!HandleAllocated()) return Position_;
    return static_cast<int>(SendMessageA(const_cast<TUpDown*>(this)->Handle(), UDM_GETPOS32, 0, 0));
}

void TUpDown::SetPosition(int value) {
    Position_ = std::clamp(value, std::min(Min_, Max_), std::max(Min_, Max_));
    if (HandleAllocated()) SendMessageA(Handle(), UDM_SETPOS32, 0, Position_);
}

void TUpDown::SetIncrement(int value) {
    Increment_ = value;
    applyRange();
}

void TUpDown::SetWrap(bool value) {
    if (value == Wrap_) return;
    Wrap_ = value;
    RecreateWnd();
}

void TUpDown::SetOrientation(TUDOrientation value) {
    if (value == Orientation_) return;
    Orientation_ = value;
    RecreateWnd();
}

bool TUpDown::CanChange(int newValue, TUpDownDirection direction) {
    bool allow = true;
    OnChanging(this, allow);
    OnChangingEx(this, allow, static_cast<int16_t>(newValue), direction);
    return allow;
}

// The window asks before it moves (UDN_DELTAPOS) and reports after (a scroll
// message to its parent, reflected here).
void TUpDown::WndProc(TMessage& message) {
    if (message.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(message.LParam)->code == UDN_DELTAPOS) {
        auto* delta = reinterpret_cast<NMUPDOWN*>(message.LParam);
        int64_t next = static_cast<int64_t>(delta->iPos) + delta->iDelta;
        int low = std::min(Min_, Max_), high = std::max(Min_, Max_);
        if (Wrap_ && next > high) next = low;
        else if (Wrap_ && next < low) next = high;
        next = std::clamp<int64_t>(next, low, high);
        TUpDownDirection direction = delta->iDelta > 0 ? updUp : delta->iDelta < 0 ? updDown : updNone;
        bool allowed = CanChange(static_cast<int>(next), direction);
        Moving_ = allowed && next != delta->iPos ? std::optional(delta->iDelta > 0 ? btNext : btPrev) : std::nullopt;
        message.Result = allowed ? FALSE : TRUE;
        return;
    }
    // The report comes also after a refused change or none at an end: only
    // a position that moved is a click.
    if (message.Msg == CN_VSCROLL || message.Msg == CN_HSCROLL) {
        if (LOWORD(message.WParam) == SB_THUMBPOSITION) {
            int now = Position();
            std::optional<TUDBtnType> button = std::exchange(Moving_, std::nullopt);
            bool moved = now != Position_;
            Position_ = now;
            if (button && moved) ArrowClick(*button);
        }
        message.Result = 0;
        return;
    }
    TToolWindow::WndProc(message);
}

// ==== TSpinEdit ====

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner) {
    UpdateBoundsFields(0, 0, 121, 22);
    SetText("0");
}

int TSpinEdit::checkValue(int value) const {
    if (MaxValue_ <= MinValue_) return value;
    return std::clamp(value, MinValue_, MaxValue_);
}

int TSpinEdit::Value() const {
    AnsiString text = Text();
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || (end && *end)) return MinValue_;
    return checkValue(static_cast<int>(std::clamp<long>(value, INT32_MIN, INT32_MAX)));
}

void TSpinEdit::SetValue(int value) { SetText(AnsiString(std::to_string(checkValue(value)))); }

void TSpinEdit::SetMinValue(int value) {
    MinValue_ = value;
    SetValue(Value());
}

void TSpinEdit::SetMaxValue(int value) {
    MaxValue_ = value;
    SetValue(Value());
}

void TSpinEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    HWND handle = Handle();
    SetWindowLongPtrA(handle, GWL_STYLE, GetWindowLongPtrA(handle, GWL_STYLE) | WS_CLIPCHILDREN);
    Arrows_ = CreateWindowExA(0, UPDOWN_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, handle, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SendMessageA(Arrows_, UDM_SETRANGE32, -1, 1);
    SendMessageA(Arrows_, UDM_SETPOS32, 0, 0);
    placeArrows();
}

void TSpinEdit::placeArrows() {
    if (!Arrows_) return;
    RECT client;
    GetClientRect(Handle(), &client);
    int width = GetSystemMetrics(SM_CXVSCROLL);
    MoveWindow(Arrows_, client.right - width, 0, width, client.bottom, TRUE);
    SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width));
}

void TSpinEdit::KeyDown(WORD& key, TShiftState shift) {
    TCustomEdit::KeyDown(key, shift);
    if (key == VK_UP || key == VK_DOWN) {
        SetValue(Value() + (key == VK_UP ? Increment_ : -Increment_));
        key = 0;
    }
}

// The arrows' window belongs to the edit's: its notices come here, not
// reflected. The arrows step the value; their own position stays at 0.
void TSpinEdit::WndProc(TMessage& message) {
    if (message.Msg == WM_NOTIFY && Arrows_ && reinterpret_cast<NMHDR*>(message.LParam)->hwndFrom == Arrows_) {
        auto* delta = reinterpret_cast<NMUPDOWN*>(message.LParam);
        if (delta->hdr.code == UDN_DELTAPOS && delta->iDelta) SetValue(Value() + (delta->iDelta > 0 ? Increment_ : -Increment_));
        message.Result = TRUE;  // the arrows' own position does not move
        return;
    }
    if (message.Msg == WM_SIZE) placeArrows();
    if (message.Msg == WM_NCDESTROY) Arrows_ = nullptr;
    TCustomEdit::WndProc(message);
}

// ==== Published properties ====

namespace {

using namespace published;

const TPropInfo tabControlProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Color, Cursor, Enabled, Font, Hint,
    BoolProperty<&TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine>("MultiLine", 0),
    ParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint,
    EnumProperty<&TCustomTabControl::Style, &TCustomTabControl::SetStyle>("Style", &TabStyleInfo, tsTabs),
    IntegerProperty<&TTabControl::TabIndex, &TTabControl::SetTabIndex>("TabIndex", -1),
    TabOrder,
    EnumProperty<&TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition>("TabPosition", &TabPositionInfo,
                                                                                       tpTop),
    ClassProperty<&TTabControl::Tabs, &TTabControl::SetTabs>("Tabs", &TStrings::classInfo),
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

const TPropInfo progressBarProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Cursor, Enabled, Hint,
    IntegerProperty<&TProgressBar::Max, &TProgressBar::SetMax>("Max", 100),
    IntegerProperty<&TProgressBar::Min, &TProgressBar::SetMin>("Min", 0),
    ParentShowHint, PopupMenu,
    IntegerProperty<&TProgressBar::Position, &TProgressBar::SetPosition>("Position", 0),
    ShowHint,
    IntegerProperty<&TProgressBar::Step, &TProgressBar::SetStep>("Step", 10),
    TabOrder, TabStop, Visible,
    OnContextPopup, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnMouseDown, OnMouseMove,
    OnMouseUp, OnStartDock, OnStartDrag,
};

const TPropInfo statusPanelProperties[] = {
    EnumProperty<&TStatusPanel::Alignment, &TStatusPanel::SetAlignment>("Alignment", &AlignmentInfo, taLeftJustify),
    EnumProperty<&TStatusPanel::Style, &TStatusPanel::SetStyle>("Style", &StatusPanelStyleInfo, psText),
    StringProperty<&TStatusPanel::Text, &TStatusPanel::SetText>("Text"),
    IntegerProperty<&TStatusPanel::Width, &TStatusPanel::SetWidth>("Width", 50),
};

const TPropInfo statusBarProperties[] = {
    Left, Top, Width, Height, Action, Align, Anchors,
    BoolProperty<&TStatusBar::AutoHint, &TStatusBar::SetAutoHint>("AutoHint", 0),
    Color, Cursor, Enabled, Font, Hint,
    ClassProperty<&TStatusBar::Panels, &TStatusBar::SetPanels>("Panels", &TStatusPanels::classInfo),
    ParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint,
    BoolProperty<&TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel>("SimplePanel", 0),
    StringProperty<&TStatusBar::SimpleText, &TStatusBar::SetSimpleText>("SimpleText"),
    BoolProperty<&TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip>("SizeGrip", 1),
    Visible,
    OnClick, OnContextPopup, OnDblClick, OnDragDrop, OnDragOver,
    MethodProperty<&TStatusBar::OnDrawPanel, &TStatusBar::OnDrawPanel>("OnDrawPanel", &DrawPanelEventType),
    OnEndDock, OnEndDrag,
    MethodProperty<&TStatusBar::OnHint, &TStatusBar::OnHint>("OnHint", &StatusHintEventType),
    OnMouseDown, OnMouseMove, OnMouseUp, OnResize, OnStartDock, OnStartDrag,
};

const TPropInfo toolButtonProperties[] = {
    Left, Top, Width, Height, Action, Caption,
    BoolProperty<&TToolButton::Down, &TToolButton::SetDown>("Down", 0),
    ClassProperty<&TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu>("DropdownMenu", &TPopupMenu::classInfo),
    Enabled,
    BoolProperty<&TToolButton::Grouped, &TToolButton::SetGrouped>("Grouped", 0),
    Hint, ParentShowHint, PopupMenu, ShowHint,
    EnumProperty<&TToolButton::Style, &TToolButton::SetStyle>("Style", &ToolButtonStyleInfo, tbsButton),
    Visible,
    OnClick, OnContextPopup, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnMouseDown, OnMouseMove, OnMouseUp,
    OnStartDock, OnStartDrag,
};

const TPropInfo toolBarProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Color, Cursor, Enabled,
    BoolProperty<&TToolBar::Flat, &TToolBar::SetFlat>("Flat", 1),
    Font, Hint, ParentColor, ParentFont, ParentShowHint, PopupMenu,
    BoolProperty<&TToolBar::ShowCaptions, &TToolBar::SetShowCaptions>("ShowCaptions", 1),
    ShowHint, TabOrder, TabStop, Visible,
    MethodProperty<&TToolBar::OnAdvancedCustomDraw, &TToolBar::OnAdvancedCustomDraw>("OnAdvancedCustomDraw",
                                                                                     &NotifyEventType),
    MethodProperty<&TToolBar::OnAdvancedCustomDrawButton, &TToolBar::OnAdvancedCustomDrawButton>(
        "OnAdvancedCustomDrawButton", &NotifyEventType),
    OnClick, OnContextPopup,
    MethodProperty<&TToolBar::OnCustomDraw, &TToolBar::OnCustomDraw>("OnCustomDraw", &NotifyEventType),
    MethodProperty<&TToolBar::OnCustomDrawButton, &TToolBar::OnCustomDrawButton>("OnCustomDrawButton",
                                                                                 &NotifyEventType),
    OnDblClick, OnDockDrop, OnDockOver, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnGetSiteInfo,
    OnMouseDown, OnMouseMove, OnMouseUp, OnResize, OnStartDock, OnStartDrag, OnUnDock,
};

const TPropInfo coolBarProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Color, Cursor, Enabled, Font, Hint, ParentColor, ParentFont,
    ParentShowHint, PopupMenu, ShowHint, Visible,
    MethodProperty<&TCoolBar::OnChange, &TCoolBar::OnChange>("OnChange", &NotifyEventType),
    OnClick, OnContextPopup, OnDblClick, OnDockDrop, OnDockOver, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag,
    OnGetSiteInfo, OnMouseDown, OnMouseMove, OnMouseUp, OnResize, OnStartDock, OnStartDrag, OnUnDock,
};

const TPropInfo upDownProperties[] = {
    Left, Top, Width, Height, Anchors, Enabled, Hint,
    IntegerProperty<&TUpDown::Increment, &TUpDown::SetIncrement>("Increment", 1),
    IntegerProperty<&TUpDown::Max, &TUpDown::SetMax>("Max", 100),
    IntegerProperty<&TUpDown::Min, &TUpDown::SetMin>("Min", 0),
    EnumProperty<&TUpDown::Orientation, &TUpDown::SetOrientation>("Orientation", &UDOrientationInfo, udVertical),
    ParentShowHint, PopupMenu,
    IntegerProperty<&TUpDown::Position, &TUpDown::SetPosition>("Position", 0),
    ShowHint, TabOrder, TabStop, Visible,
    BoolProperty<&TUpDown::Wrap, &TUpDown::SetWrap>("Wrap", 0),
    MethodProperty<&TUpDown::OnChanging, &TUpDown::OnChanging>("OnChanging", &UDChangingEventType),
    MethodProperty<&TUpDown::OnChangingEx, &TUpDown::OnChangingEx>("OnChangingEx", &UDChangingEventExType),
    MethodProperty<&TUpDown::OnClick, &TUpDown::OnClick>("OnClick", &UDClickEventType),
    OnContextPopup, OnEnter, OnExit, OnMouseDown, OnMouseMove, OnMouseUp,
};

const TPropInfo spinEditProperties[] = {
    Left, Top, Width, Height, Anchors, WindowColor, Cursor, Enabled, Font, Hint,
    IntegerProperty<&TSpinEdit::Increment, &TSpinEdit::SetIncrement>("Increment", 1),
    IntegerProperty<&TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue>("MaxValue", 0),
    IntegerProperty<&TSpinEdit::MinValue, &TSpinEdit::SetMinValue>("MinValue", 0),
    WindowParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint, TabOrder, TabStop,
    IntegerProperty<&TSpinEdit::Value, &TSpinEdit::SetValue>("Value", 0),
    Visible,
    MethodProperty<&TCustomEdit::OnChange, &TCustomEdit::OnChange>("OnChange", &NotifyEventType),
    OnClick, OnDblClick, OnDragDrop, OnDragOver, OnEndDrag, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp,
    OnMouseDown, OnMouseMove, OnMouseUp, OnStartDrag,
};

}  // namespace

const TClassInfo TTabControl::classInfo =
    makeClassInfo("TTabControl", &TCustomTabControl::classInfo, tabControlProperties, &componentCreator<TTabControl>);
const TClassInfo TProgressBar::classInfo =
    makeClassInfo("TProgressBar", &TWinControl::classInfo, progressBarProperties, &componentCreator<TProgressBar>);
const TClassInfo TStatusPanel::classInfo = makeClassInfo("TStatusPanel", &TCollectionItem::classInfo,
                                                         statusPanelProperties, &collectionItemCreator<TStatusPanel>);
const TClassInfo TStatusPanels::classInfo = makeClassInfo("TStatusPanels", &TCollection::classInfo);
const TClassInfo TStatusBar::classInfo =
    makeClassInfo("TStatusBar", &TWinControl::classInfo, statusBarProperties, &componentCreator<TStatusBar>);
const TClassInfo TToolWindow::classInfo = makeClassInfo("TToolWindow", &TWinControl::classInfo);
const TClassInfo TToolButton::classInfo =
    makeClassInfo("TToolButton", &TGraphicControl::classInfo, toolButtonProperties, &componentCreator<TToolButton>);
const TClassInfo TToolBar::classInfo =
    makeClassInfo("TToolBar", &TToolWindow::classInfo, toolBarProperties, &componentCreator<TToolBar>);
const TClassInfo TCoolBar::classInfo =
    makeClassInfo("TCoolBar", &TToolWindow::classInfo, coolBarProperties, &componentCreator<TCoolBar>);
const TClassInfo TUpDown::classInfo =
    makeClassInfo("TUpDown", &TToolWindow::classInfo, upDownProperties, &componentCreator<TUpDown>);
const TClassInfo TSpinEdit::classInfo =
    makeClassInfo("TSpinEdit", &TCustomEdit::classInfo, spinEditProperties, &componentCreator<TSpinEdit>);
