// The menu, menu-item and action wrappers: their tables and the item
// methods, which take as items only those a script made (new VCLMenuItem()).
// Every item, menu or parent they hand out is the object's one wrapper, the
// caster's: a second wrapper would take the object's slot and its events.
#include "bridge/menus.h"

#include "bridge/caster.h"
#include "bridge/controls.h"
#include "bridge/stdctrls.h"
#include "engine/core/published.h"

namespace {

// The item of a value that is a script-made menu item holding one; nil otherwise.
TMenuItem* createdItem(const TJValue& value) {
    TJVCLPersistent* wrapper = WrapperOfValue(value);
    return wrapper && wrapper->InheritsFrom(&TJVCLMenuItem::classInfo) ? LinkedAs<TMenuItem>(wrapper) : nullptr;
}

TMenuItem& itemOf(TJVCLComponent& self) { return *static_cast<TMenuItem*>(self.VCL()); }

int64_t itemHandle(TMenuItem& item) { return reinterpret_cast<intptr_t>(item.Handle()); }

// ==== Menu item ====

void insert(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 2);
    TMenuItem* item = createdItem(args->At(1));
    if (!item) return;
    self.GuardVCL([&] { itemOf(self).Insert(ValueToInteger(args->At(0)), item); });
}

void deleteItem(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    int index = ValueToInteger(args->At(0));
    if (index < 0 || index >= itemOf(self).Count()) return;
    self.GuardVCL([&] { itemOf(self).Delete(index); });
}

void clear(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    self.GuardVCL([&] { itemOf(self).Clear(); });
}

void click(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    self.GuardVCL([&] { itemOf(self).Click(); });
}

void find(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    CastResult(self, itemOf(self).Find(ValueToString(args->At(0)).view()), result);
}

void indexOf(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TMenuItem* item = createdItem(args->At(0));
    MakeInteger(item ? itemOf(self).IndexOf(item) : -1, result);
}

void getParentMenu(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 0);
    CastResult(self, itemOf(self).GetParentMenu(), result);
}

template <int (TMenuItem::*Insert)(TMenuItem*)>
void newLineBeside(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    TMenuItem* item = createdItem(args->At(0));
    MakeInteger(-1, result);
    if (item) self.GuardVCL([&] { MakeInteger((itemOf(self).*Insert)(item), result); });
}

// Every argument that is a script-made item, in order, with one rebuild.
void add(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    std::vector<TMenuItem*> items;
    for (int i = 0; i < args->Count(); ++i)
        if (TMenuItem* item = createdItem(args->At(i))) items.push_back(item);
    self.GuardVCL([&] { itemOf(self).Add(std::span<TMenuItem* const>(items)); });
}

void remove(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    if (TMenuItem* item = createdItem(args->At(0))) self.GuardVCL([&] { itemOf(self).Remove(item); });
}

void items(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    int index = ValueToInteger(args->At(0));
    if (index < 0 || index >= itemOf(self).Count()) self.RaiseArgumentsError();
    self.GetItem(index, result);
}

const TPropInfo menuItemProperties[] = {
    ActionProperty(),
    Forward<&TMenuItem::Command>("Command"),
    Forward<&itemHandle>("Handle"),
    Forward<&TMenuItem::Count>("Count"),
    Forward<&TMenuItem::Count>("length"),
    Forward<&TMenuItem::MenuIndex, &TMenuItem::SetMenuIndex>("MenuIndex"),
    Component<&TMenuItem::Parent>("Parent"),
};

const TJWrapperMethod menuItemMethods[] = {
    Call<&TMenuItem::InitiateAction>("initiateAction"),
    {"insert", 0, &insert, TJMethodResult::Self},
    {"delete", 0, &deleteItem, TJMethodResult::Self},
    {"clear", 0, &clear, TJMethodResult::Self},
    {"click", 0, &click, TJMethodResult::Self},
    {"find", 0, &find},
    {"indexOf", 0, &indexOf},
    Call<&TMenuItem::IsLine>("isLine"),
    {"getParentMenu", 0, &getParentMenu},
    Call<&TMenuItem::NewTopLine>("newTopLine"),
    Call<&TMenuItem::NewBottomLine>("newBottomLine"),
    {"insertNewLineBefore", 0, &newLineBeside<&TMenuItem::InsertNewLineBefore>},
    {"insertNewLineAfter", 0, &newLineBeside<&TMenuItem::InsertNewLineAfter>},
    {"add", 0, &add, TJMethodResult::Self},
    {"remove", 0, &remove, TJMethodResult::Self},
    Call<&TMenuItem::RethinkHotkeys>("rethinkHotkeys"),
    Call<&TMenuItem::RethinkLines>("rethinkLines"),
    {"items", 0, &items},
};

const TJHook menuItemRows[] = {On<"OnClick", TNotifyEvent>(TJHookWhen::WithoutAction)};
const TJHookPart menuItemHooks[] = {menuItemRows};

// ==== Menus ====

TMenu& menuOf(TJVCLComponent& self) { return *static_cast<TMenu*>(self.VCL()); }

int64_t menuHandle(TMenu& menu) { return reinterpret_cast<intptr_t>(menu.Handle()); }

void dispatchPopup(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    auto handle = reinterpret_cast<HMENU>(static_cast<intptr_t>(ValueToDouble(args->At(0))));
    self.GuardVCL([&] { MakeBool(menuOf(self).DispatchPopup(handle), result); });
}

// A kind that names no search finds nothing.
void findItem(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 2);
    MakeNull(result);
    int kind;
    if (!ValueToEnum(&FindItemKindInfo, args->At(1), kind) || kind < 0 || kind > fkShortCut) return;
    auto value = static_cast<UINT_PTR>(static_cast<intptr_t>(ValueToDouble(args->At(0))));
    CastResult(self, menuOf(self).FindItem(value, TFindItemKind(kind)), result);
}

