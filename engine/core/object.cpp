// TJObject and TJPrototypeObject: two-phase construction, reference counting
// and freeing, member read and write (published property, member, class
// prototype), registration of methods, constants and events, the nine
// built-in methods, and prototype targets.
#include "engine/core/object.h"

#include <algorithm>

#include "engine/core/array.h"
#include "engine/core/runtime.h"
#include "engine/core/errors.h"
#include "engine/core/factory.h"
#include "engine/core/function.h"
#include "engine/core/jhash.h"
#include "engine/core/published.h"
#include "engine/core/valuelist.h"

const TClassInfo TJObject::classInfo =
    makeClassInfo("TJObject", &TJNotify::classInfo, &scriptCreator<TJObject>, TGlobalInstance::Yes);
const TClassInfo TJPrototypeObject::classInfo = makeClassInfo("TJPrototypeObject", &TJObject::classInfo);

namespace {

constexpr int memberBuckets = 23;
// Prototype chains deeper than this are loops (class names changed after an
// assignment); the read then stops as not found.
constexpr int maxPrototypeDepth = 256;
int prototypeDepth = 0;

bool lessIgnoringCase(const AnsiString& a, const AnsiString& b) {
    std::string_view x = a.view(), y = b.view();
    size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char p = x[i], q = y[i];
        if (p >= 'A' && p <= 'Z') p += 32;
        if (q >= 'A' && q <= 'Z') q += 32;
        if (p != q) return p < q;
    }
    return x.size() < y.size();
}

const TJValue* firstArg(TJValueList* args) { return HasArgs(args) ? &args->At(0) : nullptr; }

}  // namespace

TJObject* CreateScriptInstance(const TClassInfo* cls, TJRuntime* runtime, bool registering, TJValueList* args) {
    if (!cls || !cls->Create || !cls->InheritsFrom(&TJObject::classInfo)) return nullptr;
    return static_cast<const TJScriptCreator*>(cls->Create)->Create(runtime, registering, args);
}

// ==== Construction and lifetime ====

TJObject::TJObject(const TJCreateKey&, TJRuntime* runtime, TJValueList*)
    : ScriptClassName_("Object"), Members_(new TJHash(memberBuckets)), Runtime_(runtime) {}

TJObject::~TJObject() {
    Events_.clear();
    PropertyNames_.clear();
    notifyPeers();
    delete Members_;
}

void TJObject::finishConstruction(bool registering, TJValueList* args) {
    try {
        SetPropertyNames(GetPropNames(ClassType(), false));
        Construct(args);
        RegisterMethods();
        RegisterConstants();
        AfterConstruction();
        if (Runtime_ && registering) {
            AfterRegistration();
            Runtime_->GetFactory()->NewObject(this);
        }
    } catch (...) {
        Free();
        throw;
    }
    --RefCount_;  // the construction's own reference; others taken meanwhile stay
}

void TJObject::Construct(TJValueList*) {}
void TJObject::AfterConstruction() {}
void TJObject::AfterRegistration() {}

int32_t TJObject::IncRef() { return ++RefCount_; }

int32_t TJObject::DecRef() {
    int32_t count = --RefCount_;
    if (count <= 0) Free();
    return count;
}

void TJObject::Free() {
    if (Destroying_) return;
    Destroying_ = true;
    delete this;
}

void TJObject::SetPropertyNames(std::vector<AnsiString> names) {
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    names.erase(std::unique(names.begin(), names.end(),
                            [](const AnsiString& a, const AnsiString& b) { return SameName(a, b); }),
                names.end());
    PropertyNames_ = std::move(names);
}

// ==== Member read and write ====

bool TJObject::GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) {
    if (ReadPublishedProperty(this, name, value, Runtime_)) return true;
    if (Members_->GetValue(name, value)) return true;
    return prototypeValue(name, value, args);
}

bool TJObject::prototypeValue(const AnsiString& name, TJValue& value, TJValueList* args) {
    if (!UsesClassPrototype() || !Runtime_ || prototypeDepth >= maxPrototypeDepth) return false;
    TJObject* prototype = Runtime_->GetFactory()->GetPrototype(ScriptClassName_);
    if (prototype == this) return false;
    ++prototypeDepth;
    struct Leave { ~Leave() { --prototypeDepth; } } leave;
    return prototype->GetValueImpl(name, value, args);
}

