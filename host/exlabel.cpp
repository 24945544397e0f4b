// The label element: the ellipsis, the translucent painting, and the script
// faces of its alignment, font style and font colour.
#include "host/exlabel.h"

#include <algorithm>
#include <vector>

#include "engine/support/mbstring.h"
#include "host/colortext.h"
#include "host/translucent.h"
#include "ui/bitmap.h"

namespace {

const char* const kAlignWords[] = {"left", "right", "center"};  // in TAlignment's order
// The script's words and the style names they stand for, in TFontStyle's order.
const char* const kStyleWords[] = {"bold", "italic", "underline", "strikeout"};
const char* const kStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

const TPropInfo exLabelProperties[] = {
    StringProperty<&TExLabel::Text, &TExLabel::SetText>("text"),
    BoolProperty<&TExLabel::AutoEllipsis, &TExLabel::SetAutoEllipsis>("autoEllipsis", 0),
    IntegerProperty<&TExLabel::Transparency, &TExLabel::SetTransparency>("transparency", 255),
    StringProperty<&TExLabel::FontName, &TExLabel::SetFontName>("fontName"),
    IntegerProperty<&TExLabel::FontSize, &TExLabel::SetFontSize>("fontSize"),
    StringProperty<&TExLabel::FontStyle, &TExLabel::SetFontStyle>("fontStyle"),
    StringProperty<&TExLabel::FontColor, &TExLabel::SetFontColor>("fontColor"),
    IntegerProperty<&TExLabel::FontCharset, &TExLabel::SetFontCharset>("fontCharset"),
    StringProperty<&TControl::Hint, &TControl::SetHint>("toolTip"),
    MethodProperty<&TExLabel::OnMouseEnter, &TExLabel::OnMouseEnter>("OnMouseEnter", &NotifyEventType),
    MethodProperty<&TExLabel::OnMouseLeave, &TExLabel::OnMouseLeave>("OnMouseLeave", &NotifyEventType),
};

}  // namespace

const TClassInfo TExLabel::classInfo =
    makeClassInfo("TExLabel", &TLabel::classInfo, exLabelProperties, &componentCreator<TExLabel>);

AnsiString EllipsisText(const AnsiString& text, int width, const std::function<int(const AnsiString&)>& measure) {
    if (measure(text) <= width) return text;
    std::vector<size_t> ends;  // ends[n]: the byte length of the first n characters
    for (size_t i = 0; i < text.length(); i += mbcsCharWidth(text.view(), i)) ends.push_back(i);
    for (size_t n = ends.size(); n-- > 0;) {
        AnsiString candidate = text.substr(0, ends[n]) + "...";
        if (measure(candidate) <= width) return candidate;
    }
    return "...";
}

TExLabel::TExLabel(TComponent* owner) : TLabel(owner) {
    SetTransparent(true);
    SetShowHint(true);
}

// ==== Text and ellipsis ====

void TExLabel::SetText(const AnsiString& text) {
    Text_ = text;
    if (!AutoEllipsis_) return SetCaption(text);
    TBitmap scratch;  // a context that measures in the label's font
    TCanvas* canvas = scratch.Canvas();
    canvas->Font()->Assign(Font());
    SetCaption(EllipsisText(text, Width(), [canvas](const AnsiString& candidate) { return canvas->TextWidth(candidate); }));
}

void TExLabel::SetAutoEllipsis(bool value) {
    AutoEllipsis_ = value;
    SetText(Text_);
}

void TExLabel::FontChanged() {
    TLabel::FontChanged();
    SetText(Text_);
}

// ==== Script faces ====

AnsiString AlignmentWord(TAlignment alignment) { return kAlignWords[alignment]; }

bool AlignmentOfWord(const AnsiString& text, TAlignment& alignment) {
    AnsiString word = trimText(text.view());
    for (int i = 0; i < 3; ++i)
        if (word == kAlignWords[i]) {
            alignment = static_cast<TAlignment>(i);
            return true;
        }
    return false;
}

AnsiString TExLabel::AlignText() const { return AlignmentWord(Alignment()); }

void TExLabel::SetAlignText(const AnsiString& text) {
    TAlignment alignment;
    if (AlignmentOfWord(text, alignment)) SetAlignment(alignment);
}

AnsiString TExLabel::FontStyle() const {
    AnsiString text;
    for (int i = 0; i < 4; ++i) {
        if (!inSet(Font()->Style(), static_cast<TFontStyle>(i))) continue;
        if (!text.empty()) text += ",";
        text += kStyleWords[i];
    }
    return text;
}

// The words become the style names and are read as a set; unknown names are left out.
void TExLabel::SetFontStyle(const AnsiString& text) {
    std::string names = lowerCaseAscii(text.view()).str();
    for (int i = 0; i < 4; ++i) {
        std::string word = kStyleWords[i];
        for (size_t at = names.find(word); at != std::string::npos; at = names.find(word, at + 1))
            names.replace(at, word.length(), kStyleNames[i]);
    }
    uint32_t styles = 0;
    StringToSet(&FontStylesTypeInfo, names, styles);
    Font()->SetStyle(static_cast<TFontStyles>(styles));
}

AnsiString TExLabel::FontColor() const { return ColorToHtml(Font()->Color()); }

void TExLabel::SetFontColor(const AnsiString& text) { Font()->SetColor(HtmlToColor(text)); }

// ==== Painting ====

void TExLabel::SetTransparency(int value) {
    value = std::clamp(value, 0, 255);
    if (value == Transparency_) return;
    Transparency_ = value;
    Invalidate();
}

void TExLabel::Paint() {
    if (Transparency_ == 255) return TLabel::Paint();
    PaintTranslucent(Canvas(), Buffers_, Width(), Height(), [this] { TLabel::Paint(); },
                     [this](TBitmap& beneath, TBitmap& painted) {
                         BlendConstant(beneath, painted, static_cast<uint8_t>(Transparency_));
                     });
}
