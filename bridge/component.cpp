// The component wrapper: linking through the component's wrapper slot and
// free notification, unlinking from either side, named children, event names,
// the `action` rule and the script method "components".
#include "bridge/component.h"

#include "bridge/caster.h"
#include "engine/core/jhash.h"
#include "engine/core/published.h"
#include "engine/core/valuelist.h"
#include "stdlib/strings.h"
#include "ui/graphics.h"

namespace {

constexpr int childBuckets = 23;

const TPropInfo componentWrapperProperties[] = {
    IntegerProperty<&TJVCLComponent::ComponentCount>("ComponentCount"),
    IntegerProperty<&TJVCLComponent::ComponentIndex, &TJVCLComponent::SetComponentIndex>("ComponentIndex"),
    ClassProperty<&TJVCLComponent::OwnerWrapper>("Owner", &TJVCLComponent::classInfo),
    IntegerProperty<&TJVCLComponent::Tag, &TJVCLComponent::SetTag>("Tag"),
};

// The action wrappers are the wrappers of this class and its descendants.
bool isActionWrapper(const TJVCLPersistent* wrapper) {
    return wrapper && wrapper->HasVCL() && IsVCLClass(wrapper->VCL(), "TBasicAction");
}

}  // namespace

const TClassInfo TJVCLNotify::classInfo = makeClassInfo("TJVCLNotify", &TComponent::classInfo);
const TClassInfo TJVCLComponent::classInfo =
    makeClassInfo("TJVCLComponent", &TJVCLPersistent::classInfo, componentWrapperProperties,
                  &scriptCreator<TJVCLComponent>);

void TJVCLNotify::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component && component == Wrapper_->WrappedComponent()) Wrapper_->Unlink();
}

namespace {

void destroyThunk(void* data, TObject*) {
    auto& wrapper = *static_cast<TJVCLComponent*>(data);
    wrapper.Unlink();
    static const AnsiString name("onDestroy");
    if (!wrapper.HasEventHandler(name)) return;
    TJDispatchHold hold(wrapper);
    TJValueList args;
    TJValue sender;
    MakeObject(&wrapper, sender);
    args.Add(sender);
    TJValue result;
    wrapper.FireEvent(AnsiString(), name, result, &args);
}

}  // namespace

TJHook OnDestroy() { return OnWith<"OnDestroy", TNotifyEvent>(&destroyThunk); }

// ==== Construction ====

TJVCLComponent::TJVCLComponent(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJVCLPersistent(key, runtime, args) {
    SetClassName("VCLComponent");
}

TJVCLComponent::~TJVCLComponent() {
    DetachVCL();
    for (auto& [key, strings] : Companions_) strings->DecRef();
}

void TJVCLComponent::InitWrapper() {
    TJVCLPersistent::InitWrapper();
    Notifier_.reset(new TJVCLNotify(this));
    Children_ = std::make_unique<TJHash>(childBuckets);
}

namespace {

void components(TJVCLComponent& self, TJValueList* args, TJValue& result) {
    self.CheckVCL(args, 1);
    self.ComponentAt(ValueToInteger(&args->At(0)), result);
}

const TJMethod<TJVCLComponent> componentMethods[] = {
    {"components", 0, &components},
};

}  // namespace

const TJMethodTable& TJVCLComponent::Methods() const {
    static const TJMethodTable table(componentMethods, TJVCLPersistent::Methods());
    return table;
}

const TClassInfo* TJVCLComponent::VCLClass() const { return &TComponent::classInfo; }

TComponent* TJVCLComponent::WrappedComponent() const {
    return HasVCL() && VCL()->InheritsFrom(&TComponent::classInfo) ? static_cast<TComponent*>(VCL()) : nullptr;
}

// ==== Linking ====

bool TJVCLComponent::AttachVCL(TPersistent* object, bool owned) {
    if (!TJVCLPersistent::AttachVCL(object, owned)) return false;
    TComponent* component = WrappedComponent();
    component->FreeNotification(Notifier_.get());
    component->SetScriptWrapper(this);
    RegisterChildren();
    return true;
}

void TJVCLComponent::DetachVCL() {
    TComponent* component = WrappedComponent();
    if (!component) return;
    Children_->Clear();
    releaseComponent(component);
    TJVCLPersistent::DetachVCL();
}

void TJVCLComponent::HookEvents() { ApplyHooks(*this, Hooks()); }

void TJVCLComponent::Unlinked() {
    for (auto& [key, strings] : Companions_) strings->SetStrings(nullptr);
}

TJObject* TJVCLComponent::StringsCompanion(const void* key, TStrings* strings) {
    for (auto& [own, companion] : Companions_) {
        if (own != key) continue;
        companion->SetStrings(strings);
        return companion;
    }
    auto* companion = createObject<TJBaseStringsObject>(Runtime(), true, nullptr);
    companion->IncRef();
    companion->SetStrings(strings);
    Companions_.emplace_back(key, companion);
    return companion;
}

void TJVCLComponent::Unlink() {
    if (TComponent* component = WrappedComponent()) releaseComponent(component);
    DropLink();
}

// Only this wrapper's own handlers go: handlers others set stay. The Tag is
// the application's and is left alone.
void TJVCLComponent::releaseComponent(TComponent* component) {
    ClearEventProperties(component, this);
    component->RemoveFreeNotification(Notifier_.get());
    if (component->ScriptWrapper() == this) component->SetScriptWrapper(nullptr);
}

void TJVCLComponent::RegisterChildren() {
    TComponent* component = WrappedComponent();
    if (!component) return;
    for (int i = 0; i < component->ComponentCount(); ++i) {
        TComponent* child = component->Components(i);
        if (child->Name().empty()) continue;
        TJValue value;
        MakeObject(Cast(child, Runtime()), value);
        Children_->SetValue(child->Name(), value);
    }
}

// ==== Published ====

int TJVCLComponent::ComponentCount() const {
    TComponent* component = WrappedComponent();
    return component ? component->ComponentCount() : 0;
}

int TJVCLComponent::ComponentIndex() const {
    TComponent* component = WrappedComponent();
    return component ? component->ComponentIndex() : -1;
}

void TJVCLComponent::SetComponentIndex(int index) {
    CheckVCL(nullptr, 0);
    GuardVCL([&] { WrappedComponent()->SetComponentIndex(index); });
}

TObject* TJVCLComponent::OwnerWrapper() const {
    TComponent* component = WrappedComponent();
    return component ? Cast(component->Owner(), Runtime()) : nullptr;
}

int32_t TJVCLComponent::Tag() const {
    TComponent* component = WrappedComponent();
    return component ? component->Tag() : 0;
}

void TJVCLComponent::SetTag(int32_t tag) {
    CheckVCL(nullptr, 0);
    WrappedComponent()->SetTag(tag);
}

// ==== Member access ====

bool TJVCLComponent::GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) {
    return TJVCLPersistent::GetValueImpl(name, value, args) || Children_->GetValue(name, value);
}

