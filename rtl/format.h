// The format routines: formatText, the "%" format language over a list of typed
// values (the global format/sprintf/printf functions, the HTTP date and colour
// texts), and formatFloat, the picture language with 0 # . , E+ sections (the
// global formatFloat function). Mismatches raise EConvertError. The decimal
// separator is "." and the thousands separator ",".
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "rtl/ansistring.h"

// One value handed to formatText: an integer, a float, a text or a pointer.
class FormatArg {
public:
    enum class Kind { Integer, Float, String, Pointer };

    template <std::integral T>
    FormatArg(T value) noexcept : kind_(Kind::Integer), integer_(static_cast<int64_t>(value)) {}
    FormatArg(double value) noexcept : kind_(Kind::Float), float_(value) {}
    FormatArg(AnsiString value) noexcept : kind_(Kind::String), string_(std::move(value)) {}
    FormatArg(const char* value) : FormatArg(AnsiString(value)) {}
    FormatArg(std::string_view value) : FormatArg(AnsiString(value)) {}
    FormatArg(const std::string& value) : FormatArg(AnsiString(value)) {}
    FormatArg(const void* value) noexcept : kind_(Kind::Pointer), pointer_(value) {}

    Kind kind() const noexcept { return kind_; }
    int64_t integer() const noexcept { return integer_; }
    double floating() const noexcept { return float_; }
    const AnsiString& string() const noexcept { return string_; }
    const void* pointer() const noexcept { return pointer_; }

private:
    Kind kind_;
    int64_t integer_ = 0;
    double float_ = 0;
    AnsiString string_;
    const void* pointer_ = nullptr;
};

// Copies fmt, replacing each "%[index:][-][width][.precision]type" by the next
// value (or the value at index, after which counting goes on from there); width
// and precision may be "*" (taken from an integer value); "%%" is "%".
//   d  integer, precision = minimum digits      u  the same, unsigned
//   x  integer in lower-case hexadecimal (X: upper case), precision = minimum digits
//   e  float, d.dddE+ddd with precision (default 15) significant digits
//   f  float, fixed with precision (default 2) decimals
//   g  float, the general form with precision (default 15) significant digits
//   n  as f with thousands separators           m  the user's currency format
//   p  pointer, eight upper-case hexadecimal digits
//   s  text, at most precision bytes (never half a double-byte character)
// The width pads with blanks on the left ("-": on the right). The type letters
// other than x/X are case-insensitive. A value of the wrong kind or an invalid
// specifier raises EConvertError "Format '<fmt>' invalid or incompatible with
// argument"; too few values raise EConvertError "No argument for format '<fmt>'".
// A result that would grow past maxLength bytes raises std::length_error.
AnsiString formatText(std::string_view fmt, std::span<const FormatArg> args, size_t maxLength = SIZE_MAX);
AnsiString formatText(std::string_view fmt, std::initializer_list<FormatArg> args);

// Formats v by a picture of up to three sections separated by ";" (positive;
// negative; zero, an empty one standing for the first; without a negative
// section negatives get a "-"): "0" a digit always shown, "#" a digit shown when
// significant, the first "." the decimal point, any "," thousands separators,
// "E+" "E-" "e+" "e-" scientific form with up to four "0" as minimum exponent
// digits, text in '...' or "..." as it stands, any other byte as it stands.
// The value is rounded to the number of decimal placeholders (ties away from
// zero); a value that rounds to zero takes the zero section. An empty picture or
// first section, or more than 18 digits before the point in fixed form, gives the
// general form (floatToText). An unterminated quote or a fourth section raises
// EConvertError.
AnsiString formatFloat(std::string_view fmt, double v);
