// The script engine's exceptions.
#include "engine/errors.h"

EJRuntimeError::EJRuntimeError(AnsiString errorName, const TJValue* thrown, AnsiString message)
    : EJError(std::move(errorName), std::move(message)) {
    if (thrown) ThrownValue = *thrown;
    else MakeNull(ThrownValue);
}

void raiseScriptError(const AnsiString& errorName, const AnsiString& message) {
    throw EJThrow(errorName, nullptr, message);
}
