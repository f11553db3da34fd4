// Byte counts of blocks whose sizes come from callers and files.
//
// A count is worked out in 64 bits and checked before it becomes a size_t
// (an allocation, a pointer offset): a product of 32-bit fields fits 64 bits,
// but on 32-bit targets size_t wraps at 4 GiB, and a wrapped count is a short
// block that the code behind it overruns. Every limit a caller sets is
// checked in the same 64 bits, so one input is refused alike on both word
// sizes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vek {

// count x unit + extra bytes into bytes; false, with bytes untouched, when
// that overflows 64 bits, exceeds limit or does not fit a size_t.
[[nodiscard]] constexpr bool checkedBytes(uint64_t count, uint64_t unit, uint64_t extra, size_t &bytes,
                                          uint64_t limit = SIZE_MAX)
{
    uint64_t n = 0;
    if (__builtin_mul_overflow(count, unit, &n) || __builtin_add_overflow(n, extra, &n)) return false;
    if (n > limit || n > SIZE_MAX) return false;
    bytes = static_cast<size_t>(n);
    return true;
}

}  // namespace vek
