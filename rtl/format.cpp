// The "%" format language (formatText) and the float picture language
// (formatFloat). Float digits come from the exact decimal expansion of
// rtl/decimaldigits with 18 significant digits at most, as the number texts of
// rtl/numtext; the currency format of "%m" is read from the user's locale.
#include "rtl/format.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "rtl/codepage.h"
#include "rtl/decimaldigits.h"
#include "rtl/exceptions.h"
#include "rtl/numtext.h"

namespace {

constexpr int kFormatPrecision = 18;   // significant digits of the format routines
constexpr int kMaxFieldSize = 1 << 20; // larger widths and precisions are invalid

std::string withThousands(std::string_view digits) {
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

// Puts separators into the integer part of a fixed text such as "-1234.50".
std::string groupFixedText(std::string_view text) {
    if (text.find('E') != std::string_view::npos) return std::string(text);
    size_t start = text.starts_with("-") ? 1 : 0;
    size_t end = text.find('.');
    if (end == std::string_view::npos) end = text.size();
    return std::string(text.substr(0, start)) + withThousands(text.substr(start, end - start)) +
           std::string(text.substr(end));
}

// ==== Currency format of the user's locale ====

struct CurrencyFormat {
    std::string symbol;
    int positive = 0;  // LOCALE_ICURRENCY 0..3
    int negative = 0;  // LOCALE_INEGCURR 0..15
    int decimals = 2;
};

int localeNumber(LCTYPE type, int fallback) {
    char buffer[16];
    int32_t value;
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) > 0 && textToInt32(buffer, value)) return value;
    return fallback;
}

const CurrencyFormat& localeCurrency() {
    static const CurrencyFormat format = [] {
        CurrencyFormat f;
        char buffer[32];
        if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, buffer, sizeof buffer) > 0) f.symbol = buffer;
        f.positive = std::clamp(localeNumber(LOCALE_ICURRENCY, 0), 0, 3);
        f.negative = std::clamp(localeNumber(LOCALE_INEGCURR, 1), 0, 15);
        f.decimals = std::clamp(localeNumber(LOCALE_ICURRDIGITS, 2), 0, 18);
        return f;
    }();
    return format;
}

