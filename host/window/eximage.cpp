// The tiled picture and the image element: loading, the mask, painting.
#include "host/window/eximage.h"

#include <algorithm>

#include "host/window/translucent.h"
#include "rtl/filepath.h"

namespace {

const char* const transparentObjectNames[] = {"toSelf", "toWindow"};

const TPropInfo exImageProperties[] = {
    BoolProperty<&TControl::Visible, &TControl::SetVisible>("Visible", 1),
    IntegerProperty<&TExImage::Transparency, &TExImage::SetTransparency>("transparency", 255),
    StringProperty<&TControl::Hint, &TControl::SetHint>("toolTip"),
    StringProperty<&TExImage::Src, &TExImage::SetSrc>("src"),
    EnumProperty<&TExImage::TransparentObject, &TExImage::SetTransparentObject>("transparentObject",
                                                                                &TransparentObjectInfo, toSelf),
    BoolProperty<&TExImage::Stretch, &TExImage::SetStretch>("Stretch", 0),
    BoolProperty<&TExImage::AutoSize, &TExImage::SetAutoSize>("autoSize", 1),
    MethodProperty<&TControl::OnClick, &TControl::OnClick>("OnClick", &NotifyEventType),
    MethodProperty<&TControl::OnDblClick, &TControl::OnDblClick>("OnDblClick", &NotifyEventType),
    MethodProperty<&TControl::OnMouseDown, &TControl::OnMouseDown>("OnMouseDown", &MouseEventType),
    MethodProperty<&TControl::OnMouseMove, &TControl::OnMouseMove>("OnMouseMove", &MouseMoveEventType),
    MethodProperty<&TControl::OnMouseUp, &TControl::OnMouseUp>("OnMouseUp", &MouseEventType),
    MethodProperty<&TExImage::OnMouseEnter, &TExImage::OnMouseEnter>("OnMouseEnter", &NotifyEventType),
    MethodProperty<&TExImage::OnMouseLeave, &TExImage::OnMouseLeave>("OnMouseLeave", &NotifyEventType),
};

}  // namespace

const TEnumInfo TransparentObjectInfo{"TTransparentObject", transparentObjectNames, 2};

const TClassInfo TTileImage::classInfo =
    makeClassInfo("TTileImage", &TGraphicControl::classInfo, &componentCreator<TTileImage>);
const TClassInfo TExImage::classInfo =
    makeClassInfo("TExImage", &TGraphicControl::classInfo, exImageProperties, &componentCreator<TExImage>);

// ==== TTileImage ====

TTileImage::TTileImage(TComponent* owner) : TGraphicControl(owner) {
    UpdateBoundsFields(0, 0, 105, 105);
    Picture_.OnChange = TNotifyEvent::bind<&TTileImage::pictureChanged>(this);
}

void TTileImage::pictureChanged(TObject*) {
    if (!Painting_) Invalidate();
}

void TTileImage::SetTileImage(bool value) {
    TileImage_ = value;
    Invalidate();
}

void TTileImage::Paint() {
    const TBitmap& bitmap = *Picture_.Bitmap();
    if (bitmap.Empty()) return;
    Painting_ = true;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{Painting_};
    HDC source = const_cast<TBitmap&>(bitmap).Canvas()->Handle();
    int stepX = TileImage_ ? bitmap.Width() : Width() + 1, stepY = TileImage_ ? bitmap.Height() : Height() + 1;
    for (int y = 0; y < Height(); y += stepY)
        for (int x = 0; x < Width(); x += stepX)
            BitBlt(Canvas()->Handle(), x, y, bitmap.Width(), bitmap.Height(), source, 0, 0, SRCCOPY);
}

// ==== TExImage ====

TExImage::TExImage(TComponent* owner) : TGraphicControl(owner) {
    UpdateBoundsFields(0, 0, 105, 105);
    SetShowHint(true);
}

void TExImage::SetSrc(const AnsiString& path) {
    AnsiString file = expandFileNameFrom(path, fileFolder(ScriptFileName));
    if (!fileExists(file)) return;
    Source_.LoadFromFile(file);
    Src_ = file;
    const TBitmap& picture = *Source_.Bitmap();
    Shown_.Assign(&picture);
    Shown_.SetHasAlpha(false);
    Opaque_ = !picture.HasAlpha();
    if (AutoSize_) SetBounds(Left(), Top(), picture.Width(), picture.Height());
    BaseAlpha_ = alphaOf(picture);
    Mask_ = imageMask(BaseAlpha_, Transparency_);
    Invalidate();
}

void TExImage::SetTransparency(int value) {
    Transparency_ = std::clamp(value, 0, 255);
    if (!Shown_.Empty()) Mask_ = imageMask(BaseAlpha_, Transparency_);
    Invalidate();
}

void TExImage::SetTransparentObject(TTransparentObject value) {
    TransparentObject_ = value;
    SetTransparency(Transparency_);
}

void TExImage::SetStretch(bool value) {
    Stretch_ = value;
    Invalidate();
}

bool TExImage::WindowMask(TMaskPlacement& placement) const {
    if (TransparentObject_ != toWindow || !Visible() || Mask_.width() == 0) return false;
    placement = {&Mask_, Left(), Top(), Stretch_ ? Width() : Mask_.width(), Stretch_ ? Height() : Mask_.height()};
    return true;
}

TAlphaMap TExImage::areaMask() const {
    if (!Stretch_) return Mask_;
    TAlphaMap area(Width(), Height(), 0);
    stretchMaskInto(area, {&Mask_, 0, 0, Width(), Height()});
    return area;
}

void TExImage::drawPicture() {
    RECT bounds = Stretch_ ? RECT{0, 0, Width(), Height()} : RECT{0, 0, Shown_.Width(), Shown_.Height()};
    Shown_.DrawTo(Canvas()->Handle(), bounds);
}

void TExImage::Paint() {
    if (Shown_.Empty()) return;
    if (TransparentObject_ == toWindow || (Opaque_ && Transparency_ == 255)) return drawPicture();
    PaintTranslucent(Canvas(), Buffers_, Width(), Height(), [this] { drawPicture(); },
                     [this](TBitmap& beneath, TBitmap& painted) { BlendByMask(beneath, painted, areaMask()); });
}
