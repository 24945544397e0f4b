// The wrappers of the everyday controls: edit, memo, button, label, timer,
// check box, group box, panel and image, each the wrapper the caster makes
// for an existing control (Base) and, as a leaf, the class a script makes
// with `new` (new VCLButton(form)). They differ only in their tables.
#pragma once

#include "bridge/controls.h"
#include "bridge/wrapper.h"
#include "ui/edits.h"
#include "ui/image.h"
#include "ui/panel.h"
#include "ui/stdctrls.h"
#include "ui/timer.h"

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
    const TClassInfo* VCLClass() const override { return &TMemo::classInfo; }
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
using TJVCLGroupBox = TJVCLLeaf<"TJVCLGroupBox", TJVCLBaseGroupBox, TGroupBox>;
using TJVCLPanel = TJVCLLeaf<"TJVCLPanel", TJVCLBasePanel, TPanel>;
using TJVCLImage = TJVCLLeaf<"TJVCLImage", TJVCLBaseImage, TImage>;
