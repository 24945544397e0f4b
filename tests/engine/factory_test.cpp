// The object factory's class table and teardown, function values (copying,
// captured variables, the bound `this`) and free-notification links.
#include <utility>
#include <vector>

#include "engine/core/array.h"
#include "engine/core/scope.h"
#include "valuetest.h"

TEST(Factory, ClassesByScriptName) {
    FakeRuntime engine;
    engine.factory.AddClass("Array", &TJArrayObject::classInfo);
    engine.factory.AddClass("Object", &TJObject::classInfo);
    EXPECT_TRUE(engine.factory.HasClass("Array"));
    EXPECT_FALSE(engine.factory.HasClass("array"));  // case-sensitive
    EXPECT_EQ(engine.factory.LookupClass("Array"), &TJArrayObject::classInfo);
    EXPECT_EQ(engine.factory.LookupClass("Missing"), nullptr);
    engine.factory.AddClass("Array", &TJObject::classInfo);  // replaced
    EXPECT_EQ(engine.factory.LookupClass("Array"), &TJObject::classInfo);
    EXPECT_EQ(engine.factory.GetClassNames().size(), 2u);
    TJValueList args;
    args.AddInteger(2);
    TJObject* made = CreateScriptInstance(&TJArrayObject::classInfo, &engine, true, &args);
    EXPECT_EQ(made->GetLength(), 2);
}

TEST(Factory, ClearReleasesPrototypesThenFreesObjects) {
    FakeRuntime engine;
    TJObject* o = createObject<TJObject>(&engine, true, nullptr);
    engine.factory.GetPrototype("Object")->SetValue("keep", objectValue(o));
    EXPECT_EQ(o->RefCount(), 1);
    EXPECT_EQ(engine.factory.ObjectCount(), 2);  // the object and the prototype
    engine.factory.Clear();
    EXPECT_EQ(engine.factory.ObjectCount(), 0);
    EXPECT_EQ(engine.factory.Prototypes().GetKeyList().size(), 0u);
    TJObject* again = engine.factory.GetPrototype("Object");  // made anew
    EXPECT_FALSE(again->HasKey("keep"));
}

TEST(Functions, CopyTakesTheRecordThisAndCapturedVariables) {
    FakeRuntime engine;
    TJObject* self = createObject<TJObject>(&engine, true, nullptr);
    IJFunctionPtr source = NewFunction();
    source->SetName("f");
    source->SetFuncType(ftScript);
    source->SetCallType(ctCall);
    source->SetThis(self);
    auto* captured = new TJLocalSymbolTable(nullptr);
    captured->RegisterLocalValue("a", intValue(1));
    captured->RegisterLocalValue("b", intValue(2));
    source->SetLocalTable(captured);

    IJFunctionPtr copy = NewFunction();
    auto* own = new TJLocalSymbolTable(nullptr);
    own->RegisterLocalValue("a", intValue(10));
    copy->SetLocalTable(own);
    copy->CopyFrom(source.get());
    EXPECT_EQ(copy->GetName(), "f");
    EXPECT_EQ(copy->GetCallType(), ctCall);
    EXPECT_EQ(copy->GetThis(), self);
    EXPECT_EQ(copy->GetLocalTable()->Variables().FindValue("a")->IntegerValue, 10);  // kept
    EXPECT_EQ(copy->GetLocalTable()->Variables().FindValue("b")->IntegerValue, 2);   // added
    copy->SetCallType(ctApply);
    EXPECT_EQ(source->GetCallType(), ctCall);  // the original keeps its own

    IJFunctionPtr fresh = NewFunction();
    fresh->CopyFrom(source.get());
    ASSERT_NE(fresh->GetLocalTable(), nullptr);
    EXPECT_NE(fresh->GetLocalTable(), captured);  // its own table
    self->Free();
    EXPECT_EQ(source->GetThis(), nullptr);
    EXPECT_EQ(copy->GetThis(), nullptr);
}

