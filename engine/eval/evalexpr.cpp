// The evaluator's expressions: EvaluateExpression over every expression kind,
// assignment targets, member access on any value with the boxing of
// primitives, argument lists, and the call, index and method-call forms.
// Binary operators and arguments are evaluated right to left.
#include <array>
#include <cstdint>
#include <new>
#include <vector>

#include "engine/core/array.h"
#include "engine/eval/engine.h"
#include "engine/core/errors.h"
#include "engine/core/factory.h"
#include "engine/core/function.h"
#include "engine/core/hooks.h"
#include "engine/core/jhash.h"
#include "engine/eval/objecthold.h"
#include "engine/core/object.h"
#include "engine/core/operators.h"
#include "engine/core/scope.h"
#include "engine/syntax/tree.h"
#include "engine/core/valuelist.h"
#include "engine/support/mbstring.h"

namespace {

// The binary kinds evaluated right operand first and combined afterwards.
bool isRightFirstBinary(TJExprCode code) {
    return (code >= ecAdd && code <= ecIntDiv) || (code >= ecShl && code <= ecUShr) ||
           (code >= ecBitAnd && code <= ecBitOr) || code == ecOr || code == ecAnd ||
           (code >= ecLess && code <= ecStrictNotEqual);
}

bool isShortCircuit(const TJExpr* node) {
    return node && (node->Code == ecOrShort || node->Code == ecAndShort);
}

// Called, not inlined: its number forms would grow every binary routine's frame.
[[gnu::noinline]] void applyBinary(TJExprCode code, const TJValue& left, const TJValue& right, TJValue& result) {
    if (ApplyNumberOperator(code, left, right, result)) return;
    if ((code >= ecLess && code <= ecStrictNotEqual) || code == ecOr || code == ecAnd)
        CompareValues(code, left, right, result);
    else
        ApplyBinaryOperator(code, left, right, result);
}

// The links of an operator chain (or an object literal's entries), from the
// top down; the usual short chains keep them on the stack, so that evaluating
// one allocates nothing, and only as many are made as the chain has.
template <class Link>
class TChainLinks {
public:
    explicit TChainLinks(size_t count) : count_(count) {
        if (count > shortChain) more_.resize(count);
        else
            for (size_t i = 0; i < count; ++i) new (&few_[i].Value) Link();
    }
    ~TChainLinks() {
        if (count_ <= shortChain)
            for (size_t i = count_; i-- > 0;) few_[i].Value.~Link();
    }
    TChainLinks(const TChainLinks&) = delete;
    TChainLinks& operator=(const TChainLinks&) = delete;
    Link& operator[](size_t i) { return count_ > shortChain ? more_[i] : few_[i].Value; }

private:
    union Slot {
        Slot() {}
        ~Slot() {}
        Link Value;
    };
    static constexpr size_t shortChain = 8;
    size_t count_;
    Slot few_[shortChain];
    std::vector<Link> more_;
};

// The values of a direct call's arguments in the caller's frame: only as
// many are made as the call has.
template <size_t Limit>
class TArgumentValues {
public:
    explicit TArgumentValues(int count) : count_(count) {
        for (int i = 0; i < count_; ++i) new (&slots_[i].Value) TJValue();
    }
    ~TArgumentValues() {
        for (int i = 0; i < count_; ++i) slots_[i].Value.~TJValue();
    }
    TArgumentValues(const TArgumentValues&) = delete;
    TArgumentValues& operator=(const TArgumentValues&) = delete;
    TJValue& operator[](int i) { return slots_[i].Value; }
    TJValue* data() { return &slots_[0].Value; }

private:
    union Slot {
        Slot() {}
        ~Slot() {}
        TJValue Value;
    };
    static_assert(sizeof(Slot) == sizeof(TJValue));
    int count_;
    Slot slots_[Limit];
};

// The left operand and the operator, with the right operand's object held:
// the left operand's code could free it otherwise.
[[gnu::noinline]] void applyWithRightHeld(TJEngine& engine, TJExpr* node, const TJValue& right, TJValue& value) {
    TJObjectHold hold(engine, right);
    TJValue left;
    engine.EvaluateExpression(node->Left, 0, left);
    applyBinary(node->Code, left, right, value);
}

struct TOperatorLink {
    TJExpr* Node = nullptr;
    TJValue Right;
};

// A call of an array's push with one argument, which the evaluator makes itself.
bool isSinglePush(const TJMethodTable::Entry* method, const TJExpr* chain) {
    return chain && !chain->Left && TJArrayObject::IsPush(method);
}

[[noreturn]] void raiseNeedFunction() {
    raiseScriptError("ECallError", "call function error,need function or object");
}

// The chain's length (its links lean left from the last argument).
int chainLength(const TJExpr* chain) {
    int n = 0;
    for (; chain; chain = chain->Left) ++n;
    return n;
}

[[gnu::noinline]] TJMemberCache* newMemberCache(TJExpr* node) {
    node->MemberCache = std::make_unique<TJMemberCache>();
    return node->MemberCache.get();
}

// The node's member cache, made at its first use.
inline TJMemberCache* memberCache(TJExpr* node) {
    return node->MemberCache ? node->MemberCache.get() : newMemberCache(node);
}

void setAccess(IJFunction* function, uint8_t access) {
    if (function->GetFuncType() == ftActiveX) function->GetActiveXMethod()->Access = access;
}

// A value whose operators and conversions run no script code and free
// nothing: neither an object nor a function, automation interface or event.
bool isPrimitive(const TJValue& v) {
    return !(kindSet(v.ValueType) & kindSet(vtObject, vtFunction, vtDispatch, vtEvent));
}

// Whether text + value is the text with the value's text appended (no
// operand error, no script code): a primitive but undefined, infinity or NaN.
bool appendsAsText(const TJValue& v) {
    return isPrimitive(v) && v.ValueType != vtUndefined && v.ValueType != vtInfinity && v.ValueType != vtNaN;
}

// A step of ++ and --: the integer conversion plus or minus one; a double
// past the integer range.
void stepped(const TJValue& value, int delta, TJValue& result) {
    int64_t next = static_cast<int64_t>(ValueToInteger(value)) + delta;
    if (next < INT32_MIN || next > INT32_MAX) MakeDouble(static_cast<double>(next), result);
    else MakeInteger(static_cast<int32_t>(next), result);
}

}  // namespace

// ==== Expressions ====

// A constant's value or the current table's own variable, nil for an operand
// that needs evaluating.
inline const TJValue* TJEngine::operandInPlace(TJExpr* node) {
    if (!node) return nullptr;
    if (node->Code == ecConstant) return node->Value.get();
    return node->Code == ecIdentifier ? ownVariable(node) : nullptr;
}

// An operand in place or the array element such operands pick: no code runs
// to read it, and it stays valid until code runs.
const TJValue* TJEngine::valueInPlace(TJExpr* node) {
    if (const TJValue* operand = operandInPlace(node)) return operand;
    return node && node->Code == ecCall ? elementOperand(node) : nullptr;
}

