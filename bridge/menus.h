// The wrappers of menus and actions: the menu item (its sub-items as an
// array-like object), the menu with its main and popup kinds, and the action
// that buttons and menu items follow. Each is the wrapper the caster makes
// for an existing object and, as a leaf, what `new VCLMenuItem()`,
// `new VCLMainMenu()`, `new VCLPopupMenu()` and `new VCLAction()` make.
#pragma once

#include "bridge/wrapper.h"
#include "ui/actions.h"
#include "ui/menus.h"

// The sub-items: `for ... in`, item[i] and length.
class TJVCLBaseMenuItem
    : public TJVCLFamily<TJVCLComponentList<TJVCLComponent, &TMenuItem::Count, &TMenuItem::Items>, TMenuItem,
                         "VCLMenuItem"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
    TJHookList Hooks() const override;
};

class TJVCLBaseMenu : public TJVCLFamily<TJVCLComponent, TMenu, "VCLMenu"> {
    RTL_DECLARE_CLASS()
    using TJVCLFamily::TJVCLFamily;
    const TJMethodTable& Methods() const override;
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
