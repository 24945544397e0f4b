// The script engine's exceptions: the script-error constructor that every
// raise site uses (error name, thrown value or nil, message) and the raising
// helper of the value routines and the built-in objects, and the size limit
// of texts with the repeating builder that keeps to it.
#include "engine/core/errors.h"

#include <cstring>

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

AnsiString RepeatText(const AnsiString& unit, int32_t times) {
    AnsiString text;
    if (times <= 0 || unit.empty()) return text;
    size_t size = unit.length();
    CheckStringSize(static_cast<uint64_t>(size) * static_cast<uint64_t>(times));
    text.setLength(size * static_cast<size_t>(times));
    char* out = text.mutableData();
    for (int32_t i = 0; i < times; ++i) std::memcpy(out + size * static_cast<size_t>(i), unit.data(), size);
    return text;
}

void RaiseStringTooLong() { raiseScriptError("EStringError", "string too long"); }