// The platform's currency patterns: "$" stands for the symbol, "1" for the amount.
std::string currencyText(double v, int decimals) {
    static const char* const positivePatterns[] = {"$1", "1$", "$ 1", "1 $"};
    static const char* const negativePatterns[] = {"($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
                                                   "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
    const CurrencyFormat& format = localeCurrency();
    std::string amount = groupFixedText(floatToTextFixed(std::fabs(v), decimals, kFormatPrecision).view());
    bool negative = v < 0 && amount.find_first_not_of("0.,") != std::string::npos;
    std::string text;
    for (const char* p = negative ? negativePatterns[format.negative] : positivePatterns[format.positive]; *p; ++p) {
        if (*p == '$') text += format.symbol;
        else if (*p == '1') text += amount;
        else text += *p;
    }
    return text;
}

// ==== formatText ====

class TextFormatter {
public:
    TextFormatter(std::string_view fmt, std::span<const FormatArg> args, size_t maxLength)
        : fmt_(fmt), args_(args), maxLength_(maxLength) {}

    AnsiString run() {
        while (pos_ < fmt_.size()) {
            size_t percent = fmt_.find('%', pos_);
            if (percent == std::string_view::npos) percent = fmt_.size();
            append(fmt_.substr(pos_, percent - pos_));
            pos_ = percent;
            if (pos_ < fmt_.size()) specifier();
        }
        return std::move(out_);
    }

private:
    void checkRoom(size_t length) const {
        if (length > maxLength_ - out_.length()) throw std::length_error("formatted text too long");
    }

    void append(std::string_view part) {
        checkRoom(part.size());
        out_ += part;
    }

    [[noreturn]] void invalid() const {
        throw EConvertError("Format '" + AnsiString(fmt_) + "' invalid or incompatible with argument");
    }

    const FormatArg& nextArg() {
        if (argIndex_ >= args_.size()) throw EConvertError("No argument for format '" + AnsiString(fmt_) + "'");
        return args_[argIndex_++];
    }

    char peek() const { return pos_ < fmt_.size() ? fmt_[pos_] : '\0'; }

    // digits | "*" (an integer value) | nothing
    std::optional<int64_t> number() {
        if (peek() == '*') {
            ++pos_;
            const FormatArg& arg = nextArg();
            if (arg.kind() != FormatArg::Kind::Integer) invalid();
            return arg.integer();
        }
        if (peek() < '0' || peek() > '9') return std::nullopt;
        int64_t value = 0;
        while (peek() >= '0' && peek() <= '9') {
            value = std::min<int64_t>(value * 10 + (fmt_[pos_++] - '0'), kMaxFieldSize + 1);
        }
        return value;
    }

    // "%" [index ":"] ["-"] [width] ["." precision] type
    void specifier() {
        ++pos_;  // the "%"
        if (peek() == '%') {
            ++pos_;
            append("%");
            return;
        }
        std::optional<int64_t> first = number();
        if (first && peek() == ':') {
            ++pos_;
            if (*first < 0 || *first > kMaxFieldSize) invalid();
            argIndex_ = static_cast<size_t>(*first);
            first.reset();
        }
        bool left = false;
        if (!first && peek() == '-') {
            ++pos_;
            left = true;
        }
        std::optional<int64_t> width = first ? first : number();
        std::optional<int64_t> precision;
        if (peek() == '.') {
            ++pos_;
            precision = number().value_or(0);
        }
        if ((width && (*width > kMaxFieldSize || *width < -kMaxFieldSize)) ||
            (precision && (*precision < 0 || *precision > kMaxFieldSize))) {
            invalid();
        }
        if (width && *width < 0) {  // a negative "*" width pads on the right
            left = true;
            width = -*width;
        }
        if (pos_ >= fmt_.size()) invalid();
        char type = fmt_[pos_++];
        std::string text = convert(type, precision);
        size_t fieldWidth = width ? static_cast<size_t>(*width) : 0;
        if (text.size() < fieldWidth) {
            text.insert(left ? text.end() : text.begin(), fieldWidth - text.size(), ' ');
        }
        append(text);
    }

    std::string convert(char type, std::optional<int64_t> precision) {
        char lower = static_cast<char>(type >= 'A' && type <= 'Z' ? type + 32 : type);
        switch (lower) {
        case 'd': case 'u': case 'x': return integerText(lower, type == 'X', precision);
        case 'e': case 'f': case 'g': case 'n': case 'm': return floatText(lower, precision);
        case 'p': {
            const FormatArg& arg = nextArg();
            if (arg.kind() != FormatArg::Kind::Pointer) invalid();
            return hexDigits(reinterpret_cast<uintptr_t>(arg.pointer()), true, 8);
        }
        case 's': {
            const FormatArg& arg = nextArg();
            if (arg.kind() != FormatArg::Kind::String) invalid();
            std::string_view text = cutText(arg.string().view(), precision);
            checkRoom(text.size());  // before a copy of a long text is made
            return std::string(text);
        }
        default: invalid();
        }
    }

    std::string integerText(char type, bool upper, std::optional<int64_t> precision) {
        const FormatArg& arg = nextArg();
        if (arg.kind() != FormatArg::Kind::Integer) invalid();
        int64_t value = arg.integer();
        size_t minDigits = static_cast<size_t>(precision.value_or(0));
        // Negative values within 32 bits show their 32-bit pattern as unsigned or hexadecimal.
        uint64_t pattern = value < 0 && value >= INT32_MIN ? static_cast<uint32_t>(value) : static_cast<uint64_t>(value);
        std::string digits;
        bool negative = false;
        if (type == 'x') {
            digits = hexDigits(pattern, upper, 1);
        } else if (type == 'u') {
            digits = std::to_string(pattern);
        } else {
            negative = value < 0;
            digits = std::to_string(negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value));
        }
        if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
        return negative ? "-" + digits : digits;
    }

    std::string floatText(char type, std::optional<int64_t> precision) {
        const FormatArg& arg = nextArg();
        if (arg.kind() != FormatArg::Kind::Float) invalid();
        double v = arg.floating();
        int digits = static_cast<int>(std::min<int64_t>(precision.value_or(-1), kFormatPrecision));
        switch (type) {
        case 'e': return floatToTextExponent(v, digits < 0 ? 15 : digits, 3).str();
        case 'g': return floatToTextGeneral(v, digits < 0 ? 15 : digits).str();
        case 'f': return floatToTextFixed(v, digits < 0 ? 2 : digits, kFormatPrecision).str();
        case 'n': return groupFixedText(floatToTextFixed(v, digits < 0 ? 2 : digits, kFormatPrecision).view());
        default: return currencyText(v, digits < 0 ? localeCurrency().decimals : digits);
        }
    }

    static std::string hexDigits(uint64_t value, bool upper, size_t minDigits) {
        const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
        std::string digits;
        do {
            digits.insert(digits.begin(), alphabet[value & 15]);
            value >>= 4;
        } while (value);
        if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');
        return digits;
    }

    // At most precision bytes, never ending in the lead byte of a pair.
    static std::string_view cutText(std::string_view text, std::optional<int64_t> precision) {
        if (!precision || static_cast<size_t>(*precision) >= text.size()) return text;
        size_t limit = static_cast<size_t>(*precision), end = 0;
        while (end < limit) {
            size_t step = isLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
            if (end + step > limit) break;
            end += step;
        }
        return text.substr(0, end);
    }

    std::string_view fmt_;
    std::span<const FormatArg> args_;
    size_t pos_ = 0;
    size_t argIndex_ = 0;
    size_t maxLength_;
    AnsiString out_;
};

}  // namespace