// Only a variable that needs no lookup to be found is taken for the array,
// and only a constant or variable index: a call f(x) costs one look more.
const TJValue* TJEngine::elementOperand(TJExpr* node) {
    TJExpr* key = node->Right && !node->Right->Left ? node->Right->Right : nullptr;
    if (!key || (key->Code != ecConstant && key->Code != ecIdentifier) || !IsIdentifierExpr(node->Left)) return nullptr;
    const TJValue* owner = knownOwnVariable(node->Left);
    int32_t index;
    TJValueList* items = owner && IsObjectValue(*owner) ? elementInPlace(owner->ObjValue, node->Right, index) : nullptr;
    return items ? &items->At(index) : nullptr;
}

// An operand: a constant, a variable or `this` read in place (leaves, which
// need no nesting guard), anything else evaluated.
[[gnu::always_inline]] inline void TJEngine::evaluateOperand(TJExpr* node, TJValue& value) {
    if (node && node->Code == ecConstant) value = *node->Value;
    else if (node && node->Code == ecIdentifier) readIdentifier(node, value);
    else if (node && node->Code == ecThis) MakeObject(CurrentTable->GetThis(), value);
    else if (node && node->Handler) node->Handler(*this, node, 0, value);  // a node run before
    else EvaluateExpression(node, 0, value);
}

// ==== Node handlers ====

// Each expression node runs through the routine its shape calls for. The
// shape (the node's kind and its operands' kinds) never changes, so it is
// examined once, at the node's first run, and running a node is one call. A
// routine that may evaluate an operand of any kind holds the nesting guard
// (guarded); the leaves, and the operators on leaves, go no deeper.
struct TJEngine::Handlers {
    static TJExprHandler choose(const TJExpr* node);
    static TJExprHandler binary(const TJExpr* node);
    static TJExprHandler assignment(const TJExpr* node);
    static TJExprHandler member(const TJExpr* node);
    static bool isVariableMember(const TJExpr* node);
    static bool isThisMember(const TJExpr* node);
    static bool isPlainMemberName(const AnsiString& name) { return name != "length" && name != "prototype"; }

    static bool isLeaf(const TJExpr* node) {
        return !node || node->Code == ecConstant || node->Code == ecIdentifier || node->Code == ecThis;
    }
    template <TJExprHandler Run>
    static void guarded(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        TJNestingGuard guard;
        Run(engine, node, flags, value);
    }

    // ---- Leaves ----
    static void constant(TJEngine&, TJExpr* node, int, TJValue& value) { value = *node->Value; }
    static void identifier(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        if (flags & efDeclare) {
            // "var x" in a for head declares x in the current scope.
            TJLocalSymbolTable* table = engine.CurrentTable;
            if (!table->Variables().HasKey(node->Name)) table->RegisterLocalValue(node->Name, TJValue());
        }
        engine.readIdentifier(node, value);
    }
    static void self(TJEngine& engine, TJExpr*, int, TJValue& value) {
        MakeObject(engine.CurrentTable->GetThis(), value);
    }

    // ---- Operators ----
    static void operands(TJEngine& engine, TJExpr* node, int, TJValue& value) { engine.evaluateBinary(node, value); }
    // x < a.length: the length of an array read in place.
    static void lengthOperand(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        TJValue right;
        if (!engine.arrayLengthInPlace(node->Right, right)) {
            engine.evaluateBinary(node, value);
            return;
        }
        engine.applyToRight(node, right, value);
    }
    // A chain of two (i % 3 == 0) whose right operand is primitive and in
    // place nests one level only: it needs no spine.
    static void onOperator(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        const TJValue* inPlace = engine.operandInPlace(node->Right);
        if (!inPlace || !isPrimitive(*inPlace)) {
            engine.evaluateOperatorSpine(node, value);
            return;
        }
        TJValue left;
        if (node->Right->Code == ecConstant) {
            // No code changes a constant: it is read where it is stored.
            engine.evaluateBinary(node->Left, left);
            applyBinary(node->Code, left, *inPlace, value);
            return;
        }
        TJValue right = *inPlace;
        engine.evaluateBinary(node->Left, left);
        applyBinary(node->Code, left, right, value);
    }
    static void spine(TJEngine& engine, TJExpr* node, int, TJValue& value) { engine.evaluateOperatorSpine(node, value); }
    static void logicalChain(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        engine.evaluateLogicalChain(node, value);
    }
    static void unary(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        TJValue operand;
        engine.EvaluateExpression(node->Left, 0, operand);
        ApplyUnaryOperator(node->Code, operand, value);
    }
    static void negation(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        TJValue operand;
        engine.EvaluateExpression(node->Left, 0, operand);
        CompareValues(ecNot, operand, operand, value);
    }
    static void conditional(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        TJValue condition;
        engine.EvaluateExpression(node->Left, 0, condition);
        engine.EvaluateExpression(ValueToBool(condition) ? node->Right : node->Third, 0, value);
    }
    static void comma(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        engine.EvaluateExpression(node->Left, flags, value);
        engine.EvaluateExpression(node->Right, flags, value);
    }
    static void typeOf(TJEngine& engine, TJExpr* node, int, TJValue& value) { engine.typeOf(node, value); }
    static void deletion(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        engine.EvaluateExpression(node->Left, efDelete, value);
    }
    static void voided(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        engine.EvaluateExpression(node->Left, 0, value);
        MakeNull(value);
    }
    static void forVar(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        engine.EvaluateExpression(node->Left, flags | efDeclare, value);
    }
    // Internal pairs and lists.
    static void pair(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        engine.EvaluateExpression(node->Left, 0, value);
        engine.EvaluateExpression(node->Right, 0, value);
        MakeUndefined(value);
    }

    // ---- Assignments ----
    static void assign(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        engine.EvaluateExpression(node->Right, 0, value);
        engine.assign(node->Left, value, flags);
    }
    // v.name = e, the name neither length nor prototype: an object in an own
    // variable gets the member where the variable holds it.
    static void assignVariableMember(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        engine.EvaluateExpression(node->Right, 0, value);
        TJExpr* target = node->Left;
        TJObjectHold hold(engine, value);
        if (const TJValue* owner = engine.ownVariable(target->Left); owner && IsObjectValue(*owner)) {
            owner->ObjValue->WriteMember(target->Right->Name, *memberCache(target), value);
            return;
        }
        engine.assignMember(target, value);
    }
    // x = x + e: the sum made in x's slot when it can be.
    static void selfAdd(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        if (!(flags & efDeclare) && engine.addsInSlot(node, value)) return;
        TJNestingGuard guard;
        engine.selfAppend(node, flags, value);
    }
    static void selfAppend(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        engine.selfAppend(node, flags, value);
    }
    static void compound(TJEngine& engine, TJExpr* node, int, TJValue& value) { engine.compoundAssign(node, value); }
    static void step(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        engine.stepAssign(node, flags, value);
    }

