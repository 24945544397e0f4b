// The 32-bit bitmap: its DIB section, resizing, copying, drawing with alpha,
// and its canvas's memory context.
#include "ui/bitmap.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

void checkPictureSize(int64_t width, int64_t height) {
    if (width < 0 || height < 0) {
        throw EInvalidGraphic(AnsiString("Invalid picture size: " + std::to_string(width) + " x " +
                                         std::to_string(height)));
    }
    if (width > MaxPictureSide || height > MaxPictureSide || width * height > MaxPicturePixels) {
        throw EInvalidGraphic(AnsiString("Picture too large: " + std::to_string(width) + " x " +
                                         std::to_string(height)));
    }
}

// ==== TBitmap ====

const TClassInfo TBitmap::classInfo = makeClassInfo("TBitmap", &TPersistent::classInfo);

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    Canvas_.reset();
    if (Handle_) DeleteObject(Handle_);
}

HBITMAP TBitmap::createSection(int width, int height, uint32_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!section) {
        throw EOutOfMemory(AnsiString("Out of memory for a picture of " + std::to_string(width) + " x " +
                                      std::to_string(height)));
    }
    bits = static_cast<uint32_t*>(pixels);
    return section;
}

void TBitmap::SetSize(int width, int height) {
    if (width == Width_ && height == Height_) return;
    resize(width, height);
    Changed();
}

void TBitmap::resize(int width, int height) {
    checkPictureSize(width, height);
    uint32_t* bits = nullptr;
    HBITMAP section = width > 0 && height > 0 ? createSection(width, height, bits) : nullptr;
    if (Canvas_) Canvas_->FreeContext();
    if (Handle_ && section) {
        GdiFlush();
        int keepWidth = std::min(width, Width_);
        for (int y = 0; y < std::min(height, Height_); ++y) {
            std::memcpy(bits + static_cast<size_t>(y) * width, Bits_ + static_cast<size_t>(y) * Width_,
                        static_cast<size_t>(keepWidth) * 4);
        }
    }
    if (Handle_) DeleteObject(Handle_);
    Handle_ = section;
    Bits_ = bits;
    Width_ = width;
    Height_ = height;
}

uint32_t* TBitmap::ScanLine(int row) {
    return const_cast<uint32_t*>(static_cast<const TBitmap*>(this)->ScanLine(row));
}

const uint32_t* TBitmap::ScanLine(int row) const {
    if (!Bits_ || row < 0 || row >= Height_) {
        throw EInvalidGraphicOperation(AnsiString("Scan line index out of range (" + std::to_string(row) + ")"));
    }
    GdiFlush();
    return Bits_ + static_cast<size_t>(row) * Width_;
}

TCanvas* TBitmap::Canvas() {
    if (!Canvas_) {
        Canvas_ = std::make_unique<TBitmapCanvas>(this);
        Canvas_->OnChange = TNotifyEvent::bind<&TBitmap::canvasChanged>(this);
    }
    return Canvas_.get();
}

void TBitmap::SetHasAlpha(bool hasAlpha) {
    if (HasAlpha_ == hasAlpha) return;
    HasAlpha_ = hasAlpha;
    Changed();
}

void TBitmap::SetTransparentColor(TColor color) {
    if (TransparentColor_ == color) return;
    TransparentColor_ = color;
    Changed();
}

void TBitmap::Assign(const TPersistent* source) {
    if (source && !dynamic_cast<const TBitmap*>(source)) return TPersistent::Assign(source);
    const auto* bitmap = static_cast<const TBitmap*>(source);
    if (bitmap == this) return;
    resize(bitmap ? bitmap->Width_ : 0, bitmap ? bitmap->Height_ : 0);
    if (!Empty()) {
        GdiFlush();
        std::memcpy(Bits_, bitmap->Bits_, static_cast<size_t>(Width_) * Height_ * 4);
    }
    HasAlpha_ = bitmap && bitmap->HasAlpha_;
    TransparentColor_ = bitmap ? bitmap->TransparentColor_ : clNone;
    Changed();
}

void TBitmap::swap(TBitmap& other) {
    if (Canvas_) Canvas_->FreeContext();
    if (other.Canvas_) other.Canvas_->FreeContext();
    std::swap(Width_, other.Width_);
    std::swap(Height_, other.Height_);
    std::swap(Handle_, other.Handle_);
    std::swap(Bits_, other.Bits_);
    std::swap(HasAlpha_, other.HasAlpha_);
    std::swap(TransparentColor_, other.TransparentColor_);
    Changed();
    other.Changed();
}

HBITMAP TBitmap::premultipliedCopy() const {
    uint32_t* bits = nullptr;
    HBITMAP copy = createSection(Width_, Height_, bits);
    const uint32_t* source = ScanLine(0);
    COLORREF key = Transparent() ? ColorToRGB(TransparentColor_) : CLR_INVALID;
    for (size_t i = 0, n = static_cast<size_t>(Width_) * Height_; i < n; ++i) {
        uint32_t pixel = source[i];
        unsigned alpha = HasAlpha_ ? pixelAlpha(pixel) : 255;
        if (!HasAlpha_ && static_cast<COLORREF>(pixelColor(pixel)) == key) alpha = 0;
        auto scale = [alpha](uint32_t channel) { return (channel * alpha + 127) / 255; };
        bits[i] = alpha << 24 | scale(pixel >> 16 & 0xFF) << 16 | scale(pixel >> 8 & 0xFF) << 8 | scale(pixel & 0xFF);
    }
    return copy;
}

void TBitmap::DrawTo(HDC dc, const RECT& rect) {
    if (Empty()) return;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC source = CreateCompatibleDC(dc);
    if (!HasAlpha_ && !Transparent()) {
        GdiFlush();
        HGDIOBJ old = SelectObject(source, Handle_);
        int mode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, rect.left, rect.top, width, height, source, 0, 0, Width_, Height_, SRCCOPY);
        SetStretchBltMode(dc, mode);
        SelectObject(source, old);
    } else {
        HBITMAP copy = premultipliedCopy();
        HGDIOBJ old = SelectObject(source, copy);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc, rect.left, rect.top, width, height, source, 0, 0, Width_, Height_, blend);
        SelectObject(source, old);
        DeleteObject(copy);
    }
    DeleteDC(source);
}

// ==== TBitmapCanvas ====

const TClassInfo TBitmapCanvas::classInfo = makeClassInfo("TBitmapCanvas", &TCanvas::classInfo);

void TBitmapCanvas::CreateHandle() {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    if (Bitmap_->Handle()) OldBitmap_ = SelectObject(dc, Bitmap_->Handle());
    SetHandle(dc);
}

void TBitmapCanvas::FreeContext() {
    if (!HandleAllocated()) return;
    HDC dc = currentHandle();
    SetHandle(nullptr);
    if (OldBitmap_) SelectObject(dc, std::exchange(OldBitmap_, nullptr));
    DeleteDC(dc);
}
