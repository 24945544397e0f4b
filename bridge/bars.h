// The wrappers of the bar controls: tab control, page control and tab sheet,
// progress bar, status bar with its panels, tool bar and tool button, cool
// bar, up-down and spin edit. The page control and the tool bar are
// array-like (their pages, their buttons); every page, sheet or button they
// hand out is the component's one wrapper, the caster's.
#pragma once

#include "bridge/controls.h"
#include "bridge/stdctrls.h"
#include "bridge/wrapper.h"
#include "ui/bars.h"

class TJVCLBaseTabControl : public TJVCLFamily<TJVCLWinControl, TTabControl, "VCLTabControl"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

// (Its methods read the control as the common tab control base.)
class TJVCLBasePageControl
    : public TJVCLFamily<TJVCLComponentList<TJVCLBaseTabControl, &TPageControl::PageCount, &TPageControl::Pages>,
                         TPageControl, "VCLPageControl"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
};

class TJVCLBaseTabSheet : public TJVCLFamily<TJVCLWinControl, TTabSheet, "VCLTabSheet"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseProgressBar : public TJVCLFamily<TJVCLWinControl, TProgressBar, "VCLProgressBar"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

// The panels of one status bar: a new plain wrapper per panel read, which
// unlinks with the status bar's wrapper.
class TJVCLBaseStatusPanels : public TJVCLPersistent {
    RTL_DECLARE_CLASS()
    TJVCLBaseStatusPanels(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TJMethodTable& Methods() const override;
    const TClassInfo* VCLClass() const override { return &TStatusPanels::classInfo; }
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override;
    void GetItem(int32_t index, TJValue& value) override;
    bool GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) override;
    bool SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList* args) override;

    // The bar's wrapper, which the panel wrappers unlink with.
    void SetOwnerWrapper(TJVCLPersistent* owner) { Owner_ = owner; }
    // A new wrapper of the panel at the index; null outside the panels.
    void PanelAt(int index, TJValue& result);
    // Copies the settings of the value's panel into the panel at the index
    // (a wrapper of anything else changes nothing); the result is the value,
    // null outside the panels. A value that is no wrapper: the arguments error.
    void AssignPanel(int index, const TJValue& value, TJValue& result);
    int Count() const;

private:
    TJVCLPersistent* Owner_ = nullptr;  // the status bar's wrapper, which holds this one
};

class TJVCLBaseStatusBar : public TJVCLFamily<TJVCLWinControl, TStatusBar, "VCLStatusBar"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    ~TJVCLBaseStatusBar() override;
    TJHookList Hooks() const override;

    // ---- Published ----
    // The one panels wrapper, aimed at the bar's panels on each read.
    TObject* PanelsWrapper() const;
    // Panel wrappers are made through it and unlink with this wrapper.
    void AdoptPanel(TJVCLPersistent* panel) { AddDependent(panel); }
    // The engine's teardown may free the panels wrapper first.
    void FreeNotify(TJNotify* peer) override;

protected:
    void InitWrapper() override;

private:
    TJVCLBaseStatusPanels* Panels_ = nullptr;
};

class TJVCLToolWindow : public TJVCLFamily<TJVCLWinControl, TToolWindow, "VCLToolWindow"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
};

class TJVCLBaseToolBar
    : public TJVCLFamily<TJVCLComponentList<TJVCLToolWindow, &TToolBar::ButtonCount, &TToolBar::Buttons, TJOutside::Null>,
                         TToolBar, "VCLToolBar"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseToolButton : public TJVCLFamily<TJVCLControl, TToolButton, "VCLToolButton"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseCoolBar : public TJVCLFamily<TJVCLToolWindow, TCoolBar, "CoolBar"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseUpDown : public TJVCLFamily<TJVCLToolWindow, TUpDown, "VCLUpDown"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

class TJVCLBaseSpinEdit : public TJVCLFamily<TJVCLBaseEdit, TSpinEdit, "VCLSpinEdit"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    TJHookList Hooks() const override;
};

using TJVCLTabControl = TJVCLLeaf<"TJVCLTabControl", TJVCLBaseTabControl, TTabControl>;
using TJVCLPageControl = TJVCLLeaf<"TJVCLPageControl", TJVCLBasePageControl, TPageControl>;
using TJVCLTabSheet = TJVCLLeaf<"TJVCLTabSheet", TJVCLBaseTabSheet, TTabSheet>;
using TJVCLProgressBar = TJVCLLeaf<"TJVCLProgressBar", TJVCLBaseProgressBar, TProgressBar>;
using TJVCLStatusBar = TJVCLLeaf<"TJVCLStatusBar", TJVCLBaseStatusBar, TStatusBar>;
using TJVCLToolBar = TJVCLLeaf<"TJVCLToolBar", TJVCLBaseToolBar, TToolBar>;
using TJVCLToolButton = TJVCLLeaf<"TJVCLToolButton", TJVCLBaseToolButton, TToolButton>;
using TJVCLCoolBar = TJVCLLeaf<"TJVCLCoolBar", TJVCLBaseCoolBar, TCoolBar>;
using TJVCLUpDown = TJVCLLeaf<"TJVCLUpDown", TJVCLBaseUpDown, TUpDown>;
using TJVCLSpinEdit = TJVCLLeaf<"TJVCLSpinEdit", TJVCLBaseSpinEdit, TSpinEdit>;
