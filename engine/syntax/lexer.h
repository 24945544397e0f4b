// TJLex: the script lexer. Turns UTF-16 script text into tokens for the
// parser: keywords, identifiers, numbers, two string forms, regular-expression
// literals and operators with their sub-codes. The parser and the engine's
// trace output use it.
#pragma once

#include <functional>
#include <string>

#include "engine/support/hashtable.h"
#include "rtl/codepage.h"

// Every token code with its keyword texts ("" for none; the second text is a
// short form entered in the keyword table too).
#define JTOKEN_LIST(X)                          \
    X(tkNone, 0, "", "")                        \
    X(tkVar, 257, "var", "")                    \
    X(tkFunction, 258, "function", "#")         \
    X(tkIf, 260, "if", "")                      \
    X(tkElse, 261, "else", "")                  \
    X(tkWhile, 262, "while", "")                \
    X(tkFor, 263, "for", "")                    \
    X(tkContinue, 264, "continue", "")          \
    X(tkBreak, 265, "break", "")                \
    X(tkReturn, 266, "return", "#=")            \
    X(tkWith, 267, "with", "")                  \
    X(tkThis, 268, "this", "")                  \
    X(tkNull, 269, "null", "")                  \
    X(tkTrue, 270, "true", "")                  \
    X(tkFalse, 271, "false", "")                \
    X(tkNew, 272, "new", "")                    \
    X(tkDelete, 273, "delete", "")              \
    X(tkVoid, 274, "void", "")                  \
    X(tkTypeof, 275, "typeof", "")              \
    X(tkTry, 276, "try", "")                    \
    X(tkCatch, 277, "catch", "")                \
    X(tkFinally, 278, "finally", "")            \
    X(tkThrow, 279, "throw", "")                \
    X(tkUndefined, 280, "undefined", "")        \
    X(tkInfinity, 281, "infinity", "")          \
    X(tkIn, 282, "in", "")                      \
    X(tkCase, 283, "case", "")                  \
    X(tkClass, 284, "class", "")                \
    X(tkConst, 285, "const", "")                \
    X(tkDebugger, 286, "debugger", "")          \
    X(tkDo, 287, "do", "")                      \
    X(tkEnum, 288, "enum", "")                  \
    X(tkExport, 289, "export", "")              \
    X(tkExtends, 290, "extends", "")            \
    X(tkImport, 291, "import", "")              \
    X(tkSuper, 292, "super", "")                \
    X(tkSwitch, 293, "switch", "")              \
    X(tkString, 294, "", "")                    \
    X(tkIdentifier, 295, "", "")                \
    X(tkInteger, 296, "", "")                   \
    X(tkFloat, 297, "", "")                     \
    X(tkLParen, 299, "", "")                    \
    X(tkRParen, 300, "", "")                    \
    X(tkLBrace, 301, "", "")                    \
    X(tkRBrace, 302, "", "")                    \
    X(tkLBracket, 303, "", "")                  \
    X(tkRBracket, 304, "", "")                  \
    X(tkSemicolon, 305, "", "")                 \
    X(tkComma, 306, "", "")                     \
    X(tkAddOp, 308, "", "")       /* + - */     \
    X(tkShiftOp, 309, "", "")     /* << >> >>> */ \
    X(tkMulOp, 310, "", "")       /* * / % */   \
    X(tkRelOp, 311, "", "")       /* < > <= >= */ \
    X(tkEqualityOp, 312, "", "")  /* == != === !== */ \
    X(tkAssignOp, 313, "", "")    /* compound assignment */ \
    X(tkIncDec, 314, "", "")      /* ++ -- */   \
    X(tkUnaryOp, 315, "", "")     /* ! ~ */     \
    X(tkAssign, 316, "", "")                    \
    X(tkQuestion, 317, "", "")                  \
    X(tkColon, 318, "", "")                     \
    X(tkOr, 319, "", "")                        \
    X(tkAnd, 320, "", "")                       \
    X(tkBitOr, 321, "", "")                     \
    X(tkBitXor, 322, "", "")                    \
    X(tkBitAnd, 323, "", "")                    \
    X(tkDot, 324, "", "")                       \
    X(tkRegExp, 325, "", "")                    \
    X(tkDefault, 326, "default", "")            \
    X(tkAt, 327, "", "")                        \
    X(tkStatic, 328, "static", "")              \
    X(tkGlobal, 329, "global", "")              \
    X(tkForeach, 330, "foreach", "")            \
    X(tkNaN, 502, "NaN", "")      /* also a malformed number */

enum TJToken : int {
#define JTOKEN_ENUM(name, code, text, shortText) name = code,
    JTOKEN_LIST(JTOKEN_ENUM)
#undef JTOKEN_ENUM
};

class TJLex;
// The trace hook: (the lexer, token code + "( " + token text + " )").
using TJLexTraceEvent = std::function<void(TJLex& sender, const AnsiString& text)>;

class TJLex {
public:
    TJLex();

    void Reset();
    void SetSource(const WideString& text);
    // Scans the next token; false at the end of the text.
    bool NextToken();
    // Makes text the next thing read.
    void InsertText(const WideString& text);

    // 0 whenever the end of the text has been reached.
    TJToken Token() const { return endOfText_ ? tkNone : token_; }
    TJToken PrevToken() const { return prevToken_; }
    // Strings and regular expressions: the decoded contents (a regular
    // expression is body + character 0 + flags).
    const WideString& TokenText() const { return tokenText_; }
    // The operator sub-code: '+', '<', '(' for <=, '3' for >>> and ===, ...
    wchar_t SubCode() const { return subCode_; }
    int IntValue() const { return intValue_; }      // tkInteger
    double FloatValue() const { return floatValue_; }  // tkFloat
    int LineNo() const { return lineNo_; }
    bool EndOfText() const { return endOfText_; }
    const WideString& Source() const { return source_; }
    int Position() const { return position_; }  // 1-based, of the next character

    TJLexTraceEvent OnTrace;

private:
    void RegisterKeywords();
    wchar_t readChar();
    void unreadChar();
    // Takes the next character into the token text when it is the expected one.
    bool accept(wchar_t expected);
    TJToken op(TJToken token, wchar_t subCode);

    // Each scanner starts after its first character has been read.
    TJToken ScanOperator(wchar_t first);
    TJToken scanSlash();
    void skipLineComment();
    void skipBlockComment();
    TJToken ScanRegExp();
    TJToken ScanString(wchar_t quote);
    TJToken ScanIdentifier(wchar_t first);
    bool scanRegExpStatic();
    TJToken ScanNumber(wchar_t first);
    TJToken convertNumber(bool isFloat);

    TIntegerHashTable keywords_{100, false};
    WideString source_;
    int position_ = 1;
    int length_ = 0;
    bool endOfText_ = true;
    int pastEndReads_ = 0;  // reads that found no character (and did not move) not yet undone
    int lineNo_ = 1;
    TJToken token_ = tkNone;
    TJToken prevToken_ = tkNone;
    WideString tokenText_;
    wchar_t subCode_ = 0;
    int intValue_ = 0;
    double floatValue_ = 0;
};
