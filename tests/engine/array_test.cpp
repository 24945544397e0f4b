// The Array object: construction, index access, `length`, every method with
// its edge cases, sorting by numbers and by a script comparator, and errors.
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

    static AnsiString text(const TJValue& v) { return ValueToString(&v); }
    static AnsiString text(TJArrayObject* a) { return a->Join(","); }
    static TJArrayObject* array(const TJValue& v) {
        EXPECT_TRUE(IsObjectValue(&v));
        return static_cast<TJArrayObject*>(v.ObjValue);
    }
};

}  // namespace

TEST_F(Arrays, Construction) {
    TJArrayObject* three = make({intValue(3)});
    EXPECT_EQ(three->GetLength(), 3);
    EXPECT_EQ(three->Items().At(2).ValueType, vtUndefined);
    EXPECT_EQ(make({doubleValue(2.5)})->GetLength(), 2);  // halves to even
    TJArrayObject* text3 = make({textValue("3")});
    EXPECT_EQ(text3->GetLength(), 1);
    EXPECT_EQ(text3->Items().At(0).StrValue, "3");
    EXPECT_EQ(make({intValue(1), intValue(2)})->GetLength(), 2);
    EXPECT_EQ(make()->GetLength(), 0);
    EXPECT_EQ(make()->ScriptClassName(), "Array");
    EXPECT_TRUE(make()->IsArrayLike());
    TJValueList negative;
    negative.AddInteger(-1);
    EXPECT_SCRIPT_ERROR(createObject<TJArrayObject>(&engine, true, &negative), "EIndexError", "-1");
}

TEST_F(Arrays, IndexAccessGrowsTheArray) {
    TJArrayObject* a = make({intValue(1), intValue(2)});
    TJValue v;
    a->GetValue("5", true, v);
    EXPECT_EQ(v.ValueType, vtUndefined);
    EXPECT_EQ(a->GetLength(), 6);
    a->SetValue("7", textValue("x"));
    EXPECT_EQ(a->GetLength(), 8);
    a->GetValue("7", true, v);
    EXPECT_EQ(v.StrValue, "x");
    a->SetValue("name", intValue(4));  // not an index: a member
    a->GetValue("name", true, v);
    EXPECT_EQ(v.IntegerValue, 4);
    EXPECT_EQ(a->GetLength(), 8);
    EXPECT_SCRIPT_ERROR(a->GetValue("-1", true, v), "EIndexError", "-1");
    EXPECT_SCRIPT_ERROR(a->SetValue("-2", v), "EIndexError", "-2");
    EXPECT_SCRIPT_ERROR(a->GetValue("2000000000", true, v), "EIndexError", "2000000000");
    EXPECT_EQ(a->GetLength(), 8);
    EXPECT_SCRIPT_ERROR(a->GetValue("0x1", true, v), "EKeyError", "0x1");  // not decimal: a member read
    a->GetItem(100, v);  // GetItem does not grow
    EXPECT_EQ(v.ValueType, vtUndefined);
    EXPECT_EQ(a->GetLength(), 8);
}

TEST_F(Arrays, LengthProperty) {
    TJArrayObject* a = make({intValue(1), intValue(2), intValue(3)});
    TJValue v;
    a->GetValue("length", false, v);
    EXPECT_EQ(v.IntegerValue, 3);
    a->SetValue("length", intValue(1));
    EXPECT_EQ(text(a), "1");
    a->SetValue("length", intValue(3));
    EXPECT_EQ(text(a), "1,,");
    EXPECT_SCRIPT_ERROR(a->SetValue("length", intValue(-1)), "EIndexError", "-1");
    EXPECT_SCRIPT_ERROR(a->SetValue("length", intValue(100000000)), "EIndexError", "100000000");
    EXPECT_EQ(a->GetLength(), 3);
}

TEST_F(Arrays, JoinAndTexts) {
    TJArrayObject* a = make({intValue(1), nullValue(), intValue(3)});
    EXPECT_EQ(text(call(a, "join", {textValue("-")})), "1--3");
    EXPECT_EQ(text(call(a, "join")), "1,,3");
    EXPECT_EQ(text(call(make(), "join")), "");
    a->Items().SetItem(1, undefinedValue());
    EXPECT_EQ(text(call(a, "toString")), "1,,3");
    EXPECT_EQ(a->ValueOf().StrValue, "1,,3");
    TJArrayObject* nested = make({intValue(1), objectValue(make({intValue(2), doubleValue(2.5)}))});
    EXPECT_EQ(nested->ToString(), "1,2,2.5");
    TJArrayObject* self = list({intValue(1)});
    self->Items().AddObject(self);
    EXPECT_SCRIPT_ERROR(self->ToString(), "ETypeError", "array nested in itself");
}