bool TJObject::SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList*) {
    if (WritePublishedProperty(this, name, value, nullptr)) return true;
    if (!Members_->HasKey(name)) return false;
    Members_->SetValue(name, value);
    return true;
}

void TJObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    if (!GetValueImpl(name, value, args)) raiseScriptError(keyError ? "EKeyError" : "ENameError", name);
}

void TJObject::SetValue(const AnsiString& name, const TJValue& value, TJValueList* args) {
    if (!SetValueImpl(name, value, args)) Members_->SetValue(name, value);
}

bool TJObject::HasKey(const AnsiString& name) { return HasProperty(name) || Members_->HasKey(name); }

bool TJObject::RemoveKey(const AnsiString& name) { return Members_->Remove(name); }

void TJObject::Clear() {
    Members_->Clear();
    RegisterMethods();
    RegisterConstants();
}

// ==== Conversions and lists ====

AnsiString TJObject::ToString(const TJValue*) { return "[object " + ScriptClassName_ + "]"; }

TJValue TJObject::ValueOf() {
    TJValue value;
    MakeObject(this, value);
    return value;
}

double TJObject::ToNumber() { return 0.0; }
bool TJObject::ToBool() { return true; }
uint8_t TJObject::ToChar() { return 0; }
bool TJObject::Equals(TJObject* other) { return other == this; }
void TJObject::ToVariant(VARIANT&) {}

void TJObject::GetPropertyList(std::vector<AnsiString>& list) {
    Members_->GetKeys(list, 0, kindSet(vtFunction));
    list.insert(list.end(), PropertyNames_.begin(), PropertyNames_.end());
}

void TJObject::GetMethodList(std::vector<AnsiString>& list) { Members_->GetKeys(list, kindSet(vtFunction), 0); }

void TJObject::GetEventList(std::vector<AnsiString>& list) { list = Events_; }

bool TJObject::IsArrayLike() { return false; }
int32_t TJObject::GetLength() { return 0; }
void TJObject::GetItem(int32_t, TJValue& value) { MakeUndefined(value); }
bool TJObject::ForEachItem(const std::function<bool(const TJValue& item)>&) { return false; }

bool TJObject::FindScopeName(const AnsiString& name, TJValue& value) {
    if (!HasKey(name)) return false;
    GetValue(name, false, value);
    return true;
}

bool TJObject::WrapsForRead(TJObject*) const { return false; }

// ==== Registration ====

void TJObject::SetClassName(const AnsiString& name) { ScriptClassName_ = name; }

void TJObject::RegisterMethod(const AnsiString& name, TJNativeCode code) {
    IJFunctionPtr function = NewFunction();
    function->SetName(name);
    function->SetFuncType(ftNative);
    function->SetMethod(reinterpret_cast<void*>(code), this);
    function->SetThis(this);
    TJValue value;
    MakeFunction(function, value);
    Members_->SetValue(name, value);
}

void TJObject::PutMember(const AnsiString& name, const TJValue& value) { Members_->SetValue(name, value); }

void TJObject::RegisterEventName(const AnsiString& name) {
    auto at = std::lower_bound(Events_.begin(), Events_.end(), name);
    if (at == Events_.end() || *at != name) Events_.insert(at, name);
}

bool TJObject::HasEventHandler(const AnsiString& name) {
    if (!Runtime_ || !Runtime_->IsRunning()) return false;
    if (name.empty()) return true;
    TJValue handler;
    return GetValueImpl(name, handler, nullptr);
}

void TJObject::FireEvent(const AnsiString& prefix, const AnsiString& name, TJValue& result, TJValueList* args) {
    MakeUndefined(result);
    if (!Runtime_) return;
    TJValue handler;
    if (!prefix.empty()) {
        if (!Runtime_->FindGlobalValue(prefix + name, handler)) return;
    } else {
        GetValue(name, true, handler);
    }
    Runtime_->CallFunction(handler, args, result, this);
}

bool TJObject::HasProperty(const AnsiString& name) const {
    auto at = std::lower_bound(PropertyNames_.begin(), PropertyNames_.end(), name, lessIgnoringCase);
    return at != PropertyNames_.end() && SameName(*at, name);
}

