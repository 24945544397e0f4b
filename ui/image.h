// TImage: a windowless control that shows a picture (ui/picture.h): at its
// natural size from the top left, centred, stretched over the control, or
// scaled to fit it keeping its proportions; what the picture's alpha leaves
// open shows its parent's painting. Also the loading of a program's bitmap
// resource into a picture.
#pragma once

#include <memory>

#include "ui/controls.h"
#include "ui/picture.h"

class TImage : public TGraphicControl {
    RTL_DECLARE_CLASS()
    explicit TImage(TComponent* owner);

    TPicture* Picture() const { return Picture_.get(); }
    // Copies the picture.
    void SetPicture(TPicture* value) { Picture_->Assign(value); }
    // The control takes the picture's size whenever the picture changes.
    bool AutoSize() const { return AutoSize_; }
    void SetAutoSize(bool value);
    bool Center() const { return Center_; }
    void SetCenter(bool value);
    // Shrinks a picture larger than the control (with Stretch, also enlarges
    // one) to fit, keeping its proportions.
    bool Proportional() const { return Proportional_; }
    void SetProportional(bool value);
    bool Stretch() const { return Stretch_; }
    void SetStretch(bool value);
    // A picture without transparency of its own shows through where it has
    // the colour of its bottom left pixel.
    bool Transparent() const { return Transparent_; }
    void SetTransparent(bool value);
    // Where the picture is drawn, in the control's coordinates.
    TRect DestRect() const;

    // The picture's loading progress.
    TProgressEvent OnProgress;

protected:
    ~TImage() override = default;
    void Paint() override;

private:
    void pictureChanged(TObject*);
    void pictureProgress(TObject*, TProgressStage stage, uint8_t percentDone, bool redrawNow, const RECT& r,
                         const AnsiString& message);
    void changed(bool& field, bool value);

    std::unique_ptr<TPicture> Picture_;
    bool AutoSize_ = false;
    bool Center_ = false;
    bool Proportional_ = false;
    bool Stretch_ = false;
    bool Transparent_ = false;
};

// Loads the program's bitmap resource of that name; false (the picture as it
// was) when there is none or it cannot be read.
bool LoadBitmapResource(TPicture& picture, const char* name);
