// The common dialog wrappers: their "execute" and "closeDialog", the
// dialogs' string list of chosen files, and their event tables.
#include "bridge/commondialogs.h"

namespace {

TJVCLBaseCommonDialog& dialogWrapper(TJVCLComponent& self) { return static_cast<TJVCLBaseCommonDialog&>(self); }

// The most derived class's execute operation.
void execute(TJVCLComponent& self, TJValueList*, TJValue& result) { dialogWrapper(self).ExecuteDialog(result); }

const TJWrapperMethod commonDialogMethods[] = {
    {"execute", 0, &execute},
};

const TJHook commonRows[] = {On<"OnClose", TNotifyEvent>(), On<"OnShow", TNotifyEvent>()};
const TJHookPart commonHooks[] = {commonRows};

// ==== Open and save ====

const TPropInfo openDialogProperties[] = {
    Strings<&TOpenDialog::Files>("Files"),
};

const TJHook openRows[] = {
    On<"OnCanClose", TCloseQueryEvent>(),    On<"OnFolderChange", TNotifyEvent>(),
    On<"OnSelectionChange", TNotifyEvent>(), On<"OnTypeChange", TNotifyEvent>(),
    Ignore<"OnIncludeItem", TIncludeItemEvent>()};
const TJHookPart openHooks[] = {commonRows, openRows};

// ==== Font ====

// "onApply" gets the dialog's window as an unsigned number, whole.
void fontApplied(void* data, TObject* sender, HWND wnd) {
    auto& wrapper = *static_cast<TJVCLComponent*>(data);
    static const AnsiString name("onApply");
    if (!wrapper.HasEventHandler(name)) return;
    TJDispatchHold hold(wrapper);
    TJValueList args;
    TJValue value;
    wrapper.SenderWrapper(sender, value);
    args.Add(value);
    MakeDouble(static_cast<double>(reinterpret_cast<uintptr_t>(wnd)), value);
    args.Add(value);
    TJValue result;
    wrapper.FireEvent(AnsiString(), name, result, &args);
}

const TJHook fontRows[] = {OnWith<"OnApply", TFDApplyEvent>(&fontApplied)};
const TJHookPart fontHooks[] = {commonRows, fontRows};

// ==== Find and replace ====

// The dialog's window while it shows, else 0.
const TPropInfo findDialogProperties[] = {
    Forward<&TFindDialog::Handle, nullptr, TJUnlinked::Zero>("Handle"),
};

const TJWrapperMethod findDialogMethods[] = {
    Call<&TFindDialog::CloseDialog>("closeDialog"),
};

const TJHook findRows[] = {On<"OnFind", TNotifyEvent>()};
const TJHook replaceRows[] = {On<"OnReplace", TNotifyEvent>()};
const TJHookPart findHooks[] = {commonRows, findRows};
const TJHookPart replaceHooks[] = {commonRows, findRows, replaceRows};

}  // namespace

const TClassInfo TJVCLBaseCommonDialog::classInfo = makeClassInfo(
    "TJVCLBaseCommonDialog", &TJVCLComponent::classInfo, &scriptCreator<TJVCLBaseCommonDialog>);
const TClassInfo TJVCLBaseOpenDialog::classInfo = makeClassInfo(
    "TJVCLBaseOpenDialog", &TJVCLBaseCommonDialog::classInfo, openDialogProperties,
    &scriptCreator<TJVCLBaseOpenDialog>);
const TClassInfo TJVCLBaseSaveDialog::classInfo =
    makeClassInfo("TJVCLBaseSaveDialog", &TJVCLBaseOpenDialog::classInfo, &scriptCreator<TJVCLBaseSaveDialog>);
const TClassInfo TJVCLBaseFontDialog::classInfo =
    makeClassInfo("TJVCLBaseFontDialog", &TJVCLBaseCommonDialog::classInfo, &scriptCreator<TJVCLBaseFontDialog>);
const TClassInfo TJVCLBaseFindDialog::classInfo =
    makeClassInfo("TJVCLBaseFindDialog", &TJVCLBaseCommonDialog::classInfo, findDialogProperties,
                  &scriptCreator<TJVCLBaseFindDialog>);
const TClassInfo TJVCLBaseReplaceDialog::classInfo = makeClassInfo(
    "TJVCLBaseReplaceDialog", &TJVCLBaseFindDialog::classInfo, &scriptCreator<TJVCLBaseReplaceDialog>);

void TJVCLBaseCommonDialog::executeLinked(TJValue& result) {
    CheckVCL(nullptr, 0);
    auto& dialog = *static_cast<TCommonDialog*>(VCL());
    GuardVCL([&] { MakeBool(dialog.Execute(), result); });
}

const TJMethodTable& TJVCLBaseCommonDialog::Methods() const {
    static const TJMethodTable table(commonDialogMethods, TJVCLComponent::Methods());
    return table;
}
TJHookList TJVCLBaseCommonDialog::Hooks() const { return commonHooks; }
TJHookList TJVCLBaseOpenDialog::Hooks() const { return openHooks; }
TJHookList TJVCLBaseFontDialog::Hooks() const { return fontHooks; }

const TJMethodTable& TJVCLBaseFindDialog::Methods() const {
    static const TJMethodTable table(findDialogMethods, TJVCLBaseCommonDialog::Methods());
    return table;
}
TJHookList TJVCLBaseFindDialog::Hooks() const { return findHooks; }
TJHookList TJVCLBaseReplaceDialog::Hooks() const { return replaceHooks; }
