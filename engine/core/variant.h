// Script values and automation variants, both ways, the invocation flags of
// automation members, and the typed arguments of the format routines. Used by
// published-property access, automation objects, the evaluator's automation
// calls, the native-call core and the global format functions.
#pragma once

#include <oaidl.h>

#include "engine/core/value.h"
#include "rtl/format.h"

// Null, integers, doubles, texts, booleans and interfaces map to their kinds;
// other numbers (unsigned, 64-bit, currency, decimal) become an integer when
// of a whole-number type and within 32 bits, else a double; by-reference variants are read
// through. With an engine a date becomes a new Date object and an interface a
// new automation object; without one a date is undefined and an interface a
// dispatch value. Anything else is undefined.
void VariantToValue(const VARIANT& variant, TJRuntime* runtime, TJValue& result);
// Clears the (initialized) variant, then fills it from the value; kinds without a variant
// form leave it empty.
void ValueToVariant(const TJValue& value, VARIANT& variant);

// The invocation flags for an automation member's access (1 property get,
// 2 property put, else method) and their name in error messages.
WORD DispatchFlagsOf(uint8_t access);
AnsiString DispatchFlagsName(uint8_t access);

// A value as a format argument: an integer as an integer, a double as a float,
// an event as the integer 0, anything else as its text.
FormatArg ValueToVarRec(const TJValue& value);
// A format argument as a value: integers within 32 bits as integers, wider
// ones and floats as doubles, texts as strings, pointers undefined.
void VarRecToValue(const FormatArg& arg, TJValue& value);
