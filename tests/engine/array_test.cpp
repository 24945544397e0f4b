// The Array object's element lifetimes (its behaviour as scripts see it is in
// tests/scripts/array): references held for object elements, and elements
// handed out or moved with the right count.
#include "engine/core/array.h"
#include "valuetest.h"

namespace {

class Arrays : public ::testing::Test {
protected:
    FakeRuntime engine;

    // An array holding the items (not the constructor's arguments). The test
    // holds a reference, as a script variable would.
    TJArrayObject* list(std::initializer_list<TJValue> items) {
        TJArrayObject* a = createObject<TJArrayObject>(&engine, true, nullptr);
        for (const TJValue& item : items) a->Add(item);
        a->IncRef();
        return a;
    }

    // new Array(items...).
    TJArrayObject* make(std::initializer_list<TJValue> items = {}) {
        TJValueList args;
        for (const TJValue& item : items) args.Add(item);
        TJArrayObject* a = createObject<TJArrayObject>(&engine, true, items.size() ? &args : nullptr);
        a->IncRef();
        return a;
    }

    TJValue call(TJObject* o, const char* name, std::initializer_list<TJValue> args = {}) {
        TJValueList list;
        for (const TJValue& a : args) list.Add(a);
        TJValue f, result;
        o->GetValue(name, false, f);
        CallNativeMethod(f.FuncValue.get(), args.size() ? &list : nullptr, result);
        return result;
    }

    static TJArrayObject* array(const TJValue& v) {
        EXPECT_TRUE(IsObjectValue(&v));
        return static_cast<TJArrayObject*>(v.ObjValue);
    }
};

}  // namespace

TEST_F(Arrays, ObjectElementsAreCountedAndForgotten) {
    TJObject* o = createObject<TJObject>(&engine, true, nullptr);
    TJArrayObject* a = make({objectValue(o), objectValue(o)});
    EXPECT_EQ(o->RefCount(), 2);
    call(a, "sort");
    EXPECT_EQ(o->RefCount(), 2);
    call(a, "pop");
    EXPECT_EQ(o->RefCount(), 1);
    o->Free();
    EXPECT_EQ(a->Items().At(0).ValueType, vtUndefined);
}

// An element that only the array held is handed out alive, with no
// reference, for the caller's holder; moved elements keep their one reference.
TEST_F(Arrays, TakenElementsOutliveTheArraysReference) {
    for (const char* method : {"pop", "shift"}) {
        TJObject* only = createObject<TJObject>(&engine, true, nullptr);
        TJValue taken = call(list({objectValue(only)}), method);
        EXPECT_EQ(taken.ObjValue, only) << method;
        EXPECT_EQ(only->RefCount(), 0) << method;
        EXPECT_TRUE(engine.factory.HasObject(only)) << method;
    }
    TJObject* moved = createObject<TJObject>(&engine, true, nullptr);
    TJArrayObject* removed = array(call(list({objectValue(moved)}), "splice", {intValue(0), intValue(1)}));
    EXPECT_EQ(removed->Items().At(0).ObjValue, moved);
    EXPECT_EQ(moved->RefCount(), 1);
}
