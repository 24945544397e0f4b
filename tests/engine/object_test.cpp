// The object model from C++ (members as scripts see them are in
// tests/scripts/functions/members.dms): construction and registration,
// prototype assignment and its loop refusal, the key order of getKeys, the
// event names and event handlers.
#include <algorithm>

#include "engine/core/array.h"
#include "valuetest.h"

namespace {

// Counts its destructions; its constructor may raise when asked.
class TProbe : public TJObject {
    RTL_DECLARE_CLASS()
    static inline int freed = 0;
    static inline bool failAfterConstruction = false;
    TProbe(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
        SetClassName("Probe");
    }
    ~TProbe() override { ++freed; }

protected:
    void RegisterConstants() override {
        registeredName = ScriptClassName();  // the final class is known when constants register
    }
    void AfterConstruction() override {
        if (failAfterConstruction) raiseScriptError("EProbeError", "refused");
    }

public:
    AnsiString registeredName;
};

TJValue member(TJObject* o, const char* name) {
    TJValue v;
    o->GetValue(name, false, v);
    return v;
}

// The member table's key order: by bucket (hash mod 23), within a bucket in
// the locale's order.
std::vector<AnsiString> bucketOrder(std::vector<AnsiString> keys) {
    std::sort(keys.begin(), keys.end(), [](const AnsiString& a, const AnsiString& b) {
        unsigned ba = TCustomHashTable::HashOf(a) % 23, bb = TCustomHashTable::HashOf(b) % 23;
        if (ba != bb) return ba < bb;
        return CompareStringA(LOCALE_USER_DEFAULT, 0, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
    });
    return keys;
}

std::vector<AnsiString> arrayTexts(const TJValue& v) {
    std::vector<AnsiString> texts;
    auto* array = static_cast<TJArrayObject*>(v.ObjValue);
    for (int i = 0; i < array->Items().Count(); ++i) texts.push_back(ValueToString(&array->Items().At(i)));
    return texts;
}

TJValue callMethod(TJObject* o, const char* name, TJValueList* args = nullptr) {
    TJValue f, result;
    o->GetValue(name, false, f);
    EXPECT_EQ(f.ValueType, vtFunction) << name;
    CallNativeMethod(f.FuncValue.get(), args, result);
    return result;
}

const std::vector<AnsiString> builtinNames = {"hasKey", "hasOwnProperty", "removeKey", "toString", "getKeys",
                                              "getProperties", "getMethods", "valueOf", "getEvents"};

}  // namespace

const TClassInfo TProbe::classInfo = makeClassInfo("TProbe", &TJObject::classInfo, &scriptCreator<TProbe>);

TEST(Objects, ConstructionRegistersAndCountsFromZero) {
    FakeRuntime engine;
    int handled = 0;
    TJObject* seen = nullptr;
    struct Handler {
        int* count;
        TJObject** seen;
        void onNew(TJObjectFactory*, TJObject* o) { ++*count; *seen = o; }
    } handler{&handled, &seen};
    engine.factory.NewObjectHandler = TJNewObjectEvent::bind<&Handler::onNew>(&handler);
    TProbe* probe = createObject<TProbe>(&engine, true, nullptr);
    EXPECT_EQ(probe->RefCount(), 0);
    EXPECT_EQ(probe->Runtime(), &engine);
    EXPECT_EQ(probe->ScriptClassName(), "Probe");
    EXPECT_EQ(probe->registeredName, "Probe");
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(seen, probe);
    EXPECT_TRUE(engine.factory.HasObject(probe));
    TJObject* loose = createObject<TJObject>(&engine, false, nullptr);  // not registering
    EXPECT_EQ(handled, 1);
    EXPECT_FALSE(engine.factory.HasObject(loose));
    loose->IncRef();
    loose->DecRef();  // its last reference frees it
}

TEST(Objects, ReferencesTakenDuringConstructionSurvive) {
    FakeRuntime engine;
    struct Keeper {
        TJHash* store;
        void onNew(TJObjectFactory*, TJObject* o) { store->SetValue("kept", objectValue(o)); }
    } keeper{&engine.globals};
    engine.factory.NewObjectHandler = TJNewObjectEvent::bind<&Keeper::onNew>(&keeper);
    int before = TProbe::freed;
    TProbe* probe = createObject<TProbe>(&engine, true, nullptr);
    EXPECT_EQ(probe->RefCount(), 1);
    engine.globals.Remove("kept");
    EXPECT_EQ(TProbe::freed, before + 1);
}

TEST(Objects, FailedConstructionFreesTheObject) {
    FakeRuntime engine;
    int before = TProbe::freed;
    TProbe::failAfterConstruction = true;
    EXPECT_SCRIPT_ERROR(createObject<TProbe>(&engine, true, nullptr), "EProbeError", "refused");
    TProbe::failAfterConstruction = false;
    EXPECT_EQ(TProbe::freed, before + 1);
    EXPECT_EQ(engine.factory.ObjectCount(), 0);
}

TEST(Objects, CreatedThroughTheClassRecord) {
    FakeRuntime engine;
    TJObject* o = CreateScriptInstance(&TProbe::classInfo, &engine, true, nullptr);
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(o->InheritsFrom(&TProbe::classInfo));
    EXPECT_EQ(CreateScriptInstance(&TJNotify::classInfo, &engine, true, nullptr), nullptr);
    EXPECT_TRUE(o->HasGlobalInstance());
}

TEST(Objects, AssignedPrototypesFormAChain) {
    FakeRuntime engine;
    TProbe* base = createObject<TProbe>(&engine, true, nullptr);  // class "Probe"
    base->SetValue("fromBase", intValue(10));
    engine.factory.GetPrototype("Probe")->SetValue("fromProbeClass", intValue(20));
    ASSERT_TRUE(engine.factory.SetPrototype("Widget", base));
    EXPECT_EQ(base->RefCount(), 1);  // the prototype slot counts it
    TJObject* w = createObject<TJObject>(&engine, true, nullptr);
    w->SetClassName("Widget");
    EXPECT_EQ(engine.factory.GetPrototype("Widget"), base);
    EXPECT_EQ(member(w, "fromBase").IntegerValue, 10);
    EXPECT_EQ(member(w, "fromProbeClass").IntegerValue, 20);  // the assigned object's own class prototype

    // The prototype object of a class never consults another prototype.
    TJValue prototypeHolder;
    engine.factory.Prototypes().GetValue("Widget", prototypeHolder);
    TJObject* widgetPrototype = prototypeHolder.ObjValue;
    EXPECT_FALSE(widgetPrototype->GetValueImpl("fromProbeClass", prototypeHolder, nullptr));

    // A Widget assigned as the prototype of Probe would lead back to Widget.
    EXPECT_FALSE(engine.factory.SetPrototype("Probe", w));
    EXPECT_FALSE(engine.factory.SetPrototype("Widget", w));  // its own class
    int freed = TProbe::freed;
    ASSERT_TRUE(engine.factory.SetPrototype("Widget", nullptr));
    EXPECT_EQ(TProbe::freed, freed + 1);  // the prototype slot held its only reference
    EXPECT_EQ(engine.factory.GetPrototype("Widget"), widgetPrototype);
    EXPECT_SCRIPT_ERROR(member(w, "fromBase"), "ENameError", "fromBase");
}

TEST(Objects, APrototypeTargetFreedElsewhereIsForgotten) {
    FakeRuntime engine;
    TJObject* target = createObject<TJObject>(&engine, true, nullptr);
    ASSERT_TRUE(engine.factory.SetPrototype("Thing", target));
    target->Free();  // as the engine's object list does at teardown
    TJObject* prototype = engine.factory.GetPrototype("Thing");
    EXPECT_TRUE(prototype->InheritsFrom(&TJPrototypeObject::classInfo));
}

TEST(Objects, ToStringAndGetKeysInTableOrder) {
    FakeRuntime engine;
    TJObject* o = createObject<TJObject>(&engine, true, nullptr);
    EXPECT_EQ(o->ToString(), "[object Object]");
    EXPECT_EQ(callMethod(o, "toString").StrValue, "[object Object]");
    o->SetValue("zeta", intValue(1));
    o->SetValue("alpha", intValue(2));
    std::vector<AnsiString> expected = builtinNames;
    expected.push_back("zeta");
    expected.push_back("alpha");
    EXPECT_EQ(arrayTexts(callMethod(o, "getKeys")), bucketOrder(expected));

    TJArrayObject* array = createObject<TJArrayObject>(&engine, true, nullptr);
    std::vector<AnsiString> keys = arrayTexts(callMethod(array, "getKeys"));
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.back(), "length");  // published names follow the members
}

