// The pixel format of 1 bit per pixel: eight pixels a byte, the leftmost in
// the most significant bit.
#include "gdi/rect_primitives.h"

namespace vek::gdi {
namespace {

void read1(const Surface &s, int x, int y, int n, uint32_t *out)
{
    const BYTE *row = s.row(y);
    for (int i = 0; i < n; i++, x++) out[i] = indexAt<1>(row, x);
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

void gather1(const Surface &s, const int *columns, int y, int n, uint32_t *out)
{
    const BYTE *row = s.row(y);
    for (int i = 0; i < n; i++) out[i] = indexAt<1>(row, columns[i]);
}

void fillRow1(BYTE *row, int x, int end, BYTE ones)
{
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

void fill1(Surface &s, const RECT &r, uint32_t value)
{
    const BYTE ones = (value & 1) ? 0xFF : 0x00;
    for (int y = r.top; y < r.bottom; y++) fillRow1(s.row(y), r.left, r.right, ones);
}

}  // namespace

const PixelFormat kFormat1 = {
    1, read1, write1, gather1, fill1,
    {copyRectOfRows<kCopy>, copyRectOfRows<kAnd>, copyRectOfRows<kOr>, copyRectOfRows<kXor>},
    {tableRectOfRows<kCopy>, tableRectOfRows<kAnd>, tableRectOfRows<kOr>, tableRectOfRows<kXor>}};

}  // namespace vek::gdi
