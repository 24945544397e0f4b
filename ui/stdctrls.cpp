// Labels, push buttons, check boxes and group boxes, with their published
// tables.
#include "ui/stdctrls.h"

#include <algorithm>

#include "rtl/codepage.h"
#include "ui/controlprops.h"
#include "ui/forms.h"

namespace {

const char* const alignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
const char* const textLayoutNames[] = {"tlTop", "tlCenter", "tlBottom"};
const char* const checkBoxStateNames[] = {"cbUnchecked", "cbChecked", "cbGrayed"};
const char* const editCharCaseNames[] = {"ecNormal", "ecUpperCase", "ecLowerCase"};

// Measures or draws text in a font on a screen context.
class ScreenText {
public:
    explicit ScreenText(TFont* font) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, font->Handle())) {}
    ~ScreenText() {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    ScreenText(const ScreenText&) = delete;
    ScreenText& operator=(const ScreenText&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace

const TEnumInfo AlignmentInfo{"TAlignment", alignmentNames, 3};
const TEnumInfo LeftRightInfo{"TLeftRight", alignmentNames, 2};
const TEnumInfo TextLayoutInfo{"TTextLayout", textLayoutNames, 3};
const TEnumInfo CheckBoxStateInfo{"TCheckBoxState", checkBoxStateNames, 3};
const TEnumInfo EditCharCaseInfo{"TEditCharCase", editCharCaseNames, 3};

// ==== System edit windows ====

void getEditSelection(HWND edit, int& start, int& end) {
    DWORD first = 0, last = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    AnsiString text = windowText(edit);
    start = charToByteOffset(text.view(), static_cast<int>(first));
    end = charToByteOffset(text.view(), static_cast<int>(last));
}

void setEditSelection(HWND edit, int start, int end) {
    AnsiString text = windowText(edit);
    SendMessageA(edit, EM_SETSEL, byteToCharIndex(text.view(), start), byteToCharIndex(text.view(), end));
}

// ==== TLabel ====

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { UpdateBoundsFields(0, 0, 65, 17); }

void TLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == FocusControl_) FocusControl_ = nullptr;
}

UINT TLabel::drawFlags() const {
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    return DT_EXPANDTABS | alignments[Alignment_] | (WordWrap_ ? DT_WORDBREAK : DT_SINGLELINE) |
           (ShowAccelChar_ ? 0 : DT_NOPREFIX);
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    adjustSize();
}

// An empty caption (or a lone "&") still measures one line high.
void TLabel::adjustSize() {
    if (!AutoSize_ || Loading()) return;
    AnsiString text = Caption();
    if (text.empty() || (ShowAccelChar_ && text == "&")) text += " ";
    ScreenText screen(Font());
    RECT r{0, 0, WordWrap_ ? Width() : 0, 0};
    DrawTextA(screen.dc(), text.c_str(), -1, &r, drawFlags() | DT_CALCRECT);
    int left = Alignment_ == taRightJustify ? Left() + Width() - r.right : Left();
    SetBounds(left, Top(), r.right, r.bottom);
}

void TLabel::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    if (!Transparent_) canvas->FillRect(r);
    HDC dc = canvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    UINT flags = drawFlags();
    const char* text = Caption().c_str();
    if (Layout_ != tlTop) {
        RECT measured = r;
        DrawTextA(dc, text, -1, &measured, flags | DT_CALCRECT);
        int free = (r.bottom - r.top) - (measured.bottom - measured.top);
        r.top += Layout_ == tlBottom ? free : free / 2;
    }
    if (!Enabled()) {
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, ColorToRGB(clBtnHighlight));
        DrawTextA(dc, text, -1, &r, flags);
        OffsetRect(&r, -1, -1);
        SetTextColor(dc, ColorToRGB(clBtnShadow));
    } else {
        SetTextColor(dc, ColorToRGB(Font()->Color()));
    }
    DrawTextA(dc, text, -1, &r, flags);
}

void TLabel::TextChanged() {
    adjustSize();
    Invalidate();
}

void TLabel::FontChanged() {
    adjustSize();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment value) {
    if (value == Alignment_) return;
    Alignment_ = value;
    Invalidate();
}

void TLabel::SetAutoSize(bool value) {
    if (value == AutoSize_) return;
    AutoSize_ = value;
    adjustSize();
}

void TLabel::SetLayout(TTextLayout value) {
    if (value == Layout_) return;
    Layout_ = value;
    Invalidate();
}

