// TJEngine: the interpreter of one script program. It owns the parser, the
// object factory, the scope tree and its built-in library (the classes and
// the Global, RegExp statics and WScript singletons, handed in by its maker), walks the syntax tree (expressions in
// evalexpr.cpp, statements in evalstmt.cpp, calls, `new` and classes in
// evalcall.cpp), runs programs and reports their errors (engine.cpp). Hosts
// use it through the component TROrovod (engine/orovod.h); script objects
// reach it as their runtime (engine/core/runtime.h).
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <memory>

#include "engine/core/methodtable.h"
#include "engine/core/runtime.h"
#include "engine/core/value.h"
#include "rtl/reflection.h"

class TJObjectFactory;
class TJValueList;
class TJParser;
class TJLocalSymbolTable;
class TJRootSymbolTable;
class TJFunctionSymbolTable;
class TROrovod;
class TJObjectHold;
struct TJExpr;
struct TJStatement;
struct TJMemberCache;

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

// ==== Engine ====

class TJEngine;

// An argument list of the engine's: released, it is cleared (its values go
// last first, as a freed list's) and kept for the next call.
struct TJArgumentListRelease {
    TJEngine* Engine;
    void operator()(TJValueList* list) const noexcept;
};
using TJArgumentList = std::unique_ptr<TJValueList, TJArgumentListRelease>;

// How a statement ended: normally, or by break, continue, return or a throw
// that a catch of the same call takes (the returned or thrown value waits in
// the engine). Errors, other throws, exit and abort are exceptions.
enum class TJCompletion : uint8_t { Normal, Break, Continue, Return, Throw };

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
    efDiscard = 4,  // the value is not used (a statement's, a for update's)
};

class TJEngine : public TJRuntime {
public:
    // The registrar gives the engine its built-in library (RegisterBuiltins,
    // engine/lib/builtins.h).
    explicit TJEngine(TJBuiltinsRegistrar registerBuiltins, TROrovod* owner = nullptr);
    virtual ~TJEngine();
    TJEngine(const TJEngine&) = delete;
    TJEngine& operator=(const TJEngine&) = delete;

    // ---- The runtime of its objects (engine/core/runtime.h) ----
    TJObject* CreateScriptObject(const AnsiString& name, TJValueList* args) override;
    void RegisterScriptClass(const AnsiString& name, const TClassInfo* cls) override;
    AnsiString GetScriptFileName() override;
    bool FindLibraryFile(const AnsiString& name, AnsiString& path) override;
    TJObjectFactory* GetFactory() override;
    bool IsRunning() override;
    void CallFunction(const TJValue& function, TJValueList* args, TJValue& result, TJObject* self) override;
    void CallFunctionValue(const IJFunctionPtr& function, TJValueList* args, TJValue& result,
                           TJObject* self) override;
    void CallFunctionWith(const IJFunctionPtr& function, const TJValue* values, int count, TJValue& result,
                          TJObject* self) override;
    bool FindGlobalValue(const AnsiString& name, TJValue& value) override;
    void EvaluateText(const AnsiString& text, TJObject* self, TJValue& result) override;
    bool DoEventsStep() override;
    void TerminateEventLoop() override { if (Builtins_) Builtins_->TerminateEventLoop(); }
    TJObject* RegExpStatics() override { return Builtins_ ? Builtins_->RegExpStatics() : nullptr; }
    // Relayed to the host's hooks; without a hook output is dropped and
    // reading fails.
    void WriteStdout(const AnsiString& text) override;
    void WriteStderr(const AnsiString& text) override;
    bool ReadStdin(AnsiString& text, int32_t count, bool line) override;

