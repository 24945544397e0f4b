// Operators on script values. Arithmetic faults are found from the results
// (an infinite or undefined double from finite operands, a zero divisor, an
// integer quotient beyond 32 bits) and turned into infinities or NaN, never
// into errors or hardware exceptions.
#include "engine/core/operators.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "engine/core/errors.h"

namespace {

[[noreturn]] void raiseKindError(const TJValue& operand) {
    raiseScriptError("ETypeError", ValueKindName(operand.ValueType));
}

// An integer or a double: a number that needs no operand check and no
// conversion (the general routines would give the same results).
inline bool isPlainNumber(const TJValue& v) { return v.ValueType == vtInteger || v.ValueType == vtDouble; }

inline double toDouble(const TJValue& v) {
    if (v.ValueType == vtInteger) return v.IntegerValue;
    if (v.ValueType == vtDouble) return v.DoubleValue;
    return ValueToDouble(&v);
}

inline int32_t toInteger(const TJValue& v) { return v.ValueType == vtInteger ? v.IntegerValue : ValueToInteger(&v); }

// ==== Arithmetic ====

void addValues(const TJValue& l, const TJValue& r, TJValue& result) {
    if (IsStringValue(&l) || IsStringValue(&r)) {
        AnsiString left = ValueToString(&l), right = ValueToString(&r);
        CheckStringSize(static_cast<uint64_t>(left.length()) + right.length());
        MakeString(left + right, result);
        return;
    }
    AddNumbers(ValueToDouble(&l), ValueToDouble(&r), result);
}


// The result of a division fault: infinity signed by the operands, or NaN
// when both are zero.
template <class T>
void divisionFault(T a, T b, TJValue& result) {
    if (a != 0 || b != 0) MakeInfinity((a < 0) != (b < 0), result);
    else MakeNaN(result);
}

void divideValues(const TJValue& l, const TJValue& r, TJValue& result) {
    double a = toDouble(l), b = toDouble(r);
    double x = b != 0 ? a / b : 0;
    if (b != 0 && std::isfinite(x)) MakeDouble(x, result);
    else divisionFault(a, b, result);
}

void moduloValues(const TJValue& l, const TJValue& r, TJValue& result) {
    int32_t a = toInteger(l), b = toInteger(r);
    if (b == 0) MakeNaN(result);
    else if (b == -1) MakeInteger(0, result);  // also INT_MIN % -1
    else MakeInteger(a % b, result);
}

void integerDivideValues(const TJValue& l, const TJValue& r, TJValue& result) {
    int32_t a = toInteger(l), b = toInteger(r);
    if (b == 0) divisionFault(a, b, result);
    else if (a == INT32_MIN && b == -1) MakeDouble(2147483648.0, result);  // the quotient exceeds 32 bits
    else MakeInteger(a / b, result);
}

void shiftOrBitValues(TJExprCode kind, const TJValue& l, const TJValue& r, TJValue& result) {
    uint32_t a = static_cast<uint32_t>(toInteger(l));
    uint32_t b = static_cast<uint32_t>(toInteger(r));
    uint32_t x = 0;
    switch (kind) {
    case ecShl: x = a << (b & 31); break;
    case ecShr: case ecUShr: x = a >> (b & 31); break;  // neither keeps the sign
    case ecBitAnd: x = a & b; break;
    case ecBitXor: x = a ^ b; break;
    default: x = a | b; break;
    }
    MakeInteger(static_cast<int32_t>(x), result);
}

// ==== Ordering ====

bool isInfinity(const TJValue& v) { return v.ValueType == vtInfinity; }

template <class T>
bool ordered(TJExprCode kind, T a, T b) {
    switch (kind) {
    case ecLess: return a < b;
    case ecGreater: return a > b;
    case ecLessEqual: return a <= b;
    default: return a >= b;
    }
}

bool orderInfinities(TJExprCode kind, const TJValue& l, const TJValue& r) {
    bool li = isInfinity(l), ri = isInfinity(r);
    bool lessKind = kind == ecLess || kind == ecLessEqual;
    if (li && !ri) return lessKind ? l.Negative : !l.Negative;
    if (ri && !li) return lessKind ? !r.Negative : r.Negative;
    switch (kind) {
    case ecLess: return l.Negative && !r.Negative;
    case ecGreater: return !l.Negative && r.Negative;
    case ecLessEqual: return l.Negative;
    default: return r.Negative;
    }
}

int compareBytes(const AnsiString& a, const AnsiString& b) {
    size_t n = a.length() < b.length() ? a.length() : b.length();
    int c = n ? std::memcmp(a.c_str(), b.c_str(), n) : 0;  // memcmp compares unsigned bytes
    if (c != 0) return c;
    return a.length() < b.length() ? -1 : a.length() > b.length() ? 1 : 0;
}

bool orderValues(TJExprCode kind, const TJValue& l, const TJValue& r) {
    if (l.ValueType == vtInteger && r.ValueType == vtInteger) return ordered(kind, l.IntegerValue, r.IntegerValue);
    if (isPlainNumber(l) && isPlainNumber(r)) return ordered(kind, toDouble(l), toDouble(r));
    bool lNumber = isInfinity(l) || IsNumericValue(&l);
    bool rNumber = isInfinity(r) || IsNumericValue(&r);
    if (lNumber && rNumber) {
        if (isInfinity(l) || isInfinity(r)) return orderInfinities(kind, l, r);
        return ordered(kind, ValueToDouble(&l), ValueToDouble(&r));
    }
    if (l.ValueType == vtNaN || r.ValueType == vtNaN) return false;
    return ordered(kind, compareBytes(ValueToString(&l), ValueToString(&r)), 0);
}

void checkOperands(const TJValue& l, const TJValue& r) {
    if (l.ValueType == vtUndefined || r.ValueType == vtUndefined) raiseScriptError("ENameError", AnsiString());
    auto unsuitable = [](const TJValue& v) {
        return v.ValueType == vtFunction || v.ValueType == vtInfinity || v.ValueType == vtNaN;
    };
    if (unsuitable(l) || unsuitable(r))
        raiseScriptError("ETypeError", AnsiString(ValueKindName(l.ValueType)) + " - " + ValueKindName(r.ValueType));
}

}  // namespace

