// Logarithms, exponentials and powers, all through base 2.
//
// FixLog2 normalises x to [1, 2] by a power of two and evaluates an odd
// degree-7 polynomial in u = (x - sqrt 2) / (x + sqrt 2), centred on
// log2(sqrt 2) = 1/2. FixExp2 splits |x| into its whole part n, a half and a
// fraction f in [0, 1/2): a degree-5 polynomial in f whose coefficients are
// pre-scaled by 2^n gives 2^(n + f), a multiplication by sqrt 2 adds the half,
// and a negative x takes the reciprocal.
#include <vekkit/fixmath.h>

#include "fixmath/fixed.h"

#include <cstdint>

namespace {

using vek::fixDiv;
using vek::fixMul;

// Coefficients of log2 about sqrt 2 in u, highest power first:
// 0.43427, 0.57658, 0.96181, 2.88539.
constexpr VEKFIXED kLog2Coeffs[] = {28460, 37787, 63033, 189097};

// log2 x for x > 0; 0x80000000 (the most negative value) for x <= 0.
VEKFIXED FixLog2(VEKFIXED x)
{
    if (x <= 0) return INT32_MIN;
    int16_t k = 0;
    while (x < vek::kFixOne) {
        x <<= 1;
        k--;
    }
    while (x > 2 * vek::kFixOne) {
        x >>= 1;
        k++;
    }
    const VEKFIXED u = fixDiv(x - vek::kFixSqrt2, x + vek::kFixSqrt2);
    return k * vek::kFixOne + vek::oddPolynomial(kLog2Coeffs, u) + vek::kFixHalf;
}

// Coefficients of 2^f for f in [0, 1/2), highest power first, scaled so that
// the last one, 2^30, is 2^14 in 16.16: shifted right by 14 - n they give
// 2^n 2^f.
constexpr VEKFIXED kExp2Top = 1704391;
constexpr VEKFIXED kExp2Coeffs[] = {10169365, 59638623, 257936344, 744261329, 1073741824};

// 2^x; 0x7FFFFFFF for x >= 15.0 and its reciprocal (2 raw) for x <= -15.0.
VEKFIXED FixExp2(VEKFIXED x)
{
    const int64_t a = x < 0 ? -int64_t{x} : x;  // |x|, also of -0x80000000
    const int16_t s = static_cast<int16_t>(14 - (a >> 16));
    VEKFIXED acc;
    if (s < 0) {
        acc = INT32_MAX;
    } else {
        const VEKFIXED f = static_cast<VEKFIXED>(a & 0x7FFF);
        acc = kExp2Top >> s;
        for (VEKFIXED c : kExp2Coeffs) acc = fixMul(f, acc) + (c >> s);
        if (a & 0x8000) acc = fixMul(acc, vek::kFixSqrt2);
    }
    return x < 0 ? fixDiv(vek::kFixOne, acc) : acc;
}

}  // namespace

VEKFIXED VEKAPI vekFixLog(VEKFIXED x)
{
    return fixDiv(FixLog2(x), vek::kFixLog2E);
}

VEKFIXED VEKAPI vekFixLog10(VEKFIXED x)
{
    return fixDiv(FixLog2(x), vek::kFixLog2Ten);
}

VEKFIXED VEKAPI vekFixExp(VEKFIXED x)
{
    return FixExp2(fixMul(x, vek::kFixLog2E));
}

VEKFIXED VEKAPI vekFixExp10(VEKFIXED x)
{
    return FixExp2(fixMul(x, vek::kFixLog2Ten));
}

VEKFIXED VEKAPI vekFixPow(VEKFIXED base, VEKFIXED exponent)
{
    if (base == 0) return 0;
    if ((exponent & 0xFFFF) == 0 && exponent >= 0 && exponent <= 0x1000000) {
        // Square and multiply over the bits of the whole exponent n.
        unsigned n = static_cast<unsigned>(exponent) >> 16;
        VEKFIXED r = (n & 1) ? base : vek::kFixOne;
        for (n >>= 1; n != 0; n >>= 1) {
            base = fixMul(base, base);
            if (n & 1) r = fixMul(r, base);
        }
        return r;
    }
    return FixExp2(fixMul(exponent, FixLog2(base)));
}
