// 1 bit per pixel: eight pixels a byte, the leftmost in the most significant bit.
#include "gdi/surface.h"

#include <cstring>

namespace vek::gdi {
namespace {

void read1(const Surface &s, int x, int y, int n, uint32_t *out)
{
    const BYTE *row = s.row(y);
    for (int i = 0; i < n; i++, x++) out[i] = (row[x >> 3] >> (7 - (x & 7))) & 1;
}

void write1(Surface &s, int x, int y, int n, const uint32_t *in)
{
    BYTE *row = s.row(y);
    for (int i = 0; i < n; i++, x++) {
        BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
        if (in[i] & 1)
            row[x >> 3] |= bit;
        else
            row[x >> 3] &= static_cast<BYTE>(~bit);
    }
}

void fill1(Surface &s, int x, int y, int n, uint32_t value)
{
    BYTE *row = s.row(y);
    const BYTE ones = (value & 1) ? 0xFF : 0x00;
    int end = x + n;
    // Leading pixels up to a byte boundary, whole bytes, trailing pixels.
    while (x < end && (x & 7)) {
        BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<BYTE>((row[x >> 3] & ~bit) | (ones & bit));
        x++;
    }
    if (end - x >= 8) {
        std::memset(row + (x >> 3), ones, static_cast<size_t>((end - x) >> 3));
        x += (end - x) & ~7;
    }
    while (x < end) {
        BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<BYTE>((row[x >> 3] & ~bit) | (ones & bit));
        x++;
    }
}

}  // namespace

const PixelFormat kFormat1 = {1, read1, write1, fill1};

}  // namespace vek::gdi