    // ---- Compiling and running ----
    // Parses the text into the program; false (reported) on a syntax error.
    bool Compile(const AnsiString& text);
    // Loads a fresh compiled tree of the file or compiles the file (saving its
    // tree when useCompiledTrees); records the file name in every case.
    bool CompileFile(const AnsiString& fileName, bool useCompiledTrees);
    // Runs the program (nil: the last compiled one), then the event loop when
    // the script asked for it; the exit code. Every error is reported.
    int32_t RunScript(TJStatement* program, TJValueList* args);
    // Writes the report to standard error, then tells the host's error hook.
    void ReportScriptError(const AnsiString& text);
    // Frees every object and variable of the last run; nothing while a
    // script runs.
    void ClearEngineState();

    // ---- Evaluator ----
    TJCompletion EvaluateStatements(TJStatement* first, int flags, TJSwitchState* state);
    void EvaluateExpression(TJExpr* node, int flags, TJValue& value);
    // With a cache (a member node's), an object's member is found through it.
    void GetMemberValue(const TJValue& value, const AnsiString& name, TJValue& result, bool deleteForm,
                        TJMemberCache* cache = nullptr);
    void SetMemberValue(const TJValue& target, const AnsiString& name, const TJValue& value,
                        TJMemberCache* cache = nullptr);
    // The object standing for the value as `this` (primitives boxed); nil when none.
    TJObject* ToScriptObject(const TJValue& value);
    // The evaluated arguments in source order (evaluated last first); nil for an empty chain.
    TJArgumentList BuildArgumentList(TJExpr* chain);
    // An empty argument list.
    TJArgumentList NewArgumentList();
    void CallOrIndex(const TJValue& callee, TJExpr* chain, TJValue& result);
    void IndexAssign(const TJValue& target, TJExpr* chain, const TJValue& value);
    void MethodCallOrIndex(TJExpr* node, TJValue& result);
    void MethodAssign(TJExpr* node, const TJValue& value);
    // Makes the members of a script class on the object.
    void InstallClassMembers(TJObject* object, TJStatement* classStatement);

    // ---- State ----
    TROrovod* Owner() const { return Owner_; }
    // A script is on the stack: a run, or a call from the host or a script.
    bool ScriptActive() const { return Busy || CallDepth_ > 0 || HostCallDepth_ > 0; }
    TJParser& Parser() { return *Parser_; }
    TJObject* GlobalObject() const { return Builtins_->GlobalObject(); }
    TJObject* WScriptObject() const { return Builtins_->WScriptObject(); }
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
    // ==== Running and reports (engine.cpp) ====
    void HandleNewObject(TJObjectFactory* factory, TJObject* object);
    // Reports any exception in its form (control flow that ended a run
    // needs none) and ends the program's active state.
    void reportException(std::exception_ptr exception);
    bool runProgram(TJStatement* program, int32_t& result);
    void runEventLoop();
    void beginRun(TJValueList* args);
    void clearState();

