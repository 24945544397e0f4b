// The engine's built-in classes and singletons: the classes every engine
// registers at construction (in this order: Object, Global, Array, String,
// Number, Boolean, RegExp, Math, Date), the Global, RegExp statics and WScript
// objects, and the wiring of each new registered object. A built-in module
// plugs in with one line in registerBuiltinClasses calling its registration
// function, which registers its class(es) and fills its JEngineHooks entries.
#include "engine/core/array.h"
#include "engine/lib/dateobject.h"
#include "engine/lib/dynaconvert.h"
#include "engine/eval/engine.h"
#include "engine/core/factory.h"
#include "engine/lib/global.h"
#include "engine/core/hooks.h"
#include "engine/lib/mathobject.h"
#include "engine/lib/number.h"
#include "engine/core/object.h"
#include "engine/lib/regexpobject.h"
#include "engine/lib/stringobject.h"
#include "engine/lib/wscript.h"

namespace {

// An unregistered instance of a built-in class, holding one reference.
TJObject* newSingleton(TJRuntime* runtime, const AnsiString& className) {
    TJObject* object = CreateScriptInstance(runtime->GetFactory()->LookupClass(className), runtime, false, nullptr);
    if (!object) throw Exception("the built-in class " + className + " is not registered");
    object->IncRef();
    return object;
}

}  // namespace

void TJEngine::registerBuiltinClasses() {
    RegisterScriptClass("Object", &TJObject::classInfo);
    RegisterGlobalClass(this);
    RegisterScriptClass("Array", &TJArrayObject::classInfo);
    RegisterStringClass(this);
    RegisterNumberClasses(this);
    RegisterRegExpClass(this);
    RegisterMathObject(this);
    RegisterDateObject(this);
    RegisterNativeCalls();
}

void TJEngine::createSingletons() {
    Global_ = newSingleton(this, "Global");
    RegExpStatics_ = newSingleton(this, "RegExp");
    auto* wscript = createObject<TJWScriptObject>(this, false, nullptr);
    wscript->IncRef();
    wscript->SetStdOutWriter(TJStreamWriter(
        [](void* runtime, TJObject*, const AnsiString& text) { static_cast<TJRuntime*>(runtime)->WriteStdout(text); },
        this));
    wscript->SetStdErrWriter(TJStreamWriter(
        [](void* runtime, TJObject*, const AnsiString& text) { static_cast<TJRuntime*>(runtime)->WriteStderr(text); },
        this));
    wscript->SetStdInReader(TJStreamReader(
        [](void* runtime, TJObject*, AnsiString& text, bool line, int32_t count, bool& success) {
            success = static_cast<TJRuntime*>(runtime)->ReadStdin(text, count, line);
        },
        this));
    WScript_ = wscript;
}

void TJEngine::ResetBuiltins() {
    Global_->Clear();
    RegExpStatics_->Clear();
    WScript_->Clear();
}

void TJEngine::HandleNewObject(TJObjectFactory*, TJObject* object) { NewObjectHook(object); }
