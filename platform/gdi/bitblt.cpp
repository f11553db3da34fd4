// BitBlt and PatBlt: raster operations between DCs at 1:1 scale.
//
// The destination rectangle is cut to the destination surface, and, when
// the operation reads a source, to the part whose source pixels lie inside
// the source surface. Negative extents count back from the corner given.
// Rectangles that end up empty draw nothing and succeed, as on Windows.
#include <windows.h>

#include "gdi/color.h"
#include "gdi/draw.h"
#include "gdi/objects.h"
#include "gdi/raster.h"
#include "gdi/stretch.h"

using namespace vek::gdi;

BOOL WINAPI BitBlt(HDC hdcDst, int x, int y, int width, int height, HDC hdcSrc, int srcX, int srcY, DWORD rop)
{
    VEKHOST_CALL(Channel::gdi, hdcDst, x, y, width, height, hdcSrc, srcX, srcY, rop);
    Lock lock;
    DC *dst = find<DC>(hdcDst);
    if (!dst) return fail(ERROR_INVALID_HANDLE, FALSE, "no such destination DC");
    const uint8_t code = ropCode(rop);
    DC *src = ropUsesSource(code) ? find<DC>(hdcSrc) : nullptr;
    if (ropUsesSource(code) && !src) return fail(ERROR_INVALID_HANDLE, FALSE, "no such source DC");
    if (width == INT32_MIN || height == INT32_MIN) return fail(ERROR_INVALID_PARAMETER, FALSE);
    if (!width || !height) return TRUE;

    uint32_t pattern = 0;
    if (ropUsesPattern(code) && !brushPattern(*dst, pattern)) return TRUE;

    // Both rectangles are the same size; a negative extent moves both corners.
    const Span across = spanOf(x, width), down = spanOf(y, height);
    Surface &target = *dst->surface;
    if (!src) {
        const RECT r = clipTo(across.start, down.start, across.start + across.extent, down.start + down.extent, target);
        rasterOp(target, r, nullptr, pattern, rop);
        noteDrawn(*dst, r);
        return TRUE;
    }
    const Surface &from = *src->surface;
    const Span fromAcross{across.start - x + srcX, across.extent}, fromDown{down.start - y + srcY, down.extent};
    RasterSource rs;
    if (!clipAxis(across, fromAcross, false, target.width, from.width, rs.columns) ||
        !clipAxis(down, fromDown, false, target.height, from.height, rs.rows))
        return TRUE;
    const Translation tr(sideOf(*src, from), sideOf(*dst, target));
    rs.surface = &from;
    rs.translation = &tr;
    rasterOp(target, rs.rect(), &rs, pattern, rop);
    noteDrawn(*dst, rs.rect());
    return TRUE;
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop)
{
    VEKHOST_CALL(Channel::gdi, hdc, x, y, width, height, rop);
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
