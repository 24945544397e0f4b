// The dialect's operators on script values: unary, binary and compound
// arithmetic, shifts and bit operations, ordering, loose and strict equality
// and the logical operators. The evaluator and the parser's constant folding
// call them with the expression kind code as the operator. The result may be
// one of the operands.
#pragma once

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

// Two integers ordered, compared or taking a remainder, made inline for the
// evaluator's most frequent operators, with the results of the routines
// above; false, nothing made, for any other operator or operands.
inline bool ApplyIntegerOperator(TJExprCode kind, const TJValue& left, const TJValue& right, TJValue& result) {
    if (left.ValueType != vtInteger || right.ValueType != vtInteger) return false;
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
    default: return false;
    }
}
