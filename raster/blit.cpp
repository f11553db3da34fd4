// The core sprite blit and the plain blit between sprite image records.
//
// The records are viewed once at the entry and the rectangle clipped once,
// then a ready rectangle goes to the raw or the RLE kernel, which test
// nothing per pixel.
#include "raster/blit.h"
#include "raster/mirror.h"

#include <vekkit/raster.h>

#include <cstdint>

namespace vek {

namespace {

// Clips one axis of a blit: at on the destination and from on the source,
// length pixels on both, to 0..srcLimit on the source and 0..dstLimit on the
// destination. Bounds past either start move both starts alike.
void clipAxis(int64_t &at, int64_t &from, int64_t &length, int64_t srcLimit, int64_t dstLimit)
{
    if (from < 0) {
        at -= from;
        length += from;
        from = 0;
    }
    if (at < 0) {
        from -= at;
        length += at;
        at = 0;
    }
    if (from + length > srcLimit) length = srcLimit - from;
    if (at + length > dstLimit) length = dstLimit - at;
}

}  // namespace

bool clipBlitRect(BlitRect &r, LONG srcWidth, LONG srcHeight, LONG dstWidth, LONG dstHeight)
{
    // 64-bit arithmetic: any 32-bit arguments clip without overflow.
    int64_t x = r.x, y = r.y, width = r.width, height = r.height, srcX = r.srcX, srcY = r.srcY;
    clipAxis(x, srcX, width, srcWidth, dstWidth);
    clipAxis(y, srcY, height, srcHeight, dstHeight);
    if (width <= 0 || height <= 0) return false;
    // Now 0 <= x < dstWidth, 0 <= srcX < srcWidth and so on: all fit a LONG.
    r = BlitRect{static_cast<LONG>(x),     static_cast<LONG>(y),    static_cast<LONG>(width),
                 static_cast<LONG>(height), static_cast<LONG>(srcX), static_cast<LONG>(srcY)};
    return true;
}

Prepared prepareBlit(const RecordView &d, const RecordView &s, BlitRect &r)
{
    if (!d.readable || !s.readable) return Prepared::Refused;
    if (!clipBlitRect(r, s.width, s.height, d.width, d.height)) return Prepared::Empty;
    if (s.bitCount != 8 || !s.hasDrawableSize() || !d.isRaw8()) return Prepared::Refused;
    return Prepared::Draw;
}

LONG blitCore(const RecordView &dst, RecordView &src, const BlitRect &rect, LONG mirror)
{
    // Mirroring on demand happens first, even when nothing ends up drawn.
    mirrorOnDemand(src, mirror);
    BlitRect r = rect;
    switch (prepareBlit(dst, src, r)) {
    case Prepared::Empty: return 1;
    case Prepared::Refused: return 0;
    case Prepared::Draw: break;
    }
    switch (src.compression) {
    case BI_RGB: return src.rawRowsFit() ? blitRaw(dst, src, r) : 0;
    case BI_RLE8: return blitRle(dst, src, r);
    default: return 0;
    }
}

LONG SpriteBltCore(HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src,
                   LONG srcX, LONG srcY, LONG mirror)
{
    if (!dst || !src) return 0;
    RecordView s = viewRecord(src);
    return blitCore(viewRecord(dst), s, BlitRect{x, y, width, height, srcX, srcY}, mirror);
}

}  // namespace vek

LONG VEKAPI vekSpriteBlt(HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src,
                         LONG srcX, LONG srcY)
{
    if (!dst || !src) return 0;
    const bool dstDD = vek::isDDRecord(dst), srcDD = vek::isDDRecord(src);
    // A DD record paired with a DI record: one side has no bitmap handles to
    // blit, the other no pixels to read as such.
    if (dstDD != srcDD) return 0;
    if (dstDD) return vek::DDSpriteBlt(dst, x, y, width, height, src, srcX, srcY);
    return vek::SpriteBltCore(dst, x, y, width, height, src, srcX, srcY, 0);
}
