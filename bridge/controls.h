// TJVCLControl and TJVCLWinControl: the wrappers of controls and window
// controls, with the `parent` link and the constructor's parent argument. The
// caster gives them to controls no more specific wrapper covers; the bridge's
// control wrappers and the widget host's elements derive from them.
#pragma once

#include "bridge/component.h"

class TControl;
class TWinControl;

class TJVCLControl : public TJVCLComponent {
    RTL_DECLARE_CLASS()
    TJVCLControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // The linked object as a control; nil when none.
    TControl* WrappedControl() const;
    const TClassInfo* VCLClass() const override;

    // ---- Published ----
    // The parent's wrapper; nil without object or parent.
    TObject* ParentWrapper() const;
    // A window-control wrapper becomes the parent, null removes it.
    void SetParentWrapper(TObject* parent);

protected:
    // After the object is made: a window-control wrapper as the first
    // argument becomes the parent (new VCLButton(form)).
    void Construct(TJValueList* args) override;
};

class TJVCLWinControl : public TJVCLControl {
    RTL_DECLARE_CLASS()
    TJVCLWinControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // The linked object as a window control; nil when none.
    TWinControl* WrappedWinControl() const;
    const TClassInfo* VCLClass() const override;
};
