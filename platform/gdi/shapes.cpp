// Rectangle: an outline in the pen's colour around an inside in the brush's.
//
// The figure covers left..right-1 and top..bottom-1. The pen draws its width
// inside that edge, solid whatever its style; with the null pen there is no
// outline and the inside is one pixel smaller on the right and at the bottom
// (left..right-2), as on Windows.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "gdi/color.h"
#include "gdi/draw.h"
#include "gdi/objects.h"
#include "gdi/raster.h"

using namespace vek::gdi;

namespace {

void fill(Surface &s, int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t raw)
{
    const RECT c = clipTo(left, top, right, bottom, s);
    if (!isEmpty(c)) rasterOp(s, c, nullptr, raw, PATCOPY);
}

}  // namespace

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE, "no such DC");
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    Surface &s = *dc->surface;
    const Pen *pen = findValue<Pen>(dc->pen);
    const bool outline = pen && pen->style != PS_NULL;
    uint32_t brush = 0;
    const bool inside = brushPattern(*dc, brush);
    noteDrawn(*dc, clipTo(left, top, right, bottom, s));

    if (!outline) {
        if (inside) fill(s, left, top, int64_t{right} - 1, int64_t{bottom} - 1, brush);
        return TRUE;
    }
    const int64_t w = std::max<int64_t>(1, std::abs(int64_t{pen->width}));
    const int64_t l = left, t = top, r = right, b = bottom;
    const uint32_t ink = solidRaw(sideOf(*dc, s), pen->color);
    if (inside) fill(s, l + w, t + w, r - w, b - w, brush);
    fill(s, l, t, r, std::min(t + w, b), ink);
    fill(s, l, std::max(b - w, t), r, b, ink);
    fill(s, l, t, std::min(l + w, r), b, ink);
    fill(s, std::max(r - w, l), t, r, b, ink);
    return TRUE;
}
