// The edit box's single-line rule, alignment and font faces, and the web
// view's document options.
#include "host/window/satellitecontrols.h"

#include <mshtmhst.h>

#include "host/window/colortext.h"
#include "host/window/exlabel.h"
#include "host/window/ownedform.h"
#include "host/window/skinform.h"
#include "ui/menus.h"

namespace {

const TPropInfo exMemoProperties[] = {
    BoolProperty<&TExMemo::Multiline, &TExMemo::SetMultiline>("multiline", 0),
    StringProperty<&TControl::Hint, &TControl::SetHint>("toolTip"),
    MethodProperty<&TExMemo::OnMouseEnter, &TExMemo::OnMouseEnter>("OnMouseEnter", &NotifyEventType),
    MethodProperty<&TExMemo::OnMouseLeave, &TExMemo::OnMouseLeave>("OnMouseLeave", &NotifyEventType),
};

const TPropInfo exWebProperties[] = {
    StringProperty<&TControl::Hint, &TControl::SetHint>("toolTip"),
};

// The first line of a text; the text itself when it has one line.
AnsiString firstLine(const AnsiString& text) {
    size_t end = text.view().find_first_of("\r\n");
    return end == std::string_view::npos ? text : text.substr(0, end);
}

}  // namespace

const TClassInfo TExMemo::classInfo =
    makeClassInfo("TExMemo", &TFontFaces::classInfo, exMemoProperties, &componentCreator<TExMemo>);
const TClassInfo TExWeb::classInfo =
    makeClassInfo("TExWeb", &TWebBrowser::classInfo, exWebProperties, &componentCreator<TExWeb>);

// ==== TExMemo ====

TExMemo::TExMemo(TComponent* owner) : TFontFaces(owner) { SetShowHint(true); }

void TExMemo::SetMultiline(bool value) {
    Multiline_ = value;
    if (!value) SetText(firstLine(Text()));
}

// A change that brought line breaks into a one-line box is cut back to the
// first line; that cut is the change told.
void TExMemo::Change() {
    if (!Multiline_) {
        AnsiString text = Text(), line = firstLine(text);
        if (line.length() != text.length()) return SetText(line);
    }
    TMemo::Change();
}

void TExMemo::KeyPress(char& key) {
    if (!Multiline_ && (key == '\r' || key == '\n')) key = 0;
    TMemo::KeyPress(key);
}

AnsiString TExMemo::AlignText() const { return AlignmentWord(Alignment()); }

void TExMemo::SetAlignText(const AnsiString& text) {
    TAlignment alignment;
    if (AlignmentOfWord(text, alignment)) SetAlignment(alignment);
}

// ==== TExWeb ====

TExWeb::TExWeb(TComponent* owner) : TWebBrowser(owner) {
    SetShowHint(true);
    SetHostFlags(DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_NO3DBORDER);
}

bool TExWeb::ScrollBar() const { return !(HostFlags() & DOCHOSTUIFLAG_SCROLL_NO); }

void TExWeb::SetScrollBar(bool value) {
    SetHostFlags(value ? HostFlags() & ~DOCHOSTUIFLAG_SCROLL_NO : HostFlags() | DOCHOSTUIFLAG_SCROLL_NO);
}

void TExWeb::ContextMenu(int kind, TPoint screenPos, bool& handled) {
    if (kind == CONTEXT_MENU_CONTROL) return;
    handled = true;
    TOwnedForm* satellite = SatelliteOf(this);
    if (TPopupMenu* menu = satellite ? satellite->Window()->PopupMenu() : nullptr) menu->Popup(screenPos.x, screenPos.y);
}
