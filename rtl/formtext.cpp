// The text form format, read by a small tokenizer and a recursive-descent
// parser whose nesting is capped, and written with two blanks of indent a
// level. Strings are '...' pieces ('' for a quote) and #nnn characters joined
// directly or by "+"; a character code above 255 is a UTF-16 unit, stored in
// code page 932. Code page 932 bytes are written as they are.
#include <cstring>

#include "rtl/codepage.h"
#include "rtl/formformat.h"
#include "rtl/numtext.h"
#include "rtl/streams.h"

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
int hexValue(char c) { return isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

// ==== Tokens ====

enum class Token { End, Symbol, Ident, String, Integer, Float };

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) { next(); }

    Token token() const { return token_; }
    char symbol() const { return token_ == Token::Symbol ? symbol_ : '\0'; }
    const std::string& text() const { return text_value_; }
    int64_t integer() const { return int_; }
    double floatValue() const { return float_; }
    TValueType floatType() const { return floatType_; }
    int line() const { return tokenLine_; }
    bool isWord(const char* word) const {
        return token_ == Token::Ident && text_value_.size() == std::strlen(word) && sameWord(word);
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw EParserError(AnsiString(what) + " on line " + AnsiString(std::to_string(tokenLine_)));
    }
    void expectSymbol(char c) {
        if (symbol() != c) fail(std::string("'") + c + "' expected");
        next();
    }
    std::string expectIdent() {
        if (token_ != Token::Ident) fail("Identifier expected");
        std::string name = text_value_;
        next();
        return name;
    }

    void next() {
        skipBlanks();
        tokenLine_ = line_;
        text_value_.clear();
        if (pos_ >= text_.size()) {
            token_ = Token::End;
            return;
        }
        char c = text_[pos_];
        if (isLetter(c)) return word();
        if (c == '\'' || c == '#') return string();
        if (isDigit(c) || c == '$' || (c == '-' && pos_ + 1 < text_.size() &&
                                       (isDigit(text_[pos_ + 1]) || text_[pos_ + 1] == '$')))
            return number();
        token_ = Token::Symbol;
        symbol_ = c;
        ++pos_;
    }

    // The bytes of a binary value up to its closing brace, which is consumed;
    // called with the opening brace as the current token.
    std::string binary() {
        std::string bytes;
        int high = -1;
        for (;; ++pos_) {
            if (pos_ >= text_.size()) fail("'}' expected");
            char c = text_[pos_];
            if (c == '}') break;
            if (c == '\n') ++line_;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
            if (!isHexDigit(c)) fail("Invalid binary value");
            if (high < 0) {
                high = hexValue(c);
            } else {
                bytes += static_cast<char>(high << 4 | hexValue(c));
                high = -1;
            }
        }
        if (high >= 0) fail("Invalid binary value");
        ++pos_;
        next();
        return bytes;
    }

