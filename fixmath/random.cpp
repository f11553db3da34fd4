// Pseudo-random numbers from one process-wide linear congruential generator.
//
// The state is a 32-bit word advanced as state * 214013 + 2531011 (mod 2^32);
// each draw yields bits 16..30 of the new state, 15 random bits. The state is
// seeded from the tick counter on the first draw of the process and never
// again; it is shared without locking, so concurrent callers may see
// repeated values.
#include <vekkit/fixmath.h>

#include "fixmath/fixed.h"

#include <cstdint>

namespace {

uint32_t randState;
bool randSeeded;

// The next 15-bit random value, in [0, 32767].
LONG Rand15()
{
    if (!randSeeded) {
        randState = GetTickCount();
        randSeeded = true;
    }
    randState = randState * 214013u + 2531011u;
    return static_cast<LONG>((randState >> 16) & 0x7FFF);
}

}  // namespace

// r * n / 32768 rounded down, with n cut to a signed 16-bit value.
LONG VEKAPI vekIntRand(LONG n)
{
    return (Rand15() * static_cast<int16_t>(n)) >> 15;
}

// n times a random fraction 2r / 65536 in [0, 1).
VEKFIXED VEKAPI vekFixRand(VEKFIXED n)
{
    return vek::fixMul(n, 2 * Rand15());
}
