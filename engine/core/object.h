// TJObject: the base class of every script object of every subsystem - its
// reference count, member table, class methods (engine/core/methodtable.h)
// and event names, member read and write through published properties,
// members, class methods and the class prototype, and its two-phase
// construction (createObject). TJPrototypeObject
// is the per-class prototype. Hosts and built-in objects derive from TJObject.
#pragma once

#include <oaidl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/methodtable.h"
#include "engine/core/notify.h"
#include "engine/core/value.h"

class TJHash;
class TJRuntime;
class TJValueList;
class TJObject;

// ==== Construction ====

// Only createObject makes this key, and every script object's constructor takes
// it: an object cannot be built without its registration step.
class TJCreateKey {
    TJCreateKey() = default;
    template <class T>
    friend T* createObject(TJRuntime* runtime, bool registering, TJValueList* args);
};

// Builds an object: the constructor (count 1, runtime, members, class name),
// then Construct with the arguments, its method, constant and event
// registration and AfterConstruction, then, for a registering object of a
// runtime, the runtime's new-object notification and its entry in the
// runtime's object list. The construction's own reference is dropped at the
// end; references taken meanwhile stay. A new object that nothing refers to
// has count 0 and lives in the object list.
template <class T>
T* createObject(TJRuntime* runtime, bool registering, TJValueList* args) {
    T* object = new T(TJCreateKey(), runtime, args);
    object->finishConstruction(registering, args);
    return object;
}

// The create function of a script class record.
struct TJScriptCreator : TCreator {
    TJObject* (*Create)(TJRuntime* runtime, bool registering, TJValueList* args);
};
template <class T>
TJObject* createScriptObjectOf(TJRuntime* runtime, bool registering, TJValueList* args) {
    return createObject<T>(runtime, registering, args);
}
template <class T>
inline constexpr TJScriptCreator scriptCreator{{}, &createScriptObjectOf<T>};

// Creates an instance of a script class record; nil when the record has no
// create function.
TJObject* CreateScriptInstance(const TClassInfo* cls, TJRuntime* runtime, bool registering, TJValueList* args);

// ==== Member caches ====

// What one place of a script that reads or writes a member found there for
// one receiver: the value in the object's own member table, or (reads only)
// the value in the member table of the class prototype that answered. It
// holds while the stamps it saw stay: the object's table stamp (drawn anew
// when the object's items or class name change) and, for a prototype's
// answer, the prototype generation and that prototype's table stamp. Stamps
// are never reused, so a new object where a freed one was never matches.
struct TJMemberCacheEntry {
    uint64_t ObjectStamp = 0;
    uint64_t Generation = 0;   // a prototype's answer: the prototype generation then
    uint64_t HolderStamp = 0;  // a prototype's answer: its table stamp then
    TJHash* Holder = nullptr;  // a prototype's answer: its table; nil for the object's own
    TJValue* Value = nullptr;
};

// A place's entries for its last two receivers (a method's `this` often
// alternates between two objects), the newer first; a new answer pushes out
// the older. A method-call place also keeps the class method that a read
// would bind for the last class called there (nil: none), see MethodToCall.
struct TJMemberCache {
    TJMemberCacheEntry Entries[2];
    const TClassInfo* MethodClass = nullptr;
    const TJMethodTable::Entry* Method = nullptr;
    void remember(const TJMemberCacheEntry& entry) {
        Entries[1] = Entries[0];
        Entries[0] = entry;
    }
};

// ==== TJObject ====

// A place in the ring of the objects a factory owns. An object leaves the ring
// by itself, so that neither leaving nor the factory's count of objects
// costs a table of a million entries.
class TJFactoryRing {
protected:
    friend class TJObjectFactory;
    TJFactoryRing() = default;
    TJFactoryRing(const TJFactoryRing&) = delete;
    TJFactoryRing& operator=(const TJFactoryRing&) = delete;

    bool inRing() const { return RingNext_ != nullptr; }
    // Joins the ring just after the anchor.
    void joinRing(TJFactoryRing& anchor);
    void leaveRing();

    TJFactoryRing* RingPrev_ = nullptr;
    TJFactoryRing* RingNext_ = nullptr;
};

class TJObject : public TJNotify, private TJFactoryRing {
    RTL_DECLARE_CLASS()
    TJObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJObject() override;

    static void* operator new(size_t size) { return ::operator new(size); }

    int32_t RefCount() const { return RefCount_; }
    const AnsiString& ScriptClassName() const { return ScriptClassName_; }
    // The member table, made on first use.
    TJHash* Members() const;
    TJRuntime* Runtime() const { return Runtime_; }
    // The class's published non-event property names, sorted without regard to case.
    const std::vector<AnsiString>& PropertyNames() const;
    // The registered event names, sorted; empty before the first registration.
    const std::vector<AnsiString>& Events() const;

