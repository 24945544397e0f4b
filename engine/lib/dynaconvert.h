// The DLL call of a function value of FuncType 5: script arguments converted
// by their declared letters into argument records, the call through the
// native call core, the result converted by its letter, and by-reference
// results written back into Number objects. The evaluator reaches it through
// JEngineHooks.CallDynaFunction; the DynaCall object binds such functions.
#pragma once

#include "engine/lib/nativecall.h"
#include "engine/core/value.h"

class TJRuntime;
class TJValueList;

// One record per argument letter (any case), the n-th letter converting the
// n-th argument (a missing one counts as null). An undefined or null argument
// for a by-reference or string letter (1, 2, 4, 8, s, w) becomes a null
// pointer. An unknown letter raises "EDynaCallError" "arguments flag error".
void BuildDynaArguments(const AnsiString& letters, TJValueList* args, TDynaValueArray& values);

// The script value of the raw result by the first result letter (any case);
// null for an empty text or an unknown letter.
void DynaResultToValue(const AnsiString& letter, const TDynaResult& raw, TJValue& value);

// Each argument that is a Number object and was passed by reference (letters
// 1, 2, 4, 8) receives what the callee left in its cell.
void WriteBackDynaArguments(const TDynaValueArray& values, TJValueList* args);

// The whole DLL call: convert, call with the declared flags, convert the
// result, write back. A declaration without an address raises
// "EDynaCallError" "procedure address error".
void CallDynaDeclare(const TDynaDeclare& declare, TJValueList* args, TJValue& result);

// A script number as an address: an integer sign-extended (as handles are),
// or a double or Number object that is a whole number within the address
// range (exact to 2^53, which holds every user-space address); any other value
// by its integer conversion. Otherwise "EDLLLoadError" "invalid parameter".
uintptr_t ValueToAddress(const TJValue& value);
// An address as a script number: an integer when it fits 32 bits (signed, as
// handles are sign-extended), else a double.
void AddressToValue(uintptr_t address, TJValue& value);

// Makes function values of FuncType 5 callable by the evaluator.
void RegisterNativeCalls();
