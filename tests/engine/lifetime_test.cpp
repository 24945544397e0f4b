// Reference counts and free notification: containers that hold one object
// several times, cycles freed at engine teardown, values that outlive their
// object, and value lists with and without their own reference.
#include <memory>
#include <vector>

#include "engine/core/array.h"
#include "engine/core/scope.h"
#include "valuetest.h"

namespace {

class TTracked : public TJObject {
    RTL_DECLARE_CLASS()
    static inline int alive = 0;
    TTracked(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) { ++alive; }
    ~TTracked() override { --alive; }
};

TTracked* tracked(TJRuntime* runtime) { return createObject<TTracked>(runtime, true, nullptr); }

}  // namespace

const TClassInfo TTracked::classInfo = makeClassInfo("TTracked", &TJObject::classInfo);

namespace {
// Link counts either side of the few peers a notifier keeps inline.
constexpr int linkCounts[] = {1, 3, 4, 40};
}  // namespace

TEST(Lifetime, OverwritingTheLastHolderFreesAndOthersReadUndefined) {
    FakeRuntime engine;
    int before = TTracked::alive;
    TTracked* o = tracked(&engine);
    TJHash variables(31);
    TJValueList uncounted;
    uncounted.Add(objectValue(o), false);  // linked only
    EXPECT_EQ(o->RefCount(), 0);
    variables.SetValue("a", objectValue(o));
    EXPECT_EQ(o->RefCount(), 1);
    variables.SetValue("a", intValue(5));
    EXPECT_EQ(TTracked::alive, before);
    EXPECT_EQ(uncounted.At(0).ValueType, vtUndefined);
}

TEST(Lifetime, OneContainerHoldingAnObjectTwiceKeepsItLinked) {
    FakeRuntime engine;
    TTracked* o = tracked(&engine);
    TJHash table(23);
    table.SetValue("a", objectValue(o));
    table.SetValue("b", objectValue(o));
    EXPECT_EQ(o->RefCount(), 2);
    table.Remove("a");
    EXPECT_EQ(o->RefCount(), 1);
    EXPECT_TRUE(o->IsLinked(&table.Notify));
    o->Free();  // freed elsewhere (as the object list does at teardown)
    EXPECT_EQ(table.FindValue("b")->ValueType, vtUndefined);
}

TEST(Lifetime, OneListHoldingAnObjectTwiceKeepsItLinked) {
    FakeRuntime engine;
    TTracked* o = tracked(&engine);
    TJValueList list;
    list.AddObject(o);
    list.AddObject(o);
    list.AddInteger(3);
    list.SetItem(2, objectValue(o));
    EXPECT_EQ(o->RefCount(), 3);
    list.Delete(0);
    list.SetItem(0, nullValue());
    EXPECT_EQ(o->RefCount(), 1);
    EXPECT_TRUE(o->IsLinked(&list.Notify));
    o->Free();
    EXPECT_EQ(list.At(1).ValueType, vtUndefined);
}

TEST(Lifetime, ReplacingAValueWithTheSameObjectKeepsIt) {
    FakeRuntime engine;
    int before = TTracked::alive;
    TTracked* o = tracked(&engine);
    TJHash table(23);
    table.SetValue("a", objectValue(o));
    table.SetValue("a", objectValue(o));
    EXPECT_EQ(o->RefCount(), 1);
    TJValueList list;
    list.AddObject(o);
    list.SetItem(0, list.At(0));
    EXPECT_EQ(o->RefCount(), 2);
    list.Clear();
    table.Clear();
    EXPECT_EQ(TTracked::alive, before);
}

TEST(Lifetime, ValueListReferenceRules) {
    FakeRuntime engine;
    int before = TTracked::alive;
    {
        TJValueList owner;
        owner.AddObject(tracked(&engine));  // the only reference
        owner.Delete(0);
        EXPECT_EQ(TTracked::alive, before);
    }
    {
        TJValueList handed;
        TTracked* o = tracked(&engine);
        o->IncRef();  // the caller's reference, handed over to the list
        handed.AddObject(o, false);
        EXPECT_EQ(o->RefCount(), 1);
        handed.Delete(0);
        EXPECT_EQ(TTracked::alive, before);
    }
    {
        TJValueList source, copy;
        TTracked* o = tracked(&engine);
        source.AddObject(o);
        copy.CopyFrom(&source);
        EXPECT_EQ(o->RefCount(), 2);
        source.Clear();
        EXPECT_EQ(o->RefCount(), 1);
    }
    EXPECT_EQ(TTracked::alive, before);
}

