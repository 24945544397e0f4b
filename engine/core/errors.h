// The script engine's exceptions: script errors with an error name and a
// thrown value (EJThrow, raised by every host object and by the engine),
// syntax errors with their line, and the control-flow signals of the evaluator
// (break, continue, return, exit, abort).
#pragma once

#include "engine/core/value.h"
#include "rtl/exceptions.h"

class EJException : public Exception {
public:
    EJException(AnsiString errorName, AnsiString message)
        : Exception(std::move(message)), ErrorName(std::move(errorName)) {}
    const char* className() const noexcept override { return "EJException"; }
    AnsiString ErrorName;
};

class EJAbort : public EJException {
public:
    EJAbort() : EJException(AnsiString(), "script abort") {}
    const char* className() const noexcept override { return "EJAbort"; }
};

RTL_EXCEPTION(EJStatement, EJException);

class EJBreak : public EJStatement {
public:
    EJBreak() : EJStatement(AnsiString(), AnsiString()) {}
    const char* className() const noexcept override { return "EJBreak"; }
};

class EJContinue : public EJStatement {
public:
    EJContinue() : EJStatement(AnsiString(), AnsiString()) {}
    const char* className() const noexcept override { return "EJContinue"; }
};

class EJReturn : public EJStatement {
public:
    explicit EJReturn(const TJValue& value) : EJStatement(AnsiString(), "return"), ReturnValue(value) {}
    const char* className() const noexcept override { return "EJReturn"; }
    TJValue ReturnValue;
};

class EJExit : public EJStatement {
public:
    explicit EJExit(int32_t code) : EJStatement(AnsiString(), AnsiString()), ExitCode(code) {}
    const char* className() const noexcept override { return "EJExit"; }
    int32_t ExitCode;
};

RTL_EXCEPTION(EJError, EJException);

// A script error: error name, message and the thrown value (null unless given).
class EJRuntimeError : public EJError {
public:
    EJRuntimeError(AnsiString errorName, const TJValue* thrown, AnsiString message);
    const char* className() const noexcept override { return "EJRuntimeError"; }
    TJValue ThrownValue;
};

// The class every host object and the engine raise for script errors.
RTL_EXCEPTION(EJThrow, EJRuntimeError);

class EJSyntaxError : public EJRuntimeError {
public:
    EJSyntaxError(int32_t line, const TJValue* thrown, AnsiString message)
        : EJRuntimeError("ESyntaxError", thrown, std::move(message)), Line(line) {}
    const char* className() const noexcept override { return "EJSyntaxError"; }
    int32_t Line;
};

// Raises EJThrow with the error name and message (no thrown value).
[[noreturn]] void raiseScriptError(const AnsiString& errorName, const AnsiString& message);

// The largest text a script builds (with +, join, concat, replace, format,
// multiply ...); a longer one is refused with "EStringError" before the
// memory for it is taken.
constexpr size_t MaxStringSize = 256u * 1024 * 1024;
// Raises "EStringError" when a text of `size` bytes would exceed MaxStringSize.
void CheckStringSize(uint64_t size);
// The unit repeated the given times (empty for none), held to that limit.
AnsiString RepeatText(const AnsiString& unit, int32_t times);
[[noreturn]] void RaiseStringTooLong();
