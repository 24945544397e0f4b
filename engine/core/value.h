// TJValue: one script value, with the builders that make it, the tests of its
// kind and its conversions to booleans, numbers and texts. The evaluator, the
// parser's constant folding, every script object and the host code build and
// read values only through these routines. Operators: engine/core/operators.h.
#pragma once

#include <cstdint>
#include <utility>

#include "engine/core/ijfunction.h"
#include "rtl/ansistring.h"
#include "rtl/intf.h"
#include "rtl/reflection.h"

class TJObject;
class TJValueList;
class TJRuntime;

// X(name): the kinds in their stored order (compiled-tree files keep the codes).
#define JVALUE_TYPES(X)                                                                    \
    X(vtUndefined) X(vtNull) X(vtInteger) X(vtDouble) X(vtString) X(vtObject) X(vtBool)    \
    X(vtFunction) X(vtInfinity) X(vtNaN) X(vtDispatch) X(vtRegExp) X(vtEvent)

enum TJValueType : uint8_t {
#define JVALUE_ENUM(name) name,
    JVALUE_TYPES(JVALUE_ENUM)
#undef JVALUE_ENUM
};

// A set of value kinds (bit n = kind n), for member listing and removal.
using TJValueTypes = uint16_t;
constexpr TJValueTypes kindSet(TJValueType kind) { return static_cast<TJValueTypes>(1u << kind); }
template <class... K>
constexpr TJValueTypes kindSet(TJValueType first, K... rest) { return kindSet(first) | kindSet(rest...); }

using IDispatchPtr = TIntf<IDispatch>;

// One script value. The string, the dispatch interface and the function are
// counted by the record; the object is not (the containers that store a value
// count it). The fields share one union: only the kind's own is to be read.
// Every builder clears the record first; making, copying and ending a record
// touch a counted field only for the kind that holds one.
struct TJValue {
    TJValueType ValueType = vtUndefined;
    char RegExpFlags[8];  // vtRegExp: length byte, then up to 7 flag letters
    union {
        AnsiString StrValue;       // vtString text, vtRegExp pattern
        IDispatchPtr DispValue;    // vtDispatch
        IJFunctionPtr FuncValue;   // vtFunction
        int32_t IntegerValue;      // vtInteger
        double DoubleValue;        // vtDouble
        TJObject* ObjValue;        // vtObject
        bool BooleanValue;         // vtBool
        bool Negative;             // vtInfinity
        TMethod EventValue;        // vtEvent (the widest: copying it copies them all)
    };

    TJValue() noexcept : EventValue{} {}
    TJValue(const TJValue& other) noexcept : ValueType(other.ValueType), EventValue(other.EventValue) {
        copyHeld(other);
    }
    // The source keeps its kind with a nil counted field.
    TJValue(TJValue&& other) noexcept : ValueType(other.ValueType), EventValue(other.EventValue) {
        moveHeld(other);
    }
    TJValue& operator=(const TJValue& other) noexcept {
        if (holdsCounted()) {
            replaceCounted(other);
        } else {
            takeUncounted(other);
            copyHeld(other);
        }
        return *this;
    }
    TJValue& operator=(TJValue&& other) noexcept {
        if (holdsCounted()) {
            replaceCounted(std::move(other));
        } else {
            takeUncounted(other);
            moveHeld(other);
        }
        return *this;
    }
    ~TJValue() { releaseHeld(); }

    // The flag letters of a regular-expression literal.
    std::string_view regExpFlags() const { return {RegExpFlags + 1, static_cast<uint8_t>(RegExpFlags[0])}; }

private:
    friend void ClearValueFields(TJValue& v);

    bool holdsCounted() const noexcept {
        return (kindSet(vtString, vtRegExp, vtDispatch, vtFunction) >> ValueType) & 1;
    }
    // The kind and the union's bytes; copyHeld or moveHeld then takes a counted field.
    void takeUncounted(const TJValue& other) noexcept {
        ValueType = other.ValueType;
        EventValue = other.EventValue;
    }
    // Both take other's counted field (and a literal's flags) over the bytes
    // just copied.
    void copyHeld(const TJValue& other) noexcept { if (other.holdsCounted()) copyCounted(other); }
    void moveHeld(TJValue& other) noexcept { if (other.holdsCounted()) moveCounted(other); }
    void releaseHeld() noexcept { if (holdsCounted()) releaseCounted(); }
    // Out of line: most values are numbers, and the evaluator inlines the rest.
    void copyCounted(const TJValue& other) noexcept;
    void moveCounted(TJValue& other) noexcept;
    void releaseCounted() noexcept;
    // This record holding a counted field takes a copy of other, or other
    // itself, in its place.
    void replaceCounted(const TJValue& other) noexcept;
    void replaceCounted(TJValue&& other) noexcept;
};
static_assert(sizeof(TJValue) == (sizeof(void*) == 8 ? 32 : 24));

// ==== Builders (the destination last) ====

// Clears every field but leaves the kind to the caller.
inline void ClearValueFields(TJValue& v) {
    v.releaseHeld();
    v.EventValue = TMethod{};
}