    // ---- Members, calls and literals ----
    static void memberRead(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        TJValue object;
        engine.evaluateOperand(node->Left, object);
        engine.GetMemberValue(object, node->Right->Name, value, (flags & efDelete) != 0, memberCache(node));
    }
    // v.name (isVariableMember): an object in an own variable is read where
    // it is stored.
    static void variableMember(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        const TJValue* owner = engine.ownVariable(node->Left);
        if (owner && IsObjectValue(*owner) && !(flags & efDelete)) {
            engine.readMember(owner->ObjValue, node->Right->Name, value, memberCache(node));
            return;
        }
        memberRead(engine, node, flags, value);
    }
    // this.name (isThisMember): read from the scope's `this` as from the
    // object a `this` operand makes.
    static void thisMember(TJEngine& engine, TJExpr* node, int flags, TJValue& value) {
        TJObject* self = engine.CurrentTable->GetThis();
        if (self && !(flags & efDelete)) {
            engine.readMember(self, node->Right->Name, value, memberCache(node));
            return;
        }
        memberRead(engine, node, flags, value);
    }
    static void super(TJEngine&, TJExpr*, int, TJValue&) { raiseScriptError("ESyntaxError", "super"); }
    static void construct(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        TJArgumentList args = engine.BuildArgumentList(node->Right);
        MakeObject(engine.CreateScriptObject(node->Left->Name, args.get()), value);
    }
    static void objectLiteral(TJEngine& engine, TJExpr* node, int, TJValue& value) { engine.objectLiteral(node, value); }
    static void arrayLiteral(TJEngine& engine, TJExpr* node, int, TJValue& value) { engine.arrayLiteral(node, value); }
    static void function(TJEngine& engine, TJExpr* node, int, TJValue& value) { engine.functionLiteral(node, value); }
    static void call(TJEngine& engine, TJExpr* node, int, TJValue& value) {
        // A function that a variable holds is called through a reference of its own.
        if (const TJValue* known = IsIdentifierExpr(node->Left) ? engine.knownVariable(node->Left) : nullptr;
            known && IsFunctionValue(*known)) {
            IJFunctionPtr function = known->FuncValue;
            engine.callWithArguments(function, node->Right, value, engine.CurrentTable->GetThis());
            return;
        }
        TJValue callee;
        engine.evaluateOperand(node->Left, callee);
        engine.CallOrIndex(callee, node->Right, value);
    }
    static void methodCall(TJEngine& engine, TJExpr* node, int, TJValue& value) { engine.MethodCallOrIndex(node, value); }
};

void TJEngine::EvaluateExpression(TJExpr* node, int flags, TJValue& value) {
    if (!node) {
        MakeUndefined(value);
        return;
    }
    if (!node->Handler) node->Handler = Handlers::choose(node);
    node->Handler(*this, node, flags, value);
}

TJExprHandler TJEngine::Handlers::choose(const TJExpr* node) {
    switch (node->Code) {
    case ecConstant: return constant;
    case ecIdentifier: return identifier;
    case ecThis: return self;
    case ecAdd: case ecSub: case ecDiv: case ecMul: case ecMod: case ecIntDiv:
    case ecShl: case ecShr: case ecUShr: case ecBitAnd: case ecBitXor: case ecBitOr: case ecOr: case ecAnd:
    case ecLess: case ecGreater: case ecLessEqual: case ecGreaterEqual:
    case ecEqual: case ecNotEqual: case ecStrictEqual: case ecStrictNotEqual:
        return binary(node);
    case ecComma: return guarded<comma>;
    case ecAssign: return assignment(node);
    case ecMulAssign: case ecDivAssign: case ecAddAssign: case ecSubAssign: case ecModAssign:
    case ecShlAssign: case ecShrAssign: case ecUShrAssign: case ecAndAssign: case ecXorAssign: case ecOrAssign:
        return guarded<compound>;
    case ecPlus: case ecMinus: case ecBitNot: return guarded<unary>;
    case ecMember: return member(node);
    case ecSuper: return super;
    case ecNew: return guarded<construct>;
    case ecObjectLiteral: return guarded<objectLiteral>;
    case ecArrayLiteral: return guarded<arrayLiteral>;
    case ecCall: return guarded<call>;
    // A step of a variable reads and stores it and nothing more.
    case ecPreInc: case ecPreDec: case ecPostInc: case ecPostDec:
        return IsIdentifierExpr(node->Left) ? step : guarded<step>;
    case ecDelete: return guarded<deletion>;
    case ecVoid: return guarded<voided>;
    case ecTypeOf: return guarded<typeOf>;
    case ecNot: return guarded<negation>;
    case ecOrShort: case ecAndShort: return guarded<logicalChain>;
    case ecConditional: return guarded<conditional>;
    case ecFunction: return guarded<function>;
    case ecMethodCall: return guarded<methodCall>;
    case ecForVar: return guarded<forVar>;
    default: return guarded<pair>;
    }
}

// A binary operator whose left operand is again such an operator (a + b + c
// ...) is evaluated along its left spine in a loop: right operands from the
// top down, then the leftmost operand, then the operators from the bottom up.
// This is the right-to-left order of the recursive rule, without its depth.
TJExprHandler TJEngine::Handlers::binary(const TJExpr* node) {
    const TJExpr* left = node->Left;
    if (isRightFirstBinary(left ? left->Code : ecEmpty)) {
        if (isRightFirstBinary(left->Left ? left->Left->Code : ecEmpty)) return guarded<spine>;
        return isLeaf(node->Right) && isLeaf(left->Left) && isLeaf(left->Right) ? onOperator : guarded<onOperator>;
    }
    const TJExpr* right = node->Right;
    if (right && right->Code == ecMember && right->Right->Name == "length") return guarded<lengthOperand>;
    return isLeaf(left) && isLeaf(right) ? operands : guarded<operands>;
}

TJExprHandler TJEngine::Handlers::assignment(const TJExpr* node) {
    if (isSelfAppend(node)) return node->Right->Left->Code == ecIdentifier ? selfAdd : guarded<selfAppend>;
    if (isVariableMember(node->Left))
        return isLeaf(node->Right) ? assignVariableMember : guarded<assignVariableMember>;
    return node->Left->Code == ecIdentifier && isLeaf(node->Right) ? assign : guarded<assign>;
}

// v.name, the name one no kind of value answers apart.
bool TJEngine::Handlers::isVariableMember(const TJExpr* node) {
    return node->Code == ecMember && IsIdentifierExpr(node->Left) && isPlainMemberName(node->Right->Name);
}

// this.name, the name one no kind of value answers apart.
bool TJEngine::Handlers::isThisMember(const TJExpr* node) {
    return node->Code == ecMember && node->Left && node->Left->Code == ecThis && isPlainMemberName(node->Right->Name);
}

TJExprHandler TJEngine::Handlers::member(const TJExpr* node) {
    if (isVariableMember(node)) return variableMember;
    if (isThisMember(node)) return thisMember;
    return isLeaf(node->Left) ? memberRead : guarded<memberRead>;
}

// Primitive operands read in place, the right first, are combined where
// they are stored: no code runs between the reads and the operator (and
// no value is made for them).
void TJEngine::evaluateBinary(TJExpr* node, TJValue& value) {
    if (const TJValue* inPlace = operandInPlace(node->Right); inPlace && isPrimitive(*inPlace)) {
        if (const TJValue* leftInPlace = operandInPlace(node->Left); leftInPlace && isPrimitive(*leftInPlace)) {
            applyBinary(node->Code, *leftInPlace, *inPlace, value);
            return;
        }
        TJValue left;
        if (node->Right->Code == ecConstant) {
            // No code changes a constant: it is read where it is stored.
            evaluateOperand(node->Left, left);
            applyBinary(node->Code, left, *inPlace, value);
            return;
        }
        TJValue right = *inPlace;
        evaluateOperand(node->Left, left);
        applyBinary(node->Code, left, right, value);
        return;
    }
    TJValue right;
    evaluateOperand(node->Right, right);
    applyToRight(node, right, value);
}

