// TROrovod: the component through which a host uses the script engine. It
// owns one TJEngine, registers the script library classes with it, compiles,
// runs and imports classes, measures compile and run times, and raises the
// host's events for output, input, errors, stepping and new objects. The
// host instantiates DIZI; one component exists per loaded widget.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "engine/eval/engine.h"
#include "rtl/component.h"

class TStrings;

// The host's event types; Sender is always the component.
using TStringEvent = TEvent<void(TObject* Sender, const AnsiString& S)>;
using TNewObjectEvent = TEvent<void(TObject* Sender, TJObject* JObject)>;
using TStepEvent = TEvent<void(TObject* Sender, bool& Abort)>;
using TReadStringEvent = TEvent<void(TObject* Sender, AnsiString& S, bool& Success, int32_t Count, bool Line)>;
using TErrorEvent = TEvent<void(TObject* Sender, int32_t LineNo, const AnsiString& Msg)>;

// The abstract engine-host component; an owner (the host's main form) frees
// the engines it owns.
class TJBaseROrovod : public TComponent {
    RTL_DECLARE_CLASS()
    using TComponent::TComponent;
};

class TROrovod : public TJBaseROrovod {
    RTL_DECLARE_CLASS()
    explicit TROrovod(TComponent* owner = nullptr);
    // Public: a host may also keep an engine component as a plain member.
    ~TROrovod() override;
    TROrovod(const TROrovod&) = delete;
    TROrovod& operator=(const TROrovod&) = delete;

    TJEngine& Engine() { return *Engine_; }

    void Clear();
    bool Compile(const AnsiString& text);
    bool CompileFile(const AnsiString& fileName);
    // Runs the compiled program with the arguments; the exit code.
    int32_t Run(TJValueList* args);
    int32_t RunWithConstArgs(std::initializer_list<TJValue> constants);
    int32_t RunNoArgs() { return RunWithConstArgs({}); }
    void ImportObject(const AnsiString& scriptName, const TClassInfo* cls);
    AnsiString ScriptFileName();

    // ---- Published properties ----
    // The parser's library folders, searched by import.
    TStrings& LibraryPath();
    void SetLibraryPath(const TStrings& folders);
    bool CompiledBinary() const { return CompiledBinary_; }
    void SetCompiledBinary(bool value) { CompiledBinary_ = value; }

    // Milliseconds of the last compile and run; the last standard-error text.
    uint32_t CompileTime() const { return CompileTime_; }
    uint32_t RunTime() const { return RunTime_; }
    const AnsiString& LastStderr() const { return LastStderr_; }

    // ---- Published events ----
    // Each setter installs the engine's matching hook only while a handler is assigned.
    const TStringEvent& OnStdout() const { return OnStdout_; }
    void SetOnStdout(const TStringEvent& handler);
    const TStringEvent& OnStderr() const { return OnStderr_; }
    void SetOnStderr(const TStringEvent& handler);
    const TStringEvent& OnDebugout() const { return OnDebugout_; }
    void SetOnDebugout(const TStringEvent& handler);
    const TNewObjectEvent& OnNewObject() const { return OnNewObject_; }
    void SetOnNewObject(const TNewObjectEvent& handler);
    const TNotifyEvent& OnRun() const { return OnRun_; }
    void SetOnRun(const TNotifyEvent& handler);
    const TNotifyEvent& OnDone() const { return OnDone_; }
    void SetOnDone(const TNotifyEvent& handler);
    const TStepEvent& OnStep() const { return OnStep_; }
    void SetOnStep(const TStepEvent& handler);
    const TStepEvent& OnDoEvents() const { return OnDoEvents_; }
    void SetOnDoEvents(const TStepEvent& handler);
    const TReadStringEvent& OnStdin() const { return OnStdin_; }
    void SetOnStdin(const TReadStringEvent& handler);
    const TErrorEvent& OnError() const { return OnError_; }
    void SetOnError(const TErrorEvent& handler);

protected:
    // Registers the script library classes, in the order of the slots of
    // JLibraryRegistrars (engine/core/hooks.h).
    virtual void RegisterLibraryObjects();

private:
    void relayStdout(const AnsiString& text);
    void relayStderr(const AnsiString& text);
    void relayNewObject(TJObject* object);
    void relayRun();
    void relayDone();
    void relayStep(bool& abort);
    void relayDoEvents(bool& abort);
    void relayStdin(AnsiString& text, bool& success, int32_t count, bool line);
    void relayError(int32_t line, const AnsiString& message);

    std::unique_ptr<TJEngine> Engine_;
    AnsiString LastStderr_;
    uint32_t CompileTime_ = 0;
    uint32_t RunTime_ = 0;
    bool CompiledBinary_ = false;
    TStringEvent OnStdout_;
    TStringEvent OnStderr_;
    TStringEvent OnDebugout_;
    TNewObjectEvent OnNewObject_;
    TNotifyEvent OnRun_;
    TNotifyEvent OnDone_;
    TStepEvent OnStep_;
    TStepEvent OnDoEvents_;
    TReadStringEvent OnStdin_;
    TErrorEvent OnError_;
};

// The component the host instantiates.
class DIZI : public TROrovod {
    RTL_DECLARE_CLASS()
    using TROrovod::TROrovod;
};
