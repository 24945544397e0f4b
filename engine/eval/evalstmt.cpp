// The evaluator's statements: the statement loop (current line, step hook,
// temporaries), every statement kind, loops, try, with, switch and case,
// declarations, return with its closures, and namespaces with their globals.
// break, continue, return and a throw caught in its own call travel as
// completions, not exceptions.
#include <new>
#include <vector>

#include "engine/eval/engine.h"
#include "engine/core/errors.h"
#include "engine/core/factory.h"
#include "engine/core/function.h"
#include "engine/core/hooks.h"
#include "engine/eval/objecthold.h"
#include "engine/core/object.h"
#include "engine/core/operators.h"
#include "engine/core/scope.h"
#include "engine/syntax/tree.h"
#include "engine/core/valuelist.h"

namespace {

// Restores a variable of the engine (the current scope, the catching depth)
// on leaving, whatever the way out.
template <class T>
class Restore {
public:
    explicit Restore(T& current) : current_(current), saved_(current) {}
    ~Restore() { current_ = saved_; }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;
    T saved() const { return saved_; }

private:
    T& current_;
    T saved_;
};

// Return and throw leave every loop and switch on their way to the call or
// the catch.
bool leavesLoop(TJCompletion completion) {
    return completion == TJCompletion::Return || completion == TJCompletion::Throw;
}

[[noreturn]] void raiseSyntax(const char* message) { raiseScriptError("ESyntaxError", message); }

}  // namespace

// ==== Statement loop ====

// The current line and the step hook, which may abort the script.
inline void TJEngine::enterStatement(TJStatement* s) {
    CurrentLine = s->LineNo;
    if (StepHook) step();
}

void TJEngine::step() {
    bool abort = false;
    StepHook(abort);
    if (abort) throw EJAbort();
}

// Part of the statement loop, whose nesting guard covers it.
[[gnu::always_inline]] inline TJCompletion TJEngine::evaluateStatement(TJStatement* s, int flags,
                                                                     TJSwitchState* state) {
    switch (s->Kind) {
    case scProgram:
        return runNamespace(s);
    case scBlock:
        return EvaluateStatements(s->Child1, flags, state);
    case scExpression: {
        TJValue value;
        EvaluateExpression(s->Expr, efDiscard, value);
        return TJCompletion::Normal;
    }
    case scIf:
        return ifStatement(s, flags, state);
    case scWhile:
        return whileLoop(s);
    case scDo:
        return doLoop(s);
    case scFor:
        return forLoop(s);
    case scForIn: case scForEach:
        return forInLoop(s);
    case scFunction:
        declareFunction(s);
        return TJCompletion::Normal;
    case scClass:
        declareClass(s);
        return TJCompletion::Normal;
    case scDeclarator:
        declare(s, flags);
        return TJCompletion::Normal;
    case scBreak:
        if (!(flags & sfLoop)) raiseSyntax("break");
        return TJCompletion::Break;
    case scContinue:
        if (!(flags & sfLoop)) raiseSyntax("continue");
        return TJCompletion::Continue;
    case scReturn:
        return returnStatement(s);
    case scTry:
        return tryStatement(s, flags, state);
    case scThrow:
        return throwStatement(s);
    case scWith:
        return withStatement(s, flags, state);
    case scVar:
        return EvaluateStatements(s->Child1, flags | sfVar, state);
    case scStatic:
        return EvaluateStatements(s->Child1, flags | sfStatic, state);
    case scGlobal:
        return EvaluateStatements(s->Child1, flags | sfGlobal, state);
    case scCase:
        return caseStatement(s, flags, state);
    case scSwitch:
        return switchStatement(s);
    default:  // empty, parameter, catch and finally (these two run inside try)
        return TJCompletion::Normal;
    }
}

TJCompletion TJEngine::EvaluateStatements(TJStatement* first, int flags, TJSwitchState* state) {
    TJNestingGuard guard;
    for (TJStatement* s = first; s; s = s->Next) {
        enterStatement(s);
        TJCompletion completion = evaluateStatement(s, flags, state);
        // A throw leaves the temporaries to the statement holding its catch,
        // as an exception does.
        if (completion == TJCompletion::Throw) return completion;
        CurrentTable->ClearTemporaries();
        if (completion != TJCompletion::Normal) return completion;
    }
    return TJCompletion::Normal;
}

