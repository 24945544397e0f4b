// The picture controls of a widget window: TTileImage, a picture drawn once or
// tiled (the base of the window's background), and TExImage, the image element
// (script class "image") with its own alpha: the picture's alpha scaled by the
// element's `transparency`, blended over what lies beneath it (`toSelf`) or
// given to the window's alpha under it (`toWindow`, host/window/layeralpha.h).
#pragma once

#include "host/window/layeralpha.h"
#include "host/window/translucent.h"
#include "ui/controls.h"
#include "ui/picture.h"

class TTileImage : public TGraphicControl {
    RTL_DECLARE_CLASS()
    explicit TTileImage(TComponent* owner);

    TPicture* Picture() { return &Picture_; }
    bool TileImage() const { return TileImage_; }
    void SetTileImage(bool value);

protected:
    ~TTileImage() override = default;
    // The picture's colour bytes as they are, from the top left; an empty
    // picture draws nothing.
    void Paint() override;

private:
    void pictureChanged(TObject*);

    TPicture Picture_;
    bool TileImage_ = false;
    bool Painting_ = false;
};

enum TTransparentObject : uint8_t { toSelf, toWindow };
extern const TEnumInfo TransparentObjectInfo;

class TExImage : public TGraphicControl {
    RTL_DECLARE_CLASS()
    explicit TExImage(TComponent* owner);

    // The widget's XML file: relative `src` paths are read from its folder.
    AnsiString ScriptFileName;

    // ---- Published ----
    const AnsiString& Src() const { return Src_; }
    // Loads the picture; a missing file changes nothing, one that cannot be
    // decoded raises EInvalidGraphic and leaves the picture as it was.
    void SetSrc(const AnsiString& path);
    int Transparency() const { return Transparency_; }
    void SetTransparency(int value);  // clamped to 0..255
    TTransparentObject TransparentObject() const { return TransparentObject_; }
    void SetTransparentObject(TTransparentObject value);
    bool AutoSize() const { return AutoSize_; }
    void SetAutoSize(bool value) { AutoSize_ = value; }
    bool Stretch() const { return Stretch_; }
    void SetStretch(bool value);

    // ---- Alpha ----
    // The picture's alpha scaled by `transparency`: floor(t / 255 * a).
    const TAlphaMap& Mask() const { return Mask_; }
    // Where a visible `toWindow` image puts its mask on its parent; false for others.
    bool WindowMask(TMaskPlacement& placement) const;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    ~TExImage() override = default;
    // Ordinary for `toWindow` and for an opaque picture at full transparency;
    // else blended by the mask over what lies beneath.
    void Paint() override;
    void MouseEnter() override { OnMouseEnter(this); }
    void MouseLeave() override { OnMouseLeave(this); }

private:
    void drawPicture();
    // The mask over the control's area: stretched with the picture, else at
    // its top left (what lies outside the picture keeps what is beneath).
    TAlphaMap areaMask() const;

    AnsiString Src_;
    TPicture Source_;  // the picture as loaded
    TBitmap Shown_;    // its colours without alpha, with its transparent colour
    TAlphaMap BaseAlpha_;
    TAlphaMap Mask_;
    bool Opaque_ = true;  // the picture has no alpha of its own
    int Transparency_ = 255;
    TTransparentObject TransparentObject_ = toSelf;
    bool AutoSize_ = true;
    bool Stretch_ = false;
    TTranslucentBuffers Buffers_;
};
