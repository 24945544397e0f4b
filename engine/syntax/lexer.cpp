// TJLex: character reading with push-back and line counting, the token loop,
// and the scanners for operators and comments, regular-expression literals,
// strings, identifiers and keywords, and numbers. Characters outside the ASCII
// token set (Japanese text included) are skipped like white space.
#include "engine/syntax/lexer.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

namespace {

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool isLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool isHexDigit(wchar_t c) { return isDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }
bool isIdentifierChar(wchar_t c) { return isLetter(c) || isDigit(c) || c == L'_' || c == L'$'; }

enum class CharClass { skip, operatorStart, quote, identifierStart, digit };

CharClass classify(wchar_t c) {
    if (isDigit(c)) return CharClass::digit;
    if (isLetter(c)) return CharClass::identifierStart;
    switch (c) {
    case L'#': case L'$': case L'_':
        return CharClass::identifierStart;
    case L'"': case L'\'':
        return CharClass::quote;
    case L'!': case L'%': case L'&': case L'(': case L')': case L'*': case L'+': case L',':
    case L'-': case L'.': case L'/': case L':': case L';': case L'<': case L'=': case L'>':
    case L'?': case L'@': case L'[': case L'\\': case L']': case L'^': case L'{': case L'|':
    case L'}': case L'~': case L'`':
        return CharClass::operatorStart;
    default:
        return CharClass::skip;
    }
}

// Token texts of numbers and identifiers are ASCII.
std::string narrow(const WideString& text) {
    return std::string(text.begin(), text.end());
}

template <class T>
std::optional<T> parseWhole(std::string_view text, int base) {
    T value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

// A decimal integer, or the bit pattern of a "0x" hexadecimal one, in the
// signed type S (through its unsigned twin U for the pattern).
template <class S, class U>
std::optional<S> parseInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        auto pattern = parseWhole<U>(text.substr(2), 16);
        if (!pattern) return std::nullopt;
        return static_cast<S>(*pattern);
    }
    return parseWhole<S>(text, 10);
}

std::optional<double> parseFloat(std::string_view text) {
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size() || text.empty()) return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // Too small for a double reads as 0; too large has no value.
        size_t e = text.find_first_of("eE");
        if (e != std::string_view::npos && text.substr(e + 1).starts_with('-')) return 0.0;
        return std::nullopt;
    }
    if (error != std::errc()) return std::nullopt;
    return value;
}

// The names of the RegExp statics written "$" + one character after a dot.
const wchar_t* regExpStaticName(wchar_t c) {
    switch (c) {
    case L'&': return L"lastMatch";
    case L'`': return L"leftContext";
    case L'"': return L"rightContext";
    case L'+': return L"lastParen";
    case L'*': return L"multiline";
    case L'_': return L"input";
    default: return nullptr;
    }
}

// Tokens after which a slash divides; after any other it opens a regular expression.
bool slashDivides(TJToken previous) {
    switch (previous) {
    case tkNull: case tkTrue: case tkFalse: case tkUndefined: case tkInfinity:
    case tkString: case tkIdentifier: case tkInteger: case tkFloat:
    case tkRParen: case tkRBracket: case tkRegExp: case tkNaN:
        return true;
    default:
        return false;
    }
}

}  // namespace

// ==== Set-up ====

TJLex::TJLex() {
    RegisterKeywords();
    Reset();
}

void TJLex::RegisterKeywords() {
#define JTOKEN_KEYWORD(name, code, text, shortText)        \
    if (*(text)) keywords_.SetValue(text, code);           \
    if (*(shortText)) keywords_.SetValue(shortText, code);
    JTOKEN_LIST(JTOKEN_KEYWORD)
#undef JTOKEN_KEYWORD
}

void TJLex::Reset() {
    lineNo_ = 1;
    source_.clear();
    length_ = 0;
    token_ = tkNone;
    prevToken_ = tkNone;
    tokenText_.clear();
    position_ = 1;
    endOfText_ = true;
    pastEndReads_ = 0;
}

void TJLex::SetSource(const WideString& text) {
    Reset();
    source_ = text;
    length_ = static_cast<int>(source_.size());
    endOfText_ = length_ == 0;
}

void TJLex::InsertText(const WideString& text) {
    if (text.empty()) return;
    source_.insert(static_cast<size_t>(position_ - 1), text);
    length_ = static_cast<int>(source_.size());
    endOfText_ = false;
    pastEndReads_ = 0;
}

// ==== Reading ====

// At the end: sets EndOfText and answers 0 without moving.
wchar_t TJLex::readChar() {
    if (position_ > length_) {
        endOfText_ = true;
        ++pastEndReads_;
        token_ = tkNone;
        return 0;
    }
    wchar_t c = source_[static_cast<size_t>(position_ - 1)];
    if (c == L'\n') ++lineNo_;
    ++position_;
    endOfText_ = false;
    return c;
}

