// The edit controls: the text and selection kept across windows, the
// character-to-byte conversion of the selection, the edit notifications and
// the memo's styles.
#include "ui/edits.h"

#include <algorithm>

#include "rtl/codepage.h"
#include "rtl/stringlist.h"
#include "ui/controlprops.h"
#include "ui/panel.h"

namespace {

const char* const scrollStyleNames[] = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};

// The byte offset of the character at `index` (the end for an index past it).
int byteOffset(const AnsiString& text, int index) {
    int offset = 0, size = static_cast<int>(text.length());
    for (int i = 0; i < index && offset < size; ++i)
        offset += isLeadByte(static_cast<unsigned char>(text[offset])) && offset + 1 < size ? 2 : 1;
    return offset;
}

// The index of the character that holds the byte at `offset`.
int charIndex(const AnsiString& text, int offset) {
    int index = 0, at = 0, size = static_cast<int>(text.length());
    offset = std::clamp(offset, 0, size);
    while (at < offset) {
        at += isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < size ? 2 : 1;
        ++index;
    }
    return index;
}

}  // namespace

const TEnumInfo ScrollStyleInfo{"TScrollStyle", scrollStyleNames, 4};

// ==== TCustomEdit ====

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    TabStop_ = true;
    ControlStyle_ |= csClickEvents | csDoubleClicks;
    SetColor(clWindow);
    UpdateBoundsFields(0, 0, 121, 21);
}

LRESULT TCustomEdit::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(const_cast<TCustomEdit*>(this)->Handle(), message, wParam, lParam);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SuperClass = "EDIT";
    params.Caption = Text_;
    params.Style |= ES_AUTOHSCROLL;
    if (BorderStyle_) params.ExStyle |= WS_EX_CLIENTEDGE;
}

// The window takes back what the last one had.
void TCustomEdit::CreateWnd() {
    TWinControl::CreateWnd();
    if (PasswordChar_) send(EM_SETPASSWORDCHAR, static_cast<uint8_t>(PasswordChar_));
    send(EM_SETMODIFY, Modified_);
    select(SelStart_, SelEnd_);
}

void TCustomEdit::DestroyWnd() {
    Text_ = Text();
    windowSelection(SelStart_, SelEnd_);
    Modified_ = Modified();
    TWinControl::DestroyWnd();
}

void TCustomEdit::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == EN_CHANGE) {
        if (!Setting_) Change();
        return;
    }
    TWinControl::WndProc(message);
}

AnsiString TCustomEdit::Text() const {
    if (!HandleAllocated()) return Text_;
    HWND handle = const_cast<TCustomEdit*>(this)->Handle();
    int length = GetWindowTextLengthA(handle);
    AnsiString text(static_cast<size_t>(std::max(length, 0)), '\0');
    if (length > 0) text.setLength(static_cast<size_t>(GetWindowTextA(handle, text.mutableData(), length + 1)));
    return text;
}

// Some edit classes tell the change of a multi-line box and others do not:
// the change is told here, once.
void TCustomEdit::SetText(const AnsiString& value) {
    if (value == Text()) return;
    Text_ = value;
    SelStart_ = SelEnd_ = 0;
    if (HandleAllocated()) {
        Setting_ = true;
        SetWindowTextA(Handle(), value.c_str());
        Setting_ = false;
    }
    Change();
}

