// Script values to and from the argument records and the raw result of the
// native call core, and the DLL call of a FuncType 5 function value that the
// evaluator makes through its hook.
#include "engine/lib/dynaconvert.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "engine/core/hooks.h"
#include "engine/core/errors.h"
#include "engine/support/mbstring.h"
#include "engine/lib/number.h"
#include "engine/core/valuelist.h"
#include "rtl/numtext.h"

namespace {

// ==== Arguments ====

// The kind an argument letter makes; false for an unknown letter.
bool kindOfLetter(char letter, TDynaKind& kind) {
#define DYNA_KIND_LOOKUP(name, code, letters)                                         \
    if (std::string_view(letters).find(letter) != std::string_view::npos) {          \
        kind = name;                                                                  \
        return true;                                                                  \
    }
    DYNA_KINDS(DYNA_KIND_LOOKUP)
#undef DYNA_KIND_LOOKUP
    return false;
}

// Letters whose undefined or null argument passes a null pointer.
bool isPointerKind(TDynaKind kind) {
    switch (kind) {
    case dkByteRef: case dkShortRef: case dkLongRef: case dkInt64Ref: case dkString: case dkWide: return true;
    default: return false;
    }
}

void convert(TDynaKind kind, const TJValue& arg, TDynaValue& v) {
    v.Kind = kind;
    switch (kind) {
    case dkChar: case dkByteRef: v.ByteValue = ValueToChar(arg); break;
    case dkShort: case dkShortRef: v.ShortValue = static_cast<int16_t>(ValueToInteger(arg)); break;
    case dkLong: case dkLongRef: v.LongValue = ValueToInteger(arg); break;
    case dkInt64: case dkInt64Ref: v.Int64Value = roundToInt64(ValueToDouble(arg)); break;
    case dkString: v.StrValue = ValueToString(arg); break;
    case dkWide: v.WideValue = ansiToWide(ValueToString(arg)); break;
    case dkSingle: v.SingleValue = ValueToSingle(&arg); break;
    case dkDouble: v.DoubleValue = ValueToDouble(arg); break;
    case dkDispatch: v.DispatchValue.reset(ValueToDispatch(&arg)); break;
    case dkUnknown: v.UnknownValue.reset(ValueToDispatch(&arg)); break;
    case dkNil: break;
    case dkAddress: v.AddressValue = ValueToAddress(arg); break;
    }
}

// ==== Results ====

AnsiString textAt(const char* p) { return p ? AnsiString(p) : AnsiString(); }
AnsiString wideTextAt(const wchar_t* p) { return p ? wideToAnsi(p) : AnsiString(); }

// ==== The evaluator's hook ====

void callDynaFunction(TJRuntime*, IJFunction* function, TJValueList* args, TJValue& result) {
    CallDynaDeclare(*function->GetDynaDeclare(), args, result);
}

}  // namespace

// ==== Conversions ====

void BuildDynaArguments(const AnsiString& letters, TJValueList* args, TDynaValueArray& values) {
    AnsiString lower = lowerCaseAscii(letters);
    values.clear();
    values.resize(lower.length());
    TJValue null;
    MakeNull(null);
    for (size_t i = 0; i < lower.length(); ++i) {
        TDynaKind kind = dkNil;
        if (!kindOfLetter(lower[i], kind)) raiseScriptError("EDynaCallError", "arguments flag error");
        const TJValue& arg = static_cast<int>(i) < ArgCount(args) ? args->At(static_cast<int>(i)) : null;
        convert(isPointerKind(kind) && IsUndefinedOrNull(arg) ? dkNil : kind, arg, values[i]);
    }
}

void DynaResultToValue(const AnsiString& letter, const TDynaResult& raw, TJValue& value) {
    MakeNull(value);
    if (letter.empty()) return;
    switch (lowerCaseAscii(letter.view().substr(0, 1))[0]) {
    case 'a': case 'k': MakeDispatch(static_cast<IDispatch*>(raw.Pointer), value); break;
    case 'b': MakeBool(raw.Long != 0, value); break;
    case 'c': case 'l': case 't': case 'u': MakeInteger(static_cast<int32_t>(raw.Long), value); break;
    case 'h': case 'p': AddressToValue(reinterpret_cast<uintptr_t>(raw.Pointer), value); break;
    case 'd': MakeDouble(raw.Double, value); break;
    case 'f': MakeDouble(raw.Single, value); break;
    case 'i': MakeDouble(static_cast<double>(raw.Int64), value); break;
    case 's': MakeString(textAt(static_cast<const char*>(raw.Pointer)), value); break;
    case 'w': MakeString(wideTextAt(static_cast<const wchar_t*>(raw.Pointer)), value); break;
    default: break;
    }
}

void WriteBackDynaArguments(const TDynaValueArray& values, TJValueList* args) {
    int count = std::min(ArgCount(args), static_cast<int>(values.size()));
    for (int i = 0; i < count; ++i) {
        const TJValue& arg = args->At(i);
        if (!IsNumberObjectValue(&arg)) continue;
        auto* number = static_cast<TJNumberObject*>(arg.ObjValue);
        const TDynaValue& v = values[i];
        switch (v.Kind) {
        case dkByteRef: number->setIntProperty(v.ByteValue); break;
        case dkShortRef: number->setIntProperty(v.ShortValue); break;
        case dkLongRef: number->setIntProperty(v.LongValue); break;
        case dkInt64Ref: number->setNumberProperty(static_cast<double>(v.Int64Value)); break;
        default: break;
        }
    }
}

// ==== Addresses ====

uintptr_t ValueToAddress(const TJValue& value) {
    if (value.ValueType != vtDouble && !IsNumberObjectValue(&value))
        return static_cast<uintptr_t>(static_cast<intptr_t>(ValueToInteger(value)));
    // The range runs from the most negative signed address to the largest unsigned one.
    constexpr double low = static_cast<double>(std::numeric_limits<intptr_t>::min());
    constexpr double high = -2 * low;
    double d = ValueToDouble(value);
    if (d != std::trunc(d) || !(d >= low && d < high)) raiseScriptError("EDLLLoadError", "invalid parameter");
    return d < 0 ? static_cast<uintptr_t>(static_cast<intptr_t>(d)) : static_cast<uintptr_t>(d);
}

void AddressToValue(uintptr_t address, TJValue& value) {
    auto signedAddress = static_cast<intptr_t>(address);
    auto low = static_cast<int32_t>(signedAddress);
    if (low == signedAddress) MakeInteger(low, value);
    else MakeDouble(static_cast<double>(signedAddress), value);
}

// ==== The call ====

void CallDynaDeclare(const TDynaDeclare& declare, TJValueList* args, TJValue& result) {
    if (!declare.ProcAddress) raiseScriptError("EDynaCallError", "procedure address error");
    TDynaValueArray values;
    BuildDynaArguments(declare.ArgLetters, args, values);
    TDynaParmArray parms;
    DynaValuesToParms(values, parms);
    TDynaResult raw;
    InvokeNativeProc(ParseCallFlags(declare.FlagLetters), declare.ProcAddress, parms, raw, 0, nullptr);
    DynaResultToValue(declare.ResultLetter, raw, result);
    WriteBackDynaArguments(values, args);
}

void RegisterNativeCalls() { JEngineHooks.CallDynaFunction = &callDynaFunction; }
