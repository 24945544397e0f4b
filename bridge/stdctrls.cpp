// The everyday controls' wrappers: their forwarded properties, calls and
// hook tables.
#include "bridge/stdctrls.h"

// ==== The action property ====

namespace {

void getAction(const TObject* instance, TPropValue& value) {
    TJValue action;
    bridge_detail::wrapperOf(instance).GetActionWrapper(action);
    value.Object = IsObjectValue(action) ? action.ObjValue : nullptr;
}

void setAction(TObject* instance, const TPropValue& value) {
    TJValue action;
    if (value.Object) MakeObject(static_cast<TJObject*>(value.Object), action);
    else MakeNull(action);
    bridge_detail::wrapperOf(instance).SetActionWrapper(action);
}

}  // namespace

TPropInfo ActionProperty() { return {"action", TTypeKind::Class, &TJObject::classInfo, &getAction, &setAction}; }

namespace {

const TJHook clicksRows[] = {On<"OnClick", TNotifyEvent>(), On<"OnDblClick", TNotifyEvent>()};
const TJHook buttonClickRow[] = {On<"OnClick", TNotifyEvent>(TJHookWhen::WithoutAction)};

// ==== Edit and memo ====

const TPropInfo editProperties[] = {
    Forward<&TCustomEdit::CanUndo>("CanUndo"),
    Forward<&TCustomEdit::Modified, &TCustomEdit::SetModified>("Modified"),
    Forward<&TCustomEdit::SelLength, &TCustomEdit::SetSelLength>("SelLength"),
    Forward<&TCustomEdit::SelStart, &TCustomEdit::SetSelStart>("SelStart"),
    Forward<&TCustomEdit::SelText, &TCustomEdit::SetSelText>("SelText"),
};

const TJWrapperMethod editMethods[] = {
    Call<&TCustomEdit::Clear>("clear"),
    Call<&TCustomEdit::ClearSelection>("clearSelection"),
    Call<&TCustomEdit::CopyToClipboard>("copyToClipboard"),
    Call<&TCustomEdit::CutToClipboard>("cutToClipboard"),
    Call<&TCustomEdit::PasteFromClipboard>("pasteFromClipboard"),
    Call<&TCustomEdit::Undo>("undo"),
    Call<&TCustomEdit::ClearUndo>("clearUndo"),
    Call<&TCustomEdit::SelectAll>("selectAll"),
};

const TJHook editRows[] = {On<"OnChange", TNotifyEvent>()};
const TJHookPart editHooks[] = {editRows, clicksRows, DragHooks, FocusHooks, KeyHooks, MouseHooks, StartHooks};

const TPropInfo memoProperties[] = {
    Forward<&TCustomMemo::LinesText, &TCustomMemo::SetLinesText>("text"),
};

// ==== Button and check box ====

void click(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 0);
    self.GuardVCL([&] { static_cast<TButton*>(self.VCL())->Click(); });
}

const TPropInfo buttonProperties[] = {ActionProperty()};
const TJWrapperMethod buttonMethods[] = {{"click", 0, &click, TJMethodResult::Self}};
const TJHook buttonKeyRows[] = {On<"OnKeyDown", TKeyEvent>(), On<"OnKeyPress", TKeyPressEvent>()};
const TJHookPart buttonHooks[] = {buttonClickRow, buttonKeyRows, DragHooks, FocusHooks, MouseHooks, StartHooks};
const TJHookPart checkBoxHooks[] = {buttonClickRow, KeyHooks, DragHooks, FocusHooks, MouseHooks, StartHooks};

// ==== Label, timer, group box, panel, image ====

const TJHookPart labelHooks[] = {clicksRows, DragHooks, MouseHooks, StartHooks};

const TJHook timerRows[] = {On<"OnTimer", TNotifyEvent>()};
const TJHookPart timerHooks[] = {timerRows};

const TJHook dockSiteRows[] = {On<"OnGetSiteInfo", TGetSiteInfoEvent>(), On<"OnUnDock", TUnDockEvent>()};
const TJHookPart groupBoxHooks[] = {clicksRows, dockSiteRows, DragHooks, FocusHooks, MouseHooks, StartHooks,
                                    DockHooks};
const TJHook panelRows[] = {On<"OnCanResize", TCanResizeEvent>(), On<"OnResize", TNotifyEvent>()};
const TJHookPart panelHooks[] = {panelRows, clicksRows, dockSiteRows, DragHooks, FocusHooks, MouseHooks, StartHooks,
                                 DockHooks};