// ==== Loops ====

// A body that is one block (of a loop, a try, a catch) runs as the statement
// loop would run it (the block entered, its statements run, the temporaries
// cleared but for a throw), without a statement loop of its own.
TJCompletion TJEngine::blockBody(TJStatement* body, int flags, TJSwitchState* state) {
    if (!body || body->Kind != scBlock || body->Next) return EvaluateStatements(body, flags, state);
    enterStatement(body);
    TJCompletion completion = EvaluateStatements(body->Child1, flags, state);
    if (completion != TJCompletion::Throw) CurrentTable->ClearTemporaries();
    return completion;
}

// A function's block and the return the parser puts after it run as the
// statement loop would run them, without that loop.
TJCompletion TJEngine::functionBody(TJStatement* block) {
    if (!block || block->Kind != scBlock) return EvaluateStatements(block, 0, nullptr);
    enterStatement(block);
    TJCompletion completion = EvaluateStatements(block->Child1, 0, nullptr);
    if (completion == TJCompletion::Throw) return completion;
    CurrentTable->ClearTemporaries();
    if (completion != TJCompletion::Normal) return completion;
    TJStatement* rest = block->Next;
    if (rest && rest->Kind == scReturn && !rest->Next) return loneReturn(rest);
    return EvaluateStatements(rest, 0, nullptr);
}

TJCompletion TJEngine::whileLoop(TJStatement* s) {
    TJValue condition;
    for (;;) {
        EvaluateExpression(s->Expr, 0, condition);
        if (!ValueToBool(condition)) return TJCompletion::Normal;
        TJCompletion completion = blockBody(s->Child1, sfLoop, nullptr);
        CurrentTable->ClearTemporaries();
        if (completion == TJCompletion::Break) return TJCompletion::Normal;
        if (leavesLoop(completion)) return completion;
    }
}

TJCompletion TJEngine::doLoop(TJStatement* s) {
    TJValue condition;
    for (;;) {
        TJCompletion completion = blockBody(s->Child1, sfLoop, nullptr);
        if (completion == TJCompletion::Break) return TJCompletion::Normal;
        if (leavesLoop(completion)) return completion;
        EvaluateExpression(s->Expr, 0, condition);
        // Tested before the temporaries go: the condition may be one of them.
        bool again = ValueToBool(condition);
        CurrentTable->ClearTemporaries();
        if (!again) return TJCompletion::Normal;
    }
}

// The update runs after each pass the body completes or continues, and once
// more when a return, a throw or an exception leaves the body; break skips it.
TJCompletion TJEngine::forLoop(TJStatement* s) {
    TJValue value;
    EvaluateExpression(s->Expr, 0, value);
    TJExpr* condition = s->Child2 ? s->Child2->Expr : nullptr;
    TJExpr* update = s->Child2 && s->Child2->Next ? s->Child2->Next->Expr : nullptr;
    for (;;) {
        if (condition) {
            EvaluateExpression(condition, 0, value);
            if (!ValueToBool(value)) return TJCompletion::Normal;
        }
        TJCompletion completion;
        try {
            completion = blockBody(s->Child1, sfLoop, nullptr);
        } catch (...) {
            EvaluateExpression(update, efDiscard, value);
            throw;
        }
        if (completion == TJCompletion::Break) return TJCompletion::Normal;
        if (leavesLoop(completion)) {
            TJValue pending = std::move(ReturnValue_);
            EvaluateExpression(update, efDiscard, value);
            ReturnValue_ = std::move(pending);
            return completion;
        }
        EvaluateExpression(update, efDiscard, value);
        CurrentTable->ClearTemporaries();
    }
}

