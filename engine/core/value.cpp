// Script values: the builders that clear and set a record, the kind tests
// (with the boxing and wrapper classes reached through the module hooks) and
// the conversions to booleans, numbers, characters and texts.
#include "engine/core/value.h"

#include <cmath>
#include <cstring>
#include <new>

#include "engine/core/hooks.h"
#include "engine/core/object.h"
#include "rtl/numtext.h"

// ==== Counted fields ====

void TJValue::copyCounted(const TJValue& other) noexcept {
    switch (other.ValueType) {
    case vtRegExp: std::memcpy(RegExpFlags, other.RegExpFlags, sizeof RegExpFlags); [[fallthrough]];
    case vtString: new (&StrValue) AnsiString(other.StrValue); break;
    case vtDispatch: new (&DispValue) IDispatchPtr(other.DispValue); break;
    default: new (&FuncValue) IJFunctionPtr(other.FuncValue); break;  // vtFunction
    }
}

void TJValue::moveCounted(TJValue& other) noexcept {
    switch (other.ValueType) {
    case vtRegExp: std::memcpy(RegExpFlags, other.RegExpFlags, sizeof RegExpFlags); [[fallthrough]];
    case vtString: new (&StrValue) AnsiString(std::move(other.StrValue)); break;
    case vtDispatch: new (&DispValue) IDispatchPtr(std::move(other.DispValue)); break;
    default: new (&FuncValue) IJFunctionPtr(std::move(other.FuncValue)); break;  // vtFunction
    }
}

void TJValue::replaceCounted(const TJValue& other) noexcept { replaceCounted(TJValue(other)); }

void TJValue::replaceCounted(TJValue&& other) noexcept {
    if (this == &other) return;
    TJValue old(std::move(*this));  // released last: other may live in what it holds
    takeUncounted(other);
    moveHeld(other);
}

void TJValue::releaseCounted() noexcept {
    switch (ValueType) {
    case vtString: case vtRegExp: StrValue.clear(); break;
    case vtDispatch: DispValue = nullptr; break;
    default: FuncValue = nullptr; break;  // vtFunction
    }
}

// ==== Builders ====

void MakeInfinity(bool negative, TJValue& v) { ClearValueFields(v); v.ValueType = vtInfinity; v.Negative = negative; }
void MakeNaN(TJValue& v) { ClearValueFields(v); v.ValueType = vtNaN; }
void MakeEvent(const TMethod& method, TJValue& v) { ClearValueFields(v); v.ValueType = vtEvent; v.EventValue = method; }

void MakeString(const AnsiString& s, TJValue& v) {
    AnsiString keep = s;  // s may be v's own text
    ClearValueFields(v);
    v.ValueType = vtString;
    v.StrValue = std::move(keep);
}

void MakeDispatch(IDispatch* dispatch, TJValue& v) {
    IDispatchPtr keep(dispatch);
    ClearValueFields(v);
    v.ValueType = vtDispatch;
    v.DispValue = std::move(keep);
}

void MakeFunction(const IJFunctionPtr& function, TJValue& v) {
    IJFunctionPtr keep = function;
    ClearValueFields(v);
    v.ValueType = vtFunction;
    v.FuncValue = std::move(keep);
}

void MakeRegExp(const AnsiString& pattern, std::string_view flags, TJValue& v) {
    AnsiString keep = pattern;
    ClearValueFields(v);
    v.ValueType = vtRegExp;
    v.StrValue = std::move(keep);
    size_t n = flags.size() < 7 ? flags.size() : 7;
    v.RegExpFlags[0] = static_cast<char>(n);
    std::memcpy(v.RegExpFlags + 1, flags.data(), n);
}

// ==== Kind tests ====

namespace {

inline bool isKind(const TJValue* v, TJValueType kind) { return v && v->ValueType == kind; }

inline TJObject* objectOf(const TJValue* v) {
    return v && v->ValueType == vtObject ? v->ObjValue : nullptr;
}

inline bool functionOfType(const TJValue* v, TJFuncType type) {
    return isKind(v, vtFunction) && v->FuncValue && v->FuncValue->GetFuncType() == type;
}

}  // namespace