// ==== Equality ====

namespace {

bool sameKindEquals(const TJValue& l, const TJValue& r) {
    switch (l.ValueType) {
    case vtInteger: return l.IntegerValue == r.IntegerValue;
    case vtDouble: return l.DoubleValue == r.DoubleValue;
    case vtUndefined: case vtNull: return true;
    case vtString: return l.StrValue == r.StrValue;
    case vtObject:
        if (IsStringValue(&l) && IsStringValue(&r)) return ValueToString(&l) == ValueToString(&r);
        return l.ObjValue == r.ObjValue;
    case vtBool: return l.BooleanValue == r.BooleanValue;
    case vtFunction: return l.FuncValue == r.FuncValue;
    case vtInfinity: return l.Negative == r.Negative;
    case vtDispatch: return l.DispValue == r.DispValue;
    default: return false;  // NaN, regular expressions, events
    }
}

}  // namespace

bool StrictEquals(const TJValue& l, const TJValue& r) {
    return l.ValueType == r.ValueType && sameKindEquals(l, r);
}

bool LooseEquals(const TJValue& l, const TJValue& r) {
    if (l.ValueType == r.ValueType) return sameKindEquals(l, r);
    if (isPlainNumber(l) && isPlainNumber(r)) return toDouble(l) == toDouble(r);
    if (IsStringValue(&l) && IsStringValue(&r)) return ValueToString(&l) == ValueToString(&r);
    if (IsNumericValue(&l) && IsNumericValue(&r)) return ValueToDouble(&l) == ValueToDouble(&r);
    if (IsUndefinedOrNull(&l) && IsUndefinedOrNull(&r)) return true;
    if (l.ValueType == vtNaN || r.ValueType == vtNaN) return false;
    return ValueToString(&l) == ValueToString(&r);
}

