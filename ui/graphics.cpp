// The font, brush and pen with their published properties and GDI handles,
// and the canvas that selects them into a device context around each drawing
// operation.
#include "ui/graphics.h"

#include <iterator>
#include <memory>
#include <utility>

#include "ui/bitmap.h"

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0xFFFFFF;
}

// ==== TGraphicsObject ====

const TClassInfo TGraphicsObject::classInfo = makeClassInfo("TGraphicsObject", &TPersistent::classInfo);

TGraphicsObject::~TGraphicsObject() {
    if (Handle_) DeleteObject(Handle_);
}

HGDIOBJ TGraphicsObject::handle() {
    if (!Handle_) Handle_ = createHandle();
    return Handle_;
}

void TGraphicsObject::Changed() {
    // The listeners move to the new handle before the old one is deleted.
    std::unique_ptr<void, decltype(&DeleteObject)> old(std::exchange(Handle_, nullptr), &DeleteObject);
    OnChange(this);
}

// ==== TFont ====

namespace {

const char* const fontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
const char* const fontPitchNames[] = {"fpDefault", "fpVariable", "fpFixed"};
const char* const brushStyleNames[] = {"bsSolid", "bsClear", "bsHorizontal", "bsVertical",
                                       "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"};
const char* const penStyleNames[] = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
                                     "psInsideFrame"};

// The screen's vertical resolution, which turns points into pixels.
int screenPixelsPerInch() {
    static const int ppi = [] {
        HDC screen = GetDC(nullptr);
        int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return ppi;
}

const TIntegerIdent colorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clBtnHighlight, "clBtnHighlight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
};

}  // namespace

const TIntegerIdents ColorIdents{colorNames, static_cast<int>(std::size(colorNames))};

const TEnumInfo FontStyleTypeInfo{"TFontStyle", fontStyleNames, 4};
const TSetInfo FontStylesTypeInfo{"TFontStyles", &FontStyleTypeInfo, 1};
const TEnumInfo FontPitchTypeInfo{"TFontPitch", fontPitchNames, 3};
const TEnumInfo BrushStyleTypeInfo{"TBrushStyle", brushStyleNames, 8};
const TEnumInfo PenStyleTypeInfo{"TPenStyle", penStyleNames, 7};

// Height is stored; Size is its other face.
static const TPropInfo fontProperties[] = {
    IntegerProperty<&TFont::Charset, &TFont::SetCharset>("Charset", DEFAULT_CHARSET),
    IntegerProperty<&TFont::Color, &TFont::SetColor>("Color", clWindowText, &ColorIdents),
    IntegerProperty<&TFont::Height, &TFont::SetHeight>("Height"),
    StringProperty<&TFont::Name, &TFont::SetName>("Name"),
    EnumProperty<&TFont::Pitch, &TFont::SetPitch>("Pitch", &FontPitchTypeInfo, fpDefault),
    notStored(IntegerProperty<&TFont::Size, &TFont::SetSize>("Size")),
    SetProperty<&TFont::Style, &TFont::SetStyle>("Style", &FontStylesTypeInfo, 0),
};
const TClassInfo TFont::classInfo = makeClassInfo("TFont", &TGraphicsObject::classInfo, fontProperties);

TFont::TFont() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    Name_ = font.lfFaceName;
    Height_ = font.lfHeight;
    Charset_ = font.lfCharSet;
}

template <class T>
void TFont::change(T& field, T value) {
    if (field == value) return;
    field = std::move(value);
    Changed();
}

void TFont::SetCharset(int charset) { change(Charset_, static_cast<uint8_t>(charset)); }
void TFont::SetColor(TColor color) { change(Color_, color); }
void TFont::SetHeight(int height) { change(Height_, height); }
void TFont::SetName(const AnsiString& name) { change(Name_, name); }
void TFont::SetPitch(TFontPitch pitch) { change(Pitch_, pitch); }
void TFont::SetStyle(TFontStyles style) { change(Style_, static_cast<TFontStyles>(style & 0x0F)); }

int TFont::Size() const { return -MulDiv(Height_, 72, screenPixelsPerInch()); }
void TFont::SetSize(int size) { SetHeight(-MulDiv(size, screenPixelsPerInch(), 72)); }

void TFont::Assign(const TPersistent* source) {
    const auto* font = dynamic_cast<const TFont*>(source);
    if (!font) return TGraphicsObject::Assign(source);
    if (Name_ == font->Name_ && Height_ == font->Height_ && Color_ == font->Color_ && Charset_ == font->Charset_ &&
        Pitch_ == font->Pitch_ && Style_ == font->Style_) {
        return;
    }
    Name_ = font->Name_;
    Height_ = font->Height_;
    Color_ = font->Color_;
    Charset_ = font->Charset_;
    Pitch_ = font->Pitch_;
    Style_ = font->Style_;
    Changed();
}

