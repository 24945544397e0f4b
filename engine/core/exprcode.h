// Expression node kinds of the syntax tree. The codes are stored in
// compiled-tree files and select the operator in the value routines
// (engine/core/operators.h), so their numbers never change.
#pragma once

#include <cstdint>

// X(name, code)
#define JEXPR_CODES(X)                                                                   \
    X(ecEmpty, 0) X(ecComma, 1) X(ecAdd, 2) X(ecSub, 3) X(ecDiv, 4) X(ecMul, 5)           \
    X(ecMod, 6) X(ecIntDiv, 7) X(ecAssign, 8) X(ecMulAssign, 9) X(ecDivAssign, 10)       \
    X(ecAddAssign, 11) X(ecSubAssign, 12) X(ecModAssign, 13) X(ecShlAssign, 14)          \
    X(ecShrAssign, 15) X(ecUShrAssign, 16) X(ecAndAssign, 17) X(ecXorAssign, 18)         \
    X(ecOrAssign, 19) X(ecConstant, 20) X(ecIdentifier, 21) X(ecPlus, 22) X(ecMinus, 23) \
    X(ecThis, 24) X(ecMember, 25) X(ecObjectEntry, 26) X(ecSuper, 27) X(ecNew, 28)       \
    X(ecObjectLiteral, 29) X(ecArrayLiteral, 30) X(ecCall, 31) X(ecArgument, 32)         \
    X(ecPreInc, 33) X(ecPreDec, 34) X(ecPostInc, 35) X(ecPostDec, 36) X(ecDelete, 37)    \
    X(ecVoid, 38) X(ecTypeOf, 39) X(ecNot, 40) X(ecOrShort, 41) X(ecOr, 42)              \
    X(ecAndShort, 43) X(ecAnd, 44) X(ecShl, 45) X(ecShr, 46) X(ecUShr, 47) X(ecLess, 48)  \
    X(ecGreater, 49) X(ecLessEqual, 50) X(ecGreaterEqual, 51) X(ecEqual, 52)             \
    X(ecNotEqual, 53) X(ecStrictEqual, 54) X(ecStrictNotEqual, 55) X(ecBitAnd, 56)       \
    X(ecBitXor, 57) X(ecBitOr, 58) X(ecBitNot, 59) X(ecConditional, 60)                  \
    X(ecFunction, 61) X(ecMethodCall, 62) X(ecForVar, 63)

enum TJExprCode : uint8_t {
#define JEXPR_ENUM(name, code) name = code,
    JEXPR_CODES(JEXPR_ENUM)
#undef JEXPR_ENUM
};