TEST_F(Arrays, AddPushPopShiftUnshift) {
    TJArrayObject* a = make();
    EXPECT_EQ(call(a, "add").ValueType, vtUndefined);
    EXPECT_EQ(call(a, "add", {intValue(7), intValue(8)}).IntegerValue, 1);
    EXPECT_EQ(call(a, "push", {intValue(9)}).IntegerValue, 3);
    EXPECT_EQ(call(a, "pop").IntegerValue, 9);
    EXPECT_EQ(call(a, "shift").IntegerValue, 7);
    EXPECT_EQ(text(a), "8");
    TJValue self = call(a, "unshift", {intValue(5), intValue(6)});
    EXPECT_EQ(self.ObjValue, a);  // unshift gives the array, not a count
    EXPECT_EQ(text(a), "5,6,8");
    TJArrayObject* empty = make();
    EXPECT_EQ(call(empty, "pop").ValueType, vtUndefined);
    EXPECT_EQ(call(empty, "shift").ValueType, vtUndefined);
}

TEST_F(Arrays, DeleteClearReverse) {
    TJArrayObject* a = make({intValue(1), intValue(2), intValue(3)});
    EXPECT_EQ(call(a, "delete").ValueType, vtUndefined);
    EXPECT_EQ(call(a, "delete", {intValue(1)}).ObjValue, a);
    EXPECT_EQ(text(a), "1,3");
    EXPECT_SCRIPT_ERROR(call(a, "delete", {intValue(5)}), "EIndexError", "");
    EXPECT_EQ(call(a, "reverse").ObjValue, a);
    EXPECT_EQ(text(a), "3,1");
    a->Items().AddInteger(0);
    call(a, "reverse");
    EXPECT_EQ(text(a), "0,1,3");
    a->SetValue("extra", intValue(1));
    EXPECT_EQ(call(a, "clear").ObjValue, a);
    EXPECT_EQ(a->GetLength(), 0);
    EXPECT_FALSE(a->HasKey("extra"));
    EXPECT_TRUE(a->HasKey("push"));
}

TEST_F(Arrays, SliceAndConcat) {
    TJArrayObject* a = make({intValue(1), intValue(2), intValue(3)});
    EXPECT_EQ(text(array(call(a, "slice", {intValue(-2)}))), "2,3");
    EXPECT_EQ(array(call(a, "slice", {intValue(-5)}))->GetLength(), 0);
    EXPECT_EQ(text(array(call(a, "slice"))), "1,2,3");
    EXPECT_EQ(text(array(call(a, "slice", {intValue(1), intValue(-1)}))), "2");
    EXPECT_EQ(text(array(call(a, "slice", {intValue(1), intValue(10)}))), "2,3");
    TJArrayObject* one = list({intValue(1)});
    EXPECT_EQ(call(one, "concat").ValueType, vtUndefined);
    TJValue joined = call(one, "concat", {objectValue(make({intValue(2), intValue(3)})), intValue(4)});
    EXPECT_EQ(text(array(joined)), "1,2,3,4");
    EXPECT_NE(array(joined), one);
    EXPECT_EQ(text(one), "1");
}

TEST_F(Arrays, Splice) {
    TJArrayObject* a = make({intValue(1), intValue(2), intValue(3), intValue(4)});
    EXPECT_EQ(text(array(call(a, "splice", {intValue(1), intValue(2)}))), "2,3");
    EXPECT_EQ(text(a), "1,4");
    TJArrayObject* b = make({intValue(1), intValue(2)});
    EXPECT_EQ(call(b, "splice", {intValue(1)}).ValueType, vtUndefined);
    EXPECT_EQ(text(b), "1,2");
    TJArrayObject* c = make({intValue(1), intValue(4)});
    EXPECT_EQ(array(call(c, "splice", {intValue(1), intValue(0), intValue(2), intValue(3)}))->GetLength(), 0);
    EXPECT_EQ(text(c), "1,2,3,4");
    EXPECT_EQ(text(array(call(c, "splice", {intValue(-1), intValue(1), textValue("x")}))), "4");
    EXPECT_EQ(text(c), "1,2,3,x");
    TJArrayObject* d = make({intValue(1), intValue(2), intValue(3)});
    EXPECT_SCRIPT_ERROR(call(d, "splice", {intValue(2), intValue(3)}), "EIndexError", "");  // past the end
    EXPECT_EQ(text(d), "1,2,3");
    EXPECT_SCRIPT_ERROR(call(d, "splice", {intValue(9), intValue(0), intValue(5)}), "EIndexError", "");
}