// Undoes exactly one read: a read past the end did not move, so its undoing
// does not either; a line feed read counts off LineNo again.
void TJLex::unreadChar() {
    if (pastEndReads_ > 0) {
        --pastEndReads_;
        endOfText_ = false;
        return;
    }
    --position_;
    if (source_[static_cast<size_t>(position_ - 1)] == L'\n') --lineNo_;
    endOfText_ = position_ > length_;
}

bool TJLex::accept(wchar_t expected) {
    wchar_t c = readChar();
    if (!endOfText_ && c == expected) {
        tokenText_ += c;
        return true;
    }
    unreadChar();
    return false;
}

// ==== Token loop ====

bool TJLex::NextToken() {
    prevToken_ = token_;
    while (!endOfText_) {
        wchar_t c = readChar();
        if (endOfText_) break;
        TJToken token;
        switch (classify(c)) {
        case CharClass::operatorStart: token = ScanOperator(c); break;
        case CharClass::quote: token = ScanString(c); break;
        case CharClass::identifierStart: token = ScanIdentifier(c); break;
        case CharClass::digit: token = ScanNumber(c); break;
        default: continue;
        }
        token_ = token;
        if (token_ == tkNone) continue;
        if (OnTrace) OnTrace(*this, AnsiString(std::to_string(token_)) + "( " + wideToAnsi(tokenText_) + " )");
        return true;
    }
    token_ = tkNone;
    tokenText_.clear();
    return false;
}

// ==== Operators and comments ====

TJToken TJLex::op(TJToken token, wchar_t subCode) {
    subCode_ = subCode;
    return token;
}

// Longest match over the operator set; look-ahead that does not belong to the
// operator is pushed back.
TJToken TJLex::ScanOperator(wchar_t first) {
    tokenText_.assign(1, first);
    switch (first) {
    case L'(': return op(tkLParen, first);
    case L')': return op(tkRParen, first);
    case L'{': return op(tkLBrace, first);
    case L'}': return op(tkRBrace, first);
    case L'[': return op(tkLBracket, first);
    case L']': return op(tkRBracket, first);
    case L';': return op(tkSemicolon, first);
    case L',': return op(tkComma, first);
    case L'.': return op(tkDot, first);
    case L':': return op(tkColon, first);
    case L'?': return op(tkQuestion, first);
    case L'@': return op(tkAt, first);
    case L'~': return op(tkUnaryOp, first);
    case L'!':
        if (accept(L'=')) return accept(L'=') ? op(tkEqualityOp, L'2') : op(tkEqualityOp, L'!');
        return op(tkUnaryOp, first);
    case L'=':
        if (accept(L'=')) return accept(L'=') ? op(tkEqualityOp, L'3') : op(tkEqualityOp, L'=');
        return op(tkAssign, first);
    case L'%':
    case L'*':
        return accept(L'=') ? op(tkAssignOp, first) : op(tkMulOp, first);
    case L'^':
        return accept(L'=') ? op(tkAssignOp, first) : op(tkBitXor, first);
    case L'&':
        if (accept(L'&')) return op(tkAnd, first);
        return accept(L'=') ? op(tkAssignOp, first) : op(tkBitAnd, first);
    case L'|':
        if (accept(L'|')) return op(tkOr, first);
        return accept(L'=') ? op(tkAssignOp, first) : op(tkBitOr, first);
    case L'+':
    case L'-':
        if (accept(first)) return op(tkIncDec, first);
        return accept(L'=') ? op(tkAssignOp, first) : op(tkAddOp, first);
    case L'<':
        if (accept(L'=')) return op(tkRelOp, L'(');
        if (accept(L'<')) return accept(L'=') ? op(tkAssignOp, L'<') : op(tkShiftOp, L'<');
        return op(tkRelOp, first);
    case L'>':
        if (accept(L'=')) return op(tkRelOp, L')');
        if (!accept(L'>')) return op(tkRelOp, first);
        if (accept(L'=')) return op(tkAssignOp, L'>');
        if (accept(L'>')) return accept(L'=') ? op(tkAssignOp, L'3') : op(tkShiftOp, L'3');
        return op(tkShiftOp, L'>');
    case L'/':
        return scanSlash();
    default:  // the back-slash and the back-quote stand for nothing
        return tkNone;
    }
}

// A comment, a division operator or the start of a regular expression.
TJToken TJLex::scanSlash() {
    wchar_t c = readChar();
    if (!endOfText_ && c == L'/') {
        skipLineComment();
        return tkNone;
    }
    if (!endOfText_ && c == L'*') {
        skipBlockComment();
        return tkNone;
    }
    if (slashDivides(prevToken_)) {
        if (!endOfText_ && c == L'=') {
            tokenText_ += c;
            return op(tkAssignOp, L'/');
        }
        unreadChar();
        return op(tkMulOp, L'/');
    }
    unreadChar();
    return ScanRegExp();
}

// Up to and including the line feed, or to the end of the text.
void TJLex::skipLineComment() {
    while (readChar() != L'\n' && !endOfText_) {
    }
}

// Up to the next "*/", or to the end of the text.
void TJLex::skipBlockComment() {
    wchar_t previous = 0;
    for (;;) {
        wchar_t c = readChar();
        if (endOfText_ || (previous == L'*' && c == L'/')) return;
        previous = c;
    }
}

