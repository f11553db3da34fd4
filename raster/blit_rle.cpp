// RLE (BI_RLE8) sources: the stream's colours are drawn into the rectangle;
// skips and row ends leave the destination as it was.
#include "raster/blit.h"
#include "raster/pixels.h"
#include "raster/rle_paint.h"

namespace vek {

namespace {

struct DrawColours {
    static void run(BYTE *d, BYTE colour, size_t n) { fillPixels(d, colour, n); }
    static void copy(BYTE *d, const BYTE *indices, size_t n) { copyPixels(d, indices, n); }
};

}  // namespace

LONG blitRle(const RecordView &dst, const RecordView &src, const BlitRect &r)
{
    return rle::paintImage<DrawColours>(dst, src, r);
}

}  // namespace vek
