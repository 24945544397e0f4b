// The "WScript" object of every engine: the run's arguments (split into named
// "/name:value" and positional ones), the three standard streams, Echo, Quit,
// Sleep and automation objects. The engine creates it (unregistered) and
// points StdOut, StdErr and StdIn at its standard-stream relays; the
// automation methods reach the automation module through its hooks.
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

// ==== Arguments ====

// The named arguments: one text member per name.
class TJWshNamedObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJWshNamedObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // The number of text members.
    int32_t count() const;
    // Lists the text members only.
    void GetPropertyList(std::vector<AnsiString>& list) override;

    const TJMethodTable& Methods() const override;
};

// The positional arguments.
class TJWshUnnamedObject : public TJArrayObject {
    RTL_DECLARE_CLASS()
    TJWshUnnamedObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    const TJMethodTable& Methods() const override;
};

// All arguments in order, with the named and positional ones apart.
class TJWshArgumentsObject : public TJArrayObject {
    RTL_DECLARE_CLASS()
    TJWshArgumentsObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJWshArgumentsObject() override;

    // Replaces every argument by the elements, each text that holds
    // "/name:value" (anywhere) being named and every other one positional.
    void Fill(const TJValueList& elements);

    TJWshNamedObject* named() const { return Named_; }
    TJWshUnnamedObject* unnamed() const { return Unnamed_; }

    const TJMethodTable& Methods() const override;

private:
    TJWshNamedObject* Named_;
    TJWshUnnamedObject* Unnamed_;
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
    // The run's arguments: copies of the source's elements, else the
    // program's command-line parameters after the first.
    void FillArguments(TJArrayObject* source);

    // Published properties.
    TJWshArgumentsObject* arguments() const { return Arguments_; }
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
    TJWshArgumentsObject* Arguments_;
    TJWshReadStreamObject* StdIn_;
    TJWshWriteStreamObject* StdOut_;
    TJWshWriteStreamObject* StdErr_;
    bool Interactive_ = false;
};
