// Tests of the font, brush and pen (published properties, change
// notification) and of the canvas, read back from the pixels of the bitmap
// it drew on.
#include <gtest/gtest.h>

#include <functional>

#include "ui/bitmap.h"

namespace {

// A white bitmap of the size, opaque.
void clear(TBitmap& bitmap, int width, int height) {
    bitmap.SetSize(width, height);
    bitmap.Canvas()->Brush()->SetColor(clWhite);
    bitmap.Canvas()->FillRect(RECT{0, 0, width, height});
}

uint32_t rgb(const TBitmap& bitmap, int x, int y) { return bitmap.ScanLine(y)[x] & 0xFFFFFF; }

// The pixels inside the rectangle that satisfy the test.
int countPixels(const TBitmap& bitmap, const RECT& r, const std::function<bool(uint32_t)>& test) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) n += test(rgb(bitmap, x, y));
    }
    return n;
}

bool reddish(uint32_t p) { return (p >> 16 & 0xFF) > 160 && (p >> 8 & 0xFF) < 100 && (p & 0xFF) < 100; }
bool bluish(uint32_t p) { return (p & 0xFF) > 160 && (p >> 16 & 0xFF) < 100 && (p >> 8 & 0xFF) < 100; }

}  // namespace

TEST(Graphics, PublishedSurface) {
    const struct {
        const TClassInfo* cls;
        const char* names;
    } surfaces[] = {
        {&TFont::classInfo, "Charset,Color,Height,Name,Pitch,Size,Style"},
        {&TBrush::classInfo, "Color,Style"},
        {&TPen::classInfo, "Color,Style,Width"},
    };
    for (const auto& s : surfaces) {
        AnsiString joined;
        for (const AnsiString& name : GetPropNames(s.cls, false)) joined += (joined.empty() ? "" : ",") + name;
        EXPECT_EQ(joined, s.names) << s.cls->ClassName;
    }
    TFont font;
    TPropValue value;
    value.Ordinal = GetEnumValue(&FontPitchTypeInfo, "fpFixed");
    ASSERT_TRUE(WriteProp(&font, GetPropInfo(&TFont::classInfo, "pitch"), value));
    EXPECT_EQ(font.Pitch(), fpFixed);
    font.SetStyle(fontStyle(fsBold) | fontStyle(fsStrikeOut));
    ReadProp(&font, GetPropInfo(&TFont::classInfo, "Style"), value);
    EXPECT_EQ(SetToString(&FontStylesTypeInfo, static_cast<uint32_t>(value.Ordinal)), "fsBold,fsStrikeOut");
    EXPECT_EQ(GetEnumName(&BrushStyleTypeInfo, bsDiagCross), "bsDiagCross");
    EXPECT_EQ(GetEnumName(&PenStyleTypeInfo, psInsideFrame), "psInsideFrame");
}

// Each setter tells OnChange once when the value changes and not at all
// when it stays.
TEST(Graphics, ChangeNotification) {
    TFont font;
    int changes = 0;
    font.OnChange = TNotifyEvent([](void* n, TObject*) { ++*static_cast<int*>(n); }, &changes);
    const std::function<void()> steps[] = {
        [&] { font.SetName("Arial"); }, [&] { font.SetHeight(-20); }, [&] { font.SetColor(clRed); },
        [&] { font.SetCharset(GREEK_CHARSET); }, [&] { font.SetStyle(fontStyle(fsItalic)); },
        [&] { font.SetPitch(fpVariable); },
    };
    for (const auto& step : steps) {
        int before = changes;
        step();
        EXPECT_EQ(changes, before + 1);
        step();
        EXPECT_EQ(changes, before + 1);
    }
    font.SetSize(12);
    EXPECT_EQ(font.Size(), 12);
    TFont copy;
    copy.Assign(&font);
    LOGFONTA description = copy.LogFont();
    EXPECT_STREQ(description.lfFaceName, "Arial");
    EXPECT_TRUE(description.lfItalic);
    description.lfWeight = FW_BOLD;
    font.AssignLogFont(description);
    EXPECT_EQ(font.Style(), fontStyle(fsBold) | fontStyle(fsItalic));
    EXPECT_EQ(font.Color(), clRed);  // a description has no colour
    int before = changes;
    font.AssignLogFont(description);
    EXPECT_EQ(changes, before);
}

