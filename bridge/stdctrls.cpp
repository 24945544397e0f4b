// The everyday controls' wrappers: their forwarded properties, calls and
// hook tables, and the item methods of the list boxes.
#include "bridge/stdctrls.h"

#include "engine/core/published.h"
#include "stdlib/rectobject.h"

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
const TJHookPart editHooks[] = {editRows, ClickHooks, DragHooks, FocusHooks, KeyHooks, MouseHooks, StartHooks};

const TPropInfo memoProperties[] = {
    Strings<&TCustomMemo::Lines>("lines"),
    ClassProperty<&TJVCLBaseMemo::CaretPos>("caretPos", &TJObject::classInfo),
    Forward<&TCustomEdit::Text, &TCustomEdit::SetText>("text"),
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

// ==== List boxes ====

// The item at the first argument; false when the index is outside the items.
bool itemIndexArgument(TJVCLComponent& self, TJValueList* args, int& index) {
    index = ValueToInteger(args->At(0));
    return index >= 0 && index < static_cast<TCustomListBox*>(self.VCL())->Items()->Count();
}

// selected, checked, itemEnabled: with a second argument the item's flag is
// set and the result is that argument as given; without, the flag; false
// for an index outside the items.
template <class List, bool (List::*Get)(int) const, void (List::*Set)(int, bool)>
void itemFlag(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    MakeBool(false, result);
    int index;
    if (!itemIndexArgument(self, args, index)) return;
    auto& list = *static_cast<List*>(self.VCL());
    self.GuardVCL([&] {
        if (HasTwoArgs(args)) {
            (list.*Set)(index, ValueToBool(args->At(1)));
            result = args->At(1);
        } else {
            MakeBool((list.*Get)(index), result);
        }
    });
}

// An item's check state by name; a second argument that names a state (or
// gives its number) sets it, and is the result as given.
void state(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    MakeString(AnsiString(), result);
    int index;
    if (!itemIndexArgument(self, args, index)) return;
    auto& list = *static_cast<TCheckListBox*>(self.VCL());
    self.GuardVCL([&] {
        if (!HasTwoArgs(args)) return MakeString(GetEnumName(&CheckBoxStateInfo, list.State(index)), result);
        int ordinal;
        if (ValueToEnum(&CheckBoxStateInfo, args->At(1), ordinal)) list.SetState(index, TCheckBoxState(ordinal));
        result = args->At(1);
    });
}

void itemAtPos(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 2);
    TPoint point = PointArgument(self, args->At(0));
    self.GuardVCL([&] {
        MakeInteger(static_cast<TCustomListBox*>(self.VCL())->ItemAtPos(point, ValueToBool(args->At(1))), result);
    });
}

void itemRect(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    MakeNull(result);
    int index;
    if (!itemIndexArgument(self, args, index)) return;
    auto* rect = static_cast<TJRect*>(CreateScriptInstance(&TJRect::classInfo, self.Runtime(), true, nullptr));
    MakeObject(rect, result);
    self.GuardVCL([&] { rect->CopyFromRect(static_cast<TCustomListBox*>(self.VCL())->ItemRect(index)); });
}

const TPropInfo listBoxProperties[] = {
    Forward<&TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex>("ItemIndex"),
    Strings<&TCustomListBox::Items>("Items"),
    Forward<&TCustomListBox::SelCount>("SelCount"),
    Forward<&TCustomListBox::TopIndex, &TCustomListBox::SetTopIndex>("TopIndex"),
};

const TJWrapperMethod listBoxMethods[] = {
    Call<&TCustomListBox::Clear>("clear"),
    Call<&TCustomListBox::ClearSelection>("clearSelection"),
    Call<&TCustomListBox::DeleteSelected>("deleteSelected"),
    {"itemAtPos", 0, &itemAtPos},
    {"itemRect", 0, &itemRect},
    Call<&TCustomListBox::SelectAll>("selectAll"),
    {"selected", 0, &itemFlag<TCustomListBox, &TCustomListBox::Selected, &TCustomListBox::SetSelected>},
};

const TJHookPart listBoxHooks[] = {ClickHooks, DragHooks, FocusHooks, KeyHooks, MouseHooks, StartHooks};

