// TImage: a windowless control that shows a picture (ui/picture.h) at its
// natural size from the top left, or stretched over the whole control; what
// the picture's alpha leaves open shows its parent's painting. Also the
// loading of a program's bitmap resource into a picture.
#pragma once

#include "ui/controls.h"
#include "ui/picture.h"

class TImage : public TGraphicControl {
    RTL_DECLARE_CLASS()
    explicit TImage(TComponent* owner);

    TPicture* Picture() { return &Picture_; }
    bool Stretch() const { return Stretch_; }
    void SetStretch(bool value);

protected:
    ~TImage() override = default;
    void Paint() override;

private:
    void pictureChanged(TObject*) { Invalidate(); }

    TPicture Picture_;
    bool Stretch_ = false;
};

// Loads the program's bitmap resource of that name; false (the picture as it
// was) when there is none or it cannot be read.
bool LoadBitmapResource(TPicture& picture, const char* name);
