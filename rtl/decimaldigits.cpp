// Exact binary-to-decimal expansion with a small unsigned big integer: a double
// is M * 2^E, which is M * 2^E exactly when E >= 0 and M * 5^-E / 10^-E when
// E < 0, so the decimal digits of one big integer give every digit exactly.
#include "rtl/decimaldigits.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace {

// ==== Big unsigned integer (32-bit limbs, least significant first) ====

class BigUnsigned {
public:
    explicit BigUnsigned(uint64_t value) {
        while (value) {
            limbs_.push_back(static_cast<uint32_t>(value));
            value >>= 32;
        }
    }

    void multiply(uint32_t factor) {
        uint64_t carry = 0;
        for (uint32_t& limb : limbs_) {
            uint64_t product = static_cast<uint64_t>(limb) * factor + carry;
            limb = static_cast<uint32_t>(product);
            carry = product >> 32;
        }
        if (carry) limbs_.push_back(static_cast<uint32_t>(carry));
    }

    void shiftLeft(int bits) {
        if (limbs_.empty()) return;
        limbs_.insert(limbs_.begin(), static_cast<size_t>(bits / 32), 0u);
        int rest = bits % 32;
        if (rest == 0) return;
        uint32_t carry = 0;
        for (uint32_t& limb : limbs_) {
            uint32_t next = limb >> (32 - rest);
            limb = (limb << rest) | carry;
            carry = next;
        }
        if (carry) limbs_.push_back(carry);
    }

    // Divides in place and gives the remainder.
    uint32_t divide(uint32_t divisor) {
        uint64_t remainder = 0;
        for (size_t i = limbs_.size(); i-- > 0;) {
            uint64_t current = (remainder << 32) | limbs_[i];
            limbs_[i] = static_cast<uint32_t>(current / divisor);
            remainder = current % divisor;
        }
        while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
        return static_cast<uint32_t>(remainder);
    }

    bool isZero() const noexcept { return limbs_.empty(); }

    std::string toDecimal() {
        std::vector<uint32_t> chunks;  // base 10^9, least significant first
        while (!isZero()) chunks.push_back(divide(1000000000u));
        std::string text;
        for (size_t i = chunks.size(); i-- > 0;) {
            std::string part = std::to_string(chunks[i]);
            if (i + 1 != chunks.size()) text.append(9 - part.size(), '0');
            text += part;
        }
        return text;
    }

private:
    std::vector<uint32_t> limbs_;
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
        BigUnsigned number(mantissa);
        if (exponent >= 0) {
            number.shiftLeft(exponent);
            result = fromIntegerText(number.toDecimal(), 0);
        } else {
            int fives = -exponent;
            for (; fives >= 13; fives -= 13) number.multiply(1220703125u);  // 5^13
            uint32_t rest = 1;
            while (fives-- > 0) rest *= 5;
            number.multiply(rest);
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
