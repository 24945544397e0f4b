// The caster and the bridge's registrations. Each table row is filled by the
// module that builds its wrapper or class; empty rows are skipped, so the
// tables keep their full order while the bridge grows. The engine reaches the
// caster through its module hooks and the script dialogs through the Global
// object's hooks; the engine component registers the script types through its
// GUI and check-list library slots.
#include "bridge/caster.h"

#include <cstring>

#include "bridge/bars.h"
#include "bridge/checklistbox.h"
#include "bridge/commondialogs.h"
#include "bridge/controls.h"
#include "bridge/forms.h"
#include "bridge/listview.h"
#include "bridge/menus.h"
#include "bridge/scriptdialogs.h"
#include "bridge/stdctrls.h"
#include "bridge/treeview.h"
#include "engine/core/hooks.h"
#include "engine/core/runtime.h"
#include "ui/actions.h"
#include "ui/bars.h"
#include "ui/comctrls.h"
#include "ui/dialogs.h"
#include "ui/edits.h"
#include "ui/filedialogs.h"
#include "ui/forms.h"
#include "ui/image.h"
#include "ui/lists.h"
#include "ui/menus.h"
#include "ui/panel.h"
#include "ui/splitter.h"
#include "ui/stdctrls.h"
#include "ui/timer.h"

