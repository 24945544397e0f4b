// The engine component: construction with the library registration, timed
// compile and run, and the relays from the engine's hooks to the host's events.
#include "engine/orovod.h"

#include <windows.h>

#include "engine/core/hooks.h"
#include "engine/lib/builtins.h"
#include "engine/syntax/lexer.h"
#include "engine/syntax/parser.h"
#include "engine/core/valuelist.h"

namespace {

const TPropInfo orovodProperties[] = {
    BoolProperty<&TROrovod::CompiledBinary, &TROrovod::SetCompiledBinary>("CompiledBinary", 0),
};

// Milliseconds since start, measured with the system tick count.
class Stopwatch {
public:
    Stopwatch() : start_(GetTickCount()) {}
    uint32_t elapsed() const { return GetTickCount() - start_; }

private:
    DWORD start_;
};

}  // namespace

const TClassInfo TJBaseROrovod::classInfo = makeClassInfo("TJBaseROrovod", &TComponent::classInfo);
const TClassInfo TROrovod::classInfo = makeClassInfo("TROrovod", &TJBaseROrovod::classInfo, orovodProperties);
const TClassInfo DIZI::classInfo = makeClassInfo("DIZI", &TROrovod::classInfo);

// ==== Construction ====

TROrovod::TROrovod(TComponent* owner)
    : TJBaseROrovod(owner), Engine_(std::make_unique<TJEngine>(&RegisterBuiltins, this)) {
    SetOnStderr(TStringEvent());
    RegisterLibraryObjects();
}

TROrovod::~TROrovod() { Clear(); }

void TROrovod::RegisterLibraryObjects() {
    for (TJLibraryRegistrar registrar : JLibraryRegistrars)
        if (registrar) registrar(*Engine_);
}

// ==== Operations ====

void TROrovod::Clear() { Engine_->ClearEngineState(); }

bool TROrovod::Compile(const AnsiString& text) {
    Stopwatch watch;
    bool compiled = Engine_->Compile(text);
    CompileTime_ = watch.elapsed();
    return compiled;
}

bool TROrovod::CompileFile(const AnsiString& fileName) {
    Stopwatch watch;
    bool compiled = Engine_->CompileFile(fileName, CompiledBinary_);
    CompileTime_ = watch.elapsed();
    return compiled;
}

int32_t TROrovod::Run(TJValueList* args) {
    Stopwatch watch;
    int32_t code = Engine_->RunScript(Engine_->Parser().Root(), args);
    RunTime_ = watch.elapsed();
    return code;
}

int32_t TROrovod::RunWithConstArgs(std::initializer_list<TJValue> constants) {
    TJValueList args;
    for (const TJValue& constant : constants) args.Add(constant);
    return Run(&args);
}

void TROrovod::ImportObject(const AnsiString& scriptName, const TClassInfo* cls) {
    Engine_->RegisterScriptClass(scriptName, cls);
}

AnsiString TROrovod::ScriptFileName() { return Engine_->GetScriptFileName(); }

TStrings& TROrovod::LibraryPath() { return Engine_->Parser().LibraryPath; }

void TROrovod::SetLibraryPath(const TStrings& folders) { Engine_->Parser().LibraryPath.Assign(folders); }

// ==== Events ====
// Each setter stores the handler and installs or clears the engine's hook.

template <class Hook, auto Relay>
static void installHook(Hook& hook, bool assigned, TROrovod* component) {
    hook = assigned ? Hook::template bind<Relay>(component) : Hook();
}

void TROrovod::SetOnStdout(const TStringEvent& handler) {
    OnStdout_ = handler;
    installHook<TJTextHook, &TROrovod::relayStdout>(Engine_->StdoutHook, bool(handler), this);
}

// The engine reports errors through its standard-error hook, so it stays
// installed: the last text is kept even when the host shows none.
void TROrovod::SetOnStderr(const TStringEvent& handler) {
    OnStderr_ = handler;
    installHook<TJTextHook, &TROrovod::relayStderr>(Engine_->StderrHook, true, this);
}

void TROrovod::SetOnDebugout(const TStringEvent& handler) {
    OnDebugout_ = handler;
    TJLex& lexer = Engine_->Parser().Lexer();
    if (!handler) {
        lexer.OnTrace = nullptr;
        return;
    }
    lexer.OnTrace = [this](TJLex&, const AnsiString& text) { OnDebugout_(this, text); };
}

void TROrovod::SetOnNewObject(const TNewObjectEvent& handler) {
    OnNewObject_ = handler;
    installHook<TJObjectHook, &TROrovod::relayNewObject>(Engine_->NewObjectHook, bool(handler), this);
}

void TROrovod::SetOnRun(const TNotifyEvent& handler) {
    OnRun_ = handler;
    installHook<TJNotifyHook, &TROrovod::relayRun>(Engine_->RunHook, bool(handler), this);
}

void TROrovod::SetOnDone(const TNotifyEvent& handler) {
    OnDone_ = handler;
    installHook<TJNotifyHook, &TROrovod::relayDone>(Engine_->DoneHook, bool(handler), this);
}

void TROrovod::SetOnStep(const TStepEvent& handler) {
    OnStep_ = handler;
    installHook<TJAbortHook, &TROrovod::relayStep>(Engine_->StepHook, bool(handler), this);
}

void TROrovod::SetOnDoEvents(const TStepEvent& handler) {
    OnDoEvents_ = handler;
    installHook<TJAbortHook, &TROrovod::relayDoEvents>(Engine_->DoEventsHook, bool(handler), this);
}

void TROrovod::SetOnStdin(const TReadStringEvent& handler) {
    OnStdin_ = handler;
    installHook<TJReadHook, &TROrovod::relayStdin>(Engine_->StdinHook, bool(handler), this);
}

void TROrovod::SetOnError(const TErrorEvent& handler) {
    OnError_ = handler;
    installHook<TJErrorHook, &TROrovod::relayError>(Engine_->ErrorHook, bool(handler), this);
}

void TROrovod::relayStdout(const AnsiString& text) { OnStdout_(this, text); }

void TROrovod::relayStderr(const AnsiString& text) {
    LastStderr_ = text;
    OnStderr_(this, text);
}

void TROrovod::relayNewObject(TJObject* object) { OnNewObject_(this, object); }
void TROrovod::relayRun() { OnRun_(this); }
void TROrovod::relayDone() { OnDone_(this); }
void TROrovod::relayStep(bool& abort) { OnStep_(this, abort); }
void TROrovod::relayDoEvents(bool& abort) { OnDoEvents_(this, abort); }

void TROrovod::relayStdin(AnsiString& text, bool& success, int32_t count, bool line) {
    OnStdin_(this, text, success, count, line);
}

void TROrovod::relayError(int32_t line, const AnsiString& message) { OnError_(this, line, message); }