bool TJVCLComponent::HasKey(const AnsiString& name) {
    return TJVCLPersistent::HasKey(name) || Children_->HasKey(name);
}

void TJVCLComponent::GetPropertyList(std::vector<AnsiString>& list) {
    list = PropertyNames();
    std::vector<AnsiString> children;
    Children_->GetKeys(children, 0, 0);
    list.insert(list.end(), children.begin(), children.end());
}

// The linked object's event names ("OnClick" as "onClick"), registered once on
// the first call after linking; later calls give the registered names.
void TJVCLComponent::GetEventList(std::vector<AnsiString>& list) {
    TJVCLPersistent::GetEventList(list);
    if (!list.empty() || !HasVCL()) return;
    std::vector<AnsiString> names;
    ListPublishedProperties(VCL(), names, true);
    for (const AnsiString& name : names) RegisterEventName(HandlerName(name.view()));
    list = Events();
}

void TJVCLComponent::SenderWrapper(TObject* sender, TJValue& result) {
    TJObject* wrapper = nullptr;
    if (sender && sender->InheritsFrom(&TComponent::classInfo))
        wrapper = Cast(static_cast<TComponent*>(sender), Runtime());
    if (!wrapper && HasVCL()) wrapper = this;
    if (wrapper) MakeObject(wrapper, result);
    else MakeNull(result);
}

// ==== The action rule ====
// An action takes the click from the script: the action is set, and only
// when that took the bridge's click code goes (a handler another party set
// stays, as with every hook), so a control never ends with neither; null
// gives the click back to the script. Any other value changes nothing.

void TJVCLComponent::SetActionWrapper(const TJValue& action) {
    CheckVCL(nullptr, 0);
    if (isActionWrapper(WrapperOfValue(action))) {
        if (WritePublishedProperty(VCL(), "Action", action, nullptr)) UnhookEvent(*this, "OnClick");
    } else if (IsNullValue(action)) {
        if (WritePublishedProperty(VCL(), "Action", action, nullptr)) HookEvent(*this, On<"OnClick", TNotifyEvent>());
    }
}

void TJVCLComponent::GetActionWrapper(TJValue& result) {
    CheckVCL(nullptr, 0);
    if (!ReadPublishedProperty(VCL(), "Action", result, Runtime()) || !isActionWrapper(WrapperOfValue(result)))
        MakeNull(result);
}

// ==== Script method ====

void TJVCLComponent::ComponentAt(int32_t index, TJValue& result) {
    MakeNull(result);
    TComponent* child = nullptr;
    GuardVCL([&] { child = WrappedComponent()->Components(index); });
    if (!child->Name().empty() && Children_->GetValue(child->Name(), result)) return;
    MakeObject(Cast(child, Runtime()), result);
}
