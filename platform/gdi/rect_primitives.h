// The rectangle primitives of the pixel formats, written once as templates.
//
// Formats of whole bytes per pixel describe their stored bits with a codec:
//
//   kBytes              bytes per pixel, little-endian
//   pack(raw)           the stored bits of a raw value
//   unpack(bits)        the raw value of stored bits
//
// and get every primitive from the templates below; bitwise operations work
// on the stored bits directly (they commute with pack and unpack). The
// 1-bit format, whose pixels share bytes, builds its rectangle primitives
// from its row functions in spans of kSpan pixels.
#pragma once

#include <algorithm>
#include <cstring>

#include "gdi/surface.h"

namespace vek::gdi {

// Pixels handled at a time where rows go through buffers on the stack.
constexpr int kSpan = 256;

// Copies n bytes between blocks that do not overlap. Rows of a few dozen
// bytes, the usual ones, are copied in 16-byte pieces without a call (the
// last piece may overlap the one before).
inline void copyRow(BYTE *d, const BYTE *s, size_t n)
{
    if (n >= 128) {
        std::memcpy(d, s, n);
    } else if (n >= 16) {
        for (size_t i = 0; i + 16 < n; i += 16) std::memcpy(d + i, s + i, 16);
        std::memcpy(d + n - 16, s + n - 16, 16);
    } else if (n >= 4) {
        const size_t half = n >= 8 ? 8 : 4;
        BYTE head[8], tail[8];
        std::memcpy(head, s, half);
        std::memcpy(tail, s + n - half, half);
        std::memcpy(d, head, half);
        std::memcpy(d + n - half, tail, half);
    } else {
        for (size_t i = 0; i < n; i++) d[i] = s[i];
    }
}

// Sets n bytes to v, short rows as copyRow copies them.
inline void fillRow(BYTE *d, BYTE v, size_t n)
{
    if (n >= 128 || n < 16) {
        std::memset(d, v, n);
        return;
    }
    BYTE piece[16];
    std::memset(piece, v, sizeof piece);
    for (size_t i = 0; i + 16 < n; i += 16) std::memcpy(d + i, piece, 16);
    std::memcpy(d + n - 16, piece, 16);
}

// Whether the pixels of two surfaces may lie in the same memory: one
// surface, or a DIB view of memory that a DIB section holds.
inline bool shareMemory(const Surface &a, const Surface &b)
{
    const auto first = [](const Surface &s) {
        return reinterpret_cast<uintptr_t>(s.pitch < 0 ? s.row(s.height - 1) : s.top);
    };
    const auto end = [&](const Surface &s) { return first(s) + s.stride * static_cast<size_t>(s.height); };
    return first(a) < end(b) && first(b) < end(a);
}

template <BlitOp Op>
inline uint32_t combine(uint32_t d, uint32_t s)
{
    if constexpr (Op == kCopy) return s;
    if constexpr (Op == kAnd) return d & s;
    if constexpr (Op == kOr) return d | s;
    if constexpr (Op == kXor) return d ^ s;
}

template <class C>
inline uint32_t getBits(const BYTE *p)
{
    if constexpr (C::kBytes == 1) {
        return *p;
    } else if constexpr (C::kBytes == 3) {
        return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    } else {
        typename C::Unit u;
        std::memcpy(&u, p, sizeof u);
        return u;
    }
}

template <class C>
inline void putBits(BYTE *p, uint32_t bits)
{
    if constexpr (C::kBytes == 1) {
        *p = static_cast<BYTE>(bits);
    } else if constexpr (C::kBytes == 3) {
        p[0] = static_cast<BYTE>(bits);
        p[1] = static_cast<BYTE>(bits >> 8);
        p[2] = static_cast<BYTE>(bits >> 16);
    } else {
        const auto u = static_cast<typename C::Unit>(bits);
        std::memcpy(p, &u, sizeof u);
    }
}

template <class C>
void readRowOf(const Surface &s, int x, int y, int n, uint32_t *out)
{
    const BYTE *p = s.row(y) + static_cast<size_t>(x) * C::kBytes;
    for (int i = 0; i < n; i++) out[i] = C::unpack(getBits<C>(p + static_cast<size_t>(i) * C::kBytes));
}

template <class C>
void writeRowOf(Surface &s, int x, int y, int n, const uint32_t *in)
{
    BYTE *p = s.row(y) + static_cast<size_t>(x) * C::kBytes;
    for (int i = 0; i < n; i++) putBits<C>(p + static_cast<size_t>(i) * C::kBytes, C::pack(in[i]));
}

template <class C>
void gatherRowOf(const Surface &s, const int *columns, int y, int n, uint32_t *out)
{
    const BYTE *p = s.row(y);
    for (int i = 0; i < n; i++) out[i] = C::unpack(getBits<C>(p + static_cast<size_t>(columns[i]) * C::kBytes));
}

// One row is filled pixel by pixel, the others are copies of it. Row
// pointers are kept in locals and stepped: the stores may alias the
// surface's own fields as far as the compiler knows.
template <class C>
void fillRectOf(Surface &s, const RECT &r, uint32_t value)
{
    const size_t bytes = static_cast<size_t>(r.right - r.left) * C::kBytes;
    const int rows = r.bottom - r.top;
    const ptrdiff_t pitch = s.pitch;
    BYTE *const first = s.row(r.top) + static_cast<size_t>(r.left) * C::kBytes;
    BYTE *d = first;
    if constexpr (C::kBytes == 1) {
        for (int k = 0; k < rows; k++, d += pitch) fillRow(d, static_cast<BYTE>(C::pack(value)), bytes);
    } else {
        const uint32_t bits = C::pack(value);
        for (size_t i = 0; i < bytes; i += C::kBytes) putBits<C>(first + i, bits);
        for (int k = 1; k < rows; k++) copyRow(d += pitch, first, bytes);
    }
}

// d = d op s over n bytes of memory apart, eight bytes at a time.
template <BlitOp Op>
void combineRow(BYTE *d, const BYTE *s, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t a, b;
        std::memcpy(&a, d + i, 8);
        std::memcpy(&b, s + i, 8);
        if constexpr (Op == kAnd) a &= b;
        if constexpr (Op == kOr) a |= b;
        if constexpr (Op == kXor) a ^= b;
        std::memcpy(d + i, &a, 8);
    }
    for (; i < n; i++) d[i] = static_cast<BYTE>(combine<Op>(d[i], s[i]));
}

