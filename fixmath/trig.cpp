// Sine, cosine, tangent and the inverse functions.
//
// Sine reduces its angle to a fraction of a turn in [-1/4, 1/4] and evaluates
// an odd degree-9 polynomial in that fraction. Arc tangent reduces the point
// to the first octant (a ratio z in [0, 1]), shifts z about tan(pi/8) to a u
// in [-1, 1] and evaluates an odd degree-9 polynomial in u around pi/8; the
// octant then gives the quadrant back.
#include <vekkit/fixmath.h>

#include "fixmath/fixed.h"

#include <cstdint>

namespace {

using vek::fixDiv;
using vek::fixMul;
using vek::oddPolynomial;

// Coefficients of sin(2 pi t) for t in turns, highest power first; the last
// one is 2 pi.
constexpr VEKFIXED kSinCoeffs[] = {2602479, -5018418, 5347884, -2709368, vek::kFixTwoPi};

// Coefficients of atan about pi/8 in u, raw, highest power first.
constexpr VEKFIXED kATanCoeffs[] = {2, -20, 160, -1553, 27146};

// sqrt(1 - x^2), the other leg of the right triangle with hypotenuse 1 and
// leg x.
VEKFIXED cathetus(VEKFIXED x)
{
    return vekFixSqrt(vek::wrapSub(vek::kFixOne, fixMul(x, x)));
}

}  // namespace

VEKFIXED VEKAPI vekFixSin(VEKFIXED angle)
{
    // The angle in turns, reduced to [0, 1), then folded to [-1/4, 1/4]
    // using sin(x) = sin(1/2 - x) and sin(x) = sin(x - 1).
    VEKFIXED t = fixDiv(angle, vek::kFixTwoPi) & 0xFFFF;
    if (t > 0xC000)
        t -= 0x10000;
    else if (t > 0x4000)
        t = 0x8000 - t;
    return oddPolynomial(kSinCoeffs, t);
}

VEKFIXED VEKAPI vekFixCos(VEKFIXED angle)
{
    return vekFixSin(vek::wrapAdd(angle, vek::kFixHalfPi));
}

VEKFIXED VEKAPI vekFixTan(VEKFIXED angle)
{
    return fixDiv(vekFixSin(angle), vekFixCos(angle));
}

VEKFIXED VEKAPI vekFixATan2(VEKFIXED y, VEKFIXED x)
{
    // Magnitudes in 64 bits, so that -0x80000000 has one.
    const int64_t ay = y < 0 ? -int64_t{y} : y;
    const int64_t ax = x < 0 ? -int64_t{x} : x;
    const bool steep = ay > ax;
    const VEKFIXED z = steep ? vek::fixDivWide(ax, ay) : vek::fixDivWide(ay, ax);
    // u = (z - tan(pi/8)) / ((1 + z tan(pi/8)) tan(pi/8)), with
    // 1 / tan(pi/8) = 1 + sqrt 2: u spans [-1, 1] as z spans [0, 1].
    const VEKFIXED r = fixMul(z, vek::kFixSqrt2);
    const VEKFIXED u = fixDiv(r + z - vek::kFixOne, r - z + vek::kFixOne);
    VEKFIXED angle = oddPolynomial(kATanCoeffs, u) + vek::kFixEighthPi;
    if (steep) angle = vek::kFixHalfPi - angle;
    if (x < 0) angle = vek::kFixPi - angle;
    if (y < 0) angle = -angle;
    return angle;
}

VEKFIXED VEKAPI vekFixATan(VEKFIXED x)
{
    return vekFixATan2(x, vek::kFixOne);
}

// With c = sqrt(1 - x^2), the point (c, x) has the angle asin x and the
// point (x, c) the angle acos x.
VEKFIXED VEKAPI vekFixASin(VEKFIXED x)
{
    return vekFixATan2(x, cathetus(x));
}

VEKFIXED VEKAPI vekFixACos(VEKFIXED x)
{
    return vekFixATan2(cathetus(x), x);
}
