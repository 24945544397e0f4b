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
    const AnsiString& str = v.StrValue;
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

// Parts each statement kind and expression code always has after parsing;
// a file without them would hand the evaluator a hole.
uint8_t requiredStatementParts(int kind) {
    switch (kind) {
    case scProgram: return StChild1;
    case scExpression: case scDeclarator: return StExpr;
    case scIf: case scWhile: case scDo: case scWith: case scSwitch: return StExpr | StChild1;
    case scFor: return StChild1 | StChild2;
    case scForIn: case scForEach: return StExpr | StChild1 | StChild2;
    case scFunction: return StChild1 | StChild2;
    case scClass: return StExpr;
    case scTry: case scCatch: case scFinally: case scVar: case scStatic: case scGlobal: return StChild1;
    default: return 0;
    }
}

uint8_t requiredExprParts(int code) {
    if (code == ecConstant) return ExValue;
    if (code == ecFunction) return ExFunc;
    if (code == ecConditional) return ExLeft | ExRight | ExThird;
    if (code == ecMember || code == ecMethodCall) return ExLeft | ExRight;
    if (code == ecComma || (code >= ecAdd && code <= ecOrAssign) || (code >= ecOrShort && code <= ecBitOr))
        return ExLeft | ExRight;
    switch (code) {
    case ecPlus: case ecMinus: case ecObjectEntry: case ecNew: case ecCall: case ecForVar: case ecBitNot:
        return ExLeft;
    case ecSuper: case ecArgument: return ExRight;
    default: return code >= ecPreInc && code <= ecNot ? ExLeft : 0;
    }
}

class TreeReader {
public:
    TreeReader(std::string_view bytes, TJExprFactory& exprs, TJStatementFactory& statements)
        : p_(reinterpret_cast<const uint8_t*>(bytes.data())), end_(p_ + bytes.size()), exprs_(exprs),
          statements_(statements) {}

    TJStatement* statements();
    bool atEnd() const { return p_ == end_; }

private:
    struct Pending {
        TJExpr* node;
        uint8_t presence;
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
    TJExpr* expression();
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

// A statement record and the records of its Next chain. A scoped node is
// the scope of what its own record holds and is popped before its Next, so
// a function that follows another gets the enclosing scope, as after parsing.
TJStatement* TreeReader::statements() {
    enter();
    TJStatement* first = nullptr;
    TJStatement* previous = nullptr;
    for (;;) {
        uint8_t bits = presence(StReserved);
        uint8_t kind = byte();
        if (kind >= TJStatementCodeCount) corrupt();
        auto code = static_cast<TJStatementCode>(kind);
        bool scoped = isScopedStatement(code);
        uint8_t required = requiredStatementParts(kind);
        if ((bits & required) != required || (scoped && (bits & StChild3))) corrupt();
        TJStatement* node = statements_.NewStatement(code, 0);
        if (code == scFunction || code == scClass) node->Child3 = scopes_.empty() ? nullptr : scopes_.back();
        node->LineNo = int32();
        if (scoped) scopes_.push_back(node);
        if (bits & StExpr) node->Expr = expression();
        if (bits & StChild1) node->Child1 = statements();
        if (bits & StChild2) node->Child2 = statements();
        if (bits & StChild3) node->Child3 = statements();
        if (scoped) scopes_.pop_back();
        if (code == scFor && !node->Child2->Next) corrupt();  // the condition and update holders
        if (previous) previous->Next = node;
        else first = node;
        previous = node;
        if (!(bits & StNext)) break;
    }
    leave();
    return first;
}

TJExpr* TreeReader::expression() {
    enter();
    size_t base = spine_.size();
    TJExpr* first = nullptr;
    for (TJExpr* parent = nullptr;;) {
        uint8_t bits = presence(ExReserved);
        uint8_t code = byte();
        if (code >= TJExprCodeCount) corrupt();
        uint8_t required = requiredExprParts(code);
        if ((bits & required) != required) corrupt();
        TJExpr* node = exprs_.NewExpr(static_cast<TJExprCode>(code));
        if (bits & ExName) node->Name = text();
        if (bits & ExValue) node->Value = value();
        if (parent) parent->Left = node;
        else first = node;
        spine_.push_back({node, bits});
        if (!(bits & ExLeft)) break;
        parent = node;
    }
    for (size_t i = spine_.size(); i-- > base;) {
        Pending link = spine_[i];
        if (link.presence & ExRight) link.node->Right = expression();
        if (link.presence & ExThird) link.node->Third = expression();
        if (link.presence & ExFunc) {
            link.node->Func = statements();
            if (link.node->Func->Kind != scFunction) corrupt();
        }
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
        TJStatement* root = reader.statements();
        return reader.atEnd() && root->Kind == scProgram && !root->Next ? root : nullptr;
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
