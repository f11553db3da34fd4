// The transformed blit: a sprite's raw image drawn through its transform
// matrix by inverse mapping.
//
// Set-up, once per call, all in 16.16 fixed point: the forward matrix gives
// the bounding box of the transformed image; the inverse matrix maps three of
// its corners back into the image, which gives the source steps (hx, hy) for
// one destination pixel to the right and (vx, vy) for one destination row up,
// and the source position P of the bottom-left destination pixel (with half a
// pixel added, so that truncating a position rounds it to the nearest pixel).
// Destination rows are drawn bottom up; row k starts at P + k (vx, vy) and
// pixel i of it samples P + k (vx, vy) + i (hx, hy): column u >> 16, row
// v >> 16 counted from the top of the image.
//
// The samples of one row lie on a line, and the source is a rectangle, so the
// pixels of a row whose samples fall inside the source form one run. Each row
// first works out that run from its start and the steps (a few divisions),
// then draws it in a loop that tests nothing: samples outside the source are
// never read, whatever the steps, and a row that misses the image is passed
// over. Two loops draw the runs: when both steps are whole pixels (the right
// angle rotations, whole scales, mirroring) the source pointer moves by one
// byte step per pixel; otherwise (true rotations, fractional scales) the
// sample is addressed afresh from (u, v).
#include "raster/transformed_blit.h"

#include "fixmath/fixed.h"
#include "raster/matrix.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vek {

namespace {

// i x v in 32-bit two's complement: the position arithmetic of the set-up
// wraps like the machine arithmetic it models.
VEKFIXED wrapMul(int64_t i, VEKFIXED v)
{
    return static_cast<VEKFIXED>(static_cast<uint32_t>(static_cast<uint64_t>(i) * static_cast<uint64_t>(v)));
}

int64_t ceilDiv(int64_t a, int64_t b)  // a >= 0, b > 0
{
    return (a + b - 1) / b;
}

// Narrows [first, last) to the pixels i for which a + i h lies in
// [0, limit). Exact 64-bit arithmetic: any 32-bit start and step.
void clampToAxis(int64_t a, int64_t h, int64_t limit, int64_t &first, int64_t &last)
{
    const int64_t top = limit - 1;
    if (h == 0) {
        if (a < 0 || a > top) last = first;
    } else if (h > 0) {
        if (a < 0) first = std::max(first, ceilDiv(-a, h));
        last = std::min(last, a > top ? 0 : (top - a) / h + 1);
    } else {
        last = std::min(last, a < 0 ? 0 : a / -h + 1);
        if (a > top) first = std::max(first, ceilDiv(a - top, -h));
    }
}

// The source image as the loops see it: row r (0 = top) starts at
// top - r x stride, so a sample (u, v) is at top + column - row x stride.
struct Source {
    const BYTE *top;
    ptrdiff_t stride;
    BYTE key;
};

// A run of n >= 1 samples that move by whole pixels: one byte step per
// pixel. The offset does not step past the last sample, where it could
// leave the range of a 32-bit offset.
void drawStepped(BYTE *d, LONG n, const Source &s, ptrdiff_t at, ptrdiff_t step)
{
    const BYTE *const top = s.top;
    const BYTE key = s.key;
    for (LONG i = 0;; at += step) {
        const BYTE c = top[at];
        if (c != key) d[i] = c;
        if (++i == n) return;
    }
}

// A run with fractional steps: each sample is addressed from (u, v). The
// positions stay unsigned so that the step after the last sample cannot
// overflow; every position the loop reads is inside the source. A run that
// stays in one source row (hy = 0: scaling, mirroring) finds the row once.
void drawMapped(BYTE *d, LONG n, const Source &s, uint32_t u, uint32_t v, uint32_t hx, uint32_t hy)
{
    const BYTE *const top = s.top;
    const ptrdiff_t stride = s.stride;
    const BYTE key = s.key;
    if (hy == 0) {
        const BYTE *const line = top - static_cast<ptrdiff_t>(v >> 16) * stride;
        for (LONG i = 0; i < n; i++, u += hx) {
            const BYTE c = line[u >> 16];
            if (c != key) d[i] = c;
        }
        return;
    }
    for (LONG i = 0; i < n; i++, u += hx, v += hy) {
        const BYTE c = top[static_cast<ptrdiff_t>(u >> 16) - static_cast<ptrdiff_t>(v >> 16) * stride];
        if (c != key) d[i] = c;
    }
}

}  // namespace

