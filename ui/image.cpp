// The picture control: paints its picture, repainted on every change of it;
// bitmap resources read through the picture's BMP decoder.
#include "ui/image.h"

#include <cstring>
#include <string>

const TClassInfo TImage::classInfo = makeClassInfo("TImage", &TGraphicControl::classInfo);

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    UpdateBoundsFields(0, 0, 105, 105);
    Picture_.OnChange = TNotifyEvent::bind<&TImage::pictureChanged>(this);
}

void TImage::SetStretch(bool value) {
    if (value == Stretch_) return;
    Stretch_ = value;
    Invalidate();
}

void TImage::Paint() {
    TBitmap* bitmap = Picture_.Bitmap();
    TRect r = Stretch_ ? ClientRect() : TRect{0, 0, bitmap->Width(), bitmap->Height()};
    bitmap->DrawTo(Canvas()->Handle(), r);
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
