// The script engine's exceptions: the script-error constructor that every
// raise site uses (error name, thrown value or nil, message) and the raising
// helper of the value routines and the built-in objects, and the size limit
// of texts.
#include "engine/core/errors.h"

EJRuntimeError::EJRuntimeError(AnsiString errorName, const TJValue* thrown, AnsiString message)
    : EJError(std::move(errorName), std::move(message)) {
    if (thrown) ThrownValue = *thrown;
    else MakeNull(ThrownValue);
}

void raiseScriptError(const AnsiString& errorName, const AnsiString& message) {
    throw EJThrow(errorName, nullptr, message);
}

void CheckStringSize(uint64_t size) {
    if (size > MaxStringSize) RaiseStringTooLong();
}

void RaiseStringTooLong() { raiseScriptError("EStringError", "string too long"); }
