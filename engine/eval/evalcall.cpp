// The evaluator's calls and objects: calling a function value of every kind
// (script, native, automation, DLL), the script call with its scope,
// `arguments`, parameters and depth limit, `new` on registered classes,
// script functions and script classes with their members, and eval texts.
#include <windows.h>

#include <vector>

#include "engine/core/array.h"
#include "engine/eval/engine.h"
#include "engine/core/errors.h"
#include "engine/core/factory.h"
#include "engine/core/function.h"
#include "engine/core/hooks.h"
#include "engine/core/object.h"
#include "engine/syntax/parser.h"
#include "engine/core/scope.h"
#include "engine/syntax/tree.h"
#include "engine/core/valuelist.h"
#include "engine/core/variant.h"
#include "rtl/numtext.h"
#include "ui/application.h"

namespace {

// Counts a script call for the duration of a scope.
class CallDepth {
public:
    explicit CallDepth(int& depth) : depth_(depth) {
        if (depth_ >= TJEngine::MaxCallDepth)
            raiseScriptError("ECallError", "too deep recursion: more than " + intToText(TJEngine::MaxCallDepth) +
                                               " nested calls");
        ++depth_;
    }
    ~CallDepth() { --depth_; }
    CallDepth(const CallDepth&) = delete;
    CallDepth& operator=(const CallDepth&) = delete;

private:
    int& depth_;
};

// A call table pushed on a function table and made current; popped and the
// caller's scope restored on leaving.
class CallScope {
public:
    CallScope(TJLocalSymbolTable*& current, TJFunctionSymbolTable* function, TJLocalSymbolTable* captured,
              TJObject* self)
        : current_(current), saved_(current), function_(function) {
        current_ = function_->PushLocalTable(captured, self);
    }
    ~CallScope() {
        current_ = saved_;
        function_->PopLocalTable();
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    TJLocalSymbolTable*& current_;
    TJLocalSymbolTable* saved_;
    TJFunctionSymbolTable* function_;
};

// Registers each parameter of a call with its argument (argument(position),
// for positions below count) or undefined.
template <class Argument>
void bindParameters(TJLocalSymbolTable* table, TJStatement* parameters, int count, Argument argument) {
    int position = 0;
    for (TJStatement* parameter = parameters; parameter; parameter = parameter->Next, ++position) {
        if (!parameter->Expr) continue;
        if (position < count) table->RegisterParameter(parameter->Expr->Name, argument(position));
        else table->RegisterParameter(parameter->Expr->Name, TJValue());
    }
}

void addTemporary(TJLocalSymbolTable* table, TJValue& value, bool takeReference) {
    if (IsObjectValue(value)) table->AddTemporary(value.ObjValue, takeReference);
}

}  // namespace

// ==== Calling function values ====

void TJEngine::CallFunctionValue(const IJFunctionPtr& function, TJValueList* args, TJValue& result, TJObject* self) {
    TJNestingGuard guard;
    MakeUndefined(result);
    if (!function) raiseScriptError("ECallError", "call function error,need function or object");
    int32_t line = CurrentLine;
    TJFuncType type = function->GetFuncType();
    switch (type) {
    case ftNative:
        CallNativeMethod(function.get(), args, result);
        break;
    case ftActiveX:
        callAutomation(function.get(), args, result);
        break;
    case ftDyna:
        if (!JEngineHooks.CallDynaFunction) raiseScriptError("ECallError", "not support function type");
        JEngineHooks.CallDynaFunction(this, function.get(), args, result);
        break;
    case ftScript:
        callScriptFunction(function.get(), args, result, self);
        break;
    default:
        raiseScriptError("ECallError", "not support function type");
    }
    // A report after the call names the caller's statement, not the callee's last one.
    CurrentLine = line;
    addTemporary(CurrentTable, result, type != ftScript);
}

void TJEngine::CallFunctionWith(const IJFunctionPtr& function, const TJValue* values, int count, TJValue& result,
                                TJObject* self) {
    if (function && count <= directArgumentLimit && takesDirectArguments(function.get()))
        callScriptDirect(function.get(), values, count, result, self);
    else
        TJRuntime::CallFunctionWith(function, values, count, result, self);
}

void TJEngine::callScriptFunction(IJFunction* function, TJValueList* args, TJValue& result, TJObject* self) {
    CallDepth depth(CallDepth_);
    TJFunctionSymbolTable* table = function->GetFunctionTable();
    TJStatement* body = function->GetBody();
    if (!table || !body) raiseScriptError("ECallError", "call function error,need function or object");
    if (TJObject* bound = function->GetThis()) self = bound;

    // `this` and the arguments by the call type: call and apply take `this`
    // from the first argument, apply the arguments from an Array.
    TJCallType callType = function->GetCallType();
    int count = ArgCount(args);
    int first = 0;
    TJArrayObject* applied = nullptr;
    if (callType != ctPlain && count >= 1) {
        self = ToScriptObject(args->At(0));
        first = 1;
        if (callType == ctApply) {
            first = count;
            if (count >= 2) {
                const TJValue& list = args->At(1);
                if (!IsObjectOfClass(&list, &TJArrayObject::classInfo))
                    raiseScriptError("ETypeError", function->GetName() + ".apply arguments error");
                applied = static_cast<TJArrayObject*>(list.ObjValue);
            }
        }
    }
    const TJValueList* items = applied ? &applied->Items() : args;
    if (applied) first = 0;
    int itemCount = items ? items->Count() : 0;

    CallScope scope(CurrentTable, table, function->GetLocalTable(), self);
    TJValue value;
    // The `arguments` array exists only for bodies that can name it.
    if (namesArguments(table, body)) {
        TJArrayObject* arguments = applied;
        if (!arguments) {
            arguments = createObject<TJArrayObject>(this, true, nullptr);
            for (int i = first; i < itemCount; ++i) arguments->Add(items->At(i));
        }
        MakeObject(arguments, value);
        CurrentTable->RegisterLocalValue("arguments", value);
        MakeFunction(IJFunctionPtr(function), value);
        arguments->SetValue("callee", value);
    }
    bindParameters(CurrentTable, function->GetParameters(), itemCount - first,
                   [&](int position) -> const TJValue& { return items->At(first + position); });
    runBody(body, result);
}

bool TJEngine::takesDirectArguments(IJFunction* callee) {
    TJFunctionImpl* function = FunctionRecord(callee);
    if (function->GetFuncType() != ftScript || function->GetCallType() != ctPlain) return false;
    TJFunctionSymbolTable* table = function->GetFunctionTable();
    TJStatement* body = function->GetBody();
    return table && body && !namesArguments(table, body);
}

// callScriptFunction for a plain call with its arguments in the caller's
// frame (the function takes them directly).
void TJEngine::callScriptDirect(IJFunction* callee, const TJValue* values, int count, TJValue& result,
                                TJObject* self) {
    TJFunctionImpl* function = FunctionRecord(callee);
    TJNestingGuard guard;
    MakeUndefined(result);
    int32_t line = CurrentLine;
    {
        CallDepth depth(CallDepth_);
        if (TJObject* bound = function->GetThis()) self = bound;
        CallScope scope(CurrentTable, function->GetFunctionTable(), function->GetLocalTable(), self);
        bindParameters(CurrentTable, function->GetParameters(), count,
                       [values](int position) -> const TJValue& { return values[position]; });
        runBody(function->GetBody(), result);
    }
    CurrentLine = line;
    addTemporary(CurrentTable, result, false);
}

// Inline in both kinds of script call.
[[gnu::always_inline]] inline void TJEngine::runBody(TJStatement* body, TJValue& result) {
    switch (functionBody(body->Child2)) {
    case TJCompletion::Return:
        result = std::move(ReturnValue_);
        MakeUndefined(ReturnValue_);
        return;
    case TJCompletion::Break:  // from a switch: no loop of a caller may see it
        raiseScriptError("ESyntaxError", "break");
    case TJCompletion::Continue:
        raiseScriptError("ESyntaxError", "continue");
    case TJCompletion::Throw:  // completes only to a catch inside its own call
    case TJCompletion::Normal:
        return;
    }
}

// An automation method: arguments last first, a property put with its named
// argument, the result converted with this engine.
void TJEngine::callAutomation(IJFunction* function, TJValueList* args, TJValue& result) {
    TJActiveXMethod* method = function->GetActiveXMethod();
    uint8_t access = method->Access;
    int count = ArgCount(args);
    std::vector<VARIANT> params(static_cast<size_t>(count));
    for (VARIANT& v : params) VariantInit(&v);
    struct Clear {
        std::vector<VARIANT>& params;
        ~Clear() {
            for (VARIANT& v : params) VariantClear(&v);
        }
    } clear{params};
    for (int i = 0; i < count; ++i) ValueToVariant(args->At(i), params[static_cast<size_t>(count - 1 - i)]);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS dispParams{params.data(), access == 2 ? &named : nullptr, static_cast<UINT>(count),
                          access == 2 ? 1u : 0u};
    InvokeResult answer;
    HRESULT hr = InvokeServer(method->Dispatch.get(), method->DispId, DispatchFlagsOf(access), &dispParams, &answer);
    // An event handler that the call ran on this thread may have failed.
    Application->RaisePendingException();
    if (FAILED(hr)) raiseScriptError("EActiveXError", DispatchFlagsName(access) + " error: " + function->GetName());
    VariantToValue(answer.value(), this, result);
}

// ==== The `arguments` scan ====

namespace {

bool exprnamesArguments(const TJExpr* node);

// The statements of a function body, nested functions and classes excepted
// (they have arguments of their own). The statement lists still to scan wait
// on a stack of their own, so that a long "else if" chain costs no recursion.
bool statementsNameArguments(const TJStatement* body) {
    std::vector<const TJStatement*> pending{body};
    while (!pending.empty()) {
        const TJStatement* s = pending.back();
        pending.pop_back();
        for (; s; s = s->Next) {
            if (s->Kind == scFunction || s->Kind == scClass) continue;
            if (exprnamesArguments(s->Expr)) return true;
            pending.push_back(s->Child1);
            pending.push_back(s->Child2);
            if (s->Kind != scProgram) pending.push_back(s->Child3);
        }
    }
    return false;
}

bool exprnamesArguments(const TJExpr* node) {
    // Left chains (operators, argument lists) are walked in the loop.
    for (; node; node = node->Left) {
        if (node->Code == ecIdentifier && node->Name == "arguments") return true;
        if (node->Code == ecFunction) return false;
        if (exprnamesArguments(node->Right) || exprnamesArguments(node->Third)) return true;
    }
    return false;
}

}  // namespace

// Whether the body of a function names `arguments` outside its nested
// functions; remembered by the declaration's table.
bool TJEngine::namesArguments(TJFunctionSymbolTable* table, TJStatement* function) {
    if (!table->NamesArguments) table->NamesArguments = statementsNameArguments(function->Child2);
    return *table->NamesArguments;
}

// ==== Objects ====

TJObject* TJEngine::CreateScriptObject(const AnsiString& name, TJValueList* args) {
    TJNestingGuard guard;
    TJValue variable;
    bool found = CurrentTable->GetVariable(name, variable);
    if (found && IsScriptFunctionValue(&variable)) return newScriptFunctionObject(name, variable, args);
    if (found && IsClassValue(&variable)) return newClassObject(variable, args);
    if (found && IsFunctionValue(variable) && !Factory_->HasClass(name))
        raiseScriptError("ENameError", "create object constructor error " + name);
    return newRegisteredObject(name, args);
}

TJObject* TJEngine::newRegisteredObject(const AnsiString& name, TJValueList* args) {
    TJObject* object = CreateScriptInstance(Factory_->LookupClass(name), this, true, args);
    if (!object) raiseScriptError("ENameError", "create object error " + name);
    CurrentTable->AddTemporary(object, true);
    return object;
}

TJObject* TJEngine::newScriptFunctionObject(const AnsiString& name, const TJValue& function, TJValueList* args) {
    TJObject* object = createObject<TJObject>(this, true, nullptr);
    object->SetClassName(name);
    object->SetValue("constructor", function);
    CurrentTable->AddTemporary(object, true);
    TJValue ignored;
    CallFunctionValue(function.FuncValue, args, ignored, object);
    return object;
}

TJObject* TJEngine::newClassObject(const TJValue& klass, TJValueList* args) {
    TJStatement* declaration = klass.FuncValue->GetBody();
    if (!declaration || !declaration->Expr)
        raiseScriptError("ENameError", "create object constructor error " + klass.FuncValue->GetName());
    TJExpr* base = declaration->Expr->Left;
    TJObject* object;
    if (base) {
        object = CreateScriptObject(base->Name, args);
    } else {
        object = createObject<TJObject>(this, true, nullptr);
        CurrentTable->AddTemporary(object, true);
    }
    InstallClassMembers(object, declaration);
    const TJValue* constructor = object->Members()->FindValue(declaration->Expr->Name);
    if (constructor && IsScriptFunctionValue(constructor)) {
        TJValue function = *constructor;
        CurrentTable->AddTemporary(object, true);
        TJValue ignored;
        CallFunctionValue(function.FuncValue, args, ignored, object);
    }
    return object;
}

// Named functions become methods bound to the object; every declarator of the
// body (alone or in a var, static or global statement) a member holding its
// evaluated initializer, or null.
void TJEngine::InstallClassMembers(TJObject* object, TJStatement* classStatement) {
    object->SetClassName(classStatement->Expr->Name);
    TJValue value;
    auto member = [&](TJStatement* declarator) {
        if (!declarator->Expr) return;
        if (declarator->Expr->Left) EvaluateExpression(declarator->Expr->Left, 0, value);
        else MakeNull(value);
        object->SetValue(declarator->Expr->Name, value);
    };
    for (TJStatement* s = classStatement->Child1; s; s = s->Next) {
        switch (s->Kind) {
        case scFunction: {
            if (!s->Expr) break;
            IJFunctionPtr method = newScriptFunction(s);
            method->SetThis(object);
            MakeFunction(method, value);
            object->SetValue(s->Expr->Name, value);
            break;
        }
        case scDeclarator:
            member(s);
            break;
        case scVar: case scStatic: case scGlobal:
            for (TJStatement* d = s->Child1; d; d = d->Next) member(d);
            break;
        default:
            break;
        }
    }
}

// ==== eval ====

void TJEngine::EvaluateText(const AnsiString& text, TJObject* self, TJValue& result) {
    TJExpr* literal = Parser_->ParseFunctionText(text);
    IJFunctionPtr function = newScriptFunction(literal->Func);
    TJFunctionSymbolTable* table = function->GetFunctionTable();
    TJFunctionSymbolTable* running = CurrentTable->GetFunctionTable();
    // Inside its own call the text's table already hangs where it must.
    if (running != table) table->SetParent(running);
    CallFunctionValue(function, nullptr, result, self);
}
