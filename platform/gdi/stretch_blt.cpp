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
    const uint8_t code = ropCode(rop);
    if (!ropUsesSource(code)) return PatBlt(hdcDst, x, y, width, height, rop);
    Lock lock;
    DC *dst = find<DC>(hdcDst);
    DC *src = find<DC>(hdcSrc);
    if (!dst || !src) return fail(ERROR_INVALID_HANDLE, FALSE);
    if (width == INT32_MIN || height == INT32_MIN || srcWidth == INT32_MIN || srcHeight == INT32_MIN)
        return fail(ERROR_INVALID_PARAMETER, FALSE);
    if (!width || !height || !srcWidth || !srcHeight) return TRUE;

    int sx = srcX, sw = srcWidth, sy = srcY, sh = srcHeight;
    const bool flipX = normalise(sx, sw) != (width < 0);
    const bool flipY = normalise(sy, sh) != (height < 0);

    uint32_t pattern = 0;
    if (ropUsesPattern(code) && !brushPattern(*dst, pattern)) return TRUE;

    Surface &target = *dst->surface;
    const Surface &from = *src->surface;
    int left = 0, top = 0;
    std::vector<int> columns, rows;
    if (!mapAxis(x, width, sx, sw, flipX, target.width, from.width, left, columns) ||
        !mapAxis(y, height, sy, sh, flipY, target.height, from.height, top, rows))
        return TRUE;
    const RECT rect{left, top, left + static_cast<LONG>(columns.size()), top + static_cast<LONG>(rows.size())};

    const Translation tr(sideOf(*src, from), sideOf(*dst, target));
    RasterSource rs;
    rs.surface = &from;
    rs.translation = &tr;
    rs.columns = &columns;
    rs.rows = &rows;
    rasterOp(target, rect, &rs, pattern, rop);
    noteDrawn(*dst, rect);
    return TRUE;
}
