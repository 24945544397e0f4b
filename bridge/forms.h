// TJVCLBaseForm: the wrapper of a form ("VCLForm"), and its leaf TJVCLForm,
// which scripts make with `new VCLForm()`. A form made with the argument true
// is the script's main form: closing it ends the script's event loop. The
// form loads and saves its components as form streams (files and texts in
// the text format; the binary one is read too) and drags files and text out.
#pragma once

#include "bridge/controls.h"
#include "bridge/wrapper.h"
#include "rtl/stream.h"
#include "ui/forms.h"

class TDragDropSource;

class TJVCLBaseForm : public TJVCLFamily<TJVCLWinControl, TForm, "VCLForm"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    ~TJVCLBaseForm() override;

    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;

    // Reads a form stream of either format (the binary one by its signature)
    // into the form: its components
    // become the form's, and members of the wrapper by name. A stream that
    // fails leaves what it made before the failure; one naming a class that
    // is not registered changes nothing.
    virtual void LoadFormStream(TStream& stream);
    // Writes the form with its components in the text format.
    virtual void SaveFormStream(TStream& stream);
    // Made on the first drag, freed with the wrapper.
    TDragDropSource& DragSource();

    // ---- Published ----
    bool Main() const { return Main_; }
    void SetMain(bool value) { Main_ = value; }

protected:
    // A Boolean first argument is `main`; any other leaves it false.
    void Construct(TJValueList* args) override;

private:
    bool Main_ = false;
    TDragDropSource* DragSource_ = nullptr;
};

using TJVCLForm = TJVCLLeaf<"TJVCLForm", TJVCLBaseForm, TForm>;
