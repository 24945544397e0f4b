// TJRuntime: what script objects need from the interpreter that runs them -
// the class registry and `new` by name, calls of function values, the running
// state, the variables in scope, evaluating a text, one step of the event
// loop, the standard streams and the RegExp statics. TJEngine implements it
// (engine/eval/engine.h); every object reaches it through TJObject::Runtime(),
// and object unit tests implement it alone. TJBuiltins is the other direction:
// what a runtime needs from its built-in library (engine/lib/builtins.cpp).
#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/value.h"
#include "engine/core/valuelist.h"

class TJObjectFactory;
class TJValueList;

class TJRuntime {
public:
    // A new object for `new name(args)`: a script class or function visible
    // from the current scope, else a registered class. Held by the current
    // scope's temporaries.
    virtual TJObject* CreateScriptObject(const AnsiString& name, TJValueList* args) = 0;
    virtual void RegisterScriptClass(const AnsiString& name, const TClassInfo* cls) = 0;
    virtual AnsiString GetScriptFileName() = 0;
    // The name as given, else in the first library folder that holds it.
    virtual bool FindLibraryFile(const AnsiString& name, AnsiString& path) = 0;
    // The class registry, prototypes and object list.
    virtual TJObjectFactory* GetFactory() = 0;
    // The program is active (events may call scripts).
    virtual bool IsRunning() = 0;
    // The host entry: a function value is called, a text evaluated; once the
    // program has finished, errors are reported instead of raised.
    virtual void CallFunction(const TJValue& function, TJValueList* args, TJValue& result, TJObject* self) = 0;
    // Calls a function of any kind; errors pass to the caller.
    virtual void CallFunctionValue(const IJFunctionPtr& function, TJValueList* args, TJValue& result,
                                   TJObject* self) = 0;
    // The same with the arguments as values (a comparator's two, say), which
    // a runtime may hand to a script function without making a list.
    virtual void CallFunctionWith(const IJFunctionPtr& function, const TJValue* values, int count, TJValue& result,
                                  TJObject* self) {
        TJValueList args;
        for (int i = 0; i < count; ++i) args.Add(values[i]);
        CallFunctionValue(function, &args, result, self);
    }
    // A variable visible from the current scope.
    virtual bool FindGlobalValue(const AnsiString& name, TJValue& value) = 0;
    // The value of the text read as one expression, seeing the variables of
    // the running call.
    virtual void EvaluateText(const AnsiString& text, TJObject* self, TJValue& result) = 0;
    // One step of the script event loop; false when the loop must end.
    virtual bool DoEventsStep() = 0;
    // Ends the script's event loop, as the Global `terminate()` does.
    virtual void TerminateEventLoop() {}
    // The object that holds the last match of every RegExp object; nil when none.
    virtual TJObject* RegExpStatics() = 0;

    // ---- Standard streams ----
    // Without a host to take them, output is dropped and reading fails.
    virtual void WriteStdout(const AnsiString& text) = 0;
    virtual void WriteStderr(const AnsiString& text) = 0;
    virtual bool ReadStdin(AnsiString& text, int32_t count, bool line) = 0;

protected:
    ~TJRuntime() = default;
};

// The built-in library of one runtime: its classes registered with the
// runtime and its singletons, which it owns. A runtime keeps it for its life.
class TJBuiltins {
public:
    virtual ~TJBuiltins() = default;

    // The `this` of every namespace.
    virtual TJObject* GlobalObject() const = 0;
    virtual TJObject* RegExpStatics() const = 0;
    virtual TJObject* WScriptObject() const = 0;
    // A run begins: the arguments go to the Global `arguments`, a `terminate`
    // function stored in the Global object is called, and WScript.Arguments
    // copies the Global `arguments` (the program's command line when empty).
    virtual void BeginRun(TJValueList* args) = 0;
    // The program has finished and asked for the event loop to go on.
    virtual bool EventLoopWanted() = 0;
    // Ends the event loop (the Global object's `terminated`).
    virtual void TerminateEventLoop() = 0;
    // Removes what the last run stored in the singletons.
    virtual void Reset() = 0;
};

// Registers the built-in classes with a new runtime and makes its singletons
// (RegisterBuiltins, engine/lib/builtins.h).
using TJBuiltinsRegistrar = std::unique_ptr<TJBuiltins> (*)(TJRuntime& runtime);
