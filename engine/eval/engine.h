// TJEngine: the interpreter of one script program. It owns the parser, the
// object factory, the scope tree and the three built-in singletons (Global,
// the RegExp statics and WScript), walks the syntax tree (expressions in
// evalexpr.cpp, statements in evalstmt.cpp, calls, `new` and classes in
// evalcall.cpp), runs programs and reports their errors (engine.cpp). Hosts
// use it through the component TROrovod (engine/orovod.h); script objects
// reach it through TJObject::Engine().
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <unordered_map>

#include "engine/core/value.h"
#include "rtl/reflection.h"

class TJObjectFactory;
class TJValueList;
class TJParser;
class TJLocalSymbolTable;
class TJRootSymbolTable;
class TROrovod;
class TJObjectHold;
struct TJExpr;
struct TJStatement;

// ==== Hooks ====

// The host hooks: the component installs one for each event its host assigned
// (the component is the method's data); an unset hook makes no call.
using TJObjectHook = TEvent<void(TJObject* object)>;
using TJTextHook = TEvent<void(const AnsiString& text)>;
using TJNotifyHook = TEvent<void()>;
using TJAbortHook = TEvent<void(bool& abort)>;
// Standard input: count characters wanted (-1: all there is), or a whole line.
using TJReadHook = TEvent<void(AnsiString& text, bool& success, int32_t count, bool line)>;
using TJErrorHook = TEvent<void(int32_t line, const AnsiString& message)>;

// Operations of modules built on top of the evaluator. Each module fills its
// entries in its registration function (called from engine/builtins.cpp or by
// the component); an unset entry leaves the feature out.
struct TJEngineHooks {
    // A new registered RegExp object: its before-match, after-match and input
    // hooks are pointed at the engine's RegExp statics object.
    void (*WireRegExpObject)(TJEngine* engine, TJObject* regexp) = nullptr;
    // Loads a regular-expression literal into a RegExp object (the `switch`
    // statement's literal cases load the engine's statics object).
    void (*LoadRegExpLiteral)(TJObject* regexp, const TJValue& literal) = nullptr;
    // Any new registered object: a network object points its status lines at
    // the engine's standard output (text + CR LF); other objects are left alone.
    void (*WireStatusLines)(TJEngine* engine, TJObject* object) = nullptr;
    // Calls a DLL function (FuncType 5) with the arguments.
    void (*CallDynaFunction)(TJEngine* engine, IJFunction* function, TJValueList* args, TJValue& result) = nullptr;
    // Runs the body for each item of a COM collection (an automation object
    // that enumerates) until it answers false; false when the object is none.
    bool (*ForEachCollectionItem)(TJEngine* engine, TJObject* collection,
                                  const std::function<bool(const TJValue& item)>& body) = nullptr;
};

extern TJEngineHooks JEngineHooks;

// ==== Engine ====

// How a statement ended: normally, or by break, continue or return (the
// returned value waits in the engine). Errors, exit and abort are exceptions.
enum class TJCompletion : uint8_t { Normal, Break, Continue, Return };

// The state of a running switch statement.
struct TJSwitchState {
    TJValue Value;
    TJStatement* Default = nullptr;
    bool Matched = false;
};

// The flags of EvaluateStatements.
enum : int {
    sfVar = 1,     // inside var
    sfLoop = 2,    // inside a loop or switch body: break and continue allowed
    sfStatic = 4,  // inside static
    sfGlobal = 8,  // inside global
};

// The flags of EvaluateExpression.
enum : int {
    efDelete = 1,   // the delete form of a member read
    efDeclare = 2,  // the assignment declares its variable in the current scope
};

class TJEngine {
public:
    explicit TJEngine(TROrovod* owner = nullptr);
    virtual ~TJEngine();
    TJEngine(const TJEngine&) = delete;
    TJEngine& operator=(const TJEngine&) = delete;

