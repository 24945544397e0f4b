// TJParser: the recursive-descent parser of the script dialect. Turns script
// text into the syntax tree of engine/syntax/tree.h, handles imports of library
// files, top-level classes and "@set" directives, and stores and loads trees
// as compiled-tree files. The engine (Compile, CompileFile, EvaluateText)
// owns one and walks the tree of its last parse.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/support/hashtable.h"
#include "engine/syntax/lexer.h"
#include "engine/syntax/tree.h"
#include "rtl/stringlist.h"

// Nesting deeper than this (statements, assignments, unary operators) is a
// syntax error rather than a stack overflow.
constexpr int ParserMaxDepth = 400;

class TJParser {
public:
    TJParser();
    ~TJParser();
    TJParser(const TJParser&) = delete;
    TJParser& operator=(const TJParser&) = delete;

    // Folders searched by import after the name as given, in order.
    TStringList LibraryPath;
    // The text the next Parse reads.
    WideString Source;

    // Frees the tree, the sub-parsers and the directives.
    void Reset();
    // Parses Source into a program node (named when namespaceName is given).
    // False, with no tree and no error, when the text's first token begins
    // no statement (an XML file); raises EJSyntaxError for any other fault.
    bool Parse(const AnsiString& namespaceName = AnsiString());
    // The function literal "function(){return " + text + " ;}" (code 61),
    // added to the current tree; the same text under the same directives
    // gives the same node again, and a text that fails leaves nothing behind.
    TJExpr* ParseFunctionText(const AnsiString& text);
    bool FindLibraryFile(const AnsiString& name, AnsiString& path) const;

    // The tree as a compiled-tree file; false (and no file written) without
    // a tree or when the file cannot be written.
    bool SaveTreeToFile(const AnsiString& fileName) const;
    // Replaces the tree by the one in the file; false, with no tree, when
    // the file is missing, unreadable or not a well-formed tree.
    bool LoadTreeFromFile(const AnsiString& fileName);

    // The program node of the last parse or load; nil when none.
    TJStatement* Root() const { return root_; }
    // The last parse read a library file (its tree then depends on more than
    // its own source, so it is not cached).
    bool HasImports() const { return hasImports_; }
    // A directive's value, 0 when it is not set.
    int Directive(const AnsiString& name) const { return directives_.GetValue(name); }
    TJLex& Lexer() { return lexer_; }
    // Nodes held for the tree and the function texts (a memory figure).
    size_t NodeCount() const { return exprs_.Count() + statements_.Count(); }

private:
    friend class ParseDepthGuard;
    struct TextImport {
        AnsiString file;  // full path
        int start, end;   // positions of the inserted text in the lexer's source
    };

    // ==== Tokens ====
    TJToken token() const { return lexer_.Token(); }
    wchar_t subCode() const { return lexer_.SubCode(); }
    int32_t line() const { return lexer_.LineNo(); }
    AnsiString tokenText() const;
    void next() { lexer_.NextToken(); }
    void expect(TJToken expected);
    void expectOperator(TJToken expected, wchar_t sub);
    void expectCurrent(TJToken expected) const;
    TJExpr* identifier();
    [[noreturn]] void RaiseSyntaxError(const AnsiString& message = AnsiString()) const;

    // ==== Statements ====
    TJStatement* programStatements();
    TJStatement* topLevelStatement();
    TJStatement* statementList();
    TJStatement* statement();
    TJStatement* requiredStatement();
    TJStatement* functionDeclaration();
    TJStatement* block();
    TJStatement* expressionStatement();
    TJStatement* ifStatement();
    TJStatement* whileStatement();
    TJStatement* forStatement();
    TJStatement* jumpStatement(TJStatementCode kind);
    TJStatement* returnOrThrow(TJStatementCode kind);
    TJStatement* switchStatement();
    TJStatement* varStatement();
    TJStatement* declarator();
    TJStatement* tryStatement();
    TJStatement* withStatement();
    TJStatement* doStatement();
    TJStatement* directive();
    TJStatement* classDeclaration();
    TJStatement* importStatement();
    TJStatement* importNamespace(const AnsiString& name, const AnsiString& path, const AnsiString& text);
    TJStatement* importText(const AnsiString& path, const AnsiString& text);
    void checkImportCycle(const AnsiString& path, const AnsiString& fileName);
    TJStatement* make(TJStatementCode kind) { return statements_.NewStatement(kind, line()); }

    // ==== Expressions ====
    TJExpr* expression();
    TJExpr* requiredExpression();
    TJExpr* assignment();
    TJExpr* requiredAssignment();
    TJExpr* conditional();
    TJExpr* binary(int minLevel);
    TJExpr* unary();
    TJExpr* postfix();
    TJExpr* primary();
    TJExpr* literal();
    TJExpr* arguments();
    TJExpr* bracketArguments();
    TJExpr* objectLiteral();
    TJExpr* arrayLiteral();
    TJExpr* newExpression();
    TJExpr* superExpression();
    TJExpr* functionLiteral();
    bool directiveSet(const char* name, int value) const;

    TJLex lexer_;
    TJExprFactory exprs_;
    TJStatementFactory statements_;
    TJStatement* root_ = nullptr;
    std::vector<std::unique_ptr<TJParser>> subParsers_;
    TIntegerHashTable directives_{10, false};
    std::vector<TJStatement*> scopeStack_;

    int depth_ = 0;
    // An identifier, new, member access, call or index occurred in the
    // current conditional outside brackets: only then may "=" follow.
    bool assignable_ = false;
    bool hasImports_ = false;
    // Files being imported around this parser (outer parsers' imports) and
    // the library texts inserted into this lexer that are still being read.
    std::vector<AnsiString> importChain_;
    std::vector<TextImport> textImports_;
    // Trees of ParseFunctionText, by directive state and text.
    std::unordered_map<std::string, TJExpr*> functionTexts_;
};
