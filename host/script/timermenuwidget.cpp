// The timer, menu item and widget script classes.
#include "host/script/timermenuwidget.h"

#include "bridge/caster.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "host/window/skinform.h"
#include "rtl/filepath.h"
#include "ui/menus.h"
#include "ui/timer.h"

namespace {

const TPropInfo timerProperties[] = {
    ElementProperty<&TTimer::Interval, &TTimer::SetInterval>("Interval"),
};

const TPropInfo menuItemProperties[] = {
    StringProperty<&TJVCLBaseExMenuItem::Text, &TJVCLBaseExMenuItem::SetText>("text"),
    ClassProperty<&TJVCLBaseExMenuItem::ParentWrapper, &TJVCLBaseExMenuItem::SetParentWrapper>("parent",
                                                                                              &TJObject::classInfo),
    ElementProperty<&TMenuItem::Visible, &TMenuItem::SetVisible>("Visible"),
    ElementProperty<&TMenuItem::Enabled, &TMenuItem::SetEnabled>("Enabled"),
};

const TJHook timerRows[] = {Notice<"OnTimer", TJVCLBaseExTimer>()};
const TJHookPart timerHooks[] = {timerRows};
const TJHook menuItemRows[] = {Notice<"OnClick", TJVCLBaseExMenuItem>()};
const TJHookPart menuItemHooks[] = {menuItemRows};

const TPropInfo widgetProperties[] = {
    StringProperty<&TWidgetObject::FileName>("fileName"),
    StringProperty<&TWidgetObject::FilePath>("filePath"),
    StringProperty<&TWidgetObject::HelpFile, &TWidgetObject::SetHelpFile>("helpFile"),
};

// The widget window whose own menu holds the entry at its top level; nil otherwise.
TSkinForm* menuWindowOf(const TMenuItem* item) {
    TMenu* menu = item->Parent() ? item->GetParentMenu() : nullptr;
    if (!menu || item->Parent() != menu->Items()) return nullptr;
    TComponent* owner = menu->Owner();
    return owner && owner->InheritsFrom(&TSkinForm::classInfo) && static_cast<TSkinForm*>(owner)->Menu == menu
               ? static_cast<TSkinForm*>(owner)
               : nullptr;
}

// Script entries go right before the menu's first "-", in the order they come.
void insertIntoWindowMenu(TSkinForm* window, TMenuItem* item) {
    TMenuItem* root = window->Menu->Items();
    int index = 0;
    while (index < root->Count() && !root->Items(index)->IsLine()) ++index;
    root->Insert(index, item);
}

}  // namespace

const TClassInfo TJVCLBaseExTimer::classInfo =
    makeClassInfo("TJVCLBaseExTimer", &TJVCLComponent::classInfo, timerProperties);
const TClassInfo TJVCLExTimer::classInfo =
    makeClassInfo("TJVCLExTimer", &TJVCLBaseExTimer::classInfo, &scriptCreator<TJVCLExTimer>);
const TClassInfo TJVCLBaseExMenuItem::classInfo =
    makeClassInfo("TJVCLBaseExMenuItem", &TJVCLComponent::classInfo, menuItemProperties);
const TClassInfo TJVCLExMenuItem::classInfo =
    makeClassInfo("TJVCLExMenuItem", &TJVCLBaseExMenuItem::classInfo, &scriptCreator<TJVCLExMenuItem>);
const TClassInfo TWidgetObject::classInfo =
    makeClassInfo("TWidgetObject", &TJObject::classInfo, widgetProperties, &scriptCreator<TWidgetObject>,
                  TGlobalInstance::Yes);

// ==== Timer ====

TJVCLBaseExTimer::TJVCLBaseExTimer(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJExElement(key, runtime, args) {
    SetClassName("timer");
}

const TClassInfo* TJVCLBaseExTimer::VCLClass() const { return &TTimer::classInfo; }

TTimer* TJVCLBaseExTimer::Timer() const { return HasVCL() ? static_cast<TTimer*>(VCL()) : nullptr; }

// 500.5 and "500" are no integer values: they stop the timer.
void TJVCLBaseExTimer::Construct(TJValueList* args) {
    TJExElement::Construct(args);
    if (!HasVCL() || !HasArgs(args)) return;
    const TJValue& interval = args->At(0);
    bool integer = IsIntegerValue(interval) && interval.IntegerValue > 0;
    Timer()->SetInterval(integer ? static_cast<uint32_t>(interval.IntegerValue) : 0);
}

TJHookList TJVCLBaseExTimer::Hooks() const { return timerHooks; }

void TJVCLExTimer::CreateVCL() { AttachVCL(new TTimer(nullptr), true); }

// ==== Menu item ====

TJVCLBaseExMenuItem::TJVCLBaseExMenuItem(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJExElement(key, runtime, args) {
    SetClassName("menuItem");
}

const TClassInfo* TJVCLBaseExMenuItem::VCLClass() const { return &TMenuItem::classInfo; }

TMenuItem* TJVCLBaseExMenuItem::Item() const { return HasVCL() ? static_cast<TMenuItem*>(VCL()) : nullptr; }

void TJVCLBaseExMenuItem::Construct(TJValueList* args) {
    TJExElement::Construct(args);
    if (HasVCL() && HasArgs(args) && IsObjectValue(args->At(0))) SetParentWrapper(args->At(0).ObjValue);
}

TJHookList TJVCLBaseExMenuItem::Hooks() const { return menuItemHooks; }

AnsiString TJVCLBaseExMenuItem::Text() const { return HasVCL() ? Item()->Caption() : AnsiString(); }

void TJVCLBaseExMenuItem::SetText(const AnsiString& text) {
    CheckVCL(nullptr, 0);
    GuardVCL([&] { Item()->SetCaption(text); });
}

TObject* TJVCLBaseExMenuItem::ParentWrapper() const {
    TMenuItem* item = Item();
    if (!item || !item->Parent()) return nullptr;
    if (TSkinForm* window = menuWindowOf(item)) return Cast(window, Runtime());
    return Cast(item->Parent(), Runtime());
}

// An entry sits under one parent at a time: wherever it was, it is taken out first.
void TJVCLBaseExMenuItem::SetParentWrapper(TObject* parent) {
    CheckVCL(nullptr, 0);
    TMenuItem* item = Item();
    TSkinForm* window = linkedOf<TSkinForm>(parent);
    TMenuItem* parentItem = linkedOf<TMenuItem>(parent);
    if (parent && !window && !parentItem) return;
    GuardVCL([&] {
        if (item->Parent()) item->Parent()->Remove(item);
        if (window) insertIntoWindowMenu(window, item);
        else if (parentItem) parentItem->Add(item);
    });
}

void TJVCLExMenuItem::CreateVCL() { AttachVCL(new TMenuItem(nullptr), true); }

// ==== Widget ====

TWidgetObject::TWidgetObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("widget");
}

AnsiString TWidgetObject::FileName() const { return Runtime()->GetScriptFileName(); }

AnsiString TWidgetObject::FilePath() const { return fileFolder(FileName()); }

AnsiString WidgetHelpFile(TROrovod& engine) {
    TJValue widget;
    if (!engine.Engine().FindGlobalValue("widget", widget) || !IsObjectOfClass(&widget, &TWidgetObject::classInfo))
        return AnsiString();
    return static_cast<TWidgetObject*>(widget.ObjValue)->HelpFile();
}