TEST(Graphics, ShapesReadBack) {
    TBitmap bitmap;
    clear(bitmap, 20, 10);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clRed);
    canvas->Pen()->SetColor(clBlue);
    canvas->Rectangle(RECT{2, 2, 8, 8});
    EXPECT_EQ(rgb(bitmap, 2, 2), 0x0000FFu);  // outline
    EXPECT_EQ(rgb(bitmap, 7, 7), 0x0000FFu);
    EXPECT_EQ(rgb(bitmap, 4, 4), 0xFF0000u);  // fill
    EXPECT_EQ(rgb(bitmap, 8, 8), 0xFFFFFFu);  // right and bottom exclusive
    canvas->Pen()->SetColor(clLime);          // a new pen while the old one is selected
    canvas->MoveTo(10, 1);
    canvas->LineTo(18, 1);
    EXPECT_EQ(rgb(bitmap, 10, 1), 0x00FF00u);
    EXPECT_EQ(rgb(bitmap, 18, 1), 0xFFFFFFu);
    canvas->SetPixel(19, 9, clBlue);
    EXPECT_EQ(canvas->Pixel(19, 9), clBlue);
    canvas->Brush()->SetColor(clBlack);
    canvas->FrameRect(RECT{10, 4, 14, 8});
    EXPECT_EQ(rgb(bitmap, 10, 4), 0u);
    EXPECT_EQ(rgb(bitmap, 12, 6), 0xFFFFFFu);
}

// Text in the font's colour, over the brush unless it is clear; a font that
// changes while selected is used at once.
TEST(Graphics, TextReadBack) {
    TBitmap bitmap;
    clear(bitmap, 120, 30);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Font()->SetHeight(-24);
    canvas->Font()->SetStyle(fontStyle(fsBold));
    canvas->Font()->SetColor(clRed);
    canvas->Brush()->SetStyle(bsClear);
    const AnsiString text = "\x82\xa0W";  // Hiragana A, then W
    SIZE extent = canvas->TextExtent(text);
    EXPECT_GT(extent.cx, canvas->TextWidth("W"));
    EXPECT_GT(extent.cy, 12);
    canvas->TextOutAt(0, 0, text);
    EXPECT_GT(countPixels(bitmap, RECT{0, 0, extent.cx, extent.cy}, reddish), 10);
    EXPECT_EQ(countPixels(bitmap, RECT{extent.cx + 1, 0, 120, 30}, [](uint32_t p) { return p != 0xFFFFFF; }), 0);

    canvas->Font()->SetColor(clBlue);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clLime);
    RECT box{60, 0, 80, 30};
    canvas->TextRect(box, 60, 0, "WWWW");
    EXPECT_GT(countPixels(bitmap, box, bluish), 10);
    EXPECT_EQ(rgb(bitmap, 79, 29), 0x00FF00u);  // the brush fills the whole rectangle
    EXPECT_EQ(countPixels(bitmap, RECT{80, 0, 120, 30}, [](uint32_t p) { return p != 0xFFFFFF; }), 0);
}

// A bitmap with alpha is blended over the canvas (not premultiplied in the
// bitmap); one with a transparent colour leaves that colour's pixels out.
TEST(Graphics, DrawBlendsAlphaAndTransparentColour) {
    TBitmap target;
    clear(target, 4, 1);
    TBitmap source;
    source.SetSize(2, 1);
    source.ScanLine(0)[0] = makePixel(255, 0, 0, 128);
    source.ScanLine(0)[1] = makePixel(0, 255, 0, 0);
    source.SetHasAlpha(true);
    target.Canvas()->Draw(0, 0, &source);
    uint32_t half = rgb(target, 0, 0);
    EXPECT_NEAR(static_cast<int>(half >> 16), 255, 1);
    EXPECT_NEAR(static_cast<int>(half >> 8 & 0xFF), 127, 2);
    EXPECT_EQ(rgb(target, 1, 0), 0xFFFFFFu);

    source.SetHasAlpha(false);
    source.SetTransparentColor(clLime);
    target.Canvas()->Draw(2, 0, &source);
    EXPECT_EQ(rgb(target, 2, 0), 0xFF0000u);
    EXPECT_EQ(rgb(target, 3, 0), 0xFFFFFFu);

    source.SetTransparentColor(clNone);  // opaque: copied as it is
    target.Canvas()->StretchDraw(RECT{0, 0, 4, 1}, &source);
    EXPECT_EQ(rgb(target, 0, 0), 0xFF0000u);
    EXPECT_EQ(rgb(target, 3, 0), 0x00FF00u);
}

// Resizing keeps what stays inside and lets the canvas draw on the new size.
TEST(Graphics, BitmapResize) {
    TBitmap bitmap;
    clear(bitmap, 2, 2);
    bitmap.ScanLine(1)[1] = makePixel(1, 2, 3);
    bitmap.SetSize(3, 3);
    EXPECT_EQ(bitmap.ScanLine(1)[1], makePixel(1, 2, 3));
    EXPECT_EQ(bitmap.ScanLine(2)[2], 0u);
    bitmap.Canvas()->SetPixel(2, 2, clRed);
    EXPECT_EQ(rgb(bitmap, 2, 2), 0xFF0000u);
    EXPECT_THROW(bitmap.ScanLine(3), EInvalidGraphicOperation);
    EXPECT_THROW(bitmap.SetSize(-1, 2), EInvalidGraphic);
    TCanvas orphan;
    EXPECT_THROW(orphan.TextOutAt(0, 0, "x"), EInvalidGraphicOperation);
}
