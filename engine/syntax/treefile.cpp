// Compiled-tree files: the writer and the reader of the record format.
// Every record starts with a presence byte (bit i: item i follows, bit 0
// always set), then its kind byte. Integers are 32-bit little-endian, strings
// raw code page 932 bytes with a length before them.
#include "engine/syntax/treefile.h"

#include <windows.h>

#include <cstring>

#include "engine/support/sourcefiles.h"
#include "engine/core/value.h"

namespace {

// Presence bits of a statement record.
constexpr uint8_t StExpr = 2, StChild1 = 4, StChild2 = 8, StChild3 = 16, StNext = 32, StReserved = 0xC0;
// Presence bits of an expression record.
constexpr uint8_t ExName = 2, ExValue = 4, ExLeft = 8, ExRight = 16, ExThird = 32, ExFunc = 64, ExReserved = 0x80;
// Presence bits of a value record.
constexpr uint8_t VaString = 2, VaReserved = 0xFC;

constexpr size_t HeaderSize = sizeof TreeFileMagic - 1 + 1;
constexpr size_t RegExpFlagsMax = 7;

// Payload size of a constant's type; -1 for types no tree holds.
int payloadSize(int type) {
    switch (type) {
    case vtUndefined: case vtNull: case vtInteger: case vtBool: case vtInfinity: case vtNaN: return 4;
    case vtDouble: case vtRegExp: return 8;
    case vtString: return 0;
    default: return -1;
    }
}

// ==== Writing ====

class TreeWriter {
public:
    explicit TreeWriter(std::string& out) : out_(out) {}

    bool statements(const TJStatement* node);

private:
    bool enter() { return ++depth_ <= TreeFileMaxDepth; }
    void leave() { --depth_; }
    void byte(uint8_t b) { out_ += static_cast<char>(b); }
    void int32(int32_t value);
    void text(const AnsiString& bytes);
    bool expression(const TJExpr* node);
    void value(const TJValue& v);

    std::string& out_;
    std::vector<const TJExpr*> spine_;
    int depth_ = 0;
};

void TreeWriter::int32(int32_t value) {
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) byte(static_cast<uint8_t>(bits >> (8 * i)));
}

void TreeWriter::text(const AnsiString& bytes) {
    int32(static_cast<int32_t>(bytes.length()));
    out_.append(bytes.c_str(), bytes.length());
}

// A statement record; its Next record closes it, so the chain is a loop.
bool TreeWriter::statements(const TJStatement* node) {
    if (!enter()) return false;
    for (; node; node = node->Next) {
        bool child3 = node->Child3 && !isScopedStatement(node->Kind);
        byte(1 | (node->Expr ? StExpr : 0) | (node->Child1 ? StChild1 : 0) | (node->Child2 ? StChild2 : 0) |
             (child3 ? StChild3 : 0) | (node->Next ? StNext : 0));
        byte(node->Kind);
        int32(node->LineNo);
        if (node->Expr && !expression(node->Expr)) return false;
        if (node->Child1 && !statements(node->Child1)) return false;
        if (node->Child2 && !statements(node->Child2)) return false;
        if (child3 && !statements(node->Child3)) return false;
    }
    leave();
    return true;
}

// An expression record holds its Left record before its other parts: the
// heads of a left-leaning chain are written first, then the rest of each
// link from the innermost out.
bool TreeWriter::expression(const TJExpr* node) {
    if (!enter()) return false;
    size_t base = spine_.size();
    for (; node; node = node->Left) {
        byte(1 | (node->Name.empty() ? 0 : ExName) | (node->Value ? ExValue : 0) | (node->Left ? ExLeft : 0) |
             (node->Right ? ExRight : 0) | (node->Third ? ExThird : 0) | (node->Func ? ExFunc : 0));
        byte(node->Code);
        if (!node->Name.empty()) text(node->Name);
        if (node->Value) value(*node->Value);
        spine_.push_back(node);
    }
    for (size_t i = spine_.size(); i-- > base;) {
        const TJExpr* link = spine_[i];
        if (link->Right && !expression(link->Right)) return false;
        if (link->Third && !expression(link->Third)) return false;
        if (link->Func && !statements(link->Func)) return false;
    }
    spine_.resize(base);
    leave();
    return true;
}

