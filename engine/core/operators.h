// The dialect's operators on script values: unary, binary and compound
// arithmetic, shifts and bit operations, ordering, loose and strict equality
// and the logical operators. The evaluator and the parser's constant folding
// call them with the expression kind code as the operator. The result may be
// one of the operands.
#pragma once

#include <cmath>
#include <cstdint>

#include "engine/core/exprcode.h"
#include "engine/core/value.h"

// ecPlus, ecMinus, ecBitNot.
void ApplyUnaryOperator(TJExprCode kind, const TJValue& operand, TJValue& result);
// ecAdd .. ecIntDiv, ecShl .. ecUShr, ecBitAnd .. ecBitOr; other kinds give undefined.
void ApplyBinaryOperator(TJExprCode kind, const TJValue& left, const TJValue& right, TJValue& result);
// ecMulAssign .. ecOrAssign through their binary operator; other kinds give undefined.
void ApplyCompoundOperator(TJExprCode kind, const TJValue& left, const TJValue& right, TJValue& result);
// ecNot (on the left operand), ecOrShort .. ecAnd, ecLess .. ecStrictNotEqual:
// always a boolean.
void CompareValues(TJExprCode kind, const TJValue& left, const TJValue& right, TJValue& result);

// The comparisons themselves.
bool StrictEquals(const TJValue& left, const TJValue& right);
bool LooseEquals(const TJValue& left, const TJValue& right);

// ==== Inline forms ====
// The evaluator's most frequent operators, made inline with the results of
// the routines above.

// Sums, differences and products of numbers: a double, or an infinity when
// the result overflows.
inline void AddNumbers(double a, double b, TJValue& result) {
    double x = a + b;
    if (std::isfinite(x)) MakeDouble(x, result);
    else MakeInfinity(a < 0, result);
}
inline void SubtractNumbers(double a, double b, TJValue& result) {
    double x = a - b;
    if (std::isfinite(x)) MakeDouble(x, result);
    else MakeInfinity(a < 0, result);
}
inline void MultiplyNumbers(double a, double b, TJValue& result) {
    double x = a * b;
    if (std::isfinite(x)) MakeDouble(x, result);
    else MakeInfinity((a < 0) != (b < 0), result);
}

// Two integers ordered, compared or taking a remainder, and two integers or
// doubles added, subtracted or multiplied; false, nothing made, for any other
// operator or operands.
inline bool ApplyNumberOperator(TJExprCode kind, const TJValue& left, const TJValue& right, TJValue& result) {
    if (left.ValueType == vtInteger && right.ValueType == vtInteger) {
        int32_t a = left.IntegerValue, b = right.IntegerValue;
        switch (kind) {
        case ecLess: MakeBool(a < b, result); return true;
        case ecGreater: MakeBool(a > b, result); return true;
        case ecLessEqual: MakeBool(a <= b, result); return true;
        case ecGreaterEqual: MakeBool(a >= b, result); return true;
        case ecEqual: case ecStrictEqual: MakeBool(a == b, result); return true;
        case ecNotEqual: case ecStrictNotEqual: MakeBool(a != b, result); return true;
        case ecMod:
            if (b == 0 || b == -1) return false;  // NaN, and 0 also for INT32_MIN % -1
            MakeInteger(a % b, result);
            return true;
        default: break;
        }
    }
    auto plain = [](const TJValue& v) { return v.ValueType == vtInteger || v.ValueType == vtDouble; };
    if ((kind != ecAdd && kind != ecSub && kind != ecMul) || !plain(left) || !plain(right)) return false;
    double a = left.ValueType == vtInteger ? left.IntegerValue : left.DoubleValue;
    double b = right.ValueType == vtInteger ? right.IntegerValue : right.DoubleValue;
    switch (kind) {
    case ecAdd: AddNumbers(a, b, result); return true;
    case ecSub: SubtractNumbers(a, b, result); return true;
    case ecMul: MultiplyNumbers(a, b, result); return true;
    default: return false;
    }
}
