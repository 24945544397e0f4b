// TJObjectFactory: a runtime's registry of constructible script classes by
// name, the class prototypes, and the set of the registered objects that it
// owns (whatever is left in it is freed when the runtime is cleared).
#pragma once

#include <vector>

#include "engine/support/hashtable.h"
#include "engine/core/jhash.h"
#include "engine/core/notify.h"

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
    const std::vector<AnsiString>& GetClassNames() { return ClassTable_.GetKeyList(); }

    // Links the object to the factory: the factory's peers are the objects it
    // owns, so that a freed object leaves at once, however many there are.
    void AddObject(TJObject* object);
    int ObjectCount() const { return PeerCount(); }
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
    TPointerHashTable ClassTable_;
    TJHash Prototypes_;
};