void TreeWriter::value(const TJValue& v) {
    AnsiString str = v.ValueType == vtString || v.ValueType == vtRegExp ? v.StrValue : AnsiString();
    byte(1 | (str.empty() ? 0 : VaString));
    byte(v.ValueType);
    uint8_t payload[8] = {};
    switch (v.ValueType) {
    case vtInteger: std::memcpy(payload, &v.IntegerValue, 4); break;
    case vtBool: payload[0] = v.BooleanValue ? 1 : 0; break;
    case vtInfinity: payload[0] = v.Negative ? 1 : 0; break;
    case vtDouble: std::memcpy(payload, &v.DoubleValue, 8); break;
    case vtRegExp: {
        std::string_view flags = v.regExpFlags();
        payload[0] = static_cast<uint8_t>(flags.size());
        std::memcpy(payload + 1, flags.data(), flags.size());
        break;
    }
    default: break;
    }
    int size = payloadSize(v.ValueType);
    if (size > 0) out_.append(reinterpret_cast<const char*>(payload), size);
    if (!str.empty()) text(str);
}

// ==== Reading ====

struct CorruptTree {};

[[noreturn]] void corrupt() { throw CorruptTree{}; }

// ==== Shapes ====
// Where a record stands decides what it may be: the shapes the parser makes,
// so that every part the evaluator follows is there and of the kind it
// expects (an object literal's entries are key and value pairs, a member's
// name is an identifier, a for statement has its two clauses). A record of
// any other shape makes the file corrupt.

// What an expression record stands for.
enum class ExprRole : uint8_t {
    Value,      // any expression that gives a value
    Result,     // a return or throw value: also the empty expression
    ForHead,    // a for head: also "var" with its expression
    Name,       // a bare identifier: member, super, new, function and parameter names
    ClassName,  // a class's identifier, its base's identifier in Left
    Declared,   // a declarator's identifier, its initial value in Left
    Key,        // an object literal key: an identifier or a constant
    Arguments,  // an argument link: the previous link in Left, the item in Right
    Entries,    // an object literal link: the previous link in Left, the entry in Right
    Entry,      // an object literal entry: the key in Left, the value in Right
};

// What a statement record and the rest of its Next chain stand for.
enum class StatementRole : uint8_t {
    Program,        // the root: one program
    Statements,     // a statement list
    Members,        // a class body: functions, declarators and their var statements
    Parameters,     // a function's parameter list (one empty parameter for none)
    Declarators,    // a var, static or global statement's declarators
    Cases,          // a switch's case and default clauses
    ForClauses,     // a for statement's condition and update holders: exactly two
    ForCollection,  // a for-in statement's collection holder
    Catch,          // a try's catch clause
    Finally,        // a try's finally clause
    Function,       // a function literal's declaration
};

// The parts a record must have and may have (presence bits), and the roles of
// its sub-records.
template <class Role>
struct Shape {
    uint8_t required = 0;
    uint8_t allowed = 0;
    Role parts[3] = {};
};

using ExprShape = Shape<ExprRole>;
using StatementShape = Shape<StatementRole>;

template <class Role>
bool shapeOf(Shape<Role>& shape, uint8_t required, uint8_t optional, Role first = {}, Role second = {},
             Role third = {}) {
    shape = {required, static_cast<uint8_t>(required | optional), {first, second, third}};
    return true;
}

// Comma, assignments and the binary operators: two value operands.
bool isOperandPair(int code) {
    return code == ecComma || (code >= ecAdd && code <= ecOrAssign) || (code >= ecOrShort && code <= ecBitOr);
}

// The expressions that give a value; parts in the order Left, Right, Third.
bool valueShape(int code, ExprShape& shape) {
    using enum ExprRole;
    if (isOperandPair(code)) return shapeOf(shape, ExLeft | ExRight, 0);
    if (code >= ecPreInc && code <= ecNot) return shapeOf(shape, ExLeft, 0);
    switch (code) {
    case ecConstant: return shapeOf(shape, ExValue, 0);
    case ecIdentifier: return shapeOf(shape, ExName, 0);
    case ecThis: return shapeOf(shape, 0, 0);
    case ecPlus: case ecMinus: case ecBitNot: return shapeOf(shape, ExLeft, 0);
    case ecMember: return shapeOf(shape, ExLeft | ExRight, 0, Value, Name);
    case ecSuper: return shapeOf(shape, ExRight, 0, Value, Name);
    case ecNew: return shapeOf(shape, ExLeft, ExRight, Name, Arguments);
    case ecObjectLiteral: return shapeOf(shape, 0, ExLeft, Entries);
    case ecArrayLiteral: return shapeOf(shape, 0, ExLeft, Arguments);
    case ecCall: return shapeOf(shape, ExLeft, ExRight, Value, Arguments);
    case ecConditional: return shapeOf(shape, ExLeft | ExRight | ExThird, 0);
    case ecFunction: return shapeOf(shape, ExFunc, 0);
    case ecMethodCall: return shapeOf(shape, ExLeft | ExRight, ExThird, Value, Name, Arguments);
    default: return false;  // the empty expression, links, entries and for heads stand only in their places
    }
}

