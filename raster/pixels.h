// Byte-row primitives of the rasteriser: copy, fill and reverse runs of 8-bit
// pixels. They work inline, in words of sixteen and four bytes moved through
// fixed-size memcpy (which compilers turn into single unaligned moves) and a
// byte tail, so the blitters call nothing per run or pixel.
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

// Copies n pixels: sixteen bytes at a time (a fixed-size memcpy, which the
// compiler turns into one unaligned vector move), then four, then single
// bytes. The runs must not overlap.
inline void copyPixels(BYTE *d, const BYTE *s, size_t n)
{
    for (; n >= 16; n -= 16, d += 16, s += 16) std::memcpy(d, s, 16);
    for (; n >= 4; n -= 4, d += 4, s += 4) store4(d, load4(s));
    for (; n; n--) *d++ = *s++;
}

// Stores n pixels of colour c, the same way.
inline void fillPixels(BYTE *d, BYTE c, size_t n)
{
    const uint32_t word = c * 0x01010101u;
    const uint32_t block[4] = {word, word, word, word};
    for (; n >= 16; n -= 16, d += 16) std::memcpy(d, block, 16);
    for (; n >= 4; n -= 4, d += 4) store4(d, word);
    for (; n; n--) *d++ = c;
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
