// The layered window update and the system font.
#include "host/window/layerwindow.h"

const TClassInfo TLayerWindow::classInfo = makeClassInfo("TLayerWindow", &TComponent::classInfo);

TLayerWindow::TLayerWindow(TComponent* owner, TWinControl* window) : TComponent(owner), Window_(window) {
    HWND handle = Window_->Handle();
    SetWindowLongPtrA(handle, GWL_EXSTYLE, GetWindowLongPtrA(handle, GWL_EXSTYLE) | WS_EX_LAYERED);
}

void TLayerWindow::UpdateLayered() {
    if (LayerBmp.Width() == 0) return;
    premultiplyLayer(LayerBmp, AlphaBmp, Invert, Buffer_);
    SIZE size{Buffer_.Width(), Buffer_.Height()};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // No destination: the window stays where it is.
    UpdateLayeredWindow(Window_->Handle(), nullptr, nullptr, &size, Buffer_.Canvas()->Handle(), &source, 0, &blend,
                        ULW_ALPHA);
}

void SetSystemFont(TFont* font) {
    LOGFONTA logFont{};
    if (!SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof logFont, &logFont, 0))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
    font->AssignLogFont(logFont);
}