// Same-format copies work on bytes: every operation is bitwise. Only a copy
// may read memory that it writes.
template <class C, BlitOp Op>
void copyRectOf(Surface &s, const RECT &r, const Surface &src, POINT from)
{
    const size_t bytes = static_cast<size_t>(r.right - r.left) * C::kBytes;
    const int rows = r.bottom - r.top;
    // Within one surface a copy moving down runs bottom row first.
    const bool upward = &src == &s && from.y < r.top;
    const bool apart = !shareMemory(s, src);
    const int j0 = upward ? rows - 1 : 0;
    BYTE *d = s.row(r.top + j0) + static_cast<size_t>(r.left) * C::kBytes;
    const BYTE *p = src.row(from.y + j0) + static_cast<size_t>(from.x) * C::kBytes;
    const ptrdiff_t dStep = upward ? -s.pitch : s.pitch, pStep = upward ? -src.pitch : src.pitch;
    for (int k = 0; k < rows; k++, d += dStep, p += pStep) {
        if constexpr (Op == kCopy) {
            if (apart)
                copyRow(d, p, bytes);
            else
                std::memmove(d, p, bytes);
        } else {
            combineRow<Op>(d, p, bytes);
        }
    }
}

// Index i of a row of indices of bpp bits (1 or 8).
template <int Bits>
inline unsigned indexAt(const BYTE *row, int x)
{
    if constexpr (Bits == 8) return row[x];
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

template <class C, BlitOp Op, int SrcBits>
void tableRows(Surface &s, const RECT &r, const Surface &src, POINT from, const uint32_t *table)
{
    const int n = r.right - r.left, rows = r.bottom - r.top;
    BYTE *d = s.row(r.top) + static_cast<size_t>(r.left) * C::kBytes;
    const BYTE *p = src.row(from.y);
    const ptrdiff_t dStep = s.pitch, pStep = src.pitch;
    for (int j = 0; j < rows; j++, d += dStep, p += pStep) {
        const BYTE *q = SrcBits == 8 ? p + from.x : p;
        for (size_t i = 0; i < static_cast<size_t>(n); i++) {
            const uint32_t bits = C::pack(table[SrcBits == 8 ? q[i] : indexAt<1>(p, from.x + static_cast<int>(i))]);
            BYTE *at = d + i * C::kBytes;
            if constexpr (Op == kCopy)
                putBits<C>(at, bits);
            else
                putBits<C>(at, combine<Op>(getBits<C>(at), bits));
        }
    }
}

template <class C, BlitOp Op>
void tableRectOf(Surface &s, const RECT &r, const Surface &src, POINT from, const uint32_t *table)
{
    if (src.bitsPerPixel() == 8)
        tableRows<C, Op, 8>(s, r, src, from, table);
    else
        tableRows<C, Op, 1>(s, r, src, from, table);
}

// Rectangle primitives from row functions, for formats whose pixels share
// bytes. Spans run right to left when a copy within one surface moves right,
// rows bottom first when it moves down, so that no source pixel is
// overwritten before it is read.
template <BlitOp Op>
void copyRectByRows(Surface &s, const RECT &r, const Surface &src, POINT from, const uint32_t *table)
{
    uint32_t in[kSpan], out[kSpan];
    const int n = r.right - r.left, rows = r.bottom - r.top;
    const bool upward = &src == &s && from.y < r.top, leftward = &src == &s && from.x < r.left;
    for (int k = 0; k < rows; k++) {
        const int j = upward ? rows - 1 - k : k;
        for (int done = 0; done < n; done += kSpan) {
            const int m = std::min(kSpan, n - done);
            const int i = leftward ? n - done - m : done;
            src.format->readRow(src, from.x + i, from.y + j, m, in);
            if (table)
                for (int t = 0; t < m; t++) in[t] = table[in[t]];
            if constexpr (Op != kCopy) {
                s.format->readRow(s, r.left + i, r.top + j, m, out);
                for (int t = 0; t < m; t++) in[t] = combine<Op>(out[t], in[t]);
            }
            s.format->writeRow(s, r.left + i, r.top + j, m, in);
        }
    }
}

template <BlitOp Op>
void copyRectOfRows(Surface &s, const RECT &r, const Surface &src, POINT from)
{
    copyRectByRows<Op>(s, r, src, from, nullptr);
}

template <BlitOp Op>
void tableRectOfRows(Surface &s, const RECT &r, const Surface &src, POINT from, const uint32_t *table)
{
    copyRectByRows<Op>(s, r, src, from, table);
}

// The table entry of a format of whole bytes per pixel.
template <class C>
constexpr PixelFormat formatOf()
{
    return PixelFormat{C::kBytes * 8,
                       readRowOf<C>,
                       writeRowOf<C>,
                       gatherRowOf<C>,
                       fillRectOf<C>,
                       {copyRectOf<C, kCopy>, copyRectOf<C, kAnd>, copyRectOf<C, kOr>, copyRectOf<C, kXor>},
                       {tableRectOf<C, kCopy>, tableRectOf<C, kAnd>, tableRectOf<C, kOr>, tableRectOf<C, kXor>}};
}

}  // namespace vek::gdi