bool IsUndefinedValue(const TJValue* v) { return isKind(v, vtUndefined); }
bool IsNullValue(const TJValue* v) { return isKind(v, vtNull); }
bool IsIntegerValue(const TJValue* v) { return isKind(v, vtInteger); }
bool IsDoubleValue(const TJValue* v) { return isKind(v, vtDouble); }
bool IsBoolValue(const TJValue* v) { return isKind(v, vtBool); }
bool IsFunctionValue(const TJValue* v) { return isKind(v, vtFunction); }
bool IsInfinityValue(const TJValue* v) { return isKind(v, vtInfinity); }
bool IsNaNValue(const TJValue* v) { return isKind(v, vtNaN); }
bool IsDispatchValue(const TJValue* v) { return isKind(v, vtDispatch); }
bool IsRegExpValue(const TJValue* v) { return isKind(v, vtRegExp); }
bool IsEventValue(const TJValue* v) { return isKind(v, vtEvent); }
bool IsUndefinedOrNull(const TJValue* v) { return !v || v->ValueType == vtUndefined || v->ValueType == vtNull; }
bool IsObjectValue(const TJValue* v) { return objectOf(v) != nullptr; }

bool IsObjectOfClass(const TJValue* v, const TClassInfo* cls) {
    TJObject* object = objectOf(v);
    return object && cls && object->InheritsFrom(cls);
}

bool IsNumberObjectValue(const TJValue* v) { return IsObjectOfClass(v, JModuleHooks.NumberObject); }
bool IsStringObjectValue(const TJValue* v) { return IsObjectOfClass(v, JModuleHooks.StringObject); }
bool IsStringBufferValue(const TJValue* v) { return IsObjectOfClass(v, JModuleHooks.StringBufferObject); }
bool IsRegExpObjectValue(const TJValue* v) { return IsObjectOfClass(v, JModuleHooks.RegExpObject); }
bool IsVCLPersistentValue(const TJValue* v) { return IsObjectOfClass(v, JModuleHooks.VCLPersistent); }

bool IsNumberValue(const TJValue* v) {
    return isKind(v, vtInteger) || isKind(v, vtDouble) || IsNumberObjectValue(v);
}

bool IsStringValue(const TJValue* v) {
    return isKind(v, vtString) || IsStringObjectValue(v) || IsStringBufferValue(v);
}

bool IsArrayLikeValue(const TJValue* v) {
    TJObject* object = objectOf(v);
    return object && object->IsArrayLike();
}

bool IsScriptFunctionValue(const TJValue* v) { return functionOfType(v, ftScript); }
bool IsClassValue(const TJValue* v) { return functionOfType(v, ftClass); }
bool IsNamespaceValue(const TJValue* v) { return functionOfType(v, ftNamespace); }

bool IsNumericValue(const TJValue* v) {
    if (!v) return false;
    switch (v->ValueType) {
    case vtInteger: case vtDouble: case vtBool: return true;
    default: break;
    }
    if (IsStringValue(v)) {
        AnsiString text = ValueToString(v);
        double d;
        int32_t i;
        return textToFloat(text, d) || textToInt32(text, i);
    }
    return IsNumberObjectValue(v);
}

// ==== Conversions ====

bool ValueToBool(const TJValue* v) {
    if (!v) return false;
    switch (v->ValueType) {
    case vtInteger: return v->IntegerValue != 0;
    case vtDouble: return std::trunc(v->DoubleValue) != 0;
    case vtString: return !v->StrValue.empty();
    case vtObject: return v->ObjValue ? v->ObjValue->ToBool() : false;
    case vtBool: return v->BooleanValue;
    case vtFunction: case vtInfinity: case vtNaN: return true;
    case vtDispatch: return v->DispValue != nullptr;
    case vtRegExp: return !v->StrValue.empty();
    default: return false;  // undefined, null, event
    }
}

namespace {

double textToDouble(std::string_view text) {
    double d;
    if (textToFloat(text, d)) return d;
    int32_t i;
    if (textToInt32(text, i)) return i;
    return 0.0;
}

}  // namespace

