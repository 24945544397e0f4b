// The dialect's operators on script values: unary, binary and compound
// arithmetic, shifts and bit operations, ordering, loose and strict equality
// and the logical operators. The evaluator and the parser's constant folding
// call them with the expression kind code as the operator. The result may be
// one of the operands.
#pragma once

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
