// TCrypt3: DES with table-driven rounds (S-boxes merged with P; the E
// expansion, perturbed by the salt, looked up a byte of R at a time), run 25
// times over a zero block as the traditional crypt(3) does.
#include "engine/support/crypt.h"

#include <cstring>
#include <utility>

namespace {

// ==== DES tables (bit numbers count from 1 at the most significant bit) ====

constexpr uint8_t initialPermutation[64] = {
    58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7,
};

constexpr uint8_t expansion[48] = {
    32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11, 12, 13, 12, 13, 14, 15, 16, 17,
    16, 17, 18, 19, 20, 21, 20, 21, 22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1,
};

constexpr uint8_t permutation[32] = {
    16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
    2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25,
};

constexpr uint8_t permutedChoice1[56] = {
    57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18, 10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22, 14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4,
};

constexpr uint8_t permutedChoice2[48] = {
    14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32,
};

constexpr uint8_t keyShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

constexpr uint8_t sBoxes[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8,  3,  10, 6,  12, 5,  9,  0, 7,  0, 15, 7,  4,  14, 2,  13, 1,  10, 6, 12, 11, 9,  5,  3,  8,
     4,  1,  14, 8, 13, 6,  2,  11, 15, 12, 9,  7,  3,  10, 5, 0,  15, 12, 8, 2, 4,  9,  1,  7,  5,  11, 3, 14, 10, 0,  6,  13},
    {15, 1,  8,  14, 6,  11, 3,  4,  9,  7, 2,  13, 12, 0, 5,  10, 3,  13, 4,  7,  15, 2,  8,  14, 12, 0, 1,  10, 6,  9,  11, 5,
     0,  14, 7,  11, 10, 4,  13, 1,  5,  8, 12, 6,  9,  3, 2,  15, 13, 8,  10, 1,  3,  15, 4,  2,  11, 6, 7,  12, 0,  5,  14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7,  11, 4,  2,  8,  13, 7,  0,  9,  3,  4,  6,  10, 2,  8, 5,  14, 12, 11, 15, 1,
     13, 6,  4,  9,  8, 15, 3,  0,  11, 1,  2,  12, 5,  10, 14, 7,  1,  10, 13, 0,  6,  9,  8,  7,  4,  15, 14, 3, 11, 5,  2,  12},
    {7,  13, 14, 3, 0,  6,  9,  10, 1,  2, 8,  5,  11, 12, 4,  15, 13, 8,  11, 5, 6,  15, 0,  3,  4,  7, 2,  12, 1,  10, 14, 9,
     10, 6,  9,  0, 12, 11, 7,  13, 15, 1, 3,  14, 5,  2,  8,  4,  3,  15, 0,  6, 10, 1,  13, 8,  9,  4, 5,  11, 12, 7,  2,  14},
    {2,  12, 4,  1,  7,  10, 11, 6,  8,  5,  3,  15, 13, 0, 14, 9,  14, 11, 2,  12, 4,  7,  13, 1,  5,  0, 15, 10, 3,  9,  8,  6,
     4,  2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,  6,  3, 0,  14, 11, 8,  12, 7,  1,  14, 2,  13, 6,  15, 0, 9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9, 2,  6,  8,  0,  13, 3,  4,  14, 7,  5,  11, 10, 15, 4,  2,  7,  12, 9,  5,  6,  1, 13, 14, 0,  11, 3,  8,
     9,  14, 15, 5,  2, 8,  12, 3,  7,  0,  4,  10, 1,  13, 11, 6,  4,  3,  2,  12, 9,  5,  15, 10, 11, 14, 1, 7,  6,  0,  8,  13},
    {4,  11, 2,  14, 15, 0, 8,  13, 3,  12, 9, 7,  5,  10, 6, 1,  13, 0,  11, 7,  4,  9,  1,  10, 14, 3, 5,  12, 2,  15, 8,  6,
     1,  4,  11, 13, 12, 3, 7,  14, 10, 15, 6, 8,  0,  5,  9, 2,  6,  11, 13, 8,  1,  4,  10, 7,  9,  5, 0,  15, 14, 2,  3,  12},
    {13, 2,  8,  4, 6,  15, 11, 1,  10, 9,  3,  14, 5,  0,  12, 7,  1,  15, 13, 8, 10, 3,  7,  4,  12, 5, 6,  11, 0,  14, 9,  2,
     7,  11, 4,  1, 9,  12, 14, 2,  0,  6,  10, 13, 15, 3,  5,  8,  2,  1,  14, 7, 4,  10, 8,  13, 15, 12, 9, 0,  3,  5,  6,  11},
};

constexpr char saltAlphabet[] = "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

bool bitAt(uint64_t value, int width, int number) {
    return (value >> (width - number)) & 1;
}

