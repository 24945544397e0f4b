// TJObjectFactory: a runtime's registry of constructible script classes by
// name, the class prototypes, and the set of the registered objects that it
// owns (whatever is left in it is freed when the runtime is cleared).
#pragma once

#include <vector>

#include "engine/support/hashtable.h"
#include "engine/core/jhash.h"
#include "engine/core/notify.h"
#include "engine/core/object.h"

class TJRuntime;
class TJObject;
class TJObjectFactory;

using TJNewObjectEvent = TEvent<void(TJObjectFactory* factory, TJObject* object)>;

class TJObjectFactory : public TJNotify {
    RTL_DECLARE_CLASS()
    explicit TJObjectFactory(TJRuntime* runtime);
    ~TJObjectFactory() override;

    TJRuntime* Runtime() const { return Runtime_; }
    // Stores or replaces a class (a script class record) under its script name.
    void AddClass(const AnsiString& name, const TClassInfo* cls);
    bool HasClass(const AnsiString& name) const { return ClassTable_.HasKey(name); }
    const TClassInfo* LookupClass(const AnsiString& name) const;
    // Changes with every class stored: what a caller found by name holds
    // while it stays.
    uint64_t ClassStamp() const { return ClassStamp_; }
    const std::vector<AnsiString>& GetClassNames() { return ClassTable_.GetKeyList(); }

    // The factory owns the object from now on: it joins the factory's ring,
    // which a freed object leaves at once, however many there are.
    void AddObject(TJObject* object);
    // Counts them (for checks: it walks the ring).
    int ObjectCount() const;
    bool HasObject(TJObject* object) const;
    // The prototype target of a class name, its prototype object made on first use.
    TJObject* GetPrototype(const AnsiString& name);
    // Assigns (nil clears) the class's prototype target; false when the
    // object's own prototype chain already leads back to the class.
    bool SetPrototype(const AnsiString& name, TJObject* object);
    // Releases the prototypes, then frees every object.
    void Clear();

    // The new-object step of a registering construction: the handler, then AddObject.
    void NewObject(TJObject* object);

    TJHash& Prototypes() { return Prototypes_; }
    TJNewObjectEvent NewObjectHandler;

private:
    TJRuntime* Runtime_;
    TJFactoryRing Objects_;  // the ring's anchor, the newest object next to it
    TPointerHashTable ClassTable_;
    uint64_t ClassStamp_ = 1;
    TJHash Prototypes_;
};
