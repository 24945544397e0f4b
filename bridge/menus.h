// The wrappers of menus and actions: the menu item (its sub-items as an
// array-like object), the menu with its main and popup kinds, and the action
// that buttons and menu items follow. Each is the wrapper the caster makes
// for an existing object and, as a leaf, what `new VCLMenuItem()`,
// `new VCLMainMenu()`, `new VCLPopupMenu()` and `new VCLAction()` make.
#pragma once

#include "bridge/wrapper.h"
#include "ui/actions.h"
#include "ui/menus.h"

class TJVCLBaseMenuItem : public TJVCLFamily<TJVCLComponent, TMenuItem, "VCLMenuItem"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
    // The sub-items: `for ... in`, item[i] and length.
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override;
    void GetItem(int32_t index, TJValue& value) override;
    void GetIndexValue(int32_t index, TJValue& value) override { GetItem(index, value); }

    // ---- Published ----
    // The parent item's one wrapper; null for none.
    TObject* ParentItem() const;
};

class TJVCLBaseMenu : public TJVCLFamily<TJVCLComponent, TMenu, "VCLMenu"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;

    // ---- Published ----
    // The root item's one wrapper.
    TObject* RootItem() const;
};

class TJVCLBaseMainMenu : public TJVCLFamily<TJVCLBaseMenu, TMainMenu, "VCLMainMenu"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBasePopupMenu : public TJVCLFamily<TJVCLBaseMenu, TPopupMenu, "VCLPopupMenu"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;

    // ---- Published ----
    TObject* PopupComponentWrapper() const;
    // A component wrapper sets it; anything else is ignored.
    void SetPopupComponentWrapper(TObject* wrapper);
};

class TJVCLBaseAction : public TJVCLFamily<TJVCLComponent, TBasicAction, "VCLAction"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

using TJVCLMenuItem = TJVCLLeaf<"TJVCLMenuItem", TJVCLBaseMenuItem, TMenuItem>;
using TJVCLMainMenu = TJVCLLeaf<"TJVCLMainMenu", TJVCLBaseMainMenu, TMainMenu>;
using TJVCLPopupMenu = TJVCLLeaf<"TJVCLPopupMenu", TJVCLBasePopupMenu, TPopupMenu>;
// The action a script makes: a TAction of its own, whose hint also asks the
// script ("onHint": a boxed hint text and a boxed can-show flag, no sender).
class TJVCLAction : public TJVCLBaseAction {
    RTL_DECLARE_CLASS()
    using TJVCLBaseAction::TJVCLBaseAction;
    void CreateVCL() override { AttachVCL(new TAction(nullptr), true); }
    const TClassInfo* VCLClass() const override { return &TAction::classInfo; }
    TJHookList Hooks() const override;
};
