// TJVCLComponent: the script wrapper of a GUI component - the link from the
// component to its one wrapper (the component's script-wrapper slot), the free
// notification that unlinks the wrapper when the component dies, owned
// components reachable by name (form.Button1), the event names of getEvents,
// the `action` rule and the script method "components". Every wrapper of the
// GUI bridge derives from it.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "bridge/events.h"
#include "engine/core/errors.h"
#include "bridge/vclpersistent.h"
#include "rtl/component.h"

class TJBaseStringsObject;
class TJHash;
class TJVCLComponent;
class TStrings;

// The row of an object's OnDestroy: the wrapper lets the dying object go
// first, then its "onDestroy" gets the wrapper itself as the sender.
TJHook OnDestroy();

// Receives the wrapped component's free notification for its wrapper.
class TJVCLNotify : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TJVCLNotify(TJVCLComponent* wrapper) : TComponent(nullptr), Wrapper_(wrapper) {}

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TJVCLComponent* Wrapper_;
};

class TJVCLComponent : public TJVCLPersistent {
    RTL_DECLARE_CLASS()
    TJVCLComponent(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJVCLComponent() override;

    // The linked object as a component; nil when none.
    TComponent* WrappedComponent() const;

    // ---- Published ----
    int ComponentCount() const;
    int ComponentIndex() const;
    void SetComponentIndex(int index);
    TObject* OwnerWrapper() const;
    // The component's own Tag, read and written through (never the link).
    int32_t Tag() const;
    void SetTag(int32_t tag);

    // ---- Virtual operations ----
    bool AttachVCL(TPersistent* object, bool owned) override;
    void DetachVCL() override;
    const TClassInfo* VCLClass() const override;
    // Applies Hooks() to the object.
    void HookEvents() override;
    // The events the wrapper serves (bridge/wrapper.h); none here.
    virtual TJHookList Hooks() const { return {}; }
    // Every owned component with a name, as its wrapper, in the named children.
    virtual void RegisterChildren();
    // The two sides of the `action` property of the button-like wrappers.
    virtual void SetActionWrapper(const TJValue& action);
    virtual void GetActionWrapper(TJValue& result);

    bool GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args) override;
    bool HasKey(const AnsiString& name) override;
    uint64_t ScopeKeysStamp() override { return 0; }  // the named children count too
    const TJMethodTable& Methods() const override;
    void GetPropertyList(std::vector<AnsiString>& list) override;
    void GetEventList(std::vector<AnsiString>& list) override;

    // The sender's wrapper; this wrapper when the sender has none (null when unlinked).
    void SenderWrapper(TObject* sender, TJValue& result);
    // The component is dying, or its form is being destroyed: the link goes
    // both ways (this wrapper's handlers, the notification, the slot) and the
    // wrapper lives on unlinked; the names stay listed.
    void Unlink();
    // The wrapper of the owned component at the index: the named child's, else
    // a new one (a bad index raises EVCLError).
    void ComponentAt(int32_t index, TJValue& result);
    // The wrapper's one string-list object under the key, aimed at the list
    // (made on first use; aimed at nothing when the wrapper lets its object go).
    TJObject* StringsCompanion(const void* key, TStrings* strings);

protected:
    void InitWrapper() override;
    void Unlinked() override;

private:
    struct NotifierFree {
        void operator()(TJVCLNotify* notifier) const { notifier->Free(); }
    };
    // Removes the link from the component's side (handlers, notification, slot).
    void releaseComponent(TComponent* component);

    std::unique_ptr<TJVCLNotify, NotifierFree> Notifier_;
    std::unique_ptr<TJHash> Children_;
    // Each held with one reference for the wrapper's life.
    std::vector<std::pair<const void*, TJBaseStringsObject*>> Companions_;
};
