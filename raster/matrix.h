// Internal transform-matrix helpers shared by the matrix functions and the
// transformed blit.
#pragma once

#include <vekkit/records.h>

namespace vek {

// Replaces the fixed-point point p by its image under the 2x2 matrix
// m = (p, q, r, s): (x, y) becomes (p x + r y, q x + s y). Pass &matrix.m[0]
// for the forward and &matrix.m[4] for the inverse transform.
void TransformPoint(POINT &p, const VEKFIXED m[4]);

// The bounding box, in fixed point, of the integer rectangle in transformed
// by m: its four corners (left, top), (right, top), (left, bottom) and
// (right, bottom) are transformed and out receives their smallest x and y
// and largest x and y.
void TransformRectBounds(RECT &out, const RECT &in, const VEKFIXED m[4]);

}  // namespace vek
