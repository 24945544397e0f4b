// TComponent: the owner tree of the GUI library and of the engine component -
// ownership (an owner frees what it owns), unique names among siblings, the
// application's Tag, two-way free notification, the Loading and Destroying
// states, and the slot that links a component to its script wrapper. Also the
// class registry that form streams create components from by class name, and
// the keep-alive that lets a dispatch outlive a Free of its own sender.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "rtl/persistent.h"

class TComponent;

RTL_EXCEPTION(EComponentError, Exception);

enum TOperation { opInsert, opRemove };

// ComponentState bits.
enum : uint8_t {
    csLoading = 1,      // a stream is reading the component
    csDestroying = 2,   // its destruction has begun
    csFreePending = 4,  // freed while a dispatch held it; deleted when that returns
};

// The event of a sender alone, the commonest event type.
using TNotifyEvent = TEvent<void(TObject* Sender)>;
extern const TMethodTypeInfo NotifyEventType;

class TComponent : public TPersistent {
    RTL_DECLARE_CLASS()
    explicit TComponent(TComponent* owner);
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Frees the component: at once, or, while a dispatch holds it alive
    // (TKeepAlive), when the last such dispatch returns. Either way its
    // free-notification peers and its owner are told now, while it is whole,
    // so nothing reaches it through them any more. The one way to free a
    // component; the destructors are not public.
    void Free();

    // ---- Ownership ----
    TComponent* Owner() const { return Owner_; }
    int ComponentCount() const { return static_cast<int>(Components_.size()); }
    // Raises the list index error outside 0..ComponentCount-1.
    TComponent* Components(int index) const;
    // The position in the owner's list; -1 without owner.
    int ComponentIndex() const;
    void SetComponentIndex(int index);
    // Takes the component from its current owner; its name must be free here.
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // The owned component of that name, any case; nil when none or empty.
    TComponent* FindComponent(std::string_view name) const;
    // Frees every owned component, the last first.
    void DestroyComponents();

    // ---- Name and Tag ----
    const AnsiString& Name() const { return Name_; }
    // An identifier or empty; unique among the owner's components (any case),
    // else EComponentError.
    virtual void SetName(const AnsiString& name);
    int32_t Tag() const { return Tag_; }
    void SetTag(int32_t tag) { Tag_ = tag; }

    // ---- Free notification ----
    // Links both ways: whichever of the two is freed first tells the other
    // through Notification(freed, opRemove).
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // ---- State ----
    uint8_t ComponentState() const { return State_; }
    bool Loading() const { return State_ & csLoading; }
    bool IsDestroying() const { return State_ & csDestroying; }
    // A stream is about to read the component (and what it owns).
    void SetLoading();
    // Called after streaming; the base clears the Loading state.
    virtual void Loaded();

    // The component that contains this one in its own structure (a control's
    // parent, a menu item's parent item); nil by default.
    virtual TComponent* GetParentComponent() const { return nullptr; }
    // A form stream places the component in the one that contains it in the
    // stream; the base ignores it.
    virtual void SetParentComponent(TComponent* /*parent*/) {}
    // What a form stream writes inside this component when root is the
    // stream's root: the base gives, for the root itself, the components it
    // owns that have no parent component.
    virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);

    // ---- Script wrapper ----
    // The script object that stands for this component, kept apart from Tag so
    // Tag stays the application's. The component neither owns nor frees it.
    TObject* ScriptWrapper() const { return ScriptWrapper_; }
    void SetScriptWrapper(TObject* wrapper) { ScriptWrapper_ = wrapper; }

protected:
    ~TComponent() override;

    // An owned component or a free-notification peer is inserted or going
    // away. The base forgets a removed peer and passes the news on to every
    // owned component, as siblings may refer to each other.
    virtual void Notification(TComponent* component, TOperation operation);
    // Marks this component and everything it owns as being destroyed.
    // Destructors of descendants call it first, while the object is whole.
    void Destroying();
    // Free has been called, the object is still whole: a descendant's last
    // word before its destructors run (a form's OnDestroy).
    virtual void BeforeDestruction() {}
    // Free was deferred: the descendant takes itself out of sight (a control
    // hides its window). Runs once, after the free notifications.
    virtual void FreeDeferred() {}

private:
    friend class TKeepAlive;
    void tellPeers();
    void deleteNow();

    TComponent* Owner_ = nullptr;
    std::vector<TComponent*> Components_;
    std::vector<TComponent*> FreeNotifies_;
    AnsiString Name_;
    TObject* ScriptWrapper_ = nullptr;
    int32_t Tag_ = 0;
    int KeepAlive_ = 0;
    uint8_t State_ = 0;
};

// Holds a component alive for the duration of a dispatch that may free it: the
// component itself, the parent components above it and the owner of each. A
// Free of any of them meanwhile is carried out when the last holder ends.
class TKeepAlive {
public:
    explicit TKeepAlive(TComponent* component);
    ~TKeepAlive();
    TKeepAlive(const TKeepAlive&) = delete;
    TKeepAlive& operator=(const TKeepAlive&) = delete;

private:
    void hold(TComponent* component);

    TComponent* Held_[16];
    int Count_ = 0;
};

// ==== Class registry ====

// The create function of a component class record.
struct TComponentCreator : TCreator {
    TComponent* (*Create)(TComponent* owner);
};
template <class T>
TComponent* createComponentOf(TComponent* owner) {
    return new T(owner);
}
template <class T>
inline constexpr TComponentCreator componentCreator{{}, &createComponentOf<T>};

// Makes classes creatable by name (form streams). Registering a class twice is
// harmless; two different classes of one name raise EComponentError. (There is
// no single-class form: the platform headers take the name RegisterClass.)
void RegisterClasses(std::initializer_list<const TClassInfo*> classes);
// The registered class of that name (any case); nil when none.
const TClassInfo* GetClass(std::string_view name);
// As GetClass, but raises EClassNotFound "Class TFoo not found".
const TClassInfo* FindClass(std::string_view name);
// A new component of a registered class with its create function.
TComponent* CreateComponent(const TClassInfo* cls, TComponent* owner);

RTL_EXCEPTION(EClassNotFound, EComponentError);
