// Hiding the taskbar button of the main form.
#include "host/app/iconhide.h"

namespace {

// The window's extended style as it was first seen, kept once per process.
LONG_PTR startStyle(HWND window) {
    static const LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
    return style;
}

}  // namespace

const TClassInfo TIconHide::classInfo = makeClassInfo("TIconHide", &TComponent::classInfo);

TIconHide::TIconHide(TCustomForm* owner) : TComponent(owner), Form_(owner) { SetHidden(true); }

// The taskbar notices a changed style only when the window is shown again; a
// hidden form stays hidden.
void TIconHide::SetHidden(bool value) {
    if (value == Hidden_) return;
    Hidden_ = value;
    HWND window = Form_->Handle();
    LONG_PTR style = startStyle(window);
    bool shown = IsWindowVisible(window);
    if (shown) ShowWindow(window, SW_HIDE);
    SetWindowLongPtrA(window, GWL_EXSTYLE, value ? style | WS_EX_TOOLWINDOW | WS_EX_TOPMOST : style);
    if (shown) ShowWindow(window, SW_SHOWNA);
}
