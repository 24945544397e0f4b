// UITest: the script object through which script tests get GUI objects of
// their own, as a host hands its forms and controls to scripts: made by class
// name (owned by the test object unless an owner or null is given), freed,
// given a wrapper's event thunk, and clicked. The wrappers come from
// the bridge's caster.
#include "tests/runner/uitest.h"

#include "bridge/caster.h"
#include "bridge/component.h"
#include "bridge/thunks.h"
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

protected:
    void RegisterMethods() override {
        TJObject::RegisterMethods();
        RegisterMethodTable(methods_);
    }

private:
    static const TJMethodEntry methods_[5];

    // create(className [, owner [, name [, wrap]]]): the new component's
    // wrapper (null when wrap is false, so that an owner wrapped later finds
    // it among its named children). The owner is a wrapper's component, none
    // for null, else the root or (a text) the root's component of that name.
    // A control gets a window-control owner as its parent.
    void create(TJValueList* args, TJValue& result) {
        TComponent* owner = Root_;
        if (ArgCount(args) > 1) {
            const TJValue& given = args->At(1);
            if (IsStringValue(&given)) owner = given.StrValue.empty() ? Root_ : Root_->FindComponent(ValueToString(given));
            else owner = componentOf(given);
        }
        TComponent* component = CreateComponent(FindClass(ValueToString(args->At(0))), owner);
        if (ArgCount(args) > 2) component->SetName(ValueToString(args->At(2)));
        if (component->InheritsFrom(&TControl::classInfo) && owner && owner->InheritsFrom(&TWinControl::classInfo))
            static_cast<TControl*>(component)->SetParent(static_cast<TWinControl*>(owner));
        if (ArgCount(args) > 3 && !ValueToBool(&args->At(3))) MakeNull(result);
        else MakeObject(Cast(component, Runtime()), result);
    }

    void free(TJValueList* args, TJValue&) {
        if (TComponent* component = componentOf(args->At(0))) component->Free();
    }

    // hook(wrapper, "Click" [, handler]): the object's OnClick calls the
    // "onClick" of the handler wrapper (the wrapper itself when absent).
    void hook(TJValueList* args, TJValue& result) {
        auto* wrapper = static_cast<TJVCLComponent*>(WrapperOfValue(args->At(0)));
        auto* handler = ArgCount(args) > 2 ? static_cast<TJVCLComponent*>(WrapperOfValue(args->At(2))) : wrapper;
        AnsiString name = ValueToString(args->At(1));
        TJValue thunk;
        MakeEvent(NotifyThunk(thunkOf(name), handler), thunk);
        MakeBool(WritePublishedProperty(wrapper->VCL(), "On" + name, thunk, &NotifyEventType), result);
    }

    // fire(wrapper, "Click" or "DblClick"): the control's own click handling.
    void fire(TJValueList* args, TJValue&) {
        auto* control = static_cast<TControl*>(componentOf(args->At(0)));
        if (ValueToString(args->At(1)) == "DblClick") control->DblClick();
        else control->Click();
    }

    // root(): the wrapper of the component that owns what create makes.
    void root(TJValueList*, TJValue& result) { MakeObject(Cast(Root_, Runtime()), result); }

    static TComponent* componentOf(const TJValue& value) {
        TJVCLPersistent* wrapper = WrapperOfValue(value);
        return wrapper ? static_cast<TJVCLComponent*>(wrapper)->WrappedComponent() : nullptr;
    }

    static TJNotifyThunk thunkOf(const AnsiString& name) {
        static const char* const names[] = {
#define UI_THUNK_NAME(n) #n,
            VCL_NOTIFY_THUNKS(UI_THUNK_NAME)
#undef UI_THUNK_NAME
        };
        int i = 0;
        while (i < static_cast<int>(std::size(names)) - 1 && name != names[i]) ++i;
        return static_cast<TJNotifyThunk>(i);
    }

    TComponent* Root_;
};

const TJMethodEntry TUITest::methods_[5] = {
    {"create", &nativeMethod<TUITest, &TUITest::create>},
    {"free", &nativeMethod<TUITest, &TUITest::free>},
    {"hook", &nativeMethod<TUITest, &TUITest::hook>},
    {"fire", &nativeMethod<TUITest, &TUITest::fire>},
    {"root", &nativeMethod<TUITest, &TUITest::root>},
};

const TClassInfo TUITest::classInfo = makeClassInfo("TUITest", &TJObject::classInfo, &scriptCreator<TUITest>);

}  // namespace

void RegisterTestObjects(TROrovod& component) { component.ImportObject("UITest", &TUITest::classInfo); }