AnsiString formatText(std::string_view fmt, std::span<const FormatArg> args, size_t maxLength) {
    return TextFormatter(fmt, args, maxLength).run();
}

AnsiString formatText(std::string_view fmt, std::initializer_list<FormatArg> args) {
    return formatText(fmt, std::span<const FormatArg>(args.begin(), args.size()));
}

// ==== formatFloat ====

namespace {

[[noreturn]] void invalidFloatFormat(std::string_view fmt, const char* reason) {
    throw EConvertError("Invalid float format '" + AnsiString(fmt) + "': " + reason);
}

// Length of the quoted text or double-byte character at text[i], else 1.
size_t literalLength(std::string_view fmt, std::string_view text, size_t i) {
    char c = text[i];
    if (c == '\'' || c == '"') {
        size_t close = text.find(c, i + 1);
        if (close == std::string_view::npos) invalidFloatFormat(fmt, "unterminated quoted text");
        return close - i + 1;
    }
    if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) return 2;
    return 1;
}

std::vector<std::string_view> splitSections(std::string_view fmt) {
    std::vector<std::string_view> sections;
    size_t start = 0, i = 0;
    while (i < fmt.size()) {
        if (fmt[i] == ';') {
            sections.push_back(fmt.substr(start, i - start));
            start = ++i;
        } else {
            i += literalLength(fmt, fmt, i);
        }
    }
    sections.push_back(fmt.substr(start));
    if (sections.size() > 3) invalidFloatFormat(fmt, "more than three sections");
    return sections;
}

bool isExponentAt(std::string_view section, size_t i) {
    return (section[i] == 'E' || section[i] == 'e') && i + 1 < section.size() &&
           (section[i + 1] == '+' || section[i + 1] == '-');
}

// What a section asks for: placeholders on both sides of the point, the
// thousands switch and the scientific form.
struct Picture {
    int intPlaces = 0;
    int intFirstZero = -1;    // index of the leftmost "0" before the point
    int fracPlaces = 0;
    int fracLastZero = -1;    // index of the rightmost "0" after the point
    bool thousands = false;
    bool scientific = false;
    int exponentDigits = 0;
};

Picture analyse(std::string_view fmt, std::string_view section) {
    Picture picture;
    bool afterPoint = false;
    for (size_t i = 0; i < section.size();) {
        char c = section[i];
        if (picture.scientific) {  // everything after the exponent is text
            i += literalLength(fmt, section, i);
        } else if (c == '0' || c == '#') {
            if (afterPoint) {
                if (c == '0') picture.fracLastZero = picture.fracPlaces;
                ++picture.fracPlaces;
            } else {
                if (c == '0' && picture.intFirstZero < 0) picture.intFirstZero = picture.intPlaces;
                ++picture.intPlaces;
            }
            ++i;
        } else if (c == '.') {
            afterPoint = true;
            ++i;
        } else if (c == ',') {
            picture.thousands = true;
            ++i;
        } else if (isExponentAt(section, i)) {
            picture.scientific = true;
            i += 2;
            for (; i < section.size() && section[i] == '0'; ++i) {
                picture.exponentDigits = std::min(picture.exponentDigits + 1, 4);
            }
        } else {
            i += literalLength(fmt, section, i);
        }
    }
    return picture;
}

// The digits that a section puts out, already rounded.
struct Digits {
    std::string integer;   // padded to the "0" placeholders
    std::string fraction;  // trailing zeros cut down to the "0" placeholders
    int exponent = 0;
};

Digits layoutDigits(const Picture& picture, const DecimalDigits& number) {
    Digits digits;
    int intPlaces = picture.intPlaces;
    int minInt = picture.intFirstZero < 0 ? 0 : intPlaces - picture.intFirstZero;
    if (picture.scientific) {
        if (!number.isZero()) digits.exponent = number.pointPos - intPlaces;
        for (int i = 0; i < intPlaces; ++i) digits.integer += number.digitAt(i);
        if (number.isZero()) digits.integer = std::string(static_cast<size_t>(std::max(minInt, intPlaces > 0 ? 1 : 0)), '0');
        for (int i = 0; i < picture.fracPlaces; ++i) digits.fraction += number.digitAt(intPlaces + i);
    } else {
        for (int i = 0; i < number.pointPos; ++i) digits.integer += number.digitAt(i);
        for (int i = 0; i < picture.fracPlaces; ++i) digits.fraction += number.digitAt(number.pointPos + i);
    }
    if (static_cast<int>(digits.integer.size()) < minInt) digits.integer.insert(0, static_cast<size_t>(minInt) - digits.integer.size(), '0');
    size_t keepFraction = static_cast<size_t>(picture.fracLastZero + 1);
    while (digits.fraction.size() > keepFraction && digits.fraction.back() == '0') digits.fraction.pop_back();
    return digits;
}

