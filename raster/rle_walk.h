// The walk of an RLE source over a rectangle of a raw destination, shared by
// everything that paints the pixels a sprite covers (drawing its colours,
// stamping its silhouette).
//
// The rectangle has been clipped to both images. Source rows below it are
// passed over, then each of its rows is painted into the next destination row
// up. A row that covers the whole source width takes the plain loop, which
// applies tokens as they come; any other row takes the clipped loop, which
// first uses up a left count of srcX pixels and then paints at most a room of
// width pixels: a run or skip reaching beyond the room is cut at the right
// edge and the rest of the source row is passed over. Both loops also cut a
// damaged row that covers more pixels than the image is wide, so nothing is
// ever written outside the rectangle's row.
#pragma once

#include "raster/blit.h"
#include "raster/rle.h"

namespace vek::rle {

// Paint supplies the two ways a token covers pixels:
//   static void run(BYTE *d, BYTE colour, size_t n);          encoded run
//   static void copy(BYTE *d, const BYTE *indices, size_t n);  absolute run

// One row covering the whole source width, painted from d up to rowEnd.
template <class Paint>
inline RowEnd paintRow(BYTE *d, BYTE *const rowEnd, const BYTE *&p, const BYTE *const end)
{
    for (;;) {
        if (end - p < 2) return RowEnd::Damaged;
        const unsigned n = p[0], c = p[1];
        if (n != 0) {
            p += 2;
            if (n > static_cast<size_t>(rowEnd - d)) {
                Paint::run(d, static_cast<BYTE>(c), rowEnd - d);
                return passRow(p, end);
            }
            Paint::run(d, static_cast<BYTE>(c), n);
            d += n;
        } else if (c == kEndOfRow) {
            p += 2;
            return RowEnd::Row;
        } else if (c == kEndOfImage) {
            return RowEnd::Image;
        } else if (c == kSkip) {
            if (end - p < static_cast<ptrdiff_t>(kSkipBytes)) return RowEnd::Damaged;
            const unsigned dx = p[2];
            p += kSkipBytes;
            if (dx > static_cast<size_t>(rowEnd - d)) return passRow(p, end);
            d += dx;
        } else {
            const size_t bytes = absoluteDataBytes(c);
            if (static_cast<size_t>(end - p) - 2 < bytes) return RowEnd::Damaged;
            const BYTE *data = p + 2;
            p = data + bytes;
            if (c > static_cast<size_t>(rowEnd - d)) {
                Paint::copy(d, data, rowEnd - d);
                return passRow(p, end);
            }
            Paint::copy(d, data, c);
            d += c;
        }
    }
}

// One row seen through a window: left source pixels are passed over, then at
// most room pixels are painted from d on.
template <class Paint>
inline RowEnd paintRowClipped(BYTE *d, size_t left, size_t room, const BYTE *&p, const BYTE *const end)
{
    for (;;) {
        if (end - p < 2) return RowEnd::Damaged;
        size_t n = p[0];
        const unsigned c = p[1];
        if (n != 0) {
            p += 2;
            if (n <= left) {
                left -= n;
                continue;
            }
            n -= left;
            left = 0;
            if (n > room) {
                Paint::run(d, static_cast<BYTE>(c), room);
                return passRow(p, end);
            }
            Paint::run(d, static_cast<BYTE>(c), n);
            d += n;
            room -= n;
        } else if (c == kEndOfRow) {
            p += 2;
            return RowEnd::Row;
        } else if (c == kEndOfImage) {
            return RowEnd::Image;
        } else if (c == kSkip) {
            if (end - p < static_cast<ptrdiff_t>(kSkipBytes)) return RowEnd::Damaged;
            n = p[2];
            p += kSkipBytes;
            if (n <= left) {
                left -= n;
                continue;
            }
            n -= left;
            left = 0;
            if (n > room) return passRow(p, end);
            d += n;
            room -= n;
        } else {
            const size_t bytes = absoluteDataBytes(c);
            if (static_cast<size_t>(end - p) - 2 < bytes) return RowEnd::Damaged;
            const BYTE *data = p + 2;
            p = data + bytes;
            n = c;
            if (n <= left) {
                left -= n;
                continue;
            }
            data += left;
            n -= left;
            left = 0;
            if (n > room) {
                Paint::copy(d, data, room);
                return passRow(p, end);
            }
            Paint::copy(d, data, n);
            d += n;
            room -= n;
        }
    }
}

// Paints the rectangle r of the RLE image src into the raw image dst.
// Returns the clipped height, also when the image ends early, and 0 when the
// stream is cut short before the rectangle's last row is done.
template <class Paint>
LONG paintImage(const DIImage &dst, const DIImage &src, const BlitRect &r)
{
    const BYTE *p = src.pixels;
    const BYTE *const end = src.end;
    for (LONG below = src.height - r.srcY - r.height; below > 0; below--) {
        const RowEnd e = passRow(p, end);
        if (e != RowEnd::Row) return e == RowEnd::Image ? r.height : 0;
    }

    // The bottom row of the rectangle, in memory order.
    const size_t stride = dst.stride();
    BYTE *row = dst.pixels + static_cast<size_t>(dst.height - r.y - r.height) * stride + r.x;
    const size_t width = static_cast<size_t>(r.width);
    LONG rows = r.height;
    RowEnd e;
    if (r.srcX == 0 && r.width == src.width) {
        while ((e = paintRow<Paint>(row, row + width, p, end)) == RowEnd::Row && --rows) row += stride;
    } else {
        const size_t left = static_cast<size_t>(r.srcX);
        while ((e = paintRowClipped<Paint>(row, left, width, p, end)) == RowEnd::Row && --rows) row += stride;
    }
    return e == RowEnd::Damaged ? 0 : r.height;
}

}  // namespace vek::rle
