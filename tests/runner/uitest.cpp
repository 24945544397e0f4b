// UITest: the script object through which script tests get GUI objects of
// their own, as a host hands its forms and controls to scripts: made by class
// name (owned by the test object unless an owner or null is given), freed,
// given a wrapper's event thunk, and clicked. The wrappers come from
// the bridge's caster.
#include "tests/runner/uitest.h"

#include "bridge/caster.h"
#include "bridge/component.h"
#include "engine/core/published.h"
#include "engine/core/valuelist.h"
#include "ui/controls.h"

namespace {

class TUITest : public TJObject {
    RTL_DECLARE_CLASS()
    TUITest(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
        : TJObject(key, runtime, args), Root_(new TComponent(nullptr)) {
        SetClassName("UITest");
    }
    ~TUITest() override { Root_->Free(); }

    const TJMethodTable& Methods() const override;

private:

    // create(className [, owner [, name [, wrap]]]): the new component's
    // wrapper (null when wrap is false, so that an owner wrapped later finds
    // it among its named children). The owner is a wrapper's component, none
    // for null, else the root or (a text) the root's component of that name.
    // A control gets a window-control owner as its parent.
    static void create(TUITest& self, TJValueList* args, TJValue& result) {
        TComponent* owner = self.Root_;
        if (ArgCount(args) > 1) {
            const TJValue& given = args->At(1);
            if (IsStringValue(&given)) {
                bool named = given.ValueType == vtString && !given.StrValue.empty();  // a String object names none
                owner = named ? self.Root_->FindComponent(ValueToString(given)) : self.Root_;
            } else {
                owner = componentOf(given);
            }
        }
        TComponent* component = CreateComponent(FindClass(ValueToString(args->At(0))), owner);
        if (ArgCount(args) > 2) component->SetName(ValueToString(args->At(2)));
        if (component->InheritsFrom(&TControl::classInfo) && owner && owner->InheritsFrom(&TWinControl::classInfo))
            static_cast<TControl*>(component)->SetParent(static_cast<TWinControl*>(owner));
        if (ArgCount(args) > 3 && !ValueToBool(&args->At(3))) MakeNull(result);
        else MakeObject(Cast(component, self.Runtime()), result);
    }

    static void free(TUITest&, TJValueList* args, TJValue&) {
        if (TComponent* component = componentOf(args->At(0))) component->Free();
    }

    // hook(wrapper, "Click", "DblClick" or "Destroy" [, handler]): the object's event
    // calls the script handler of the handler wrapper (the wrapper itself
    // when absent).
    static void hook(TUITest&, TJValueList* args, TJValue& result) {
        auto* wrapper = static_cast<TJVCLComponent*>(WrapperOfValue(args->At(0)));
        auto* handler = ArgCount(args) > 2 ? static_cast<TJVCLComponent*>(WrapperOfValue(args->At(2))) : wrapper;
        AnsiString name = ValueToString(args->At(1));
        TJHook row = name == "Destroy"    ? OnDestroy()
                     : name == "DblClick" ? On<"OnDblClick", TNotifyEvent>()
                                          : On<"OnClick", TNotifyEvent>();
        TJValue thunk;
        MakeEvent(TMethod{row.Code, handler}, thunk);
        MakeBool(WritePublishedProperty(wrapper->VCL(), row.Property, thunk, &NotifyEventType), result);
    }

    // fire(wrapper, "Click" or "DblClick"): the control's own click handling.
    static void fire(TUITest&, TJValueList* args, TJValue&) {
        auto* control = static_cast<TControl*>(componentOf(args->At(0)));
        if (ValueToString(args->At(1)) == "DblClick") control->DblClick();
        else control->Click();
    }

    // root(): the wrapper of the component that owns what create makes.
    static void root(TUITest& self, TJValueList*, TJValue& result) {
        MakeObject(Cast(self.Root_, self.Runtime()), result);
    }

    static TComponent* componentOf(const TJValue& value) {
        TJVCLPersistent* wrapper = WrapperOfValue(value);
        return wrapper ? static_cast<TJVCLComponent*>(wrapper)->WrappedComponent() : nullptr;
    }

    TComponent* Root_;
};

const TJMethodTable& TUITest::Methods() const {
    static const TJMethod<TUITest> methods[] = {
        {"create", 0, &TUITest::create},
        {"free", 0, &TUITest::free},
        {"hook", 0, &TUITest::hook},
        {"fire", 0, &TUITest::fire},
        {"root", 0, &TUITest::root},
    };
    static const TJMethodTable table(methods, TJObject::Methods());
    return table;
}

const TClassInfo TUITest::classInfo = makeClassInfo("TUITest", &TJObject::classInfo, &scriptCreator<TUITest>);

}  // namespace

void RegisterTestObjects(TROrovod& component) { component.ImportObject("UITest", &TUITest::classInfo); }