const TJHookPart imageHooks[] = {clicksRows, DragHooks, MouseHooks, StartHooks};

}  // namespace

// ==== Class records ====

const TClassInfo TJVCLBaseEdit::classInfo =
    makeClassInfo("TJVCLBaseEdit", &TJVCLWinControl::classInfo, editProperties, &scriptCreator<TJVCLBaseEdit>);
const TClassInfo TJVCLBaseMemo::classInfo =
    makeClassInfo("TJVCLBaseMemo", &TJVCLBaseEdit::classInfo, memoProperties, &scriptCreator<TJVCLBaseMemo>);
const TClassInfo TJVCLBaseButton::classInfo =
    makeClassInfo("TJVCLBaseButton", &TJVCLWinControl::classInfo, buttonProperties, &scriptCreator<TJVCLBaseButton>);
const TClassInfo TJVCLBaseLabel::classInfo =
    makeClassInfo("TJVCLBaseLabel", &TJVCLControl::classInfo, &scriptCreator<TJVCLBaseLabel>);
const TClassInfo TJVCLBaseTimer::classInfo =
    makeClassInfo("TJVCLBaseTimer", &TJVCLComponent::classInfo, &scriptCreator<TJVCLBaseTimer>);
const TClassInfo TJVCLBaseCheckBox::classInfo = makeClassInfo(
    "TJVCLBaseCheckBox", &TJVCLWinControl::classInfo, buttonProperties, &scriptCreator<TJVCLBaseCheckBox>);
const TClassInfo TJVCLBaseGroupBox::classInfo =
    makeClassInfo("TJVCLBaseGroupBox", &TJVCLWinControl::classInfo, &scriptCreator<TJVCLBaseGroupBox>);
const TClassInfo TJVCLBasePanel::classInfo =
    makeClassInfo("TJVCLBasePanel", &TJVCLWinControl::classInfo, &scriptCreator<TJVCLBasePanel>);
const TClassInfo TJVCLBaseImage::classInfo =
    makeClassInfo("TJVCLBaseImage", &TJVCLControl::classInfo, &scriptCreator<TJVCLBaseImage>);

// ==== Edit and memo ====

TJVCLBaseEdit::TJVCLBaseEdit(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLWinControl(key, runtime, args) {
    SetClassName("VCLEdit");
}

const TJMethodTable& TJVCLBaseEdit::Methods() const {
    static const TJMethodTable table(editMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseEdit::Hooks() const { return editHooks; }

TJVCLBaseMemo::TJVCLBaseMemo(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLBaseEdit(key, runtime, args) {
    SetClassName("VCLMemo");
}

// ==== Button and check box ====

TJVCLBaseButton::TJVCLBaseButton(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLWinControl(key, runtime, args) {
    SetClassName("VCLButton");
}

const TJMethodTable& TJVCLBaseButton::Methods() const {
    static const TJMethodTable table(buttonMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseButton::Hooks() const { return buttonHooks; }

TJVCLBaseCheckBox::TJVCLBaseCheckBox(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLWinControl(key, runtime, args) {
    SetClassName("VCLCheckBox");
}

TJHookList TJVCLBaseCheckBox::Hooks() const { return checkBoxHooks; }

// ==== Label, timer, group box, panel, image ====

TJVCLBaseLabel::TJVCLBaseLabel(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLControl(key, runtime, args) {
    SetClassName("VCLLabel");
}

TJHookList TJVCLBaseLabel::Hooks() const { return labelHooks; }

TJVCLBaseTimer::TJVCLBaseTimer(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLComponent(key, runtime, args) {
    SetClassName("VCLTimer");
}

TJHookList TJVCLBaseTimer::Hooks() const { return timerHooks; }

TJVCLBaseGroupBox::TJVCLBaseGroupBox(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLWinControl(key, runtime, args) {
    SetClassName("VCLGroupBox");
}

TJHookList TJVCLBaseGroupBox::Hooks() const { return groupBoxHooks; }

TJVCLBasePanel::TJVCLBasePanel(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLWinControl(key, runtime, args) {
    SetClassName("VCLPanel");
}

TJHookList TJVCLBasePanel::Hooks() const { return panelHooks; }

TJVCLBaseImage::TJVCLBaseImage(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLControl(key, runtime, args) {
    SetClassName("VCLImage");
}

TJHookList TJVCLBaseImage::Hooks() const { return imageHooks; }
