// The control and window-control wrappers: their script methods, the
// `parent` link, the window-control properties and the shared hook parts.
#include "bridge/controls.h"

#include <utility>

#include "bridge/caster.h"
#include "bridge/wrapper.h"
#include "engine/lib/dynaconvert.h"
#include "stdlib/rectobject.h"
#include "ui/controls.h"
#include "ui/dragdrop.h"

// ==== Shared hook parts ====

namespace {

const TJHook clickRows[] = {On<"OnClick", TNotifyEvent>(), On<"OnDblClick", TNotifyEvent>()};
const TJHook dragRows[] = {
    On<"OnContextPopup", TContextPopupEvent>(), On<"OnDragDrop", TDragDropEvent>(),
    On<"OnDragOver", TDragOverEvent>(),         On<"OnEndDock", TEndDragEvent>(),
    On<"OnEndDrag", TEndDragEvent>(),
};
const TJHook mouseRows[] = {
    On<"OnMouseDown", TMouseEvent>(), On<"OnMouseMove", TMouseMoveEvent>(), On<"OnMouseUp", TMouseEvent>()};
const TJHook focusRows[] = {On<"OnEnter", TNotifyEvent>(), On<"OnExit", TNotifyEvent>()};
const TJHook keyRows[] = {On<"OnKeyDown", TKeyEvent>(), On<"OnKeyPress", TKeyPressEvent>(),
                          On<"OnKeyUp", TKeyEvent>()};
const TJHook startRows[] = {Ignore<"OnStartDock", TStartDragEvent>(), Ignore<"OnStartDrag", TStartDragEvent>()};
const TJHook dockRows[] = {Ignore<"OnDockDrop", TDragDropEvent>(), Ignore<"OnDockOver", TDragOverEvent>()};

void constrainedResize(void* data, TObject* sender, int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
    TJEventThunk<"OnConstrainedResize", void(TObject*, int&, int&, int&, int&)>::Call(data, sender, minWidth,
                                                                                       minHeight, maxHeight, maxWidth);
}

}  // namespace

const TJHookPart ClickHooks(clickRows);
const TJHookPart DragHooks(dragRows);
const TJHookPart MouseHooks(mouseRows);
const TJHookPart FocusHooks(focusRows);
const TJHookPart KeyHooks(keyRows);
const TJHookPart StartHooks(startRows);
const TJHookPart DockHooks(dockRows);

TJHook OnConstrainedResize() { return OnWith<"OnConstrainedResize", TConstrainedResizeEvent>(&constrainedResize); }

TPoint PointArgument(TJVCLPersistent& wrapper, const TJValue& value) {
    if (!IsObjectValue(value)) wrapper.RaiseArgumentsError();
    TJValue x, y;
    value.ObjValue->GetValue("x", false, x);
    value.ObjValue->GetValue("y", false, y);
    return TPoint{ValueToInteger(x), ValueToInteger(y)};
}

namespace {

void pointResult(TJRuntime* runtime, const TPoint& point, TJValue& result) {
    auto* box = static_cast<TJPoint*>(CreateScriptInstance(&TJPoint::classInfo, runtime, true, nullptr));
    box->SetX(point.x);
    box->SetY(point.y);
    MakeObject(box, result);
}

void castResult(TJVCLComponent& self, TPersistent* object, TJValue& result) {
    if (TJVCLPersistent* wrapper = Cast(object, self.Runtime())) MakeObject(wrapper, result);
    else MakeNull(result);
}

// ==== TJVCLControl ====

const TPropInfo controlWrapperProperties[] = {
    // Any script object reaches the setter, which answers the unsuitable ones.
    ClassProperty<&TJVCLControl::ParentWrapper, &TJVCLControl::SetParentWrapper>("parent", &TJObject::classInfo),
};

void clientToScreen(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TPoint point = PointArgument(self, args->At(0));
    self.GuardVCL([&] { point = static_cast<TControl*>(self.VCL())->ClientToScreen(point); });
    pointResult(self.Runtime(), point, result);
}

void screenToClient(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TPoint point = PointArgument(self, args->At(0));
    self.GuardVCL([&] { point = static_cast<TControl*>(self.VCL())->ScreenToClient(point); });
    pointResult(self.Runtime(), point, result);
}

void perform(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 3);
    LRESULT answer = 0;
    self.GuardVCL([&] {
        answer = static_cast<TControl*>(self.VCL())->Perform(static_cast<UINT>(ValueToInteger(args->At(0))),
                                                              ValueToAddress(args->At(1)),
                                                              static_cast<LPARAM>(ValueToAddress(args->At(2))));
    });
    AddressToValue(static_cast<uintptr_t>(answer), result);
}

