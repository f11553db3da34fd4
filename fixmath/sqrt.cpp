// Square roots by Newton iteration.
//
// Both roots start from a first guess within a factor of two of the root,
// found by halving the argument's bit length, and iterate g = (g + x / g) / 2
// until the quotient and the guess differ by at most 1 (raw).
#include <vekkit/fixmath.h>

#include "fixmath/fixed.h"

VEKFIXED VEKAPI vekFixSqrt(VEKFIXED x)
{
    if (x <= 0) return 0;
    // Scale m by 4 and g by 2 together until m lies in [1.0, 4.0): g is then
    // the root of x within a factor of two.
    VEKFIXED m = x, g = x;
    while (m >= vek::kFixOne) {
        m >>= 2;
        g >>= 1;
    }
    while (m < vek::kFixOne) {
        m <<= 2;
        g <<= 1;
    }
    VEKFIXED d;
    do {
        const VEKFIXED q = vek::fixDiv(x, g);
        d = g > q ? g - q : q - g;
        g = (g + q) >> 1;
    } while (d > 1);
    return g;
}

LONG VEKAPI vekLongSqrt(LONG n)
{
    if (n < 2) return n;
    // Halve the bit length: g keeps the upper half of n's bits, at least 1.
    LONG m = n, g = n;
    while (m != 0) {
        m >>= 2;
        g >>= 1;
    }
    LONG d;
    do {
        const LONG q = n / g;
        d = g > q ? g - q : q - g;
        g = (g + q) >> 1;
    } while (d > 1);
    return g;
}