TEST_F(Arrays, Assign) {
    TJArrayObject* a = list({intValue(9)});
    a->SetValue("extra", intValue(1));
    EXPECT_EQ(call(a, "assign", {objectValue(make({intValue(1), intValue(2)}))}).ObjValue, a);
    EXPECT_EQ(text(a), "1,2");
    EXPECT_FALSE(a->HasKey("extra"));
    call(a, "assign", {objectValue(a)});  // from itself
    EXPECT_EQ(text(a), "1,2");
    EXPECT_SCRIPT_ERROR(call(a, "assign"), "ETypeError", "array assign error");
    EXPECT_SCRIPT_ERROR(call(a, "assign", {intValue(1)}), "ETypeError", "array assign error");
    EXPECT_SCRIPT_ERROR(call(a, "assign", {objectValue(createObject<TJObject>(&engine, true, nullptr))}),
                        "ETypeError", "array assign error");
}

TEST_F(Arrays, DefaultSortIsNumericAndStable) {
    TJArrayObject* a = make({intValue(10), intValue(9), intValue(1)});
    EXPECT_EQ(call(a, "sort").ObjValue, a);
    EXPECT_EQ(text(a), "1,9,10");
    TJArrayObject* words = make({textValue("b"), textValue("a")});
    call(words, "sort");
    EXPECT_EQ(text(words), "b,a");  // both count as 0
    TJArrayObject* wide = make({intValue(INT32_MIN), intValue(INT32_MAX), intValue(0), intValue(-1)});
    call(wide, "sort");  // compared by sign: no overflow
    EXPECT_EQ(text(wide), "-2147483648,-1,0,2147483647");
}

TEST_F(Arrays, SortWithAScriptComparator) {
    TJArrayObject* a = make({intValue(1), intValue(3), intValue(2)});
    int calls = 0;
    TJObject* thisSeen = nullptr;
    TJValue descending = engine.scriptFunction([&](TJValueList* args, TJValue& result, TJObject* self) {
        ++calls;
        thisSeen = self;
        MakeInteger(ValueToInteger(&args->At(1)) - ValueToInteger(&args->At(0)), result);
    });
    EXPECT_EQ(call(a, "sort", {descending}).ObjValue, a);
    EXPECT_EQ(text(a), "3,2,1");
    EXPECT_GT(calls, 0);
    EXPECT_EQ(thisSeen, a);

    // A comparator that empties the array meanwhile cannot upset the sort.
    TJValue meddling = engine.scriptFunction([&](TJValueList* args, TJValue& result, TJObject*) {
        a->Items().Clear();
        MakeInteger(ValueToInteger(&args->At(0)) - ValueToInteger(&args->At(1)), result);
    });
    call(a, "sort", {meddling});
    EXPECT_EQ(text(a), "1,2,3");

    TJValue failing = engine.scriptFunction([](TJValueList*, TJValue&, TJObject*) {
        raiseScriptError("EThrow", "stop");
    });
    EXPECT_SCRIPT_ERROR(call(a, "sort", {failing}), "EThrow", "stop");
    EXPECT_EQ(text(a), "1,2,3");  // nothing lost

    EXPECT_SCRIPT_ERROR(call(a, "sort", {intValue(1)}), "ETypeError", "sort compare function error");
    TJValue native;
    a->GetValue("push", false, native);
    EXPECT_SCRIPT_ERROR(call(a, "sort", {native}), "ETypeError", "sort compare function error");
    TJArrayObject* orphan = createObject<TJArrayObject>(nullptr, true, nullptr);
    orphan->IncRef();
    EXPECT_SCRIPT_ERROR(call(orphan, "sort", {descending}), "ETypeError", "sort compare function error");
    orphan->DecRef();
}

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
        EXPECT_GE(engine.factory.Objects().IndexOf(only), 0) << method;
    }
    TJObject* moved = createObject<TJObject>(&engine, true, nullptr);
    TJArrayObject* removed = array(call(list({objectValue(moved)}), "splice", {intValue(0), intValue(1)}));
    EXPECT_EQ(removed->Items().At(0).ObjValue, moved);
    EXPECT_EQ(moved->RefCount(), 1);
}