// Output bit k (from 1) is input bit table[k - 1]; both count from the top.
uint64_t permute(uint64_t value, int inWidth, const uint8_t* table, int outWidth) {
    uint64_t out = 0;
    for (int k = 0; k < outWidth; ++k) out = (out << 1) | bitAt(value, inWidth, table[k]);
    return out;
}

int saltValue(char c) {
    const char* at = c ? std::strchr(saltAlphabet, c) : nullptr;
    return at ? static_cast<int>(at - saltAlphabet) : 0;
}

uint32_t rotate28(uint32_t half, int count) {
    return ((half << count) | (half >> (28 - count))) & 0x0FFFFFFF;
}

// The DES key from the password: 7 bits of each of its first 8 characters,
// each in the top of its byte.
void keySchedule(const char* key, uint64_t subkeys[16]) {
    uint64_t block = 0;
    for (int k = 0; k < 8; ++k) {
        uint8_t c = *key ? static_cast<uint8_t>(*key++) : 0;
        block = (block << 8) | static_cast<uint8_t>(c << 1);
    }
    uint64_t cd = permute(block, 64, permutedChoice1, 56);
    uint32_t c = static_cast<uint32_t>(cd >> 28), d = static_cast<uint32_t>(cd & 0x0FFFFFFF);
    for (int round = 0; round < 16; ++round) {
        c = rotate28(c, keyShifts[round]);
        d = rotate28(d, keyShifts[round]);
        subkeys[round] = permute((static_cast<uint64_t>(c) << 28) | d, 56, permutedChoice2, 48);
    }
}

// The inverse of the initial permutation.
uint64_t finalPermutation(uint64_t block) {
    uint64_t out = 0;
    for (int k = 0; k < 64; ++k)
        if (bitAt(block, 64, k + 1)) out |= uint64_t{1} << (64 - initialPermutation[k]);
    return out;
}

}  // namespace

// ==== Tables ====

void TCrypt3::buildTables() {
    for (int box = 0; box < 8; ++box) {
        for (int x = 0; x < 64; ++x) {
            int row = ((x >> 4) & 2) | (x & 1), column = (x >> 1) & 15;
            uint64_t raw = static_cast<uint64_t>(sBoxes[box][row * 16 + column]) << (28 - 4 * box);
            sp_[box][x] = static_cast<uint32_t>(permute(raw, 32, permutation, 32));
        }
    }
    built_ = true;
}

// Salt bit k swaps the expansion's outputs k and k + 24.
void TCrypt3::setSalt(int saltBits) {
    uint8_t perturbed[48];
    std::memcpy(perturbed, expansion, sizeof perturbed);
    for (int k = 0; k < 12; ++k)
        if ((saltBits >> k) & 1) std::swap(perturbed[k], perturbed[k + 24]);
    for (int slice = 0; slice < 4; ++slice)
        for (int v = 0; v < 256; ++v)
            expansion_[slice][v] = permute(static_cast<uint64_t>(v) << (24 - 8 * slice), 32, perturbed, 48);
    saltBits_ = saltBits;
}

// ==== Encryption ====

uint32_t TCrypt3::roundFunction(uint32_t right, uint64_t subkey) const {
    uint64_t e = expansion_[0][right >> 24] | expansion_[1][(right >> 16) & 0xFF] |
                 expansion_[2][(right >> 8) & 0xFF] | expansion_[3][right & 0xFF];
    e ^= subkey;
    uint32_t out = 0;
    for (int box = 0; box < 8; ++box) out |= sp_[box][(e >> (42 - 6 * box)) & 63];
    return out;
}

AnsiString TCrypt3::Crypt(const AnsiString& key, const AnsiString& salt) {
    const char* saltText = salt.c_str();
    if (!*saltText) return {};
    char first = saltText[0], second = saltText[1] ? saltText[1] : first;
    int saltBits = saltValue(first) | (saltText[1] ? saltValue(second) << 6 : 0);
    if (!built_) buildTables();
    if (saltBits != saltBits_) setSalt(saltBits);

    uint64_t subkeys[16];
    keySchedule(key.c_str(), subkeys);
    uint32_t left = 0, right = 0;  // the zero block is its own initial permutation
    for (int pass = 0; pass < 25; ++pass) {
        for (int round = 0; round < 16; ++round) {
            uint32_t next = left ^ roundFunction(right, subkeys[round]);
            left = right;
            right = next;
        }
        std::swap(left, right);  // the output's halves, and the next pass's input
    }
    uint64_t block = finalPermutation((static_cast<uint64_t>(left) << 32) | right);

    AnsiString result;
    result += first;
    result += second;
    for (int k = 0; k < 11; ++k) {
        int shift = 58 - 6 * k;  // the last character holds the final four bits, shifted left by two
        int value = static_cast<int>((shift >= 0 ? block >> shift : block << -shift) & 63);
        result += saltAlphabet[value];
    }
    return result;
}