namespace {

struct TJCasterRow {
    const char* VCLClassName;
    const TClassInfo* Wrapper;  // nil: not built yet
};

// ORDER CASTER: tested with "is" from the top; descendants come before their
// bases, and the first match wins.
const TJCasterRow casterRows[] = {
    {"TMenuItem", &TJVCLBaseMenuItem::classInfo},
    {"TBasicAction", &TJVCLBaseAction::classInfo},
    {"TLabel", &TJVCLBaseLabel::classInfo},
    {"TEdit", &TJVCLBaseEdit::classInfo},
    {"TMemo", &TJVCLBaseMemo::classInfo},
    {"TToolButton", &TJVCLBaseToolButton::classInfo},
    {"TCheckBox", &TJVCLBaseCheckBox::classInfo},
    {"TRadioButton", &TJVCLBaseRadioButton::classInfo},
    {"TButton", &TJVCLBaseButton::classInfo},
    {"TComboBox", &TJVCLBaseComboBox::classInfo},
    {"TTimer", &TJVCLBaseTimer::classInfo},
    {"TSpinEdit", &TJVCLBaseSpinEdit::classInfo},
    {"TCheckListBox", &TJVCLBaseCheckListBox::classInfo},
    {"TListBox", &TJVCLBaseListBox::classInfo},
    {"TPanel", &TJVCLBasePanel::classInfo},
    {"TRadioGroup", &TJVCLBaseRadioGroup::classInfo},
    {"TGroupBox", &TJVCLBaseGroupBox::classInfo},
    {"TCoolBar", &TJVCLBaseCoolBar::classInfo},
    {"TToolBar", &TJVCLBaseToolBar::classInfo},
    {"TPopupMenu", &TJVCLBasePopupMenu::classInfo},
    {"TMainMenu", &TJVCLBaseMainMenu::classInfo},
    {"TForm", &TJVCLBaseForm::classInfo},
    {"TSplitter", &TJVCLBaseSplitter::classInfo},
    {"TProgressBar", &TJVCLBaseProgressBar::classInfo},
    {"TListItem", &TJVCLBaseListItem::classInfo},
    {"TListItems", &TJVCLBaseListItems::classInfo},
    {"TListColumns", &TJVCLBaseListColumns::classInfo},
    {"TListView", &TJVCLBaseListView::classInfo},
    {"TTreeNode", &TJVCLBaseTreeNode::classInfo},
    {"TTreeNodes", &TJVCLBaseTreeNodes::classInfo},
    {"TTreeView", &TJVCLBaseTreeView::classInfo},
    {"TStatusBar", &TJVCLBaseStatusBar::classInfo},
    {"TImage", &TJVCLBaseImage::classInfo},
    {"TPageControl", &TJVCLBasePageControl::classInfo},
    {"TTabSheet", &TJVCLBaseTabSheet::classInfo},
    {"TTabControl", &TJVCLBaseTabControl::classInfo},
    {"TStatusPanels", &TJVCLBaseStatusPanels::classInfo},
    {"TUpDown", &TJVCLBaseUpDown::classInfo},
    {"TSaveDialog", &TJVCLBaseSaveDialog::classInfo},
    {"TOpenDialog", &TJVCLBaseOpenDialog::classInfo},
    {"TFontDialog", &TJVCLBaseFontDialog::classInfo},
    {"TReplaceDialog", &TJVCLBaseReplaceDialog::classInfo},
    {"TFindDialog", &TJVCLBaseFindDialog::classInfo},
    {"TWinControl", &TJVCLWinControl::classInfo},
    {"TControl", &TJVCLControl::classInfo},
    {"TComponent", &TJVCLComponent::classInfo},
    {"TPersistent", &TJVCLPersistent::classInfo},  // any other object
};

// ORDER SCRIPT TYPES: the constructible script types and their leaf classes.
const TJCasterRow scriptTypes[] = {
    {"VCLForm", &TJVCLForm::classInfo},
    {"VCLEdit", &TJVCLEdit::classInfo},
    {"VCLButton", &TJVCLButton::classInfo},
    {"VCLMemo", &TJVCLMemo::classInfo},
    {"VCLLabel", &TJVCLLabel::classInfo},
    {"VCLTimer", &TJVCLTimer::classInfo},
    {"VCLMenuItem", &TJVCLMenuItem::classInfo},
    {"VCLMainMenu", &TJVCLMainMenu::classInfo},
    {"VCLPopupMenu", &TJVCLPopupMenu::classInfo},
    {"VCLCheckBox", &TJVCLCheckBox::classInfo},
    {"VCLRadioButton", &TJVCLRadioButton::classInfo},
    {"VCLListBox", &TJVCLListBox::classInfo},
    {"VCLComboBox", &TJVCLComboBox::classInfo},
    {"VCLGroupBox", &TJVCLGroupBox::classInfo},
    {"VCLRadioGroup", &TJVCLRadioGroup::classInfo},
    {"VCLPanel", &TJVCLPanel::classInfo},
    {"VCLSplitter", &TJVCLSplitter::classInfo},
    {"VCLCheckListBox", &TJVCLCheckListBox::classInfo},
    {"VCLImage", &TJVCLImage::classInfo},
    {"VCLTabControl", &TJVCLTabControl::classInfo},
    {"VCLTabSheet", &TJVCLTabSheet::classInfo},
    {"VCLPageControl", &TJVCLPageControl::classInfo},
    {"VCLProgressBar", &TJVCLProgressBar::classInfo},
    {"VCLTreeView", &TJVCLTreeView::classInfo},
    {"VCLListView", &TJVCLListView::classInfo},
    {"VCLStatusBar", &TJVCLStatusBar::classInfo},
    {"VCLToolButton", &TJVCLToolButton::classInfo},
    {"VCLToolBar", &TJVCLToolBar::classInfo},
    {"VCLCoolBar", &TJVCLCoolBar::classInfo},
    {"VCLAction", &TJVCLAction::classInfo},
    {"VCLOpenDialog", &TJVCLOpenDialog::classInfo},
    {"VCLSaveDialog", &TJVCLSaveDialog::classInfo},
    {"VCLFontDialog", &TJVCLFontDialog::classInfo},
    {"VCLFindDialog", &TJVCLFindDialog::classInfo},
    {"VCLReplaceDialog", &TJVCLReplaceDialog::classInfo},
    {"VCLSpinEdit", &TJVCLSpinEdit::classInfo},
    {"VCLUpDown", &TJVCLUpDown::classInfo},
};

// ORDER STREAM CLASSES: the GUI classes form streams create by name; nil
// where the class is not built yet (in order: TForm, TEdit, TButton, TMemo,
// TLabel, TTimer, TMenuItem, TMainMenu, TPopupMenu, TCheckBox, TRadioButton,
// TListBox, TComboBox, TGroupBox, TRadioGroup, TPanel, TSplitter,
// TCheckListBox, TImage, TTabControl, TTabSheet, TPageControl, TProgressBar,
// TTreeView, TListView, TStatusBar, TToolButton, TToolBar, TCoolBar, TAction,
// TActionList, TOpenDialog, TSaveDialog, TFontDialog, TFindDialog,
// TReplaceDialog, TSpinEdit, TUpDown).
const TClassInfo* const streamClasses[] = {
    &TForm::classInfo, &TEdit::classInfo, &TButton::classInfo, &TMemo::classInfo, &TLabel::classInfo,
    &TTimer::classInfo, &TMenuItem::classInfo, &TMainMenu::classInfo, &TPopupMenu::classInfo,
    &TCheckBox::classInfo, &TRadioButton::classInfo, &TListBox::classInfo, &TComboBox::classInfo,
    &TGroupBox::classInfo, &TRadioGroup::classInfo, &TPanel::classInfo, &TSplitter::classInfo,
    &TCheckListBox::classInfo, &TImage::classInfo, &TTabControl::classInfo, &TTabSheet::classInfo,
    &TPageControl::classInfo, &TProgressBar::classInfo, &TTreeView::classInfo, &TListView::classInfo,
    &TStatusBar::classInfo, &TToolButton::classInfo, &TToolBar::classInfo, &TCoolBar::classInfo,
    &TAction::classInfo, &TActionList::classInfo, &TOpenDialog::classInfo, &TSaveDialog::classInfo,
    &TFontDialog::classInfo, &TFindDialog::classInfo, &TReplaceDialog::classInfo, &TSpinEdit::classInfo,
    &TUpDown::classInfo,
};
static_assert(std::size(streamClasses) == 38);
static_assert(std::size(scriptTypes) == 37);
static_assert(std::size(casterRows) == 47);

}  // namespace