void TLabel::SetWordWrap(bool value) {
    if (value == WordWrap_) return;
    WordWrap_ = value;
    adjustSize();
    Invalidate();
}

void TLabel::SetTransparent(bool value) {
    if (value == Transparent_) return;
    Transparent_ = value;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
    if (value == ShowAccelChar_) return;
    ShowAccelChar_ = value;
    adjustSize();
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* value) {
    if (value == FocusControl_) return;
    if (FocusControl_) RemoveFreeNotification(FocusControl_);
    FocusControl_ = value;
    if (value) FreeNotification(value);
}

// ==== Buttons ====

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
    ControlStyle_ = csDoubleClicks;
    TabStop_ = true;
}

void TButtonControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperClass = "BUTTON";
}

void TButtonControl::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        ButtonClicked();
        return;
    }
    TWinControl::WndProc(message);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) { UpdateBoundsFields(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= Default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
    if (value == Default_) return;
    Default_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    TKeepAlive hold(this);
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(ModalResult_);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& message) {
    if (message.Msg == CM_DIALOGKEY && CanFocus() &&
        ((message.WParam == VK_RETURN && Default_) || (message.WParam == VK_ESCAPE && Cancel_))) {
        Click();
        message.Result = 1;
        return;
    }
    TButtonControl::WndProc(message);
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) { UpdateBoundsFields(0, 0, 97, 17); }

// The box is checked by this class, not by the system's button, so that every
// change goes through SetState.
void TCheckBox::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= BS_3STATE;
    if (Alignment_ == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, State_, 0);
}

void TCheckBox::ButtonClicked() {
    switch (State_) {
    case cbUnchecked: SetState(AllowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCheckBox::SetState(TCheckBoxState value) {
    if (value == State_) return;
    State_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, value, 0);
    Click();
}

void TCheckBox::SetAlignment(TAlignment value) {
    if (value == Alignment_) return;
    Alignment_ = value;
    RecreateWnd();
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { UpdateBoundsFields(0, 0, 113, 17); }

// The button is checked by this class, not by the system's, so that every
// change goes through SetChecked.
void TRadioButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, Checked_, 0);
}

void TRadioButton::SetChecked(bool value) {
    if (value == Checked_) return;
    Checked_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, value, 0);
    if (!value) return;
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* sibling = parent->Controls(i);
            if (sibling != this && sibling->InheritsFrom(&TRadioButton::classInfo))
                static_cast<TRadioButton*>(sibling)->SetChecked(false);
        }
    }
    Click();
}

// ==== Group boxes ====

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TWinControl(owner) {
    ControlStyle_ |= csAcceptsControls | csCustomPaint;
    UpdateBoundsFields(0, 0, 185, 105);
}

void TCustomGroupBox::PaintWindow(HDC dc) {
    TCanvasPaint paint(Canvas(), dc, this);
    TCanvas* canvas = Canvas();
    int textHeight = canvas->TextHeight("0");
    TRect frame = ClientRect();
    frame.top += textHeight / 2;
    DrawEdge(canvas->Handle(), &frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty()) return;
    SIZE size = canvas->TextExtent(Caption());
    RECT text{8, 0, 8 + size.cx + 4, textHeight};
    canvas->FillRect(text);
    HDC handle = canvas->Handle();
    SetBkMode(handle, TRANSPARENT);
    SetTextColor(handle, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    DrawTextA(handle, Caption().c_str(), -1, &text, DT_SINGLELINE | DT_CENTER);
}

// The children stay inside the frame, below the caption.
void TCustomGroupBox::AlignControls(TRect& rect) {
    ScreenText screen(Font());
    SIZE size;
    GetTextExtentPoint32A(screen.dc(), "0", 1, &size);
    rect.top += size.cy;
    InflateRect(&rect, -2, -2);
    TWinControl::AlignControls(rect);
}

// ==== Radio groups ====

namespace {

// A button of a radio group: its click is also the group's.
class TGroupButton final : public TRadioButton {
public:
    using TRadioButton::TRadioButton;

    void Click() override {
        TKeepAlive hold(this);
        TRadioButton::Click();
        if (auto* group = dynamic_cast<TCustomRadioGroup*>(Owner())) group->Click();
    }

protected:
    ~TGroupButton() override = default;
};

}  // namespace

int TRadioGroupItems::Count() const { return static_cast<int>(Group_->Buttons_.size()); }

AnsiString TRadioGroupItems::Get(int index) const {
    checkIndex(index, Count());
    return Group_->Buttons_[static_cast<size_t>(index)]->Caption();
}

void TRadioGroupItems::Put(int index, const AnsiString& text) {
    checkIndex(index, Count());
    Group_->Buttons_[static_cast<size_t>(index)]->SetCaption(text);
    Changed();
}

void TRadioGroupItems::Insert(int index, const AnsiString& text) {
    checkIndex(index, Count() + 1);
    auto* button = new TGroupButton(Group_);
    Group_->Buttons_.insert(Group_->Buttons_.begin() + index, button);
    button->SetCaption(text);
    button->SetParent(Group_);
    Group_->Realign();
    Changed();
}

// The group hears of the freed button (Notification) and lets it go.
void TRadioGroupItems::Delete(int index) {
    checkIndex(index, Count());
    Group_->Buttons_[static_cast<size_t>(index)]->Free();
}

void TRadioGroupItems::Clear() {
    if (Count() == 0) return;
    inUpdate(*this, [&] {
        while (Count() > 0) Delete(Count() - 1);
    });
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* owner)
    : TCustomGroupBox(owner), Items_(std::make_unique<TRadioGroupItems>(this)) {}

void TCustomRadioGroup::Notification(TComponent* component, TOperation operation) {
    TCustomGroupBox::Notification(component, operation);
    if (operation != opRemove || !std::erase(Buttons_, component) || IsDestroying()) return;
    Realign();
    Items_->Changed();
}

int TCustomRadioGroup::ItemIndex() const {
    for (size_t i = 0; i < Buttons_.size(); ++i)
        if (Buttons_[i]->Checked()) return static_cast<int>(i);
    return -1;
}

void TCustomRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    PendingIndex_.apply([&](int value) { SetItemIndex(value); });
}

