// The blot: an RLE sprite's silhouette in colour index 0. The conversions to
// DD records make masks with it (fill with 255, then blot).
#include "raster/blot.h"

#include <vekkit/raster.h>

#include "raster/blit.h"
#include "raster/mirror.h"
#include "raster/pixels.h"
#include "raster/rle_paint.h"

namespace vek {

namespace {

// Every pixel a run covers becomes 0, whatever its colours.
struct StampSilhouette {
    static void run(BYTE *d, BYTE, size_t n) { fillPixels(d, 0, n); }
    static void copy(BYTE *d, const BYTE *, size_t n) { fillPixels(d, 0, n); }
};

}  // namespace

LONG blotCore(const RecordView &dst, const RecordView &src, BlitRect r)
{
    switch (prepareBlit(dst, src, r)) {
    case Prepared::Empty: return 1;
    case Prepared::Refused: return 0;
    case Prepared::Draw: break;
    }
    // Raw sources have no silhouette to stamp.
    if (src.compression != BI_RLE8) return 0;
    return rle::paintImage<StampSilhouette>(dst, src, r);
}

LONG SpriteBlotCore(HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src, LONG srcX,
                    LONG srcY)
{
    if (!dst || !src) return 0;
    return blotCore(viewRecord(dst), viewRecord(src), BlitRect{x, y, width, height, srcX, srcY});
}

}  // namespace vek

LONG VEKAPI vekSpriteBlot(LPVEKCONTEXT, HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height,
                          HSPRITEDATA src, LONG srcX, LONG srcY, LONG mirror)
{
    if (!dst || !src || vek::isDDRecord(dst) || vek::isDDRecord(src)) return 0;
    vek::RecordView s = vek::viewRecord(src);
    vek::mirrorOnDemand(s, mirror);
    return vek::blotCore(vek::viewRecord(dst), s, vek::BlitRect{x, y, width, height, srcX, srcY});
}