TJCompletion TJEngine::forInLoop(TJStatement* s) {
    TJExpr* variable = s->Expr;
    if (variable && variable->Code == ecForVar && variable->Left && variable->Left->Code == ecIdentifier) {
        variable = variable->Left;
        CurrentTable->RegisterLocalValue(variable->Name, TJValue());
    } else if (!variable || variable->Code != ecIdentifier) {
        raiseScriptError("ETypeError", "need variable - for..in");
    }
    bool items = s->Kind == scForEach;
    TJValue collection;
    EvaluateExpression(s->Child2 ? s->Child2->Expr : nullptr, 0, collection);
    // A bare automation interface is walked through its automation object.
    if (collection.ValueType == vtDispatch) MakeObject(boxValue(collection), collection);
    if (!IsObjectValue(collection)) raiseScriptError("ETypeError", "need object,array or collection - for..in");
    TJObject* object = collection.ObjValue;
    TJObjectHold hold(*this, collection);

    // One pass: the variable gets the value, then the body runs; false ends the loop.
    TJCompletion result = TJCompletion::Normal;
    auto pass = [&](const TJValue& value) {
        assignIdentifier(variable, value);
        TJCompletion completion = blockBody(s->Child1, sfLoop, nullptr);
        if (completion == TJCompletion::Break) return false;
        if (leavesLoop(completion)) {
            result = completion;
            return false;
        }
        return true;
    };

    TJValue value;
    if (object->IsArrayLike()) {
        int32_t length = object->GetLength();
        for (int32_t i = 0; i < length; ++i) {
            if (items) object->GetItem(i, value);
            else MakeInteger(i, value);
            if (!pass(value)) break;
        }
        return result;
    }
    if (object->ForEachItem(pass)) return result;
    std::vector<AnsiString> names;
    object->GetPropertyList(names);
    for (const AnsiString& key : names) {
        MakeString(key, value);
        if (!pass(value)) break;
    }
    return result;
}

// ==== if ====

// An "else if" chain runs in a loop, not one level deeper per branch; each if
// of it still enters as a statement of its own.
TJCompletion TJEngine::ifStatement(TJStatement* s, int flags, TJSwitchState* state) {
    TJValue condition;
    for (;;) {
        EvaluateExpression(s->Expr, 0, condition);
        TJStatement* branch = ValueToBool(condition) ? s->Child1 : s->Child2;
        if (!branch) return TJCompletion::Normal;
        if (branch->Kind == scReturn && !branch->Next) return loneReturn(branch);
        if (branch->Kind == scExpression && !branch->Next) return loneExpression(branch);
        if (branch->Kind != scIf || branch->Next) return EvaluateStatements(branch, flags, state);
        s = branch;
        enterStatement(s);
    }
}

// A branch that is one return or expression statement runs as the statement
// loop would run it, without a loop of its own.
TJCompletion TJEngine::loneReturn(TJStatement* s) {
    enterStatement(s);
    TJCompletion completion = returnStatement(s);
    CurrentTable->ClearTemporaries();
    return completion;
}

TJCompletion TJEngine::loneExpression(TJStatement* s) {
    enterStatement(s);
    {
        TJValue value;
        EvaluateExpression(s->Expr, efDiscard, value);
    }
    CurrentTable->ClearTemporaries();
    return TJCompletion::Normal;
}

// ==== try, throw, with ====

// A script error that the body raises, or a throw it completes with, runs the
// catch; the finally runs after the body and the catch whatever their end,
// and its own jump replaces theirs.
TJCompletion TJEngine::tryStatement(TJStatement* s, int flags, TJSwitchState* state) {
    TJStatement* finally = s->Child3;
    TJCompletion completion;
    try {
        completion = tryAndCatch(s, flags, state);
    } catch (...) {
        if (!finally) throw;
        std::exception_ptr pending = std::current_exception();
        int32_t line = CurrentLine;
        TJCompletion jump = EvaluateStatements(finally->Child1, flags, state);
        if (jump != TJCompletion::Normal) return jump;
        CurrentLine = line;  // the error's report names the line that raised it
        std::rethrow_exception(pending);
    }
    if (!finally) return completion;
    TJValue pending = std::move(ReturnValue_);
    int32_t line = CurrentLine;
    TJCompletion jump = EvaluateStatements(finally->Child1, flags, state);
    if (jump != TJCompletion::Normal) return jump;
    ReturnValue_ = std::move(pending);
    if (completion == TJCompletion::Throw) CurrentLine = line;  // as for an error
    return completion;
}

