// The built-in library of a runtime: each built-in module plugs in with one
// line in registerClasses calling its registration function, which registers
// its class(es) and fills its hook entries; the singletons are made here and
// start each run.
#include "engine/lib/builtins.h"

#include "engine/core/array.h"
#include "engine/core/factory.h"
#include "engine/core/object.h"
#include "engine/core/valuelist.h"
#include "engine/lib/dateobject.h"
#include "engine/lib/dynaconvert.h"
#include "engine/lib/global.h"
#include "engine/lib/mathobject.h"
#include "engine/lib/number.h"
#include "engine/lib/regexpobject.h"
#include "engine/lib/stringobject.h"
#include "engine/lib/wscript.h"

namespace {

void registerClasses(TJRuntime& runtime) {
    runtime.RegisterScriptClass("Object", &TJObject::classInfo);
    RegisterGlobalClass(&runtime);
    runtime.RegisterScriptClass("Array", &TJArrayObject::classInfo);
    RegisterStringClass(&runtime);
    RegisterNumberClasses(&runtime);
    RegisterRegExpClass(&runtime);
    RegisterMathObject(&runtime);
    RegisterDateObject(&runtime);
    RegisterNativeCalls();
}

// An unregistered instance of a registered built-in class, holding one reference.
template <class T>
T* newSingleton(TJRuntime& runtime, const AnsiString& className) {
    const TClassInfo* cls = runtime.GetFactory()->LookupClass(className);
    if (!cls || !cls->InheritsFrom(&T::classInfo))
        throw Exception("the built-in class " + className + " is not registered");
    TJObject* object = CreateScriptInstance(cls, &runtime, false, nullptr);
    object->IncRef();
    return static_cast<T*>(object);
}

class TBuiltinLibrary : public TJBuiltins {
public:
    explicit TBuiltinLibrary(TJRuntime& runtime);
    ~TBuiltinLibrary() override;
    TBuiltinLibrary(const TBuiltinLibrary&) = delete;
    TBuiltinLibrary& operator=(const TBuiltinLibrary&) = delete;

    TJObject* GlobalObject() const override { return Global_; }
    TJObject* RegExpStatics() const override { return RegExpStatics_; }
    TJObject* WScriptObject() const override { return WScript_; }
    void BeginRun(TJValueList* args) override;
    bool EventLoopWanted() override;
    void TerminateEventLoop() override { Global_->Terminate(); }
    void Reset() override;

private:
    TJRuntime& Runtime_;
    TJGlobalObject* Global_ = nullptr;
    TJRegExpObject* RegExpStatics_ = nullptr;
    TJWScriptObject* WScript_ = nullptr;
};

TBuiltinLibrary::TBuiltinLibrary(TJRuntime& runtime) : Runtime_(runtime) {
    registerClasses(runtime);
    Global_ = newSingleton<TJGlobalObject>(runtime, "Global");
    RegExpStatics_ = newSingleton<TJRegExpObject>(runtime, "RegExp");
    WScript_ = createObject<TJWScriptObject>(&runtime, false, nullptr);
    WScript_->IncRef();
    WScript_->SetStdOutWriter(TJStreamWriter(
        [](void* runtime, TJObject*, const AnsiString& text) { static_cast<TJRuntime*>(runtime)->WriteStdout(text); },
        &runtime));
    WScript_->SetStdErrWriter(TJStreamWriter(
        [](void* runtime, TJObject*, const AnsiString& text) { static_cast<TJRuntime*>(runtime)->WriteStderr(text); },
        &runtime));
    WScript_->SetStdInReader(TJStreamReader(
        [](void* runtime, TJObject*, AnsiString& text, bool line, int32_t count, bool& success) {
            success = static_cast<TJRuntime*>(runtime)->ReadStdin(text, count, line);
        },
        &runtime));
}

TBuiltinLibrary::~TBuiltinLibrary() {
    WScript_->DecRef();
    RegExpStatics_->DecRef();
    Global_->DecRef();
}

void TBuiltinLibrary::BeginRun(TJValueList* args) {
    TJValue value;
    TJArrayObject* arguments = nullptr;
    if (Global_->GetValueImpl("arguments", value, nullptr) && IsObjectOfClass(&value, &TJArrayObject::classInfo)) {
        arguments = static_cast<TJArrayObject*>(value.ObjValue);
        arguments->Items().CopyFrom(args);
    }
    if (Global_->GetValueImpl("terminate", value, nullptr) && IsFunctionValue(value)) {
        TJValue ignored;
        Runtime_.CallFunctionValue(value.FuncValue, nullptr, ignored, Global_);
    }
    WScript_->FillArguments(arguments);
}

bool TBuiltinLibrary::EventLoopWanted() {
    TJValue terminated;
    return Global_->GetValueImpl("terminated", terminated, nullptr) && !ValueToBool(terminated);
}

void TBuiltinLibrary::Reset() {
    Global_->Clear();
    RegExpStatics_->Clear();
    WScript_->Clear();
}

}  // namespace

std::unique_ptr<TJBuiltins> RegisterBuiltins(TJRuntime& runtime) { return std::make_unique<TBuiltinLibrary>(runtime); }
