// The wrappers of the everyday controls: edit, memo, button, label, timer,
// check box, radio button, list box, combo box, group box, radio group,
// panel, splitter, check-list box and image, each the wrapper the caster
// makes for an existing control (Base) and, as a leaf, the class a script
// makes with `new` (new VCLButton(form)). They differ mostly in their tables.
#pragma once

#include "bridge/controls.h"
#include "bridge/wrapper.h"
#include "ui/edits.h"
#include "ui/image.h"
#include "ui/lists.h"
#include "ui/panel.h"
#include "ui/splitter.h"
#include "ui/stdctrls.h"
#include "ui/timer.h"

class TJPoint;

// The published `action` of the button-like wrappers (the click goes to an
// action wrapper, null gives it back to the script).
TPropInfo ActionProperty();

class TJVCLBaseEdit : public TJVCLWinControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseEdit(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TEdit::classInfo; }
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseMemo : public TJVCLBaseEdit {
    RTL_DECLARE_CLASS()
    TJVCLBaseMemo(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJVCLBaseMemo() override;
    const TClassInfo* VCLClass() const override { return &TMemo::classInfo; }

    // ---- Published ----
    // The memo's one Point, set to the caret's column and line on each read.
    TObject* CaretPos() const;

protected:
    void InitWrapper() override;

private:
    TJPoint* Caret_ = nullptr;
};

class TJVCLBaseButton : public TJVCLWinControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseButton(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TButton::classInfo; }
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseLabel : public TJVCLControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseLabel(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TLabel::classInfo; }
    TJHookList Hooks() const override;
};

class TJVCLBaseTimer : public TJVCLComponent {
    RTL_DECLARE_CLASS()
    TJVCLBaseTimer(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TTimer::classInfo; }
    TJHookList Hooks() const override;
};

class TJVCLBaseCheckBox : public TJVCLWinControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseCheckBox(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TCheckBox::classInfo; }
    TJHookList Hooks() const override;
};

class TJVCLBaseRadioButton : public TJVCLWinControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseRadioButton(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TRadioButton::classInfo; }
    TJHookList Hooks() const override;
};

class TJVCLBaseListBox : public TJVCLWinControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseListBox(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TListBox::classInfo; }
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseCheckListBox : public TJVCLBaseListBox {
    RTL_DECLARE_CLASS()
    TJVCLBaseCheckListBox(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TCheckListBox::classInfo; }
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseComboBox : public TJVCLWinControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseComboBox(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TComboBox::classInfo; }
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseRadioGroup : public TJVCLWinControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseRadioGroup(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TRadioGroup::classInfo; }
    TJHookList Hooks() const override;
};

class TJVCLBaseSplitter : public TJVCLControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseSplitter(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TSplitter::classInfo; }
    TJHookList Hooks() const override;
};

class TJVCLBaseGroupBox : public TJVCLWinControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseGroupBox(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TGroupBox::classInfo; }
    TJHookList Hooks() const override;
};

class TJVCLBasePanel : public TJVCLWinControl {
    RTL_DECLARE_CLASS()
    TJVCLBasePanel(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TPanel::classInfo; }
    TJHookList Hooks() const override;
};

class TJVCLBaseImage : public TJVCLControl {
    RTL_DECLARE_CLASS()
    TJVCLBaseImage(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TClassInfo* VCLClass() const override { return &TImage::classInfo; }
    TJHookList Hooks() const override;
};

using TJVCLEdit = TJVCLLeaf<"TJVCLEdit", TJVCLBaseEdit, TEdit>;
using TJVCLMemo = TJVCLLeaf<"TJVCLMemo", TJVCLBaseMemo, TMemo>;
using TJVCLButton = TJVCLLeaf<"TJVCLButton", TJVCLBaseButton, TButton>;
using TJVCLLabel = TJVCLLeaf<"TJVCLLabel", TJVCLBaseLabel, TLabel>;
using TJVCLTimer = TJVCLLeaf<"TJVCLTimer", TJVCLBaseTimer, TTimer>;
using TJVCLCheckBox = TJVCLLeaf<"TJVCLCheckBox", TJVCLBaseCheckBox, TCheckBox>;
using TJVCLRadioButton = TJVCLLeaf<"TJVCLRadioButton", TJVCLBaseRadioButton, TRadioButton>;
using TJVCLListBox = TJVCLLeaf<"TJVCLListBox", TJVCLBaseListBox, TListBox>;
using TJVCLCheckListBox = TJVCLLeaf<"TJVCLCheckListBox", TJVCLBaseCheckListBox, TCheckListBox>;
using TJVCLComboBox = TJVCLLeaf<"TJVCLComboBox", TJVCLBaseComboBox, TComboBox>;
using TJVCLRadioGroup = TJVCLLeaf<"TJVCLRadioGroup", TJVCLBaseRadioGroup, TRadioGroup>;
using TJVCLSplitter = TJVCLLeaf<"TJVCLSplitter", TJVCLBaseSplitter, TSplitter>;
using TJVCLGroupBox = TJVCLLeaf<"TJVCLGroupBox", TJVCLBaseGroupBox, TGroupBox>;
using TJVCLPanel = TJVCLLeaf<"TJVCLPanel", TJVCLBasePanel, TPanel>;
using TJVCLImage = TJVCLLeaf<"TJVCLImage", TJVCLBaseImage, TImage>;
