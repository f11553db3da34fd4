// The core sprite blit and the plain blit between sprite image records.
//
// SpriteBltCore checks the records and clips the rectangle once, then hands a
// ready rectangle to the raw or the RLE kernel, which test nothing per pixel.
#include "raster/blit.h"
#include "raster/mirror.h"

#include <vekkit/raster.h>

#include <cstdint>

namespace vek {

bool clipBlitRect(BlitRect &r, LONG srcWidth, LONG srcHeight, LONG dstWidth, LONG dstHeight)
{
    // 64-bit arithmetic: any 32-bit arguments clip without overflow.
    int64_t x = r.x, y = r.y, width = r.width, height = r.height, srcX = r.srcX, srcY = r.srcY;
    if (srcX < 0) {
        x -= srcX;
        width += srcX;
        srcX = 0;
    }
    if (x < 0) {
        srcX -= x;
        width += x;
        x = 0;
    }
    if (srcY < 0) {
        y -= srcY;
        height += srcY;
        srcY = 0;
    }
    if (y < 0) {
        srcY -= y;
        height += y;
        y = 0;
    }
    if (srcX + width > srcWidth) width = srcWidth - srcX;
    if (x + width > dstWidth) width = dstWidth - x;
    if (srcY + height > srcHeight) height = srcHeight - srcY;
    if (y + height > dstHeight) height = dstHeight - y;
    if (width <= 0 || height <= 0) return false;
    // Now 0 <= x < dstWidth, 0 <= srcX < srcWidth and so on: all fit a LONG.
    r = BlitRect{static_cast<LONG>(x),     static_cast<LONG>(y),    static_cast<LONG>(width),
                 static_cast<LONG>(height), static_cast<LONG>(srcX), static_cast<LONG>(srcY)};
    return true;
}

Prepared prepareBlit(HSPRITEDATA dst, HSPRITEDATA src, const BlitRect &r, BlitJob &job)
{
    if (!dst || !src || !isDIRecord(dst) || !isDIRecord(src)) return Prepared::Refused;
    if (!readDIImage(src, job.src) || !readDIImage(dst, job.dst)) return Prepared::Refused;
    const DIImage &s = job.src, &d = job.dst;
    job.r = r;
    if (!clipBlitRect(job.r, s.width, s.height, d.width, d.height)) return Prepared::Empty;
    if (s.bitCount != 8 || d.bitCount != 8 || d.compression != BI_RGB) return Prepared::Refused;
    if (!s.hasDrawableSize() || !d.hasDrawableSize() || !d.rawRowsFit()) return Prepared::Refused;
    return Prepared::Draw;
}

LONG SpriteBltCore(HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src,
                   LONG srcX, LONG srcY, LONG mirror)
{
    if (!dst || !src) return 0;
    // Mirroring on demand happens first, even when nothing ends up drawn.
    mirrorOnDemand(src, mirror);

    BlitJob job;
    switch (prepareBlit(dst, src, BlitRect{x, y, width, height, srcX, srcY}, job)) {
    case Prepared::Empty: return 1;
    case Prepared::Refused: return 0;
    case Prepared::Draw: break;
    }
    switch (job.src.compression) {
    case BI_RGB:
        return job.src.rawRowsFit() ? blitRaw(job.dst, job.src, job.r) : 0;
    case BI_RLE8:
        return blitRle(job.dst, job.src, job.r);
    default:
        return 0;
    }
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
