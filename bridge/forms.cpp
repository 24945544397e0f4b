// The form wrapper: the form's script methods, its events, and the main
// form whose closing ends the script's event loop.
#include "bridge/forms.h"

#include "engine/core/runtime.h"

namespace {

TWinControl* winControlArgument(TJVCLComponent& self, TJValueList* args) {
    TJVCLPersistent* wrapper = HasArgs(args) ? WrapperOfValue(args->At(0)) : nullptr;
    if (!wrapper || !wrapper->HasVCL() || !wrapper->VCL()->InheritsFrom(&TWinControl::classInfo))
        self.RaiseArgumentsError();
    return static_cast<TWinControl*>(wrapper->VCL());
}

TControl* controlArgument(TJVCLComponent& self, TJValueList* args) {
    TJVCLPersistent* wrapper = HasArgs(args) ? WrapperOfValue(args->At(0)) : nullptr;
    if (!wrapper || !wrapper->HasVCL() || !wrapper->VCL()->InheritsFrom(&TControl::classInfo))
        self.RaiseArgumentsError();
    return static_cast<TControl*>(wrapper->VCL());
}

TCustomForm& formOf(TJVCLComponent& self) { return *static_cast<TCustomForm*>(self.VCL()); }

void focusControl(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 0);
    TWinControl* control = winControlArgument(self, args);
    self.GuardVCL([&] { formOf(self).FocusControl(control); });
}

void sendCancelMode(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 0);
    TControl* control = controlArgument(self, args);
    self.GuardVCL([&] { formOf(self).SendCancelMode(control); });
}

void setFocusedControl(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TWinControl* control = winControlArgument(self, args);
    self.GuardVCL([&] { MakeBool(formOf(self).SetFocusedControl(control), result); });
}

// Our forms are never frames of child forms: the operations on child forms
// find none and change nothing.
void noChildForms(TJVCLComponent& self, TJValueList* args, TJValue&) { self.CheckVCL(args, 0); }

const TJWrapperMethod formMethods[] = {
    Call<&TCustomForm::ShowModal>("showModal"),
    Call<&TCustomForm::Close>("close"),
    Call<&TCustomForm::CloseQuery>("closeQuery"),
    {"focusControl", 0, &focusControl, TJMethodResult::Self},
    Call<&TCustomForm::Hide>("hide"),
    Call<&TCustomForm::Print>("print"),
    Call<&TCustomForm::Release>("release"),
    {"sendCancelMode", 0, &sendCancelMode, TJMethodResult::Self},
    {"setFocusedControl", 0, &setFocusedControl},
    Call<&TCustomForm::Show>("show"),
    {"arrangeIcons", 0, &noChildForms, TJMethodResult::Self},
    {"cascade", 0, &noChildForms, TJMethodResult::Self},
    {"next", 0, &noChildForms, TJMethodResult::Self},
    {"previous", 0, &noChildForms, TJMethodResult::Self},
    {"tile", 0, &noChildForms, TJMethodResult::Self},
};

const TPropInfo formWrapperProperties[] = {
    BoolProperty<&TJVCLBaseForm::Main, &TJVCLBaseForm::SetMain>("main"),
    Forward<&TCustomForm::Active>("Active"),
};

// A main form's close ends the event loop first, whatever the handler
// then makes of the close.
void formClose(void* data, TObject* sender, TCloseAction& action) {
    auto& form = *static_cast<TJVCLBaseForm*>(data);
    if (form.Main() && form.Runtime()) form.Runtime()->TerminateEventLoop();
    TJEventThunk<"OnClose", TCloseEvent::Signature>::Call(data, sender, action);
}

const TJHook formRows[] = {
    On<"OnActivate", TNotifyEvent>(),
    On<"OnCreate", TNotifyEvent>(),
    On<"OnDeactivate", TNotifyEvent>(),
    OnDestroy(),
    On<"OnDblClick", TNotifyEvent>(),
    On<"OnHide", TNotifyEvent>(),
    On<"OnPaint", TNotifyEvent>(),
    On<"OnResize", TNotifyEvent>(),
    On<"OnShow", TNotifyEvent>(),
    On<"OnClick", TNotifyEvent>(TJHookWhen::WithoutAction),
    On<"OnCanResize", TCanResizeEvent>(),
    OnConstrainedResize(),
    On<"OnContextPopup", TContextPopupEvent>(),
    On<"OnDragDrop", TDragDropEvent>(),
    On<"OnDragOver", TDragOverEvent>(),
    On<"OnEndDock", TEndDragEvent>(),
    On<"OnGetSiteInfo", TGetSiteInfoEvent>(),
    On<"OnMouseWheel", TMouseWheelEvent>(),
    On<"OnMouseWheelDown", TMouseWheelUpDownEvent>(),
    On<"OnMouseWheelUp", TMouseWheelUpDownEvent>(),
    On<"OnUnDock", TUnDockEvent>(),
    OnWith<"OnClose", TCloseEvent>(&formClose),
    On<"OnCloseQuery", TCloseQueryEvent>(),
    On<"OnHelp", THelpEvent>(),
    Ignore<"OnDockDrop", TDragDropEvent>(),
    Ignore<"OnDockOver", TDragOverEvent>(),
    Ignore<"OnShortCut", TShortCutEvent>(),
    Ignore<"OnStartDock", TStartDragEvent>(),
};
const TJHookPart formHooks[] = {formRows, MouseHooks, KeyHooks};

}  // namespace

const TClassInfo TJVCLBaseForm::classInfo = makeClassInfo("TJVCLBaseForm", &TJVCLWinControl::classInfo,
                                                          formWrapperProperties, &scriptCreator<TJVCLBaseForm>);

void TJVCLBaseForm::Construct(TJValueList* args) {
    TJVCLWinControl::Construct(args);
    if (HasArgs(args) && args->At(0).ValueType == vtBool) Main_ = args->At(0).BooleanValue;
}

const TJMethodTable& TJVCLBaseForm::Methods() const {
    static const TJMethodTable table(formMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseForm::Hooks() const { return formHooks; }
