// The "WScript" object of every engine and its three standard streams. The
// engine creates it (unregistered) and points StdOut, StdErr and StdIn at its
// standard-stream relays; scripts write and read through the streams and end
// the run with Quit. Command-line parsing into named arguments, Echo and the
// automation methods belong to the system library's part of this object.
#pragma once

#include "engine/core/array.h"
#include "engine/core/object.h"

// The stream hooks: (stream, text) and (stream, text, line mode, count, success).
using TJStreamWriter = TEvent<void(TJObject* stream, const AnsiString& text)>;
using TJStreamReader = TEvent<void(TJObject* stream, AnsiString& text, bool line, int32_t count, bool& success)>;

// ==== Streams ====

class TJWshBaseStreamObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJWshBaseStreamObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    int32_t column() const { return 0; }
    int32_t line() const { return 1; }

    TJStreamReader Reader;
    TJStreamWriter Writer;

    const TJMethodTable& Methods() const override;
};

class TJWshReadStreamObject : public TJWshBaseStreamObject {
    RTL_DECLARE_CLASS()
    TJWshReadStreamObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    bool atEndOfLine() const { return true; }
    // Calls the read hook; "EFileError" unless it reports success.
    AnsiString Read(bool line, int32_t count);

    const TJMethodTable& Methods() const override;
};

class TJWshWriteStreamObject : public TJWshBaseStreamObject {
    RTL_DECLARE_CLASS()
    TJWshWriteStreamObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // Calls the write hook.
    void Write(const AnsiString& text) { Writer(this, text); }

    const TJMethodTable& Methods() const override;
};

// ==== WScript ====

class TJWScriptObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJWScriptObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJWScriptObject() override;

    // Wiring of the engine's relays.
    void SetStdOutWriter(const TJStreamWriter& writer) { StdOut_->Writer = writer; }
    void SetStdErrWriter(const TJStreamWriter& writer) { StdErr_->Writer = writer; }
    void SetStdInReader(const TJStreamReader& reader) { StdIn_->Reader = reader; }
    // The run's arguments: copies of the source's elements.
    void FillArguments(TJArrayObject* source);

    // Published properties.
    TJArrayObject* arguments() const { return Arguments_; }
    TJWshReadStreamObject* stdIn() const { return StdIn_; }
    TJWshWriteStreamObject* stdOut() const { return StdOut_; }
    TJWshWriteStreamObject* stdErr() const { return StdErr_; }
    bool interactive() const { return Interactive_; }
    void setInteractive(bool value) { Interactive_ = value; }
    AnsiString fullName() const;
    AnsiString name() const;
    AnsiString path() const;
    AnsiString scriptFullName() const;
    AnsiString scriptName() const;
    AnsiString version() const { return "0.3.9"; }

    const TJMethodTable& Methods() const override;

private:
    TJArrayObject* Arguments_;
    TJWshReadStreamObject* StdIn_;
    TJWshWriteStreamObject* StdOut_;
    TJWshWriteStreamObject* StdErr_;
    bool Interactive_ = false;
};