void getHelpContext(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 2);
    auto value = static_cast<UINT_PTR>(static_cast<intptr_t>(ValueToDouble(args->At(0))));
    MakeInteger(menuOf(self).GetHelpContext(value, ValueToBool(args->At(1))), result);
}

const TPropInfo menuProperties[] = {
    Forward<&menuHandle>("Handle"),
    Component<&TMenu::Items>("items"),
    Forward<&TMenu::WindowHandle, &TMenu::SetWindowHandle>("WindowHandle"),
};

const TJWrapperMethod menuMethods[] = {
    Call<&TMenu::DispatchCommand>("dispatchCommand"),
    {"dispatchPopup", 0, &dispatchPopup},
    {"findItem", 0, &findItem},
    {"getHelpContext", 0, &getHelpContext},
};

// merge and unmerge take a main menu's wrapper holding one; other values are ignored.
template <void (TMainMenu::*Apply)(TMainMenu*)>
void mergeWith(TJVCLComponent& self, TJValueList* args, TJValue&) {
    self.CheckVCL(args, 1);
    TMainMenu* other = LinkedAs<TMainMenu>(WrapperOfValue(args->At(0)));
    if (other) self.GuardVCL([&] { (static_cast<TMainMenu&>(menuOf(self)).*Apply)(other); });
}

const TJWrapperMethod mainMenuMethods[] = {
    {"merge", 0, &mergeWith<&TMainMenu::Merge>, TJMethodResult::Self},
    {"unmerge", 0, &mergeWith<&TMainMenu::Unmerge>, TJMethodResult::Self},
};

const TJHook mainMenuRows[] = {On<"OnChange", TMenuChangeEvent>()};
const TJHookPart mainMenuHooks[] = {mainMenuRows};

const TPropInfo popupMenuProperties[] = {
    Component<&TPopupMenu::PopupComponent, &TPopupMenu::SetPopupComponent>("PopupComponent"),
};

const TJWrapperMethod popupMenuMethods[] = {Call<&TPopupMenu::Popup>("popup")};

const TJHook popupMenuRows[] = {On<"OnChange", TMenuChangeEvent>(), On<"OnPopup", TNotifyEvent>()};
const TJHookPart popupMenuHooks[] = {popupMenuRows};

// ==== Action ====

const TJWrapperMethod actionMethods[] = {
    Call<&TBasicAction::Execute>("execute"),
    Call<&TBasicAction::Update>("update"),
};

const TJHook actionRows[] = {On<"OnExecute", TNotifyEvent>(), On<"OnUpdate", TNotifyEvent>()};
const TJHookPart actionHooks[] = {actionRows};
const TJHook hintRow[] = {On<"OnHint", THintEvent>()};
const TJHookPart madeActionHooks[] = {actionRows, hintRow};

}  // namespace

// ==== Class records ====

const TClassInfo TJVCLBaseMenuItem::classInfo = makeClassInfo("TJVCLBaseMenuItem", &TJVCLComponent::classInfo,
                                                              menuItemProperties, &scriptCreator<TJVCLBaseMenuItem>);
const TClassInfo TJVCLBaseMenu::classInfo =
    makeClassInfo("TJVCLBaseMenu", &TJVCLComponent::classInfo, menuProperties, &scriptCreator<TJVCLBaseMenu>);
const TClassInfo TJVCLBaseMainMenu::classInfo =
    makeClassInfo("TJVCLBaseMainMenu", &TJVCLBaseMenu::classInfo, &scriptCreator<TJVCLBaseMainMenu>);
const TClassInfo TJVCLBasePopupMenu::classInfo = makeClassInfo(
    "TJVCLBasePopupMenu", &TJVCLBaseMenu::classInfo, popupMenuProperties, &scriptCreator<TJVCLBasePopupMenu>);
const TClassInfo TJVCLBaseAction::classInfo =
    makeClassInfo("TJVCLBaseAction", &TJVCLComponent::classInfo, &scriptCreator<TJVCLBaseAction>);
const TClassInfo TJVCLAction::classInfo =
    makeClassInfo("TJVCLAction", &TJVCLBaseAction::classInfo, &scriptCreator<TJVCLAction>);

// ==== Menu item ====

const TJMethodTable& TJVCLBaseMenuItem::Methods() const {
    static const TJMethodTable table(menuItemMethods, TJVCLComponent::Methods());
    return table;
}

TJHookList TJVCLBaseMenuItem::Hooks() const { return menuItemHooks; }

// ==== Menus ====

const TJMethodTable& TJVCLBaseMenu::Methods() const {
    static const TJMethodTable table(menuMethods, TJVCLComponent::Methods());
    return table;
}

const TJMethodTable& TJVCLBaseMainMenu::Methods() const {
    static const TJMethodTable table(mainMenuMethods, TJVCLBaseMenu::Methods());
    return table;
}

TJHookList TJVCLBaseMainMenu::Hooks() const { return mainMenuHooks; }

const TJMethodTable& TJVCLBasePopupMenu::Methods() const {
    static const TJMethodTable table(popupMenuMethods, TJVCLBaseMenu::Methods());
    return table;
}

TJHookList TJVCLBasePopupMenu::Hooks() const { return popupMenuHooks; }

// ==== Action ====

const TJMethodTable& TJVCLBaseAction::Methods() const {
    static const TJMethodTable table(actionMethods, TJVCLComponent::Methods());
    return table;
}

TJHookList TJVCLBaseAction::Hooks() const { return actionHooks; }
TJHookList TJVCLAction::Hooks() const { return madeActionHooks; }
