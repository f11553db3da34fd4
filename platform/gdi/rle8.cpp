// BI_RLE8 decoding.
//
// The data is a stream of byte pairs, rows bottom row first:
//   n, c       (n = 1..255) n pixels of index c
//   0, 0       end of line: continue at the start of the next row up
//   0, 1       end of bitmap
//   0, 2, dx, dy  delta: move dx pixels right and dy rows up
//   0, n       (n = 3..255) n literal indices follow, then a pad byte when n
//              is odd, keeping the stream on 16-bit boundaries
#include "gdi/rle8.h"

#include <algorithm>
#include <cstring>

namespace vek::gdi {

void decodeRle8(const BYTE *data, size_t size, int rows, POINT origin, Surface &out, std::vector<BYTE> &mask)
{
    const int width = out.width;
    mask.assign(static_cast<size_t>(width) * static_cast<size_t>(out.height), 0);
    // Position: x from the left, y counted from the bottom row; the window's
    // rows are those from `bottom` up to `top`.
    const long bottom = rows - origin.y - out.height, top = rows - 1 - origin.y;
    long x = 0, y = 0;
    size_t at = 0;
    // Writes count pixels at the current position from a run (value) or a
    // literal block (bytes); the part outside the window is dropped.
    auto put = [&](int count, const BYTE *bytes, BYTE value) {
        const long from = std::max<long>(x, origin.x), to = std::min<long>(x + count, long{origin.x} + width);
        if (y >= bottom && from < to) {
            const int row = static_cast<int>(top - y);
            const auto n = static_cast<size_t>(to - from);
            BYTE *p = out.row(row) + (from - origin.x);
            if (bytes)
                std::memcpy(p, bytes + (from - x), n);
            else
                std::memset(p, value, n);
            std::memset(mask.data() + static_cast<size_t>(row) * width + (from - origin.x), 1, n);
        }
        x += count;
    };
    while (at + 2 <= size && y <= top) {
        const BYTE a = data[at], b = data[at + 1];
        at += 2;
        if (a) {
            put(a, nullptr, b);
        } else if (b == 0) {
            x = 0;
            y++;
        } else if (b == 1) {
            return;
        } else if (b == 2) {
            if (at + 2 > size) return;
            x += data[at];
            y += data[at + 1];
            at += 2;
        } else {
            if (at + b > size) return;
            put(b, data + at, 0);
            at += (b + 1u) & ~1u;
        }
    }
}

}  // namespace vek::gdi