const TJWrapperMethod checkListBoxMethods[] = {
    {"checked", 0, &itemFlag<TCheckListBox, &TCheckListBox::Checked, &TCheckListBox::SetChecked>},
    {"itemEnabled", 0, &itemFlag<TCheckListBox, &TCheckListBox::ItemEnabled, &TCheckListBox::SetItemEnabled>},
    {"state", 0, &state},
};

const TJHook clickCheckRow[] = {On<"OnClickCheck", TNotifyEvent>()};
const TJHookPart checkListBoxHooks[] = {ClickHooks, clickCheckRow, DragHooks, FocusHooks,
                                        KeyHooks,   MouseHooks,    StartHooks};

// ==== Combo box, radio group ====

const TPropInfo comboBoxProperties[] = {
    Forward<&TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase>("CharCase"),
    Forward<&TCustomComboBox::DroppedDown, &TCustomComboBox::SetDroppedDown>("DroppedDown"),
    Forward<&TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex>("ItemIndex"),
    Forward<&TCustomComboBox::SelLength, &TCustomComboBox::SetSelLength>("SelLength"),
    Forward<&TCustomComboBox::SelStart, &TCustomComboBox::SetSelStart>("SelStart"),
    Forward<&TCustomComboBox::SelText, &TCustomComboBox::SetSelText>("SelText"),
    Strings<&TCustomComboBox::Items>("Items"),
};

const TJWrapperMethod comboBoxMethods[] = {
    Call<&TCustomComboBox::Clear>("clear"),
    Call<&TCustomComboBox::SelectAll>("selectAll"),
};

const TJHook comboBoxRows[] = {On<"OnChange", TNotifyEvent>(), On<"OnClick", TNotifyEvent>(),
                               On<"OnDropDown", TNotifyEvent>()};
const TJHookPart comboBoxHooks[] = {comboBoxRows, DragHooks, FocusHooks, KeyHooks, StartHooks};

const TPropInfo radioGroupProperties[] = {Strings<&TCustomRadioGroup::Items>("Items")};
const TJHook radioGroupRows[] = {On<"OnClick", TNotifyEvent>()};
const TJHookPart radioGroupHooks[] = {radioGroupRows, DragHooks, FocusHooks, StartHooks};

// ==== Splitter ====

const TJHook splitterRows[] = {On<"OnCanResize", TSplitterCanResizeEvent>(), On<"OnMoved", TNotifyEvent>(),
                               On<"OnPaint", TNotifyEvent>()};
const TJHookPart splitterHooks[] = {splitterRows};

// ==== Label, timer, group box, panel, image ====

const TJHookPart labelHooks[] = {ClickHooks, DragHooks, MouseHooks, StartHooks};

const TJHook timerRows[] = {On<"OnTimer", TNotifyEvent>()};
const TJHookPart timerHooks[] = {timerRows};

const TJHook dockSiteRows[] = {On<"OnGetSiteInfo", TGetSiteInfoEvent>(), On<"OnUnDock", TUnDockEvent>()};
const TJHookPart groupBoxHooks[] = {ClickHooks, dockSiteRows, DragHooks, FocusHooks, MouseHooks, StartHooks,
                                    DockHooks};
const TJHook panelRows[] = {On<"OnCanResize", TCanResizeEvent>(), On<"OnResize", TNotifyEvent>()};
const TJHookPart panelHooks[] = {panelRows, ClickHooks, dockSiteRows, DragHooks, FocusHooks, MouseHooks, StartHooks,
                                 DockHooks};

const TJHook imageRows[] = {On<"OnProgress", TProgressEvent>()};
const TJHookPart imageHooks[] = {ClickHooks, imageRows, DragHooks, MouseHooks, StartHooks};

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
const TClassInfo TJVCLBaseRadioButton::classInfo = makeClassInfo(
    "TJVCLBaseRadioButton", &TJVCLWinControl::classInfo, buttonProperties, &scriptCreator<TJVCLBaseRadioButton>);
const TClassInfo TJVCLBaseListBox::classInfo =
    makeClassInfo("TJVCLBaseListBox", &TJVCLWinControl::classInfo, listBoxProperties, &scriptCreator<TJVCLBaseListBox>);
const TClassInfo TJVCLBaseCheckListBox::classInfo =
    makeClassInfo("TJVCLBaseCheckListBox", &TJVCLBaseListBox::classInfo, &scriptCreator<TJVCLBaseCheckListBox>);