TEST(Functions, NativeMethodsCallTheirObject) {
    FakeRuntime engine;
    TJArrayObject* a = createObject<TJArrayObject>(&engine, true, nullptr);
    TJValue push;
    a->GetValue("push", false, push);
    EXPECT_EQ(push.FuncValue->GetFuncType(), ftNative);
    EXPECT_EQ(push.FuncValue->GetName(), "push");
    EXPECT_EQ(push.FuncValue->GetThis(), a);
    TJValueList args;
    args.AddInteger(5);
    TJValue result;
    engine.CallFunction(push, &args, result, nullptr);
    EXPECT_EQ(result.IntegerValue, 1);
    EXPECT_EQ(a->Items().At(0).IntegerValue, 5);
}

TEST(Notify, LinksBothWaysAndTellsOnFree) {
    FakeRuntime engine;
    TJNotifyLink observer;
    TJNotify* told = nullptr;
    struct Handler {
        TJNotify** told;
        void freed(TJNotify*, TJNotify* peer) { *told = peer; }
    } handler{&told};
    observer.OnFreeNotify = TJFreeNotifyEvent::bind<&Handler::freed>(&handler);
    TJObject* o = createObject<TJObject>(&engine, true, nullptr);
    observer.AddFreeNotify(o);
    observer.AddFreeNotify(o);  // already linked: nothing changes
    EXPECT_TRUE(observer.IsLinked(o));
    EXPECT_TRUE(o->IsLinked(&observer));
    o->Free();
    EXPECT_EQ(told, o);
    EXPECT_FALSE(observer.IsLinked(o));
    TJObject* p = createObject<TJObject>(&engine, true, nullptr);
    observer.AddFreeNotify(p);
    observer.RemoveFreeNotify(p);  // this side only
    EXPECT_FALSE(observer.IsLinked(p));
    EXPECT_TRUE(p->IsLinked(&observer));
    p->Free();  // the half link still tells
    EXPECT_EQ(told, p);
}

// Peer 2k frees peer 2k+1 when told, peer 0 links one more to the dying
// object: every peer still alive is told once, a freed one never after.
TEST(Notify, PeersThatFreeOrLinkOthersWhileToldAreEachToldOnce) {
    for (int n : {2, 40}) {  // peers inline and in a table
        struct Peer {
            std::vector<int>* told;
            int id;
            Peer* victim;
            Peer* late;
            TJNotifyLink notify;
            void freed(TJNotify*, TJNotify* dying) {
                ++(*told)[static_cast<size_t>(id)];
                delete std::exchange(victim, nullptr);
                if (late) dying->AddFreeNotify(&std::exchange(late, nullptr)->notify);
            }
        };
        std::vector<int> told(static_cast<size_t>(n) + 1);
        auto* late = new Peer{&told, n, nullptr, nullptr, {}};
        late->notify.OnFreeNotify = TJFreeNotifyEvent::bind<&Peer::freed>(late);
        auto* dying = new TJNotify;
        std::vector<Peer*> peers(static_cast<size_t>(n));
        for (int i = n - 1; i >= 0; --i) {
            Peer* victim = i % 2 ? nullptr : peers[static_cast<size_t>(i) + 1];
            auto* peer = new Peer{&told, i, victim, i == 0 ? late : nullptr, {}};
            peer->notify.OnFreeNotify = TJFreeNotifyEvent::bind<&Peer::freed>(peer);
            dying->AddFreeNotify(&peer->notify);
            peers[static_cast<size_t>(i)] = peer;
        }
        delete dying;
        for (int i = 0; i <= n; ++i) {
            if (i % 2 == 0 || i == n) EXPECT_EQ(told[static_cast<size_t>(i)], 1) << n << " peers, peer " << i;
            else EXPECT_LE(told[static_cast<size_t>(i)], 1) << n << " peers, peer " << i;
        }
        for (int i = 0; i < n; i += 2) delete peers[static_cast<size_t>(i)];
        delete late;
    }
}
