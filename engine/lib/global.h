// TJGlobalObject: the script class "Global" - the functions a script calls
// without an object (print, eval, format, alert, eventLoop, ...) and the
// published state of a run (arguments, terminated, platform, ...). Each engine
// makes one instance, the `this` of every namespace, and points its output and
// input hooks at the engine's relays. The host and the dialogs fill JGlobalHooks
// (engine/core/hooks.h).
#pragma once

#include "engine/core/object.h"

class TJArrayObject;

// Writes a text to the engine's standard output.
using TJOutputHook = TEvent<void(TObject* sender, const AnsiString& text)>;
// Reads from the engine's standard input: count is the number of characters
// wanted or -1, line asks for one whole line; success left false fails the read.
using TJInputHook = TEvent<void(TObject* sender, AnsiString& text, bool line, int32_t count, bool& success)>;

class TJGlobalObject : public TJObject {
    RTL_DECLARE_CLASS()
    // In an engine, writes to the engine's standard output and reads from its
    // standard input.
    TJGlobalObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJGlobalObject() override;

    void SetOutputHook(const TJOutputHook& hook) { OutputHook_ = hook; }
    void SetInputHook(const TJInputHook& hook) { InputHook_ = hook; }

    // The arguments of the current run (the engine fills them).
    TJArrayObject* Arguments() const { return Arguments_; }
    // An array a script may fill; nothing runs it.
    TJArrayObject* Finalizer() const { return Finalizer_; }
    // True ends the engine's event loop after the program.
    bool Terminated() const { return Terminated_; }
    void Terminate() { Terminated_ = true; }
    void StartEventLoop() { Terminated_ = false; }

    // Writes the text to standard output.
    void Print(const AnsiString& text);
    // Writes the text and "\r\n".
    void PrintLine(const AnsiString& text);
    // Reads from standard input; a failed read raises "EFileError".
    AnsiString Read(int32_t count, bool line);

    // ---- Published properties ----
    int32_t applicationHandle() const;
    int32_t mainFormHandle() const;
    AnsiString platform() const;

    const TJMethodTable& Methods() const override;

private:
    TJOutputHook OutputHook_;
    TJInputHook InputHook_;
    TJArrayObject* Arguments_;
    bool Terminated_ = true;
    TJArrayObject* Finalizer_;
};

// The text of format(fmt, values...): the first value's text is the format,
// the others its values (integers as integers, doubles as floats, anything
// else as its text). A mismatch raises "EConvertError" with the format
// routine's message. The list holds at least one value.
AnsiString FormatValues(const TJValueList& args);

// Registers "Global" with the engine.
void RegisterGlobalClass(TJRuntime* runtime);
