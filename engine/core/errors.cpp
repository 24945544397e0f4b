// The script engine's exceptions: the script-error constructor that every
// raise site uses (error name, thrown value or nil, message) and the raising
// helper of the value routines and the built-in objects.
#include "engine/core/errors.h"

EJRuntimeError::EJRuntimeError(AnsiString errorName, const TJValue* thrown, AnsiString message)
    : EJError(std::move(errorName), std::move(message)) {
    if (thrown) ThrownValue = *thrown;
    else MakeNull(ThrownValue);
}

void raiseScriptError(const AnsiString& errorName, const AnsiString& message) {
    throw EJThrow(errorName, nullptr, message);
}
