// TIconHide: keeps the program's main window off the taskbar by giving it the
// tool-window and topmost extended styles. The main form owns one.
#pragma once

#include "ui/forms.h"

class TIconHide : public TComponent {
    RTL_DECLARE_CLASS()
    // The owner is the form whose window is hidden from the taskbar.
    explicit TIconHide(TCustomForm* owner);

    bool Hidden() const { return Hidden_; }
    void SetHidden(bool value);

protected:
    ~TIconHide() override = default;

private:
    TCustomForm* Form_;
    bool Hidden_ = false;
};