// ==== Regular expressions and strings ====

namespace {

// The control escapes both literal forms share: \b \f \n (CR LF) \r \t.
bool appendControlEscape(wchar_t escaped, WideString& text) {
    switch (escaped) {
    case L'b': text += L'\b'; return true;
    case L'f': text += L'\f'; return true;
    case L'n': text += L"\r\n"; return true;
    case L'r': text += L'\r'; return true;
    case L't': text += L'\t'; return true;
    default: return false;
    }
}

}  // namespace

// From the character after the opening slash: the body up to an unescaped
// "/", then character 0 and the flag letters that follow directly.
TJToken TJLex::ScanRegExp() {
    tokenText_.clear();
    for (;;) {
        wchar_t c = readChar();
        if (endOfText_) return tkNone;
        if (c == L'/') break;
        if (c != L'\\') {
            tokenText_ += c;
            continue;
        }
        wchar_t escaped = readChar();
        if (endOfText_) return tkNone;
        if (escaped == L'/') {
            tokenText_ += L'/';
        } else if (!appendControlEscape(escaped, tokenText_)) {
            tokenText_ += L'\\';
            tokenText_ += escaped;
        }
    }
    tokenText_ += L'\0';
    while (accept(L'g') || accept(L'i') || accept(L'm')) {
    }
    return tkRegExp;
}

// Double quotes decode back-slash escapes (an unknown escape drops both
// characters); single quotes keep every back-slash as it stands.
TJToken TJLex::ScanString(wchar_t quote) {
    tokenText_.clear();
    for (;;) {
        wchar_t c = readChar();
        if (endOfText_) return tkNone;
        if (c == quote) return tkString;
        if (c != L'\\' || quote != L'"') {
            tokenText_ += c;
            continue;
        }
        wchar_t escaped = readChar();
        if (endOfText_) return tkNone;
        if (escaped == L'\\' || escaped == L'"') tokenText_ += escaped;
        else appendControlEscape(escaped, tokenText_);  // any other escape drops both
    }
}

// ==== Identifiers and keywords ====

TJToken TJLex::ScanIdentifier(wchar_t first) {
    tokenText_.clear();
    if (first == L'$' && prevToken_ == tkDot && scanRegExpStatic()) return tkIdentifier;
    wchar_t c = first;
    for (;;) {
        tokenText_ += c;
        if (c == L'#') {  // ends the identifier, taking a directly following "="
            accept(L'=');
            break;
        }
        c = readChar();
        if (endOfText_ || !(isIdentifierChar(c) || c == L'#')) {
            unreadChar();
            break;
        }
    }
    if (prevToken_ == tkDot) return tkIdentifier;  // member names may be keywords
    int keyword = keywords_.GetValue(AnsiString(narrow(tokenText_)));
    return keyword ? static_cast<TJToken>(keyword) : tkIdentifier;
}

// After a dot, "$" and one of & ` " + * _ name a RegExp static.
bool TJLex::scanRegExpStatic() {
    wchar_t c = readChar();
    const wchar_t* name = endOfText_ ? nullptr : regExpStaticName(c);
    if (!name) {
        unreadChar();
        return false;
    }
    tokenText_ = name;
    return true;
}

// ==== Numbers ====

TJToken TJLex::ScanNumber(wchar_t first) {
    tokenText_.assign(1, first);
    bool isFloat = false;
    for (;;) {
        wchar_t c = readChar();
        if (!endOfText_ && isDigit(c)) {
            tokenText_ += c;
            continue;
        }
        if (!endOfText_ && (c == L'.' || c == L'e' || c == L'E')) {
            wchar_t next = readChar();
            bool continues = !endOfText_ && (isDigit(next) || (c != L'.' && (next == L'+' || next == L'-')));
            if (continues) {
                tokenText_ += c;
                tokenText_ += next;
                isFloat = true;
                continue;
            }
            unreadChar();
            unreadChar();
            break;
        }
        if (!endOfText_ && (c == L'x' || c == L'X')) {
            tokenText_ += c;
            for (wchar_t d = readChar(); !endOfText_ && isHexDigit(d); d = readChar()) tokenText_ += d;
            unreadChar();
            break;
        }
        unreadChar();
        break;
    }
    return convertNumber(isFloat);
}

// An integer text tries a 32-bit integer, then a 64-bit one kept as a double,
// then a float; a text none of them reads is a malformed number.
TJToken TJLex::convertNumber(bool isFloat) {
    std::string text = narrow(tokenText_);
    intValue_ = 0;
    floatValue_ = 0;
    if (!isFloat) {
        if (auto value = parseInteger<int32_t, uint32_t>(text)) {
            intValue_ = *value;
            return tkInteger;
        }
        if (auto value = parseInteger<int64_t, uint64_t>(text)) {
            floatValue_ = static_cast<double>(*value);
            return tkFloat;
        }
    }
    if (auto value = parseFloat(text)) {
        floatValue_ = *value;
        return tkFloat;
    }
    return tkNaN;
}
