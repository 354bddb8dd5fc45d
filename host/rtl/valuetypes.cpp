// Conversions between IEEE double and the 80-bit extended float of form files, done
// on the bit patterns so they do not depend on the compiler's long double.
#include "host/rtl/valuetypes.h"

#include <bit>
#include <cstring>

namespace host {

namespace {

constexpr int kExtendedBias = 16383;
constexpr int kDoubleBias = 1023;
constexpr uint64_t kIntegerBit = uint64_t(1) << 63;
constexpr uint64_t kDoubleFraction = (uint64_t(1) << 52) - 1;
constexpr uint64_t kDoubleQuietBit = uint64_t(1) << 51;

void StoreExtended(bool Negative, unsigned Exponent, uint64_t Mantissa, uint8_t Out[10]) {
    for (int i = 0; i < 8; ++i) Out[i] = static_cast<uint8_t>(Mantissa >> (8 * i));
    unsigned top = (Exponent & 0x7FFF) | (Negative ? 0x8000u : 0u);
    Out[8] = static_cast<uint8_t>(top);
    Out[9] = static_cast<uint8_t>(top >> 8);
}

double FromBits(uint64_t Bits) { return std::bit_cast<double>(Bits); }

}  // namespace

void DoubleToExtended(double Value, uint8_t Out[10]) {
    const uint64_t bits = std::bit_cast<uint64_t>(Value);
    const bool negative = (bits >> 63) != 0;
    const unsigned exp11 = static_cast<unsigned>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & kDoubleFraction;

    if (exp11 == 0x7FF) {
        // Infinity keeps a bare integer bit; a NaN keeps its payload (and so whether
        // it is quiet) in the top fraction bits.
        StoreExtended(negative, 0x7FFF, kIntegerBit | (fraction << 11), Out);
        return;
    }
    if (exp11 == 0) {
        if (fraction == 0) {
            StoreExtended(negative, 0, 0, Out);
            return;
        }
        // A double denormal is fraction * 2^-1074; extended has the range to hold it
        // normalised.
        const int lz = std::countl_zero(fraction);
        const int unbiased = (63 - lz) - 1074;
        StoreExtended(negative, static_cast<unsigned>(unbiased + kExtendedBias), fraction << lz, Out);
        return;
    }
    const int unbiased = static_cast<int>(exp11) - kDoubleBias;
    StoreExtended(negative, static_cast<unsigned>(unbiased + kExtendedBias), kIntegerBit | (fraction << 11), Out);
}

double ExtendedToDouble(const uint8_t In[10]) {
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) mantissa |= uint64_t(In[i]) << (8 * i);
    const unsigned top = unsigned(In[8]) | (unsigned(In[9]) << 8);
    const bool negative = (top & 0x8000) != 0;
    const unsigned exp15 = top & 0x7FFF;
    const uint64_t sign = negative ? uint64_t(1) << 63 : 0;

    if (exp15 == 0x7FFF) {
        const uint64_t fraction = mantissa & ~kIntegerBit;
        // Infinity has an empty fraction and the integer bit; anything else in this
        // exponent (including the pseudo forms without the integer bit) is not a number.
        if (fraction == 0 && (mantissa & kIntegerBit) != 0) return FromBits(sign | (uint64_t(0x7FF) << 52));
        uint64_t payload = fraction >> 11;
        if (payload == 0) payload = kDoubleQuietBit;
        return FromBits(sign | (uint64_t(0x7FF) << 52) | payload);
    }
    if (mantissa == 0) return FromBits(sign);

    // The value is mantissa * 2^e2; an exponent field of 0 (denormal) scales like 1.
    // Unnormals (integer bit clear with a nonzero exponent) take the same formula.
    int e2 = (exp15 == 0 ? 1 : static_cast<int>(exp15)) - kExtendedBias - 63;
    const int lz = std::countl_zero(mantissa);
    mantissa <<= lz;
    e2 -= lz;
    int x = e2 + 63;  // exponent of the leading bit

    if (x > kDoubleBias) return FromBits(sign | (uint64_t(0x7FF) << 52));

    // Keep 53 bits for a normal result, fewer below the normal range; round the rest
    // to nearest, ties to even.
    int shift = 11;
    if (x < 1 - kDoubleBias) shift += (1 - kDoubleBias) - x;
    uint64_t q;
    if (shift >= 65) {
        q = 0;  // below half the smallest denormal
    } else if (shift == 64) {
        q = (mantissa > kIntegerBit) ? 1 : 0;  // exactly half ties to the even 0
    } else {
        q = mantissa >> shift;
        const uint64_t rem = mantissa & ((uint64_t(1) << shift) - 1);
        const uint64_t half = uint64_t(1) << (shift - 1);
        if (rem > half || (rem == half && (q & 1) != 0)) ++q;
    }

    if (x >= 1 - kDoubleBias) {
        if (q == (uint64_t(1) << 53)) {
            q >>= 1;
            ++x;
            if (x > kDoubleBias) return FromBits(sign | (uint64_t(0x7FF) << 52));
        }
        const uint64_t biased = static_cast<uint64_t>(x + kDoubleBias);
        return FromBits(sign | (biased << 52) | (q & kDoubleFraction));
    }
    // Denormal range: q is the fraction itself; rounding up to 2^52 lands exactly on
    // the smallest normal, which the same bit pattern encodes.
    return FromBits(sign | q);
}

}  // namespace host