void TCustomRadioGroup::SetItemIndex(int value) {
    if (PendingIndex_.defer(*this, value)) return;
    int current = ItemIndex();
    if (value < 0 || value >= Items_->Count()) value = -1;
    if (value == current) return;
    if (value >= 0) Buttons_[static_cast<size_t>(value)]->SetChecked(true);
    else Buttons_[static_cast<size_t>(current)]->SetChecked(false);
}

void TCustomRadioGroup::SetColumns(int value) {
    value = std::clamp(value, 1, 16);
    if (value == Columns_) return;
    Columns_ = value;
    Realign();
}

// The buttons share the room inside the frame: the columns its width, the
// rows of a column its height (what is left over goes above and below).
void TCustomRadioGroup::AlignControls(TRect& rect) {
    TCustomGroupBox::AlignControls(rect);
    int count = static_cast<int>(Buttons_.size());
    if (count == 0) return;
    int rows = (count + Columns_ - 1) / Columns_;
    int width = std::max<int>(rect.right - rect.left, 0), height = std::max<int>(rect.bottom - rect.top, 0);
    int columnWidth = width / Columns_, rowHeight = height / rows, top = rect.top + height % rows / 2;
    for (int i = 0; i < count; ++i) {
        int left = rect.left + 4 + i / rows * columnWidth;
        Buttons_[static_cast<size_t>(i)]->SetBounds(left, top + i % rows * rowHeight, std::max(columnWidth - 4, 0),
                                                    rowHeight);
    }
}

// ==== Published properties ====

