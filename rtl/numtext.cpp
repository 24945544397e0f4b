// Number texts: writing doubles in the general, fixed and scientific forms from
// their exact decimal digits, reading decimal and hexadecimal texts with our own
// syntax check (std::from_chars does the exact decimal-to-binary step).
#include "rtl/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "rtl/decimaldigits.h"

namespace {

// ==== Writing helpers ====

const char* nonFiniteText(double v) {
    if (std::isnan(v)) return "NaN";
    return v < 0 ? "-infinity" : "infinity";
}

// The text under construction, starting with "-" for a negative non-zero number.
std::string signText(const DecimalDigits& number) {
    std::string text;
    text.reserve(32);
    if (number.negative && !number.isZero()) text += '-';
    return text;
}

// d.ddd with `count` mantissa digits (trailing zeros kept).
void appendMantissa(std::string& text, const DecimalDigits& number, int count) {
    text += number.digitAt(0);
    if (count > 1) {
        text += '.';
        for (int i = 1; i < count; ++i) text += number.digitAt(i);
    }
}

// Plain notation of all significant digits.
void appendPlain(std::string& text, const DecimalDigits& number) {
    int count = static_cast<int>(number.digits.size());
    if (number.pointPos <= 0) {
        text += "0.";
        text.append(static_cast<size_t>(-number.pointPos), '0');
        text += number.digits;
    } else if (number.pointPos >= count) {
        text += number.digits;
        text.append(static_cast<size_t>(number.pointPos - count), '0');
    } else {
        text.append(number.digits, 0, static_cast<size_t>(number.pointPos));
        text += '.';
        text.append(number.digits, static_cast<size_t>(number.pointPos));
    }
}

// ==== Reading helpers ====

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Takes a leading sign off; true when it was "-".
bool takeSign(std::string_view& text) {
    if (text.empty() || (text.front() != '+' && text.front() != '-')) return false;
    bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

// Reads [sign] (decimal | hex prefix + hex digits) as a magnitude and a sign.
// Hex gives the bit pattern of at most maxHexDigits significant digits;
// decimal gives the magnitude, failing beyond decimalLimit.
bool readInteger(std::string_view text, int maxHexDigits, uint64_t decimalLimit,
                 uint64_t& magnitude, bool& negative, bool& hex) {
    text = trimBlanks(text);
    negative = takeSign(text);
    hex = false;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        hex = true;
    } else if (text.starts_with("$")) {
        text.remove_prefix(1);
        hex = true;
    }
    if (text.empty()) return false;
    uint64_t value = 0;
    if (hex) {
        int significant = 0;
        for (char c : text) {
            int digit = hexValue(c);
            if (digit < 0) return false;
            if (value == 0 && digit == 0) continue;
            if (++significant > maxHexDigits) return false;
            value = (value << 4) | static_cast<uint64_t>(digit);
        }
    } else {
        for (char c : text) {
            if (!isDigit(c)) return false;
            uint64_t digit = static_cast<uint64_t>(c - '0');
            if (value > (decimalLimit - digit) / 10) return false;
            value = value * 10 + digit;
        }
    }
    magnitude = value;
    return true;
}

}  // namespace

// ==== Writing ====

AnsiString floatToText(double v) {
    // A whole number below 10^15 has at most 15 digits and an exponent below
    // 15: its general form is its integer text, made without the expansion.
    if (std::fabs(v) < 1e15 && v == std::trunc(v)) return intToText(static_cast<long long>(v));
    return floatToTextGeneral(v, 15);
}

AnsiString floatToTextGeneral(double v, int precision) {
    if (!std::isfinite(v)) return nonFiniteText(v);
    precision = std::clamp(precision, 1, 18);
    DecimalDigits number = exactDecimalDigits(v);
    number.roundToSignificant(precision);
    if (number.isZero()) return "0";
    int exponent = number.exponent();
    std::string text = signText(number);
    if (exponent < precision && exponent >= -5) {
        appendPlain(text, number);
    } else {
        appendMantissa(text, number, static_cast<int>(number.digits.size()));
        text += 'E';
        text += std::to_string(exponent);  // "-" only for a negative exponent
    }
    return AnsiString(text);
}

AnsiString floatToTextFixed(double v, int decimals, int precision) {
    if (!std::isfinite(v)) return nonFiniteText(v);
    decimals = std::clamp(decimals, 0, 18);
    precision = std::clamp(precision, 1, 18);
    DecimalDigits number = exactDecimalDigits(v);
    // One rounding, at whichever of the two limits comes first.
    if (number.pointPos + decimals < precision) {
        number.roundToDecimals(decimals);
    } else {
        number.roundToSignificant(precision);
    }
    if (number.pointPos > precision) return floatToTextGeneral(v, precision);
    std::string text = signText(number);
    if (number.pointPos <= 0) {
        text += '0';
    } else {
        for (int i = 0; i < number.pointPos; ++i) text += number.digitAt(i);
    }
    if (decimals > 0) {
        text += '.';
        for (int i = 0; i < decimals; ++i) text += number.digitAt(number.pointPos + i);
    }
    return AnsiString(text);
}

