// TJObject and TJPrototypeObject: two-phase construction, reference counting
// and freeing, member read and write (published property, member, class
// method, class prototype), class methods bound on first read and removed per
// object, registration of constants and events, the nine methods of every
// object, and prototype targets.
#include "engine/core/object.h"

#include <algorithm>
#include <unordered_map>

#include "engine/core/array.h"
#include "engine/core/runtime.h"
#include "engine/core/errors.h"
#include "engine/core/factory.h"
#include "engine/core/function.h"
#include "engine/core/jhash.h"
#include "engine/core/published.h"
#include "engine/core/valuelist.h"
#include "rtl/numtext.h"

const TClassInfo TJObject::classInfo =
    makeClassInfo("TJObject", &TJNotify::classInfo, &scriptCreator<TJObject>, TGlobalInstance::Yes);
const TClassInfo TJPrototypeObject::classInfo = makeClassInfo("TJPrototypeObject", &TJObject::classInfo);

namespace {

constexpr int memberBuckets = 23;
// Prototype chains deeper than this are loops (class names changed after an
// assignment); the read then stops as not found.
constexpr int maxPrototypeDepth = 256;
int prototypeDepth = 0;
// Drawn anew whenever a class prototype or its target is assigned or freed:
// a prototype's answer in a member cache holds only while it stays.
uint64_t prototypeGeneration = NewChangeStamp();
void prototypesChanged() { prototypeGeneration = NewChangeStamp(); }

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

// Names sorted without regard to case, each once.
std::vector<AnsiString> sortedNames(std::vector<AnsiString> names) {
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    names.erase(std::unique(names.begin(), names.end(),
                            [](const AnsiString& a, const AnsiString& b) { return SameName(a, b); }),
                names.end());
    return names;
}

const std::vector<AnsiString> noPropertyNames;  // and no events
// Every object starts with this class name: copies of it share its text.
const AnsiString objectClassName("Object");

struct ClassProperties {
    std::vector<AnsiString> Names;  // the non-event ones, sorted
    bool Any = false;               // events too
};

// The published properties of a class, looked at once per class; a few
// classes asked lately (a loop making objects and arrays) are answered at once.
const ClassProperties& classProperties(const TClassInfo* cls) {
    static std::unordered_map<const TClassInfo*, ClassProperties> classes;
    struct Recent {
        const TClassInfo* Class = nullptr;
        const ClassProperties* Properties = nullptr;
    };
    static Recent recent[16];
    Recent& slot = recent[(reinterpret_cast<std::uintptr_t>(cls) >> 4) % 16];
    if (slot.Class == cls) return *slot.Properties;
    auto [at, added] = classes.try_emplace(cls);
    if (added) {
        at->second.Names = sortedNames(GetPropNames(cls, false));
        at->second.Any = !GetPropInfos(cls).empty();
    }
    slot = {cls, &at->second};
    return at->second;
}

// Function members are among the kinds the include and exclude sets of
// GetMemberNames and RemoveMembersByKind choose.
bool functionsChosen(TJValueTypes include, TJValueTypes exclude) {
    return include ? (include & kindSet(vtFunction)) != 0 : (exclude & kindSet(vtFunction)) == 0;
}

}  // namespace

TJObject* CreateScriptInstance(const TClassInfo* cls, TJRuntime* runtime, bool registering, TJValueList* args) {
    if (!cls || !cls->Create || !cls->InheritsFrom(&TJObject::classInfo)) return nullptr;
    return static_cast<const TJScriptCreator*>(cls->Create)->Create(runtime, registering, args);
}

// ==== Construction and lifetime ====

TJObject::TJObject(const TJCreateKey&, TJRuntime* runtime, TJValueList*)
    : ScriptClassName_(objectClassName), Runtime_(runtime) {}

void TJFactoryRing::joinRing(TJFactoryRing& anchor) {
    RingPrev_ = &anchor;
    RingNext_ = anchor.RingNext_;
    RingNext_->RingPrev_ = this;
    anchor.RingNext_ = this;
}

void TJFactoryRing::leaveRing() {
    if (!inRing()) return;
    RingPrev_->RingNext_ = RingNext_;
    RingNext_->RingPrev_ = RingPrev_;
    RingPrev_ = RingNext_ = nullptr;
}

TJObject::~TJObject() {
    leaveRing();
    if (Extras_) Extras_->Events.clear();
    OwnPropertyNames_ = false;  // and the class is TJObject from here on, which publishes none
    notifyPeers();
    delete Members_;
}

