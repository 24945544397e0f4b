// Number texts: the general float form that script values print (15 significant
// digits), the fixed and scientific forms of the Number object, reading decimal
// and hexadecimal number texts, and the rounding and wrapping of integers. Used
// by the script values, the built-in objects and the format routines. The
// decimal point is always "."; nothing here depends on the C locale.
#pragma once

#include <cstdint>
#include <string_view>

#include "rtl/ansistring.h"

// ==== Writing ====

// The general form with 15 significant digits: trailing zeros and a trailing
// point dropped; plain while the decimal exponent (of the rounded value) lies in
// -5..14, else mantissa, "E", "-" for a negative exponent and the exponent
// ("0.3", "100", "1E15", "1.5E-7"). Negative zero gives "0"; infinities give
// "infinity" / "-infinity" and NaN "NaN", as script values print them.
AnsiString floatToText(double v);
// The same form with the given number of significant digits (clamped to 1..18);
// plain while the exponent is below precision and at least -5.
AnsiString floatToTextGeneral(double v, int precision);
// Fixed-point with exactly `decimals` decimals (0..18) and at most `precision`
// significant digits; when more than `precision` digits would stand before the
// point the result is the general form with that precision. A value that rounds
// to zero carries no minus sign.
AnsiString floatToTextFixed(double v, int decimals, int precision = 15);
// Scientific: `precision` significant digits (1..18, trailing zeros kept), "E",
// the exponent's sign ("+" or "-") and at least `exponentDigits` digits (0..4):
// floatToTextExponent(1234.5, 3, 1) is "1.23E+3".
AnsiString floatToTextExponent(double v, int precision, int exponentDigits);

AnsiString intToText(long long v);

// ==== Reading ====
// Blanks (space, tab, CR, LF) around the number are allowed; anything else that
// does not belong to the number makes the text not a number (false, out unchanged).

// Decimal only: [sign] digits [. digits] [(e|E) [sign] digits], with digits
// before or after the point. "inf", "nan" and hexadecimal floats are not
// numbers; a value beyond the double range is not a number; one too small for
// it reads as zero.
bool textToFloat(std::string_view text, double& out);
// [sign] decimal digits within the 32-bit range, or [sign] "0x" / "0X" / "$"
// and up to eight hexadecimal digits, read as the 32-bit pattern ("0xFFFFFFFF"
// is -1). Leading zeros do not count towards the eight.
bool textToInt32(std::string_view text, int32_t& out);
// The same for 64 bits (up to sixteen hexadecimal digits).
bool textToInt64(std::string_view text, int64_t& out);

// ==== Rounding ====

// The nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double v);
// The low 32 bits of v as a signed integer.
int32_t wrapToInt32(int64_t v);
// roundHalfEven, then the low 32 bits; 0 for NaN, infinities and values beyond
// the 64-bit range.
int32_t roundToInt32(double v);
// roundHalfEven as a 64-bit integer; 0 for NaN, infinities and values beyond
// the 64-bit range.
int64_t roundToInt64(double v);