void TJObject::GetMemberNames(std::vector<AnsiString>& list, TJValueTypes include, TJValueTypes exclude) {
    Members_->GetKeys(list, include, exclude);
}

void TJObject::ClearMembers() { Members_->Clear(); }
void TJObject::ClearValueMembers() { Members_->RemoveByKind(0, kindSet(vtFunction)); }
void TJObject::RemoveMembersByKind(TJValueTypes include, TJValueTypes exclude) {
    Members_->RemoveByKind(include, exclude);
}

// ==== Built-in methods ====

const TJMethodEntry TJObject::builtinMethods_[9] = {
    {"hasKey", &nativeMethod<TJObject, &TJObject::nativeHasKey>},
    {"hasOwnProperty", &nativeMethod<TJObject, &TJObject::nativeHasKey>},
    {"removeKey", &nativeMethod<TJObject, &TJObject::nativeRemoveKey>},
    {"toString", &nativeMethod<TJObject, &TJObject::nativeToString>},
    {"getKeys", &nativeMethod<TJObject, &TJObject::nativeGetKeys>},
    {"getProperties", &nativeMethod<TJObject, &TJObject::nativeGetProperties>},
    {"getMethods", &nativeMethod<TJObject, &TJObject::nativeGetMethods>},
    {"valueOf", &nativeMethod<TJObject, &TJObject::nativeValueOf>},
    {"getEvents", &nativeMethod<TJObject, &TJObject::nativeGetEvents>},
};

void TJObject::RegisterMethods() { RegisterMethodTable(builtinMethods_); }
void TJObject::RegisterConstants() {}

void TJObject::nativeHasKey(TJValueList* args, TJValue& result) {
    const TJValue* name = firstArg(args);
    MakeBool(name && HasKey(ValueToString(name)), result);
}

void TJObject::nativeRemoveKey(TJValueList* args, TJValue& result) {
    const TJValue* name = firstArg(args);
    MakeBool(name && RemoveKey(ValueToString(name)), result);
}

void TJObject::nativeToString(TJValueList* args, TJValue& result) { MakeString(ToString(firstArg(args)), result); }

void TJObject::returnArray(const std::vector<AnsiString>& items, TJValue& result) {
    TJArrayObject* array = createObject<TJArrayObject>(Runtime_, true, nullptr);
    for (const AnsiString& item : items) array->Items().AddString(item);
    MakeObject(array, result);
}

void TJObject::nativeGetKeys(TJValueList*, TJValue& result) {
    std::vector<AnsiString> keys;
    Members_->GetKeys(keys, 0, 0);
    keys.insert(keys.end(), PropertyNames_.begin(), PropertyNames_.end());
    returnArray(keys, result);
}

void TJObject::nativeGetProperties(TJValueList*, TJValue& result) {
    std::vector<AnsiString> list;
    GetPropertyList(list);
    returnArray(list, result);
}

void TJObject::nativeGetMethods(TJValueList*, TJValue& result) {
    std::vector<AnsiString> list;
    GetMethodList(list);
    returnArray(list, result);
}

void TJObject::nativeValueOf(TJValueList*, TJValue& result) { result = ValueOf(); }

void TJObject::nativeGetEvents(TJValueList*, TJValue& result) {
    std::vector<AnsiString> list;
    GetEventList(list);
    returnArray(list, result);
}

// ==== Prototype objects ====

TJPrototypeObject::TJPrototypeObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Prototype");
}

TJPrototypeObject::~TJPrototypeObject() { SetTarget(nullptr); }

void TJPrototypeObject::SetTarget(TJObject* target) {
    if (target == Target_) return;
    if (target) target->IncRef();
    if (TJObject* old = Target_) {
        Target_ = nullptr;
        old->RemoveFreeNotify(this);
        RemoveFreeNotify(old);
        old->DecRef();
    }
    Target_ = target;
    if (Target_) AddFreeNotify(Target_);
}

void TJPrototypeObject::FreeNotify(TJNotify* peer) {
    TJObject::FreeNotify(peer);
    if (peer == Target_) Target_ = nullptr;
}

void TJPrototypeObject::GetPropertyList(std::vector<AnsiString>& list) { Members()->GetKeys(list, 0, 0); }