void TJObject::finishConstruction(bool registering, TJValueList* args) {
    try {
        HasPublished_ = classProperties(ClassType()).Any;
        Construct(args);
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

TJObject::Extras& TJObject::extras() {
    if (!Extras_) Extras_ = std::make_unique<Extras>();
    return *Extras_;
}

// The class's names are found through its record, which the object need not
// carry: a listing makes a million objects of one class.
const std::vector<AnsiString>& TJObject::PropertyNames() const {
    return OwnPropertyNames_ ? Extras_->OwnPropertyNames : classProperties(ClassType()).Names;
}

void TJObject::SetPropertyNames(std::vector<AnsiString> names) {
    std::vector<AnsiString>& own = extras().OwnPropertyNames;
    own = sortedNames(std::move(names));
    OwnPropertyNames_ = true;
    if (Members_) Members_->Touch();  // HasKey may answer otherwise: a scope lookup's misses go
}

// ==== Member read and write ====

TJHash* TJObject::Members() const {
    if (!Members_) Members_ = new TJHash(memberBuckets);
    return Members_;
}

bool TJObject::hasMember(const AnsiString& name) const { return Members_ && Members_->HasKey(name); }

bool TJObject::GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) {
    return findValue(name, value, args, nullptr);
}

bool TJObject::findValue(const AnsiString& name, TJValue& value, TJValueList* args, TJMemberCacheEntry* found) {
    if (HasPublished_ && ReadPublishedProperty(this, name, value, Runtime_)) return true;
    if (Members_) {
        if (TJValue* own = Members_->FindValue(name)) {
            value = *own;
            if (found) *found = {Members_->Stamp(), 0, 0, nullptr, own};
            return true;
        }
        MakeUndefined(value);
    }
    if (bindMethod(name, value)) return true;
    return prototypeValue(name, value, args, found);
}

// Only an answer from the prototype's own member table is described, and
// only for an object with a member table for its stamp.
bool TJObject::prototypeValue(const AnsiString& name, TJValue& value, TJValueList* args, TJMemberCacheEntry* found) {
    if (!UsesClassPrototype() || !Runtime_ || prototypeDepth >= maxPrototypeDepth) return false;
    TJObject* prototype = Runtime_->GetFactory()->GetPrototype(ScriptClassName_);
    if (prototype == this) return false;
    ++prototypeDepth;
    struct Leave { ~Leave() { --prototypeDepth; } } leave;
    TJMemberCacheEntry own;
    bool describe = found && Members_ && prototype->cachesMembers();
    if (!prototype->findValue(name, value, args, describe ? &own : nullptr)) return false;
    if (own.Value && !own.Holder)
        *found = {Members_->Stamp(), prototypeGeneration, own.ObjectStamp, prototype->Members_, own.Value};
    return true;
}

// A prototype's answer also needs the prototype assignments unchanged (so the
// prototype is alive and still the class's) and its table unchanged.
const TJMemberCacheEntry* TJObject::cachedEntry(const TJMemberCache& cache) const {
    if (!Members_) return nullptr;
    uint64_t stamp = Members_->Stamp();
    for (const TJMemberCacheEntry& entry : cache.Entries) {
        if (entry.ObjectStamp != stamp) continue;
        if (entry.Holder && (entry.Generation != prototypeGeneration || entry.Holder->Stamp() != entry.HolderStamp ||
                             prototypeDepth >= maxPrototypeDepth))
            continue;
        return &entry;
    }
    return nullptr;
}

bool TJObject::cachesMembers() const {
    return !HasPublished_ && (ClassType() == &TJObject::classInfo || ClassType() == &TJPrototypeObject::classInfo);
}

bool TJObject::BindsMethodsOnRead() const { return ClassType() == &TJObject::classInfo; }
bool TJObject::CachesReadsOf(const AnsiString&) const { return cachesMembers(); }

void TJObject::ReadMember(const AnsiString& name, TJMemberCache& cache, TJValue& value) {
    if (const TJMemberCacheEntry* entry = cachedEntry(cache)) {
        value = *entry->Value;
        return;
    }
    if (!CachesReadsOf(name)) {
        GetValue(name, false, value);
        return;
    }
    TJMemberCacheEntry found;
    if (!findValue(name, value, nullptr, &found)) raiseScriptError("ENameError", name);
    if (found.Value) cache.remember(found);
}

// The read's steps before the binding: no published property of the name
// (the class's answer, kept with the method), no member, the method live.
const TJMethodTable::Entry* TJObject::MethodToCall(const AnsiString& name, TJMemberCache& cache) const {
    const TClassInfo* cls = ClassType();
    if (cache.MethodClass != cls) {
        bool binds = BindsMethodsOnRead() && !(HasPublished_ && GetPropInfo(cls, name));
        cache.Method = binds ? Methods().Find(name.view()) : nullptr;
        cache.MethodClass = cls;
    }
    if (!cache.Method || hasMember(name) || methodRemoved(name)) return nullptr;
    return cache.Method;
}

// With no published property, SetValue's steps always end in the member table.
void TJObject::WriteMember(const AnsiString& name, TJMemberCache& cache, const TJValue& value) {
    const TJMemberCacheEntry* entry = cachedEntry(cache);
    if (entry && !entry->Holder) {
        Members_->Replace(*entry->Value, value);
        return;
    }
    if (!cachesMembers()) {
        SetValue(name, value);
        return;
    }
    TJValue* stored = Members()->SetValue(name, value);
    cache.remember({Members_->Stamp(), 0, 0, nullptr, stored});
}

bool TJObject::SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList*) {
    if (HasPublished_ && WritePublishedProperty(this, name, value, nullptr)) return true;
    if (!hasMember(name) && !liveMethod(name)) return false;
    Members()->SetValue(name, value);
    return true;
}

void TJObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    if (!GetValueImpl(name, value, args)) raiseScriptError(keyError ? "EKeyError" : "ENameError", name);
}

void TJObject::SetValue(const AnsiString& name, const TJValue& value, TJValueList* args) {
    if (!SetValueImpl(name, value, args)) Members()->SetValue(name, value);
}

bool TJObject::HasKey(const AnsiString& name) {
    return HasProperty(name) || hasMember(name) || liveMethod(name);
}

// A class method, bound or not, stays removed until the object is cleared.
bool TJObject::RemoveKey(const AnsiString& name) {
    bool removed = Members_ && Members_->Remove(name);
    if (!liveMethod(name)) return removed;
    extras().RemovedMethods.push_back(name);
    return true;
}

void TJObject::Clear() {
    if (Members_) {
        Members_->Clear();
        Members_->Touch();  // the class methods come back: a prototype's answer may no longer be the one
    }
    MethodsRemoved_ = false;
    if (Extras_) Extras_->RemovedMethods.clear();
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
    Members()->GetKeys(list, 0, kindSet(vtFunction));
    const std::vector<AnsiString>& names = PropertyNames();
    list.insert(list.end(), names.begin(), names.end());
}

void TJObject::GetMethodList(std::vector<AnsiString>& list) { GetMemberNames(list, kindSet(vtFunction), 0); }

void TJObject::GetEventList(std::vector<AnsiString>& list) { list = Events(); }

bool TJObject::IsArrayLike() { return false; }
int32_t TJObject::GetLength() { return 0; }
void TJObject::GetItem(int32_t, TJValue& value) { MakeUndefined(value); }
void TJObject::GetIndexValue(int32_t index, TJValue& value) { GetValue(intToText(index), true, value); }
void TJObject::SetIndexValue(int32_t index, const TJValue& value) { SetValue(intToText(index), value); }
bool TJObject::ForEachItem(const std::function<bool(const TJValue& item)>&) { return false; }

bool TJObject::FindScopeName(const AnsiString& name, TJValue& value) {
    if (!HasKey(name)) return false;
    GetValue(name, false, value);
    return true;
}

// The class's properties and methods are fixed; a removed method comes back
// only with Clear, which touches the table.
uint64_t TJObject::ScopeKeysStamp() { return Members()->Stamp(); }

bool TJObject::WrapsForRead(TJObject*) const { return false; }

// ==== Registration ====

void TJObject::SetClassName(const AnsiString& name) {
    ScriptClassName_ = name;
    if (Members_) Members_->Touch();  // another class prototype answers now
}

void TJObject::PutMember(const AnsiString& name, const TJValue& value) { Members()->SetValue(name, value); }

const std::vector<AnsiString>& TJObject::Events() const { return Extras_ ? Extras_->Events : noPropertyNames; }

void TJObject::RegisterEventName(const AnsiString& name) {
    std::vector<AnsiString>& events = extras().Events;
    auto at = std::lower_bound(events.begin(), events.end(), name);
    if (at == events.end() || *at != name) events.insert(at, name);
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
    const std::vector<AnsiString>& names = PropertyNames();
    auto at = std::lower_bound(names.begin(), names.end(), name, lessIgnoringCase);
    return at != names.end() && SameName(*at, name);
}

// Unread class methods are bound first, so that they are listed in the
// members' own order.
void TJObject::GetMemberNames(std::vector<AnsiString>& list, TJValueTypes include, TJValueTypes exclude) {
    if (functionsChosen(include, exclude)) bindAllMethods();
    Members()->GetKeys(list, include, exclude);
}

void TJObject::ClearMembers() {
    if (Members_) Members_->Clear();
    MethodsRemoved_ = true;
}