// Scripts hold very many plain objects (array and listing entries): what few
// objects use (events, own property names, removed methods) stays out of line.
TEST(Objects, APlainObjectStaysSmall) {
    EXPECT_LE(sizeof(TJObject), sizeof(void*) == 8 ? 112u : 68u);
    FakeRuntime engine;
    TJObject* o = createObject<TJObject>(&engine, true, nullptr);
    EXPECT_TRUE(o->Events().empty());
    EXPECT_TRUE(o->RemoveKey("toString"));
    EXPECT_FALSE(o->HasKey("toString"));
    o->Clear();
    EXPECT_TRUE(o->HasKey("toString"));
}

TEST(Objects, EventNamesAreListedInOrderOnce) {
    FakeRuntime engine;
    TJArrayObject* array = createObject<TJArrayObject>(&engine, true, nullptr);
    array->RegisterEventName("onb");
    array->RegisterEventName("ona");
    array->RegisterEventName("onb");
    EXPECT_EQ(arrayTexts(callMethod(array, "getEvents")), (std::vector<AnsiString>{"ona", "onb"}));
}

TEST(Objects, ClearRemovesScriptMembersAndRegistersAgain) {
    FakeRuntime engine;
    TJObject* o = createObject<TJObject>(&engine, true, nullptr);
    o->SetValue("mine", intValue(1));
    o->SetValue("toString", intValue(2));  // a script may overwrite a method
    EXPECT_EQ(member(o, "toString").ValueType, vtInteger);
    o->Clear();
    EXPECT_FALSE(o->HasKey("mine"));
    EXPECT_EQ(member(o, "toString").ValueType, vtFunction);
    o->SetValue("mine", intValue(1));
    o->ClearValueMembers();
    EXPECT_FALSE(o->HasKey("mine"));
    EXPECT_TRUE(o->HasKey("getKeys"));
    o->RemoveMembersByKind(kindSet(vtFunction), 0);
    std::vector<AnsiString> names;
    o->GetMemberNames(names, 0, 0);
    EXPECT_TRUE(names.empty());
}