bool exprShape(int code, ExprRole role, ExprShape& shape) {
    using enum ExprRole;
    switch (role) {
    case Name: return code == ecIdentifier && shapeOf(shape, ExName, 0);
    case ClassName: return code == ecIdentifier && shapeOf(shape, ExName, ExLeft, Name);
    case Declared: return code == ecIdentifier && shapeOf(shape, ExName, ExLeft, Value);
    case Key:
        if (code == ecIdentifier) return shapeOf(shape, ExName, 0);
        return code == ecConstant && shapeOf(shape, ExValue, 0);
    case Arguments: return code == ecArgument && shapeOf(shape, ExRight, ExLeft, Arguments, Value);
    case Entries: return code == ecArgument && shapeOf(shape, ExRight, ExLeft, Entries, Entry);
    case Entry: return code == ecObjectEntry && shapeOf(shape, ExLeft, ExRight, Key, Value);
    case Result:
        if (code == ecEmpty) return shapeOf(shape, 0, 0);
        break;
    case ForHead:
        if (code == ecForVar) return shapeOf(shape, ExLeft, 0, Value);
        break;
    case Value: break;
    }
    return valueShape(code, shape);
}

// Statements; parts in the order Child1, Child2, Child3 (the expression's
// role is returned apart).
bool statementShape(int kind, StatementRole role, StatementShape& shape, ExprRole& expr) {
    using enum StatementRole;
    expr = ExprRole::Value;
    switch (role) {
    case Program:
        if (kind != scProgram) return false;
        break;
    case Parameters: expr = ExprRole::Name; return kind == scParameter && shapeOf(shape, 0, StExpr);
    case Declarators: expr = ExprRole::Declared; return kind == scDeclarator && shapeOf(shape, StExpr, 0);
    case Cases: return kind == scCase && shapeOf(shape, 0, StExpr | StChild1, Statements);
    case ForClauses: return kind == scEmpty && shapeOf(shape, 0, StExpr);
    case ForCollection: return kind == scEmpty && shapeOf(shape, StExpr, 0);
    case Catch: expr = ExprRole::Name; return kind == scCatch && shapeOf(shape, StChild1, StExpr, Statements);
    case Finally: return kind == scFinally && shapeOf(shape, StChild1, 0, Statements);
    case Function:
        if (kind != scFunction) return false;
        break;
    case Members:
        if (kind == scDeclarator) {
            expr = ExprRole::Declared;
            return shapeOf(shape, StExpr, 0);
        }
        if (kind != scFunction && kind != scVar && kind != scStatic && kind != scGlobal) return false;
        break;
    case Statements: break;
    }
    switch (kind) {
    case scEmpty: case scBreak: case scContinue: return shapeOf(shape, 0, 0);
    case scProgram: expr = ExprRole::Name; return shapeOf(shape, StChild1, StExpr, Statements);
    case scBlock: return shapeOf(shape, 0, StChild1, Statements);
    case scExpression: return shapeOf(shape, StExpr, 0);
    case scIf: return shapeOf(shape, StExpr | StChild1, StChild2, Statements, Statements);
    case scWhile: case scDo: case scWith: return shapeOf(shape, StExpr | StChild1, 0, Statements);
    case scFor: expr = ExprRole::ForHead; return shapeOf(shape, StChild1 | StChild2, StExpr, Statements, ForClauses);
    case scForIn: case scForEach:
        expr = ExprRole::ForHead;
        return shapeOf(shape, StExpr | StChild1 | StChild2, 0, Statements, ForCollection);
    case scFunction: expr = ExprRole::Name; return shapeOf(shape, StChild1 | StChild2, StExpr, Parameters, Statements);
    case scClass: expr = ExprRole::ClassName; return shapeOf(shape, StExpr, StChild1, Members);
    case scReturn: case scThrow: expr = ExprRole::Result; return shapeOf(shape, 0, StExpr);
    case scTry: return shapeOf(shape, StChild1, StChild2 | StChild3, Statements, Catch, Finally);
    case scVar: case scStatic: case scGlobal: return shapeOf(shape, StChild1, 0, Declarators);
    case scSwitch: return shapeOf(shape, StExpr | StChild1, 0, Cases);
    default: return false;  // parameters, declarators, cases, catch and finally stand only in their places
    }
}

