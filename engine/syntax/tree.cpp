// The syntax-tree factories: node allocation and ownership, the constant
// makers, and the folding of operators whose operands are constants (the
// same operator routines the evaluator runs). Used by the parser and by the
// compiled-tree reader.
#include "engine/syntax/tree.h"

#include <algorithm>

#include "engine/core/object.h"
#include "engine/core/operators.h"
#include "engine/core/scope.h"
#include "rtl/exceptions.h"

TJExpr::TJExpr() = default;
TJExpr::~TJExpr() = default;

// ==== Constant folding ====
// The one place where the parser computes values: an operator that raises
// (NaN + 1) is left unfolded, so the error comes with its line when and if
// that code runs.

namespace {

bool foldsAsUnary(TJExprCode code) {
    return code == ecPlus || code == ecMinus || code == ecBitNot;
}

bool foldsAsArithmetic(TJExprCode code) {
    return (code >= ecAdd && code <= ecIntDiv) || (code >= ecShl && code <= ecUShr) ||
           (code >= ecBitAnd && code <= ecBitOr);
}

bool foldsAsComparison(TJExprCode code) {
    return (code >= ecOrShort && code <= ecAnd) || (code >= ecLess && code <= ecStrictNotEqual);
}

bool foldUnary(TJExprCode code, const TJValue& operand, TJValue& result) {
    try {
        ApplyUnaryOperator(code, operand, result);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool foldBinary(TJExprCode code, const TJValue& left, const TJValue& right, TJValue& result) {
    try {
        if (foldsAsComparison(code))
            CompareValues(code, left, right, result);
        else
            ApplyBinaryOperator(code, left, right, result);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

}  // namespace

// ==== Expression factory ====

TJExpr* TJExprFactory::NewExpr(TJExprCode code) {
    TJExpr* node = pool_.make();
    nodes_.push_back(node);  // a slot lost to a failed push holds nothing
    node->Code = code;
    return node;
}

TJExpr* TJExprFactory::MakeUnary(TJExprCode code, TJExpr* operand) {
    if (foldsAsUnary(code) && IsConstantExpr(operand)) {
        TJValue result;
        if (foldUnary(code, *operand->Value, result)) {
            *operand->Value = result;
            return operand;
        }
    }
    TJExpr* node = NewExpr(code);
    node->Left = operand;
    return node;
}

TJExpr* TJExprFactory::MakeBinary(TJExprCode code, TJExpr* left, TJExpr* right) {
    if ((foldsAsArithmetic(code) || foldsAsComparison(code)) &&
        IsConstantExpr(left) && IsConstantExpr(right)) {
        auto result = std::make_unique<TJValue>();
        if (foldBinary(code, *left->Value, *right->Value, *result)) {
            free(right);
            free(left);
            return MakeConstant(std::move(result));
        }
    }
    TJExpr* node = NewExpr(code);
    node->Left = left;
    node->Right = right;
    return node;
}

TJExpr* TJExprFactory::MakeTernary(TJExprCode code, TJExpr* left, TJExpr* third, TJExpr* right) {
    TJExpr* node = NewExpr(code);
    node->Left = left;
    node->Right = right;
    node->Third = third;
    return node;
}

TJExpr* TJExprFactory::MakeConstant(std::unique_ptr<TJValue> value) {
    TJExpr* node = NewExpr(ecConstant);
    node->Value = std::move(value);
    return node;
}

TJExpr* TJExprFactory::MakeInteger(int32_t number) {
    auto value = std::make_unique<TJValue>();
    ::MakeInteger(number, *value);
    return MakeConstant(std::move(value));
}

TJExpr* TJExprFactory::MakeDouble(double number) {
    auto value = std::make_unique<TJValue>();
    ::MakeDouble(number, *value);
    return MakeConstant(std::move(value));
}

TJExpr* TJExprFactory::MakeNull() {
    auto value = std::make_unique<TJValue>();
    ::MakeNull(*value);
    return MakeConstant(std::move(value));
}

TJExpr* TJExprFactory::MakeBool(bool flag) {
    auto value = std::make_unique<TJValue>();
    ::MakeBool(flag, *value);
    return MakeConstant(std::move(value));
}

TJExpr* TJExprFactory::MakeString(const AnsiString& text) {
    auto value = std::make_unique<TJValue>();
    ::MakeString(text, *value);
    return MakeConstant(std::move(value));
}

TJExpr* TJExprFactory::MakeNaN() {
    auto value = std::make_unique<TJValue>();
    ::MakeNaN(*value);
    return MakeConstant(std::move(value));
}

TJExpr* TJExprFactory::MakeRegExp(const AnsiString& pattern, std::string_view flags) {
    auto value = std::make_unique<TJValue>();
    ::MakeRegExp(pattern, flags, *value);
    return MakeConstant(std::move(value));
}

TJExpr* TJExprFactory::MakeIdentifier(const AnsiString& name) {
    TJExpr* node = NewExpr(ecIdentifier);
    node->Name = name;
    return node;
}

TJExpr* TJExprFactory::MakeThis() { return NewExpr(ecThis); }

TJExpr* TJExprFactory::MakeArgument(TJExpr* previous, TJExpr* item) {
    TJExpr* node = NewExpr(ecArgument);
    node->Left = previous;
    node->Right = item;
    return node;
}

TJExpr* TJExprFactory::MakeEntry(TJExpr* key, TJExpr* value) {
    TJExpr* node = NewExpr(ecObjectEntry);
    node->Left = key;
    node->Right = value;
    return node;
}

TJExpr* TJExprFactory::MakeSuperMember(TJExpr* name) {
    TJExpr* node = NewExpr(ecSuper);
    node->Right = name;
    return node;
}

TJExpr* TJExprFactory::MakeFunction(TJStatement* function) {
    TJExpr* node = NewExpr(ecFunction);
    node->Func = function;
    return node;
}

void TJExprFactory::free(TJExpr* node) {
    // Folded operands are nearly always the newest nodes: search from the end.
    auto it = std::find(nodes_.rbegin(), nodes_.rend(), node);
    if (it != nodes_.rend()) {
        nodes_.erase(std::next(it).base());
        pool_.destroy(node);
    }
}

void TJExprFactory::FreeSince(size_t mark) {
    while (nodes_.size() > mark) {
        pool_.destroy(nodes_.back());
        nodes_.pop_back();
    }
}

void TJExprFactory::Clear() { pool_.clear(nodes_); }

// ==== Statement factory ====

TJStatement* TJStatementFactory::NewStatement(TJStatementCode kind, int32_t lineNo) {
    TJStatement* node = pool_.make();
    nodes_.push_back(node);
    node->Kind = kind;
    node->LineNo = lineNo;
    return node;
}

TJStatement* TJStatementFactory::FirstOf(TJStatement* node) {
    if (node)
        while (node->Prev) node = node->Prev;
    return node;
}

TJStatement* TJStatementFactory::LastOf(TJStatement* node) {
    if (node)
        while (node->Next) node = node->Next;
    return node;
}

void TJStatementFactory::LinkStatements(TJStatement* a, TJStatement* b) {
    if (a) a->Next = b;
    if (b) b->Prev = a;
}

void TJStatementFactory::FreeSince(size_t mark) {
    while (nodes_.size() > mark) {
        pool_.destroy(nodes_.back());
        nodes_.pop_back();
    }
}

void TJStatementFactory::Clear() { pool_.clear(nodes_); }