// The left operand evaluated and combined with the right one's value.
void TJEngine::applyToRight(TJExpr* node, const TJValue& right, TJValue& value) {
    if (IsObjectValue(right)) {
        applyWithRightHeld(*this, node, right, value);
        return;
    }
    TJValue left;
    evaluateOperand(node->Left, left);
    applyBinary(node->Code, left, right, value);
}

// Apart from the operators' other routines: the chain's stack room costs only
// chains.
[[gnu::noinline]] void TJEngine::evaluateOperatorSpine(TJExpr* node, TJValue& value) {
    size_t length = 0;
    TJExpr* leaf = node;
    for (; leaf && isRightFirstBinary(leaf->Code); leaf = leaf->Left) ++length;
    TChainLinks<TOperatorLink> spine(length);
    TJObjectHold hold(*this);
    TJExpr* link = node;
    for (size_t i = 0; i < length; ++i, link = link->Left) {
        spine[i].Node = link;
        EvaluateExpression(link->Right, 0, spine[i].Right);
        hold.hold(spine[i].Right);
    }
    TJValue accumulated, next;
    EvaluateExpression(leaf, 0, accumulated);
    for (size_t i = length; i-- > 0;) {
        const TJValue& right = spine[i].Right;
        // A text sum grows in place, copied once when shared, not anew per operator.
        if (spine[i].Node->Code == ecAdd && accumulated.ValueType == vtString && appendsAsText(right)) {
            AnsiString tail = ValueToString(right);
            CheckStringSize(static_cast<uint64_t>(accumulated.StrValue.length()) + tail.length());
            accumulated.StrValue += tail;
            continue;
        }
        applyBinary(spine[i].Node->Code, accumulated, right, next);
        std::swap(accumulated, next);
    }
    value = std::move(accumulated);
}

// Short-circuit operators leaning left (a && b && c ...) run along their left
// spine in a loop too: the leftmost operand first, then each right operand
// that its operator still needs, from the bottom up.
void TJEngine::evaluateLogicalChain(TJExpr* node, TJValue& value) {
    size_t length = 0;
    TJExpr* leaf = node;
    for (; isShortCircuit(leaf); leaf = leaf->Left) ++length;
    TChainLinks<TJExpr*> spine(length);
    TJExpr* link = node;
    for (size_t i = 0; i < length; ++i, link = link->Left) spine[i] = link;
    TJValue operand;
    EvaluateExpression(leaf, 0, operand);
    bool result = ValueToBool(operand);
    for (size_t i = length; i-- > 0;) {
        if (result == (spine[i]->Code == ecOrShort)) continue;  // decided without its right operand
        EvaluateExpression(spine[i]->Right, 0, operand);
        result = ValueToBool(operand);
    }
    MakeBool(result, value);
}

// The parameter of the running call that the identifier names, nil when it
// names none. A call table's own variables come first in every lookup, so a
// parameter is what its name means throughout the call; the node notes the
// function's table and the position (or that the name is no parameter of
// that function: its parameters are the same in every call) for the next
// calls of that function. A `with` table or an eval text's call has no
// parameters: never noted.
inline TJValue* TJEngine::parameterNamed(TJExpr* node) {
    TJLocalSymbolTable* function = CurrentTable->PushedOn();
    if (!function || CurrentTable->ParameterCount() == 0) return nullptr;
    if (function->Serial() == node->ParameterScope)
        return node->ParameterSlot < 0 ? nullptr : CurrentTable->Parameter(node->ParameterSlot);
    return noteParameter(node, function);
}

// The first lookup of the identifier in a call of the function.
TJValue* TJEngine::noteParameter(TJExpr* node, TJLocalSymbolTable* function) {
    node->ParameterScope = function->Serial();
    node->ParameterSlot = -1;
    TJValue* own = CurrentTable->Variables().FindValue(node->Name);
    if (!own) return nullptr;
    for (int position = 0; position < CurrentTable->ParameterCount(); ++position) {
        if (CurrentTable->Parameter(position) != own) continue;
        node->ParameterSlot = position;
        return own;
    }
    return nullptr;
}

// The identifier's variable when it is the current table's own (a parameter
// or not), nil when a lookup must walk the chain.
inline TJValue* TJEngine::ownVariable(TJExpr* node) {
    if (TJValue* parameter = parameterNamed(node)) return parameter;
    if (!node->NameCache) node->NameCache = std::make_unique<TJNameCache>(node->Name);
    return CurrentTable->OwnVariable(node->Name, *node->NameCache);
}

// ownVariable when its answer takes no lookup (a parameter, or the variable
// the node's cache found last); nil otherwise.
inline TJValue* TJEngine::knownOwnVariable(TJExpr* node) {
    if (TJValue* parameter = parameterNamed(node)) return parameter;
    return node->NameCache ? CurrentTable->CachedOwnVariable(*node->NameCache) : nullptr;
}

// Whether the identifier is known to name no variable of the running call:
// its table holds the parameters only, and the node noted the name as none.
inline bool TJEngine::namesNoOwnVariable(const TJExpr* node) {
    TJLocalSymbolTable* function = CurrentTable->PushedOn();
    return function && node->ParameterScope == function->Serial() && node->ParameterSlot < 0 &&
           node->NameCache && CurrentTable->HoldsOnlyParameters();
}

// The variable the identifier names when finding it takes no lookup (an own
// variable knownOwnVariable gives, or one past the call's own variables that
// the node's cache still knows); nil otherwise.
inline const TJValue* TJEngine::knownVariable(TJExpr* node) {
    if (namesNoOwnVariable(node)) return CurrentTable->KnownBeyondOwn(*node->NameCache);
    return knownOwnVariable(node);
}

// x.length of an array x read in place: neither x is copied nor its member
// read (node is a member node named length).
bool TJEngine::arrayLengthInPlace(TJExpr* node, TJValue& value) {
    const TJValue* owner = operandInPlace(node->Left);
    if (!owner || !IsObjectValue(*owner) || owner->ObjValue->ClassType() != &TJArrayObject::classInfo) return false;
    MakeInteger(static_cast<TJArrayObject*>(owner->ObjValue)->lengthProperty(), value);
    return true;
}

void TJEngine::readIdentifier(TJExpr* node, TJValue& value) {
    bool found;
    if (namesNoOwnVariable(node)) {
        found = CurrentTable->GetVariableBeyondOwn(node->Name, *node->NameCache, value);
    } else if (const TJValue* own = ownVariable(node)) {
        value = *own;
        return;
    } else {
        found = CurrentTable->GetVariable(node->Name, *node->NameCache, value);
    }
    if (!found) raiseScriptError("ENameError", "undefined - " + node->Name);
}

void TJEngine::assignIdentifier(TJExpr* node, const TJValue& value) {
    if (TJValue* own = ownVariable(node)) CurrentTable->Variables().Replace(*own, value);
    else CurrentTable->AssignValue(node->Name, value, amGlobal);
}