private:
    bool sameWord(const char* word) const {
        for (size_t i = 0; i < text_value_.size(); ++i)
            if ((text_value_[i] | 0x20) != (word[i] | 0x20)) return false;
        return true;
    }

    void skipBlanks() {
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\n') ++line_;
            else if (c != ' ' && c != '\t' && c != '\r') return;
            ++pos_;
        }
    }

    void word() {
        size_t start = pos_;
        while (pos_ < text_.size() && (isLetter(text_[pos_]) || isDigit(text_[pos_]) || text_[pos_] == '.')) ++pos_;
        token_ = Token::Ident;
        text_value_ = text_.substr(start, pos_ - start);
    }

    // One string token: quoted pieces and #nnn characters with nothing between.
    void string() {
        token_ = Token::String;
        wchar_t pendingHigh = 0;
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\'') {
                for (++pos_;; ++pos_) {
                    if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r')
                        fail("Unterminated string");
                    if (text_[pos_] == '\'') {
                        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') ++pos_;
                        else break;
                    }
                    text_value_ += text_[pos_];
                }
                ++pos_;
            } else if (c == '#') {
                ++pos_;
                uint32_t code = 0;
                bool hex = pos_ < text_.size() && text_[pos_] == '$';
                if (hex) ++pos_;
                size_t start = pos_;
                while (pos_ < text_.size() && (hex ? isHexDigit(text_[pos_]) : isDigit(text_[pos_]))) {
                    code = code * (hex ? 16 : 10) + static_cast<uint32_t>(hexValue(text_[pos_]));
                    if (code > 0xFFFF) fail("Invalid character code");
                    ++pos_;
                }
                if (pos_ == start) fail("Invalid character code");
                character(code, pendingHigh);
            } else {
                break;
            }
        }
    }

    void character(uint32_t code, wchar_t& pendingHigh) {
        if (code < 256) {
            text_value_ += static_cast<char>(code);
            return;
        }
        wchar_t unit = static_cast<wchar_t>(code);
        if (unit >= 0xD800 && unit < 0xDC00) {
            pendingHigh = unit;
            return;
        }
        wchar_t units[2] = {pendingHigh, unit};
        bool pair = pendingHigh != 0 && unit >= 0xDC00 && unit < 0xE000;
        pendingHigh = 0;
        text_value_ += wideToAnsi(pair ? std::wstring_view(units, 2) : std::wstring_view(&unit, 1)).view();
    }

    void number() {
        size_t start = pos_;
        bool negative = text_[pos_] == '-';
        if (negative) ++pos_;
        if (text_[pos_] == '$') {
            ++pos_;
            size_t digits = pos_;
            uint64_t value = 0;
            while (pos_ < text_.size() && isHexDigit(text_[pos_])) {
                if (pos_ - digits >= 16) fail("Invalid integer");
                value = value << 4 | static_cast<uint64_t>(hexValue(text_[pos_++]));
            }
            if (pos_ == digits) fail("Invalid integer");
            token_ = Token::Integer;
            int_ = static_cast<int64_t>(negative ? 0 - value : value);
            return;
        }
        bool isFloat = false;
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (isDigit(c)) {
                ++pos_;
            } else if (c == '.' || c == 'e' || c == 'E') {
                isFloat = true;
                ++pos_;
                if ((c == 'e' || c == 'E') && pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-'))
                    ++pos_;
            } else {
                break;
            }
        }
        std::string_view digits = text_.substr(start, pos_ - start);
        floatType_ = vaExtended;
        if (pos_ < text_.size()) {
            switch (text_[pos_] | 0x20) {
            case 's': floatType_ = vaSingle; break;
            case 'c': floatType_ = vaCurrency; break;
            case 'd': floatType_ = vaDate; break;
            default: break;
            }
            if (floatType_ != vaExtended) isFloat = true, ++pos_;
        }
        if (isFloat) {
            token_ = Token::Float;
            if (!textToFloat(digits, float_)) fail("Invalid floating point number");
        } else {
            token_ = Token::Integer;
            if (!textToInt64(digits, int_)) fail("Invalid integer");
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1, tokenLine_ = 1;
    Token token_ = Token::End;
    char symbol_ = 0;
    std::string text_value_;
    int64_t int_ = 0;
    double float_ = 0;
    TValueType floatType_ = vaExtended;
};

// ==== Parser ====

class TextParser {
public:
    explicit TextParser(std::string_view text) : in_(text) {}

    TFormObject form() {
        TFormObject root = object(0);
        if (in_.token() != Token::End) in_.fail("End of text expected");
        return root;
    }

private:
    // Whether "end" closes what is open; the text ending first is an error.
    bool atEnd() const {
        if (in_.token() == Token::End) in_.fail("'end' expected");
        return in_.isWord("end");
    }
    bool atObjectHeader() const { return in_.isWord("object") || in_.isWord("inherited") || in_.isWord("inline"); }

    // Object -> ("object" | "inherited" | "inline") [Name ":"] Class ["[" Integer "]"]
    //           {Property} {Object} "end"
    TFormObject object(int depth) {
        if (depth > MaxFormNesting) in_.fail("Objects nest too deep");
        TFormObject result;
        result.Line = in_.line();
        if (!atObjectHeader()) in_.fail("'object' expected");
        result.Flags = in_.isWord("inherited") ? ffInherited : in_.isWord("inline") ? ffInline : 0;
        in_.next();
        result.ClassName = in_.expectIdent();
        if (in_.symbol() == ':') {
            in_.next();
            result.Name = std::move(result.ClassName);
            result.ClassName = in_.expectIdent();
        }
        if (in_.symbol() == '[') {
            in_.next();
            if (in_.token() != Token::Integer) in_.fail("Integer expected");
            result.Flags |= ffChildPos;
            result.Position = in_.integer();
            in_.next();
            in_.expectSymbol(']');
        }
        while (!atObjectHeader() && !atEnd()) result.Properties.push_back(property(depth));
        while (!atEnd()) result.Children.push_back(object(depth + 1));
        in_.next();
        return result;
    }

    // Property -> Name "=" Value
    TFormProperty property(int depth) {
        TFormProperty result;
        result.Name = in_.expectIdent();
        in_.expectSymbol('=');
        result.Value = value(depth + 1);
        return result;
    }

    // Value -> Integer | Float | String {"+" String} | Ident | "[" [Ident {"," Ident}] "]"
    //        | "(" {Value} ")" | "{" hex digits "}" | "<" {Item} ">"
    TFormValue value(int depth) {
        if (depth > MaxFormNesting) in_.fail("Values nest too deep");
        TFormValue v;
        switch (in_.token()) {
        case Token::Integer: v = TFormValue::integer(in_.integer()); break;
        case Token::Float:
            v.Type = TFormValue::Float;
            v.Number = in_.floatValue();
            v.FloatType = in_.floatType();
            break;
        case Token::String:
            v = TFormValue::string(in_.text());
            for (in_.next(); in_.symbol() == '+';) {
                in_.next();
                if (in_.token() != Token::String) in_.fail("String expected");
                v.Text += in_.text();
                in_.next();
            }
            return v;
        case Token::Ident:
            if (in_.isWord("True")) v = TFormValue::boolean(true);
            else if (in_.isWord("False")) v = TFormValue::boolean(false);
            else if (in_.isWord("nil")) v.Type = TFormValue::Nil;
            else v = TFormValue::ident(in_.text());
            break;
        case Token::Symbol: return compound(depth);
        case Token::End: in_.fail("Value expected");
        }
        in_.next();
        return v;
    }

    TFormValue compound(int depth) {
        TFormValue v;
        switch (in_.symbol()) {
        case '[':
            v.Type = TFormValue::Set;
            in_.next();
            if (in_.symbol() != ']') {
                v.Names.push_back(in_.expectIdent());
                while (in_.symbol() == ',') {
                    in_.next();
                    v.Names.push_back(in_.expectIdent());
                }
            }
            in_.expectSymbol(']');
            return v;
        case '(':
            v.Type = TFormValue::List;
            for (in_.next(); in_.symbol() != ')';) v.Items.push_back(value(depth + 1));
            in_.next();
            return v;
        case '{':
            v.Type = TFormValue::Binary;
            v.Text = in_.binary();
            return v;
        case '<':
            v.Type = TFormValue::Collection;
            for (in_.next(); in_.symbol() != '>';) v.CollectionItems.push_back(item(depth + 1));
            in_.next();
            return v;
        default: in_.fail("Invalid property value");
        }
    }

    // Item -> "item" ["[" Integer "]"] {Property} "end"
    TFormValue::Item item(int depth) {
        TFormValue::Item result;
        if (!in_.isWord("item")) in_.fail("'item' expected");
        in_.next();
        if (in_.symbol() == '[') {
            in_.next();
            if (in_.token() != Token::Integer) in_.fail("Integer expected");
            result.HasOrder = true;
            result.Order = in_.integer();
            in_.next();
            in_.expectSymbol(']');
        }
        while (!atEnd()) result.Properties.push_back(property(depth));
        in_.next();
        return result;
    }

    Tokenizer in_;
};

// ==== Writer ====

class TextWriter {
public:
    void object(const TFormObject& form, int level) {
        indent(level);
        out_ += form.Flags & ffInherited ? "inherited " : form.Flags & ffInline ? "inline " : "object ";
        if (!form.Name.empty()) out_ += form.Name + ": ";
        out_ += form.ClassName;
        if (form.Flags & ffChildPos) out_ += " [" + std::to_string(form.Position) + "]";
        out_ += "\r\n";
        properties(form.Properties, level + 1);
        for (const TFormObject& child : form.Children) object(child, level + 1);
        indent(level);
        out_ += "end\r\n";
    }
    const std::string& text() const { return out_; }

private:
    void indent(int level) { out_.append(static_cast<size_t>(level) * 2, ' '); }

    void properties(const std::vector<TFormProperty>& list, int level) {
        for (const TFormProperty& property : list) {
            indent(level);
            out_ += property.Name + " = ";
            value(property.Value, level);
            out_ += "\r\n";
        }
    }

    void value(const TFormValue& v, int level) {
        switch (v.Type) {
        case TFormValue::Integer: out_ += std::to_string(v.Int); break;
        case TFormValue::Float: floatText(v); break;
        case TFormValue::String: string(v.Text); break;
        case TFormValue::Ident: out_ += v.Text; break;
        case TFormValue::False: out_ += "False"; break;
        case TFormValue::True: out_ += "True"; break;
        case TFormValue::Nil: out_ += "nil"; break;
        case TFormValue::Binary: binary(v.Text, level); break;
        case TFormValue::Set:
            out_ += '[';
            for (size_t i = 0; i < v.Names.size(); ++i) out_ += (i ? ", " : "") + v.Names[i];
            out_ += ']';
            break;
        case TFormValue::List:
            out_ += '(';
            for (const TFormValue& item : v.Items) {
                out_ += "\r\n";
                indent(level + 1);
                value(item, level + 1);
            }
            out_ += ')';
            break;
        case TFormValue::Collection:
            out_ += '<';
            for (const TFormValue::Item& item : v.CollectionItems) {
                out_ += "\r\n";
                indent(level + 1);
                out_ += "item";
                if (item.HasOrder) out_ += " [" + std::to_string(item.Order) + "]";
                out_ += "\r\n";
                properties(item.Properties, level + 2);
                indent(level + 1);
                out_ += "end";
            }
            out_ += '>';
            break;
        }
    }

    // The shortest text that reads back as the same double, always with a
    // point or an exponent so that it reads as a float.
    void floatText(const TFormValue& v) {
        AnsiString text = floatToTextGeneral(v.Number, 15);
        double back = 0;
        if (!textToFloat(text.view(), back) || back != v.Number) text = floatToTextGeneral(v.Number, 17);
        out_ += text.view();
        if (text.find('.') == std::string_view::npos && text.find('E') == std::string_view::npos) out_ += ".0";
        if (v.FloatType == vaSingle) out_ += 's';
        else if (v.FloatType == vaCurrency) out_ += 'c';
        else if (v.FloatType == vaDate) out_ += 'd';
    }

    // Printable bytes (and code page 932 characters) quoted, control bytes as #nn.
    void string(std::string_view text) {
        if (text.empty()) {
            out_ += "''";
            return;
        }
        bool quoted = false;
        for (char c : text) {
            bool control = static_cast<unsigned char>(c) < 32 || c == 127;
            if (control == quoted) {
                out_ += '\'';
                quoted = !quoted;
            }
            if (control) out_ += '#' + std::to_string(static_cast<unsigned char>(c));
            else out_ += c == '\'' ? std::string_view("''") : std::string_view(&c, 1);
        }
        if (quoted) out_ += '\'';
    }

    void binary(std::string_view bytes, int level) {
        static const char digits[] = "0123456789ABCDEF";
        out_ += '{';
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i % 32 == 0) {
                out_ += "\r\n";
                indent(level + 1);
            }
            out_ += digits[static_cast<unsigned char>(bytes[i]) >> 4];
            out_ += digits[static_cast<unsigned char>(bytes[i]) & 15];
        }
        out_ += '}';
    }

    std::string out_;
};

}  // namespace

TFormObject readTextForm(TStream& stream) { return TextParser(ReadToEnd(stream)).form(); }

void writeTextForm(TStream& stream, const TFormObject& form) {
    TextWriter writer;
    writer.object(form, 0);
    WriteBuffer(stream, writer.text());
}

void ObjectTextToBinary(TStream& input, TStream& output) { writeBinaryForm(output, readTextForm(input)); }

void ObjectBinaryToText(TStream& input, TStream& output) { writeTextForm(output, readBinaryForm(input)); }
