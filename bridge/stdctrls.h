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

class TJVCLBaseEdit : public TJVCLFamily<TJVCLWinControl, TEdit, "VCLEdit"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseMemo : public TJVCLFamily<TJVCLBaseEdit, TMemo, "VCLMemo"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    ~TJVCLBaseMemo() override;

    // ---- Published ----
    // The memo's one Point, set to the caret's column and line on each read.
    TObject* CaretPos() const;

protected:
    void InitWrapper() override;

private:
    TJPoint* Caret_ = nullptr;
};

class TJVCLBaseButton : public TJVCLFamily<TJVCLWinControl, TButton, "VCLButton"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseLabel : public TJVCLFamily<TJVCLControl, TLabel, "VCLLabel"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseTimer : public TJVCLFamily<TJVCLComponent, TTimer, "VCLTimer"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseCheckBox : public TJVCLFamily<TJVCLWinControl, TCheckBox, "VCLCheckBox"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseRadioButton : public TJVCLFamily<TJVCLWinControl, TRadioButton, "VCLRadioButton"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseListBox : public TJVCLFamily<TJVCLWinControl, TListBox, "VCLListBox"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseCheckListBox : public TJVCLFamily<TJVCLBaseListBox, TCheckListBox, "VCLCheckListBox"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseComboBox : public TJVCLFamily<TJVCLWinControl, TComboBox, "VCLComboBox"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseRadioGroup : public TJVCLFamily<TJVCLWinControl, TRadioGroup, "VCLRadioGroup"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseSplitter : public TJVCLFamily<TJVCLControl, TSplitter, "VCLSplitter"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseGroupBox : public TJVCLFamily<TJVCLWinControl, TGroupBox, "VCLGroupBox"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBasePanel : public TJVCLFamily<TJVCLWinControl, TPanel, "VCLPanel"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseImage : public TJVCLFamily<TJVCLControl, TImage, "VCLImage"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
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
