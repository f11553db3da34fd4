// Raw (BI_RGB) sources: the rectangle is copied opaque, row by row.
//
// A source whose rows share memory with the destination's (a record drawn
// into itself) is copied as it stood before the call, as a blit within one
// bitmap is: rows are moved with memmove, in the order that reads every
// source row before a destination row lands on it.
#include "raster/blit.h"
#include "raster/pixels.h"

#include <cstdint>
#include <cstring>

namespace vek {

namespace {

// Copies `height` rows of `width` pixels from the top row down: rows are
// stored bottom row first, so both row pointers step back one stride per row.
// Every value lives in a local so that the loop keeps it in a register across
// the copies.
void copyRows(BYTE *d, size_t dstStride, const BYTE *s, size_t srcStride, size_t width, LONG height)
{
    for (;;) {
        copyPixels(d, s, width);
        if (--height == 0) return;
        d -= dstStride;
        s -= srcStride;
    }
}

// The rows when the two rectangles may share memory. Both rows step back by
// their strides; when the destination lies below the source in memory, the
// source's rows at lower addresses (further down the loop) would be written
// before they are read, so the loop runs from the last row back instead.
void moveRows(BYTE *d, size_t dstStride, const BYTE *s, size_t srcStride, size_t width, LONG height)
{
    if (reinterpret_cast<uintptr_t>(d) < reinterpret_cast<uintptr_t>(s)) {
        const size_t last = static_cast<size_t>(height - 1);
        d -= last * dstStride;
        s -= last * srcStride;
        for (LONG k = 0; k < height; k++, d += dstStride, s += srcStride) std::memmove(d, s, width);
        return;
    }
    for (LONG k = 0; k < height; k++, d -= dstStride, s -= srcStride) std::memmove(d, s, width);
}

}  // namespace

LONG blitRaw(const RecordView &dst, const RecordView &src, const BlitRect &r)
{
    const size_t srcStride = src.stride(), dstStride = dst.stride();
    // Image row y lives at memory row height - 1 - y.
    const BYTE *s = src.pixels + static_cast<size_t>(src.height - 1 - r.srcY) * srcStride + r.srcX;
    BYTE *d = dst.pixels + static_cast<size_t>(dst.height - 1 - r.y) * dstStride + r.x;
    const size_t width = static_cast<size_t>(r.width);
    // The spans of memory that the rows cover, lowest row start to highest
    // row end, compared as addresses: the records may be two blocks or one.
    const size_t rowsBelow = static_cast<size_t>(r.height - 1);
    const auto at = [](const BYTE *p) { return reinterpret_cast<uintptr_t>(p); };
    if (at(s - rowsBelow * srcStride) < at(d + width) && at(d - rowsBelow * dstStride) < at(s + width))
        moveRows(d, dstStride, s, srcStride, width, r.height);
    else
        copyRows(d, dstStride, s, srcStride, width, r.height);
    return r.height;
}

}  // namespace vek
