// Binary and octal digit texts of 32-bit values, and Boolean flags packed
// into the bits of a byte (the presence bytes of the compiled-tree file).
// Used by the Number object, the global functions and the tree file.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "rtl/ansistring.h"

// The digits of the unsigned 32-bit value, most significant first; "0" for 0.
AnsiString IntToBin(uint32_t n);
AnsiString IntToOct(uint32_t n);

// Bit i is set when flags[i] is true (flags 0 to 7; any further are ignored).
uint8_t PackBools(std::span<const bool> flags);
inline uint8_t PackBools(std::initializer_list<bool> flags) {
    return PackBools(std::span<const bool>(flags.begin(), flags.size()));
}
inline bool TestBit(uint8_t byte, int bit) {
    return bit >= 0 && bit < 8 && (byte >> bit & 1) != 0;
}