    // ==== Expressions (evalexpr.cpp) ====
    // The routines of the node shapes, one chosen for each node at its first run.
    struct Handlers;
    void evaluateBinary(TJExpr* node, TJValue& value);
    void applyToRight(TJExpr* node, const TJValue& right, TJValue& value);
    void evaluateOperatorSpine(TJExpr* node, TJValue& value);
    void evaluateLogicalChain(TJExpr* node, TJValue& value);
    static bool isSelfAppend(const TJExpr* node);
    void selfAppend(TJExpr* node, int flags, TJValue& value);
    bool addsInSlot(TJExpr* node, TJValue& value);
    void assign(TJExpr* target, const TJValue& value, int flags);
    void assignMember(TJExpr* target, const TJValue& value);
    void compoundAssign(TJExpr* node, TJValue& value);
    void stepAssign(TJExpr* node, int flags, TJValue& value);
    // Given a holder (an enclosing object literal's), the new object is kept there.
    void objectLiteral(TJExpr* node, TJValue& value, TJObjectHold* holder = nullptr);
    void arrayLiteral(TJExpr* node, TJValue& value, TJObjectHold* holder = nullptr);
    void keepLiteral(TJObject* object, TJValue& value, TJObjectHold* holder);
    void literalEntry(TJExpr* node, TJValue& value, TJObjectHold& hold);
    void functionLiteral(TJExpr* node, TJValue& value);
    void fillArguments(TJValueList& list, TJExpr* chain, int last);
    // Calls the function value with the chain's arguments (evaluated last first).
    void callWithArguments(const IJFunctionPtr& callee, TJExpr* chain, TJValue& result, TJObject* self);
    // Calls with more arguments always make a value list.
    static constexpr int directArgumentLimit = 8;
    void typeOf(TJExpr* node, TJValue& value);
    const TJValue* operandInPlace(TJExpr* node);
    const TJValue* valueInPlace(TJExpr* node);
    const TJValue* elementOperand(TJExpr* node);
    bool arrayLengthInPlace(TJExpr* node, TJValue& value);
    void evaluateOperand(TJExpr* node, TJValue& value);
    TJValue* ownVariable(TJExpr* node);
    TJValue* knownOwnVariable(TJExpr* node);
    const TJValue* knownVariable(TJExpr* node);
    void readIdentifier(TJExpr* node, TJValue& value);
    void assignIdentifier(TJExpr* node, const TJValue& value);
    TJValue* parameterNamed(TJExpr* node);
    TJValue* noteParameter(TJExpr* node, TJLocalSymbolTable* function);
    bool namesNoOwnVariable(const TJExpr* node);
    TJValueList* elementInPlace(TJObject* object, TJExpr* chain, int32_t& index);
    void indexRead(TJObject* object, TJExpr* chain, TJValue& result);
    TJObject* boxValue(const TJValue& value);
    TJObject* readMethodMember(TJExpr* node, TJValue& owner, TJObjectHold& hold, TJValue& member,
                               const TJMethodTable::Entry** methodFound = nullptr);
    void readMember(TJObject* object, const AnsiString& name, TJValue& result, TJMemberCache* cache);
    // Runs the native member when it is Array's push and the call has one argument;
    // false, nothing evaluated, for any other call.
    bool pushDirect(const TJValue& member, TJExpr* chain, TJValue& result);
    // Primitive texts reach the String class's published properties and its
    // own methods (which keep no object) through a String object lent for
    // the one use (TextLoan), without a box each.
    class TextLoan;
    TJObject* textBox();
    // The String method a primitive text answers for the name when it is one
    // of the class's own; nil for any other answer.
    const TJMethodTable::Entry* textMethod(const AnsiString& name);
    void callMethodEntry(const TJMethodTable::Entry* method, const TJValue& owner, TJExpr* chain, TJValue& result);
    // False, reading nothing, for a name that is no published property of String.
    bool readTextProperty(const TJValue& text, const AnsiString& name, TJValue& result);
    // What a member name is to the text box: a published property, a method
    // textMethod answers, or neither.
    struct TextMember {
        AnsiString Name;
        bool Property = false;
        bool Length = false;  // the property "length"
        const TJMethodTable::Entry* Method = nullptr;
    };
    const TextMember* textMember(const AnsiString& name);

