// The wrappers of the common dialogs: the family's root (no leaf of its own),
// the open and save dialogs, the font dialog and the modeless find and
// replace dialogs. Each adds "execute" (the find dialogs "closeDialog" too)
// and routes its dialog's events; the settings and results are the dialogs'
// published properties.
#pragma once

#include "bridge/wrapper.h"
#include "ui/dialogs.h"
#include "ui/filedialogs.h"

class TJVCLBaseCommonDialog : public TJVCLFamily<TJVCLComponent, TCommonDialog, "VCLDiaog"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;

    // Shows the dialog: the result of "execute"; nothing here.
    virtual void ExecuteDialog(TJValue& result) { MakeUndefined(result); }

protected:
    // The dialog's own Execute, its answer as a Boolean.
    void executeLinked(TJValue& result);
};

class TJVCLBaseOpenDialog : public TJVCLFamily<TJVCLBaseCommonDialog, TOpenDialog, "VCLOpenDialog"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
    void ExecuteDialog(TJValue& result) override { executeLinked(result); }
};

class TJVCLBaseSaveDialog : public TJVCLFamily<TJVCLBaseOpenDialog, TSaveDialog, "VCLSaveDialog"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
};

class TJVCLBaseFontDialog : public TJVCLFamily<TJVCLBaseCommonDialog, TFontDialog, "VCLFontDialog"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
    void ExecuteDialog(TJValue& result) override { executeLinked(result); }
};

class TJVCLBaseFindDialog : public TJVCLFamily<TJVCLBaseCommonDialog, TFindDialog, "VCLFindDialog"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
    void ExecuteDialog(TJValue& result) override { executeLinked(result); }
};

class TJVCLBaseReplaceDialog : public TJVCLFamily<TJVCLBaseFindDialog, TReplaceDialog, "VCLReplaceDialog"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

using TJVCLOpenDialog = TJVCLLeaf<"TJVCLOpenDialog", TJVCLBaseOpenDialog, TOpenDialog>;
using TJVCLSaveDialog = TJVCLLeaf<"TJVCLSaveDialog", TJVCLBaseSaveDialog, TSaveDialog>;
using TJVCLFontDialog = TJVCLLeaf<"TJVCLFontDialog", TJVCLBaseFontDialog, TFontDialog>;
using TJVCLFindDialog = TJVCLLeaf<"TJVCLFindDialog", TJVCLBaseFindDialog, TFindDialog>;
using TJVCLReplaceDialog = TJVCLLeaf<"TJVCLReplaceDialog", TJVCLBaseReplaceDialog, TReplaceDialog>;