const TJWrapperMethod controlMethods[] = {
    Call<&TControl::BringToFront>("bringToFront"),
    {"clientToScreen", 0, &clientToScreen},
    Call<&TControl::HasParent>("hasParent"),
    Call<&TControl::Hide>("hide"),
    Call<&TControl::Invalidate>("invalidate"),
    {"perform", 0, &perform},
    Call<&TControl::Refresh>("refresh"),
    Call<&TControl::Repaint>("repaint"),
    {"screenToClient", 0, &screenToClient},
    Call<&TControl::SendToBack>("sendToBack"),
    Call<&TControl::Show>("show"),
    Call<&TControl::Update>("update"),
    Call<&TControl::SetBounds>("setBounds"),
};

}  // namespace

const TClassInfo TJVCLControl::classInfo = makeClassInfo("TJVCLControl", &TJVCLComponent::classInfo,
                                                         controlWrapperProperties, &scriptCreator<TJVCLControl>);

TJVCLControl::TJVCLControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLComponent(key, runtime, args) {
    SetClassName("VCLControl");
}

const TJMethodTable& TJVCLControl::Methods() const {
    static const TJMethodTable table(controlMethods, TJVCLComponent::Methods());
    return table;
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

// A wrapper with no control stands for none; one whose control is no window
// control cannot hold children.
void TJVCLControl::SetParentWrapper(TObject* parent) {
    CheckVCL(nullptr, 0);
    TWinControl* parentControl = nullptr;
    if (parent) {
        TJVCLPersistent* wrapper = static_cast<TJObject*>(parent)->InheritsFrom(&TJVCLPersistent::classInfo)
                                       ? static_cast<TJVCLPersistent*>(parent)
                                       : nullptr;
        if (!wrapper || (wrapper->HasVCL() && !wrapper->VCL()->InheritsFrom(&TWinControl::classInfo)))
            RaiseArgumentsError();
        if (wrapper->HasVCL()) parentControl = static_cast<TWinControl*>(wrapper->VCL());
    }
    GuardVCL([&] { WrappedControl()->SetParent(parentControl); });
}

// ==== TJVCLWinControl ====

namespace {

int visibleDockClientCount(const TWinControl&) { return 0; }  // nothing docks onto our controls

HWND windowHandle(TWinControl& control) { return control.Handle(); }

const TPropInfo winControlWrapperProperties[] = {
    Forward<&TWinControl::ControlCount, nullptr, TJUnlinked::Zero>("ControlCount"),
    BoolProperty<&TJVCLWinControl::AcceptDrop, &TJVCLWinControl::SetAcceptDrop>("acceptDrop"),
    Forward<&windowHandle, nullptr, TJUnlinked::Zero>("handle"),
    Forward<&TWinControl::ParentWindow, &TWinControl::SetParentWindow, TJUnlinked::Zero>("ParentWindow"),
    Forward<&TWinControl::Showing, nullptr, TJUnlinked::Zero>("Showing"),
    Forward<&visibleDockClientCount, nullptr, TJUnlinked::Zero>("VisibleDockClientCount"),
};

TJVCLControl* controlWrapperOf(const TJValue& value) {
    TJVCLPersistent* wrapper = WrapperOfValue(value);
    return wrapper && wrapper->InheritsFrom(&TJVCLControl::classInfo) ? static_cast<TJVCLControl*>(wrapper)
                                                                     : nullptr;
}

void containsControl(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TJVCLControl* other = controlWrapperOf(args->At(0));
    TControl* control = other ? other->WrappedControl() : nullptr;
    MakeBool(control && static_cast<TWinControl*>(self.VCL())->ContainsControl(control), result);
}

void controlAtPos(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 2);
    TPoint point = PointArgument(self, args->At(0));
    bool allowWinControls = ArgCount(args) > 2 && ValueToBool(args->At(2));
    TControl* found = nullptr;
    self.GuardVCL([&] {
        found = static_cast<TWinControl*>(self.VCL())->ControlAtPos(point, ValueToBool(args->At(1)), allowWinControls);
    });
    castResult(self, found, result);
}

void findChildControl(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    castResult(self, static_cast<TWinControl*>(self.VCL())->FindChildControl(ValueToString(args->At(0)).view()),
               result);
}

void controls(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TControl* control = nullptr;
    self.GuardVCL([&] { control = static_cast<TWinControl*>(self.VCL())->Controls(ValueToInteger(args->At(0))); });
    castResult(self, control, result);
}

const TJWrapperMethod winControlMethods[] = {
    Call<&TWinControl::CanFocus>("canFocus"),
    {"containsControl", 0, &containsControl},
    {"controlAtPos", 0, &controlAtPos},
    Call<&TWinControl::DisableAlign>("disableAlign"),
    Call<&TWinControl::EnableAlign>("enableAlign"),
    {"findChildControl", 0, &findChildControl},
    Call<&TWinControl::FlipChildren>("flipChildren"),
    Call<&TWinControl::Focused>("focused"),
    Call<&TWinControl::HandleAllocated>("handleAllocated"),
    Call<&TWinControl::HandleNeeded>("handleNeeded"),
    Call<&TWinControl::Realign>("realign"),
    Call<&TWinControl::ScaleBy>("scaleBy"),
    // Scrolls the control's contents by the two amounts, as the window does.
    Call<&TWinControl::ScrollBy>("scrollBy"),
    Call<&TWinControl::SetFocus>("setFocus"),
    {"controls", 0, &controls},
};

}  // namespace

