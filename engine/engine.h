// TJEngine: what the value and object model needs from the evaluator of a
// script program - its object factory, its running state, calling function
// values and reading a global name. The evaluator implements these calls.
#pragma once

#include "engine/value.h"

class TJObjectFactory;
class TJValueList;

class TJEngine {
public:
    virtual ~TJEngine() = default;

    // The engine's class registry, prototypes and object list.
    virtual TJObjectFactory* GetFactory() = 0;
    // The program is active (events may call scripts).
    virtual bool IsRunning() = 0;
    // The host entry: a function value is called, a text evaluated; errors
    // after the program has finished are reported instead of raised.
    virtual void CallFunction(const TJValue& function, TJValueList* args, TJValue& result, TJObject* self) = 0;
    // Calls a function of any kind; errors pass to the caller.
    virtual void CallFunctionValue(const IJFunctionPtr& function, TJValueList* args, TJValue& result,
                                   TJObject* self) = 0;
    // A variable visible from the current scope.
    virtual bool FindGlobalValue(const AnsiString& name, TJValue& value) = 0;
    // The value of the text read as one expression, run with `self` as its
    // `this` (nil: none) and seeing the variables of the running call.
    virtual void EvaluateText(const AnsiString& text, TJObject* self, TJValue& result) = 0;
    // One step of the script event loop (messages processed once); false
    // when the loop must end.
    virtual bool DoEventsStep() = 0;
};
