// The GUI wrapper root: linking and letting go, the checks and errors every
// GUI wrapper shares, and member access that reaches the linked object's
// published properties by name (any case) before any member.
#include "bridge/vclpersistent.h"

#include <algorithm>

#include "engine/core/errors.h"
#include "engine/core/jhash.h"
#include "engine/core/published.h"
#include "engine/core/valuelist.h"
#include "rtl/component.h"

namespace {

const TPropInfo vclPersistentProperties[] = {
    StringProperty<&TJVCLPersistent::VCLclassName>("VCLclassName"),
};

void freePersistent(TPersistent* object) {
    if (object->InheritsFrom(&TComponent::classInfo)) static_cast<TComponent*>(object)->Free();
    else delete object;
}

}  // namespace

TJVCLPersistent* WrapperOfObject(TJObject* object) {
    return object && object->InheritsFrom(&TJVCLPersistent::classInfo) ? static_cast<TJVCLPersistent*>(object)
                                                                        : nullptr;
}

bool TJVCLPersistent::WrapsForRead(TJObject* member) const { return WrapperOfObject(member) != nullptr; }

TJVCLPersistent* WrapperOfValue(const TJValue& value) {
    return IsObjectValue(value) ? WrapperOfObject(value.ObjValue) : nullptr;
}

// No namespace gets an instance of a wrapper class.
const TClassInfo TJVCLPersistent::classInfo = makeClassInfo(
    "TJVCLPersistent", &TJObject::classInfo, vclPersistentProperties, &scriptCreator<TJVCLPersistent>,
    TGlobalInstance::No);

// ==== Construction ====

TJVCLPersistent::TJVCLPersistent(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("VCL");
}

TJVCLPersistent::~TJVCLPersistent() { DetachVCL(); }

void TJVCLPersistent::Construct(TJValueList* args) {
    TJObject::Construct(args);
    InitWrapper();
    CreateVCL();
}

namespace {

void assign(TJVCLPersistent& self, TJValueList* args, TJValue& result) { self.AssignVCL(args, result); }

const TJMethod<TJVCLPersistent> wrapperMethods[] = {
    {"assign", 0, &assign},
};

}  // namespace

const TJMethodTable& TJVCLPersistent::Methods() const {
    static const TJMethodTable table(wrapperMethods, TJObject::Methods());
    return table;
}

void TJVCLPersistent::InitWrapper() {}
void TJVCLPersistent::CreateVCL() {}
void TJVCLPersistent::HookEvents() {}

const TClassInfo* TJVCLPersistent::VCLClass() const { return &TPersistent::classInfo; }

AnsiString TJVCLPersistent::VCLclassName() const { return VCLClass()->ClassName; }

// ==== Linking ====

bool TJVCLPersistent::AttachVCL(TPersistent* object, bool owned) {
    DetachVCL();
    if (!object || !object->InheritsFrom(VCLClass())) return false;
    Owned_ = owned;
    VCL_ = object;
    if (ShowsLinkedProperties()) {
        std::vector<AnsiString> names = GetPropNames(object->ClassType(), false);
        // A name the wrapper publishes itself (a control's Items) is listed once.
        for (AnsiString& name : GetPropNames(ClassType(), false))
            if (std::none_of(names.begin(), names.end(), [&](const AnsiString& n) { return SameName(n, name); }))
                names.push_back(std::move(name));
        SetPropertyNames(std::move(names));
    }
    HookEvents();
    return true;
}

void TJVCLPersistent::DetachVCL() {
    if (!VCL_) return;
    TPersistent* object = VCL_;
    bool owned = Owned_;
    DropLink();
    SetPropertyNames(GetPropNames(ClassType(), false));
    if (owned) freePersistent(object);
}

void TJVCLPersistent::DropLink() {
    VCL_ = nullptr;
    Owned_ = false;
    std::vector<TJVCLPersistent*> dependents;
    dependents.swap(Dependents_);
    for (TJVCLPersistent* dependent : dependents) {
        RemoveFreeNotify(dependent);
        dependent->RemoveFreeNotify(this);
        dependent->DropLink();
    }
    Unlinked();
}