const TClassInfo TJVCLWinControl::classInfo =
    makeClassInfo("TJVCLWinControl", &TJVCLControl::classInfo, winControlWrapperProperties,
                  &scriptCreator<TJVCLWinControl>);

TJVCLWinControl::TJVCLWinControl(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLControl(key, runtime, args) {
    SetClassName("VCLWinControl");
}

TJVCLWinControl::~TJVCLWinControl() { freeDropTarget(); }

const TJMethodTable& TJVCLWinControl::Methods() const {
    static const TJMethodTable table(winControlMethods, TJVCLControl::Methods());
    return table;
}

// A read needs the object too ("VCL is null"); the check itself is not const.
bool TJVCLWinControl::AcceptDrop() const {
    const_cast<TJVCLWinControl*>(this)->CheckVCL(nullptr, 0);
    return DropTarget_ && DropTarget_->RegisteredWindow();
}

void TJVCLWinControl::SetAcceptDrop(bool value) {
    CheckVCL(nullptr, 0);
    if (!value) return freeDropTarget();
    if (!DropTarget_) {
        DropTarget_ = new TDragDropTarget(nullptr);
        DropTarget_->OnDragDropFiles =
            TDragDropFilesEvent(&TJEventThunk<"OnDragDropFiles", TDragDropFilesEvent::Signature>::Call, this);
        DropTarget_->OnDragDropText =
            TDragDropTextEvent(&TJEventThunk<"OnDragDropText", TDragDropTextEvent::Signature>::Call, this);
    }
    GuardVCL([&] { DropTarget_->SetTarget(WrappedWinControl()); });
}

void TJVCLWinControl::Unlinked() {
    TJVCLControl::Unlinked();
    freeDropTarget();
}

void TJVCLWinControl::freeDropTarget() {
    if (!DropTarget_) return;
    TDragDropTarget* target = std::exchange(DropTarget_, nullptr);
    target->Free();
}

const TClassInfo* TJVCLWinControl::VCLClass() const { return &TWinControl::classInfo; }

TWinControl* TJVCLWinControl::WrappedWinControl() const {
    return HasVCL() && VCL()->InheritsFrom(&TWinControl::classInfo) ? static_cast<TWinControl*>(VCL()) : nullptr;
}

// The drop events come from the wrapper's drop target, not the object: they
// are listed, never registered.
void TJVCLWinControl::GetEventList(std::vector<AnsiString>& list) {
    TJVCLControl::GetEventList(list);
    list.emplace_back("onDragDropText");
    list.emplace_back("onDragDropFiles");
}
