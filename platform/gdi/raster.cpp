// The raster engine.
//
// A ternary raster operation names its result for each of the eight
// combinations of pattern, source and destination bits: bit (P << 2 | S << 1
// | D) of the operation code is the result bit. Applied to whole raw values
// bit by bit, as Windows applies it to pixel values (palette indices on an
// 8-bit device).
//
// The operations the library lives on go straight to the pixel format's
// rectangle primitives: fills, and 1:1 copies combined with the destination
// by SRCCOPY, SRCAND, SRCPAINT or SRCINVERT whose source is in the
// destination's format or holds indices turned into it by a table. Everything
// else goes row by row in spans through buffers on the stack: source read
// (along the axes) and translated, destination read when the operation needs
// it, combined, written. Nothing is allocated.
#include "gdi/raster.h"

#include <algorithm>

#include "gdi/rect_primitives.h"

namespace vek::gdi {
namespace {

// The result of an operation code for whole values, minterm by minterm.
uint32_t ternary(uint8_t code, uint32_t d, uint32_t s, uint32_t p)
{
    uint32_t r = 0;
    for (int bit = 0; bit < 8; bit++)
        if ((code >> bit) & 1) r |= ((bit & 4) ? p : ~p) & ((bit & 2) ? s : ~s) & ((bit & 1) ? d : ~d);
    return r;
}

template <class F>
void combineWith(const uint32_t *d, const uint32_t *s, uint32_t p, uint32_t *out, int n, F f)
{
    for (int i = 0; i < n; i++) out[i] = f(d[i], s[i], p);
}

// out = op(d, s, p) for a span; the frequent operations get their own loops.
void ternaryRow(uint8_t code, const uint32_t *d, const uint32_t *s, uint32_t p, uint32_t *out, int n)
{
    switch (code) {
    case 0xCC: std::copy(s, s + n, out); return;  // SRCCOPY
    case 0x88: combineWith(d, s, p, out, n, [](uint32_t d, uint32_t s, uint32_t) { return d & s; }); return;
    case 0xEE: combineWith(d, s, p, out, n, [](uint32_t d, uint32_t s, uint32_t) { return d | s; }); return;
    case 0x66: combineWith(d, s, p, out, n, [](uint32_t d, uint32_t s, uint32_t) { return d ^ s; }); return;
    case 0x33: combineWith(d, s, p, out, n, [](uint32_t, uint32_t s, uint32_t) { return ~s; }); return;
    case 0x5A: combineWith(d, s, p, out, n, [](uint32_t d, uint32_t, uint32_t p) { return d ^ p; }); return;
    case 0x55: combineWith(d, s, p, out, n, [](uint32_t d, uint32_t, uint32_t) { return ~d; }); return;
    default:
        combineWith(d, s, p, out, n, [code](uint32_t d, uint32_t s, uint32_t p) { return ternary(code, d, s, p); });
    }
}

// The rectangle primitive of an operation code, or -1 when it has none.
int blitOpOf(uint8_t code)
{
    switch (code) {
    case 0xCC: return kCopy;
    case 0x88: return kAnd;
    case 0xEE: return kOr;
    case 0x66: return kXor;
    default: return -1;
    }
}

// Tries the format's rectangle primitives; false when the copy needs the
// general road.
bool copyByFormat(Surface &dst, const RECT &r, const RasterSource &src, uint8_t code)
{
    const int op = blitOpOf(code);
    if (op < 0 || src.mask || !src.columns.unit() || !src.rows.unit()) return false;
    const Surface &s = *src.surface;
    const POINT from{src.columns.start(), src.rows.start()};
    if (src.translation->identity() && s.format == dst.format && (op == kCopy || !shareMemory(s, dst))) {
        dst.format->copyRect[op](dst, r, s, from);
        return true;
    }
    const uint32_t *table = src.translation->table();
    if (!table || shareMemory(s, dst) || s.bitsPerPixel() > 8) return false;
    dst.format->tableRect[op](dst, r, s, from, table);
    return true;
}

// Row by row, in spans. Within one surface a copy moving down runs bottom
// row first, and one moving right takes its spans right to left.
void rasterRows(Surface &dst, const RECT &r, const RasterSource *src, uint32_t pattern, uint8_t code, bool needDest)
{
    static const uint32_t kZeros[kSpan] = {};
    uint32_t in[kSpan], cur[kSpan] = {}, out[kSpan];
    int columns[kSpan];
    const int n = r.right - r.left, rows = r.bottom - r.top;
    const bool same = src && src->surface == &dst;
    const bool upward = same && src->rows.unit() && src->rows.start() < r.top;
    const bool leftward = same && src->columns.unit() && src->columns.start() < r.left;
    for (int k = 0; k < rows; k++) {
        const int j = upward ? rows - 1 - k : k;
        const int y = r.top + j;
        const int sy = src ? src->rows.at(j) : 0;
        for (int done = 0; done < n; done += kSpan) {
            const int m = std::min(kSpan, n - done);
            const int i = leftward ? n - done - m : done;
            if (src) {
                const Surface &s = *src->surface;
                if (src->columns.unit()) {
                    s.format->readRow(s, src->columns.start() + i, sy, m, in);
                } else {
                    src->columns.sources(i, m, columns);
                    s.format->gatherRow(s, columns, sy, m, in);
                }
                src->translation->apply(in, m);
            }
            if (needDest) dst.format->readRow(dst, r.left + i, y, m, cur);
            ternaryRow(code, cur, src ? in : kZeros, pattern, out, m);
            if (src && src->mask) {
                const BYTE *keep = src->mask + static_cast<size_t>(sy) * static_cast<size_t>(src->surface->width) +
                                   static_cast<size_t>(src->columns.start() + i);
                for (int t = 0; t < m; t++)
                    if (!keep[t]) out[t] = cur[t];
            }
            dst.format->writeRow(dst, r.left + i, y, m, out);
        }
    }
}

}  // namespace

void rasterOp(Surface &dst, const RECT &r, const RasterSource *src, uint32_t pattern, DWORD rop)
{
    const uint8_t code = ropCode(rop);
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (!ropUsesSource(code)) src = nullptr;
    const bool needDest = ropUsesDest(code) || (src && src->mask);
    if (!src && !needDest) {
        dst.format->fillRect(dst, r, ternary(code, 0, 0, pattern));
        return;
    }
    if (src && copyByFormat(dst, r, *src, code)) return;
    rasterRows(dst, r, src, pattern, code, needDest);
}

}  // namespace vek::gdi
