// Script values and automation variants, both ways, the invocation flags of
// automation members, and the typed arguments of the format routines. Used by
// published-property access, automation objects, the evaluator's automation
// calls, the native-call core and the global format functions.
#pragma once

#include <oaidl.h>

#include "engine/core/value.h"
#include "rtl/format.h"

// Null, integers, doubles, texts, booleans and interfaces map to their kinds
// (an interface variant that holds no interface is null);
// other numbers (unsigned, 64-bit, currency, decimal) become an integer when
// of a whole-number type and within 32 bits, else a double; by-reference variants are read
// through. With an engine a date becomes a new Date object and an interface a
// new automation object; without one a date is undefined and an interface a
// dispatch value. Anything else is undefined.
void VariantToValue(const VARIANT& variant, TJRuntime* runtime, TJValue& result);
// Clears the (initialized) variant, then fills it from the value; kinds without a variant
// form leave it empty.
void ValueToVariant(const TJValue& value, VARIANT& variant);

// The result slot of an automation call: empty before the call and cleared
// when it goes, but only after a call that succeeded. A failed call may
// leave anything in it (Wine's DOM leaves an unset object there), which is
// never read or released.
class InvokeResult {
public:
    InvokeResult() { VariantInit(&value_); }
    ~InvokeResult() {
        if (kept_) VariantClear(&value_);
    }
    InvokeResult(const InvokeResult&) = delete;
    InvokeResult& operator=(const InvokeResult&) = delete;

    VARIANT* slot() { return &value_; }
    // Takes the call's outcome and answers it; only a success keeps the slot.
    HRESULT outcome(HRESULT hr) {
        kept_ = SUCCEEDED(hr);
        return hr;
    }
    const VARIANT& value() const { return value_; }

private:
    VARIANT value_;
    bool kept_ = false;
};

// IDispatch::Invoke of a server, guarded: a fault in the server's own code
// (in-process servers crash: Wine's DOM on some patterns) ends the call with
// RPC_E_SERVERFAULT instead of the program; the result is then abandoned. A
// fault in this program's code still ends it. Callbacks of the server into
// the program run as ServerCallback.
HRESULT InvokeServer(IDispatch* dispatch, DISPID id, WORD flags, DISPPARAMS* params, InvokeResult* result);

// Held while a server calls back into the program (an event): the guard of
// the server call around it is off meanwhile, so that a fault inside never
// jumps over the program's frames.
class ServerCallback {
public:
    ServerCallback();
    ~ServerCallback();
    ServerCallback(const ServerCallback&) = delete;
    ServerCallback& operator=(const ServerCallback&) = delete;

private:
    void* outer_;
};

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
