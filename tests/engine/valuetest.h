// Test helpers for the value and object model: values made in one call, a
// stand-in runtime whose "script" functions are C++ callbacks, and a check that
// an action raises a script error with a given name and message.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "engine/core/errors.h"
#include "engine/core/factory.h"
#include "engine/core/function.h"
#include "engine/core/jhash.h"
#include "engine/core/object.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"

inline TJValue intValue(int32_t i) { TJValue v; MakeInteger(i, v); return v; }
inline TJValue doubleValue(double d) { TJValue v; MakeDouble(d, v); return v; }
inline TJValue textValue(const char* s) { TJValue v; MakeString(s, v); return v; }
inline TJValue boolValue(bool b) { TJValue v; MakeBool(b, v); return v; }
inline TJValue nullValue() { TJValue v; MakeNull(v); return v; }
inline TJValue undefinedValue() { return TJValue(); }
inline TJValue nanValue() { TJValue v; MakeNaN(v); return v; }
inline TJValue infinityValue(bool negative) { TJValue v; MakeInfinity(negative, v); return v; }
inline TJValue objectValue(TJObject* o) { TJValue v; MakeObject(o, v); return v; }

// An automation object that only counts its references (and answers every
// interface query with itself).
class CountingDispatch : public IDispatch {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
};

// Runs the action and expects an EJThrow with that error name and message.
#define EXPECT_SCRIPT_ERROR(action, name, text)                                   \
    do {                                                                         \
        try {                                                                    \
            action;                                                              \
            ADD_FAILURE() << "no error raised by " #action;                      \
        } catch (const EJThrow& e) {                                             \
            EXPECT_EQ(e.ErrorName, name);                                        \
            EXPECT_EQ(e.message(), text);                                        \
        }                                                                        \
    } while (0)

// A runtime without an evaluator: script functions are C++ callbacks, `new`
// makes registered classes, and the streams, texts and event loop do nothing.
class FakeRuntime : public TJRuntime {
public:
    using ScriptBody = std::function<void(TJValueList* args, TJValue& result, TJObject* self)>;

    FakeRuntime() : factory(this), globals(31) {}
    ~FakeRuntime() { factory.Clear(); }

    TJObject* CreateScriptObject(const AnsiString& name, TJValueList* args) override {
        return CreateScriptInstance(factory.LookupClass(name), this, true, args);
    }
    void RegisterScriptClass(const AnsiString& name, const TClassInfo* cls) override { factory.AddClass(name, cls); }
    AnsiString GetScriptFileName() override { return {}; }
    bool FindLibraryFile(const AnsiString&, AnsiString&) override { return false; }
    TJObjectFactory* GetFactory() override { return &factory; }
    bool IsRunning() override { return running; }
    void CallFunction(const TJValue& function, TJValueList* args, TJValue& result, TJObject* self) override {
        ++calls;
        MakeUndefined(result);
        if (function.ValueType == vtFunction) CallFunctionValue(function.FuncValue, args, result, self);
    }
    void CallFunctionValue(const IJFunctionPtr& function, TJValueList* args, TJValue& result,
                           TJObject* self) override {
        MakeUndefined(result);
        if (function->GetFuncType() == ftNative) {
            CallNativeMethod(function.get(), args, result);
            return;
        }
        auto it = scripts.find(function.get());
        if (it != scripts.end()) it->second.second(args, result, self);
    }
    bool FindGlobalValue(const AnsiString& name, TJValue& value) override { return globals.GetValue(name, value); }
    void EvaluateText(const AnsiString&, TJObject*, TJValue& result) override { MakeUndefined(result); }
    bool DoEventsStep() override { return false; }
    TJObject* RegExpStatics() override { return nullptr; }
    void WriteStdout(const AnsiString&) override {}
    void WriteStderr(const AnsiString&) override {}
    bool ReadStdin(AnsiString&, int32_t, bool) override { return false; }

    // A function value of the script kind whose body is the callback.
    TJValue scriptFunction(ScriptBody body) {
        IJFunctionPtr function = NewFunction();
        function->SetFuncType(ftScript);
        scripts[function.get()] = {function, std::move(body)};
        TJValue v;
        MakeFunction(function, v);
        return v;
    }

    TJObjectFactory factory;
    TJHash globals;
    bool running = true;
    int calls = 0;
    std::map<IJFunction*, std::pair<IJFunctionPtr, ScriptBody>> scripts;
};
