// Coordinate arithmetic that cannot overflow.
//
// Positions, rectangle edges, origins and scroll moves are signed 32-bit
// values that callers may set anywhere in that range. Every sum, difference
// or negation of them is worked out in 64 bits; a result that is stored back
// as a 32-bit coordinate stops at the ends of the 32-bit range instead of
// wrapping around. No image is wider or higher than 32767 pixels, so a
// coordinate that stopped at an end lies as far outside every image as the
// exact value would, and clipping draws the same pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <limits>

namespace vek {

constexpr LONG saturate(int64_t v)
{
    constexpr int64_t lo = std::numeric_limits<LONG>::min(), hi = std::numeric_limits<LONG>::max();
    return static_cast<LONG>(v < lo ? lo : v > hi ? hi : v);
}

constexpr LONG addSat(LONG a, int64_t b) { return saturate(a + b); }
constexpr LONG subSat(LONG a, int64_t b) { return saturate(a - b); }

// r moved by (dx, dy), each edge saturated.
constexpr RECT offsetSat(const RECT &r, int64_t dx, int64_t dy)
{
    return RECT{addSat(r.left, dx), addSat(r.top, dy), addSat(r.right, dx), addSat(r.bottom, dy)};
}

// Width and height of a rectangle, exact.
constexpr int64_t widthOf(const RECT &r) { return int64_t{r.right} - r.left; }
constexpr int64_t heightOf(const RECT &r) { return int64_t{r.bottom} - r.top; }

}  // namespace vek
