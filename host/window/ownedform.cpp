// Satellite windows: placement over the element's part inside the widget
// window, following the window's moves and shrinks, showing, constant alpha.
#include "host/window/ownedform.h"

#include <algorithm>
#include <vector>

#include "host/window/skinform.h"
#include "ui/panel.h"

const TClassInfo TOwnedForm::classInfo = makeClassInfo("TOwnedForm", &TForm::classInfo);

TOwnedForm::TOwnedForm(TSkinForm* window) : TForm(window), Window_(window) {
    SetCaption("OwnedForm");
    SetBorderStyle(bsNone);
    setVisibleFlag(false);
    SetPopupParent(window);
    Panel = new TPanel(this);
    Panel->SetParent(this);
    Panel->SetBevelOuter(bvNone);
    Font()->Assign(window->Font());
    SetBounds(window->Left(), window->Top(), 0, 0);
    Panel->SetBounds(0, 0, 0, 0);
    HandleNeeded();  // hidden or not, the satellite's window is there with the element's
}

void TOwnedForm::CreateWnd() {
    TForm::CreateWnd();
    applyAlpha();
}

// An opaque satellite is an ordinary window: a layered one paints its
// children only through the platform's blending.
void TOwnedForm::applyAlpha() {
    if (!HandleAllocated()) return;
    HWND handle = Handle();
    LONG_PTR style = GetWindowLongPtrA(handle, GWL_EXSTYLE);
    bool layered = Transparency_ < 255;
    SetWindowLongPtrA(handle, GWL_EXSTYLE, layered ? style | WS_EX_LAYERED : style & ~WS_EX_LAYERED);
    if (layered) SetLayeredWindowAttributes(handle, 0, static_cast<BYTE>(Transparency_), LWA_ALPHA);
    else  // the window and its children are drawn again without the blending
        RedrawWindow(handle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

// The widget window itself blends at constant alpha 255: the satellite's
// alpha is its own transparency.
void TOwnedForm::SetTransparency(int value) {
    value = std::clamp(value, 0, 255);
    if (value == Transparency_) return;
    Transparency_ = value;
    applyAlpha();
}

void TOwnedForm::PlaceElement(int left, int top, int width, int height) {
    RECT window, inside;
    GetWindowRect(Window_->Handle(), &window);
    RECT element{window.left + left, window.top + top, window.left + left + width, window.top + top + height};
    if (IntersectRect(&inside, &element, &window)) {
        SetBounds(inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top);
        Panel->SetBounds(element.left - inside.left, element.top - inside.top, width, height);
    } else {
        SetBounds(Left(), Top(), 0, 0);
    }
    UpdateShowing();
}

void TOwnedForm::SetElementVisible(bool value) {
    ElementVisible_ = value;
    UpdateShowing();
}

void TOwnedForm::UpdateShowing() {
    SetVisible(ElementVisible_ && Window_->Visible() && Width() > 0 && Height() > 0 && Panel->ControlCount() > 0);
}

void TOwnedForm::WindowMoved(int dx, int dy) { SetBounds(Left() + dx, Top() + dy, Width(), Height()); }

void TOwnedForm::WindowResized() {
    RECT window;
    GetWindowRect(Window_->Handle(), &window);
    int width = std::max(0, std::min<int>(Width(), window.right - Left()));
    int height = std::max(0, std::min<int>(Height(), window.bottom - Top()));
    SetBounds(Left(), Top(), width, height);
    UpdateShowing();
}

TOwnedForm* SatelliteOf(const TControl* control) {
    TWinControl* panel = control ? control->Parent() : nullptr;
    auto* satellite = panel ? dynamic_cast<TOwnedForm*>(panel->Parent()) : nullptr;
    return satellite && satellite->Panel == panel ? satellite : nullptr;
}

// ==== TSatellites ====

template <class F>
void TSatellites::forEach(F&& action) {
    std::vector<TOwnedForm*> satellites;
    for (int i = 0; i < Window_->ComponentCount(); ++i)
        if (auto* satellite = dynamic_cast<TOwnedForm*>(Window_->Components(i))) satellites.push_back(satellite);
    for (TOwnedForm* satellite : satellites) action(*satellite);
}

void TSatellites::UpdateShowing() {
    forEach([](TOwnedForm& satellite) { satellite.UpdateShowing(); });
}

void TSatellites::WindowMoved(int dx, int dy) {
    forEach([=](TOwnedForm& satellite) { satellite.WindowMoved(dx, dy); });
}

void TSatellites::WindowResized() {
    forEach([](TOwnedForm& satellite) { satellite.WindowResized(); });
}

void TSatellites::SetTransparency(int value) {
    forEach([=](TOwnedForm& satellite) { satellite.SetTransparency(value); });
}

void TSatellites::SetFont(TFont* font) {
    forEach([=](TOwnedForm& satellite) { satellite.Font()->Assign(font); });
}

void TSatellites::Free() {
    forEach([](TOwnedForm& satellite) { satellite.Free(); });
}

TOwnedForm* TSatellites::Vacant() {
    TOwnedForm* vacant = nullptr;
    forEach([&](TOwnedForm& satellite) {
        if (!vacant && satellite.Panel->ControlCount() == 0) vacant = &satellite;
    });
    return vacant;
}
