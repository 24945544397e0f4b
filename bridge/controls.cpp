// The control and window-control wrappers: class names, accepted classes and
// the `parent` link.
#include "bridge/controls.h"

#include "bridge/caster.h"
#include "engine/core/valuelist.h"
#include "ui/controls.h"

namespace {

// Any script object reaches the setter, which answers the unsuitable ones.
const TPropInfo controlWrapperProperties[] = {
    ClassProperty<&TJVCLControl::ParentWrapper, &TJVCLControl::SetParentWrapper>("parent", &TJObject::classInfo),
};

}  // namespace

const TClassInfo TJVCLControl::classInfo = makeClassInfo("TJVCLControl", &TJVCLComponent::classInfo,
                                                         controlWrapperProperties, &scriptCreator<TJVCLControl>);
const TClassInfo TJVCLWinControl::classInfo =
    makeClassInfo("TJVCLWinControl", &TJVCLControl::classInfo, &scriptCreator<TJVCLWinControl>);

// ==== TJVCLControl ====

TJVCLControl::TJVCLControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLComponent(key, runtime, args) {
    SetClassName("VCLControl");
}

void TJVCLControl::Construct(TJValueList* args) {
    TJVCLComponent::Construct(args);
    if (!HasVCL() || !HasArgs(args) || !IsObjectValue(args->At(0))) return;
    TJObject* parent = args->At(0).ObjValue;
    if (parent->InheritsFrom(&TJVCLWinControl::classInfo)) SetParentWrapper(parent);
}

const TClassInfo* TJVCLControl::VCLClass() const { return &TControl::classInfo; }

TControl* TJVCLControl::WrappedControl() const {
    return HasVCL() && VCL()->InheritsFrom(&TControl::classInfo) ? static_cast<TControl*>(VCL()) : nullptr;
}

TObject* TJVCLControl::ParentWrapper() const {
    TControl* control = WrappedControl();
    return control ? Cast(control->Parent(), Runtime()) : nullptr;
}

void TJVCLControl::SetParentWrapper(TObject* parent) {
    CheckVCL(nullptr, 0);
    TWinControl* parentControl = nullptr;
    if (parent) {
        TJVCLPersistent* wrapper = static_cast<TJObject*>(parent)->InheritsFrom(&TJVCLPersistent::classInfo)
                                       ? static_cast<TJVCLPersistent*>(parent)
                                       : nullptr;
        if (!wrapper || !wrapper->HasVCL() || !wrapper->VCL()->InheritsFrom(&TWinControl::classInfo))
            RaiseArgumentsError();
        parentControl = static_cast<TWinControl*>(wrapper->VCL());
    }
    GuardVCL([&] { WrappedControl()->SetParent(parentControl); });
}

// ==== TJVCLWinControl ====

TJVCLWinControl::TJVCLWinControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLControl(key, runtime, args) {
    SetClassName("VCLWinControl");
}

const TClassInfo* TJVCLWinControl::VCLClass() const { return &TWinControl::classInfo; }

TWinControl* TJVCLWinControl::WrappedWinControl() const {
    return HasVCL() && VCL()->InheritsFrom(&TWinControl::classInfo) ? static_cast<TWinControl*>(VCL()) : nullptr;
}
