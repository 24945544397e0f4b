// The picture control: its placement of the picture, painted again on every
// change of it; bitmap resources read through the picture's BMP decoder.
#include "ui/image.h"

#include <cstring>
#include <string>

#include "ui/controlprops.h"

TImage::TImage(TComponent* owner) : TGraphicControl(owner), Picture_(std::make_unique<TPicture>()) {
    UpdateBoundsFields(0, 0, 105, 105);
    Picture_->OnChange = TNotifyEvent::bind<&TImage::pictureChanged>(this);
    Picture_->OnProgress = TProgressEvent::bind<&TImage::pictureProgress>(this);
}

void TImage::pictureChanged(TObject*) {
    if (AutoSize_ && !Picture_->Bitmap()->Empty()) SetBounds(Left(), Top(), Picture_->Width(), Picture_->Height());
    Invalidate();
}

void TImage::pictureProgress(TObject*, TProgressStage stage, uint8_t percentDone, bool redrawNow, const RECT& r,
                             const AnsiString& message) {
    OnProgress(this, stage, percentDone, redrawNow, r, message);
}

void TImage::changed(bool& field, bool value) {
    if (value == field) return;
    field = value;
    Invalidate();
}

void TImage::SetAutoSize(bool value) {
    if (value == AutoSize_) return;
    AutoSize_ = value;
    pictureChanged(nullptr);
}

void TImage::SetCenter(bool value) { changed(Center_, value); }
void TImage::SetProportional(bool value) { changed(Proportional_, value); }
void TImage::SetStretch(bool value) { changed(Stretch_, value); }
void TImage::SetTransparent(bool value) { changed(Transparent_, value); }

TRect TImage::DestRect() const {
    int width = Picture_->Width(), height = Picture_->Height();
    int clientWidth = Width(), clientHeight = Height();
    if (Stretch_ || (Proportional_ && (width > clientWidth || height > clientHeight))) {
        if (Proportional_ && width > 0 && height > 0) {
            // The larger scale that still fits both sides.
            if (static_cast<int64_t>(clientWidth) * height <= static_cast<int64_t>(clientHeight) * width) {
                height = static_cast<int>(static_cast<int64_t>(clientWidth) * height / width);
                width = clientWidth;
            } else {
                width = static_cast<int>(static_cast<int64_t>(clientHeight) * width / height);
                height = clientHeight;
            }
        } else {
            width = clientWidth;
            height = clientHeight;
        }
    }
    TRect r{0, 0, width, height};
    if (Center_) OffsetRect(&r, (clientWidth - width) / 2, (clientHeight - height) / 2);
    return r;
}

// A picture keyed on its bottom left pixel is copied without the pixels of
// that colour.
void TImage::Paint() {
    TBitmap* bitmap = Picture_->Bitmap();
    if (bitmap->Empty()) return;
    TRect r = DestRect();
    HDC dc = Canvas()->Handle();
    if (!Transparent_ || bitmap->HasAlpha() || bitmap->Transparent()) return bitmap->DrawTo(dc, r);
    GdiFlush();
    UINT key = static_cast<UINT>(pixelColor(bitmap->ScanLine(bitmap->Height() - 1)[0]));
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap->Handle());
    TransparentBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source, 0, 0, bitmap->Width(),
                   bitmap->Height(), key);
    SelectObject(source, old);
    DeleteDC(source);
}

// A bitmap resource is a BMP file without its 14-byte file header: the
// header is put back in front, pointing past the colour table to the pixels.
bool LoadBitmapResource(TPicture& picture, const char* name) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(2));  // RT_BITMAP
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* dib = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    DWORD size = found ? SizeofResource(module, found) : 0;
    if (!dib || size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER info;
    std::memcpy(&info, dib, sizeof info);
    DWORD colors = info.biClrUsed ? info.biClrUsed : info.biBitCount <= 8 ? 1u << info.biBitCount : 0;
    DWORD masks = info.biCompression == BI_BITFIELDS && info.biSize == sizeof info ? 12 : 0;
    BITMAPFILEHEADER file{0x4D42, DWORD(sizeof file + size), 0, 0, DWORD(sizeof file + info.biSize + masks + colors * 4)};
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(dib, size);
    try {
        picture.LoadFromBytes(bytes);
    } catch (const Exception&) {
        return false;
    }
    return true;
}

// ==== Published properties ====

namespace {

using namespace published;

const TPropInfo imageProperties[] = {
    Left, Top, Width, Height, Align, Anchors,
    BoolProperty<&TImage::AutoSize, &TImage::SetAutoSize>("AutoSize", 0),
    BoolProperty<&TImage::Center, &TImage::SetCenter>("Center", 0),
    Cursor, Enabled, Hint, ParentShowHint,
    ClassProperty<&TImage::Picture, &TImage::SetPicture>("Picture", &TPicture::classInfo),
    PopupMenu,
    BoolProperty<&TImage::Proportional, &TImage::SetProportional>("Proportional", 0),
    ShowHint,
    BoolProperty<&TImage::Stretch, &TImage::SetStretch>("Stretch", 0),
    BoolProperty<&TImage::Transparent, &TImage::SetTransparent>("Transparent", 0),
    Visible,
    OnClick, OnContextPopup, OnDblClick, OnDragDrop, OnDragOver, OnEndDock, OnEndDrag, OnMouseDown, OnMouseMove,
    OnMouseUp,
    MethodProperty<&TImage::OnProgress, &TImage::OnProgress>("OnProgress", &ProgressEventType),
    OnStartDock, OnStartDrag,
};

}  // namespace

const TClassInfo TImage::classInfo =
    makeClassInfo("TImage", &TGraphicControl::classInfo, imageProperties, &componentCreator<TImage>);
