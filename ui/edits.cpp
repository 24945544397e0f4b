// The one-line edit box and the memo over the system's edit control.
#include "ui/edits.h"

#include "rtl/stringlist.h"
#include "ui/controlprops.h"

namespace {

const char* const scrollStyleNames[] = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};

}  // namespace

const TEnumInfo ScrollStyleInfo{"TScrollStyle", scrollStyleNames, 4};

// ==== TCustomEdit ====

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    TabStop_ = true;
    SetColor(clWindow);
    UpdateBoundsFields(0, 0, 121, 21);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperClass = "EDIT";
    params.Style |= ES_AUTOHSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
    TWinControl::CreateWnd();
    if (PasswordChar_) SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<uint8_t>(PasswordChar_), 0);
}

AnsiString TCustomEdit::Text() const {
    if (!HandleAllocated()) return Caption();
    HWND handle = const_cast<TCustomEdit*>(this)->Handle();
    int length = GetWindowTextLengthA(handle);
    AnsiString text(static_cast<size_t>(length), '\0');
    if (length > 0) text.setLength(static_cast<size_t>(GetWindowTextA(handle, text.mutableData(), length + 1)));
    return text;
}

void TCustomEdit::SetPasswordChar(char value) {
    if (value == PasswordChar_) return;
    PasswordChar_ = value;
    if (!HandleAllocated()) return;
    SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<uint8_t>(value), 0);
    Invalidate();
}

// ==== TCustomMemo ====

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner) { UpdateBoundsFields(0, 0, 185, 89); }

void TCustomMemo::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
    else params.Style &= ~ES_AUTOHSCROLL;  // long lines wrap
    if (ScrollBars_ == ssVertical || ScrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
}

void TCustomMemo::SetLinesText(const AnsiString& text) {
    TStringList lines;
    lines.SetText(text.view());
    AnsiString joined = lines.Text();
    if (!joined.empty()) joined.setLength(joined.length() - 2);  // no line break after the last line
    SetText(joined);
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
    if (value == ScrollBars_) return;
    ScrollBars_ = value;
    if (HandleAllocated()) RecreateWnd();
}

// ==== Published properties ====

namespace {

using namespace published;

const TPropInfo editProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Color, Cursor, Enabled, Font, Hint, ParentColor, ParentFont,
    ParentShowHint,
    CharProperty<&TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar>("PasswordChar"),
    PopupMenu, ShowHint, TabOrder, TabStop,
    StringProperty<&TCustomEdit::Text, &TCustomEdit::SetText>("Text"),
    Visible,
    OnClick, OnContextPopup, OnDblClick, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove,
    OnMouseUp,
};

const TPropInfo memoProperties[] = {
    Left, Top, Width, Height, Align, Anchors, Color, Cursor, Enabled, Font, Hint, ParentColor, ParentFont,
    ParentShowHint, PopupMenu,
    EnumProperty<&TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars>("ScrollBars", &ScrollStyleInfo, ssNone),
    ShowHint, TabOrder, TabStop,
    StringProperty<&TCustomEdit::Text, &TCustomEdit::SetText>("Text"),
    Visible,
    OnClick, OnContextPopup, OnDblClick, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove,
    OnMouseUp,
};

}  // namespace

const TClassInfo TCustomEdit::classInfo = makeClassInfo("TCustomEdit", &TWinControl::classInfo);
const TClassInfo TEdit::classInfo =
    makeClassInfo("TEdit", &TCustomEdit::classInfo, editProperties, &componentCreator<TEdit>);
const TClassInfo TCustomMemo::classInfo = makeClassInfo("TCustomMemo", &TCustomEdit::classInfo);
const TClassInfo TMemo::classInfo =
    makeClassInfo("TMemo", &TCustomMemo::classInfo, memoProperties, &componentCreator<TMemo>);
