// Which source pixel each destination pixel of a copy reads, one axis at a
// time.
//
// A copy from a source rectangle to a destination rectangle of other sizes
// samples, for each destination pixel, the source pixel under its centre
// (nearest neighbour). A negative extent counts back from its coordinate,
// which then names the far pixel: (x, -n) covers x - n + 1 .. x, as on
// Windows; extents of opposite signs mirror the copy along that axis.
//
// Positions are 64-bit until they are clipped: the sum of a 32-bit
// coordinate and a 32-bit extent cannot wrap, and only positions inside a
// surface are ever turned back into int.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vek::gdi {

// The pixels start .. start + extent - 1 of one axis, extent > 0.
struct Span {
    int64_t start = 0;
    int64_t extent = 0;
    bool flipped = false;  // given with a negative extent
};

// The span of a coordinate and an extent that is neither 0 nor INT32_MIN.
Span spanOf(int start, int extent);

// One axis of a copy after clipping: destination pixels first .. first +
// count - 1, all inside the destination, each reading a source pixel inside
// the source.
class Axis {
public:
    int first = 0;
    int count = 0;

    // 1:1 without mirroring: destination pixel first + j reads start() + j.
    bool unit() const { return unit_; }
    int start() const { return static_cast<int>(srcStart_ + i0_); }
    // The source pixel of destination pixel first + j.
    int at(int j) const;
    // The source pixels of destination pixels first + j .. first + j + n - 1.
    void sources(int j, int n, int *out) const;
    // The first and the last source pixel read, in increasing order.
    int lowest() const { return std::min(at(0), at(count - 1)); }
    int highest() const { return std::max(at(0), at(count - 1)); }
    // Counts source pixels from `origin` on: at(j) becomes at(j) - origin.
    void moveSource(int origin) { srcStart_ -= origin; }

private:
    friend bool clipAxis(const Span &, const Span &, bool, int, int, Axis &);

    // Destination pixel first + j is pixel i = i0_ + j of the destination
    // span; it reads source pixel srcStart_ + k, k = (2i + 1) srcCount_ /
    // (2 dstCount_), counted from the far end when mirrored (1:1: k = i).
    int64_t i0_ = 0;
    int64_t srcStart_ = 0;
    int64_t srcCount_ = 1;
    int64_t dstCount_ = 1;
    bool flip_ = false;
    bool unit_ = true;
};

// Clips one axis of a copy in which the destination span dst reads the
// source span src, mirrored when flip: keeps the destination pixels inside
// [0, dstLimit) whose source pixel lies inside [0, srcLimit). False when none
// is left.
bool clipAxis(const Span &dst, const Span &src, bool flip, int dstLimit, int srcLimit, Axis &out);

}  // namespace vek::gdi