// The body, with a throw statement of this call inside it completing to the
// catch there is; then the catch on what the body threw, which waits in the
// engine as a thrown value does.
TJCompletion TJEngine::tryAndCatch(TJStatement* s, int flags, TJSwitchState* state) {
    TJStatement* handler = s->Child2;
    try {
        try {
            Restore catching(CatchDepth_);
            if (handler) CatchDepth_ = CallDepth_;
            TJCompletion completion = blockBody(s->Child1, flags, state);
            if (completion != TJCompletion::Throw || !handler) return completion;
        } catch (const std::bad_alloc&) {
            raiseScriptError("EOutOfMemory", "Out of memory");  // a script error the handler sees
        }
    } catch (const EJRuntimeError& e) {
        if (!handler) throw;
        if (e.ErrorName == "EThrow") ReturnValue_ = e.ThrownValue;
        else MakeString(e.ErrorName, ReturnValue_);
    }
    TJValue caught = std::move(ReturnValue_);
    MakeUndefined(ReturnValue_);
    // The throw's own reference passes to the temporaries.
    if (IsObjectValue(caught)) CurrentTable->AddTemporary(caught.ObjValue, false);
    if (handler->Expr) CurrentTable->RegisterLocalValue(handler->Expr->Name, caught);
    return blockBody(handler->Child1, flags, state);
}

// The value thrown: an object gains a reference, which the catch hands to its
// temporaries; undefined becomes the empty text. Inside a try body of this
// same call that has a catch, the throw completes to it with the value
// waiting in the engine; anywhere else it raises EThrow.
TJCompletion TJEngine::throwStatement(TJStatement* s) {
    TJValue value;
    EvaluateExpression(s->Expr, 0, value);
    if (IsObjectValue(value)) value.ObjValue->IncRef();
    else if (IsUndefinedValue(value)) MakeString(AnsiString(), value);
    if (CatchDepth_ != CallDepth_) throw EJThrow("EThrow", &value, AnsiString());
    ReturnValue_ = std::move(value);
    return TJCompletion::Throw;
}

TJCompletion TJEngine::withStatement(TJStatement* s, int flags, TJSwitchState* state) {
    TJValue object;
    EvaluateExpression(s->Expr, 0, object);
    if (!IsObjectValue(object)) raiseScriptError("ETypeError", "need object - with");
    TJObjectHold hold(*this, object);
    Restore restore(CurrentTable);
    TJLocalSymbolTable* outer = restore.saved();
    CurrentTable = outer->PushLocalTable(nullptr, object.ObjValue);
    struct Pop {
        TJLocalSymbolTable* table;
        ~Pop() { table->PopLocalTable(); }
    } pop{outer};
    return EvaluateStatements(s->Child1, flags, state);
}

// ==== switch and case ====

TJCompletion TJEngine::switchStatement(TJStatement* s) {
    TJSwitchState state;
    EvaluateExpression(s->Expr, 0, state.Value);
    TJObjectHold hold(*this, state.Value);
    TJCompletion completion = EvaluateStatements(s->Child1, sfLoop, &state);
    if (completion == TJCompletion::Normal && !state.Matched && state.Default) {
        state.Matched = true;
        completion = EvaluateStatements(state.Default, sfLoop, &state);
    }
    return completion == TJCompletion::Break ? TJCompletion::Normal : completion;
}

TJCompletion TJEngine::caseStatement(TJStatement* s, int flags, TJSwitchState* state) {
    if (!state) raiseSyntax("switch case: or default:");
    if (state->Matched) return EvaluateStatements(s->Child1, flags, state);
    if (!s->Expr) {
        state->Default = s;
        return TJCompletion::Normal;
    }
    // A constant (the usual case) is compared where it is stored.
    TJValue value;
    const TJValue* caseValue = s->Expr->Code == ecConstant ? s->Expr->Value.get() : &value;
    if (caseValue == &value) EvaluateExpression(s->Expr, 0, value);
    if (!caseMatches(*caseValue, state->Value)) return TJCompletion::Normal;
    state->Matched = true;
    return EvaluateStatements(s->Child1, flags, state);
}

// A RegExp object or literal case tests the switch value; any other value is
// compared with ==.
bool TJEngine::caseMatches(const TJValue& caseValue, const TJValue& switchValue) {
    if (caseValue.ValueType != vtObject && caseValue.ValueType != vtRegExp) return LooseEquals(caseValue, switchValue);
    TJObject* regexp = nullptr;
    if (IsRegExpObjectValue(&caseValue)) {
        regexp = caseValue.ObjValue;
    } else if (IsRegExpValue(&caseValue) && JEngineHooks.LoadRegExpLiteral) {
        regexp = RegExpStatics();
        JEngineHooks.LoadRegExpLiteral(regexp, caseValue);
    }
    if (!regexp) return LooseEquals(caseValue, switchValue);
    TJValue test, result;
    regexp->GetValue("test", false, test);
    if (!IsFunctionValue(test)) return false;
    TJValueList args;
    args.Add(switchValue);
    CallFunctionValue(test.FuncValue, &args, result, regexp);
    return ValueToBool(result);
}