void TJEngine::typeOf(TJExpr* node, TJValue& value) {
    TJValue operand;
    try {
        EvaluateExpression(node->Left, 0, operand);
    } catch (const EJThrow& e) {
        if (e.ErrorName != "ENameError" && e.ErrorName != "EKeyError") throw;
        MakeUndefined(operand);
    }
    MakeString(ValueTypeName(operand), value);
}

// ==== Assignment ====

// x = x + e1 + e2 ...: the form whose text may grow in place.
bool TJEngine::isSelfAppend(const TJExpr* node) {
    const TJExpr* target = node->Left;
    const TJExpr* sum = node->Right;
    if (target->Code != ecIdentifier || !sum || sum->Code != ecAdd) return false;
    while (sum->Left && sum->Left->Code == ecAdd) sum = sum->Left;
    return sum->Left && sum->Left->Code == ecIdentifier && sum->Left->Name == target->Name;
}

// Evaluated as any x = x + e1 + e2 ... (the last e first, down to e1, then x,
// then the sums from the left, stored), but when x is a variable of the
// current table holding a text, the e's texts are appended to it there: once
// x holds the only reference (a shared text is copied first), a loop of
// appends copies no text. Only primitive e's qualify, whose texts no script
// code makes; the size is checked before x changes.
void TJEngine::selfAppend(TJExpr* node, int flags, TJValue& value) {
    size_t length = 0;
    for (TJExpr* sum = node->Right; sum->Code == ecAdd; sum = sum->Left) ++length;
    TChainLinks<TOperatorLink> spine(length);
    TJObjectHold hold(*this);
    bool primitive = true;
    TJExpr* link = node->Right;
    for (size_t i = 0; i < length; ++i, link = link->Left) {
        spine[i].Node = link;
        TJValue& right = spine[i].Right;
        EvaluateExpression(link->Right, 0, right);
        hold.hold(right);
        primitive = primitive && isPrimitive(right);
    }
    TJValue* slot = flags & efDeclare ? nullptr : ownVariable(node->Left);
    if (slot && slot->ValueType == vtString && primitive) {
        TChainLinks<AnsiString> tails(length);
        uint64_t size = slot->StrValue.length();
        for (size_t i = 0; i < length; ++i) {
            tails[i] = ValueToString(spine[length - 1 - i].Right);
            size += tails[i].length();
        }
        CheckStringSize(size);
        for (size_t i = 0; i < length; ++i) slot->StrValue += tails[i];
        value = *slot;
        return;
    }
    // A primitive x of the table is read and written in its slot: sums of
    // primitives run no script code that could move it.
    bool inSlot = slot && primitive && isPrimitive(*slot);
    TJValue accumulated, next;
    if (inSlot) accumulated = *slot;
    else EvaluateExpression(link, 0, accumulated);
    for (size_t i = length; i-- > 0;) {
        applyBinary(ecAdd, accumulated, spine[i].Right, next);
        std::swap(accumulated, next);
    }
    value = std::move(accumulated);
    if (inSlot) CurrentTable->Variables().Replace(*slot, value);
    else assign(node->Left, value, flags);
}

// x = x + e, e a primitive read in place and x an own variable holding a
// number: no code runs, so the sum is made from the slots and stored; false
// for any other form, nothing done.
bool TJEngine::addsInSlot(TJExpr* node, TJValue& value) {
    TJExpr* sum = node->Right;
    if (sum->Left->Code != ecIdentifier) return false;
    const TJValue* right = valueInPlace(sum->Right);
    if (!right || !isPrimitive(*right)) return false;
    TJValue* slot = ownVariable(node->Left);
    if (!slot || (!IsIntegerValue(*slot) && !IsDoubleValue(*slot))) return false;
    applyBinary(ecAdd, *slot, *right, value);
    CurrentTable->Variables().Replace(*slot, value);
    return true;
}

// The value is held while the target's expressions run.
void TJEngine::assign(TJExpr* target, const TJValue& value, int flags) {
    if (target->Code != ecIdentifier) {
        TJObjectHold hold(*this, value);
        assignMember(target, value);
        return;
    }
    if (flags & efDeclare) CurrentTable->RegisterLocalValue(target->Name, value);
    else assignIdentifier(target, value);
}

void TJEngine::assignMember(TJExpr* target, const TJValue& value) {
    switch (target->Code) {
    case ecMember: {
        TJValue object;
        evaluateOperand(target->Left, object);
        SetMemberValue(object, target->Right->Name, value, memberCache(target));
        return;
    }
    case ecCall: {
        TJValue callee;
        EvaluateExpression(target->Left, 0, callee);
        IndexAssign(callee, target->Right, value);
        return;
    }
    case ecMethodCall:
        MethodAssign(target, value);
        return;
    default:
        raiseScriptError("ETypeError", "can not assign - " + target->Name);
    }
}

// A primitive right operand (read in place when it can be) and a primitive
// own variable combine in its slot.
void TJEngine::compoundAssign(TJExpr* node, TJValue& value) {
    TJValue right, current;
    const TJValue* operand = valueInPlace(node->Right);
    if (!operand) {
        EvaluateExpression(node->Right, 0, right);
        operand = &right;
    }
    if (node->Left->Code == ecIdentifier && isPrimitive(*operand)) {
        if (TJValue* own = ownVariable(node->Left); own && isPrimitive(*own)) {
            ApplyCompoundOperator(node->Code, *own, *operand, value);
            CurrentTable->Variables().Replace(*own, value);
            return;
        }
    }
    if (operand != &right) right = *operand;
    TJObjectHold hold(*this, right);
    EvaluateExpression(node->Left, 0, current);
    ApplyCompoundOperator(node->Code, current, right, value);
    assign(node->Left, value, 0);
}

// ++x and --x give the new integer, x++ and x-- the old value (a number
// stepped in its slot gives none when it is not used); the new integer is
// stored back into an identifier, member or index operand.
void TJEngine::stepAssign(TJExpr* node, int flags, TJValue& value) {
    TJExprCode code = node->Code;
    int delta = code == ecPreInc || code == ecPostInc ? 1 : -1;
    bool pre = code == ecPreInc || code == ecPreDec;
    // A number in an own variable steps in its slot.
    if (node->Left->Code == ecIdentifier) {
        if (TJValue* own = ownVariable(node->Left); own && (IsIntegerValue(*own) || IsDoubleValue(*own))) {
            TJValue stored;
            stepped(*own, delta, stored);
            if (!pre && !(flags & efDiscard)) value = *own;
            CurrentTable->Variables().Replace(*own, stored);
            if (pre) value = std::move(stored);
            return;
        }
    }
    TJValue operand;
    EvaluateExpression(node->Left, 0, operand);
    TJObjectHold hold(*this, operand);
    TJValue stored;
    stepped(operand, delta, stored);
    TJExprCode target = node->Left->Code;
    if (target == ecIdentifier) assignIdentifier(node->Left, stored);
    else if (target == ecMember || target == ecCall || target == ecMethodCall) assign(node->Left, stored, 0);
    value = pre ? std::move(stored) : std::move(operand);
}

// ==== Literals ====

// A new literal's object lives while it is filled: held by the enclosing
// literal's hold (and in the value at once), so that the enclosing object
// takes it over without it going to the statement's temporaries, or else
// among the temporaries.
void TJEngine::keepLiteral(TJObject* object, TJValue& value, TJObjectHold* holder) {
    if (!holder) {
        CurrentTable->AddTemporary(object, true);
        return;
    }
    MakeObject(object, value);
    holder->hold(value);
}