    // ---- Virtual operations ----
    virtual bool GetValueImpl(const AnsiString& name, TJValue& value, TJValueList* args);
    virtual bool SetValueImpl(const AnsiString& name, const TJValue& value, TJValueList* args);
    // Removes every member and gives back the class methods removed from the
    // object, then registers the constants again.
    virtual void Clear();
    virtual int32_t IncRef();
    // Frees the object when the count falls to 0 or below.
    virtual int32_t DecRef();
    // Drops a reference without ever freeing: an object that nothing refers
    // to any more lives on, as a new object does, until the holder it is being
    // handed to counts it (a value taken out of a container).
    void ReleaseToHolder() { --RefCount_; }
    // Frees the object now, whatever its count (the object list at teardown).
    // Script objects are freed only this way or by DecRef, never by delete:
    // references released while the object is being destroyed must not free
    // it a second time.
    void Free();
    virtual bool HasKey(const AnsiString& name);
    virtual bool RemoveKey(const AnsiString& name);
    // GetValueImpl, else "EKeyError" (keyError) or "ENameError" with the name.
    virtual void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr);
    // SetValueImpl, else stores a new member.
    virtual void SetValue(const AnsiString& name, const TJValue& value, TJValueList* args = nullptr);
    // GetValue(name, false, value) and SetValue(name, value) for a place in a
    // script that names this member again and again: while the place's cache
    // holds, the lookups are spared.
    void ReadMember(const AnsiString& name, TJMemberCache& cache, TJValue& value);
    void WriteMember(const AnsiString& name, TJMemberCache& cache, const TJValue& value);
    // The class method that reading the name would bind to this object, for
    // a method-call place that calls it at once on the object: the call needs
    // no bound function. Nil when the read would answer otherwise (a
    // property, a member, a removed method) or the class reads its own way.
    const TJMethodTable::Entry* MethodToCall(const AnsiString& name, TJMemberCache& cache) const;
    virtual AnsiString ToString(const TJValue* arg = nullptr);
    virtual TJValue ValueOf();
    virtual double ToNumber();
    virtual bool ToBool();
    virtual uint8_t ToChar();
    virtual bool Equals(TJObject* other);
    // Fills the (cleared) variant with the object's automation form: the
    // boxing, date and automation objects give their value; others leave it empty.
    virtual void ToVariant(VARIANT& variant);
    virtual void GetPropertyList(std::vector<AnsiString>& list);
    virtual void GetMethodList(std::vector<AnsiString>& list);
    virtual void GetEventList(std::vector<AnsiString>& list);
    virtual bool IsArrayLike();
    virtual int32_t GetLength();
    virtual void GetItem(int32_t index, TJValue& value);
    // GetValue(name, true, value) and SetValue(name, value) with the index's
    // decimal text as the name: index access by a number, which a class with
    // elements (or overriding GetValue and SetValue) serves without the text.
    virtual void GetIndexValue(int32_t index, TJValue& value);
    virtual void SetIndexValue(int32_t index, const TJValue& value);
    // Runs the body for each item of a collection that is not array-like (an
    // automation object that enumerates) until it answers false; false when
    // the object is no such collection.
    virtual bool ForEachItem(const std::function<bool(const TJValue& item)>& body);
    // A name read through the object as a scope's `this`: a key it has. An
    // automation object, whose keys are unknown, tries the member itself.
    virtual bool FindScopeName(const AnsiString& name, TJValue& value);
    // A stamp that stays while FindScopeName keeps missing the names it
    // missed (HasKey's answer follows the member table); 0 for a class whose
    // keys come from elsewhere.
    virtual uint64_t ScopeKeysStamp();
    // The member just read from this object is a wrapper made for the read
    // (automation and GUI objects hand out such): the reader keeps it alive
    // for the statement.
    virtual bool WrapsForRead(TJObject* member) const;
    // Class-level: whether each namespace gets an instance (the class record's answer).
    bool HasGlobalInstance() const { return ClassType()->HasGlobalInstance(); }
    // Class-level: the script methods ("hasKey", "toString", ... for every
    // object); a class with methods of its own returns its table, chained to
    // its parent's.
    virtual const TJMethodTable& Methods() const;

    // ---- Members and registration ----
    void SetClassName(const AnsiString& name);
    // Stores a value member directly (constants, cached wrappers).
    void PutMember(const AnsiString& name, const TJValue& value);
    void RegisterEventName(const AnsiString& name);
    // The runtime is running and the name reads (an empty name: the running state).
    bool HasEventHandler(const AnsiString& name);
    // Calls the handler: the global prefix + name, or (empty prefix) the member.
    void FireEvent(const AnsiString& prefix, const AnsiString& name, TJValue& result, TJValueList* args);
    // The name is a published non-event property (any case).
    bool HasProperty(const AnsiString& name) const;
    void GetMemberNames(std::vector<AnsiString>& list, TJValueTypes include, TJValueTypes exclude);
    void ClearMembers();
    void ClearValueMembers();
    void RemoveMembersByKind(TJValueTypes include, TJValueTypes exclude);

