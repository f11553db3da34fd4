// Transform matrices: building them from scale, rotation and shear, and the
// bounding boxes of transformed images.
//
// Matrix entries, with c = cos(rotation), s = sin(rotation) and
// k = tan(shear):
//
//   0  sx c              forward: image (x, y) -> (m0 x + m2 y, m1 x + m3 y)
//   1  -sx s
//   2  sy (k c + s)
//   3  sy (c - k s)
//   4  (c - k s) / sx    inverse: destination offset -> image point
//   5  s / sy
//   6  (k c + s) / -sx
//   7  c / sy
//
// The forward matrix is rotation x shear x scale; its determinant is sx sy,
// which makes entries 4..7 its exact inverse.
#include "raster/matrix.h"

#include <vekkit/fixmath.h>
#include <vekkit/raster.h>

#include "fixmath/fixed.h"

#include <algorithm>
#include <cstdint>

namespace {

using vek::fixDiv;
using vek::fixMul;
using vek::wrapAdd;
using vek::wrapSub;

constexpr VEKFIXED kFullTurn = 360 << 16;   // degrees
constexpr VEKFIXED kMaxShear = 70 << 16;    // degrees
constexpr VEKFIXED kRightAngle = 90 << 16;  // degrees

// Degrees to radians: d x pi / 180, the division truncating toward zero.
VEKFIXED radians(VEKFIXED degrees)
{
    return fixMul(degrees, vek::kFixPi) / 180;
}

// 16.16 to a whole pixel, rounding halves up, cut to 16 bits.
int16_t roundEdge(VEKFIXED v)
{
    return static_cast<int16_t>((int64_t{v} + vek::kFixHalf) >> 16);
}

}  // namespace

namespace vek {

void TransformPoint(POINT &p, const VEKFIXED m[4])
{
    const VEKFIXED x = p.x, y = p.y;
    p.x = wrapAdd(fixMul(m[0], x), fixMul(m[2], y));
    p.y = wrapAdd(fixMul(m[1], x), fixMul(m[3], y));
}

void TransformRectBounds(RECT &out, const RECT &in, const VEKFIXED m[4])
{
    // Whole pixels to 16.16; coordinates beyond +-32767 wrap.
    auto fixed = [](LONG v) { return static_cast<VEKFIXED>(static_cast<uint32_t>(v) << 16); };
    POINT corners[4] = {{fixed(in.left), fixed(in.top)},
                        {fixed(in.right), fixed(in.top)},
                        {fixed(in.left), fixed(in.bottom)},
                        {fixed(in.right), fixed(in.bottom)}};
    for (POINT &c : corners) TransformPoint(c, m);
    out = {corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const POINT &c : corners) {
        out.left = std::min(out.left, c.x);
        out.top = std::min(out.top, c.y);
        out.right = std::max(out.right, c.x);
        out.bottom = std::max(out.bottom, c.y);
    }
}

}  // namespace vek

void VEKAPI vekBuildMatrix(LPVEKMATRIX m, VEKFIXED sx, VEKFIXED sy, VEKFIXED rotation, VEKFIXED shear)
{
    if (rotation >= kFullTurn || rotation <= -kFullTurn) rotation %= kFullTurn;
    shear = std::clamp(shear, -kMaxShear, kMaxShear);
    const VEKFIXED k = shear == 0 ? 0 : vekFixTan(radians(shear));

    // The right angles get exact entries; negative ones take the general
    // path like any other angle.
    VEKFIXED s, c;
    switch (rotation) {
    case 0:
        s = 0;
        c = vek::kFixOne;
        break;
    case kRightAngle:
        s = vek::kFixOne;
        c = 0;
        break;
    case 2 * kRightAngle:
        s = 0;
        c = -vek::kFixOne;
        break;
    case 3 * kRightAngle:
        s = -vek::kFixOne;
        c = 0;
        break;
    default:
        c = vekFixCos(radians(rotation));
        s = vekFixSin(radians(rotation));
        break;
    }

    const VEKFIXED shearX = wrapAdd(fixMul(k, c), s);  // k c + s
    const VEKFIXED shearY = wrapSub(c, fixMul(k, s));  // c - k s
    const VEKFIXED negSx = vek::wrapNeg(sx);
    m->m[0] = fixMul(sx, c);
    m->m[1] = fixMul(negSx, s);
    m->m[2] = fixMul(sy, shearX);
    m->m[3] = fixMul(sy, shearY);
    m->m[4] = fixDiv(shearY, sx);
    m->m[5] = fixDiv(s, sy);
    m->m[6] = fixDiv(shearX, negSx);
    m->m[7] = fixDiv(c, sy);
}

DWORD VEKAPI vekGetTransformedDimensions(LONG *width, LONG *height, const VEKMATRIX *m)
{
    const RECT image = {0, 0, *width, *height};
    RECT box;
    vek::TransformRectBounds(box, image, m->m);
    *width = roundEdge(box.right) - roundEdge(box.left);
    *height = roundEdge(box.bottom) - roundEdge(box.top);
    return static_cast<DWORD>(*height) << 16 | static_cast<WORD>(*width);
}
