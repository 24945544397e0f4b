// TBitmap: the one picture kind of the component library, a 32-bit top-down
// DIB section whose fourth byte is the alpha (colours not premultiplied), with
// a canvas to draw on. Every decoded picture (ui/picture.h) becomes one; the
// widget host composes its layered windows from them.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/graphics.h"

// The largest picture accepted (a side, and width x height): a file that
// claims more is refused before anything is allocated for it.
constexpr int MaxPictureSide = 32767;
constexpr int64_t MaxPicturePixels = 32 * 1024 * 1024;
// Raises EInvalidGraphic for a size beyond the limits or below zero.
void checkPictureSize(int64_t width, int64_t height);

// A pixel as the bitmap holds it: 0xAARRGGBB (bytes B, G, R, A in memory).
constexpr uint32_t makePixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255) {
    return static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(red) << 16 |
           static_cast<uint32_t>(green) << 8 | blue;
}
constexpr uint8_t pixelAlpha(uint32_t pixel) { return static_cast<uint8_t>(pixel >> 24); }
// The colour of a pixel as a TColor ($00BBGGRR).
constexpr TColor pixelColor(uint32_t pixel) {
    return static_cast<TColor>((pixel >> 16 & 0xFF) | (pixel & 0xFF00) | (pixel & 0xFF) << 16);
}

class TBitmapCanvas;

class TBitmap : public TPersistent {
    RTL_DECLARE_CLASS()
    TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    ~TBitmap() override;

    // Copies another bitmap's pixels, size and transparency; nil empties.
    void Assign(const TPersistent* source) override;
    // Trades pixels, size and transparency with another bitmap (no copying);
    // both tell OnChange.
    void swap(TBitmap& other);

    int Width() const { return Width_; }
    int Height() const { return Height_; }
    bool Empty() const { return Width_ == 0 || Height_ == 0; }
    // Keeps the pixels that stay inside; new ones are 0 (black, alpha 0).
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, Height_); }
    void SetHeight(int height) { SetSize(Width_, height); }

    // The pixels of one row, after pending drawing has reached them. A writer
    // calls Changed when done.
    uint32_t* ScanLine(int row);
    const uint32_t* ScanLine(int row) const;
    HBITMAP Handle() const { return Handle_; }
    TCanvas* Canvas();

    // Whether the fourth bytes carry per-pixel alpha. Without it the picture
    // is opaque (GDI drawing leaves the fourth byte undefined).
    bool HasAlpha() const { return HasAlpha_; }
    void SetHasAlpha(bool hasAlpha);
    // The colour drawn as transparent; clNone when none.
    TColor TransparentColor() const { return TransparentColor_; }
    void SetTransparentColor(TColor color);
    bool Transparent() const { return TransparentColor_ != clNone; }

    // Draws the picture stretched to the rectangle of a device context: with
    // alpha (HasAlpha) or a transparent colour blended over what is there,
    // otherwise copied.
    void DrawTo(HDC dc, const RECT& rect);

    void Changed() { OnChange(this); }
    TNotifyEvent OnChange;

private:
    // SetSize without telling OnChange.
    void resize(int width, int height);
    // A blank DIB section of the size; the bits are set.
    static HBITMAP createSection(int width, int height, uint32_t*& bits);
    // A copy with the alpha that drawing uses, premultiplied as AlphaBlend wants it.
    HBITMAP premultipliedCopy() const;
    void canvasChanged(TObject*) { Changed(); }

    int Width_ = 0;
    int Height_ = 0;
    HBITMAP Handle_ = nullptr;
    uint32_t* Bits_ = nullptr;
    bool HasAlpha_ = false;
    TColor TransparentColor_ = clNone;
    std::unique_ptr<TBitmapCanvas> Canvas_;
};

// The canvas of a bitmap: a memory context with the bitmap selected, made on
// first use and let go whenever the bitmap changes its DIB section.
class TBitmapCanvas : public TCanvas {
    RTL_DECLARE_CLASS()
    explicit TBitmapCanvas(TBitmap* bitmap) : Bitmap_(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }
    void FreeContext();

protected:
    void CreateHandle() override;

private:
    TBitmap* Bitmap_;
    HGDIOBJ OldBitmap_ = nullptr;
};