bool IsVCLClass(const TObject* object, const char* className) {
    for (const TClassInfo* cls = object->ClassType(); cls; cls = cls->Parent)
        if (std::strcmp(cls->ClassName, className) == 0) return true;
    return false;
}

// ==== The caster ====

TJVCLCaster::TJVCLCaster() { AddCaster(&DefaultVCLCaster); }

int TJVCLCaster::AddCaster(TJVCLCasterCallback callback) {
    Callbacks_.push_back(callback);
    return static_cast<int>(Callbacks_.size()) - 1;
}

// A component's wrapper slot holds only a live wrapper: the wrapper clears it
// when it lets the component go, and when the component dies. The Tag is
// never read.
TJVCLPersistent* TJVCLCaster::Cast(TPersistent* object, TJRuntime* runtime) {
    if (!object) return nullptr;
    if (object->InheritsFrom(&TComponent::classInfo)) {
        auto* component = static_cast<TComponent*>(object);
        if (TObject* wrapper = component->ScriptWrapper()) return static_cast<TJVCLPersistent*>(wrapper);
        if (component->IsDestroying()) return nullptr;
    }
    if (TJVCLPersistent* kept = ListItemWrapperOf(object, runtime)) return kept;
    if (TJVCLPersistent* kept = TreeNodeWrapperOf(object, runtime)) return kept;
    for (auto callback = Callbacks_.rbegin(); callback != Callbacks_.rend(); ++callback) {
        if (TJVCLPersistent* wrapper = (*callback)(object, runtime)) {
            wrapper->AttachVCL(object, false);
            return wrapper;
        }
    }
    return nullptr;
}

TJVCLCaster& VCLCaster() {
    static TJVCLCaster caster;
    return caster;
}

TJVCLPersistent* Cast(TPersistent* object, TJRuntime* runtime) { return VCLCaster().Cast(object, runtime); }

TJVCLPersistent* DefaultVCLCaster(TPersistent* object, TJRuntime* runtime) {
    for (const TJCasterRow& row : casterRows) {
        if (row.Wrapper && IsVCLClass(object, row.VCLClassName))
            return static_cast<TJVCLPersistent*>(CreateScriptInstance(row.Wrapper, runtime, true, nullptr));
    }
    return nullptr;
}

std::vector<const TClassInfo*> WrapperClasses() {
    std::vector<const TClassInfo*> classes;
    for (const TJCasterRow& row : casterRows)
        if (row.Wrapper) classes.push_back(row.Wrapper);
    for (const TJCasterRow& row : scriptTypes)
        if (row.Wrapper) classes.push_back(row.Wrapper);
    return classes;
}

// ==== Registration ====

void RegisterVCLTypes(TJRuntime& runtime) {
    for (const TJCasterRow& row : scriptTypes)
        if (row.Wrapper) runtime.RegisterScriptClass(row.VCLClassName, row.Wrapper);
}

void RegisterVCLClasses() {
    for (const TClassInfo* cls : streamClasses)
        if (cls) RegisterClasses({cls});
}

void InstallGUIBridge() {
    JModuleHooks.VCLPersistent = &TJVCLPersistent::classInfo;
    JModuleHooks.WrappedObjectOf = [](TJObject* wrapper) -> TPersistent* {
        TJVCLPersistent* linked = WrapperOfObject(wrapper);
        return linked ? linked->VCL() : nullptr;
    };
    JModuleHooks.WrapPersistent = [](TPersistent* object, TJRuntime* runtime) -> TJObject* {
        return Cast(object, runtime);
    };
    JLibraryRegistrars[lsCheckListBox] = &RegisterCheckListBoxType;
    JLibraryRegistrars[lsGUI] = &RegisterVCLTypes;
    JGlobalHooks.PromptDialog = &PromptDialog;
    JGlobalHooks.TextAreaDialog = &TextAreaDialog;
    RegisterVCLClasses();
}
