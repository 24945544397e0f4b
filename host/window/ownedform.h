// TOwnedForm: the satellite window of an element that draws itself (an edit
// box, a web view). A layered widget window cannot hold such child windows,
// so each lives on a borderless constant-alpha window owned by the widget
// window, placed over the element's rectangle and clipped to the window.
// TSatellites is the widget window's view of its satellites: it hands them
// the window's show, hide, moves, shrinks, transparency and font.
#pragma once

#include "ui/forms.h"

class TPanel;
class TSkinForm;

class TOwnedForm : public TForm {
    RTL_DECLARE_CLASS()
    // Owned by the widget window, at its place, with its font.
    explicit TOwnedForm(TSkinForm* window);

    TSkinForm* Window() const { return Window_; }
    // Carries the element control; offset to show only the part of it that
    // lies inside the window.
    TPanel* Panel;

    // 0..255; the window's constant alpha.
    int Transparency() const { return Transparency_; }
    void SetTransparency(int value);

    // Places the satellite over the part of the element's rectangle
    // (relative to the widget window) that lies inside the window; with no
    // such part it has no area and hides.
    void PlaceElement(int left, int top, int width, int height);
    // The element's `visible`. The satellite shows only while this, its
    // widget window and some area inside the window are all there.
    bool ElementVisible() const { return ElementVisible_; }
    void SetElementVisible(bool value);

    // The widget window moved by (dx, dy): the satellite moves as much,
    // shown or not, so that it comes back in its place.
    void WindowMoved(int dx, int dy);
    // The widget window's size changed: the satellite shrinks to end at the
    // window's right and bottom edges (it does not grow back).
    void WindowResized();
    // Shows the satellite while its element is visible and on it, its
    // window is visible and it has an area; hides it otherwise.
    void UpdateShowing();

protected:
    ~TOwnedForm() override = default;
    void CreateWnd() override;
    int ShowCommand() const override { return SW_SHOWNOACTIVATE; }

private:
    void applyAlpha();

    TSkinForm* Window_;
    int Transparency_ = 255;
    bool ElementVisible_ = true;
};

// The satellite whose panel holds the control; nil when none.
TOwnedForm* SatelliteOf(const TControl* control);

// The satellites of a widget window: its owned TOwnedForms, in order.
class TSatellites {
public:
    explicit TSatellites(TSkinForm* window) : Window_(window) {}

    // The window was shown or hidden.
    void UpdateShowing();
    void WindowMoved(int dx, int dy);
    void WindowResized();
    void SetTransparency(int value);
    // Gives each satellite the font (the window's, after a font change).
    void SetFont(TFont* font);
    // Frees them all (the window is going).
    void Free();
    // A satellite whose panel holds no element any more; nil when none.
    TOwnedForm* Vacant();

private:
    template <class F>
    void forEach(F&& action);

    TSkinForm* Window_;
};
