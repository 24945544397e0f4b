// The object factory: classes by script name, the class prototypes with
// their assignment and loop refusal, the new-object step of construction, and
// the set of objects that frees what is left at teardown.
#include "engine/core/factory.h"

#include "engine/core/object.h"

const TClassInfo TJObjectFactory::classInfo = makeClassInfo("TJObjectFactory", &TJNotify::classInfo);

namespace {
constexpr int classBuckets = 53;
constexpr int prototypeBuckets = 23;
// Longer prototype chains than any script builds: a chain that loops.
constexpr int maxPrototypeChain = 1000;
}  // namespace

TJObjectFactory::TJObjectFactory(TJRuntime* runtime)
    : Runtime_(runtime), ClassTable_(classBuckets, false), Prototypes_(prototypeBuckets) {
    Objects_.RingPrev_ = Objects_.RingNext_ = &Objects_;
}

TJObjectFactory::~TJObjectFactory() {
    try {
        Clear();
    } catch (...) {
        // Freeing objects cannot fail in a way a destructor could report.
    }
    notifyPeers();
}

void TJObjectFactory::AddClass(const AnsiString& name, const TClassInfo* cls) {
    ClassTable_.SetValue(name, const_cast<TClassInfo*>(cls));
    ++ClassStamp_;
}

const TClassInfo* TJObjectFactory::LookupClass(const AnsiString& name) const {
    return static_cast<const TClassInfo*>(ClassTable_.GetValue(name));
}

void TJObjectFactory::AddObject(TJObject* object) {
    if (!object->inRing()) object->joinRing(Objects_);
}

int TJObjectFactory::ObjectCount() const {
    int count = 0;
    for (const TJFactoryRing* at = Objects_.RingNext_; at != &Objects_; at = at->RingNext_) ++count;
    return count;
}

// An object joins no other factory's ring than its runtime's.
bool TJObjectFactory::HasObject(TJObject* object) const { return object->inRing(); }

void TJObjectFactory::NewObject(TJObject* object) {
    NewObjectHandler(this, object);
    AddObject(object);
}

TJObject* TJObjectFactory::GetPrototype(const AnsiString& name) {
    if (const TJValue* held = Prototypes_.FindValue(name); held && IsObjectValue(held))
        return static_cast<TJPrototypeObject*>(held->ObjValue)->GetTarget();
    TJPrototypeObject* prototype = createObject<TJPrototypeObject>(Runtime_, true, nullptr);
    TJValue value;
    MakeObject(prototype, value);
    Prototypes_.SetValue(name, value);
    return prototype;
}

bool TJObjectFactory::SetPrototype(const AnsiString& name, TJObject* object) {
    if (object) {
        if (object->ScriptClassName() == name) return false;
        TJObject* p = GetPrototype(object->ScriptClassName());
        for (int depth = 0; !p->InheritsFrom(&TJPrototypeObject::classInfo); ++depth) {
            if (p->ScriptClassName() == name || depth >= maxPrototypeChain) return false;
            p = GetPrototype(p->ScriptClassName());
        }
    }
    GetPrototype(name);  // makes the class's prototype object when missing
    const TJValue* held = Prototypes_.FindValue(name);
    static_cast<TJPrototypeObject*>(held->ObjValue)->SetTarget(object);
    return true;
}

// An object freed meanwhile (by another's destructor) leaves the ring by
// itself; one made meanwhile joins and is freed too. Each leaves before it is
// freed, so that one already being destroyed (whose Free does nothing) is not
// met again.
void TJObjectFactory::Clear() {
    Prototypes_.Clear();
    while (Objects_.RingNext_ != &Objects_) {
        auto* object = static_cast<TJObject*>(Objects_.RingNext_);
        object->leaveRing();
        object->Free();
    }
}