int32_t ValueToInteger(const TJValue* v) {
    if (!v) return 0;
    switch (v->ValueType) {
    case vtInteger: return v->IntegerValue;
    case vtDouble: return roundToInt32(v->DoubleValue);
    case vtString: {
        int32_t i;
        return textToInt32(v->StrValue, i) ? i : 0;
    }
    case vtObject: return v->ObjValue ? roundToInt32(v->ObjValue->ToNumber()) : 0;
    case vtBool: return v->BooleanValue ? 1 : 0;
    default: return 0;
    }
}

double ValueToDouble(const TJValue* v) {
    if (!v) return 0.0;
    switch (v->ValueType) {
    case vtInteger: return v->IntegerValue;
    case vtDouble: return v->DoubleValue;
    case vtString: return textToDouble(v->StrValue);
    case vtObject: return v->ObjValue ? v->ObjValue->ToNumber() : 0.0;
    case vtBool: return v->BooleanValue ? 1.0 : 0.0;
    default: return 0.0;
    }
}

float ValueToSingle(const TJValue* v) { return static_cast<float>(ValueToDouble(v)); }

uint8_t ValueToChar(const TJValue* v) {
    if (!v) return 0;
    switch (v->ValueType) {
    case vtInteger: return static_cast<uint8_t>(v->IntegerValue);
    case vtBool: return v->BooleanValue ? 1 : 0;
    case vtDouble: {
        double t = std::trunc(v->DoubleValue);
        if (!(std::fabs(t) < 9.2e18)) return 0;
        return static_cast<uint8_t>(static_cast<int64_t>(t));
    }
    case vtString: return v->StrValue.empty() ? 0 : v->StrValue.byte(0);
    case vtObject: return v->ObjValue ? v->ObjValue->ToChar() : 0;
    default: return 0;
    }
}

AnsiString ValueToString(const TJValue* v) {
    if (!v) return {};
    switch (v->ValueType) {
    case vtUndefined: return "undefined";
    case vtNull: return "null";
    case vtInteger: return intToText(v->IntegerValue);
    case vtDouble: return floatToText(v->DoubleValue);
    case vtString: return v->StrValue;
    case vtObject: return v->ObjValue ? v->ObjValue->ToString(nullptr) : AnsiString("null");
    case vtBool: return v->BooleanValue ? "true" : "false";
    case vtFunction: return "function " + (v->FuncValue ? v->FuncValue->GetName() : AnsiString());
    case vtInfinity: return v->Negative ? "-infinity" : "infinity";
    case vtNaN: return "NaN";
    case vtDispatch:
        return "dispatch" + intToText(static_cast<long long>(reinterpret_cast<uintptr_t>(v->DispValue.get())));
    case vtRegExp: return "/" + v->StrValue + "/" + v->regExpFlags();
    case vtEvent: return {};
    }
    return {};
}

bool ValueToIndex(const TJValue& v, int32_t& index) {
    if (v.ValueType == vtInteger) {
        index = v.IntegerValue;
        return true;
    }
    double d = v.ValueType == vtDouble ? v.DoubleValue : 0.5;
    if (!(d >= INT32_MIN && d <= INT32_MAX) || d != std::trunc(d)) return false;
    index = static_cast<int32_t>(d);
    return true;
}

IDispatch* ValueToDispatch(const TJValue* v) {
    return isKind(v, vtDispatch) ? v->DispValue.get() : nullptr;
}

AnsiString ValueTypeName(const TJValue* v) {
    if (!v) return {};
    switch (v->ValueType) {
    case vtInteger: case vtDouble: case vtNaN: case vtInfinity: return "number";
    case vtObject: return "object";
    case vtString: return "string";
    case vtRegExp: return "regexp";
    case vtBool: return "boolean";
    case vtFunction: return "function";
    case vtUndefined: return "undefined";
    case vtNull: return "null";
    case vtDispatch: return "dispatch";
    case vtEvent: return "event";
    }
    return {};
}

const char* ValueKindName(TJValueType kind) {
    switch (kind) {
#define JVALUE_NAME(name) case name: return #name;
        JVALUE_TYPES(JVALUE_NAME)
#undef JVALUE_NAME
    }
    return "";
}
