// The core sprite blit and the plain blit between sprite image records.
//
// SpriteBltCore checks the records and clips the rectangle once, then hands a
// ready rectangle to the raw or the RLE kernel, which test nothing per pixel.
#include "raster/blit.h"

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

LONG SpriteBltCore(HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src,
                   LONG srcX, LONG srcY, LONG mirror)
{
    if (!dst || !src || !isDIRecord(dst) || !isDIRecord(src)) return 0;
    DIImage s, d;
    if (!readDIImage(src, s)) return 0;

    // Mirroring on demand happens first, even when nothing ends up drawn.
    if ((s.flags & VEK_IMAGE_MIRRORABLE) && ((s.flags & VEK_IMAGE_MIRRORED) != 0) != (mirror != 0))
        vekFlipSprite(src);

    if (!readDIImage(dst, d)) return 0;
    BlitRect r{x, y, width, height, srcX, srcY};
    if (!clipBlitRect(r, s.width, s.height, d.width, d.height)) return 1;

    if (s.bitCount != 8 || d.bitCount != 8 || d.compression != BI_RGB) return 0;
    if (!s.hasDrawableSize() || !d.hasDrawableSize() || !d.rawRowsFit()) return 0;
    switch (s.compression) {
    case BI_RGB:
        return s.rawRowsFit() ? blitRaw(d, s, r) : 0;
    case BI_RLE8:
        return blitRle(d, s, r);
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