// An object literal's entry value, held; a literal there is kept by the hold.
void TJEngine::literalEntry(TJExpr* node, TJValue& value, TJObjectHold& hold) {
    if (!node || (node->Code != ecObjectLiteral && node->Code != ecArrayLiteral)) {
        EvaluateExpression(node, 0, value);
        hold.hold(value);
        return;
    }
    TJNestingGuard guard;
    if (node->Code == ecObjectLiteral) objectLiteral(node, value, &hold);
    else arrayLiteral(node, value, &hold);
}

// Values are evaluated last entry first, like arguments; members are set in
// source order, so of two entries with one name the later wins.
void TJEngine::objectLiteral(TJExpr* node, TJValue& value, TJObjectHold* holder) {
    TJObject* object = createObject<TJObject>(this, true, nullptr);
    keepLiteral(object, value, holder);
    size_t count = static_cast<size_t>(chainLength(node->Left));
    TChainLinks<TOperatorLink> entries(count);
    TJObjectHold hold(*this);
    size_t i = 0;
    for (TJExpr* link = node->Left; link; link = link->Left, ++i) {
        entries[i].Node = link->Right;
        literalEntry(link->Right->Right, entries[i].Right, hold);
    }
    // A new plain object publishes nothing: SetValue's steps all end in the member table.
    while (i-- > 0) {
        TJExpr* key = entries[i].Node->Left;
        object->Members()->SetValue(key->Code == ecConstant ? ValueToString(*key->Value) : key->Name, entries[i].Right);
    }
    MakeObject(object, value);
}

// The items are evaluated straight into the new array's list (held meanwhile,
// as an object literal is): no argument list to fill, copy and clear.
void TJEngine::arrayLiteral(TJExpr* node, TJValue& value, TJObjectHold* holder) {
    TJArrayObject* array = createObject<TJArrayObject>(this, true, nullptr);
    keepLiteral(array, value, holder);
    int count = chainLength(node->Left);
    array->Items().SetCount(count);
    fillArguments(array->Items(), node->Left, count - 1);
    MakeObject(array, value);
}

IJFunctionPtr TJEngine::newScriptFunction(TJStatement* declaration) {
    IJFunctionPtr function = NewFunction();
    function->SetFuncType(ftScript);
    function->SetBody(declaration);
    function->SetParameters(declaration->Child1);
    if (declaration->Expr) function->SetName(declaration->Expr->Name);
    function->SetFunctionTable(RootTable->MakeFunctionTable(declaration->Child3, declaration));
    return function;
}

void TJEngine::functionLiteral(TJExpr* node, TJValue& value) { MakeFunction(newScriptFunction(node->Func), value); }

// ==== Arguments ====

TJArgumentList TJEngine::NewArgumentList() {
    TJValueList* list =
        SpareArgumentListCount_ > 0 ? SpareArgumentLists_[--SpareArgumentListCount_] : new TJValueList;
    return TJArgumentList(list, TJArgumentListRelease{this});
}

void TJArgumentListRelease::operator()(TJValueList* list) const noexcept {
    try {
        list->Clear();
    } catch (...) {
        // As in a list's destructor, a failed release is not reported.
    }
    if (Engine->SpareArgumentListCount_ < Engine->SpareArgumentLists_.size())
        Engine->SpareArgumentLists_[Engine->SpareArgumentListCount_++] = list;
    else
        delete list;
}

TJArgumentList TJEngine::BuildArgumentList(TJExpr* chain) {
    if (!chain) return TJArgumentList(nullptr, TJArgumentListRelease{this});
    TJArgumentList list = NewArgumentList();
    int count = chainLength(chain);
    list->SetCount(count);
    fillArguments(*list, chain, count - 1);
    return list;
}

// Evaluates the chain's arguments into the list, the head of the chain at
// position last, then those before it.
void TJEngine::fillArguments(TJValueList& list, TJExpr* chain, int last) {
    TJValue item;
    for (int i = last; chain; chain = chain->Left, --i) {
        EvaluateExpression(chain->Right, 0, item);
        list.SetItem(i, item);
    }
}

// A function that takes its arguments directly gets them evaluated into this
// frame: no value list. An object argument needs the list's link (should it
// be freed while the arguments before it are evaluated, the list's value
// turns undefined): from the first one on, the list is made after all.
void TJEngine::callWithArguments(const IJFunctionPtr& callee, TJExpr* chain, TJValue& result, TJObject* self) {
    int count = chainLength(chain);
    if (count <= directArgumentLimit && takesDirectArguments(callee.get())) {
        TArgumentValues<directArgumentLimit> values(count);
        int i = count - 1;
        for (; chain; chain = chain->Left, --i) {
            evaluateOperand(chain->Right, values[i]);
            if (IsObjectValue(values[i])) break;
        }
        if (!chain) {
            callScriptDirect(callee.get(), values.data(), count, result, self);
            return;
        }
        TJArgumentList args = NewArgumentList();
        args->SetCount(count);
        for (int j = i; j < count; ++j) args->SetItem(j, values[j]);
        fillArguments(*args, chain->Left, i - 1);
        CallFunctionValue(callee, args.get(), result, self);
        return;
    }
    TJArgumentList args = BuildArgumentList(chain);
    setAccess(callee.get(), 1);
    CallFunctionValue(callee, args.get(), result, self);
}

// ==== Members ====

TJObject* TJEngine::boxValue(const TJValue& value) {
    const char* className;
    switch (value.ValueType) {
    case vtString: className = "String"; break;
    case vtRegExp: className = "RegExp"; break;
    case vtInteger: case vtDouble: className = "Number"; break;
    case vtBool: className = "Boolean"; break;
    case vtDispatch: {
        if (!JModuleHooks.NewActiveXObject) raiseScriptError("ENameError", "create object error ActiveXObject");
        TJObject* object = JModuleHooks.NewActiveXObject(this, value.DispValue.get());
        CurrentTable->AddTemporary(object, true);
        return object;
    }
    default: return nullptr;
    }
    // The registered class boxes, whatever a script has named so.
    TJArgumentList args = NewArgumentList();
    args->Add(value);
    return newRegisteredObject(className, args.get());
}

TJObject* TJEngine::ToScriptObject(const TJValue& value) {
    if (IsObjectValue(value)) return value.ObjValue;
    return boxValue(value);
}

// ==== Primitive texts ====

// The String object standing for a primitive text for one use: the text box,
// or a new box while a use further out holds that (a replacement function
// calling a String method). The text box gives its text back.
class TJEngine::TextLoan {
public:
    TextLoan(TJEngine& engine, const TJValue& text) : engine_(engine) {
        if (engine.TextBoxLent_) {
            object_ = engine.boxValue(text);
            return;
        }
        object_ = engine.TextBox_;
        JModuleHooks.SetStringText(object_, text.StrValue);
        engine.TextBoxLent_ = true;
    }
    ~TextLoan() {
        if (object_ != engine_.TextBox_) return;
        JModuleHooks.SetStringText(object_, AnsiString());
        engine_.TextBoxLent_ = false;
    }
    TextLoan(const TextLoan&) = delete;
    TextLoan& operator=(const TextLoan&) = delete;

