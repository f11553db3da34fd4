// Coordinate maps of stretched copies.
#include "gdi/stretch.h"

#include <algorithm>
#include <numeric>
#include <cstdint>

namespace vek::gdi {

bool normalise(int &start, int &extent)
{
    if (extent >= 0) return false;
    // Starts below the int range are pulled up to it: such rectangles end left
    // of (or above) pixel 0 either way, so they still miss every surface.
    start = static_cast<int>(std::max<int64_t>(int64_t{start} + extent + 1, INT32_MIN));
    extent = static_cast<int>(-int64_t{extent});
    return true;
}

bool mapAxis(int dst, int dstExt, int srcStart, int srcCount, bool flip, int dstLimit, int srcLimit, int &first,
             std::vector<int> &map)
{
    map.clear();
    int64_t d0 = dst, dn = dstExt;
    if (dn < 0) {
        d0 = dst + dn + 1;
        dn = -dn;
    }
    const int64_t lo = std::max<int64_t>(0, -d0), hi = std::min<int64_t>(dn, dstLimit - d0);
    if (srcCount == dn && !flip) {
        // 1:1: destination pixel i reads source pixel srcStart + i.
        const int64_t a = std::max<int64_t>(lo, -int64_t{srcStart}), b = std::min<int64_t>(hi, int64_t{srcLimit} - srcStart);
        if (a >= b) return false;
        first = static_cast<int>(d0 + a);
        map.resize(static_cast<size_t>(b - a));
        std::iota(map.begin(), map.end(), static_cast<int>(srcStart + a));
        return true;
    }
    for (int64_t i = lo; i < hi; i++) {
        // Source pixel under the centre of destination pixel i.
        int64_t k = (2 * i + 1) * srcCount / (2 * dn);
        if (flip) k = srcCount - 1 - k;
        const int64_t s = srcStart + k;
        if (s < 0 || s >= srcLimit) {
            if (!map.empty()) break;  // the map is monotonic: no more inside
            continue;
        }
        if (map.empty()) first = static_cast<int>(d0 + i);
        map.push_back(static_cast<int>(s));
    }
    return !map.empty();
}

}  // namespace vek::gdi
