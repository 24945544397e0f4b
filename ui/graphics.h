// Drawing objects of the component library: colours, the font, brush and pen
// (persistent objects with published properties that tell their owner of every
// change and hand out a GDI handle made on demand), and TCanvas, the drawing
// surface over a device context that controls, bitmaps and the widget host
// paint through. Pictures are in ui/bitmap.h and ui/picture.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "rtl/persistent.h"

class TBitmap;

using TNotifyEvent = TEvent<void(TObject* Sender)>;

// A picture that cannot be decoded: corrupt, truncated, too large or of an
// unknown format.
RTL_EXCEPTION(EInvalidGraphic, Exception);
// A drawing operation that cannot be done (a canvas without a surface, a scan
// line outside the bitmap).
RTL_EXCEPTION(EInvalidGraphicOperation, Exception);

// ==== Colours ====

// A colour: $00BBGGRR (the low byte is red), or a system colour: the high bit
// set and the GetSysColor index in the low byte.
using TColor = int32_t;

constexpr TColor systemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
// The colour names form streams write and read ("clBtnFace").
extern const TIntegerIdents ColorIdents;
constexpr TColor clScrollBar = systemColor(COLOR_SCROLLBAR), clBackground = systemColor(COLOR_BACKGROUND),
                 clActiveCaption = systemColor(COLOR_ACTIVECAPTION), clMenu = systemColor(COLOR_MENU),
                 clWindow = systemColor(COLOR_WINDOW), clWindowFrame = systemColor(COLOR_WINDOWFRAME),
                 clMenuText = systemColor(COLOR_MENUTEXT), clWindowText = systemColor(COLOR_WINDOWTEXT),
                 clCaptionText = systemColor(COLOR_CAPTIONTEXT), clHighlight = systemColor(COLOR_HIGHLIGHT),
                 clHighlightText = systemColor(COLOR_HIGHLIGHTTEXT), clBtnFace = systemColor(COLOR_BTNFACE),
                 clBtnShadow = systemColor(COLOR_BTNSHADOW), clGrayText = systemColor(COLOR_GRAYTEXT),
                 clBtnText = systemColor(COLOR_BTNTEXT), clBtnHighlight = systemColor(COLOR_BTNHIGHLIGHT),
                 clInfoText = systemColor(COLOR_INFOTEXT), clInfoBk = systemColor(COLOR_INFOBK);

// The RGB value of a colour, system colours resolved to their current value.
COLORREF ColorToRGB(TColor color);

// ==== Font, brush, pen ====

// The base of the font, brush and pen: a GDI object made on demand from the
// published properties and remade after every change. OnChange runs after the
// new values are in place and before the old GDI object is deleted, so a
// canvas or window that uses the old one can let it go first.
class TGraphicsObject : public TPersistent {
    RTL_DECLARE_CLASS()
    TGraphicsObject() = default;
    TGraphicsObject(const TGraphicsObject&) = delete;
    TGraphicsObject& operator=(const TGraphicsObject&) = delete;
    ~TGraphicsObject() override;

    TNotifyEvent OnChange;

protected:
    HGDIOBJ handle();
    void Changed();
    virtual HGDIOBJ createHandle() const = 0;

private:
    HGDIOBJ Handle_ = nullptr;
};

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = uint8_t;  // bit i: TFontStyle i
constexpr TFontStyles fontStyle(TFontStyle style) { return static_cast<TFontStyles>(1u << style); }
enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

extern const TEnumInfo FontStyleTypeInfo;
extern const TSetInfo FontStylesTypeInfo;
extern const TEnumInfo FontPitchTypeInfo;

class TFont : public TGraphicsObject {
    RTL_DECLARE_CLASS()
    // The system's default GUI font in the window text colour.
    TFont();

    void Assign(const TPersistent* source) override;
    // Takes name, height, style, character set and pitch from a description
    // (the system's icon-title font, a font the user picked).
    void AssignLogFont(const LOGFONTA& font);
    LOGFONTA LogFont() const;
    HFONT Handle() { return static_cast<HFONT>(handle()); }

    int Charset() const { return Charset_; }
    void SetCharset(int charset);
    TColor Color() const { return Color_; }
    void SetColor(TColor color);
    // Character height in pixels; negative values exclude the internal leading.
    int Height() const { return Height_; }
    void SetHeight(int height);
    const AnsiString& Name() const { return Name_; }
    void SetName(const AnsiString& name);
    TFontPitch Pitch() const { return Pitch_; }
    void SetPitch(TFontPitch pitch);
    // Size in points at the screen's resolution (Height the other way).
    int Size() const;
    void SetSize(int size);
    TFontStyles Style() const { return Style_; }
    void SetStyle(TFontStyles style);

protected:
    HGDIOBJ createHandle() const override;

private:
    template <class T>
    void change(T& field, T value);

