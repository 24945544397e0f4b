// TFontFaces: the five font properties that scripts read and write on a widget
// window, its labels and its edit boxes - fontName, fontSize, fontStyle,
// fontColor (colour text) and fontCharset - published once over the
// control's Font(), with the style words' rule as the parameter: the label
// reads words in any case and gives them lower-cased, the window and the
// edit take the capitalised words (host/window/colortext.h).
#pragma once

#include "host/window/colortext.h"
#include "ui/controls.h"

template <class Base, TStyleRule Rule>
class TFontFaces : public Base {
public:
    static const TClassInfo classInfo;
    const TClassInfo* ClassType() const override { return &classInfo; }
    using Base::Base;

    AnsiString FontName() const { return this->Font()->Name(); }
    void SetFontName(const AnsiString& name) { changed([&] { this->Font()->SetName(name); }); }
    int FontSize() const { return this->Font()->Size(); }
    void SetFontSize(int size) { changed([&] { this->Font()->SetSize(size); }); }
    AnsiString FontStyle() const { return FontStyleWords(this->Font()->Style(), Rule); }
    void SetFontStyle(const AnsiString& text) { changed([&] { this->Font()->SetStyle(ParseFontStyleWords(text, Rule)); }); }
    AnsiString FontColor() const { return ColorToHtml(this->Font()->Color()); }
    void SetFontColor(const AnsiString& text) { changed([&] { this->Font()->SetColor(HtmlToColor(text)); }); }
    int FontCharset() const { return this->Font()->Charset(); }
    void SetFontCharset(int charset) { changed([&] { this->Font()->SetCharset(charset); }); }

protected:
    // After every write through these properties (the window hands its font
    // to its satellites).
    virtual void FontWritten() {}

private:
    template <class F>
    void changed(F&& change) {
        change();
        FontWritten();
    }
};

template <class Base, TStyleRule Rule>
inline constexpr TPropInfo fontFaceProperties[] = {
    StringProperty<&TFontFaces<Base, Rule>::FontName, &TFontFaces<Base, Rule>::SetFontName>("fontName"),
    IntegerProperty<&TFontFaces<Base, Rule>::FontSize, &TFontFaces<Base, Rule>::SetFontSize>("fontSize"),
    StringProperty<&TFontFaces<Base, Rule>::FontStyle, &TFontFaces<Base, Rule>::SetFontStyle>("fontStyle"),
    StringProperty<&TFontFaces<Base, Rule>::FontColor, &TFontFaces<Base, Rule>::SetFontColor>("fontColor"),
    IntegerProperty<&TFontFaces<Base, Rule>::FontCharset, &TFontFaces<Base, Rule>::SetFontCharset>("fontCharset"),
};

template <class Base, TStyleRule Rule>
const TClassInfo TFontFaces<Base, Rule>::classInfo =
    makeClassInfo("TFontFaces", &Base::classInfo, fontFaceProperties<Base, Rule>);