    // ---- Virtual operations ----
    // A new object for `new name(args)`: a script class or function visible
    // from the current scope, else a registered class. Held by the current
    // scope's temporaries.
    virtual TJObject* CreateScriptObject(const AnsiString& name, TJValueList* args);
    virtual void RegisterScriptClass(const AnsiString& name, const TClassInfo* cls);
    virtual AnsiString GetScriptFileName();
    // The name as given, else in the first library folder that holds it.
    virtual bool FindLibraryFile(const AnsiString& name, AnsiString& path);
    // The class registry, prototypes and object list.
    virtual TJObjectFactory* GetFactory();
    // The program is active (events may call scripts).
    virtual bool IsRunning();
    // The host entry: a function value is called, a text evaluated; once the
    // program has finished, errors are reported instead of raised.
    virtual void CallFunction(const TJValue& function, TJValueList* args, TJValue& result, TJObject* self);
    // Calls a function of any kind; errors pass to the caller.
    virtual void CallFunctionValue(const IJFunctionPtr& function, TJValueList* args, TJValue& result,
                                   TJObject* self);
    // A variable visible from the current scope.
    virtual bool FindGlobalValue(const AnsiString& name, TJValue& value);

    // ---- Compiling and running ----
    // Parses the text into the program; false (reported) on a syntax error.
    bool Compile(const AnsiString& text);
    // Loads a fresh compiled tree of the file or compiles the file (saving its
    // tree when useCompiledTrees); records the file name in every case.
    bool CompileFile(const AnsiString& fileName, bool useCompiledTrees);
    // Runs the program (nil: the last compiled one), then the event loop when
    // the script asked for it; the exit code. Every error is reported.
    int32_t RunScript(TJStatement* program, TJValueList* args);
    // The value of the text read as one expression, seeing the variables of
    // the running call.
    void EvaluateText(const AnsiString& text, TJObject* self, TJValue& result);
    // Writes the report to standard error, then tells the host's error hook.
    void ReportScriptError(const AnsiString& text);
    // One step of the script event loop; false when the loop must end.
    bool DoEventsStep();
    // Frees every object and variable of the last run; nothing while a
    // script runs.
    void ClearEngineState();
    void ResetBuiltins();

    // ---- Standard streams ----
    // Relayed to the host's hooks; without a hook output is dropped and
    // reading fails.
    void WriteStdout(const AnsiString& text);
    void WriteStderr(const AnsiString& text);
    bool ReadStdin(AnsiString& text, int32_t count, bool line);

    // ---- Evaluator ----
    TJCompletion EvaluateStatements(TJStatement* first, int flags, TJSwitchState* state);
    void EvaluateExpression(TJExpr* node, int flags, TJValue& value);
    void GetMemberValue(const TJValue& value, const AnsiString& name, TJValue& result, bool deleteForm);
    void SetMemberValue(const TJValue& target, const AnsiString& name, const TJValue& value);
    // The object standing for the value as `this` (primitives boxed); nil when none.
    TJObject* ToScriptObject(const TJValue& value);
    // The evaluated arguments in source order (evaluated last first); nil for an empty chain.
    std::unique_ptr<TJValueList> BuildArgumentList(TJExpr* chain);
    void CallOrIndex(const TJValue& callee, TJExpr* chain, TJValue& result);
    void IndexAssign(const TJValue& target, TJExpr* chain, const TJValue& value);
    void MethodCallOrIndex(TJExpr* node, TJValue& result);
    void MethodAssign(TJExpr* node, const TJValue& value);
    // Makes the members of a script class on the object.
    void InstallClassMembers(TJObject* object, TJStatement* classStatement);

    // ---- State ----
    TROrovod* Owner() const { return Owner_; }
    TJParser& Parser() { return *Parser_; }
    TJObject* GlobalObject() const { return Global_; }
    TJObject* RegExpStatics() const { return RegExpStatics_; }
    TJObject* WScriptObject() const { return WScript_; }
    // Script calls nested deeper than this raise "ECallError".
    static constexpr int MaxCallDepth = 3000;

    TJRootSymbolTable* RootTable;
    TJLocalSymbolTable* CurrentTable;
    bool Ran = false;       // the main program has finished
    bool Busy = false;      // RunScript is in progress
    int32_t CurrentLine = -1;
    bool Running = false;   // the program is active
    AnsiString ScriptFileName;

    TJObjectHook NewObjectHook;
    TJTextHook StdoutHook;
    TJTextHook StderrHook;
    TJNotifyHook RunHook;
    TJNotifyHook DoneHook;
    TJAbortHook StepHook;
    TJReadHook StdinHook;
    TJErrorHook ErrorHook;
    TJAbortHook DoEventsHook;

private:
    // ==== Construction (builtins.cpp) ====
    void registerBuiltinClasses();
    void createSingletons();
    void HandleNewObject(TJObjectFactory* factory, TJObject* object);