// Walks the section, putting digits at the placeholders and text where it stands.
std::string render(std::string_view fmt, std::string_view section, const Picture& picture, const Digits& digits) {
    std::string out;
    int length = static_cast<int>(digits.integer.size());
    int offset = length - picture.intPlaces;  // digits beyond the placeholders go to the first one
    bool grouping = picture.thousands && !picture.scientific;
    auto putInteger = [&](int from, int to) {
        for (int k = std::max(from, 0); k < to; ++k) {
            out += digits.integer[static_cast<size_t>(k)];
            int rest = length - 1 - k;
            if (grouping && rest > 0 && rest % 3 == 0) out += ',';
        }
    };
    // Without integer placeholders the integer digits go before the point (a
    // picture without any placeholder shows no digits).
    bool integerDone = picture.intPlaces > 0;
    auto finishInteger = [&] {
        if (!integerDone) putInteger(0, length);
        integerDone = true;
    };
    int intSeen = 0, fracSeen = 0;
    bool afterPoint = false, exponentDone = false;
    for (size_t i = 0; i < section.size();) {
        char c = section[i];
        if (!exponentDone && (c == '0' || c == '#')) {
            if (afterPoint) {
                finishInteger();
                if (fracSeen < static_cast<int>(digits.fraction.size())) out += digits.fraction[static_cast<size_t>(fracSeen)];
                ++fracSeen;
            } else {
                putInteger(intSeen == 0 ? 0 : offset + intSeen, offset + intSeen + 1);
                ++intSeen;
            }
            ++i;
        } else if (!exponentDone && c == '.') {
            if (!afterPoint) {
                finishInteger();
                if (!digits.fraction.empty()) out += '.';
            }
            afterPoint = true;
            ++i;
        } else if (!exponentDone && c == ',') {
            ++i;
        } else if (!exponentDone && isExponentAt(section, i)) {
            finishInteger();
            out += c;
            if (digits.exponent < 0) out += '-';
            else if (section[i + 1] == '+') out += '+';
            std::string exponent = std::to_string(std::abs(digits.exponent));
            size_t minDigits = static_cast<size_t>(std::max(picture.exponentDigits, 1));
            if (exponent.size() < minDigits) exponent.insert(0, minDigits - exponent.size(), '0');
            out += exponent;
            for (i += 2; i < section.size() && section[i] == '0';) ++i;
            exponentDone = true;
        } else {
            size_t n = literalLength(fmt, section, i);
            if (c == '\'' || c == '"') out.append(section.substr(i + 1, n - 2));
            else out.append(section.substr(i, n));
            i += n;
        }
    }
    return out;
}

// Rounds the magnitude of v as the picture asks: to its decimal places in fixed
// form, to its significant places in scientific form, never beyond 18 digits.
DecimalDigits roundFor(const Picture& picture, double v) {
    DecimalDigits number = exactDecimalDigits(std::fabs(v));
    number.negative = false;
    if (picture.scientific) {
        number.roundToSignificant(std::min(std::max(picture.intPlaces + picture.fracPlaces, 1), kFormatPrecision));
    } else if (number.pointPos + picture.fracPlaces < kFormatPrecision) {
        number.roundToDecimals(picture.fracPlaces);
    } else {
        number.roundToSignificant(kFormatPrecision);
    }
    return number;
}

}  // namespace

AnsiString formatFloat(std::string_view fmt, double v) {
    std::vector<std::string_view> sections = splitSections(fmt);
    if (sections[0].empty() || !std::isfinite(v)) return floatToText(v);
    std::string_view positive = sections[0];
    std::string_view negative = sections.size() > 1 && !sections[1].empty() ? sections[1] : std::string_view();
    std::string_view zero = sections.size() > 2 && !sections[2].empty() ? sections[2] : positive;

    std::string_view section = v > 0 ? positive : v < 0 ? (negative.empty() ? positive : negative) : zero;
    Picture picture = analyse(fmt, section);
    DecimalDigits number = roundFor(picture, v);
    if (!picture.scientific && number.pointPos > kFormatPrecision) return floatToText(v);
    if (number.isZero() && v != 0) {
        section = zero;
        picture = analyse(fmt, section);
        number = DecimalDigits();
    }
    std::string text = render(fmt, section, picture, layoutDigits(picture, number));
    if (v < 0 && !number.isZero() && negative.empty()) text.insert(text.begin(), '-');
    return AnsiString(text);
}
