// Loading pictures: the format from the file's signature, then its decoder
// into a fresh bitmap that replaces the picture's only when it succeeded.
#include "ui/picture.h"

#include "rtl/fileio.h"
#include "ui/decoders.h"

namespace {

struct Decoder {
    std::string_view signature;
    TGraphicFormat format;
    void (*decode)(std::string_view, TBitmap&);
};

const Decoder decoders[] = {
    {"BM", gfBitmap, &decodeBmp},
    {"\x89PNG\r\n\x1A\n", gfPng, &decodePng},
    {"\xFF\xD8\xFF", gfJpeg, &decodeJpeg},
    {"GIF8", gfGif, &decodeGif},
};

}  // namespace

namespace {

const char* const progressStageNames[] = {"psStarting", "psRunning", "psEnding"};

}  // namespace

const TEnumInfo ProgressStageInfo{"TProgressStage", progressStageNames, 3};
const TMethodTypeInfo ProgressEventType{"TProgressEvent"};

const TClassInfo TPicture::classInfo = makeClassInfo("TPicture", &TPersistent::classInfo);

TPicture::TPicture() { Bitmap_.OnChange = TNotifyEvent::bind<&TPicture::bitmapChanged>(this); }

void TPicture::LoadFromFile(const AnsiString& path) { LoadFromBytes(readFileBytes(path)); }

void TPicture::LoadFromBytes(std::string_view data) {
    for (const Decoder& decoder : decoders) {
        if (!data.starts_with(decoder.signature)) continue;
        OnProgress(this, psStarting, 0, false, RECT{}, AnsiString());
        TBitmap decoded;
        decoder.decode(data, decoded);
        Format_ = decoder.format;
        Bitmap_.swap(decoded);
        OnProgress(this, psEnding, 100, true, RECT{0, 0, Width(), Height()}, AnsiString());
        return;
    }
    throw EInvalidGraphic("Unknown picture format");
}

void TPicture::Assign(const TPersistent* source) {
    if (const auto* picture = dynamic_cast<const TPicture*>(source)) {
        Format_ = picture->Format_;
        Bitmap_.Assign(&picture->Bitmap_);
    } else if (!source || dynamic_cast<const TBitmap*>(source)) {
        Format_ = gfNone;
        Bitmap_.Assign(source);
    } else {
        TPersistent::Assign(source);
    }
}