    TJObject* operator->() const { return object_; }
    TJObject& operator*() const { return *object_; }

private:
    TJEngine& engine_;
    TJObject* object_;
};

// Made on first use; nil while "String" names a class other than the built-in
// one, for which the box would not answer.
TJObject* TJEngine::textBox() {
    static const AnsiString stringClass("String");
    const TClassInfo* cls = JModuleHooks.StringObject;
    if (!cls || !JModuleHooks.SetStringText) return nullptr;
    if (TextBoxStamp_ != Factory_->ClassStamp()) {
        TextBoxStamp_ = Factory_->ClassStamp();
        TextBoxAnswers_ = Factory_->LookupClass(stringClass) == cls;
    }
    if (!TextBoxAnswers_) return nullptr;
    if (!TextBox_) {
        TextBox_ = CreateScriptInstance(cls, this, false, nullptr);
        TextBox_->IncRef();
    }
    return TextBox_;
}

// A box reads a published property before a method. A method that answers
// its object would hand the lent one out.
const TJEngine::TextMember* TJEngine::textMember(const AnsiString& name) {
    TJObject* box = textBox();
    if (!box) return nullptr;
    for (const TextMember& known : TextMembers_)
        if (known.Name.view() == name.view() && !known.Name.empty()) return &known;
    TextMember& member = TextMembers_[TextMemberNext_++ % TextMembers_.size()];
    member.Name = name;
    member.Property = box->HasProperty(name);
    member.Length = member.Property && name == "length";
    member.Method = nullptr;
    if (!member.Property) {
        const TJMethodTable& methods = box->Methods();
        const TJMethodTable::Entry* method = methods.Find(name.view());
        if (method && methods.IsOwn(method) && method->Result != TJMethodResult::Self) member.Method = method;
    }
    return &member;
}

const TJMethodTable::Entry* TJEngine::textMethod(const AnsiString& name) {
    const TextMember* member = textMember(name);
    return member ? member->Method : nullptr;
}

// As a native method's call through its function value, on the owner
// object (held by the caller) or a text's loan.
void TJEngine::callMethodEntry(const TJMethodTable::Entry* method, const TJValue& owner, TJExpr* chain,
                               TJValue& result) {
    TJArgumentList args = BuildArgumentList(chain);
    TJNestingGuard guard;
    int32_t line = CurrentLine;
    if (IsObjectValue(owner)) {
        method->Call(*owner.ObjValue, args.get(), result);
    } else {
        TextLoan self(*this, owner);
        method->Call(*self, args.get(), result);
    }
    CurrentLine = line;
    if (IsObjectValue(result)) CurrentTable->AddTemporary(result.ObjValue, true);
}

bool TJEngine::readTextProperty(const TJValue& text, const AnsiString& name, TJValue& result) {
    const TextMember* member = textMember(name);
    if (!member || !member->Property) return false;
    // The property texts are asked most, without the loan and the search.
    if (member->Length) {
        MakeInteger(MbcsLength(text.StrValue), result);
        return true;
    }
    TextLoan self(*this, text);
    self->GetValue(name, false, result);
    return true;
}

void TJEngine::GetMemberValue(const TJValue& value, const AnsiString& name, TJValue& result, bool deleteForm,
                              TJMemberCache* cache) {
    switch (value.ValueType) {
    case vtObject:
        if (!value.ObjValue) break;
        if (deleteForm) {
            MakeBool(value.ObjValue->RemoveKey(name), result);
            return;
        }
        // An array's published length, without the search of its class's properties.
        if (value.ObjValue->ClassType() == &TJArrayObject::classInfo && name == "length") {
            MakeInteger(static_cast<TJArrayObject*>(value.ObjValue)->lengthProperty(), result);
            return;
        }
        if (name == "prototype") {
            MakeObject(Factory_->GetPrototype(value.ObjValue->ScriptClassName()), result);
            return;
        }
        readMember(value.ObjValue, name, result, cache);
        return;
    case vtString: case vtRegExp: case vtInteger: case vtDouble: case vtBool: case vtDispatch:
        if (value.ValueType != vtString || !readTextProperty(value, name, result))
            readMember(boxValue(value), name, result, nullptr);
        return;
    case vtFunction: {
        IJFunction* function = value.FuncValue.get();
        if (function->GetFuncType() == ftScript) {
            if (name == "prototype") {
                MakeObject(Factory_->GetPrototype(function->GetName()), result);
                return;
            }
            if (name == "call" || name == "apply") {
                IJFunctionPtr copy = NewFunction();
                copy->CopyFrom(function);
                copy->SetCallType(name == "call" ? ctCall : ctApply);
                MakeFunction(copy, result);
                return;
            }
        } else if (function->GetFuncType() == ftNamespace) {
            if (!RootTable->FindNamespace(function->GetName())->GetVariable(name, result)) MakeUndefined(result);
            return;
        }
        break;
    }
    default:
        break;
    }
    raiseScriptError("ENameError", "member error " + name);
}

// A member of an object; wrappers read from automation and GUI objects live
// for the statement.
void TJEngine::readMember(TJObject* object, const AnsiString& name, TJValue& result, TJMemberCache* cache) {
    if (cache) object->ReadMember(name, *cache, result);
    else object->GetValue(name, false, result);
    if (IsObjectValue(result) && object->WrapsForRead(result.ObjValue)) CurrentTable->AddTemporary(result.ObjValue, true);
}

[[noreturn]] static void raisePrototypeAssign(const TJValue& value) {
    AnsiString className = IsObjectValue(value) ? value.ObjValue->ScriptClassName() : AnsiString("null");
    raiseScriptError("ENameError", "prototype assign error " + className);
}

void TJEngine::SetMemberValue(const TJValue& target, const AnsiString& name, const TJValue& value,
                              TJMemberCache* cache) {
    bool prototypeValue = name == "prototype" && (IsObjectValue(value) || IsNullValue(value));
    TJObject* assigned = IsObjectValue(value) ? value.ObjValue : nullptr;
    if (IsObjectValue(target)) {
        TJObject* object = target.ObjValue;
        if (prototypeValue) {
            if (!Factory_->SetPrototype(object->ScriptClassName(), assigned)) raisePrototypeAssign(value);
            return;
        }
        if (cache) object->WriteMember(name, *cache, value);
        else object->SetValue(name, value);
        return;
    }
    if (IsFunctionValue(target)) {
        IJFunction* function = target.FuncValue.get();
        if (function->GetFuncType() == ftScript && prototypeValue) {
            if (!Factory_->SetPrototype(function->GetName(), assigned)) raisePrototypeAssign(value);
            return;
        }
        if (function->GetFuncType() == ftNamespace) {
            RootTable->FindNamespace(function->GetName())->AssignValue(name, value, amGlobal);
            return;
        }
    }
    raiseScriptError("ENameError", "member assign error " + name);
}

// ==== Calls and indexes ====