namespace {

using namespace published;

const TPropInfo labelProperties[] = {
    Left, Top, Width, Height, Align,
    EnumProperty<&TLabel::Alignment, &TLabel::SetAlignment>("Alignment", &AlignmentInfo, taLeftJustify),
    Anchors,
    BoolProperty<&TLabel::AutoSize, &TLabel::SetAutoSize>("AutoSize", 1),
    Caption, Color, Cursor, Enabled,
    ClassProperty<&TLabel::FocusControl, &TLabel::SetFocusControl>("FocusControl", &TWinControl::classInfo),
    Font, Hint,
    EnumProperty<&TLabel::Layout, &TLabel::SetLayout>("Layout", &TextLayoutInfo, tlTop),
    ParentColor, ParentFont, ParentShowHint, PopupMenu,
    BoolProperty<&TLabel::ShowAccelChar, &TLabel::SetShowAccelChar>("ShowAccelChar", 1),
    ShowHint,
    BoolProperty<&TLabel::Transparent, &TLabel::SetTransparent>("Transparent", 0),
    Visible,
    BoolProperty<&TLabel::WordWrap, &TLabel::SetWordWrap>("WordWrap", 0),
    OnClick, OnContextPopup, OnDblClick, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnMouseDown, OnMouseMove,
    OnMouseUp, OnStartDock, OnStartDrag,
};

const TPropInfo buttonProperties[] = {
    Left, Top, Width, Height, Align, Anchors,
    BoolProperty<&TButton::Cancel, &TButton::SetCancel>("Cancel", 0),
    Caption, Color, Cursor,
    BoolProperty<&TButton::Default, &TButton::SetDefault>("Default", 0),
    Enabled, Font, Hint,
    IntegerProperty<&TButton::ModalResult, &TButton::SetModalResult>("ModalResult", 0),
    ParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint, TabOrder, TabStop, Visible,
    OnClick, OnContextPopup, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnKeyDown, OnKeyPress,
    OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnStartDock, OnStartDrag,
};

const TPropInfo checkBoxProperties[] = {
    Left, Top, Width, Height, Align,
    EnumProperty<&TCheckBox::Alignment, &TCheckBox::SetAlignment>("Alignment", &LeftRightInfo, taRightJustify),
    BoolProperty<&TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed>("AllowGrayed", 0),
    Anchors, Caption,
    BoolProperty<&TCheckBox::Checked, &TCheckBox::SetChecked>("Checked", 0),
    Color, Cursor, Enabled, Font, Hint, ParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint,
    EnumProperty<&TCheckBox::State, &TCheckBox::SetState>("State", &CheckBoxStateInfo, cbUnchecked),
    TabOrder, TabStop, Visible,
    OnClick, OnContextPopup, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnKeyDown, OnKeyPress,
    OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnStartDock, OnStartDrag,
};

const TPropInfo groupBoxProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Caption, Color, Cursor, Enabled, Font, Hint, ParentColor, ParentFont,
    ParentShowHint, PopupMenu, ShowHint, TabOrder, TabStop, Visible,
    OnClick, OnContextPopup, OnDblClick, OnDockDrop, OnDockOver, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag,
    OnEnter, OnExit, OnGetSiteInfo, OnMouseDown, OnMouseMove, OnMouseUp, OnStartDock, OnStartDrag, OnUnDock,
};

const TPropInfo radioButtonProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Caption,
    BoolProperty<&TRadioButton::Checked, &TRadioButton::SetChecked>("Checked", 0),
    Color, Cursor, Enabled, Font, Hint, ParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint, TabOrder,
    TabStop, Visible,
    OnClick, OnContextPopup, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnKeyDown, OnKeyPress,
    OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnStartDock, OnStartDrag,
};

const TPropInfo radioGroupProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Caption, Color,
    IntegerProperty<&TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns>("Columns", 1),
    Cursor, Enabled, Font, Hint,
    IntegerProperty<&TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex>("ItemIndex", -1),
    ClassProperty<&TCustomRadioGroup::Items>("Items", &TStrings::classInfo),
    ParentColor, ParentFont, ParentShowHint, PopupMenu, ShowHint, TabOrder, TabStop, Visible,
    OnClick, OnContextPopup, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnStartDock, OnStartDrag,
};

}  // namespace

const TClassInfo TLabel::classInfo =
    makeClassInfo("TLabel", &TGraphicControl::classInfo, labelProperties, &componentCreator<TLabel>);
const TClassInfo TButtonControl::classInfo = makeClassInfo("TButtonControl", &TWinControl::classInfo);
const TClassInfo TButton::classInfo =
    makeClassInfo("TButton", &TButtonControl::classInfo, buttonProperties, &componentCreator<TButton>);
const TClassInfo TCheckBox::classInfo =
    makeClassInfo("TCheckBox", &TButtonControl::classInfo, checkBoxProperties, &componentCreator<TCheckBox>);
const TClassInfo TCustomGroupBox::classInfo = makeClassInfo("TCustomGroupBox", &TWinControl::classInfo);
const TClassInfo TGroupBox::classInfo =
    makeClassInfo("TGroupBox", &TCustomGroupBox::classInfo, groupBoxProperties, &componentCreator<TGroupBox>);
const TClassInfo TRadioButton::classInfo =
    makeClassInfo("TRadioButton", &TButtonControl::classInfo, radioButtonProperties, &componentCreator<TRadioButton>);
const TClassInfo TCustomRadioGroup::classInfo = makeClassInfo("TCustomRadioGroup", &TCustomGroupBox::classInfo);
const TClassInfo TRadioGroup::classInfo =
    makeClassInfo("TRadioGroup", &TCustomRadioGroup::classInfo, radioGroupProperties, &componentCreator<TRadioGroup>);
