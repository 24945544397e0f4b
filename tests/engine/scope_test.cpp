// Scope tables: lookup along the chain and through the scope object, every
// assignment mode, call tables of recursive and nested functions, the root's
// function and namespace tables, temporaries, and the value list's errors and
// edits.
#include <algorithm>
#include <random>
#include <vector>

#include "engine/core/scope.h"
#include "valuetest.h"

namespace {

TJValue read(TJLocalSymbolTable& table, const char* name) {
    TJValue v;
    EXPECT_TRUE(table.GetVariable(name, v)) << name;
    return v;
}

bool has(TJLocalSymbolTable& table, const char* name) {
    TJValue v;
    return table.GetVariable(name, v);
}

// An automation stand-in: no keys, yet every name reads as its own text.
class TEchoing : public TJObject {
    RTL_DECLARE_CLASS()
    TEchoing(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {}
    bool FindScopeName(const AnsiString& name, TJValue& value) override {
        MakeString(name, value);
        return true;
    }
};

}  // namespace

const TClassInfo TEchoing::classInfo = makeClassInfo("TEchoing", &TJObject::classInfo);

TEST(Scopes, LookupWalksVariablesScopeObjectAndParents) {
    FakeRuntime engine;
    TJRootSymbolTable root;
    TJGlobalSymbolTable* global = root.AddNamespace("__MAIN__", nullptr);
    TJLocalSymbolTable block(global);
    TJObject* self = createObject<TJObject>(&engine, true, nullptr);
    self->SetValue("member", intValue(1));
    block.SetThis(self);
    root.RegisterLocalValue("rootVar", intValue(2));
    global->RegisterLocalValue("globalVar", intValue(3));
    block.RegisterLocalValue("member", intValue(4));  // own variables come first

    EXPECT_EQ(read(block, "member").IntegerValue, 4);
    EXPECT_EQ(read(block, "globalVar").IntegerValue, 3);
    EXPECT_EQ(read(block, "rootVar").IntegerValue, 2);
    EXPECT_EQ(read(block, "getKeys").ValueType, vtFunction);  // a key of the scope object
    EXPECT_FALSE(has(block, "missing"));
    EXPECT_EQ(block.GetThis(), self);
    EXPECT_EQ(block.GetGlobalTable(), global);
    EXPECT_EQ(block.GetFunctionTable(), global);
    EXPECT_EQ(root.GetGlobalTable(), &root);

    // A prototype member is not a key: the scope object does not answer it.
    engine.factory.GetPrototype("Object")->SetValue("fromPrototype", intValue(5));
    EXPECT_FALSE(has(block, "fromPrototype"));
}

TEST(Scopes, AFreedScopeObjectIsForgotten) {
    FakeRuntime engine;
    TJLocalSymbolTable table(nullptr);
    TJObject* self = createObject<TJObject>(&engine, true, nullptr);
    self->SetValue("x", intValue(1));
    table.SetThis(self);
    EXPECT_TRUE(has(table, "x"));
    self->Free();
    EXPECT_EQ(table.This(), nullptr);
    EXPECT_FALSE(has(table, "x"));
}

TEST(Scopes, TheScopeObjectAnswersForItsOwnNames) {
    FakeRuntime engine;
    TJLocalSymbolTable table(nullptr);
    table.SetThis(createObject<TEchoing>(&engine, true, nullptr));
    TJValue v;
    ASSERT_TRUE(table.GetVariable("anything", v));
    EXPECT_EQ(ValueToString(v), "anything");
}

TEST(Scopes, AssignmentModes) {
    FakeRuntime engine;
    TJRootSymbolTable root;
    TJGlobalSymbolTable* global = root.AddNamespace("ns", nullptr);
    TJFunctionSymbolTable function(global);
    TJLocalSymbolTable* call = function.PushLocalTable(nullptr, nullptr);
    TJLocalSymbolTable block(call);

    global->RegisterLocalValue("existing", intValue(0));
    block.AssignValue("existing", intValue(1), amLocal);  // an existing variable is updated where it is
    EXPECT_EQ(global->Variables().FindValue("existing")->IntegerValue, 1);
    EXPECT_FALSE(block.Variables().HasKey("existing"));

    block.AssignValue("loc", intValue(2), amLocal);
    EXPECT_TRUE(block.Variables().HasKey("loc"));
    block.AssignValue("stat", intValue(3), amFunction);
    EXPECT_TRUE(function.Variables().HasKey("stat"));
    block.AssignValue("glob", intValue(4), amGlobal);
    EXPECT_TRUE(global->Variables().HasKey("glob"));
    EXPECT_FALSE(root.Variables().HasKey("glob"));

    block.RegisterStaticValue("stat", intValue(30));  // only when absent
    EXPECT_EQ(function.Variables().FindValue("stat")->IntegerValue, 3);
    block.RegisterGlobalValue("glob", intValue(40));
    EXPECT_EQ(global->Variables().FindValue("glob")->IntegerValue, 40);

    TJObject* self = createObject<TJObject>(&engine, true, nullptr);
    self->SetValue("field", intValue(0));
    call->SetThis(self);
    block.AssignValue("field", intValue(5), amLocal);  // the scope object's key takes it
    TJValue field;
    self->GetValue("field", false, field);
    EXPECT_EQ(field.IntegerValue, 5);
    function.PopLocalTable();
}

TEST(Scopes, RecursionReadsTheNewestCall) {
    TJRootSymbolTable root;
    TJGlobalSymbolTable* global = root.AddNamespace("ns", nullptr);
    TJFunctionSymbolTable outer(global);
    TJFunctionSymbolTable inner(&outer);  // a function declared inside outer
    TJLocalSymbolTable* first = outer.PushLocalTable(nullptr, nullptr);
    first->RegisterLocalValue("n", intValue(1));
    TJLocalSymbolTable* second = outer.PushLocalTable(nullptr, nullptr);
    second->RegisterLocalValue("n", intValue(2));
    EXPECT_EQ(outer.CallTables().back(), second);

    TJLocalSymbolTable* innerCall = inner.PushLocalTable(nullptr, nullptr);
    EXPECT_EQ(read(*innerCall, "n").IntegerValue, 2);
    EXPECT_EQ(read(*second, "n").IntegerValue, 2);
    EXPECT_EQ(read(*first, "n").IntegerValue, 1);  // a call reads its own variables
    innerCall->AssignValue("n", intValue(20), amGlobal);
    EXPECT_EQ(second->Variables().FindValue("n")->IntegerValue, 20);
    EXPECT_EQ(first->Variables().FindValue("n")->IntegerValue, 1);

    outer.RegisterLocalValue("declared", intValue(7));
    EXPECT_EQ(read(*innerCall, "declared").IntegerValue, 7);
    outer.PopLocalTable();
    EXPECT_EQ(read(*innerCall, "n").IntegerValue, 1);
    inner.PopLocalTable();
    outer.PopLocalTable();
    EXPECT_TRUE(outer.CallTables().empty());
}

TEST(Scopes, CallTablesCopyCapturedVariablesAndThis) {
    FakeRuntime engine;
    TJFunctionSymbolTable function(nullptr);
    TJLocalSymbolTable captured(nullptr);
    captured.RegisterLocalValue("a", intValue(1));
    captured.RegisterLocalValue("b", intValue(2));
    TJObject* self = createObject<TJObject>(&engine, true, nullptr);
    TJLocalSymbolTable* call = function.PushLocalTable(&captured, self);
    EXPECT_EQ(call->Parent(), &function);
    EXPECT_EQ(read(*call, "b").IntegerValue, 2);
    EXPECT_EQ(call->GetThis(), self);
    call->RegisterLocalValue("a", intValue(10));
    call->CopyVariables(&captured);  // what it holds stays
    EXPECT_EQ(read(*call, "a").IntegerValue, 10);
}

TEST(Scopes, RootFunctionAndNamespaceTables) {
    TJRootSymbolTable root;
    int nodes[3];
    auto* program = reinterpret_cast<const TJStatement*>(&nodes[0]);
    auto* f = reinterpret_cast<const TJStatement*>(&nodes[1]);
    auto* g = reinterpret_cast<const TJStatement*>(&nodes[2]);
    TJGlobalSymbolTable* main = root.AddNamespace("__MAIN__", program);
    EXPECT_EQ(main->Parent(), &root);
    TJFunctionSymbolTable* ft = root.MakeFunctionTable(program, f);
    EXPECT_EQ(ft->Parent(), main);
    EXPECT_EQ(root.MakeFunctionTable(program, f), ft);  // made once per node
    TJFunctionSymbolTable* gt = root.MakeFunctionTable(f, g);
    EXPECT_EQ(gt->Parent(), ft);
    EXPECT_EQ(root.MakeFunctionTable(nullptr, reinterpret_cast<const TJStatement*>(&root))->Parent(), nullptr);
    EXPECT_EQ(root.FindNamespace("__main__"), main);
    EXPECT_SCRIPT_ERROR(root.FindNamespace("Other"), "ENameError", "namespace not found: Other");
    TJGlobalSymbolTable* again = root.AddNamespace("__MAIN__", program);  // a second run
    EXPECT_EQ(root.FindNamespace("__MAIN__"), again);
    root.Clear();
    EXPECT_SCRIPT_ERROR(root.FindNamespace("__MAIN__"), "ENameError", "namespace not found: __MAIN__");
}

TEST(Scopes, TemporariesLiveUntilCleared) {
    FakeRuntime engine;
    TJLocalSymbolTable table(nullptr);
    int before = engine.factory.ObjectCount();
    table.AddTemporary(createObject<TJObject>(&engine, true, nullptr), true);
    table.AddTemporary(createObject<TJObject>(&engine, true, nullptr), true);
    EXPECT_EQ(engine.factory.ObjectCount(), before + 2);
    table.ClearTemporaries();
    EXPECT_EQ(engine.factory.ObjectCount(), before);
}

TEST(ValueLists, IndexErrorsCarryTheIndex) {
    TJValueList list;
    list.AddInteger(1);
    TJValue v;
    EXPECT_SCRIPT_ERROR(list.GetItem(5, v), "EIndexError", "5");
    EXPECT_SCRIPT_ERROR(list.GetItem(-1, v), "EIndexError", "-1");
    EXPECT_SCRIPT_ERROR(list.SetItem(1, v), "EIndexError", "1");
    EXPECT_SCRIPT_ERROR(list.Delete(1), "EIndexError", "1");
    EXPECT_SCRIPT_ERROR(list.Insert(2, v), "EIndexError", "2");
    EXPECT_SCRIPT_ERROR(list.SetCount(-3), "EIndexError", "-3");
    EXPECT_SCRIPT_ERROR(list.SetCount(TJValueList::MaxCount + 1), "EIndexError", "16777217");
    list.Insert(1, textValue("end"));
    list.Insert(0, textValue("front"));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.At(0).StrValue, "front");
    EXPECT_EQ(list.At(2).StrValue, "end");
    list.SetCount(5);
    EXPECT_EQ(list.At(4).ValueType, vtUndefined);
    list.SetCount(1);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(ArgCount(nullptr), 0);
    EXPECT_FALSE(HasArgs(nullptr));
    EXPECT_TRUE(HasArgs(&list));
    EXPECT_FALSE(HasTwoArgs(&list));
}