void TJEngine::CallOrIndex(const TJValue& callee, TJExpr* chain, TJValue& result) {
    if (IsFunctionValue(callee)) {
        callWithArguments(callee.FuncValue, chain, result, CurrentTable->GetThis());
        return;
    }
    TJObject* object = IsObjectValue(callee) ? callee.ObjValue : callee.ValueType == vtString ? boxValue(callee) : nullptr;
    if (!object) raiseNeedFunction();
    indexRead(object, chain, result);
}

// The element of an array that one index read in place (an operand in
// place holding an integer) picks among its elements; nil for any
// other place. No script code runs before the element is used, so the array
// needs no hold; an array that nothing counts yet is left to the general
// path, whose hold hands it to the statement's temporaries.
TJValueList* TJEngine::elementInPlace(TJObject* object, TJExpr* chain, int32_t& index) {
    if (!chain || chain->Left || object->ClassType() != &TJArrayObject::classInfo || object->RefCount() <= 0)
        return nullptr;
    const TJValue* key = operandInPlace(chain->Right);
    if (!key || key->ValueType != vtInteger) return nullptr;
    TJValueList& items = static_cast<TJArrayObject*>(object)->Items();
    if (key->IntegerValue < 0 || key->IntegerValue >= items.Count()) return nullptr;
    index = key->IntegerValue;
    return &items;
}

// One index reads the key (its text); several are all passed as arguments,
// the key being the last of them (the head of the chain).
void TJEngine::indexRead(TJObject* object, TJExpr* chain, TJValue& result) {
    int32_t index;
    if (TJValueList* items = elementInPlace(object, chain, index)) {
        // Copied before the result's old value goes, which might free the array.
        TJValue element = items->At(index);
        result = std::move(element);
        return;
    }
    TJValue held;
    MakeObject(object, held);
    TJObjectHold hold(*this, held);
    if (!chain || !chain->Left) {
        TJValue index;
        if (chain) EvaluateExpression(chain->Right, 0, index);
        else MakeString(AnsiString(), index);
        int32_t number;
        if (ValueToIndex(index, number)) object->GetIndexValue(number, result);
        else object->GetValue(ValueToString(index), true, result);
        return;
    }
    TJArgumentList args = BuildArgumentList(chain);
    object->GetValue(ValueToString(args->At(args->Count() - 1)), true, result, args.get());
}

void TJEngine::IndexAssign(const TJValue& target, TJExpr* chain, const TJValue& value) {
    int32_t index;
    if (TJValueList* items = IsObjectValue(target) ? elementInPlace(target.ObjValue, chain, index) : nullptr) {
        items->SetItem(index, value);
        return;
    }
    TJObjectHold hold(*this, target);
    hold.hold(value);
    if (IsObjectValue(target)) {
        TJObject* object = target.ObjValue;
        if (!chain || !chain->Left) {
            TJValue index;
            if (chain) EvaluateExpression(chain->Right, 0, index);
            else MakeString(AnsiString(), index);
            int32_t number;
            if (ValueToIndex(index, number)) object->SetIndexValue(number, value);
            else object->SetValue(ValueToString(index), value);
            return;
        }
        TJArgumentList args = BuildArgumentList(chain);
        object->SetValue(ValueToString(args->At(args->Count() - 1)), value, args.get());
        return;
    }
    if (IsFunctionValue(target)) {
        TJArgumentList args = BuildArgumentList(chain);
        if (!args) args = NewArgumentList();
        args->Add(value);
        setAccess(target.FuncValue.get(), 2);
        TJValue ignored;
        CallFunctionValue(target.FuncValue, args.get(), ignored, nullptr);
        return;
    }
    raiseNeedFunction();
}

// Evaluates a method node's owner (held for the caller) and reads the member.
// A primitive owner is boxed once: its object gives the member and is the
// method's `this`; the boxed object is returned, nil for an object owner.
// Given methodFound, a native method to call on the owner directly is found
// there instead (and nil returned, nothing read): a text's own String method,
// or the class method an object would bind for the read.
TJObject* TJEngine::readMethodMember(TJExpr* node, TJValue& owner, TJObjectHold& hold, TJValue& member,
                                     const TJMethodTable::Entry** methodFound) {
    evaluateOperand(node->Left, owner);
    hold.hold(owner);
    if (methodFound) {
        const AnsiString& name = node->Right->Name;
        if (owner.ValueType == vtString) *methodFound = textMethod(name);
        else if (IsObjectValue(owner) && name != "prototype")
            *methodFound = owner.ObjValue->MethodToCall(name, *memberCache(node));
        if (*methodFound) return nullptr;
    }
    TJObject* boxed = IsObjectValue(owner) ? nullptr : boxValue(owner);
    if (boxed) readMember(boxed, node->Right->Name, member, nullptr);
    else GetMemberValue(owner, node->Right->Name, member, false, memberCache(node));
    return boxed;
}

void TJEngine::MethodCallOrIndex(TJExpr* node, TJValue& result) {
    TJValue owner, member;
    TJObjectHold hold(*this);
    const TJMethodTable::Entry* method = nullptr;
    TJObject* boxed = readMethodMember(node, owner, hold, member, &method);
    if (method) {
        if (IsObjectValue(owner) && isSinglePush(method, node->Third)) {
            // As pushDirect; the owner is held while the argument runs.
            TJValue value;
            evaluateOperand(node->Third->Right, value);
            MakeInteger(static_cast<TJArrayObject*>(owner.ObjValue)->Add(value) + 1, result);
        } else {
            callMethodEntry(method, owner, node->Third, result);
        }
        return;
    }
    if (IsFunctionValue(member)) {
        bool native = FunctionRecord(member.FuncValue.get())->GetFuncType() == ftNative;
        if (!native || !pushDirect(member, node->Third, result))
            callWithArguments(member.FuncValue, node->Third, result, boxed ? boxed : ToScriptObject(owner));
        return;
    }
    if (IsObjectValue(member)) {
        indexRead(member.ObjValue, node->Third, result);
        return;
    }
    raiseNeedFunction();
}

// The value goes into the array as the method adds it, without an argument
// list or a native call. The array is the method's object, which the
// argument's code may have freed (the method's call would raise so).
bool TJEngine::pushDirect(const TJValue& member, TJExpr* chain, TJValue& result) {
    TJFunctionImpl* function = FunctionRecord(member.FuncValue.get());
    if (!isSinglePush(static_cast<const TJMethodTable::Entry*>(function->GetMethod().Code), chain)) return false;
    TJValue value;
    evaluateOperand(chain->Right, value);
    auto* array = static_cast<TJArrayObject*>(function->GetMethod().Data);
    if (!array) raiseNeedFunction();
    MakeInteger(array->Add(value) + 1, result);
    return true;
}

void TJEngine::MethodAssign(TJExpr* node, const TJValue& value) {
    TJValue owner, member;
    TJObjectHold hold(*this);
    TJObject* boxed = readMethodMember(node, owner, hold, member);
    if (IsFunctionValue(member)) {
        TJArgumentList args = BuildArgumentList(node->Third);
        if (!args) args = NewArgumentList();
        args->Add(value);
        setAccess(member.FuncValue.get(), 2);
        TJValue ignored;
        CallFunctionValue(member.FuncValue, args.get(), ignored, boxed ? boxed : ToScriptObject(owner));
        return;
    }
    if (IsObjectValue(member)) {
        IndexAssign(member, node->Third, value);
        return;
    }
    raiseNeedFunction();
}