    AnsiString Name_;
    int Height_ = 0;
    TColor Color_ = clWindowText;
    uint8_t Charset_ = DEFAULT_CHARSET;
    TFontPitch Pitch_ = fpDefault;
    TFontStyles Style_ = 0;
};

enum TBrushStyle : uint8_t { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
extern const TEnumInfo BrushStyleTypeInfo;

class TBrush : public TGraphicsObject {
    RTL_DECLARE_CLASS()
    void Assign(const TPersistent* source) override;
    HBRUSH Handle() { return static_cast<HBRUSH>(handle()); }

    TColor Color() const { return Color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return Style_; }
    void SetStyle(TBrushStyle style);

protected:
    HGDIOBJ createHandle() const override;

private:
    TColor Color_ = clWhite;
    TBrushStyle Style_ = bsSolid;
};

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
extern const TEnumInfo PenStyleTypeInfo;

class TPen : public TGraphicsObject {
    RTL_DECLARE_CLASS()
    void Assign(const TPersistent* source) override;
    HPEN Handle() { return static_cast<HPEN>(handle()); }

    TColor Color() const { return Color_; }
    void SetColor(TColor color);
    TPenStyle Style() const { return Style_; }
    void SetStyle(TPenStyle style);
    int Width() const { return Width_; }
    void SetWidth(int width);

protected:
    HGDIOBJ createHandle() const override;

private:
    TColor Color_ = clBlack;
    TPenStyle Style_ = psSolid;
    int Width_ = 1;
};

// ==== Canvas ====

// A drawing surface over a device context. The canvas selects its font, brush
// and pen into the context when an operation needs them and puts the context's
// own objects back when the context is let go, so a borrowed context (a paint
// message's) is returned as it came. Descendants make their context on demand
// (CreateHandle); a canvas without one raises EInvalidGraphicOperation.
class TCanvas : public TPersistent {
    RTL_DECLARE_CLASS()
    TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    ~TCanvas() override;

    // The device context with the font, brush and pen selected, for direct
    // platform calls.
    HDC Handle();
    // Uses a context the caller owns; nullptr lets the current one go.
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return Handle_ != nullptr; }

    TFont* Font() { return &Font_; }
    void SetFont(const TFont* font) { Font_.Assign(font); }
    TBrush* Brush() { return &Brush_; }
    void SetBrush(const TBrush* brush) { Brush_.Assign(brush); }
    TPen* Pen() { return &Pen_; }
    void SetPen(const TPen* pen) { Pen_.Assign(pen); }

    // ---- Drawing (each runs OnChange after it drew) ----
    POINT PenPos() const { return PenPos_; }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Outlined with the pen and filled with the brush; the right and bottom
    // edges are exclusive.
    void Rectangle(const RECT& rect);
    void Ellipse(const RECT& rect);
    // Filled with the brush only.
    void FillRect(const RECT& rect);
    // Outlined one pixel wide with the brush's colour.
    void FrameRect(const RECT& rect);
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // ---- Text (the font; the brush fills the text's background unless its
    // style is bsClear) ----
    void TextOutAt(int x, int y, const AnsiString& text);
    // The text at (x, y), clipped to the rectangle, which the brush fills first.
    void TextRect(const RECT& rect, int x, int y, const AnsiString& text);
    SIZE TextExtent(const AnsiString& text);
    int TextWidth(const AnsiString& text) { return TextExtent(text).cx; }
    int TextHeight(const AnsiString& text) { return TextExtent(text).cy; }

    // ---- Pictures ----
    // A bitmap with alpha or a transparent colour is blended over what is
    // there; an opaque one is copied.
    void Draw(int x, int y, TBitmap* bitmap);
    void StretchDraw(const RECT& rect, TBitmap* bitmap);
    // Copies a rectangle of another canvas, stretched to this one's rectangle.
    void CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect);

    TNotifyEvent OnChange;

protected:
    // Gives the canvas a context when it has none; the default has none.
    virtual void CreateHandle() {}
    // Puts the context's own objects back, keeping the context.
    void DeselectHandles();
    HDC currentHandle() const { return Handle_; }

private:
    enum : uint8_t { fontSelected = 1, brushSelected = 2, penSelected = 4 };
    HDC requireState(uint8_t state);
    void changed() { OnChange(this); }
    void fontChanged(TObject*) { deselect(fontSelected); }
    void brushChanged(TObject*) { deselect(brushSelected); }
    void penChanged(TObject*) { deselect(penSelected); }
    void deselect(uint8_t state);

    HDC Handle_ = nullptr;
    uint8_t State_ = 0;
    HGDIOBJ OldFont_ = nullptr, OldBrush_ = nullptr, OldPen_ = nullptr;
    POINT PenPos_{0, 0};
    TFont Font_;
    TBrush Brush_;
    TPen Pen_;
};