TEST(Lifetime, CyclesAndDuplicatesAreFreedAtTeardown) {
    int before = TTracked::alive;
    {
        FakeRuntime engine;
        TTracked* a = tracked(&engine);
        TTracked* b = tracked(&engine);
        TTracked* c = tracked(&engine);
        a->SetValue("next", objectValue(b));
        b->SetValue("next", objectValue(a));
        b->SetValue("again", objectValue(a));
        a->SetValue("self", objectValue(a));
        c->SetValue("x", objectValue(a));
        TJArrayObject* array = createObject<TJArrayObject>(&engine, true, nullptr);
        array->Items().AddObject(a);
        array->Items().AddObject(a);
        array->Items().AddObject(array);
        a->SetValue("list", objectValue(array));
        engine.globals.SetValue("root", objectValue(c));
        engine.globals.SetValue("root2", objectValue(c));
        EXPECT_EQ(a->RefCount(), 6);
        EXPECT_EQ(TTracked::alive, before + 3);
    }
    EXPECT_EQ(TTracked::alive, before);
}

TEST(Lifetime, ABoundFunctionOutlivesItsObjectSafely) {
    FakeRuntime engine;
    TJObject* o = createObject<TJObject>(&engine, true, nullptr);
    TJValue method;
    o->GetValue("toString", false, method);
    IJFunctionPtr function = method.FuncValue;
    EXPECT_EQ(function->GetThis(), o);
    o->Free();
    EXPECT_EQ(function->GetThis(), nullptr);
    TJValue result;
    EXPECT_SCRIPT_ERROR(CallNativeMethod(function.get(), nullptr, result), "ECallError",
                        "call function error,need function or object");
}

TEST(Lifetime, ObjectsLeftInTheListAreFreedByClear) {
    FakeRuntime engine;
    int before = TTracked::alive;
    TTracked* held = tracked(&engine);
    held->IncRef();  // a host reference the script never dropped
    tracked(&engine);
    EXPECT_EQ(engine.factory.ObjectCount(), 2);
    engine.factory.Clear();
    EXPECT_EQ(engine.factory.ObjectCount(), 0);
    EXPECT_EQ(TTracked::alive, before);
}

TEST(Lifetime, AnObjectInManyListsIsUnlinkedByEachAndToldToTheRest) {
    FakeRuntime engine;
    for (int n : linkCounts) {
        TTracked* o = tracked(&engine);
        std::vector<std::unique_ptr<TJValueList>> lists;
        for (int i = 0; i < n; ++i) {
            lists.push_back(std::make_unique<TJValueList>());
            lists.back()->AddObject(o);
            lists.back()->AddObject(o);
        }
        o->IncRef();  // ours, so that the lists dropping it do not free it
        for (int i = 0; i < n; i += 2) lists[static_cast<size_t>(i)].reset();
        for (int i = 1; i < n; i += 2) EXPECT_TRUE(o->IsLinked(&lists[static_cast<size_t>(i)]->Notify));
        o->Free();
        for (int i = 1; i < n; i += 2) EXPECT_EQ(lists[static_cast<size_t>(i)]->At(1).ValueType, vtUndefined) << n;
    }
}

TEST(Lifetime, AListOfManyObjectsForgetsTheFreedOnes) {
    FakeRuntime engine;
    int before = TTracked::alive;
    for (int n : linkCounts) {
        TJValueList list;
        std::vector<TTracked*> objects;
        for (int i = 0; i < n; ++i) {
            objects.push_back(tracked(&engine));
            list.AddObject(objects.back());
            list.AddObject(objects.back());
        }
        for (int i = 0; i < n; i += 2) objects[static_cast<size_t>(i)]->Free();
        for (int i = 0; i < n; ++i) {
            bool freed = i % 2 == 0;
            EXPECT_EQ(list.At(2 * i + 1).ValueType, freed ? vtUndefined : vtObject) << n << " objects, " << i;
            if (!freed) {
                EXPECT_TRUE(objects[static_cast<size_t>(i)]->IsLinked(&list.Notify));
            }
        }
        list.Clear();
        EXPECT_EQ(TTracked::alive, before) << n;
    }
}
