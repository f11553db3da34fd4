// Which source pixel each destination pixel of a copy reads.
//
// Extents are below 2^31, so (2i + 1) * srcCount stays below 2^63.
#include "gdi/stretch.h"

#include <algorithm>

namespace vek::gdi {

Span spanOf(int start, int extent)
{
    if (extent > 0) return Span{start, extent, false};
    return Span{int64_t{start} + extent + 1, -int64_t{extent}, true};
}

int Axis::at(int j) const
{
    if (unit_) return static_cast<int>(srcStart_ + i0_ + j);
    const int64_t k = (2 * (i0_ + j) + 1) * srcCount_ / (2 * dstCount_);
    return static_cast<int>(srcStart_ + (flip_ ? srcCount_ - 1 - k : k));
}

void Axis::sources(int j, int n, int *out) const
{
    if (unit_) {
        for (int t = 0; t < n; t++) out[t] = static_cast<int>(srcStart_ + i0_ + j + t);
        return;
    }
    // k steps by 2 srcCount / (2 dstCount) per pixel: a whole part and a
    // remainder that carries.
    const int64_t denominator = 2 * dstCount_;
    const int64_t numerator = (2 * (i0_ + j) + 1) * srcCount_;
    int64_t k = numerator / denominator, rest = numerator % denominator;
    const int64_t step = 2 * srcCount_ / denominator, stepRest = 2 * srcCount_ % denominator;
    for (int t = 0; t < n; t++) {
        out[t] = static_cast<int>(srcStart_ + (flip_ ? srcCount_ - 1 - k : k));
        k += step;
        rest += stepRest;
        if (rest >= denominator) {
            rest -= denominator;
            k++;
        }
    }
}

bool clipAxis(const Span &dst, const Span &src, bool flip, int dstLimit, int srcLimit, Axis &out)
{
    // Destination pixels i, 0 <= i < dst.extent, inside the destination.
    int64_t lo = std::max<int64_t>(0, -dst.start), hi = std::min<int64_t>(dst.extent, dstLimit - dst.start);
    Axis a;
    a.srcStart_ = src.start;
    if (src.extent == dst.extent && !flip) {
        lo = std::max(lo, -src.start);
        hi = std::min(hi, srcLimit - src.start);
    } else {
        a.unit_ = false;
        a.flip_ = flip;
        a.srcCount_ = src.extent;
        a.dstCount_ = dst.extent;
        // The source pixel moves one way only along the axis, so those inside
        // the source form one run: its ends are found by bisection.
        const auto source = [&](int64_t i) {
            const int64_t k = (2 * i + 1) * src.extent / (2 * dst.extent);
            return src.start + (flip ? src.extent - 1 - k : k);
        };
        const auto firstWhere = [&](int64_t from, int64_t to, auto test) {
            while (from < to) {
                const int64_t mid = from + (to - from) / 2;
                if (test(source(mid)))
                    to = mid;
                else
                    from = mid + 1;
            }
            return from;
        };
        const int64_t limit = srcLimit;
        if (flip) {
            lo = firstWhere(lo, hi, [&](int64_t s) { return s < limit; });
            hi = firstWhere(lo, hi, [](int64_t s) { return s < 0; });
        } else {
            lo = firstWhere(lo, hi, [](int64_t s) { return s >= 0; });
            hi = firstWhere(lo, hi, [&](int64_t s) { return s >= limit; });
        }
    }
    if (lo >= hi) return false;
    a.first = static_cast<int>(dst.start + lo);
    a.count = static_cast<int>(hi - lo);
    a.i0_ = lo;
    out = a;
    return true;
}

}  // namespace vek::gdi
