// Byte-row primitives of the rasteriser: copy, fill and reverse runs of 8-bit
// pixels. They work inline, in fixed-size memcpy moves (which compilers turn
// into unaligned vector moves), so the blitters call nothing per run or
// pixel but the C library for long runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace vek {

inline uint32_t load4(const BYTE *p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void store4(BYTE *p, uint32_t v) { std::memcpy(p, &v, 4); }

// Runs at least this long are moved by the C library, which uses the widest
// units the processor has; shorter ones are cheaper to move inline than to
// call it for. Measured with bench/blit.cpp on x86-64: the RLE disc's runs of
// 60 to 107 pixels copy about twice as fast inline as through memcpy, raw
// rows of 64 pixels 1.4 times as fast, rows of 128 pixels as fast.
constexpr size_t kLibraryRun = 128;

// Copies n pixels, N <= n <= 2 N, as two moves of N bytes (fixed-size
// memcpy, which the compiler turns into unaligned vector moves) from both
// ends; they overlap unless n = 2 N.
template <size_t N>
inline void copyEnds(BYTE *d, const BYTE *s, size_t n)
{
    std::memcpy(d, s, N);
    std::memcpy(d + n - N, s + n - N, N);
}

// Copies n pixels in the widest units that fit: long runs through the C
// library, others as two moves from both ends of the largest power of two
// bytes not longer than the run (three single bytes below four), so that a
// run of any length takes one choice of size and no loop. The runs must not
// overlap.
inline void copyPixels(BYTE *d, const BYTE *s, size_t n)
{
    if (n >= kLibraryRun)
        std::memcpy(d, s, n);
    else if (n > 32)
        n > 64 ? copyEnds<64>(d, s, n) : copyEnds<32>(d, s, n);
    else if (n >= 8)
        n >= 16 ? copyEnds<16>(d, s, n) : copyEnds<8>(d, s, n);
    else if (n >= 4)
        copyEnds<4>(d, s, n);
    else if (n)
        d[0] = s[0], d[n / 2] = s[n / 2], d[n - 1] = s[n - 1];
}

// Sixteen pixels of one colour, in a vector register where the processor
// has them (compilers split it into smaller moves where it does not).
typedef BYTE Pixels16 __attribute__((vector_size(16)));

// Stores n pixels of colour c: the colour is spread over a register once,
// then stored in moves of 16 (two, four or one per 16 pixels), 8 or 4 bytes
// from both ends, overlapping in the middle; long runs go to memset.
inline void fillPixels(BYTE *d, BYTE c, size_t n)
{
    if (n >= kLibraryRun) {
        std::memset(d, c, n);
    } else if (n >= 16) {
        const Pixels16 v = Pixels16{} + c;
        auto put = [&](size_t at) { std::memcpy(d + at, &v, 16); };
        if (n > 64) {
            for (size_t at = 0; at < n - 16; at += 16) put(at);
        } else {
            put(0);
            if (n > 32) {
                put(16);
                put(n - 32);
            }
        }
        put(n - 16);
    } else if (n >= 4) {
        const uint64_t v = c * uint64_t{0x0101010101010101};
        if (n >= 8) {
            std::memcpy(d, &v, 8);
            std::memcpy(d + n - 8, &v, 8);
        } else {
            std::memcpy(d, &v, 4);
            std::memcpy(d + n - 4, &v, 4);
        }
    } else if (n) {
        d[0] = d[n / 2] = d[n - 1] = c;
    }
}

// Copies n pixels in reverse order: d[i] = s[n - 1 - i]. The runs must not
// overlap.
inline void copyPixelsReversed(BYTE *__restrict d, const BYTE *__restrict s, size_t n)
{
    const BYTE *from = s + n;
    for (; n >= 4; n -= 4, d += 4) {
        from -= 4;
        store4(d, __builtin_bswap32(load4(from)));
    }
    while (n--) *d++ = *--from;
}

// Reverses n pixels in place: four-byte groups from both ends while they do
// not meet, then two-byte groups, then single bytes; a middle pixel stays.
inline void reversePixels(BYTE *p, size_t n)
{
    BYTE *q = p + n;
    for (; q - p >= 8; p += 4) {
        q -= 4;
        const uint32_t left = load4(p);
        store4(p, __builtin_bswap32(load4(q)));
        store4(q, __builtin_bswap32(left));
    }
    if (q - p >= 4) {
        q -= 2;
        const BYTE a = p[0], b = p[1];
        p[0] = q[1];
        p[1] = q[0];
        q[0] = b;
        q[1] = a;
        p += 2;
    }
    if (q - p >= 2) {
        q -= 1;
        const BYTE a = *p;
        *p = *q;
        *q = a;
    }
}

}  // namespace vek
