// Single pixels: GetPixel and SetPixel.
#include <windows.h>

#include "gdi/color.h"
#include "gdi/draw.h"
#include "gdi/objects.h"

using namespace vek::gdi;

COLORREF WINAPI GetPixel(HDC hdc, int x, int y)
{
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, COLORREF{CLR_INVALID}, "no such DC");
    const Surface &s = *dc->surface;
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return CLR_INVALID;
    uint32_t v;
    s.format->readRow(s, x, y, 1, &v);
    return colorOfRaw(sideOf(*dc, s), v);
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, COLORREF{CLR_INVALID}, "no such DC");
    Surface &s = *dc->surface;
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return CLR_INVALID;
    // The colour set is the one the pixel holds now: formats of fewer bits
    // keep less of it.
    const Side side = sideOf(*dc, s);
    uint32_t v = solidRaw(side, color);
    s.format->writeRow(s, x, y, 1, &v);
    s.format->readRow(s, x, y, 1, &v);
    noteDrawn(*dc, RECT{x, y, x + 1, y + 1});
    return colorOfRaw(side, v);
}
