// DecimalDigits: the exact decimal expansion of a double and its rounding to
// significant digits or to decimal places (ties away from zero). The number
// texts (rtl/numtext) and the format routines (rtl/format) build on it, so every
// float text of the system rounds the same way and never touches the C locale.
#pragma once

#include <string>

struct DecimalDigits {
    // value = (negative ? -1 : 1) * 0.d1 d2 d3 ... * 10^pointPos; digits holds
    // no leading or trailing zeros and is empty for zero.
    std::string digits;
    int pointPos = 0;
    bool negative = false;

    bool isZero() const noexcept { return digits.empty(); }
    // The exponent of the scientific form d.ddd * 10^e.
    int exponent() const noexcept { return pointPos - 1; }
    // Digit i counted from the first significant one; '0' beyond the end.
    char digitAt(int i) const noexcept {
        return i >= 0 && i < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(i)] : '0';
    }

    // Keeps at most count significant digits (count >= 1).
    void roundToSignificant(int count);
    // Keeps the digits down to 10^-decimals (decimals may be negative).
    void roundToDecimals(int decimals);
};

// The exact expansion of a finite double (the sign of -0.0 is kept in negative).
DecimalDigits exactDecimalDigits(double value);
