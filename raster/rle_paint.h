// Painting an RLE source over a rectangle of a raw destination, shared by
// everything that paints the pixels a sprite covers (drawing its colours,
// stamping its silhouette).
//
// The rectangle has been clipped to both images. Source rows below it are
// passed over, then each of its rows is painted into the next destination
// row up through the walk of record/rle_walk.h, which leaves the tests of
// the left edge out when the rectangle starts at the source's left edge.
#pragma once

#include "raster/blit.h"
#include "record/rle_walk.h"

namespace vek::rle {

// Paints the rectangle r of the RLE image src into the raw image dst.
// Returns the clipped height, also when the image ends early, and 0 when the
// stream is cut short before the rectangle's last row is done.
template <class Paint>
LONG paintImage(const RecordView &dst, const RecordView &src, const BlitRect &r)
{
    const BYTE *p = src.pixels;
    const BYTE *const end = src.end;
    if (const RowEnd e = passRows(p, end, int64_t{src.height} - r.srcY - r.height); e != RowEnd::Row)
        return e == RowEnd::Image ? r.height : 0;

    // The bottom row of the rectangle, in memory order.
    const size_t stride = dst.stride();
    BYTE *row = dst.pixels + static_cast<size_t>(dst.height - r.y - r.height) * stride + r.x;
    const size_t left = static_cast<size_t>(r.srcX), width = static_cast<size_t>(r.width);
    const RowEnd e = left == 0 ? paintRows<Paint, false>(row, stride, 0, width, r.height, p, end)
                               : paintRows<Paint, true>(row, stride, left, width, r.height, p, end);
    return e == RowEnd::Damaged ? 0 : r.height;
}

}  // namespace vek::rle
