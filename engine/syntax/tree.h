// The script syntax tree: expression nodes (TJExpr), statement nodes
// (TJStatement), their kind codes, and the two factories that own every node
// and fold operators on constants while the tree is built. The parser builds
// the tree, the compiled-tree file stores it and the evaluator walks it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "engine/core/exprcode.h"
#include "rtl/ansistring.h"

struct TJValue;
struct TJExpr;
struct TJStatement;
struct TJMemberCache;
struct TJNameCache;
class TJEngine;

// The evaluator's routine for an expression node of one shape.
using TJExprHandler = void (*)(TJEngine& engine, TJExpr* node, int flags, TJValue& value);

// ==== Statement kinds ====
// The numbers are stored in compiled-tree files: never renumber. The
// expression codes are in engine/core/exprcode.h.

// X(name, code)
#define JSTATEMENT_CODES(X)                                                  \
    X(scEmpty, 0)                                                     \
    X(scProgram, 1)                                                 \
    X(scBlock, 2)                                                     \
    X(scExpression, 3)                                                 \
    X(scIf, 4)                                                           \
    X(scWhile, 5)                                                     \
    X(scDo, 6)                                                           \
    X(scFor, 7)                                                         \
    X(scForIn, 8)                                                     \
    X(scForEach, 9)                                                 \
    X(scFunction, 10)                                              \
    X(scParameter, 11)                                                \
    X(scClass, 12)                                                    \
    X(scDeclarator, 13)                                                \
    X(scBreak, 14)                                                    \
    X(scContinue, 15)                                              \
    X(scReturn, 16)                                                  \
    X(scTry, 17)                                                        \
    X(scCatch, 18)                                                    \
    X(scFinally, 19)                                                \
    X(scThrow, 20)                                                    \
    X(scWith, 21)                                                      \
    X(scVar, 22)                                                        \
    X(scCase, 23)                                                      \
    X(scSwitch, 24)                                                  \
    X(scStatic, 25)                                                  \
    X(scGlobal, 26)

enum TJStatementCode : uint8_t {
#define JSTATEMENT_ENUM(name, code) name = code,
    JSTATEMENT_CODES(JSTATEMENT_ENUM)
#undef JSTATEMENT_ENUM
};

#define JCODE_COUNT(name, code) +1
constexpr int TJExprCodeCount = 0 JEXPR_CODES(JCODE_COUNT);
constexpr int TJStatementCodeCount = 0 JSTATEMENT_CODES(JCODE_COUNT);
#undef JCODE_COUNT

// Program, function and class nodes open a scope; their Child3 is the
// enclosing scope node.
inline bool isScopedStatement(TJStatementCode kind) {
    return kind == scProgram || kind == scFunction || kind == scClass;
}

// ==== Nodes ====

struct TJExpr {
    // The fields an identifier or a constant is read by come first, together.
    TJExprCode Code = ecEmpty;
    // Identifiers: the evaluator's note of the parameter the name was last
    // found to be (the Serial of the function's scope table, the position);
    // never stored in files.
    int32_t ParameterSlot = 0;
    // The evaluator's routine for the node's shape, chosen at its first run
    // (never stored in files).
    TJExprHandler Handler = nullptr;
    TJExpr* Left = nullptr;
    TJExpr* Right = nullptr;
    TJExpr* Third = nullptr;
    uint64_t ParameterScope = 0;
    std::unique_ptr<TJValue> Value;  // constants only
    AnsiString Name;                 // identifiers
    // Identifiers: what the lookups of the name along the scope chain found,
    // made at the first lookup that is no parameter's (never stored in files).
    std::unique_ptr<TJNameCache> NameCache;
    TJStatement* Func = nullptr;     // function literals: the kind 10 statement
    // Member and method-call nodes: where the member was found last time,
    // made at the first read or write (never stored in tree files).
    std::unique_ptr<TJMemberCache> MemberCache;

    TJExpr();
    ~TJExpr();
};

// Whether an expression node is a constant or an identifier.
inline bool IsConstantExpr(const TJExpr* expr) { return expr && expr->Code == ecConstant; }
inline bool IsIdentifierExpr(const TJExpr* expr) { return expr && expr->Code == ecIdentifier; }

struct TJStatement {
    TJStatementCode Kind = scEmpty;
    TJExpr* Expr = nullptr;
    TJStatement* Prev = nullptr;  // only while parsing; not stored in files
    TJStatement* Next = nullptr;
    TJStatement* Child1 = nullptr;
    TJStatement* Child2 = nullptr;
    TJStatement* Child3 = nullptr;  // scoped kinds: the enclosing scope node
    int32_t LineNo = 0;
};