void TFont::AssignLogFont(const LOGFONTA& font) {
    TFontStyles style = 0;
    if (font.lfWeight >= FW_BOLD) style |= fontStyle(fsBold);
    if (font.lfItalic) style |= fontStyle(fsItalic);
    if (font.lfUnderline) style |= fontStyle(fsUnderline);
    if (font.lfStrikeOut) style |= fontStyle(fsStrikeOut);
    TFontPitch pitch = (font.lfPitchAndFamily & 3) == FIXED_PITCH      ? fpFixed
                       : (font.lfPitchAndFamily & 3) == VARIABLE_PITCH ? fpVariable
                                                                       : fpDefault;
    AnsiString name(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
    if (Name_ == name && Height_ == font.lfHeight && Charset_ == font.lfCharSet && Pitch_ == pitch &&
        Style_ == style) {
        return;
    }
    Name_ = name;
    Height_ = font.lfHeight;
    Charset_ = font.lfCharSet;
    Pitch_ = pitch;
    Style_ = style;
    Changed();
}

LOGFONTA TFont::LogFont() const {
    static const BYTE pitches[] = {DEFAULT_PITCH, VARIABLE_PITCH, FIXED_PITCH};
    LOGFONTA font{};
    font.lfHeight = Height_;
    font.lfWeight = Style_ & fontStyle(fsBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (Style_ & fontStyle(fsItalic)) != 0;
    font.lfUnderline = (Style_ & fontStyle(fsUnderline)) != 0;
    font.lfStrikeOut = (Style_ & fontStyle(fsStrikeOut)) != 0;
    font.lfCharSet = Charset_;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = pitches[Pitch_];
    lstrcpynA(font.lfFaceName, Name_.c_str(), LF_FACESIZE);
    return font;
}

HGDIOBJ TFont::createHandle() const {
    LOGFONTA font = LogFont();
    return CreateFontIndirectA(&font);
}

// ==== TBrush ====

static const TPropInfo brushProperties[] = {
    IntegerProperty<&TBrush::Color, &TBrush::SetColor>("Color", clWhite),
    EnumProperty<&TBrush::Style, &TBrush::SetStyle>("Style", &BrushStyleTypeInfo, bsSolid),
};
const TClassInfo TBrush::classInfo = makeClassInfo("TBrush", &TGraphicsObject::classInfo, brushProperties);

void TBrush::SetColor(TColor color) {
    if (Color_ == color) return;
    Color_ = color;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (Style_ == style) return;
    Style_ = style;
    Changed();
}

void TBrush::Assign(const TPersistent* source) {
    const auto* brush = dynamic_cast<const TBrush*>(source);
    if (!brush) return TGraphicsObject::Assign(source);
    if (Color_ == brush->Color_ && Style_ == brush->Style_) return;
    Color_ = brush->Color_;
    Style_ = brush->Style_;
    Changed();
}

HGDIOBJ TBrush::createHandle() const {
    // Hatches, in the order of the styles from bsHorizontal.
    static const LONG hatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    LOGBRUSH brush{BS_SOLID, ColorToRGB(Color_), 0};
    if (Style_ == bsClear) {
        brush.lbStyle = BS_NULL;
    } else if (Style_ >= bsHorizontal) {
        brush.lbStyle = BS_HATCHED;
        brush.lbHatch = static_cast<ULONG_PTR>(hatches[Style_ - bsHorizontal]);
    }
    return CreateBrushIndirect(&brush);
}

// ==== TPen ====

static const TPropInfo penProperties[] = {
    IntegerProperty<&TPen::Color, &TPen::SetColor>("Color", clBlack),
    EnumProperty<&TPen::Style, &TPen::SetStyle>("Style", &PenStyleTypeInfo, psSolid),
    IntegerProperty<&TPen::Width, &TPen::SetWidth>("Width", 1),
};
const TClassInfo TPen::classInfo = makeClassInfo("TPen", &TGraphicsObject::classInfo, penProperties);

void TPen::SetColor(TColor color) {
    if (Color_ == color) return;
    Color_ = color;
    Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (Style_ == style) return;
    Style_ = style;
    Changed();
}

void TPen::SetWidth(int width) {
    if (width < 0) width = 0;
    if (Width_ == width) return;
    Width_ = width;
    Changed();
}

void TPen::Assign(const TPersistent* source) {
    const auto* pen = dynamic_cast<const TPen*>(source);
    if (!pen) return TGraphicsObject::Assign(source);
    if (Color_ == pen->Color_ && Style_ == pen->Style_ && Width_ == pen->Width_) return;
    Color_ = pen->Color_;
    Style_ = pen->Style_;
    Width_ = pen->Width_;
    Changed();
}

HGDIOBJ TPen::createHandle() const {
    static const UINT styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    return CreatePen(static_cast<int>(styles[Style_]), Width_, ColorToRGB(Color_));
}

// ==== TCanvas ====

const TClassInfo TCanvas::classInfo = makeClassInfo("TCanvas", &TPersistent::classInfo);

TCanvas::TCanvas() {
    Font_.OnChange = TNotifyEvent::bind<&TCanvas::fontChanged>(this);
    Brush_.OnChange = TNotifyEvent::bind<&TCanvas::brushChanged>(this);
    Pen_.OnChange = TNotifyEvent::bind<&TCanvas::penChanged>(this);
}

TCanvas::~TCanvas() { DeselectHandles(); }

HDC TCanvas::Handle() { return requireState(fontSelected | brushSelected | penSelected); }

void TCanvas::SetHandle(HDC dc) {
    if (Handle_ == dc) return;
    DeselectHandles();
    Handle_ = dc;
}

void TCanvas::DeselectHandles() { deselect(fontSelected | brushSelected | penSelected); }

void TCanvas::deselect(uint8_t state) {
    state &= State_;
    if (!state) return;
    if (state & fontSelected) SelectObject(Handle_, std::exchange(OldFont_, nullptr));
    if (state & brushSelected) SelectObject(Handle_, std::exchange(OldBrush_, nullptr));
    if (state & penSelected) SelectObject(Handle_, std::exchange(OldPen_, nullptr));
    State_ &= ~state;
}

HDC TCanvas::requireState(uint8_t state) {
    if (!Handle_) CreateHandle();
    if (!Handle_) throw EInvalidGraphicOperation("Canvas does not allow drawing");
    uint8_t missing = state & ~State_;
    if (missing & fontSelected) {
        OldFont_ = SelectObject(Handle_, Font_.Handle());
        SetTextColor(Handle_, ColorToRGB(Font_.Color()));
    }
    if (missing & brushSelected) {
        OldBrush_ = SelectObject(Handle_, Brush_.Handle());
        SetBkColor(Handle_, ColorToRGB(Brush_.Color()));
        SetBkMode(Handle_, Brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
    }
    if (missing & penSelected) OldPen_ = SelectObject(Handle_, Pen_.Handle());
    State_ |= missing;
    return Handle_;
}

void TCanvas::MoveTo(int x, int y) {
    MoveToEx(requireState(0), x, y, nullptr);
    PenPos_ = {x, y};
}

void TCanvas::LineTo(int x, int y) {
    HDC dc = requireState(penSelected | brushSelected);
    MoveToEx(dc, PenPos_.x, PenPos_.y, nullptr);
    ::LineTo(dc, x, y);
    PenPos_ = {x, y};
    changed();
}

void TCanvas::Rectangle(const RECT& rect) {
    ::Rectangle(requireState(penSelected | brushSelected), rect.left, rect.top, rect.right, rect.bottom);
    changed();
}

void TCanvas::Ellipse(const RECT& rect) {
    ::Ellipse(requireState(penSelected | brushSelected), rect.left, rect.top, rect.right, rect.bottom);
    changed();
}

void TCanvas::FillRect(const RECT& rect) {
    ::FillRect(requireState(brushSelected), &rect, Brush_.Handle());
    changed();
}

void TCanvas::FrameRect(const RECT& rect) {
    ::FrameRect(requireState(brushSelected), &rect, Brush_.Handle());
    changed();
}

TColor TCanvas::Pixel(int x, int y) { return static_cast<TColor>(GetPixel(requireState(0), x, y)); }

void TCanvas::SetPixel(int x, int y, TColor color) {
    ::SetPixel(requireState(0), x, y, ColorToRGB(color));
    changed();
}

void TCanvas::TextOutAt(int x, int y, const AnsiString& text) {
    ::TextOutA(requireState(fontSelected | brushSelected), x, y, text.c_str(), static_cast<int>(text.length()));
    changed();
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const AnsiString& text) {
    UINT options = ETO_CLIPPED | (Brush_.Style() == bsClear ? 0 : ETO_OPAQUE);
    ExtTextOutA(requireState(fontSelected | brushSelected), x, y, options, &rect, text.c_str(),
                static_cast<UINT>(text.length()), nullptr);
    changed();
}

SIZE TCanvas::TextExtent(const AnsiString& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32A(requireState(fontSelected), text.c_str(), static_cast<int>(text.length()), &size);
    return size;
}

void TCanvas::Draw(int x, int y, TBitmap* bitmap) {
    if (!bitmap || bitmap->Empty()) return;
    StretchDraw(RECT{x, y, x + bitmap->Width(), y + bitmap->Height()}, bitmap);
}

void TCanvas::StretchDraw(const RECT& rect, TBitmap* bitmap) {
    if (!bitmap || bitmap->Empty()) return;
    bitmap->DrawTo(requireState(0), rect);
    changed();
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect) {
    HDC dc = requireState(0);
    int mode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source->requireState(0),
               sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top,
               SRCCOPY);
    SetStretchBltMode(dc, mode);
    changed();
}