void TJVCLPersistent::AddDependent(TJVCLPersistent* wrapper) {
    if (wrapper == this || std::find(Dependents_.begin(), Dependents_.end(), wrapper) != Dependents_.end()) return;
    Dependents_.push_back(wrapper);
    AddFreeNotify(wrapper);
}

void TJVCLPersistent::FreeNotify(TJNotify* peer) {
    TJObject::FreeNotify(peer);
    Dependents_.erase(std::remove(Dependents_.begin(), Dependents_.end(), peer), Dependents_.end());
}

// ==== Checks and errors ====

void TJVCLPersistent::RaiseVCLError(const AnsiString& message) {
    raiseScriptError("EVCLError", AnsiString(VCLClass()->ClassName) + " - " + message);
}

void TJVCLPersistent::RaiseArgumentsError() { RaiseVCLError("arguments error"); }

void TJVCLPersistent::CheckVCL(TJValueList* args, int minimum) {
    if (!VCL_) RaiseVCLError("VCL is null");
    if (minimum > 0 && ArgCount(args) < minimum) RaiseArgumentsError();
}

void TJVCLPersistent::AssignVCL(TJValueList* args, TJValue& result) {
    CheckVCL(args, 1);
    MakeObject(this, result);
    TJVCLPersistent* source = WrapperOfValue(args->At(0));
    if (source && source->VCL_) VCL_->Assign(source->VCL_);
}

// ==== Member access ====
// The linked object's names come before members, so nothing a script stores
// can hide them; a name still listed after the object died raises "VCL is null".

bool TJVCLPersistent::isLinkedName(const AnsiString& name) const {
    return HasProperty(name) && !GetPropInfo(ClassType(), name);
}

bool TJVCLPersistent::GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) {
    if (!isLinkedName(name)) return TJObject::GetValueImpl(name, value, args);
    readLinked(name, value);
    return true;
}

// An object property reads as its wrapper, kept as a member under the
// property's own name so that every read (in any case) gives the same wrapper
// while the property holds the same object.
void TJVCLPersistent::readLinked(const AnsiString& name, TJValue& value) {
    if (!VCL_) RaiseVCLError("VCL is null");
    const TPropInfo* prop = GetPropInfo(VCL_->ClassType(), name);
    if (prop->Kind == TTypeKind::Class) {
        TPropValue raw;
        TJValue cached;
        TJVCLPersistent* wrapper;
        if (ReadProp(VCL_, prop, raw) && raw.Object && Members()->GetValue(prop->Name, cached) &&
            (wrapper = WrapperOfValue(cached)) && wrapper->VCL_ == raw.Object) {
            value = cached;
            return;
        }
    }
    if (!ReadPublishedProperty(VCL_, name, value, Runtime())) RaiseVCLError("cannot read " + name);
    TJVCLPersistent* wrapper = WrapperOfValue(value);
    if (!wrapper || !wrapper->VCL_) return;
    PutMember(prop->Name, value);
    if (!wrapper->VCL_->InheritsFrom(&TComponent::classInfo)) AddDependent(wrapper);
}

// A value that does not suit a published property, the wrapper's own or the
// linked object's, writes nothing and is not kept either: a member of that
// name could never be read.
bool TJVCLPersistent::SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList* args) {
    if (GetPropInfo(ClassType(), name)) {
        WritePublishedProperty(this, name, value, nullptr);
        return true;
    }
    if (!isLinkedName(name)) return TJObject::SetValueImpl(name, value, args);
    if (!VCL_) RaiseVCLError("VCL is null");
    WritePublishedProperty(VCL_, name, value, nullptr);
    return true;
}

void TJVCLPersistent::GetPropertyList(std::vector<AnsiString>& list) { list = PropertyNames(); }