void TJObject::ClearValueMembers() { Members()->RemoveByKind(0, kindSet(vtFunction)); }

void TJObject::RemoveMembersByKind(TJValueTypes include, TJValueTypes exclude) {
    Members()->RemoveByKind(include, exclude);
    if (functionsChosen(include, exclude)) MethodsRemoved_ = true;
}

// ==== Class methods ====

namespace {

AnsiString nameArgument(TJValueList* args) { return HasArgs(args) ? ValueToString(args->At(0)) : AnsiString(); }

void returnArray(TJObject& self, const std::vector<AnsiString>& items, TJValue& result) {
    TJArrayObject* array = createObject<TJArrayObject>(self.Runtime(), true, nullptr);
    for (const AnsiString& item : items) array->Items().AddString(item);
    MakeObject(array, result);
}

void hasKey(TJObject& self, TJValueList* args, TJValue& result) {
    MakeBool(HasArgs(args) && self.HasKey(nameArgument(args)), result);
}

void removeKey(TJObject& self, TJValueList* args, TJValue& result) {
    MakeBool(HasArgs(args) && self.RemoveKey(nameArgument(args)), result);
}

void toString(TJObject& self, TJValueList* args, TJValue& result) {
    MakeString(self.ToString(HasArgs(args) ? &args->At(0) : nullptr), result);
}

void getKeys(TJObject& self, TJValueList*, TJValue& result) {
    std::vector<AnsiString> keys;
    self.GetMemberNames(keys, 0, 0);
    keys.insert(keys.end(), self.PropertyNames().begin(), self.PropertyNames().end());
    returnArray(self, keys, result);
}

template <void (TJObject::*List)(std::vector<AnsiString>&)>
void listOf(TJObject& self, TJValueList*, TJValue& result) {
    std::vector<AnsiString> list;
    (self.*List)(list);
    returnArray(self, list, result);
}

void valueOf(TJObject& self, TJValueList*, TJValue& result) { result = self.ValueOf(); }

const TJMethod<TJObject> objectMethods[] = {
    {"hasKey", 0, &hasKey},
    {"hasOwnProperty", 0, &hasKey},
    {"removeKey", 0, &removeKey},
    {"toString", 0, &toString},
    {"getKeys", 0, &getKeys},
    {"getProperties", 0, &listOf<&TJObject::GetPropertyList>},
    {"getMethods", 0, &listOf<&TJObject::GetMethodList>},
    {"valueOf", 0, &valueOf},
    {"getEvents", 0, &listOf<&TJObject::GetEventList>},
};

}  // namespace

const TJMethodTable& TJObject::Methods() const {
    static const TJMethodTable table(objectMethods);
    return table;
}

const TJMethodTable::Entry* TJObject::liveMethod(const AnsiString& name) const {
    const TJMethodTable::Entry* entry = Methods().Find(name.view());
    return entry && !methodRemoved(name) ? entry : nullptr;
}

bool TJObject::methodRemoved(const AnsiString& name) const {
    if (MethodsRemoved_) return true;
    return Extras_ && std::find(Extras_->RemovedMethods.begin(), Extras_->RemovedMethods.end(), name) !=
                          Extras_->RemovedMethods.end();
}

bool TJObject::bindMethod(const AnsiString& name, TJValue& value) {
    const TJMethodTable::Entry* entry = liveMethod(name);
    if (!entry) return false;
    IJFunctionPtr function = NewFunction();
    function->SetName(name);
    function->SetFuncType(ftNative);
    function->SetMethod(const_cast<TJMethodTable::Entry*>(entry), this);
    function->SetThis(this);
    MakeFunction(function, value);
    Members()->SetValue(name, value);
    return true;
}

void TJObject::bindAllMethods() {
    TJValue value;
    for (const TJMethodTable::Entry* entry : Methods().Entries())
        if (!hasMember(entry->Name)) bindMethod(entry->Name, value);
}

void TJObject::RegisterConstants() {}

// ==== Prototype objects ====

TJPrototypeObject::TJPrototypeObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Prototype");
}

TJPrototypeObject::~TJPrototypeObject() {
    SetTarget(nullptr);
    prototypesChanged();
}

void TJPrototypeObject::SetTarget(TJObject* target) {
    if (target == Target_) return;
    prototypesChanged();
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
    if (peer != Target_) return;
    Target_ = nullptr;
    prototypesChanged();
}

void TJPrototypeObject::GetPropertyList(std::vector<AnsiString>& list) { Members()->GetKeys(list, 0, 0); }

const TJMethodTable& TJPrototypeObject::Methods() const {
    static const TJMethodTable none;
    return none;
}
