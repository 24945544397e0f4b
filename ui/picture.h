// TPicture: a picture loaded from a BMP, PNG, JPEG or GIF file into a 32-bit
// bitmap (ui/bitmap.h) with the file's transparency. Image controls and the
// widget host's backgrounds and image elements hold one.
#pragma once

#include <string_view>

#include "ui/bitmap.h"

enum TGraphicFormat : uint8_t { gfNone, gfBitmap, gfPng, gfJpeg, gfGif };

// The progress of loading a picture: R is the part ready to be shown.
enum TProgressStage : uint8_t { psStarting, psRunning, psEnding };
extern const TEnumInfo ProgressStageInfo;
using TProgressEvent = TEvent<void(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow,
                                   const RECT& R, const AnsiString& Msg)>;
extern const TMethodTypeInfo ProgressEventType;

class TPicture : public TPersistent {
    RTL_DECLARE_CLASS()
    TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Reads a picture file. Its first bytes tell the format, so a file named
    // with the wrong extension still loads. A file that cannot be decoded
    // raises EInvalidGraphic and leaves the picture as it was. The decoding
    // is OnProgress's psStarting; the picture in place, its psEnding.
    void LoadFromFile(const AnsiString& path);
    void LoadFromBytes(std::string_view data);
    // Copies a picture or a bitmap; nil clears.
    void Assign(const TPersistent* source) override;

    // The picture's pixels (empty when there is none).
    TBitmap* Bitmap() { return &Bitmap_; }
    const TBitmap* Bitmap() const { return &Bitmap_; }
    // The format of the file it came from; gfNone for none or a copied bitmap.
    TGraphicFormat Format() const { return Format_; }
    int Width() const { return Bitmap_.Width(); }
    int Height() const { return Bitmap_.Height(); }

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

private:
    void bitmapChanged(TObject*) { OnChange(this); }

    TBitmap Bitmap_;
    TGraphicFormat Format_ = gfNone;
};
