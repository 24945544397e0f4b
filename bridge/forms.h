// TJVCLBaseForm: the wrapper of a form ("VCLForm"), and its leaf TJVCLForm,
// which scripts make with `new VCLForm()`. A form made with the argument true
// is the script's main form: closing it ends the script's event loop.
#pragma once

#include "bridge/controls.h"
#include "bridge/wrapper.h"
#include "ui/forms.h"

class TJVCLBaseForm : public TJVCLFamily<TJVCLWinControl, TForm, "VCLForm"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;

    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;

    // ---- Published ----
    bool Main() const { return Main_; }
    void SetMain(bool value) { Main_ = value; }

protected:
    // A Boolean first argument is `main`; any other leaves it false.
    void Construct(TJValueList* args) override;

private:
    bool Main_ = false;
};

using TJVCLForm = TJVCLLeaf<"TJVCLForm", TJVCLBaseForm, TForm>;