protected:
    // Keeps `delete` to Free and DecRef; `new` is createObject's (its
    // constructors take a key only createObject makes).
    static void operator delete(void* p) { ::operator delete(p); }
    virtual void RegisterConstants();
    // The first construction step after the C++ constructors, before constants
    // are registered: the steps that need virtual calls or the arguments.
    virtual void Construct(TJValueList* args);
    // The last construction step, after constants are registered and before
    // the runtime hears of the object.
    virtual void AfterConstruction();
    // The step after AfterConstruction of a registering object of a runtime,
    // before the runtime hears of it (a RegExp object links itself to the
    // runtime's statics).
    virtual void AfterRegistration();
    // Replaces the published property names (a GUI wrapper lists its object's).
    void SetPropertyNames(std::vector<AnsiString> names);
    // The prototype step of a member read; TJPrototypeObject skips it.
    virtual bool UsesClassPrototype() const { return true; }
    // Class-level: a read of a class method's name takes GetValue's and
    // GetValueImpl's own steps, which bind the method when no property or
    // member answers (no override of the class's own reads such names). A
    // class answers for itself only, not for classes derived from it.
    virtual bool BindsMethodsOnRead() const;
    // Whether ReadMember may keep what the member tables answer for the name:
    // GetValue reads it by GetValueImpl's own steps, and no published
    // property of the class is named so (one that is answers first anyway).
    virtual bool CachesReadsOf(const AnsiString& name) const;

private:
    template <class T>
    friend T* createObject(TJRuntime* runtime, bool registering, TJValueList* args);
    void finishConstruction(bool registering, TJValueList* args);

    // GetValueImpl's steps; an answer from the member table of this object
    // or of its class prototype is described in `found`, when given.
    bool findValue(const AnsiString& name, TJValue& value, TJValueList* args, TJMemberCacheEntry* found);
    bool prototypeValue(const AnsiString& name, TJValue& value, TJValueList* args, TJMemberCacheEntry* found);
    // The cache's entry that still holds for this object; nil when none.
    const TJMemberCacheEntry* cachedEntry(const TJMemberCache& cache) const;
    // The classes whose member reads and writes are GetValueImpl's and
    // SetValueImpl's own steps, with no published property: they alone use
    // member caches.
    bool cachesMembers() const;
    bool hasMember(const AnsiString& name) const;
    // A class method not removed from this object; nil when none.
    const TJMethodTable::Entry* liveMethod(const AnsiString& name) const;
    // Every class method, or the one of this name, is removed from the object.
    bool methodRemoved(const AnsiString& name) const;
    // A class method read for the first time becomes a member bound to the
    // object, so that every later read gives the same function.
    bool bindMethod(const AnsiString& name, TJValue& value);
    // Binds every live class method (before the members are listed).
    void bindAllMethods();

    // What few objects have, kept apart so that the many small objects of a
    // script (array entries, listing entries) stay small.
    struct Extras {
        std::vector<AnsiString> Events;
        std::vector<AnsiString> OwnPropertyNames;
        std::vector<AnsiString> RemovedMethods;  // class methods removed one by one
    };
    // Made on first use.
    Extras& extras();

    int32_t RefCount_ = 1;
    bool Destroying_ = false;
    bool HasPublished_ = true;     // the class publishes properties (looked up at construction)
    bool MethodsRemoved_ = false;  // every class method is removed from this object
    bool OwnPropertyNames_ = false;  // the names are the object's own (in Extras_), not its class's
    AnsiString ScriptClassName_;
    mutable TJHash* Members_ = nullptr;  // most boxed values never get a member
    TJRuntime* Runtime_;
    std::unique_ptr<Extras> Extras_;

    friend class TJObjectFactory;  // keeps its objects in a ring of their TJFactoryRing parts
};

// ==== TJPrototypeObject ====

// The prototype of one script class: members that every object of the class
// reads when it lacks them, or an object assigned as the class's prototype.
class TJPrototypeObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJPrototypeObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJPrototypeObject() override;

    // The assigned object, else the prototype itself.
    TJObject* GetTarget() { return Target_ ? Target_ : this; }
    // Assigns (nil clears) the target: counted and linked.
    void SetTarget(TJObject* target);
    void GetPropertyList(std::vector<AnsiString>& list) override;
    void FreeNotify(TJNotify* peer) override;

    // A prototype has no methods of its own.
    const TJMethodTable& Methods() const override;

protected:
    bool UsesClassPrototype() const override { return false; }

private:
    TJObject* Target_ = nullptr;
};
