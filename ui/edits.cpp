// The edit controls: the text and selection kept across windows, the edit
// notifications, the memo's styles, its lines over its text and its caret.
#include "ui/edits.h"

#include <algorithm>

#include "ui/controlprops.h"
#include "ui/panel.h"

namespace {

const char* const scrollStyleNames[] = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};

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
    selection(SelStart_, SelEnd_);
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
    return HandleAllocated() ? windowText(const_cast<TCustomEdit*>(this)->Handle()) : Text_;
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

void TCustomEdit::selection(int& start, int& end) const {
    if (!HandleAllocated()) {
        start = SelStart_, end = SelEnd_;
        return;
    }
    getEditSelection(const_cast<TCustomEdit*>(this)->Handle(), start, end);
}

void TCustomEdit::select(int start, int end) {
    int size = static_cast<int>(Text().length());
    start = std::clamp(start, 0, size);
    end = std::clamp(end, start, size);
    if (!HandleAllocated()) {
        SelStart_ = start, SelEnd_ = end;
        return;
    }
    setEditSelection(Handle(), start, end);
}

int TCustomEdit::SelStart() const {
    int start, end;
    selection(start, end);
    return start;
}

int TCustomEdit::SelLength() const {
    int start, end;
    selection(start, end);
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

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), Lines_(std::make_unique<TMemoStrings>(this)) {
    UpdateBoundsFields(0, 0, 185, 89);
}

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

void TCustomMemo::Change() {
    Lines_->Changed();
    TCustomEdit::Change();
}

