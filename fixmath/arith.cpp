// Fixed-point multiplication, division and rounding.
#include <vekkit/fixmath.h>

#include "fixmath/fixed.h"

VEKFIXED VEKAPI vekFixMul(VEKFIXED a, VEKFIXED b)
{
    return vek::fixMul(a, b);
}

VEKFIXED VEKAPI vekFixDiv(VEKFIXED a, VEKFIXED b)
{
    return vek::fixDiv(a, b);
}

// (a + 0.5) shifted right arithmetically by 16. The sum is formed in 64 bits
// so that the largest values round up to 32768 instead of wrapping.
LONG VEKAPI vekFixRound(VEKFIXED a)
{
    return static_cast<LONG>((int64_t{a} + vek::kFixHalf) >> 16);
}