// How many records a chain of the role holds; 0 for any number.
size_t chainRecords(StatementRole role) {
    switch (role) {
    case StatementRole::ForClauses: return 2;
    case StatementRole::Program: case StatementRole::ForCollection: case StatementRole::Catch:
    case StatementRole::Finally: case StatementRole::Function:
        return 1;
    default: return 0;
    }
}

class TreeReader {
public:
    TreeReader(std::string_view bytes, TJExprFactory& exprs, TJStatementFactory& statements)
        : p_(reinterpret_cast<const uint8_t*>(bytes.data())), end_(p_ + bytes.size()), exprs_(exprs),
          statements_(statements) {}

    TJStatement* statements(StatementRole role);
    bool atEnd() const { return p_ == end_; }

private:
    // A link of a Left chain whose other parts are still to be read.
    struct Pending {
        TJExpr* node;
        uint8_t presence;
        ExprRole right, third;
    };

    void enter() {
        if (++depth_ > TreeFileMaxDepth) corrupt();
    }
    void leave() { --depth_; }
    const uint8_t* take(size_t count);
    uint8_t byte() { return *take(1); }
    int32_t int32();
    AnsiString text();
    uint8_t presence(uint8_t reserved);
    TJExpr* expression(ExprRole role);
    std::unique_ptr<TJValue> value();

    const uint8_t* p_;
    const uint8_t* end_;
    TJExprFactory& exprs_;
    TJStatementFactory& statements_;
    std::vector<TJStatement*> scopes_;
    std::vector<Pending> spine_;
    int depth_ = 0;
};

const uint8_t* TreeReader::take(size_t count) {
    if (static_cast<size_t>(end_ - p_) < count) corrupt();
    const uint8_t* at = p_;
    p_ += count;
    return at;
}