// ==== Declarations ====

void TJEngine::declare(TJStatement* declarator, int flags) {
    TJExpr* name = declarator->Expr;
    if (!name) return;
    TJValue value;
    if (name->Left) EvaluateExpression(name->Left, 0, value);
    else MakeInteger(0, value);
    if (flags & sfVar) CurrentTable->RegisterLocalValue(name->Name, value);
    else if (flags & sfStatic) CurrentTable->RegisterStaticValue(name->Name, value);
    else CurrentTable->RegisterGlobalValue(name->Name, value);
}

void TJEngine::declareFunction(TJStatement* s) {
    if (!s->Expr) return;
    TJValue value;
    MakeFunction(newScriptFunction(s), value);
    CurrentTable->RegisterLocalValue(s->Expr->Name, value);
}

void TJEngine::declareClass(TJStatement* s) {
    if (!s->Expr) return;
    IJFunctionPtr klass = NewFunction();
    klass->SetFuncType(ftClass);
    klass->SetBody(s);
    klass->SetName(s->Expr->Name);
    klass->SetFunctionTable(RootTable->MakeFunctionTable(s->Child3, s));
    TJValue value;
    MakeFunction(klass, value);
    CurrentTable->RegisterLocalValue(s->Expr->Name, value);
}

// ==== return ====

// An object returned gains a reference, which the receiving call hands to its
// temporaries. A function returned becomes a closure holding copies of the
// variables of the returning scope.
TJCompletion TJEngine::returnStatement(TJStatement* s) {
    TJValue value;
    EvaluateExpression(s->Expr, 0, value);
    if (IsObjectValue(value)) {
        value.ObjValue->IncRef();
    } else if (IsFunctionValue(value)) {
        IJFunctionPtr closure = NewFunction();
        closure->CopyFrom(value.FuncValue.get());
        if (!closure->GetLocalTable()) closure->SetLocalTable(new TJLocalSymbolTable(nullptr));
        closure->GetLocalTable()->CopyVariables(CurrentTable);
        MakeFunction(closure, value);
    }
    ReturnValue_ = std::move(value);
    return TJCompletion::Return;
}

// ==== Namespaces ====

TJCompletion TJEngine::runNamespace(TJStatement* s) {
    AnsiString name = s->Expr ? s->Expr->Name : AnsiString("__MAIN__");
    TJGlobalSymbolTable* table = RootTable->AddNamespace(name, s);
    IJFunctionPtr space = NewFunction();
    space->SetFuncType(ftNamespace);
    space->SetBody(s->Child1);
    space->SetName(name);
    space->SetFunctionTable(table);
    table->SetThis(GlobalObject());
    SetupNamespaceGlobals(table);
    TJValue value;
    MakeFunction(space, value);
    RootTable->RegisterLocalValue(name, value);
    Restore restore(CurrentTable);
    CurrentTable = table;
    return EvaluateStatements(s->Child1, 0, nullptr);
}

void TJEngine::SetupNamespaceGlobals(TJLocalSymbolTable* table) {
    std::vector<AnsiString> names = Factory_->GetClassNames();
    TJValue value;
    for (const AnsiString& name : names) {
        const TClassInfo* cls = Factory_->LookupClass(name);
        if (!cls || !cls->HasGlobalInstance()) continue;
        try {
            TJObject* instance = CreateScriptInstance(cls, this, true, nullptr);
            if (!instance) continue;
            MakeObject(instance, value);
            table->RegisterLocalValue(name, value);
        } catch (const EJThrow&) {
            // A class whose constructor needs arguments has no global instance.
        }
    }
    MakeObject(GlobalObject(), value);
    table->RegisterLocalValue("Global", value);
    MakeObject(RegExpStatics(), value);
    table->RegisterLocalValue("RegExp", value);
    MakeObject(WScriptObject(), value);
    table->RegisterLocalValue("WScript", value);
}
