// The walk of one row of an RLE stream over a row of pixels, which every
// painter of a stream builds on (drawing its colours, stamping its
// silhouette); the token reader is record/rle.h.
//
// A row is painted through a window of the source row: `left` source pixels
// are passed over first, then at most `room` pixels are painted. A run or
// skip reaching beyond the room is cut at its edge and the rest of the
// source row is passed over. A row that starts at the source's left edge and
// may cover all of its width takes the plain walk, which has no left count
// to keep; both walks also cut a damaged row that covers more pixels than
// the window, so nothing is ever written outside it.
//
// Paint supplies the two ways a token covers pixels:
//   static void run(BYTE *d, BYTE colour, size_t n);          encoded run
//   static void copy(BYTE *d, const BYTE *indices, size_t n);  absolute run
// Painters whose rows lie wholly inside the window may add walks of their
// own on the same reader; rows below a window are passed over with
// rle::passRows.
#pragma once

#include "record/rle.h"

namespace vek::rle {

// Paints count pixels from d with paint(n) and moves d past them; a count
// reaching beyond rowEnd is cut there and gives false.
template <class PaintN>
inline bool cover(BYTE *&d, BYTE *const rowEnd, size_t count, PaintN paint)
{
    const size_t room = static_cast<size_t>(rowEnd - d);
    if (count > room) {
        paint(room);
        return false;
    }
    paint(count);
    d += count;
    return true;
}

// A row painted from d up to rowEnd, from the source row's first pixel on.
template <class Paint>
inline RowEnd paintRow(BYTE *d, BYTE *const rowEnd, const BYTE *&p, const BYTE *const end)
{
    for (;;) {
        const Token t = next(p, end);
        switch (t.op) {
        case Op::Run:
            if (!cover(d, rowEnd, t.count, [&](size_t n) { Paint::run(d, t.colour, n); })) return passRow(p, end);
            break;
        case Op::Absolute:
            if (!cover(d, rowEnd, t.count, [&](size_t n) { Paint::copy(d, t.data, n); })) return passRow(p, end);
            break;
        case Op::Skip:
            if (t.count > static_cast<size_t>(rowEnd - d)) return passRow(p, end);
            d += t.count;
            break;
        case Op::EndOfRow: return RowEnd::Row;
        case Op::EndOfImage: return RowEnd::Image;
        case Op::Damaged: return RowEnd::Damaged;
        }
    }
}

// A row seen through a window: left source pixels are passed over, then at
// most room pixels are painted from d on.
template <class Paint>
inline RowEnd paintRowClipped(BYTE *d, size_t left, size_t room, const BYTE *&p, const BYTE *const end)
{
    for (;;) {
        Token t = next(p, end);
        switch (t.op) {
        case Op::EndOfRow: return RowEnd::Row;
        case Op::EndOfImage: return RowEnd::Image;
        case Op::Damaged: return RowEnd::Damaged;
        default: break;
        }
        if (t.count <= left) {
            left -= t.count;
            continue;
        }
        const size_t n = t.count - left;
        if (t.op == Op::Absolute) t.data += left;
        left = 0;
        const size_t drawn = n < room ? n : room;
        if (t.op == Op::Run)
            Paint::run(d, t.colour, drawn);
        else if (t.op == Op::Absolute)
            Paint::copy(d, t.data, drawn);
        if (n > room) return passRow(p, end);
        d += n;
        room -= n;
    }
}

}  // namespace vek::rle
