// The writers of the run-length tokens of record/rle.h: every encoder of
// the library (the cel encoders, mirroring) writes its streams with these,
// into a buffer that the caller has sized for what it writes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "record/rle.h"

namespace vek::rle {

// Skip of count pixels (0..255): 0 2 count 0.
inline BYTE *putSkip(BYTE *out, size_t count)
{
    out[0] = 0;
    out[1] = kSkip;
    out[2] = static_cast<BYTE>(count);
    out[3] = 0;
    return out + kSkipBytes;
}

// Skips covering count pixels, at most maxEach (1..255) each; none for 0.
inline BYTE *putSkips(BYTE *out, size_t count, size_t maxEach)
{
    for (; count > maxEach; count -= maxEach) out = putSkip(out, maxEach);
    return count ? putSkip(out, count) : out;
}

// Encoded run of count (1..255) pixels of colour.
inline BYTE *putRun(BYTE *out, size_t count, BYTE colour)
{
    out[0] = static_cast<BYTE>(count);
    out[1] = colour;
    return out + 2;
}

// Absolute run of count (3..255) pixels, padded with a 0 to an even length.
inline BYTE *putAbsolute(BYTE *out, const BYTE *pixels, size_t count)
{
    out[0] = 0;
    out[1] = static_cast<BYTE>(count);
    std::memcpy(out + 2, pixels, count);
    out += 2 + count;
    if (count & 1) *out++ = 0;
    return out;
}

inline BYTE *putEndOfRow(BYTE *out)
{
    out[0] = 0;
    out[1] = kEndOfRow;
    return out + 2;
}

inline BYTE *putEndOfImage(BYTE *out)
{
    out[0] = 0;
    out[1] = kEndOfImage;
    return out + 2;
}

// The most bytes an encoder's row of n pixels takes: alternating transparent
// and opaque pixels cost a skip and a run of one per two pixels (3 bytes a
// pixel), plus a leading skip and the end of row.
constexpr uint64_t rowBound(uint64_t n) { return 3 * n + 6; }

}  // namespace vek::rle
