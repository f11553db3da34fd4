// The blit of a sprite through its transform matrix, for the blit dispatch.
#pragma once

#include <vekkit/records.h>

#include "record/record_view.h"

namespace vek {

// Draws the whole raw 8-bit image of src, transformed by sprite->transform,
// into the raw 8-bit DI record dst by inverse mapping with nearest-neighbour
// sampling. The sprite's target rectangle, moved so that its top-left corner
// is (x, y), is where the image lands; only its part inside dst and inside
// the rectangle (x, y, x + width, y + height) is drawn (x, y, width and
// height are taken as 16-bit values). The first pixel byte of src (the left
// pixel of its bottom row) is the colour key: source pixels equal to it are
// not drawn. srcX and srcY are not used, nor is the sprite's mirror request.
// Returns 1 when part of the rectangle is visible, 0 when none is, and 0
// without drawing when a record is not a raw 8-bit DI image or the sprite
// has no transform. Every sample lies inside the source image.
LONG TransformedSpriteBlt(const RecordView &dst, LONG x, LONG y, const RecordView &src, LONG srcX, LONG srcY,
                          LONG width, LONG height, const VEKSPRITE *sprite);

}  // namespace vek