const TClassInfo TJVCLBaseComboBox::classInfo = makeClassInfo(
    "TJVCLBaseComboBox", &TJVCLWinControl::classInfo, comboBoxProperties, &scriptCreator<TJVCLBaseComboBox>);
const TClassInfo TJVCLBaseRadioGroup::classInfo = makeClassInfo(
    "TJVCLBaseRadioGroup", &TJVCLWinControl::classInfo, radioGroupProperties, &scriptCreator<TJVCLBaseRadioGroup>);
const TClassInfo TJVCLBaseSplitter::classInfo =
    makeClassInfo("TJVCLBaseSplitter", &TJVCLControl::classInfo, &scriptCreator<TJVCLBaseSplitter>);
const TClassInfo TJVCLBaseGroupBox::classInfo =
    makeClassInfo("TJVCLBaseGroupBox", &TJVCLWinControl::classInfo, &scriptCreator<TJVCLBaseGroupBox>);
const TClassInfo TJVCLBasePanel::classInfo =
    makeClassInfo("TJVCLBasePanel", &TJVCLWinControl::classInfo, &scriptCreator<TJVCLBasePanel>);
const TClassInfo TJVCLBaseImage::classInfo =
    makeClassInfo("TJVCLBaseImage", &TJVCLControl::classInfo, &scriptCreator<TJVCLBaseImage>);

// ==== Edit and memo ====

const TJMethodTable& TJVCLBaseEdit::Methods() const {
    static const TJMethodTable table(editMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseEdit::Hooks() const { return editHooks; }

TJVCLBaseMemo::~TJVCLBaseMemo() {
    DetachVCL();
    if (Caret_) Caret_->DecRef();
}

// The caret point lives by its count alone, outside the runtime's object list
// (which frees in its own order at the end, before this wrapper perhaps).
void TJVCLBaseMemo::InitWrapper() {
    TJVCLBaseEdit::InitWrapper();
    Caret_ = static_cast<TJPoint*>(CreateScriptInstance(&TJPoint::classInfo, Runtime(), false, nullptr));
    Caret_->IncRef();
}

TObject* TJVCLBaseMemo::CaretPos() const {
    auto& self = const_cast<TJVCLBaseMemo&>(*this);
    self.CheckVCL(nullptr, 0);
    TPoint caret = static_cast<TCustomMemo*>(VCL())->CaretPos();
    Caret_->SetX(caret.x);
    Caret_->SetY(caret.y);
    return Caret_;
}

// ==== Button and check box ====

const TJMethodTable& TJVCLBaseButton::Methods() const {
    static const TJMethodTable table(buttonMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseButton::Hooks() const { return buttonHooks; }

TJHookList TJVCLBaseCheckBox::Hooks() const { return checkBoxHooks; }

TJHookList TJVCLBaseRadioButton::Hooks() const { return checkBoxHooks; }

// ==== List boxes ====

const TJMethodTable& TJVCLBaseListBox::Methods() const {
    static const TJMethodTable table(listBoxMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseListBox::Hooks() const { return listBoxHooks; }

const TJMethodTable& TJVCLBaseCheckListBox::Methods() const {
    static const TJMethodTable table(checkListBoxMethods, TJVCLBaseListBox::Methods());
    return table;
}

TJHookList TJVCLBaseCheckListBox::Hooks() const { return checkListBoxHooks; }

// ==== Combo box, radio group, splitter ====

const TJMethodTable& TJVCLBaseComboBox::Methods() const {
    static const TJMethodTable table(comboBoxMethods, TJVCLWinControl::Methods());
    return table;
}

TJHookList TJVCLBaseComboBox::Hooks() const { return comboBoxHooks; }

TJHookList TJVCLBaseRadioGroup::Hooks() const { return radioGroupHooks; }

TJHookList TJVCLBaseSplitter::Hooks() const { return splitterHooks; }

// ==== Label, timer, group box, panel, image ====

TJHookList TJVCLBaseLabel::Hooks() const { return labelHooks; }

TJHookList TJVCLBaseTimer::Hooks() const { return timerHooks; }

TJHookList TJVCLBaseGroupBox::Hooks() const { return groupBoxHooks; }

TJHookList TJVCLBasePanel::Hooks() const { return panelHooks; }

TJHookList TJVCLBaseImage::Hooks() const { return imageHooks; }
