// TLayerWindow: how a widget window reaches the screen. It holds the window's
// colour picture and alpha map, premultiplies the one by the other and hands
// the result to UpdateLayeredWindow. Also the system font routine of the
// host's windows. Owned by each widget window (host/window/skinform.h).
#pragma once

#include "host/window/layeralpha.h"
#include "ui/controls.h"

class TLayerWindow : public TComponent {
    RTL_DECLARE_CLASS()
    // Gives the window the layered extended style at once.
    TLayerWindow(TComponent* owner, TWinControl* window);

    TBitmap LayerBmp;    // the colour picture
    TAlphaMap AlphaBmp;  // the alpha of each pixel
    bool Invert = false;

    // Shows LayerBmp with AlphaBmp; nothing while the picture is empty.
    void UpdateLayered();
    // The premultiplied picture last handed to the window.
    const TBitmap& Buffer() const { return Buffer_; }

protected:
    ~TLayerWindow() override = default;

private:
    TWinControl* Window_;
    TBitmap Buffer_;  // the premultiplied picture last handed over
};

// Gives the font the system's icon-title font, else the default GUI font.
void SetSystemFont(TFont* font);
