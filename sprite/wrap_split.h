// Ranges of a buffer that wraps around, split into pieces that do not.
//
// The background of a tile-mapped context is such a buffer on each axis:
// buffer position (wrap + i) mod size shows world position scroll + i. A
// range of it that runs past the end goes on at position 0. The frame
// update, the rectangle composer and the tile renderer copy or draw such
// ranges in at most two pieces; scrolling brings a strip's start into the
// buffer.
#pragma once

#include <cstdint>

namespace vek {

// How a start position is brought into the buffer of size positions.
enum class WrapStart {
    Once,    // one size is taken off a start beyond the end (one equal to
             // size stays: its first piece is empty)
    Modulo,  // whole sizes are taken off or added: 0 <= start < size
};

// What becomes of a range longer than the buffer.
enum class LongRange {
    Split,  // like any range that runs past the end: the rest from position 0
    Whole,  // one piece from the start, which the blit cuts at the buffer's edge
};

inline int64_t wrapStart(int64_t start, int64_t size, WrapStart rule)
{
    if (size <= 0) return start;
    if (rule == WrapStart::Once) return start > size ? start - size : start;
    const int64_t r = start % size;
    return r < 0 ? r + size : r;
}

// One piece: length positions from buffer position from, which are the
// range's positions at, at + 1, ...
struct WrapPiece {
    int64_t from, at, length;
};

struct WrapPieces {
    WrapPiece piece[2];
    int count = 0;

    const WrapPiece *begin() const { return piece; }
    const WrapPiece *end() const { return piece + count; }
};

// The non-empty pieces of the range of length positions from start in a
// buffer of size positions. A buffer of no positions does not wrap: the
// range is one piece as given.
inline WrapPieces splitWrapped(int64_t start, int64_t length, int64_t size, WrapStart startRule,
                               LongRange longRule)
{
    WrapPieces out;
    const auto add = [&out](int64_t from, int64_t at, int64_t n) {
        if (n > 0) out.piece[out.count++] = WrapPiece{from, at, n};
    };
    const int64_t from = wrapStart(start, size, startRule);
    const bool wraps = size > 0 && from + length > size && (longRule == LongRange::Split || length <= size);
    if (!wraps) {
        add(from, 0, length);
        return out;
    }
    const int64_t first = size - from;
    add(from, 0, first);
    add(0, first, length - first);
    return out;
}

}  // namespace vek