// Random edits of a value list against a vector of the same numbers (-1 for
// undefined): values taken from the front (which leaves a gap there), added
// past an undefined tail that is not stored yet, inserted, written, deleted,
// moved to another list and reversed stay in order.
TEST(ValueLists, EditsKeepTheOrderOfAVector) {
    std::mt19937 random(11);
    TJValueList list, moved;
    std::vector<int> model, movedModel;
    auto number = [](const TJValue& v) { return v.ValueType == vtUndefined ? -1 : v.IntegerValue; };
    int next = 0;
    for (int step = 0; step < 20000; ++step) {
        int n = static_cast<int>(model.size());
        int at = static_cast<int>(random() % static_cast<unsigned>(n + 1));
        switch (random() % 10) {
        case 0:
            list.AddInteger(next);
            model.push_back(next++);
            break;
        case 1:
            list.Insert(at, intValue(next));
            model.insert(model.begin() + at, next++);
            break;
        case 2: case 3: {
            if (n == 0) break;
            TJValue first;
            list.Take(0, first);
            EXPECT_EQ(number(first), model.front());
            model.erase(model.begin());
            break;
        }
        case 4:
            if (at == n) break;
            list.Delete(at);
            model.erase(model.begin() + at);
            break;
        case 5:
            if (at == n) break;
            list.SetItem(at, intValue(next));
            model[static_cast<size_t>(at)] = next++;
            break;
        case 6:
            list.SetCount(at + static_cast<int>(random() % 8));
            model.resize(static_cast<size_t>(list.Count()), -1);
            break;
        case 7: {
            int count = static_cast<int>(random() % static_cast<unsigned>(n - at + 1));
            list.MoveTo(at, count, moved);
            movedModel.insert(movedModel.end(), model.begin() + at, model.begin() + at + count);
            model.erase(model.begin() + at, model.begin() + at + count);
            break;
        }
        case 8:
            if (at < n) {
                EXPECT_EQ(number(list.At(at)), model[static_cast<size_t>(at)]);
            }
            break;
        default:
            list.Reverse();
            std::reverse(model.begin(), model.end());
            break;
        }
        ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
    }
    for (int i = 0; i < list.Count(); ++i) ASSERT_EQ(number(list.At(i)), model[static_cast<size_t>(i)]);
    ASSERT_EQ(moved.Count(), static_cast<int>(movedModel.size()));
    for (int i = 0; i < moved.Count(); ++i) ASSERT_EQ(number(moved.At(i)), movedModel[static_cast<size_t>(i)]);
}

TEST(Exceptions, CarryTheirFields) {
    TJValue thrown = intValue(7);
    EJThrow withValue("EThrow", &thrown, "");
    EXPECT_EQ(withValue.ThrownValue.IntegerValue, 7);
    EJThrow plain("ETypeError", nullptr, "bad");
    EXPECT_EQ(plain.ThrownValue.ValueType, vtNull);
    EXPECT_EQ(plain.message(), "bad");
    EXPECT_STREQ(plain.className(), "EJThrow");
    EJSyntaxError syntax(12, nullptr, "unexpected");
    EXPECT_EQ(syntax.ErrorName, "ESyntaxError");
    EXPECT_EQ(syntax.Line, 12);
    EJReturn ret(textValue("out"));
    EXPECT_EQ(ret.ReturnValue.StrValue, "out");
    EXPECT_EQ(ret.message(), "return");
    EXPECT_EQ(EJAbort().message(), "script abort");
    EXPECT_EQ(EJExit(3).ExitCode, 3);
    try {
        throw EJThrow("EKeyError", nullptr, "k");
    } catch (const EJRuntimeError& e) {  // caught as the script-error root
        EXPECT_EQ(e.ErrorName, "EKeyError");
    }
}
