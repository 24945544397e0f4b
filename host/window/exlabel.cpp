// The label element: the ellipsis, the translucent painting, and the script
// face of its alignment.
#include "host/window/exlabel.h"

#include <algorithm>
#include <vector>

#include "engine/support/mbstring.h"
#include "host/window/colortext.h"
#include "host/window/translucent.h"
#include "ui/bitmap.h"

namespace {

const char* const kAlignWords[] = {"left", "right", "center"};  // in TAlignment's order

const TPropInfo exLabelProperties[] = {
    StringProperty<&TExLabel::Text, &TExLabel::SetText>("text"),
    BoolProperty<&TExLabel::AutoEllipsis, &TExLabel::SetAutoEllipsis>("autoEllipsis", 0),
    IntegerProperty<&TExLabel::Transparency, &TExLabel::SetTransparency>("transparency", 255),
    StringProperty<&TControl::Hint, &TControl::SetHint>("toolTip"),
    MethodProperty<&TExLabel::OnMouseEnter, &TExLabel::OnMouseEnter>("OnMouseEnter", &NotifyEventType),
    MethodProperty<&TExLabel::OnMouseLeave, &TExLabel::OnMouseLeave>("OnMouseLeave", &NotifyEventType),
};

}  // namespace

const TClassInfo TExLabel::classInfo =
    makeClassInfo("TExLabel", &TFontFaces::classInfo, exLabelProperties, &componentCreator<TExLabel>);

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

TExLabel::TExLabel(TComponent* owner) : TFontFaces(owner) {
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
