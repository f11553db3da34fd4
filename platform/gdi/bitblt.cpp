// BitBlt and PatBlt: raster operations between DCs at 1:1 scale.
//
// The destination rectangle is cut to the destination surface, and, when
// the operation reads a source, to the part whose source pixels lie inside
// the source surface. Negative extents count back from the corner given.
#include <windows.h>

#include "gdi/color.h"
#include "gdi/draw.h"
#include "gdi/objects.h"
#include "gdi/raster.h"
#include "gdi/stretch.h"

using namespace vek::gdi;

BOOL WINAPI BitBlt(HDC hdcDst, int x, int y, int width, int height, HDC hdcSrc, int srcX, int srcY, DWORD rop)
{
    Lock lock;
    DC *dst = find<DC>(hdcDst);
    if (!dst) return fail(ERROR_INVALID_HANDLE, FALSE);
    const uint8_t code = ropCode(rop);
    DC *src = ropUsesSource(code) ? find<DC>(hdcSrc) : nullptr;
    if (ropUsesSource(code) && !src) return fail(ERROR_INVALID_HANDLE, FALSE);
    if (width == INT32_MIN || height == INT32_MIN) return fail(ERROR_INVALID_PARAMETER, FALSE);
    int w = width, h = height;
    normalise(x, w);
    normalise(y, h);
    if (width < 0) srcX = static_cast<int>(int64_t{srcX} + width + 1);
    if (height < 0) srcY = static_cast<int>(int64_t{srcY} + height + 1);

    uint32_t pattern = 0;
    if (ropUsesPattern(code) && !brushPattern(*dst, pattern)) return TRUE;

    Surface &target = *dst->surface;
    RECT r = clipTo(x, y, int64_t{x} + w, int64_t{y} + h, target);
    if (src) {
        // Cut to the source too, in source coordinates, then back.
        const int64_t dx = int64_t{srcX} - x, dy = int64_t{srcY} - y;
        const Surface &from = *src->surface;
        r.left = static_cast<LONG>(std::max<int64_t>(r.left, -dx));
        r.top = static_cast<LONG>(std::max<int64_t>(r.top, -dy));
        r.right = static_cast<LONG>(std::min<int64_t>(r.right, from.width - dx));
        r.bottom = static_cast<LONG>(std::min<int64_t>(r.bottom, from.height - dy));
        if (isEmpty(r)) return TRUE;
        const Translation tr(sideOf(*src, from), sideOf(*dst, target));
        RasterSource rs;
        rs.surface = &from;
        rs.translation = &tr;
        rs.x0 = static_cast<int>(r.left + dx);
        rs.y0 = static_cast<int>(r.top + dy);
        rasterOp(target, r, &rs, pattern, rop);
        noteDrawn(*dst, r);
        return TRUE;
    }
    if (!isEmpty(r)) rasterOp(target, r, nullptr, pattern, rop);
    noteDrawn(*dst, r);
    return TRUE;
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop)
{
    if (ropUsesSource(ropCode(rop))) return fail(ERROR_INVALID_PARAMETER, FALSE);
    return BitBlt(hdc, x, y, width, height, nullptr, 0, 0, rop);
}

// Drawing is never batched: every call is done when it returns. What it
// changed in windows of a live display is shown within a display refresh;
// GdiFlush shows it at once and returns when it is shown.
BOOL WINAPI GdiFlush(void)
{
    vek::present::flush();
    return TRUE;
}
