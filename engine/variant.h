// Script values and automation variants, both ways, and the invocation flags
// of automation members. Used by published-property access, automation
// objects, the evaluator's automation calls and the native-call core.
#pragma once

#include <oaidl.h>

#include "engine/value.h"

// Null, integers, doubles, texts, booleans and interfaces map to their kinds;
// other numbers (unsigned, 64-bit, currency, decimal) become an integer when
// of a whole-number type and within 32 bits, else a double; by-reference variants are read
// through. With an engine a date becomes a new Date object and an interface a
// new automation object; without one a date is undefined and an interface a
// dispatch value. Anything else is undefined.
void VariantToValue(const VARIANT& variant, TJEngine* engine, TJValue& result);
// Clears the (initialized) variant, then fills it from the value; kinds without a variant
// form leave it empty.
void ValueToVariant(const TJValue& value, VARIANT& variant);

// The invocation flags for an automation member's access (1 property get,
// 2 property put, else method) and their name in error messages.
WORD DispatchFlagsOf(uint8_t access);
AnsiString DispatchFlagsName(uint8_t access);
