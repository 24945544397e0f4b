// Colour text and colour-alpha lists: the byte swaps and defaults that stored
// widgets rely on are kept as they are.
#include "host/window/colortext.h"

#include <cstdio>
#include <utility>

#include "engine/support/mbstring.h"
#include "rtl/numtext.h"

TColor HtmlToColor(const AnsiString& text) {
    std::string digits(text.startsWith("#") ? text.view().substr(1) : text.view());
    if (digits.size() < 6) return clFuchsia;
    // "rrggbb" becomes "bbggrr", read as one number whose low byte is red.
    std::swap(digits[0], digits[4]);
    std::swap(digits[1], digits[5]);
    TColor color = 0;
    return textToInt32("$00" + digits, color) ? color : clFuchsia;
}

AnsiString ColorToHtml(TColor color) {
    char text[8];
    const auto value = static_cast<uint32_t>(color);
    std::snprintf(text, sizeof text, "#%.2x%.2x%.2x", value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    return text;
}

namespace {

// The text lower-cased without its blanks and brackets (single-byte ones only:
// a trail byte may equal a bracket).
std::string plainColorAlphaText(const AnsiString& text) {
    AnsiString lower = lowerCaseAscii(text);
    std::string_view s = lower.view();
    std::string plain;
    for (size_t i = 0; i < s.size();) {
        size_t width = mbcsCharWidth(s, i);
        if (width == 2 || (s[i] != ' ' && s[i] != '[' && s[i] != ']')) plain.append(s.substr(i, width));
        i += width;
    }
    return plain;
}

// Where "$" first matches: before a line break that ends the text, else at its end.
size_t textEnd(std::string_view s) {
    if (s.ends_with("\r\n")) return s.size() - 2;
    if (s.ends_with('\r') || s.ends_with('\n')) return s.size() - 1;
    return s.size();
}

}  // namespace

// The entries are the successive matches of "(.*?)=(.*?)(,|$)" ("." taking line
// breaks too): a colour runs to the next "=", commas included; an alpha to the
// next "," or the end. '=' and ',' are never trail bytes, so bytes are searched.
std::vector<TColorAlpha> parseColorAlpha(const AnsiString& text) {
    std::string s = plainColorAlphaText(text);
    std::string_view view = s;
    const size_t end = textEnd(view);
    std::vector<TColorAlpha> entries;
    size_t from = 0;
    for (size_t equals; (equals = view.find('=', from)) != std::string_view::npos;) {
        std::string_view color = view.substr(from, equals - from);
        size_t comma = view.find(',', equals + 1);
        size_t alphaEnd = comma != std::string_view::npos ? comma : end;
        std::string_view alphaText = view.substr(equals + 1, alphaEnd - equals - 1);
        int32_t alpha = 255;
        if (alphaText.empty() || !textToInt32(alphaText, alpha)) alpha = 255;
        entries.push_back({color.empty() ? 0 : HtmlToColor(AnsiString(color)), static_cast<uint8_t>(alpha)});
        if (alphaEnd != comma) break;  // the match reached the end
        from = comma + 1;
    }
    return entries;
}

AnsiString colorAlphaText(const std::vector<TColorAlpha>& entries) {
    AnsiString text = "[";
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i) text += ",";
        text += ColorToHtml(entries[i].color) + "=" + intToText(entries[i].alpha);
    }
    return text + "]";
}

// ==== Font-style words ====

namespace {

// In TFontStyle's order.
constexpr const char* kStyleWords[] = {"Bold", "Italic", "Underline", "Strikeout"};
constexpr const char* kLowerStyleWords[] = {"bold", "italic", "underline", "strikeout"};
constexpr const char* kStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

// The words become the style names and are read as a set.
TFontStyles parseAnyCase(const AnsiString& text) {
    std::string names = lowerCaseAscii(text.view()).str();
    for (int i = fsBold; i <= fsStrikeOut; ++i) {
        std::string word = kLowerStyleWords[i];
        for (size_t at = names.find(word); at != std::string::npos; at = names.find(word, at + 1))
            names.replace(at, word.length(), kStyleNames[i]);
    }
    uint32_t styles = 0;
    StringToSet(&FontStylesTypeInfo, names, styles);
    return static_cast<TFontStyles>(styles);
}

}  // namespace

AnsiString FontStyleWords(TFontStyles styles, TStyleRule rule) {
    const char* const* words = rule == TStyleRule::AnyCase ? kLowerStyleWords : kStyleWords;
    AnsiString text;
    for (int style = fsBold; style <= fsStrikeOut; ++style) {
        if (!(styles & fontStyle(static_cast<TFontStyle>(style)))) continue;
        if (!text.empty()) text += ',';
        text += words[style];
    }
    return text;
}

TFontStyles ParseFontStyleWords(const AnsiString& text, TStyleRule rule) {
    if (rule == TStyleRule::AnyCase) return parseAnyCase(text);
    TFontStyles styles = 0;
    std::string_view rest = text.view();
    while (!rest.empty()) {
        size_t end = rest.find_first_of(",[] \t");
        std::string_view word = rest.substr(0, end);
        for (int style = fsBold; style <= fsStrikeOut; ++style)
            if (word == kStyleWords[style]) styles |= fontStyle(static_cast<TFontStyle>(style));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return styles;
}