    // ==== Running and reports (engine.cpp) ====
    // Reports any exception in its form (control flow that ended a run
    // needs none) and ends the program's active state.
    void reportException(std::exception_ptr exception);
    bool runProgram(TJStatement* program, int32_t& result);
    void runEventLoop();
    void beginRun(TJValueList* args);
    void clearState();

    // ==== Expressions (evalexpr.cpp) ====
    void evaluateBinaryChain(TJExpr* node, TJValue& value);
    void evaluateLogicalChain(TJExpr* node, TJValue& value);
    void assign(TJExpr* target, const TJValue& value, int flags);
    void assignMember(TJExpr* target, const TJValue& value);
    void compoundAssign(TJExpr* node, TJValue& value);
    void stepAssign(TJExpr* node, TJValue& value);
    void objectLiteral(TJExpr* node, TJValue& value);
    void arrayLiteral(TJExpr* node, TJValue& value);
    void functionLiteral(TJExpr* node, TJValue& value);
    void typeOf(TJExpr* node, TJValue& value);
    void readIdentifier(TJExpr* node, TJValue& value);
    void indexRead(TJObject* object, TJExpr* chain, TJValue& result);
    TJObject* boxValue(const TJValue& value);
    TJObject* readMethodMember(TJExpr* node, TJValue& owner, TJObjectHold& hold, TJValue& member);
    void readMember(TJObject* object, const AnsiString& name, TJValue& result);

    // ==== Statements (evalstmt.cpp) ====
    void enterStatement(TJStatement* s);
    TJCompletion evaluateStatement(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion ifStatement(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion whileLoop(TJStatement* s);
    TJCompletion doLoop(TJStatement* s);
    TJCompletion forLoop(TJStatement* s);
    TJCompletion forInLoop(TJStatement* s);
    TJCompletion tryStatement(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion withStatement(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion switchStatement(TJStatement* s);
    TJCompletion caseStatement(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion returnStatement(TJStatement* s);
    TJCompletion runNamespace(TJStatement* s);
    void declare(TJStatement* declarator, int flags);
    void declareFunction(TJStatement* s);
    void declareClass(TJStatement* s);
    [[noreturn]] void throwStatement(TJStatement* s);
    bool caseMatches(const TJValue& caseValue, const TJValue& switchValue);
    void SetupNamespaceGlobals(TJLocalSymbolTable* table);

    // ==== Calls and objects (evalcall.cpp) ====
    void callScriptFunction(IJFunction* function, TJValueList* args, TJValue& result, TJObject* self);
    void callAutomation(IJFunction* function, TJValueList* args, TJValue& result);
    TJObject* newScriptFunctionObject(const AnsiString& name, const TJValue& function, TJValueList* args);
    TJObject* newClassObject(const TJValue& klass, TJValueList* args);
    IJFunctionPtr newScriptFunction(TJStatement* declaration);
    bool namesArguments(TJStatement* function);

    TROrovod* Owner_;
    std::unique_ptr<TJParser> Parser_;
    std::unique_ptr<TJObjectFactory> Factory_;
    TJObject* Global_ = nullptr;
    TJObject* RegExpStatics_ = nullptr;
    TJObject* WScript_ = nullptr;

    TJValue ReturnValue_;         // the value of a pending return completion
    int CallDepth_ = 0;           // script calls active
    int HostCallDepth_ = 0;       // CallFunction entries active
    std::unordered_map<const TJStatement*, bool> ArgumentsUse_;  // function bodies naming `arguments`
};

// ==== Nesting guard ====

// Held by every recursive step of the evaluator: raises "ECallError" when
// the native stack nears its end, so runaway nesting (deep expressions,
// recursive constructors, native callbacks) becomes a script error instead of
// a stack overflow.
class TJNestingGuard {
public:
    TJNestingGuard() {
        if (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < stackFloor()) raiseTooDeep();
    }

    // The lowest frame address at which evaluation may still go deeper, for
    // the calling thread.
    static uintptr_t stackFloor();

private:
    [[noreturn]] static void raiseTooDeep();
};
