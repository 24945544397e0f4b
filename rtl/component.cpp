// The component owner tree: ownership and names, free notification both ways,
// deferred freeing under a keep-alive, and the registry of creatable classes.
#include "rtl/component.h"

#include <algorithm>

const TMethodTypeInfo NotifyEventType{"TNotifyEvent"};

namespace {

const TPropInfo componentProperties[] = {
    // A form stream gives the name in the object's header.
    notStored(StringProperty<&TComponent::Name, &TComponent::SetName>("Name")),
    IntegerProperty<&TComponent::Tag, &TComponent::SetTag>("Tag", 0),
};

// Components whose Free waits for the dispatches holding them.
std::vector<TComponent*> pendingFrees;

bool isValidIdent(std::string_view name) {
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (name.empty() || !letter(name[0])) return false;
    return std::all_of(name.begin() + 1, name.end(), [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

template <class T>
void eraseValue(std::vector<T*>& list, T* value) {
    auto it = std::find(list.begin(), list.end(), value);
    if (it != list.end()) list.erase(it);
}

}  // namespace

const TClassInfo TComponent::classInfo =
    makeClassInfo("TComponent", &TPersistent::classInfo, componentProperties, &componentCreator<TComponent>);

// ==== Life ====

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

// The order of an owner's end: peers are told while the owned components still
// exist, then the owned components go, then the owner lets go of this one.
// (Free has done the telling already, while the object was whole.)
TComponent::~TComponent() {
    Destroying();
    tellPeers();
    DestroyComponents();
    if (Owner_) Owner_->RemoveComponent(this);
    if (State_ & csFreePending) eraseValue(pendingFrees, static_cast<TComponent*>(this));
}

// The peers and the owner hear of the end while the component is still whole;
// the destructors only repeat that for a component deleted otherwise.
void TComponent::Free() {
    if (State_ & csFreePending) return;
    BeforeDestruction();
    Destroying();
    tellPeers();
    if (Owner_) Owner_->RemoveComponent(this);
    if (KeepAlive_ == 0) {
        deleteNow();
        return;
    }
    State_ |= csFreePending;
    pendingFrees.push_back(this);
    FreeDeferred();
}

void TComponent::deleteNow() { delete this; }

void TComponent::Destroying() {
    if (State_ & csDestroying) return;
    State_ |= csDestroying;
    for (TComponent* component : Components_) component->Destroying();
}

// ==== Ownership ====

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) raiseListIndexError(index);
    return Components_[index];
}

int TComponent::ComponentIndex() const {
    if (!Owner_) return -1;
    const auto& siblings = Owner_->Components_;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void TComponent::SetComponentIndex(int index) {
    if (!Owner_) return;
    auto& siblings = Owner_->Components_;
    int current = ComponentIndex();
    index = std::clamp(index, 0, static_cast<int>(siblings.size()) - 1);
    if (index == current) return;
    siblings.erase(siblings.begin() + current);
    siblings.insert(siblings.begin() + index, this);
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->Owner_ == this) return;
    if (!component->Name_.empty() && FindComponent(component->Name_))
        throw EComponentError("A component named " + component->Name_ + " already exists");
    if (component->Owner_) component->Owner_->RemoveComponent(component);
    Components_.push_back(component);
    component->Owner_ = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->Owner_ != this) return;
    Notification(component, opRemove);
    eraseValue(Components_, component);
    component->Owner_ = nullptr;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* component : Components_)
        if (SameName(component->Name_, name)) return component;
    return nullptr;
}

// Each owned component leaves the list before it is freed, so it does not
// report back to an owner that is itself going.
void TComponent::DestroyComponents() {
    while (!Components_.empty()) {
        TComponent* component = Components_.back();
        Components_.pop_back();
        component->Owner_ = nullptr;
        component->Free();
    }
}

