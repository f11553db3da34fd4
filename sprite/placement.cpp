// The anchor rule: which point of a sprite's image its position names.
//
// For an image of w x h (hw = w / 2, hh = h / 2, truncated toward zero):
//
//   horizontal  LEFT (0x0001)            x        .. x + w
//               else HCENTER (0x0002)    x - hw   .. x - hw + w
//               else                     x - w    .. x
//   vertical    TOP (0x4000)             y        .. y + h
//               else VCENTER (0x2000)    y - hh   .. y + hh   (unless LEFT)
//               else                     y - h    .. y
//
// So without flags the position is the bottom-right corner. A vertically
// centred rectangle is 2 hh high: one row short of an odd-height image.
// LEFT turns vertical centring off, so LEFT | VCENTER places like LEFT.
#include "sprite/placement.h"

#include <vekkit/raster.h>

#include <cstdint>

#include "common/saturate.h"
#include "record/dimensions.h"

namespace vek {

RECT spritePlacement(HSPRITEDATA image, const VEKMATRIX *transform, LONG x, LONG y, LONG anchor)
{
    LONG w = 0, h = 0;
    if (image) spriteDimensions(image, &w, &h);
    if (transform) vekGetTransformedDimensions(&w, &h, transform);
    const LONG hw = w / 2, hh = h / 2;

    // Positions are not checked: an edge beyond the 32-bit range stops at
    // its end.
    RECT r;
    if (anchor & VEK_ANCHOR_LEFT) {
        r.left = x;
        r.right = saturate(int64_t{x} + w);
    } else if (anchor & VEK_ANCHOR_HCENTER) {
        r.left = saturate(int64_t{x} - hw);
        r.right = saturate(int64_t{x} - hw + w);
    } else {
        r.left = saturate(int64_t{x} - w);
        r.right = x;
    }
    if (anchor & VEK_ANCHOR_TOP) {
        r.top = y;
        r.bottom = saturate(int64_t{y} + h);
    } else if ((anchor & VEK_ANCHOR_VCENTER) && !(anchor & VEK_ANCHOR_LEFT)) {
        r.top = saturate(int64_t{y} - hh);
        r.bottom = saturate(int64_t{y} + hh);
    } else {
        r.top = saturate(int64_t{y} - h);
        r.bottom = y;
    }
    return r;
}

}  // namespace vek
