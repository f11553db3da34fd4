// Coordinate maps of stretched copies.
//
// A copy from a source rectangle to a destination rectangle of other sizes
// samples, for each destination pixel, the source pixel under its centre
// (nearest neighbour). A negative extent counts back from its coordinate,
// which then names the far pixel: (x, -n) covers x - n + 1 .. x, as on
// Windows; extents of opposite signs mirror the copy along that axis.
#pragma once

#include <vector>

namespace vek::gdi {

// Makes start the first pixel and extent positive; true when it was
// negative. The extent must not be INT32_MIN.
bool normalise(int &start, int &extent);

// One axis: destination pixels dst.. (dstExt signed, not 0) read the source
// pixels srcStart..srcStart+srcCount-1 (normalised), mirrored when flip.
// Keeps the destination pixels inside [0, dstLimit) whose source pixel lies
// inside [0, srcLimit): first receives the first of them, map the source
// pixel of each. False when there is none.
bool mapAxis(int dst, int dstExt, int srcStart, int srcCount, bool flip, int dstLimit, int srcLimit, int &first,
             std::vector<int> &map);

}  // namespace vek::gdi