LONG TransformedSpriteBlt(const RecordView &d, LONG x, LONG y, const RecordView &s, LONG, LONG, LONG width,
                          LONG height, const VEKSPRITE *sprite)
{
    if (!sprite || !sprite->transform || !d.isRaw8() || !s.isRaw8()) return 0;
    const VEKFIXED *forward = sprite->transform->m, *inverse = forward + 4;

    // The target rectangle placed at (x, y), and its part inside dst and the
    // requested rectangle.
    const int64_t left = static_cast<SHORT>(x), top = static_cast<SHORT>(y);
    const int64_t right = left + (int64_t{sprite->target.right} - sprite->target.left);
    const int64_t bottom = top + (int64_t{sprite->target.bottom} - sprite->target.top);
    const int64_t visLeft = std::max(int64_t{0}, left);
    const int64_t visTop = std::max(int64_t{0}, top);
    const int64_t visRight = std::min({int64_t{d.width}, right, left + static_cast<SHORT>(width)});
    const int64_t visBottom = std::min({int64_t{d.height}, bottom, top + static_cast<SHORT>(height)});
    if (visRight <= visLeft || visTop >= visBottom) return 0;

    // Source steps from three corners of the image's bounding box.
    RECT box;
    TransformRectBounds(box, RECT{0, 0, s.width, s.height}, forward);
    POINT q0{box.left, box.bottom}, qx{box.right, box.bottom}, qy{box.left, box.top};
    TransformPoint(q0, inverse);
    TransformPoint(qx, inverse);
    TransformPoint(qy, inverse);
    const VEKFIXED boxWidth = wrapSub(box.right, box.left), boxHeight = wrapSub(box.bottom, box.top);
    const VEKFIXED hx = fixDiv(wrapSub(qx.x, q0.x), boxWidth), hy = fixDiv(wrapSub(qx.y, q0.y), boxWidth);
    const VEKFIXED vx = fixDiv(wrapSub(qy.x, q0.x), boxHeight), vy = fixDiv(wrapSub(qy.y, q0.y), boxHeight);

    // Source position of the target's bottom-left pixel: the bottom-left
    // corner of the box swept by the pixels' top-left corners (the image one
    // pixel smaller each way), moved by the steps for the distance of the
    // image's box from the nearest whole pixel, plus a half for rounding.
    const VEKFIXED fracLeft =
        wrapSub(static_cast<VEKFIXED>(static_cast<uint32_t>(wrapAdd(box.left, kFixHalf)) & 0xFFFF0000u), box.left);
    RECT centres;
    TransformRectBounds(centres, RECT{0, 0, s.width - 1, s.height - 1}, forward);
    POINT p{centres.left, centres.bottom};
    TransformPoint(p, inverse);
    p.x = wrapAdd(p.x, wrapAdd(fixMul(hx, fracLeft), kFixHalf));
    p.y = wrapAdd(p.y, wrapAdd(fixMul(hy, fracLeft), kFixHalf));

    // Clipping moves the start by whole destination pixels.
    const int64_t rowsUp = bottom - visBottom, columnsRight = visLeft - left;
    VEKFIXED rowU = wrapAdd(p.x, wrapAdd(wrapMul(rowsUp, vx), wrapMul(columnsRight, hx)));
    VEKFIXED rowV = wrapAdd(p.y, wrapAdd(wrapMul(rowsUp, vy), wrapMul(columnsRight, hy)));

    const Source source{s.pixels + static_cast<size_t>(s.height - 1) * s.stride(),
                        static_cast<ptrdiff_t>(s.stride()), s.pixels[0]};
    const int64_t uLimit = int64_t{s.width} << 16, vLimit = int64_t{s.height} << 16;
    const bool wholeSteps = ((hx | hy) & 0xFFFF) == 0;
    const ptrdiff_t byteStep = static_cast<ptrdiff_t>(hx >> 16) - static_cast<ptrdiff_t>(hy >> 16) * source.stride;
    const int64_t columns = visRight - visLeft;
    const size_t dstStride = d.stride();
    // Destination row visBottom - 1 is memory row d.height - visBottom; rows
    // upwards follow it in memory.
    BYTE *const firstRow = d.pixels + static_cast<size_t>(d.height - visBottom) * dstStride + visLeft;

    for (int64_t k = 0; k < visBottom - visTop; k++) {
        BYTE *const row = firstRow + static_cast<size_t>(k) * dstStride;
        int64_t first = 0, last = columns;
        clampToAxis(rowU, hx, uLimit, first, last);
        clampToAxis(rowV, hy, vLimit, first, last);
        if (first < last) {
            // The first sample inside the source, exactly.
            const int64_t u = rowU + first * hx, v = rowV + first * hy;
            const LONG n = static_cast<LONG>(last - first);
            if (wholeSteps)
                drawStepped(row + first, n, source,
                            static_cast<ptrdiff_t>(u >> 16) - static_cast<ptrdiff_t>(v >> 16) * source.stride,
                            byteStep);
            else
                drawMapped(row + first, n, source, static_cast<uint32_t>(u), static_cast<uint32_t>(v),
                           static_cast<uint32_t>(hx), static_cast<uint32_t>(hy));
        }
        rowU = wrapAdd(rowU, vx);
        rowV = wrapAdd(rowV, vy);
    }
    return 1;
}

}  // namespace vek
