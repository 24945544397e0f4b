// Exact binary-to-decimal expansion: a double is M * 2^E, which is M * 2^E
// exactly when E >= 0 and M * 5^-E / 10^-E when E < 0, so the decimal digits of
// one big integer give every digit exactly. The big integer is kept in base 10^9
// on the stack, so its digits come out without any division of the whole number.
#include "rtl/decimaldigits.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace {

// ==== Big unsigned integer in base 10^9 ====

constexpr uint32_t kBase = 1000000000u;

class DecimalBig {
public:
    explicit DecimalBig(uint64_t value) {
        while (value) {
            limbs_[size_++] = static_cast<uint32_t>(value % kBase);
            value /= kBase;
        }
    }

    // factor below 2^32: every product stays below 2^62.
    void multiply(uint32_t factor) {
        uint64_t carry = 0;
        for (int i = 0; i < size_; ++i) {
            uint64_t product = static_cast<uint64_t>(limbs_[i]) * factor + carry;
            limbs_[i] = static_cast<uint32_t>(product % kBase);
            carry = product / kBase;
        }
        while (carry) {
            limbs_[size_++] = static_cast<uint32_t>(carry % kBase);
            carry /= kBase;
        }
    }

    void multiplyByPowerOf2(int exponent) {
        for (; exponent >= 29; exponent -= 29) multiply(uint32_t(1) << 29);
        if (exponent > 0) multiply(uint32_t(1) << exponent);
    }

    void multiplyByPowerOf5(int exponent) {
        for (; exponent >= 13; exponent -= 13) multiply(1220703125u);  // 5^13
        uint32_t rest = 1;
        while (exponent-- > 0) rest *= 5;
        if (rest > 1) multiply(rest);
    }

    std::string toDecimal() const {
        std::string text;
        if (size_ == 0) return text;
        text.reserve(static_cast<size_t>(size_) * 9);
        char chunk[10];
        for (int i = size_ - 1; i >= 0; --i) {
            uint32_t limb = limbs_[i];
            for (int k = 8; k >= 0; --k) {
                chunk[k] = static_cast<char>('0' + limb % 10);
                limb /= 10;
            }
            int skip = 0;
            if (i == size_ - 1) {
                while (skip < 8 && chunk[skip] == '0') ++skip;
            }
            text.append(chunk + skip, static_cast<size_t>(9 - skip));
        }
        return text;
    }

private:
    // 2^1024 has 309 digits, 2^53 * 5^1074 has 767: 86 limbs at most.
    uint32_t limbs_[90];
    int size_ = 0;
};

// Digits of an integer text, trailing zeros moved into pointPos.
DecimalDigits fromIntegerText(std::string text, int exponentShift) {
    DecimalDigits result;
    result.pointPos = static_cast<int>(text.size()) + exponentShift;
    size_t last = text.find_last_not_of('0');
    text.erase(last == std::string::npos ? 0 : last + 1);
    result.digits = std::move(text);
    if (result.digits.empty()) result.pointPos = 0;
    return result;
}

}  // namespace

DecimalDigits exactDecimalDigits(double value) {
    uint64_t bits = std::bit_cast<uint64_t>(value);
    bool negative = (bits >> 63) != 0;
    int biased = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t mantissa = bits & ((uint64_t(1) << 52) - 1);
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= uint64_t(1) << 52;
        exponent = biased - 1075;
    }
    DecimalDigits result;
    if (mantissa != 0) {
        int zeros = std::countr_zero(mantissa);
        mantissa >>= zeros;
        exponent += zeros;
        DecimalBig number(mantissa);
        if (exponent >= 0) {
            number.multiplyByPowerOf2(exponent);
            result = fromIntegerText(number.toDecimal(), 0);
        } else {
            number.multiplyByPowerOf5(-exponent);
            result = fromIntegerText(number.toDecimal(), exponent);
        }
    }
    result.negative = negative;
    return result;
}

// ==== Rounding (ties away from zero on the exact digits) ====

namespace {

// Cuts the digits to keep (>= 0) and rounds up when the first dropped digit is 5 or more.
void cutDigits(DecimalDigits& number, int keep) {
    int count = static_cast<int>(number.digits.size());
    if (keep >= count) return;
    bool up = number.digits[static_cast<size_t>(keep)] >= '5';
    number.digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && number.digits[static_cast<size_t>(i)] == '9') number.digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++number.digits[static_cast<size_t>(i)];
        } else {
            number.digits.insert(number.digits.begin(), '1');
            ++number.pointPos;
        }
    }
    size_t last = number.digits.find_last_not_of('0');
    number.digits.erase(last == std::string::npos ? 0 : last + 1);
    if (number.digits.empty()) number.pointPos = 0;
}

}  // namespace

void DecimalDigits::roundToSignificant(int count) {
    cutDigits(*this, std::max(count, 1));
}

void DecimalDigits::roundToDecimals(int decimals) {
    if (digits.empty()) return;
    int keep = pointPos + decimals;
    if (keep < 0) {
        digits.clear();
        pointPos = 0;
        return;
    }
    if (keep == 0) {
        // Only the rounding digit is left: it becomes 10^-decimals or nothing.
        bool up = digits[0] >= '5';
        digits = up ? "1" : "";
        pointPos = up ? pointPos + 1 : 0;
        return;
    }
    cutDigits(*this, keep);
}
