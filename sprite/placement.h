// Where a sprite goes: the rectangle that a position and anchor flags give
// for an image.
#pragma once

#include <vekkit/records.h>

namespace vek {

// The rectangle of image placed at (x, y) by the low 16 bits of anchor. The
// image is measured as a record of any kind; with a transform the bounding
// box of the transformed image is used instead. A null image measures 0 x 0.
RECT spritePlacement(HSPRITEDATA image, const VEKMATRIX *transform, LONG x, LONG y, LONG anchor);

}  // namespace vek