AnsiString floatToTextExponent(double v, int precision, int exponentDigits) {
    if (!std::isfinite(v)) return nonFiniteText(v);
    precision = std::clamp(precision, 1, 18);
    exponentDigits = std::clamp(exponentDigits, 0, 4);
    DecimalDigits number = exactDecimalDigits(v);
    number.roundToSignificant(precision);
    int exponent = number.isZero() ? 0 : number.exponent();
    std::string text = signText(number);
    appendMantissa(text, number, precision);
    text += exponent < 0 ? "E-" : "E+";
    std::string digits = std::to_string(std::abs(exponent));
    if (static_cast<int>(digits.size()) < exponentDigits) text.append(static_cast<size_t>(exponentDigits) - digits.size(), '0');
    text += digits;
    return AnsiString(text);
}

AnsiString intToText(long long v) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return AnsiString(buffer, static_cast<size_t>(result.ptr - buffer));
}

// ==== Reading ====

bool textToFloat(std::string_view text, double& out) {
    text = trimBlanks(text);
    std::string_view unsignedText = text;
    bool negative = takeSign(unsignedText);
    // Syntax: digits [. digits] [e [sign] digits], at least one mantissa digit.
    size_t pos = 0, n = unsignedText.size();
    size_t intStart = pos;
    while (pos < n && isDigit(unsignedText[pos])) ++pos;
    size_t intDigits = pos - intStart;
    size_t fracDigits = 0;
    if (pos < n && unsignedText[pos] == '.') {
        size_t fracStart = ++pos;
        while (pos < n && isDigit(unsignedText[pos])) ++pos;
        fracDigits = pos - fracStart;
    }
    if (intDigits + fracDigits == 0) return false;
    long long exponent = 0;
    if (pos < n && (unsignedText[pos] == 'e' || unsignedText[pos] == 'E')) {
        ++pos;
        bool expNegative = false;
        if (pos < n && (unsignedText[pos] == '+' || unsignedText[pos] == '-')) expNegative = unsignedText[pos++] == '-';
        size_t expStart = pos;
        while (pos < n && isDigit(unsignedText[pos])) {
            if (exponent < 100000000) exponent = exponent * 10 + (unsignedText[pos] - '0');
            ++pos;
        }
        if (pos == expStart) return false;
        if (expNegative) exponent = -exponent;
    }
    if (pos != n) return false;

    double value = 0;
    auto result = std::from_chars(unsignedText.data(), unsignedText.data() + n, value, std::chars_format::general);
    if (result.ptr != unsignedText.data() + n) return false;
    if (result.ec == std::errc::result_out_of_range) {
        // Where the first significant digit stands decides overflow or underflow.
        std::string_view mantissa = unsignedText.substr(0, intDigits);
        size_t firstNonZero = mantissa.find_first_not_of('0');
        long long magnitude = firstNonZero != std::string_view::npos
            ? static_cast<long long>(intDigits - firstNonZero)
            : -static_cast<long long>(unsignedText.substr(intDigits + 1).find_first_not_of('0'));
        if (magnitude + exponent > 0) return false;
        value = 0;
    } else if (result.ec != std::errc()) {
        return false;
    }
    out = negative ? -value : value;
    return true;
}

bool textToInt32(std::string_view text, int32_t& out) {
    uint64_t magnitude;
    bool negative, hex;
    if (!readInteger(text, 8, uint64_t(1) << 31, magnitude, negative, hex)) return false;
    if (!hex && !negative && magnitude > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return false;
    uint32_t pattern = static_cast<uint32_t>(magnitude);
    if (negative) pattern = 0u - pattern;
    out = static_cast<int32_t>(pattern);
    return true;
}

bool textToInt64(std::string_view text, int64_t& out) {
    uint64_t magnitude;
    bool negative, hex;
    if (!readInteger(text, 16, uint64_t(1) << 63, magnitude, negative, hex)) return false;
    if (!hex && !negative && magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return false;
    uint64_t pattern = negative ? 0u - magnitude : magnitude;
    out = static_cast<int64_t>(pattern);
    return true;
}

// ==== Rounding ====

double roundHalfEven(double v) {
    if (!std::isfinite(v) || std::fabs(v) >= 4503599627370496.0) return v;  // 2^52: already whole
    double whole = std::floor(v);
    double fraction = v - whole;  // exact below 2^52
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
    return whole == 0 ? std::copysign(0.0, v) : whole;
}

int32_t wrapToInt32(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

int64_t roundToInt64(double v) {
    double rounded = roundHalfEven(v);
    if (!(std::fabs(rounded) < 9223372036854775808.0)) return 0;  // NaN, infinities, beyond 2^63
    return static_cast<int64_t>(rounded);
}

int32_t roundToInt32(double v) {
    // A whole number within 32 bits is its own result (the usual case: a
    // difference of integers), without the rounding.
    if (v >= -2147483648.0 && v <= 2147483647.0) {
        auto whole = static_cast<int32_t>(v);
        if (whole == v) return whole;
    }
    return wrapToInt32(roundToInt64(v));
}
