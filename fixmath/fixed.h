// Internal 16.16 fixed-point primitives, inlined into the library's own
// polynomial and matrix code; the exported vekFixMul and vekFixDiv are thin
// wrappers around them.
//
// All arithmetic here is well defined for every input: products are formed in
// 64 bits, 32-bit sums that may leave the range wrap explicitly (as the 32-bit
// machine arithmetic they model does), and division never traps.
#pragma once

#include <vekkit/records.h>

#include <cstddef>
#include <cstdint>

namespace vek {

constexpr VEKFIXED kFixOne = 0x10000;
constexpr VEKFIXED kFixHalf = 0x8000;

// Raw constants of the elementary functions.
constexpr VEKFIXED kFixTwoPi = 411775;    // 6.2831879
constexpr VEKFIXED kFixPi = 205887;       // 3.1415863
constexpr VEKFIXED kFixHalfPi = 102944;   // 1.5708008
constexpr VEKFIXED kFixEighthPi = 25736;  // 0.3927002
constexpr VEKFIXED kFixSqrt2 = 92682;     // 1.4142151
constexpr VEKFIXED kFixLog2E = 94548;     // 1.4426880
constexpr VEKFIXED kFixLog2Ten = 217706;  // 3.3219299

// 32-bit two's-complement sum, difference and negation: wrap instead of
// overflowing.
constexpr VEKFIXED wrapAdd(VEKFIXED a, VEKFIXED b)
{
    return static_cast<VEKFIXED>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr VEKFIXED wrapSub(VEKFIXED a, VEKFIXED b)
{
    return static_cast<VEKFIXED>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
constexpr VEKFIXED wrapNeg(VEKFIXED a)
{
    return static_cast<VEKFIXED>(0u - static_cast<uint32_t>(a));
}

// The exact 64-bit product shifted right arithmetically by 16, low 32 bits
// kept: rounds toward minus infinity and wraps when the result does not fit.
constexpr VEKFIXED fixMul(VEKFIXED a, VEKFIXED b)
{
    return static_cast<VEKFIXED>(static_cast<uint32_t>((int64_t{a} * b) >> 16));
}

// num × 65536 ÷ den, truncated toward zero, for numerators and denominators
// of up to 33 significant bits (so that magnitudes such as |−2^31| can be
// divided). A quotient beyond the 32-bit range saturates to 0x7FFFFFFF or
// −0x80000000 by its sign; a zero denominator counts as a positive one, so
// n ÷ 0 gives 0x7FFFFFFF for n > 0, −0x80000000 for n < 0, and 0 ÷ 0 gives 0.
constexpr VEKFIXED fixDivWide(int64_t num, int64_t den)
{
    if (den == 0) return num > 0 ? INT32_MAX : num < 0 ? INT32_MIN : 0;
    const int64_t q = num * 65536 / den;
    if (q > INT32_MAX) return INT32_MAX;
    if (q < INT32_MIN) return INT32_MIN;
    return static_cast<VEKFIXED>(q);
}

// a × 65536 ÷ b, truncated toward zero, saturating as fixDivWide.
constexpr VEKFIXED fixDiv(VEKFIXED a, VEKFIXED b)
{
    return fixDivWide(a, b);
}

// The odd polynomial u (c0 u^2n + ... + cn), by Horner's rule with fixMul:
// acc = c0, then acc = u^2 acc + c for every further c, then u acc.
template <size_t N>
constexpr VEKFIXED oddPolynomial(const VEKFIXED (&coeffs)[N], VEKFIXED u)
{
    const VEKFIXED u2 = fixMul(u, u);
    VEKFIXED acc = coeffs[0];
    for (size_t i = 1; i < N; i++) acc = fixMul(u2, acc) + coeffs[i];
    return fixMul(u, acc);
}

}  // namespace vek