// The builders the evaluator calls for nearly every node are inline.
inline void MakeUndefined(TJValue& v) { ClearValueFields(v); v.ValueType = vtUndefined; }
inline void MakeNull(TJValue& v) { ClearValueFields(v); v.ValueType = vtNull; }
inline void MakeInteger(int32_t i, TJValue& v) { ClearValueFields(v); v.ValueType = vtInteger; v.IntegerValue = i; }
inline void MakeDouble(double d, TJValue& v) { ClearValueFields(v); v.ValueType = vtDouble; v.DoubleValue = d; }
inline void MakeBool(bool b, TJValue& v) { ClearValueFields(v); v.ValueType = vtBool; v.BooleanValue = b; }
// nil gives null
inline void MakeObject(TJObject* object, TJValue& v) {
    ClearValueFields(v);
    v.ValueType = object ? vtObject : vtNull;
    v.ObjValue = object;
}
void MakeString(const AnsiString& s, TJValue& value);
void MakeInfinity(bool negative, TJValue& value);
void MakeNaN(TJValue& value);
void MakeDispatch(IDispatch* dispatch, TJValue& value);
void MakeEvent(const TMethod& method, TJValue& value);
void MakeFunction(const IJFunctionPtr& function, TJValue& value);
// A regular-expression literal; flags beyond seven letters are cut.
void MakeRegExp(const AnsiString& pattern, std::string_view flags, TJValue& value);

// ==== Kind tests (a nil value is no kind) ====

bool IsUndefinedValue(const TJValue* v);
bool IsNullValue(const TJValue* v);
bool IsIntegerValue(const TJValue* v);
bool IsDoubleValue(const TJValue* v);
bool IsBoolValue(const TJValue* v);
bool IsFunctionValue(const TJValue* v);
bool IsInfinityValue(const TJValue* v);
bool IsNaNValue(const TJValue* v);
bool IsDispatchValue(const TJValue* v);
bool IsRegExpValue(const TJValue* v);
bool IsEventValue(const TJValue* v);
bool IsUndefinedOrNull(const TJValue* v);  // true for nil too
bool IsObjectValue(const TJValue* v);      // an object value with an object
bool IsNumberValue(const TJValue* v);      // integer, double or Number object
bool IsStringValue(const TJValue* v);      // text, String or string-buffer object
bool IsStringBufferValue(const TJValue* v);
bool IsNumberObjectValue(const TJValue* v);
bool IsStringObjectValue(const TJValue* v);
bool IsRegExpObjectValue(const TJValue* v);
bool IsVCLPersistentValue(const TJValue* v);
bool IsArrayLikeValue(const TJValue* v);
bool IsScriptFunctionValue(const TJValue* v);  // FuncType script
bool IsClassValue(const TJValue* v);           // FuncType class
bool IsNamespaceValue(const TJValue* v);       // FuncType namespace
bool IsNumericValue(const TJValue* v);
// An object value whose object is of the class (or a descendant); false for a
// nil class record.
bool IsObjectOfClass(const TJValue* v, const TClassInfo* cls);

// ==== Conversions (a nil value converts like undefined; its text is "") ====

bool ValueToBool(const TJValue* v);
int32_t ValueToInteger(const TJValue* v);
double ValueToDouble(const TJValue* v);
float ValueToSingle(const TJValue* v);
uint8_t ValueToChar(const TJValue* v);
AnsiString ValueToString(const TJValue* v);
IDispatch* ValueToDispatch(const TJValue* v);  // borrowed; nil unless vtDispatch
// An integer, or a whole double within 32 bits: the number whose decimal
// text the value's text is (-0 reads as 0); false for anything else.
bool ValueToIndex(const TJValue& v, int32_t& index);
// The result of typeof: "number", "object", "string", ...
AnsiString ValueTypeName(const TJValue* v);
// The kind's own name: "vtInteger", "vtNaN", ...
const char* ValueKindName(TJValueType kind);

// Reference forms of the kind tests and conversions used most.
inline bool IsUndefinedValue(const TJValue& v) { return v.ValueType == vtUndefined; }
inline bool IsNullValue(const TJValue& v) { return v.ValueType == vtNull; }
inline bool IsIntegerValue(const TJValue& v) { return v.ValueType == vtInteger; }
inline bool IsDoubleValue(const TJValue& v) { return v.ValueType == vtDouble; }
inline bool IsBoolValue(const TJValue& v) { return v.ValueType == vtBool; }
inline bool IsFunctionValue(const TJValue& v) { return v.ValueType == vtFunction; }
inline bool IsUndefinedOrNull(const TJValue& v) { return v.ValueType == vtUndefined || v.ValueType == vtNull; }
inline bool IsObjectValue(const TJValue& v) { return v.ValueType == vtObject && v.ObjValue; }
inline bool IsStringValue(const TJValue& v) { return IsStringValue(&v); }
inline bool IsNumberValue(const TJValue& v) { return IsNumberValue(&v); }
inline bool IsNumericValue(const TJValue& v) { return IsNumericValue(&v); }
inline bool IsArrayLikeValue(const TJValue& v) { return IsArrayLikeValue(&v); }
inline bool ValueToBool(const TJValue& v) { return v.ValueType == vtBool ? v.BooleanValue : ValueToBool(&v); }
inline int32_t ValueToInteger(const TJValue& v) { return v.ValueType == vtInteger ? v.IntegerValue : ValueToInteger(&v); }
inline double ValueToDouble(const TJValue& v) { return ValueToDouble(&v); }
inline uint8_t ValueToChar(const TJValue& v) { return ValueToChar(&v); }
inline AnsiString ValueToString(const TJValue& v) { return ValueToString(&v); }
inline AnsiString ValueTypeName(const TJValue& v) { return ValueTypeName(&v); }
