// The blit dispatch between image kinds, and the composite path, for the
// frame update, the tile renderer and the extended blit.
#pragma once

#include <vekkit/records.h>

#include "record/record_view.h"

namespace vek {

// Draws src into dst by the kinds of the two records, in this order: a
// composite src element by element (CompositeSpriteBlt; 0 when ctx is null);
// two DD records through the GDI (DDSpriteBlt); a sprite that is given and
// has a transform through TransformedSpriteBlt (no mirroring there);
// everything else through SpriteBltCore with the mirror request. A DD record
// paired with a DI one gives 0. Returns the result of the blit chosen.
LONG SpriteBltDispatch(LPVEKCONTEXT ctx, HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height,
                       HSPRITEDATA src, LONG srcX, LONG srcY, LONG mirror, LPVEKSPRITE sprite);

// Draws the window (srcX, srcY) to (srcX + width, srcY + height) of the
// composite record comp at (x, y) of dst: every element that reaches into the
// window, in list order, through SpriteBltCore from its image in ctx's image
// table, mirrored exactly when the element says so. Elements whose index is
// negative or names a null entry, and all elements when ctx has no image
// table, are passed over. Returns 1, whatever the elements' blits return.
LONG CompositeSpriteBlt(LPVEKCONTEXT ctx, const RecordView &dst, LONG x, LONG y, LONG width, LONG height,
                        HSPRITEDATA comp, LONG srcX, LONG srcY);

}  // namespace vek