    // ==== Statements (evalstmt.cpp) ====
    void enterStatement(TJStatement* s);
    void step();
    TJCompletion evaluateStatement(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion ifStatement(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion loneReturn(TJStatement* s);
    TJCompletion loneExpression(TJStatement* s);
    TJCompletion blockBody(TJStatement* body, int flags, TJSwitchState* state);
    TJCompletion functionBody(TJStatement* block);
    TJCompletion whileLoop(TJStatement* s);
    TJCompletion doLoop(TJStatement* s);
    TJCompletion forLoop(TJStatement* s);
    TJCompletion forInLoop(TJStatement* s);
    TJCompletion tryStatement(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion tryAndCatch(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion withStatement(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion switchStatement(TJStatement* s);
    TJCompletion caseStatement(TJStatement* s, int flags, TJSwitchState* state);
    TJCompletion returnStatement(TJStatement* s);
    TJCompletion runNamespace(TJStatement* s);
    void declare(TJStatement* declarator, int flags);
    void declareFunction(TJStatement* s);
    void declareClass(TJStatement* s);
    TJCompletion throwStatement(TJStatement* s);
    bool caseMatches(const TJValue& caseValue, const TJValue& switchValue);
    void SetupNamespaceGlobals(TJLocalSymbolTable* table);

    // ==== Calls and objects (evalcall.cpp) ====
    void callScriptFunction(IJFunction* function, TJValueList* args, TJValue& result, TJObject* self);
    // A plain call of a script function whose body does not name `arguments`:
    // it needs no value list.
    bool takesDirectArguments(IJFunction* function);
    void callScriptDirect(IJFunction* function, const TJValue* values, int count, TJValue& result, TJObject* self);
    // The body of a script call in its pushed scope; the returned value.
    void runBody(TJStatement* body, TJValue& result);
    void callAutomation(IJFunction* function, TJValueList* args, TJValue& result);
    TJObject* newScriptFunctionObject(const AnsiString& name, const TJValue& function, TJValueList* args);
    TJObject* newClassObject(const TJValue& klass, TJValueList* args);
    // An instance of the class registered under the name, held by the
    // current scope's temporaries.
    TJObject* newRegisteredObject(const AnsiString& name, TJValueList* args);
    IJFunctionPtr newScriptFunction(TJStatement* declaration);
    bool namesArguments(TJFunctionSymbolTable* table, TJStatement* function);

    TROrovod* Owner_;
    std::unique_ptr<TJParser> Parser_;
    std::unique_ptr<TJObjectFactory> Factory_;
    std::unique_ptr<TJBuiltins> Builtins_;

    TJValue ReturnValue_;         // the value of a pending return or throw completion
    int CallDepth_ = 0;           // script calls active
    // The call depth of the innermost try body running that has a catch (-1:
    // none): a throw statement at this depth completes to that catch.
    int CatchDepth_ = -1;
    int HostCallDepth_ = 0;       // CallFunction entries active
    // Released argument lists, empty, for the next calls (owned): a call
    // then allocates no list and no block for its values.
    friend struct TJArgumentListRelease;
    std::array<TJValueList*, 8> SpareArgumentLists_{};
    size_t SpareArgumentListCount_ = 0;
    // The String object primitive texts borrow (owned, unregistered, made on
    // first use) and whether a use holds it now.
    TJObject* TextBox_ = nullptr;
    bool TextBoxLent_ = false;
    // Whether "String" named the built-in class at the factory's stamp
    // TextBoxStamp_ (0: not asked yet).
    uint64_t TextBoxStamp_ = 0;
    bool TextBoxAnswers_ = false;
    // The names asked of the box last (its class, and so the answers, stay).
    std::array<TextMember, 8> TextMembers_{};
    size_t TextMemberNext_ = 0;
};

// ==== Nesting guard ====

// Held by every recursive step of the evaluator: raises "ECallError" when
// the native stack nears its end, so runaway nesting (deep expressions,
// recursive constructors, native callbacks) becomes a script error instead of
// a stack overflow.
class TJNestingGuard {
public:
    TJNestingGuard() {
        uintptr_t frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        // A frame inside the stack measured last is on the same thread's
        // stack: no question to the system.
        if (frame - stackBottom_ >= stackSpan_) measureStack();
        if (frame < stackFloor_) raiseTooDeep();
    }

private:
    // Measures the calling thread's stack.
    static void measureStack();
    [[noreturn]] static void raiseTooDeep();

    static inline uintptr_t stackBottom_ = 0;  // the lowest address of the stack's reservation
    static inline uintptr_t stackSpan_ = 0;    // its size up to the stack's top
    // The lowest frame address at which evaluation may still go deeper.
    static inline uintptr_t stackFloor_ = 0;
};