// ==== Entry points ====

void ApplyUnaryOperator(TJExprCode kind, const TJValue& operand, TJValue& result) {
    if (operand.ValueType == vtUndefined) raiseScriptError("ENameError", AnsiString());
    if (operand.ValueType == vtFunction || operand.ValueType == vtNaN) raiseKindError(operand);
    switch (kind) {
    case ecPlus:
        if (operand.ValueType == vtDouble || operand.ValueType == vtInfinity) {
            if (&result != &operand) result = operand;
        } else {
            MakeInteger(ValueToInteger(&operand), result);
        }
        return;
    case ecMinus:
        if (operand.ValueType == vtDouble) MakeDouble(0 - operand.DoubleValue, result);
        else if (operand.ValueType == vtInfinity) MakeInfinity(!operand.Negative, result);
        else if (int32_t i = ValueToInteger(&operand); i == INT32_MIN) MakeDouble(2147483648.0, result);
        else MakeInteger(-i, result);
        return;
    case ecBitNot:
        if (operand.ValueType == vtInfinity) raiseKindError(operand);
        MakeInteger(~ValueToInteger(&operand), result);
        return;
    default:
        MakeUndefined(result);
    }
}

void ApplyBinaryOperator(TJExprCode kind, const TJValue& l, const TJValue& r, TJValue& result) {
    bool numbers = isPlainNumber(l) && isPlainNumber(r);
    if (!numbers) checkOperands(l, r);
    switch (kind) {
    case ecAdd:
        if (numbers) AddNumbers(toDouble(l), toDouble(r), result);
        else addValues(l, r, result);
        return;
    case ecSub: SubtractNumbers(toDouble(l), toDouble(r), result); return;
    case ecDiv: divideValues(l, r, result); return;
    case ecMul: MultiplyNumbers(toDouble(l), toDouble(r), result); return;
    case ecMod: moduloValues(l, r, result); return;
    case ecIntDiv: integerDivideValues(l, r, result); return;
    case ecShl: case ecShr: case ecUShr: case ecBitAnd: case ecBitXor: case ecBitOr:
        shiftOrBitValues(kind, l, r, result);
        return;
    default:
        MakeUndefined(result);
    }
}

void ApplyCompoundOperator(TJExprCode kind, const TJValue& l, const TJValue& r, TJValue& result) {
    TJExprCode binary;
    switch (kind) {
    case ecMulAssign: binary = ecMul; break;
    case ecDivAssign: binary = ecDiv; break;
    case ecAddAssign: binary = ecAdd; break;
    case ecSubAssign: binary = ecSub; break;
    case ecModAssign: binary = ecMod; break;
    case ecShlAssign: binary = ecShl; break;
    case ecShrAssign: binary = ecShr; break;
    case ecUShrAssign: binary = ecUShr; break;
    case ecAndAssign: binary = ecBitAnd; break;
    case ecXorAssign: binary = ecBitXor; break;
    case ecOrAssign: binary = ecBitOr; break;
    default: MakeUndefined(result); return;
    }
    ApplyBinaryOperator(binary, l, r, result);
}

void CompareValues(TJExprCode kind, const TJValue& l, const TJValue& r, TJValue& result) {
    bool answer = false;
    switch (kind) {
    case ecNot: answer = !ValueToBool(&l); break;
    case ecOrShort: case ecOr: answer = ValueToBool(&l) || ValueToBool(&r); break;
    case ecAndShort: case ecAnd: answer = ValueToBool(&l) && ValueToBool(&r); break;
    case ecLess: case ecGreater: case ecLessEqual: case ecGreaterEqual: answer = orderValues(kind, l, r); break;
    case ecEqual: answer = LooseEquals(l, r); break;
    case ecNotEqual: answer = !LooseEquals(l, r); break;
    case ecStrictEqual: answer = StrictEquals(l, r); break;
    case ecStrictNotEqual: answer = !StrictEquals(l, r); break;
    default: break;
    }
    MakeBool(answer, result);
}