TEST(Objects, EventHandlers) {
    FakeRuntime engine;
    TJObject* o = createObject<TJObject>(&engine, true, nullptr);
    TJObject* thisSeen = nullptr;
    int argsSeen = -1;
    TJValue handler = engine.scriptFunction([&](TJValueList* args, TJValue& result, TJObject* self) {
        thisSeen = self;
        argsSeen = ArgCount(args);
        MakeInteger(99, result);
    });
    EXPECT_TRUE(o->HasEventHandler(""));
    EXPECT_FALSE(o->HasEventHandler("onClick"));
    o->SetValue("onClick", handler);
    EXPECT_TRUE(o->HasEventHandler("onClick"));
    TJValue result;
    TJValueList args;
    args.AddInteger(1);
    o->FireEvent("", "onClick", result, &args);
    EXPECT_EQ(result.IntegerValue, 99);
    EXPECT_EQ(thisSeen, o);
    EXPECT_EQ(argsSeen, 1);
    EXPECT_SCRIPT_ERROR(o->FireEvent("", "onMissing", result, nullptr), "EKeyError", "onMissing");

    engine.globals.SetValue("widget_onTimer", handler);
    thisSeen = nullptr;
    o->FireEvent("widget_", "onTimer", result, nullptr);
    EXPECT_EQ(thisSeen, o);
    int calls = engine.calls;
    o->FireEvent("widget_", "onNothing", result, nullptr);  // no such global: nothing happens
    EXPECT_EQ(engine.calls, calls);
    EXPECT_EQ(result.ValueType, vtUndefined);

    engine.running = false;
    EXPECT_FALSE(o->HasEventHandler("onClick"));
    EXPECT_FALSE(o->HasEventHandler(""));
    TJObject* orphan = createObject<TJObject>(nullptr, true, nullptr);
    orphan->IncRef();
    EXPECT_FALSE(orphan->HasEventHandler(""));
    orphan->FireEvent("", "anything", result, nullptr);  // without an engine nothing happens
    orphan->DecRef();
}
