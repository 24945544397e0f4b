// TJParser: recursive descent over the lexer's tokens, one function per
// grammar rule. A rule either does not start (returns nil, consumes nothing)
// or finishes; a rule that has started and meets a token it cannot use
// raises the syntax error. Node line numbers are the lexer's line when the
// node is made.
#include "engine/syntax/parser.h"

#include <windows.h>

#include "engine/core/errors.h"
#include "engine/support/sourcefiles.h"
#include "engine/syntax/treefile.h"
#include "engine/core/value.h"

// Counts one level of recursive descent; too many is a syntax error.
class ParseDepthGuard {
public:
    explicit ParseDepthGuard(TJParser& parser) : parser_(parser) {
        if (parser_.depth_ >= ParserMaxDepth) parser_.RaiseSyntaxError("nesting too deep");
        ++parser_.depth_;
    }
    ~ParseDepthGuard() { --parser_.depth_; }
    ParseDepthGuard(const ParseDepthGuard&) = delete;
    ParseDepthGuard& operator=(const ParseDepthGuard&) = delete;

private:
    TJParser& parser_;
};

namespace {

// Restores the assignable flag when a bracketed part of an expression ends:
// what happens inside brackets does not make the outside assignable.
class AssignableScope {
public:
    explicit AssignableScope(bool& flag) : flag_(flag), saved_(flag) { flag_ = false; }
    ~AssignableScope() { flag_ = saved_; }
    AssignableScope(const AssignableScope&) = delete;
    AssignableScope& operator=(const AssignableScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

// ==== Binary operators ====
// Precedence from the loosest level (0) to the tightest; all left-associative.
struct BinaryOperator {
    TJToken token;
    wchar_t subCode;  // 0: any
    TJExprCode code;
    int level;
};

constexpr BinaryOperator BinaryOperators[] = {
    {tkOr, 0, ecOrShort, 0},
    {tkAnd, 0, ecAndShort, 1},
    {tkBitOr, 0, ecBitOr, 2},
    {tkBitXor, 0, ecBitXor, 3},
    {tkBitAnd, 0, ecBitAnd, 4},
    {tkEqualityOp, '=', ecEqual, 5},
    {tkEqualityOp, '!', ecNotEqual, 5},
    {tkEqualityOp, '3', ecStrictEqual, 5},
    {tkEqualityOp, '2', ecStrictNotEqual, 5},
    {tkRelOp, '<', ecLess, 6},
    {tkRelOp, '>', ecGreater, 6},
    {tkRelOp, '(', ecLessEqual, 6},
    {tkRelOp, ')', ecGreaterEqual, 6},
    {tkShiftOp, '<', ecShl, 7},
    {tkShiftOp, '>', ecShr, 7},
    {tkShiftOp, '3', ecUShr, 7},
    {tkAddOp, '+', ecAdd, 8},
    {tkAddOp, '-', ecSub, 8},
    {tkMulOp, '*', ecMul, 9},
    {tkMulOp, '/', ecDiv, 9},
    {tkMulOp, '%', ecMod, 9},
    {tkMulOp, 'd', ecIntDiv, 9},
};

const BinaryOperator* findBinaryOperator(TJToken token, wchar_t subCode) {
    bool operatorToken = (token >= tkAddOp && token <= tkEqualityOp) || (token >= tkOr && token <= tkBitAnd);
    if (!operatorToken) return nullptr;
    for (const BinaryOperator& op : BinaryOperators)
        if (op.token == token && (op.subCode == 0 || op.subCode == subCode)) return &op;
    return nullptr;
}

// Compound assignment by the operator's sub-code.
bool compoundAssignment(wchar_t subCode, TJExprCode& code) {
    switch (subCode) {
    case '*': code = ecMulAssign; return true;
    case '/': code = ecDivAssign; return true;
    case '+': code = ecAddAssign; return true;
    case '-': code = ecSubAssign; return true;
    case '%': code = ecModAssign; return true;
    case '<': code = ecShlAssign; return true;
    case '>': code = ecShrAssign; return true;
    case '3': code = ecUShrAssign; return true;
    case '&': code = ecAndAssign; return true;
    case '^': code = ecXorAssign; return true;
    case '|': code = ecOrAssign; return true;
    default: return false;
    }
}

// Prefix operators by token and sub-code.
bool unaryOperator(TJToken token, wchar_t subCode, TJExprCode& code) {
    switch (token) {
    case tkIncDec: code = subCode == '+' ? ecPreInc : ecPreDec; return true;
    case tkAddOp: code = subCode == '+' ? ecPlus : ecMinus; return true;
    case tkUnaryOp: code = subCode == '!' ? ecNot : ecBitNot; return true;
    case tkDelete: code = ecDelete; return true;
    case tkTypeof: code = ecTypeOf; return true;
    case tkVoid: code = ecVoid; return true;
    default: return false;
    }
}

}  // namespace

// ==== Life cycle ====

TJParser::TJParser() { directives_.SetValue("DAZiduva", 1); }

TJParser::~TJParser() { Reset(); }

void TJParser::Reset() {
    lexer_.Reset();
    functionTexts_.clear();
    root_ = nullptr;
    statements_.Clear();
    exprs_.Clear();
    subParsers_.clear();
    directives_.Clear();
    scopeStack_.clear();
    textImports_.clear();
    hasImports_ = false;
    assignable_ = false;
}

// Program -> { TopLevelStatement }
bool TJParser::Parse(const AnsiString& namespaceName) {
    Reset();
    lexer_.SetSource(Source);
    if (!lexer_.NextToken()) return false;
    TJStatement* program = statements_.NewStatement(scProgram, 1);
    if (!namespaceName.empty()) program->Expr = exprs_.MakeIdentifier(namespaceName);
    scopeStack_.push_back(program);
    TJStatement* first = programStatements();
    scopeStack_.pop_back();
    if (!first) return false;
    program->Child1 = first;
    root_ = program;
    return true;
}

TJExpr* TJParser::ParseFunctionText(const AnsiString& text) {
    // Directives change how "||", "&&" and for-in parse: part of the key.
    std::string key;
    key += directiveSet("SHORT_CIRCUIT", 0) ? '0' : '1';
    key += directives_.GetValue("VERSION7") != 0 ? '7' : '-';
    key.append(text.view());
    if (auto found = functionTexts_.find(key); found != functionTexts_.end()) return found->second;

    size_t exprMark = exprs_.Count(), statementMark = statements_.Count(), scopes = scopeStack_.size();
    try {
        lexer_.SetSource(L"function(){return " + ansiToWide(text.view()) + L" ;}");
        scopeStack_.push_back(nullptr);
        lexer_.NextToken();
        TJExpr* function = functionLiteral();
        if (token() != tkNone) RaiseSyntaxError();
        scopeStack_.pop_back();
        functionTexts_.emplace(std::move(key), function);
        return function;
    } catch (...) {
        // Nothing outside refers to the nodes of a failed text: free them.
        scopeStack_.resize(scopes);
        statements_.FreeSince(statementMark);
        exprs_.FreeSince(exprMark);
        throw;
    }
}

bool TJParser::FindLibraryFile(const AnsiString& name, AnsiString& path) const {
    return findLibraryFile(name, LibraryPath, path);
}

// ==== Compiled-tree files ====

bool TJParser::SaveTreeToFile(const AnsiString& fileName) const { return root_ && writeTreeFile(root_, fileName); }

bool TJParser::LoadTreeFromFile(const AnsiString& fileName) {
    Reset();
    Source.clear();
    root_ = readTreeFile(fileName, exprs_, statements_);
    if (!root_) Reset();  // frees what a broken file left half-built
    return root_ != nullptr;
}

// ==== Tokens ====

// Names and most texts are ASCII: those skip the code page conversion.
AnsiString TJParser::tokenText() const {
    const WideString& text = lexer_.TokenText();
    for (wchar_t c : text)
        if (c >= 0x80) return wideToAnsi(text);
    AnsiString bytes;
    if (text.empty()) return bytes;
    bytes.setLength(text.size());
    char* out = bytes.mutableData();
    for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(text[i]);
    return bytes;
}

void TJParser::RaiseSyntaxError(const AnsiString& message) const {
    AnsiString text = message.empty() ? AnsiString() : message + ": ";
    throw EJSyntaxError(line(), nullptr, text + "Text( " + tokenText() + " )");
}

void TJParser::expectCurrent(TJToken expected) const {
    if (token() != expected) RaiseSyntaxError();
}

void TJParser::expect(TJToken expected) {
    expectCurrent(expected);
    next();
}

void TJParser::expectOperator(TJToken expected, wchar_t sub) {
    if (token() != expected || subCode() != sub) RaiseSyntaxError();
    next();
}

// A required name: the identifier node of the current token, consumed.
TJExpr* TJParser::identifier() {
    expectCurrent(tkIdentifier);
    TJExpr* name = exprs_.MakeIdentifier(tokenText());
    next();
    return name;
}

bool TJParser::directiveSet(const char* name, int value) const {
    return directives_.HasKey(name) && directives_.GetValue(name) == value;
}

// ==== Statement lists ====

// The program's statements up to the end of the text. A first token that
// begins no statement gives nothing (a text that is no script); any later
// one is a syntax error.
TJStatement* TJParser::programStatements() {
    TJStatement* first = nullptr;
    TJStatement* last = nullptr;
    while (token() != tkNone) {
        TJStatement* node = topLevelStatement();
        if (!node) {
            if (!first) return nullptr;
            RaiseSyntaxError();
        }
        TJStatementFactory::LinkStatements(last, node);
        if (!first) first = node;
        last = node;
    }
    return first;
}

// TopLevelStatement -> ClassDeclaration | Import | Statement
TJStatement* TJParser::topLevelStatement() {
    switch (token()) {
    case tkClass: return classDeclaration();
    case tkImport: return importStatement();
    default: return statement();
    }
}

// StatementList -> { Statement }   (ends at a token that begins none)
TJStatement* TJParser::statementList() {
    TJStatement* first = nullptr;
    TJStatement* last = nullptr;
    while (TJStatement* node = statement()) {
        TJStatementFactory::LinkStatements(last, node);
        if (!first) first = node;
        last = node;
    }
    return first;
}

TJStatement* TJParser::requiredStatement() {
    TJStatement* node = statement();
    if (!node) RaiseSyntaxError();
    return node;
}

// ==== Statements ====

TJStatement* TJParser::statement() {
    ParseDepthGuard guard(*this);
    switch (token()) {
    case tkFunction: return functionDeclaration();
    case tkLBrace: return block();
    case tkSemicolon: {
        TJStatement* node = make(scEmpty);
        next();
        return node;
    }
    case tkIf: return ifStatement();
    case tkWhile: return whileStatement();
    case tkFor: case tkForeach: return forStatement();
    case tkContinue: return jumpStatement(scContinue);
    case tkBreak: return jumpStatement(scBreak);
    case tkReturn: return returnOrThrow(scReturn);
    case tkSwitch: return switchStatement();
    case tkVar: case tkStatic: case tkGlobal: return varStatement();
    case tkTry: return tryStatement();
    case tkThrow: return returnOrThrow(scThrow);
    case tkWith: return withStatement();
    case tkDo: return doStatement();
    case tkAt: return directive();
    default: return expressionStatement();
    }
}

// FunctionDeclaration -> ("function" | "#") [Name] "(" [Name {"," Name}] ")" Block
TJStatement* TJParser::functionDeclaration() {
    next();
    TJStatement* function = make(scFunction);
    function->Child3 = scopeStack_.empty() ? nullptr : scopeStack_.back();
    scopeStack_.push_back(function);
    TJExpr* name = token() == tkIdentifier ? identifier() : nullptr;
    expect(tkLParen);
    TJStatement* parameters = nullptr;
    if (token() == tkIdentifier) {
        TJStatement* last = nullptr;
        for (;;) {
            TJExpr* parameterName = identifier();
            TJStatement* parameter = make(scParameter);
            parameter->Expr = parameterName;
            TJStatementFactory::LinkStatements(last, parameter);
            if (!parameters) parameters = parameter;
            last = parameter;
            if (token() != tkComma) break;
            next();
        }
    } else {
        parameters = make(scParameter);  // a function always has one parameter node
    }
    expect(tkRParen);
    expectCurrent(tkLBrace);
    TJStatement* body = block();
    scopeStack_.pop_back();
    function->Expr = name;
    function->Child1 = parameters;
    function->Child2 = body;
    TJStatement* ret = statements_.NewStatement(scReturn, -1);
    ret->Expr = exprs_.NewExpr(ecEmpty);
    TJStatementFactory::LinkStatements(body, ret);
    return function;
}

// Block -> "{" StatementList "}"
TJStatement* TJParser::block() {
    next();
    TJStatement* first = statementList();
    expect(tkRBrace);
    TJStatement* node = make(scBlock);
    node->Child1 = first;
    return node;
}

// ExpressionStatement -> Expression ";"
TJStatement* TJParser::expressionStatement() {
    TJExpr* expr = expression();
    if (!expr) return nullptr;
    expectCurrent(tkSemicolon);
    TJStatement* node = make(scExpression);
    node->Expr = expr;
    next();
    return node;
}

// IfStatement -> "if" "(" Expression ")" Statement ["else" Statement]
// An "else if" chain is read in a loop: it is a list of branches, not
// nesting, and spends no depth however long it is. Its if nodes are made at
// its end, innermost first, as reading each else branch whole would make them.
TJStatement* TJParser::ifStatement() {
    struct Branch {
        TJExpr* condition;
        TJStatement* then;
    };
    std::vector<Branch> branches;
    TJStatement* otherwise = nullptr;
    for (;;) {
        next();
        expect(tkLParen);
        TJExpr* condition = requiredExpression();
        expect(tkRParen);
        branches.push_back({condition, requiredStatement()});
        if (token() != tkElse) break;
        next();
        if (token() != tkIf) {
            otherwise = requiredStatement();
            break;
        }
    }
    for (auto branch = branches.rbegin(); branch != branches.rend(); ++branch) {
        TJStatement* node = make(scIf);
        node->Expr = branch->condition;
        node->Child1 = branch->then;
        node->Child2 = otherwise;
        otherwise = node;
    }
    return otherwise;
}

// WhileStatement -> "while" "(" Expression ")" Statement
TJStatement* TJParser::whileStatement() {
    next();
    expect(tkLParen);
    TJExpr* condition = requiredExpression();
    expect(tkRParen);
    TJStatement* body = requiredStatement();
    TJStatement* node = make(scWhile);
    node->Expr = condition;
    node->Child1 = body;
    return node;
}

// ForStatement -> ("for" | "foreach") "(" [["var"] Expression]
//                 ( ";" [Expression] ";" [Expression] | "in" Postfix ) ")" Statement
TJStatement* TJParser::forStatement() {
    bool each = token() == tkForeach;
    next();
    expect(tkLParen);
    TJExpr* head = nullptr;
    if (token() == tkVar) {
        next();
        head = exprs_.MakeUnary(ecForVar, requiredExpression());
    } else {
        head = expression();
    }
    if (token() == tkSemicolon) {
        next();
        TJStatement* condition = statements_.NewStatement(scEmpty, 0);
        condition->Expr = expression();
        expect(tkSemicolon);
        TJStatement* update = statements_.NewStatement(scEmpty, 0);
        update->Expr = expression();
        expect(tkRParen);
        TJStatementFactory::LinkStatements(condition, update);
        TJStatement* body = requiredStatement();
        TJStatement* node = make(scFor);
        node->Expr = head;
        node->Child1 = body;
        node->Child2 = condition;
        return node;
    }
    if (!head || token() != tkIn) RaiseSyntaxError();
    next();
    TJExpr* collection = postfix();
    if (!collection) RaiseSyntaxError();
    expect(tkRParen);
    TJStatement* holder = statements_.NewStatement(scEmpty, 0);
    holder->Expr = collection;
    TJStatement* body = requiredStatement();
    TJStatement* node = make(each || directives_.GetValue("VERSION7") != 0 ? scForEach : scForIn);
    node->Expr = head;
    node->Child1 = body;
    node->Child2 = holder;
    return node;
}

// JumpStatement -> ("break" | "continue") ";"
TJStatement* TJParser::jumpStatement(TJStatementCode kind) {
    next();
    expectCurrent(tkSemicolon);
    TJStatement* node = make(kind);
    next();
    return node;
}

// ReturnStatement -> ("return" | "#=") [Expression] ";"
// ThrowStatement -> "throw" [Expression] ";"
TJStatement* TJParser::returnOrThrow(TJStatementCode kind) {
    next();
    TJExpr* value = expression();
    expect(tkSemicolon);
    TJStatement* node = make(kind);
    node->Expr = value;
    return node;
}

// SwitchStatement -> "switch" "(" Expression ")" "{" Clause {Clause} "}"
// Clause -> "case" Expression ":" StatementList | "default" ":" StatementList
TJStatement* TJParser::switchStatement() {
    next();
    expect(tkLParen);
    TJExpr* value = requiredExpression();
    expect(tkRParen);
    expect(tkLBrace);
    TJStatement* first = nullptr;
    TJStatement* last = nullptr;
    bool hasDefault = false;
    while (token() == tkCase || token() == tkDefault) {
        TJExpr* match = nullptr;
        if (token() == tkCase) {
            next();
            match = requiredExpression();
        } else {
            if (hasDefault) RaiseSyntaxError();
            hasDefault = true;
            next();
        }
        expect(tkColon);
        TJStatement* body = statementList();
        TJStatement* clause = make(scCase);
        clause->Expr = match;
        clause->Child1 = body;
        TJStatementFactory::LinkStatements(last, clause);
        if (!first) first = clause;
        last = clause;
    }
    if (!first) RaiseSyntaxError();
    expect(tkRBrace);
    TJStatement* node = make(scSwitch);
    node->Expr = value;
    node->Child1 = first;
    return node;
}

// VarStatement -> ("var" | "static" | "global") Declarator {"," Declarator} ";"
TJStatement* TJParser::varStatement() {
    TJStatementCode kind = token() == tkVar ? scVar : token() == tkStatic ? scStatic : scGlobal;
    next();
    TJStatement* first = declarator();
    for (TJStatement* last = first; token() == tkComma; ) {
        next();
        TJStatement* node = declarator();
        TJStatementFactory::LinkStatements(last, node);
        last = node;
    }
    expect(tkSemicolon);
    TJStatement* node = make(kind);
    node->Child1 = first;
    return node;
}

// Declarator -> Name ["=" Assignment]
TJStatement* TJParser::declarator() {
    TJExpr* name = identifier();
    if (token() == tkAssign) {
        next();
        name->Left = requiredAssignment();
    }
    TJStatement* node = make(scDeclarator);
    node->Expr = name;
    return node;
}

// TryStatement -> "try" Statement ["catch" ["(" [Name] ")"] Statement] ["finally" Statement]
TJStatement* TJParser::tryStatement() {
    next();
    TJStatement* body = requiredStatement();
    TJStatement* handler = nullptr;
    if (token() == tkCatch) {
        next();
        TJExpr* name = nullptr;
        if (token() == tkLParen) {
            next();
            if (token() == tkIdentifier) name = identifier();
            expect(tkRParen);
        }
        TJStatement* handlerBody = requiredStatement();
        handler = make(scCatch);
        handler->Expr = name;
        handler->Child1 = handlerBody;
    }
    TJStatement* finalizer = nullptr;
    if (token() == tkFinally) {
        next();
        TJStatement* finalBody = requiredStatement();
        finalizer = make(scFinally);
        finalizer->Child1 = finalBody;
    }
    if (!handler && !finalizer) RaiseSyntaxError("not found catch-statement");
    TJStatement* node = make(scTry);
    node->Child1 = body;
    node->Child2 = handler;
    node->Child3 = finalizer;
    return node;
}

// WithStatement -> "with" "(" Expression ")" Statement
TJStatement* TJParser::withStatement() {
    next();
    expect(tkLParen);
    TJExpr* object = requiredExpression();
    expect(tkRParen);
    TJStatement* body = requiredStatement();
    TJStatement* node = make(scWith);
    node->Expr = object;
    node->Child1 = body;
    return node;
}

// DoStatement -> "do" Statement "while" "(" Expression ")" ";"
// The ";" stays: it parses as an empty statement after the loop.
TJStatement* TJParser::doStatement() {
    next();
    TJStatement* body = requiredStatement();
    expect(tkWhile);
    expect(tkLParen);
    TJExpr* condition = requiredExpression();
    expect(tkRParen);
    expectCurrent(tkSemicolon);
    TJStatement* node = make(scDo);
    node->Expr = condition;
    node->Child1 = body;
    return node;
}

// Directive -> "@" "set" "@" Name "=" Expression   (a constant integer or Boolean)
TJStatement* TJParser::directive() {
    next();
    if (token() != tkIdentifier || lexer_.TokenText() != L"set") RaiseSyntaxError();
    next();
    expect(tkAt);
    expectCurrent(tkIdentifier);
    AnsiString name = tokenText();
    next();
    expect(tkAssign);
    TJExpr* value = requiredExpression();
    if (!IsConstantExpr(value) || !(IsIntegerValue(value->Value.get()) || IsBoolValue(value->Value.get())))
        RaiseSyntaxError();
    directives_.SetValue(name, ValueToInteger(value->Value.get()));
    return make(scEmpty);
}

// ClassDeclaration -> "class" Name ( "{" | "(" [Base] ")" "{" | "extends" Base "{" )
//                     { FunctionDeclaration | VarStatement | Declarator ";" } "}"
TJStatement* TJParser::classDeclaration() {
    next();
    TJStatement* node = make(scClass);
    node->Child3 = scopeStack_.empty() ? nullptr : scopeStack_.back();
    scopeStack_.push_back(node);
    TJExpr* name = identifier();
    if (token() == tkLParen) {
        next();
        if (token() == tkIdentifier) name->Left = identifier();
        expect(tkRParen);
    } else if (token() == tkExtends) {
        next();
        name->Left = identifier();
    }
    expect(tkLBrace);
    TJStatement* first = nullptr;
    TJStatement* last = nullptr;
    while (token() != tkRBrace) {
        TJStatement* member;
        switch (token()) {
        case tkFunction: member = functionDeclaration(); break;
        case tkVar: case tkStatic: case tkGlobal: member = varStatement(); break;
        case tkIdentifier:
            member = declarator();
            expect(tkSemicolon);
            break;
        default: RaiseSyntaxError();
        }
        TJStatementFactory::LinkStatements(last, member);
        if (!first) first = member;
        last = member;
    }
    next();
    scopeStack_.pop_back();
    node->Expr = name;
    node->Child1 = first;
    return node;
}

// ==== Imports ====

// Import -> "import" Name ( ";" | "." "*" ";" )
TJStatement* TJParser::importStatement() {
    next();
    expectCurrent(tkIdentifier);
    AnsiString name = tokenText();
    next();
    AnsiString fileName = name + ".dms";
    AnsiString path;
    if (!FindLibraryFile(fileName, path)) RaiseSyntaxError("file not found: " + fileName);
    AnsiString text;
    if (!readFileBytes(path, text)) RaiseSyntaxError("can not open: " + fileName);
    path = expandFileName(path);
    checkImportCycle(path, fileName);
    hasImports_ = true;
    if (token() == tkSemicolon) {
        TJStatement* node = importNamespace(name, path, text);
        next();
        return node;
    }
    if (token() != tkDot) RaiseSyntaxError();
    next();
    if (token() != tkMulOp || subCode() != '*') RaiseSyntaxError();
    next();
    expectCurrent(tkSemicolon);
    return importText(path, text);
}

// A library imported from inside another one is a cycle: the same file
// open in an outer parser, or its text still being read in this lexer.
void TJParser::checkImportCycle(const AnsiString& path, const AnsiString& fileName) {
    int position = lexer_.Position() - 1;  // the token after the name, inside any open text import
    while (!textImports_.empty() && textImports_.back().end <= position) textImports_.pop_back();
    for (const AnsiString& open : importChain_)
        if (sameFileName(open, path)) RaiseSyntaxError("circular import: " + fileName);
    for (const TextImport& open : textImports_)
        if (sameFileName(open.file, path)) RaiseSyntaxError("circular import: " + fileName);
}

// The library parsed by a parser of its own as the namespace Name; a
// library with no statements gives an empty statement.
TJStatement* TJParser::importNamespace(const AnsiString& name, const AnsiString& path, const AnsiString& text) {
    auto sub = std::make_unique<TJParser>();
    sub->LibraryPath.Assign(LibraryPath);
    sub->lexer_.OnTrace = lexer_.OnTrace;  // imported tokens are traced too
    sub->importChain_ = importChain_;
    for (const TextImport& open : textImports_) sub->importChain_.push_back(open.file);
    sub->importChain_.push_back(path);
    sub->depth_ = depth_;
    sub->Source = ansiToWide(text.view());
    bool parsed = sub->Parse(name);
    TJParser* parser = sub.get();
    subParsers_.push_back(std::move(sub));
    if (!parsed) return statements_.NewStatement(scEmpty, 0);
    return parser->Root();
}

// The library's text read in place, right after the import's ";".
TJStatement* TJParser::importText(const AnsiString& path, const AnsiString& text) {
    WideString inserted = ansiToWide(text.view());
    int start = lexer_.Position();
    int length = static_cast<int>(inserted.size());
    for (TextImport& open : textImports_) open.end += length;
    textImports_.push_back({path, start, start + length});
    lexer_.InsertText(inserted);
    TJStatement* node = statements_.NewStatement(scEmpty, 0);
    next();
    return node;
}

// ==== Expressions ====

// Expression -> Assignment {"," Assignment}
TJExpr* TJParser::expression() {
    TJExpr* left = assignment();
    if (!left) return nullptr;
    while (token() == tkComma) {
        next();
        left = exprs_.MakeBinary(ecComma, left, requiredAssignment());
    }
    return left;
}

TJExpr* TJParser::requiredExpression() {
    TJExpr* expr = expression();
    if (!expr) RaiseSyntaxError();
    return expr;
}

// Assignment -> Conditional [("=" | CompoundOperator) Assignment]
// The operator is taken only after an assignable conditional.
TJExpr* TJParser::assignment() {
    ParseDepthGuard guard(*this);
    bool outer = assignable_;
    assignable_ = false;
    TJExpr* target = conditional();
    if (target && assignable_) {
        TJExprCode code = ecAssign;
        if (token() == tkAssign || (token() == tkAssignOp && compoundAssignment(subCode(), code))) {
            next();
            target = exprs_.MakeBinary(code, target, requiredAssignment());
        }
    }
    assignable_ = assignable_ || outer;
    return target;
}

TJExpr* TJParser::requiredAssignment() {
    TJExpr* expr = assignment();
    if (!expr) RaiseSyntaxError();
    return expr;
}

// Conditional -> LogicalOr ["?" Expression ":" Conditional]
TJExpr* TJParser::conditional() {
    TJExpr* condition = binary(0);
    if (!condition || token() != tkQuestion) return condition;
    next();
    TJExpr* then = requiredExpression();
    expect(tkColon);
    ParseDepthGuard guard(*this);
    TJExpr* otherwise = conditional();
    if (!otherwise) RaiseSyntaxError();
    return exprs_.MakeTernary(ecConditional, condition, otherwise, then);
}

// Binary -> Unary {Operator Unary}, by the levels of BinaryOperators: an
// operator binds the operands of every tighter level on its right.
TJExpr* TJParser::binary(int minLevel) {
    TJExpr* left = unary();
    if (!left) return nullptr;
    while (const BinaryOperator* op = findBinaryOperator(token(), subCode())) {
        if (op->level < minLevel) break;
        TJExprCode code = op->code;
        if (code == ecOrShort && directiveSet("SHORT_CIRCUIT", 0)) code = ecOr;
        if (code == ecAndShort && directiveSet("SHORT_CIRCUIT", 0)) code = ecAnd;
        next();
        TJExpr* right = binary(op->level + 1);
        if (!right) RaiseSyntaxError();
        left = exprs_.MakeBinary(code, left, right);
    }
    return left;
}

// Unary -> ("++" | "--" | "+" | "-" | "!" | "~" | "delete" | "typeof" | "void") Unary | Postfix
TJExpr* TJParser::unary() {
    TJExprCode code;
    if (!unaryOperator(token(), subCode(), code)) return postfix();
    ParseDepthGuard guard(*this);
    next();
    TJExpr* operand = unary();
    if (!operand) RaiseSyntaxError();
    return exprs_.MakeUnary(code, operand);
}

// Postfix -> Primary { ("(" | "[") [Arguments] (")" | "]")
//                    | "." Name [("(" | "[") [Arguments] (")" | "]")] | "++" | "--" }
TJExpr* TJParser::postfix() {
    TJExpr* expr = primary();
    if (!expr) return nullptr;
    for (;;) {
        switch (token()) {
        case tkLParen: case tkLBracket:
            expr = exprs_.MakeBinary(ecCall, expr, bracketArguments());
            assignable_ = true;
            break;
        case tkDot: {
            next();
            TJExpr* name = identifier();
            if (token() == tkLParen || token() == tkLBracket) {
                expr = exprs_.MakeTernary(ecMethodCall, expr, bracketArguments(), name);
            } else {
                expr = exprs_.MakeBinary(ecMember, expr, name);
            }
            assignable_ = true;
            break;
        }
        case tkIncDec:
            expr = exprs_.MakeUnary(subCode() == '+' ? ecPostInc : ecPostDec, expr);
            next();
            break;
        default: return expr;
        }
    }
}

// ("(" | "[") [Arguments] (")" | "]"): either bracket closes either.
TJExpr* TJParser::bracketArguments() {
    next();
    TJExpr* list = arguments();
    if (token() != tkRParen && token() != tkRBracket) RaiseSyntaxError();
    next();
    return list;
}

// Arguments -> Assignment {"," Assignment}: a chain of links, the last item's link first.
TJExpr* TJParser::arguments() {
    AssignableScope inside(assignable_);
    TJExpr* item = assignment();
    if (!item) return nullptr;
    TJExpr* chain = exprs_.MakeArgument(nullptr, item);
    while (token() == tkComma) {
        next();
        chain = exprs_.MakeArgument(chain, requiredAssignment());
    }
    return chain;
}

// Primary -> "(" Expression ")" | ObjectLiteral | ArrayLiteral | Name | Literal
//          | FunctionLiteral | NewExpression | "this" | SuperExpression
TJExpr* TJParser::primary() {
    switch (token()) {
    case tkLParen: {
        next();
        AssignableScope inside(assignable_);
        TJExpr* expr = requiredExpression();
        expect(tkRParen);
        return expr;
    }
    case tkLBrace: return objectLiteral();
    case tkLBracket: return arrayLiteral();
    case tkIdentifier:
        assignable_ = true;
        return identifier();
    case tkFunction: return functionLiteral();
    case tkNew: return newExpression();
    case tkThis:
        next();
        return exprs_.MakeThis();
    case tkSuper: return superExpression();
    default: return literal();
    }
}

// Literal -> Number | String | RegExp | "true" | "false" | "null" | "NaN"
TJExpr* TJParser::literal() {
    TJExpr* constant;
    switch (token()) {
    case tkInteger: constant = exprs_.MakeInteger(lexer_.IntValue()); break;
    case tkFloat: constant = exprs_.MakeDouble(lexer_.FloatValue()); break;
    case tkNaN: constant = exprs_.MakeNaN(); break;
    case tkString: constant = exprs_.MakeString(tokenText()); break;
    case tkTrue: constant = exprs_.MakeBool(true); break;
    case tkFalse: constant = exprs_.MakeBool(false); break;
    case tkNull: constant = exprs_.MakeNull(); break;
    case tkRegExp: {
        // The token text is the body, a character 0, then the flag letters.
        AnsiString text = tokenText();
        size_t separator = text.find('\0');
        AnsiString flags = separator == std::string_view::npos ? AnsiString() : text.substr(separator + 1);
        constant = exprs_.MakeRegExp(text.substr(0, separator), flags.view());
        break;
    }
    default: return nullptr;
    }
    next();
    return constant;
}

// ObjectLiteral -> "{" [Entry {"," Entry}] "}"
// Entry -> (Name | String | Number) [":" Assignment]
TJExpr* TJParser::objectLiteral() {
    next();
    AssignableScope inside(assignable_);
    TJExpr* entries = nullptr;
    if (token() != tkRBrace) {
        for (;;) {
            TJExpr* key;
            if (token() == tkIdentifier) {
                key = identifier();
            } else {
                if (token() != tkString && token() != tkInteger && token() != tkFloat) RaiseSyntaxError();
                key = literal();
            }
            TJExpr* value = nullptr;
            if (token() == tkColon) {
                next();
                value = requiredAssignment();
            }
            entries = exprs_.MakeArgument(entries, exprs_.MakeEntry(key, value));
            if (token() != tkComma) break;
            next();
        }
    }
    expect(tkRBrace);
    TJExpr* node = exprs_.NewExpr(ecObjectLiteral);
    node->Left = entries;
    return node;
}

// ArrayLiteral -> "[" [Arguments] "]"
TJExpr* TJParser::arrayLiteral() {
    next();
    TJExpr* items = arguments();
    expect(tkRBracket);
    TJExpr* node = exprs_.NewExpr(ecArrayLiteral);
    node->Left = items;
    return node;
}

// NewExpression -> "new" Name ["(" [Arguments] ")"]
TJExpr* TJParser::newExpression() {
    next();
    TJExpr* name = identifier();
    TJExpr* list = nullptr;
    if (token() == tkLParen) {
        next();
        list = arguments();
        expect(tkRParen);
    }
    assignable_ = true;
    return exprs_.MakeBinary(ecNew, name, list);
}

// SuperExpression -> "super" ["." Name]
TJExpr* TJParser::superExpression() {
    next();
    if (token() != tkDot) return exprs_.MakeThis();
    next();
    return exprs_.MakeSuperMember(identifier());
}

// FunctionLiteral -> FunctionDeclaration: unnamed it is code 61, named it is
// the assignment of code 61 to the name.
TJExpr* TJParser::functionLiteral() {
    AssignableScope inside(assignable_);
    TJStatement* function = functionDeclaration();
    TJExpr* literal = exprs_.MakeFunction(function);
    return function->Expr ? exprs_.MakeBinary(ecAssign, function->Expr, literal) : literal;
}
