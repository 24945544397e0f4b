// Digit texts in a power-of-two base and the packing of Boolean flags.
#include "engine/support/numbits.h"

namespace {

AnsiString digitsInBase(uint32_t n, int bitsPerDigit) {
    char digits[32];
    size_t at = sizeof digits;
    uint32_t mask = (1u << bitsPerDigit) - 1;
    do {
        digits[--at] = static_cast<char>('0' + (n & mask));
        n >>= bitsPerDigit;
    } while (n);
    return AnsiString(digits + at, sizeof digits - at);
}

}  // namespace

AnsiString IntToBin(uint32_t n) {
    return digitsInBase(n, 1);
}

AnsiString IntToOct(uint32_t n) {
    return digitsInBase(n, 3);
}

uint8_t PackBools(std::span<const bool> flags) {
    uint8_t byte = 0;
    for (size_t i = 0; i < flags.size() && i < 8; ++i) {
        if (flags[i]) byte |= static_cast<uint8_t>(1u << i);
    }
    return byte;
}
