// Colour text, the one textual form of a colour in scripts and settings files
// ("#" and six hexadecimal digits: red, green, blue), the text of a widget
// window's colour-alpha list, and the font-style words of the window, its
// labels and its edit boxes. Used by the widget window, its elements and its
// stored font colour.
#pragma once

#include <cstdint>
#include <vector>

#include "rtl/ansistring.h"
#include "ui/graphics.h"

// One entry of a colour-alpha list: pixels of this colour get this alpha.
struct TColorAlpha {
    TColor color;
    uint8_t alpha;
    friend bool operator==(const TColorAlpha&, const TColorAlpha&) = default;
};

// A text that does not parse gives clFuchsia ($FF00FF).
TColor HtmlToColor(const AnsiString& text);
// A system colour gives the bytes of its value, unresolved.
AnsiString ColorToHtml(TColor color);

// The entries a `colorAlpha` text names ("[#ff0000=128, #00ff00=0]"), in order.
std::vector<TColorAlpha> parseColorAlpha(const AnsiString& text);
// The text the `colorAlpha` getter gives for a list: "[#ff0000=128,#00ff00=0]".
AnsiString colorAlphaText(const std::vector<TColorAlpha>& entries);

// How a `fontStyle` reads and writes its words.
enum class TStyleRule : uint8_t {
    // "Bold", "Italic", "Underline", "Strikeout", matched in their case only
    // and separated by ",", blanks and brackets: the window and its edit boxes.
    Capitalised,
    // "bold", "italic", "underline", "strikeout" given in any case, read as a
    // set of the style names they stand for: the labels.
    AnyCase,
};

// The words of the styles, joined by ",".
AnsiString FontStyleWords(TFontStyles styles, TStyleRule rule);
// The styles the words name; other words are left out.
TFontStyles ParseFontStyleWords(const AnsiString& text, TStyleRule rule);
