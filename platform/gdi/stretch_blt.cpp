// StretchBlt: a raster operation from one DC's rectangle to another's, at
// any scale, mirrored along an axis whose extents have opposite signs.
//
// Every stretch mode samples the source pixel under each destination pixel's
// centre, which is what COLORONCOLOR does: where BLACKONWHITE and
// WHITEONBLACK would merge the rows and columns that a reduction drops with
// AND or OR, the hosted platform drops them too.
#include <windows.h>

#include "gdi/color.h"
#include "gdi/draw.h"
#include "gdi/objects.h"
#include "gdi/raster.h"
#include "gdi/stretch.h"

using namespace vek::gdi;

BOOL WINAPI StretchBlt(HDC hdcDst, int x, int y, int width, int height, HDC hdcSrc, int srcX, int srcY, int srcWidth,
                       int srcHeight, DWORD rop)
{
    VEKHOST_CALL(Channel::gdi, hdcDst, x, y, width, height, hdcSrc, srcX, srcY, srcWidth, srcHeight, rop);
    const uint8_t code = ropCode(rop);
    if (!ropUsesSource(code)) return PatBlt(hdcDst, x, y, width, height, rop);
    Lock lock;
    DC *dst = find<DC>(hdcDst);
    DC *src = find<DC>(hdcSrc);
    if (!dst || !src) return fail(ERROR_INVALID_HANDLE, FALSE, dst ? "no such source DC" : "no such destination DC");
    if (width == INT32_MIN || height == INT32_MIN || srcWidth == INT32_MIN || srcHeight == INT32_MIN)
        return fail(ERROR_INVALID_PARAMETER, FALSE);
    if (!width || !height || !srcWidth || !srcHeight) return TRUE;

    const Span toAcross = spanOf(x, width), toDown = spanOf(y, height);
    const Span fromAcross = spanOf(srcX, srcWidth), fromDown = spanOf(srcY, srcHeight);

    uint32_t pattern = 0;
    if (ropUsesPattern(code) && !brushPattern(*dst, pattern)) return TRUE;

    Surface &target = *dst->surface;
    const Surface &from = *src->surface;
    RasterSource rs;
    if (!clipAxis(toAcross, fromAcross, toAcross.flipped != fromAcross.flipped, target.width, from.width, rs.columns) ||
        !clipAxis(toDown, fromDown, toDown.flipped != fromDown.flipped, target.height, from.height, rs.rows))
        return TRUE;
    const Translation tr(sideOf(*src, from), sideOf(*dst, target));
    rs.surface = &from;
    rs.translation = &tr;
    rasterOp(target, rs.rect(), &rs, pattern, rop);
    noteDrawn(*dst, rs.rect());
    return TRUE;
}