void TComponent::SetName(const AnsiString& name) {
    if (name == Name_) return;
    if (!name.empty() && !isValidIdent(name)) throw EComponentError("'" + name + "' is not a valid component name");
    if (Owner_ && !name.empty()) {
        TComponent* other = Owner_->FindComponent(name);
        if (other && other != this) throw EComponentError("A component named " + name + " already exists");
    }
    Name_ = name;
}

// ==== Free notification ====

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(FreeNotifies_.begin(), FreeNotifies_.end(), component) == FreeNotifies_.end())
        FreeNotifies_.push_back(component);
    auto& theirs = component->FreeNotifies_;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    eraseValue(FreeNotifies_, component);
    eraseValue(component->FreeNotifies_, static_cast<TComponent*>(this));
}

void TComponent::tellPeers() {
    while (!FreeNotifies_.empty()) {
        TComponent* peer = FreeNotifies_.back();
        FreeNotifies_.pop_back();
        eraseValue(peer->FreeNotifies_, static_cast<TComponent*>(this));
        peer->Notification(this, opRemove);
    }
}

// The list may change while the news goes round (a notified component frees
// another), so it is walked by index.
void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component) RemoveFreeNotification(component);
    for (size_t i = 0; i < Components_.size(); ++i) Components_[i]->Notification(component, operation);
}

// ==== State ====

void TComponent::SetLoading() { State_ |= csLoading; }

void TComponent::Loaded() { State_ &= ~csLoading; }

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    if (root != this) return;
    for (TComponent* component : Components_)
        if (!component->GetParentComponent()) proc(component);
}

// ==== Keep-alive ====

TKeepAlive::TKeepAlive(TComponent* component) {
    for (TComponent* c = component; c; c = c->GetParentComponent()) hold(c);
    for (int i = 0, chain = Count_; i < chain; ++i) hold(Held_[i]->Owner());
}

void TKeepAlive::hold(TComponent* component) {
    if (!component || Count_ == static_cast<int>(std::size(Held_))) return;
    if (std::find(Held_, Held_ + Count_, component) != Held_ + Count_) return;
    ++component->KeepAlive_;
    Held_[Count_++] = component;
}

// A deferred free may free others that are pending too (an owner its owned
// ones), so the list is searched afresh after each one.
TKeepAlive::~TKeepAlive() {
    for (int i = 0; i < Count_; ++i) --Held_[i]->KeepAlive_;
    for (;;) {
        auto due = std::find_if(pendingFrees.begin(), pendingFrees.end(),
                                [](TComponent* c) { return c->KeepAlive_ == 0; });
        if (due == pendingFrees.end()) return;
        TComponent* component = *due;
        pendingFrees.erase(due);
        component->State_ &= ~csFreePending;
        component->deleteNow();
    }
}

// ==== Class registry ====

namespace {

std::vector<const TClassInfo*>& registeredClasses() {
    static std::vector<const TClassInfo*> classes;
    return classes;
}

}  // namespace

void RegisterClasses(std::initializer_list<const TClassInfo*> classes) {
    for (const TClassInfo* cls : classes) {
        const TClassInfo* known = GetClass(cls->ClassName);
        if (known == cls) continue;
        if (known) throw EComponentError(AnsiString("A class named ") + cls->ClassName + " already exists");
        registeredClasses().push_back(cls);
    }
}

const TClassInfo* GetClass(std::string_view name) {
    for (const TClassInfo* cls : registeredClasses())
        if (SameName(cls->ClassName, name)) return cls;
    return nullptr;
}

const TClassInfo* FindClass(std::string_view name) {
    const TClassInfo* cls = GetClass(name);
    if (!cls) throw EClassNotFound("Class " + AnsiString(name) + " not found");
    return cls;
}

TComponent* CreateComponent(const TClassInfo* cls, TComponent* owner) {
    if (!cls->Create || !cls->InheritsFrom(&TComponent::classInfo))
        throw EComponentError(AnsiString("Cannot create an instance of ") + cls->ClassName);
    return static_cast<const TComponentCreator*>(cls->Create)->Create(owner);
}