void TCustomEdit::windowSelection(int& start, int& end) const {
    DWORD first = 0, last = 0;
    send(EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    AnsiString text = Text();
    start = byteOffset(text, static_cast<int>(first));
    end = byteOffset(text, static_cast<int>(last));
}

void TCustomEdit::select(int start, int end) {
    int size = static_cast<int>(Text().length());
    start = std::clamp(start, 0, size);
    end = std::clamp(end, start, size);
    if (!HandleAllocated()) {
        SelStart_ = start, SelEnd_ = end;
        return;
    }
    AnsiString text = Text();
    send(EM_SETSEL, charIndex(text, start), charIndex(text, end));
}

int TCustomEdit::SelStart() const {
    int start = SelStart_, end = SelEnd_;
    if (HandleAllocated()) windowSelection(start, end);
    return start;
}

int TCustomEdit::SelLength() const {
    int start = SelStart_, end = SelEnd_;
    if (HandleAllocated()) windowSelection(start, end);
    return end - start;
}

// A new start selects nothing; a length counts from the start.
void TCustomEdit::SetSelStart(int value) { select(value, value); }

void TCustomEdit::SetSelLength(int value) {
    int start = SelStart();
    select(start, start + std::max(value, 0));
}

AnsiString TCustomEdit::SelText() const {
    int start = SelStart();
    return Text().substr(static_cast<size_t>(start), static_cast<size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const AnsiString& value) {
    if (!HandleAllocated()) {
        int start = SelStart_;
        SetText(Text_.substr(0, static_cast<size_t>(start)) + value + Text_.substr(static_cast<size_t>(SelEnd_)));
        select(start + static_cast<int>(value.length()), start + static_cast<int>(value.length()));
        return;
    }
    send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
}

bool TCustomEdit::Modified() const { return HandleAllocated() ? send(EM_GETMODIFY) != 0 : Modified_; }

void TCustomEdit::SetModified(bool value) {
    Modified_ = value;
    if (HandleAllocated()) send(EM_SETMODIFY, value);
}

void TCustomEdit::SetPasswordChar(char value) {
    if (value == PasswordChar_) return;
    PasswordChar_ = value;
    if (!HandleAllocated()) return;
    send(EM_SETPASSWORDCHAR, static_cast<uint8_t>(value));
    Invalidate();
}

void TCustomEdit::SetBorderStyle(uint8_t value) {
    if (value == BorderStyle_) return;
    BorderStyle_ = value;
    RecreateWnd();
}

// Without a window there is nothing to undo, select or exchange.
bool TCustomEdit::CanUndo() const { return HandleAllocated() && send(EM_CANUNDO) != 0; }

void TCustomEdit::Undo() {
    if (HandleAllocated()) send(WM_UNDO);
}

void TCustomEdit::ClearUndo() {
    if (HandleAllocated()) send(EM_EMPTYUNDOBUFFER);
}

void TCustomEdit::ClearSelection() {
    if (HandleAllocated()) send(WM_CLEAR);
    else SetSelText(AnsiString());
}

void TCustomEdit::SelectAll() { select(0, static_cast<int>(Text().length())); }

void TCustomEdit::CopyToClipboard() {
    if (HandleAllocated()) send(WM_COPY);
}

void TCustomEdit::CutToClipboard() {
    if (HandleAllocated()) send(WM_CUT);
}

void TCustomEdit::PasteFromClipboard() {
    if (HandleAllocated()) send(WM_PASTE);
}

// ==== TCustomMemo ====

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner) { UpdateBoundsFields(0, 0, 185, 89); }

void TCustomMemo::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    bool sideways = ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth;
    if (sideways) params.Style |= WS_HSCROLL;
    if (ScrollBars_ == ssVertical || ScrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
    if (WordWrap_ && !sideways) params.Style &= ~ES_AUTOHSCROLL;
    if (Alignment_ == taCenter) params.Style |= ES_CENTER;
    if (Alignment_ == taRightJustify) params.Style |= ES_RIGHT;
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
    RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment value) {
    if (value == Alignment_) return;
    Alignment_ = value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
    if (value == WordWrap_) return;
    WordWrap_ = value;
    RecreateWnd();
}

// ==== Published ====

namespace {

using namespace published;

const TPropInfo editProperties[] = {
    Left, Top, Width, Height, Align, Anchors,
    EnumProperty<&TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle>("BorderStyle", &BorderStyleInfo, 1),
    Color, Cursor, Enabled, Font, Hint, ParentColor, ParentFont, ParentShowHint,
    CharProperty<&TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar>("PasswordChar"),
    PopupMenu, ShowHint, TabOrder, TabStop,
    StringProperty<&TCustomEdit::Text, &TCustomEdit::SetText>("Text"),
    Visible,
    MethodProperty<&TCustomEdit::OnChange, &TCustomEdit::OnChange>("OnChange", &NotifyEventType),
    OnClick, OnContextPopup, OnDblClick, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove,
    OnMouseUp,
};

const TPropInfo memoProperties[] = {
    Left, Top, Width, Height, Align,
    EnumProperty<&TCustomMemo::Alignment, &TCustomMemo::SetAlignment>("Alignment", &AlignmentInfo, taLeftJustify),
    Anchors,
    EnumProperty<&TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle>("BorderStyle", &BorderStyleInfo, 1),
    Color, Cursor, Enabled, Font, Hint, ParentColor, ParentFont, ParentShowHint, PopupMenu,
    EnumProperty<&TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars>("ScrollBars", &ScrollStyleInfo, ssNone),
    ShowHint, TabOrder, TabStop,
    StringProperty<&TCustomEdit::Text, &TCustomEdit::SetText>("Text"),
    Visible,
    BoolProperty<&TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap>("WordWrap", 1),
    MethodProperty<&TCustomEdit::OnChange, &TCustomEdit::OnChange>("OnChange", &NotifyEventType),
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
