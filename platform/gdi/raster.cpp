// The raster engine.
//
// A ternary raster operation names its result for each of the eight
// combinations of pattern, source and destination bits: bit (P << 2 | S << 1
// | D) of the operation code is the result bit. Applied to whole raw values
// bit by bit, as Windows applies it to pixel values (palette indices on an
// 8-bit device).
//
// Each row goes: source row read (through the column map) and translated to
// destination values, destination row read when the operation needs it,
// combine, write. The common cases take shorter roads chosen once per call.
#include "gdi/raster.h"

#include <algorithm>
#include <cstring>

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

// out = op(d, s, p) for a row; the frequent operations get their own loops.
void combine(uint8_t code, const uint32_t *d, const uint32_t *s, uint32_t p, uint32_t *out, int n)
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

// Reads the source pixels of destination row j into out (n values, not yet
// translated), and their mask bytes into maskOut when there is a mask.
void readSource(const RasterSource &src, int j, int n, uint32_t *out, std::vector<uint32_t> &span, BYTE *maskOut)
{
    const Surface &s = *src.surface;
    const int sy = src.rows ? (*src.rows)[static_cast<size_t>(j)] : src.y0 + j;
    if (!src.columns) {
        s.format->readRow(s, src.x0, sy, n, out);
        if (maskOut) std::memcpy(maskOut, src.mask->data() + static_cast<size_t>(sy) * s.width + src.x0, n);
        return;
    }
    const std::vector<int> &cols = *src.columns;
    const int lo = std::min(cols.front(), cols.back()), hi = std::max(cols.front(), cols.back());
    span.resize(static_cast<size_t>(hi - lo + 1));
    s.format->readRow(s, lo, sy, hi - lo + 1, span.data());
    for (int i = 0; i < n; i++) out[i] = span[static_cast<size_t>(cols[static_cast<size_t>(i)] - lo)];
    if (maskOut) {
        const BYTE *m = src.mask->data() + static_cast<size_t>(sy) * s.width;
        for (int i = 0; i < n; i++) maskOut[i] = m[cols[static_cast<size_t>(i)]];
    }
}

// Straight copies between surfaces of one format, 8 or 32 bits, 1:1.
void copyRows(Surface &dst, const RECT &r, const RasterSource &src, bool upward)
{
    const int bpp = dst.bitsPerPixel();
    const size_t bytes = static_cast<size_t>(r.right - r.left) * static_cast<size_t>(bpp / 8);
    const int rows = r.bottom - r.top;
    for (int k = 0; k < rows; k++) {
        int j = upward ? rows - 1 - k : k;
        std::memmove(dst.row(r.top + j) + static_cast<size_t>(r.left) * (bpp / 8),
                     src.surface->row(src.y0 + j) + static_cast<size_t>(src.x0) * (bpp / 8), bytes);
    }
}

// 8-bit to 8-bit copies through a translation table, the path of 8-bit
// DIBs shown on a palette display.
void copyRows8(Surface &dst, const RECT &r, const RasterSource &src, const uint32_t *table)
{
    BYTE lut[256];
    bool same = true;  // a palette realised one to one maps every value to itself
    for (int v = 0; v < 256; v++) {
        lut[v] = static_cast<BYTE>(table[v]);
        same = same && lut[v] == v;
    }
    const int n = r.right - r.left;
    for (int j = 0; j < r.bottom - r.top; j++) {
        const int sy = src.rows ? (*src.rows)[static_cast<size_t>(j)] : src.y0 + j;
        const BYTE *s = src.surface->row(sy);
        BYTE *d = dst.row(r.top + j) + r.left;
        if (src.columns) {
            const int *cols = src.columns->data();
            for (int i = 0; i < n; i++) d[i] = lut[s[cols[i]]];
        } else if (same) {
            std::memcpy(d, s + src.x0, static_cast<size_t>(n));
        } else {
            s += src.x0;
            for (int i = 0; i < n; i++) d[i] = lut[s[i]];
        }
    }
}

}  // namespace

void rasterOp(Surface &dst, const RECT &r, const RasterSource *src, uint32_t pattern, DWORD rop)
{
    const uint8_t code = ropCode(rop);
    const int n = r.right - r.left;
    const int rows = r.bottom - r.top;
    if (n <= 0 || rows <= 0) return;
    if (!ropUsesSource(code)) src = nullptr;
    const bool masked = src && src->mask;
    const bool needDest = ropUsesDest(code) || masked;

    // Fills: one value for every pixel.
    if (!src && !needDest) {
        const uint32_t v = ternary(code, 0, 0, pattern);
        for (int y = r.top; y < r.bottom; y++) dst.format->fillRow(dst, r.left, y, n, v);
        return;
    }

    // A copy within one surface moving down must run bottom row first.
    const bool upward = src && src->surface == &dst && !src->rows && src->y0 < r.top;
    if (src && code == 0xCC && !masked) {
        const Surface &s = *src->surface;
        if (src->translation->identity() && s.format == dst.format && dst.bitsPerPixel() >= 8 && !src->columns &&
            !src->rows) {
            copyRows(dst, r, *src, upward);
            return;
        }
        const uint32_t *table = src->translation->table();
        if (table && s.bitsPerPixel() == 8 && dst.bitsPerPixel() == 8 && &s != &dst) {
            copyRows8(dst, r, *src, table);
            return;
        }
    }

    std::vector<uint32_t> srcRow(src ? n : 0), dstRow(static_cast<size_t>(n)), out(static_cast<size_t>(n)), span;
    std::vector<BYTE> maskRow(masked ? n : 0);
    const std::vector<uint32_t> zeros(src ? 0 : n, 0);
    const uint32_t *s = src ? srcRow.data() : zeros.data();
    for (int k = 0; k < rows; k++) {
        const int j = upward ? rows - 1 - k : k;
        const int y = r.top + j;
        if (src) {
            readSource(*src, j, n, srcRow.data(), span, masked ? maskRow.data() : nullptr);
            src->translation->apply(srcRow.data(), n);
        }
        if (needDest) dst.format->readRow(dst, r.left, y, n, dstRow.data());
        combine(code, dstRow.data(), s, pattern, out.data(), n);
        if (masked)
            for (int i = 0; i < n; i++)
                if (!maskRow[static_cast<size_t>(i)]) out[static_cast<size_t>(i)] = dstRow[static_cast<size_t>(i)];
        dst.format->writeRow(dst, r.left, y, n, out.data());
    }
}

}  // namespace vek::gdi
