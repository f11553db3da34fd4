// The walk of the rows of an RLE stream over rows of pixels, which every
// painter of a stream builds on (drawing its colours, stamping its
// silhouette); the token reader is record/rle.h.
//
// Each row is painted through a window of its source row: `left` source
// pixels are passed over first, then at most `width` pixels are painted. A
// run or skip reaching beyond the window is cut at its edge and the rest of
// the source row is passed over, so that a damaged row covering more pixels
// than the image is wide never writes outside the window.
//
// Paint supplies the two ways a token covers pixels:
//   static void run(BYTE *d, BYTE colour, size_t n);          encoded run
//   static void copy(BYTE *d, const BYTE *indices, size_t n);  absolute run
// Rows below a window are passed over with rle::passRows.
#pragma once

#include <type_traits>

#include "record/rle.h"

namespace vek::rle {

// The rest of a row seen through a window, from d on: left source pixels
// are passed over, then at most room pixels are painted. Every token is read
// through next(), so this walk takes any row, damaged or cut, to its end.
template <class Paint>
RowEnd paintRest(BYTE *d, size_t left, size_t room, const BYTE *&p, const BYTE *const end)
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

// Paints rows rows through windows of left + width source pixels, the first
// row at row and each next one stride bytes on. A row of the simple shape
// (rle::SimpleRow) is painted in one step, cut to the window. Any other row
// is painted token by token, read straight by readToken while its tokens
// lie wholly inside the window; at any other token (one reaching past the
// window, an end of image, a damaged stream) the rest of the row goes to
// paintRest. Clipped = false when left is 0, which leaves its tests out.
// Returns how the last row painted ended: Row when all of them were there.
template <class Paint, bool Clipped>
[[gnu::always_inline]] inline RowEnd paintRows(BYTE *row, size_t stride, size_t left0, size_t width, LONG rows,
                                               const BYTE *&cursor, const BYTE *const end)
{
    // The cursor lives in a register: the out-of-line walk gets a copy.
    const BYTE *p = cursor;
    BYTE *d;
    BYTE *rowEnd;
    size_t left;
    // Where a token of count pixels starts to be painted: behind the
    // pixels still to pass over. Covered = the token lies left of the
    // window, to be passed over whole.
    constexpr size_t kCovered = ~size_t{0};
    auto firstPainted = [&](size_t count) {
        if constexpr (Clipped) {
            if (count <= left) {
                left -= count;
                return kCovered;
            }
            return left;
        }
        return size_t{0};
    };
    // Whether the pixels of a token from its pixel `from` on fit the window.
    auto fits = [&](size_t count, size_t from) { return count - from <= static_cast<size_t>(rowEnd - d); };
    auto paint = [&](size_t count, size_t from, auto draw) {
        if constexpr (Clipped) left = 0;
        draw(count - from);
        d += count - from;
        return true;
    };
    bool rowEnded;
    auto read = [&](auto bounded) __attribute__((always_inline)) {
        return readToken<decltype(bounded)::value>(
            p, end,
            [&](size_t count, BYTE colour) {
                const size_t from = firstPainted(count);
                if (from == kCovered) return true;
                if (!fits(count, from)) return false;
                return paint(count, from, [&](size_t n) { Paint::run(d, colour, n); });
            },
            [&](size_t count, const BYTE *indices) {
                const size_t from = firstPainted(count);
                if (from == kCovered) return true;
                if (!fits(count, from)) return false;
                return paint(count, from, [&](size_t n) { Paint::copy(d, indices + from, n); });
            },
            [&](size_t count) {
                const size_t from = firstPainted(count);
                if (from == kCovered) return true;
                if (!fits(count, from)) return false;
                return paint(count, from, [](size_t) {});
            },
            [&] { return rowEnded = true; });
    };
    for (;; row += stride) {
        SimpleRow simple;
        if (end - p >= static_cast<ptrdiff_t>(kLongestSimpleRow) ? readSimpleRow<false>(p, end, simple)
                                                                 : readSimpleRow<true>(p, end, simple)) {
            // The run's source pixels [skip, skip + count) seen through the
            // window [left0, left0 + width).
            const size_t from = simple.skip > left0 ? simple.skip : left0;
            const size_t runEnd = simple.skip + simple.count, windowEnd = left0 + width;
            const size_t to = runEnd < windowEnd ? runEnd : windowEnd;
            if (to > from) {
                if (simple.data)
                    Paint::copy(row + (from - left0), simple.data + (from - simple.skip), to - from);
                else
                    Paint::run(row + (from - left0), simple.colour, to - from);
            }
        } else {
            d = row;
            rowEnd = row + width;
            left = left0;
            rowEnded = false;
            for (;;) {
                // Far from the end of the stream, tokens are read without
                // testing whether they fit.
                const bool taken = end - p >= static_cast<ptrdiff_t>(kLongestToken) ? read(std::false_type{})
                                                                                      : read(std::true_type{});
                if (taken) {
                    if (rowEnded) break;
                    continue;
                }
                const BYTE *rest = p;
                const RowEnd e = paintRest<Paint>(d, left, static_cast<size_t>(rowEnd - d), rest, end);
                p = rest;
                if (e != RowEnd::Row) {
                    cursor = p;
                    return e;
                }
                break;
            }
        }
        if (--rows == 0) break;
    }
    cursor = p;
    return RowEnd::Row;
}

}  // namespace vek::rle