int32_t TreeReader::int32() {
    const uint8_t* b = take(4);
    return static_cast<int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

// A length and its bytes; the writer never stores an empty text.
AnsiString TreeReader::text() {
    uint32_t length = static_cast<uint32_t>(int32());
    if (length == 0) corrupt();
    const uint8_t* bytes = take(length);
    return AnsiString(reinterpret_cast<const char*>(bytes), length);
}

uint8_t TreeReader::presence(uint8_t reserved) {
    uint8_t bits = byte();
    if (!(bits & 1) || (bits & reserved)) corrupt();
    return bits;
}

// A presence byte: the parts a record of its shape must have are there,
// and no others.
template <class Role>
void checkParts(uint8_t bits, const Shape<Role>& shape, uint8_t chain) {
    if ((bits & shape.required) != shape.required || (bits & ~(shape.allowed | chain | 1))) corrupt();
}

// A statement record and the records of its Next chain. A scoped node is
// the scope of what its own record holds and is popped before its Next, so
// a function that follows another gets the enclosing scope, as after parsing.
TJStatement* TreeReader::statements(StatementRole role) {
    enter();
    TJStatement* first = nullptr;
    TJStatement* previous = nullptr;
    size_t count = 0;
    for (;;) {
        uint8_t bits = presence(StReserved);
        uint8_t kind = byte();
        StatementShape shape;
        ExprRole exprRole;
        if (!statementShape(kind, role, shape, exprRole)) corrupt();
        checkParts(bits, shape, StNext);
        if (kind == scTry && !(bits & (StChild2 | StChild3))) corrupt();  // a catch or a finally clause
        auto code = static_cast<TJStatementCode>(kind);
        bool scoped = isScopedStatement(code);
        TJStatement* node = statements_.NewStatement(code, 0);
        if (code == scFunction || code == scClass) node->Child3 = scopes_.empty() ? nullptr : scopes_.back();
        node->LineNo = int32();
        if (scoped) scopes_.push_back(node);
        if (bits & StExpr) node->Expr = expression(exprRole);
        if (bits & StChild1) node->Child1 = statements(shape.parts[0]);
        if (bits & StChild2) node->Child2 = statements(shape.parts[1]);
        if (bits & StChild3) node->Child3 = statements(shape.parts[2]);
        if (scoped) scopes_.pop_back();
        if (previous) previous->Next = node;
        else first = node;
        previous = node;
        ++count;
        if (!(bits & StNext)) break;
    }
    size_t records = chainRecords(role);
    if (records && count != records) corrupt();
    leave();
    return first;
}

// An expression record: its Left chain in a loop, each link's role following
// from its parent's shape; then the other parts from the innermost link out.
TJExpr* TreeReader::expression(ExprRole role) {
    enter();
    size_t base = spine_.size();
    TJExpr* first = nullptr;
    for (TJExpr* parent = nullptr;;) {
        uint8_t bits = presence(ExReserved);
        uint8_t code = byte();
        ExprShape shape;
        if (!exprShape(code, role, shape)) corrupt();
        checkParts(bits, shape, 0);
        TJExpr* node = exprs_.NewExpr(static_cast<TJExprCode>(code));
        if (bits & ExName) node->Name = text();
        if (bits & ExValue) node->Value = value();
        if (parent) parent->Left = node;
        else first = node;
        spine_.push_back({node, bits, shape.parts[1], shape.parts[2]});
        if (!(bits & ExLeft)) break;
        parent = node;
        role = shape.parts[0];
    }
    for (size_t i = spine_.size(); i-- > base;) {
        Pending link = spine_[i];
        if (link.presence & ExRight) link.node->Right = expression(link.right);
        if (link.presence & ExThird) link.node->Third = expression(link.third);
        if (link.presence & ExFunc) link.node->Func = statements(StatementRole::Function);
    }
    spine_.resize(base);
    leave();
    return first;
}

std::unique_ptr<TJValue> TreeReader::value() {
    uint8_t bits = presence(VaReserved);
    uint8_t type = byte();
    int size = payloadSize(type);
    if (size < 0) corrupt();
    bool hasText = bits & VaString;
    if (hasText && type != vtString && type != vtRegExp) corrupt();
    const uint8_t* payload = take(size);
    AnsiString str = hasText ? text() : AnsiString();
    auto v = std::make_unique<TJValue>();
    switch (type) {
    case vtNull: MakeNull(*v); break;
    case vtInteger: {
        int32_t number;
        std::memcpy(&number, payload, 4);
        MakeInteger(number, *v);
        break;
    }
    case vtDouble: {
        double number;
        std::memcpy(&number, payload, 8);
        MakeDouble(number, *v);
        break;
    }
    case vtString: MakeString(str, *v); break;
    case vtBool: MakeBool(payload[0] != 0, *v); break;
    case vtInfinity: MakeInfinity(payload[0] != 0, *v); break;
    case vtNaN: MakeNaN(*v); break;
    case vtRegExp:
        if (payload[0] > RegExpFlagsMax) corrupt();
        MakeRegExp(str, std::string_view(reinterpret_cast<const char*>(payload + 1), payload[0]), *v);
        break;
    default: MakeUndefined(*v); break;
    }
    return v;
}

}  // namespace

bool writeTreeBytes(const TJStatement* root, std::string& out) {
    std::string bytes(TreeFileMagic, HeaderSize - 1);
    bytes += static_cast<char>(TreeFileVersion);
    TreeWriter writer(bytes);
    if (root && !writer.statements(root)) return false;
    out = std::move(bytes);
    return true;
}

TJStatement* readTreeBytes(std::string_view bytes, TJExprFactory& exprs, TJStatementFactory& statements) {
    if (bytes.size() <= HeaderSize || bytes.substr(0, HeaderSize - 1) != TreeFileMagic ||
        static_cast<uint8_t>(bytes[HeaderSize - 1]) != TreeFileVersion)
        return nullptr;
    TreeReader reader(bytes.substr(HeaderSize), exprs, statements);
    try {
        TJStatement* root = reader.statements(StatementRole::Program);
        return reader.atEnd() ? root : nullptr;
    } catch (const CorruptTree&) {
        return nullptr;
    }
}

// ==== Files ====

bool writeTreeFile(const TJStatement* root, const AnsiString& fileName) {
    std::string bytes;
    if (!writeTreeBytes(root, bytes)) return false;
    HANDLE file = CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    if (!ok) DeleteFileA(fileName.c_str());  // a partial file must not be taken for a tree
    return ok;
}

TJStatement* readTreeFile(const AnsiString& fileName, TJExprFactory& exprs, TJStatementFactory& statements) {
    AnsiString bytes;
    if (!readFileBytes(fileName, bytes)) return nullptr;
    return readTreeBytes(bytes.view(), exprs, statements);
}