// ==== Factories ====

// Storage for nodes of one type, taken from large blocks; freed slots are
// reused. Parsing makes millions of small nodes: one allocation each would
// dominate the time.
template <class Node>
class TJNodePool {
public:
    TJNodePool() = default;
    TJNodePool(const TJNodePool&) = delete;
    TJNodePool& operator=(const TJNodePool&) = delete;
    ~TJNodePool() { releaseBlocks(); }

    Node* make() {
        void* slot;
        if (!free_.empty()) {
            slot = free_.back();
            free_.pop_back();
        } else {
            if (used_ == BlockNodes) {
                blocks_.push_back(nullptr);
                blocks_.back() = ::operator new(sizeof(Node) * BlockNodes);
                used_ = 0;
            }
            slot = static_cast<char*>(blocks_.back()) + sizeof(Node) * used_++;
        }
        return new (slot) Node();
    }
    void destroy(Node* node) {
        node->~Node();
        free_.push_back(node);
    }
    // Destroys the nodes, last first, and frees all storage.
    void clear(std::vector<Node*>& nodes) {
        for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) (*it)->~Node();
        nodes.clear();
        releaseBlocks();
    }

private:
    static constexpr size_t BlockNodes = 1024;

    void releaseBlocks() {
        for (void* block : blocks_) ::operator delete(block);
        blocks_.clear();
        free_.clear();
        used_ = BlockNodes;
    }

    std::vector<void*> blocks_;
    std::vector<void*> free_;
    size_t used_ = BlockNodes;
};

// Owns every expression node it makes; folds operators on constants.
class TJExprFactory {
public:
    TJExprFactory() = default;
    TJExprFactory(const TJExprFactory&) = delete;
    TJExprFactory& operator=(const TJExprFactory&) = delete;
    ~TJExprFactory() { Clear(); }

    TJExpr* NewExpr(TJExprCode code = ecEmpty);
    // Unary +, - and ~ on a constant fold into that constant node.
    TJExpr* MakeUnary(TJExprCode code, TJExpr* operand);
    // Arithmetic, shift, bitwise, logical and comparison operators on two
    // constants give one new constant; the operands are freed at once.
    TJExpr* MakeBinary(TJExprCode code, TJExpr* left, TJExpr* right);
    TJExpr* MakeTernary(TJExprCode code, TJExpr* left, TJExpr* third, TJExpr* right);

    TJExpr* MakeConstant(std::unique_ptr<TJValue> value);
    TJExpr* MakeInteger(int32_t value);
    TJExpr* MakeDouble(double value);
    TJExpr* MakeNull();
    TJExpr* MakeBool(bool value);
    TJExpr* MakeString(const AnsiString& text);
    TJExpr* MakeNaN();
    TJExpr* MakeRegExp(const AnsiString& pattern, std::string_view flags);
    TJExpr* MakeIdentifier(const AnsiString& name);
    TJExpr* MakeThis();
    // One link of an argument chain: Left the previous link, Right the item.
    TJExpr* MakeArgument(TJExpr* previous, TJExpr* item);
    TJExpr* MakeEntry(TJExpr* key, TJExpr* value);
    TJExpr* MakeSuperMember(TJExpr* name);
    TJExpr* MakeFunction(TJStatement* function);

    // Frees every node, last made first.
    void Clear();
    // Number of live nodes; FreeSince(mark) frees the nodes made after a
    // Count() taken as mark (a failed parse that nothing refers to).
    size_t Count() const { return nodes_.size(); }
    void FreeSince(size_t mark);

private:
    void free(TJExpr* node);
    TJNodePool<TJExpr> pool_;
    std::vector<TJExpr*> nodes_;
};

// Owns every statement node it makes.
class TJStatementFactory {
public:
    TJStatementFactory() = default;
    TJStatementFactory(const TJStatementFactory&) = delete;
    TJStatementFactory& operator=(const TJStatementFactory&) = delete;
    ~TJStatementFactory() { Clear(); }

    TJStatement* NewStatement(TJStatementCode kind, int32_t lineNo);
    static TJStatement* FirstOf(TJStatement* node);
    static TJStatement* LastOf(TJStatement* node);
    static void LinkStatements(TJStatement* a, TJStatement* b);

    void Clear();
    size_t Count() const { return nodes_.size(); }
    void FreeSince(size_t mark);

private:
    TJNodePool<TJStatement> pool_;
    std::vector<TJStatement*> nodes_;
};