TPoint TCustomMemo::CaretPos() const {
    int start, caret;
    selection(start, caret);
    AnsiString text = Text();
    auto at = static_cast<size_t>(caret);
    size_t lineStart = 0;
    int line = 0;
    for (size_t next; lineStart < text.length(); lineStart = next, ++line) {
        size_t lineEnd = findLineEnd(text.view(), lineStart, next);
        if (at < next || next == lineEnd) return {static_cast<LONG>(std::min(at, lineEnd) - lineStart), line};
    }
    return {static_cast<LONG>(at - lineStart), line};
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

// ==== TMemoStrings ====

namespace {

struct TextLine {
    size_t start, end, next;  // its first byte, its line break, the next line's first byte
};

// The line at the index; false when the text has fewer lines.
bool findLine(std::string_view text, int index, TextLine& line) {
    for (size_t start = 0, next; start < text.size() && index >= 0; start = next, --index) {
        size_t end = findLineEnd(text, start, next);
        if (index == 0) {
            line = {start, end, next};
            return true;
        }
    }
    return false;
}

TextLine lineAt(std::string_view text, int index) {
    TextLine line;
    if (!findLine(text, index, line)) raiseListIndexError(index);
    return line;
}

}  // namespace

int TMemoStrings::Count() const {
    AnsiString text = Memo_->Text();
    int count = 0;
    for (size_t start = 0, next; start < text.length(); start = next, ++count) findLineEnd(text.view(), start, next);
    return count;
}

AnsiString TMemoStrings::Get(int index) const {
    AnsiString text = Memo_->Text();
    TextLine line = lineAt(text.view(), index);
    return text.substr(line.start, line.end - line.start);
}

void TMemoStrings::replace(size_t start, size_t end, const AnsiString& text) {
    Memo_->SetSelStart(static_cast<int>(start));
    Memo_->SetSelLength(static_cast<int>(end - start));
    Memo_->SetSelText(text);
}

void TMemoStrings::Put(int index, const AnsiString& text) {
    TextLine line = lineAt(Memo_->Text().view(), index);
    replace(line.start, line.end, text);
}

// After the last line: a line break first when the text does not end with one.
void TMemoStrings::Insert(int index, const AnsiString& text) {
    AnsiString all = Memo_->Text();
    TextLine line;
    if (findLine(all.view(), index, line)) return replace(line.start, line.start, text + "\r\n");
    if (index != Count()) raiseListIndexError(index);
    size_t end = all.length();
    bool broken = end == 0 || all[end - 1] == '\r' || all[end - 1] == '\n';
    replace(end, end, broken ? text : "\r\n" + text);
}

// The last line goes with the line break before it when it has none of its own.
void TMemoStrings::Delete(int index) {
    AnsiString all = Memo_->Text();
    TextLine line = lineAt(all.view(), index);
    if (line.next > line.end || index == 0) return replace(line.start, line.next, AnsiString());
    replace(lineAt(all.view(), index - 1).end, line.end, AnsiString());
}

void TMemoStrings::Clear() { Memo_->SetText(AnsiString()); }

AnsiString TMemoStrings::Text() const {
    AnsiString all = Memo_->Text(), text;
    text.reserve(all.length() + 2);
    for (size_t start = 0, next; start < all.length(); start = next) {
        size_t end = findLineEnd(all.view(), start, next);
        text += all.view().substr(start, end - start);
        text += "\r\n";
    }
    return text;
}

void TMemoStrings::SetText(std::string_view text) {
    AnsiString joined;
    joined.reserve(text.size());
    for (size_t start = 0, next; start < text.size(); start = next) {
        size_t end = findLineEnd(text, start, next);
        if (start > 0) joined += "\r\n";
        joined += text.substr(start, end - start);
    }
    Memo_->SetText(joined);
}

// ==== Published ====

namespace {

using namespace published;

const TPropInfo editProperties[] = {
    Left, Top, Width, Height, Align, Anchors,
    EnumProperty<&TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle>("BorderStyle", &BorderStyleInfo, 1),
    WindowColor, Cursor, Enabled, Font, Hint, WindowParentColor, ParentFont, ParentShowHint,
    CharProperty<&TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar>("PasswordChar"),
    PopupMenu, ShowHint, TabOrder, TabStop,
    StringProperty<&TCustomEdit::Text, &TCustomEdit::SetText>("Text"),
    Visible,
    MethodProperty<&TCustomEdit::OnChange, &TCustomEdit::OnChange>("OnChange", &NotifyEventType),
    OnClick, OnContextPopup, OnDblClick, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnKeyDown,
    OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnStartDock, OnStartDrag,
};

const TPropInfo memoProperties[] = {
    Left, Top, Width, Height, Align,
    EnumProperty<&TCustomMemo::Alignment, &TCustomMemo::SetAlignment>("Alignment", &AlignmentInfo, taLeftJustify),
    Anchors,
    EnumProperty<&TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle>("BorderStyle", &BorderStyleInfo, 1),
    WindowColor, Cursor, Enabled, Font, Hint,
    ClassProperty<&TCustomMemo::Lines>("Lines", &TStrings::classInfo),
    WindowParentColor, ParentFont, ParentShowHint, PopupMenu,
    EnumProperty<&TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars>("ScrollBars", &ScrollStyleInfo, ssNone),
    ShowHint, TabOrder, TabStop,
    // Streamed as Lines.
    notStored(StringProperty<&TCustomEdit::Text, &TCustomEdit::SetText>("Text")),
    Visible,
    BoolProperty<&TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap>("WordWrap", 1),
    MethodProperty<&TCustomEdit::OnChange, &TCustomEdit::OnChange>("OnChange", &NotifyEventType),
    OnClick, OnContextPopup, OnDblClick, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnEnter, OnExit, OnKeyDown,
    OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnStartDock, OnStartDrag,
};

}  // namespace

const TClassInfo TCustomEdit::classInfo = makeClassInfo("TCustomEdit", &TWinControl::classInfo);
const TClassInfo TEdit::classInfo =
    makeClassInfo("TEdit", &TCustomEdit::classInfo, editProperties, &componentCreator<TEdit>);
const TClassInfo TCustomMemo::classInfo = makeClassInfo("TCustomMemo", &TCustomEdit::classInfo);
const TClassInfo TMemo::classInfo =
    makeClassInfo("TMemo", &TCustomMemo::classInfo, memoProperties, &componentCreator<TMemo>);
