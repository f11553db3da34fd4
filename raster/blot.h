// The blot: the silhouette of an RLE sprite image stamped into a raw image.
#pragma once

#include <vekkit/records.h>

#include "raster/blit.h"

namespace vek {

// Sets every pixel of dst that the width x height rectangle of src at
// (srcX, srcY) covers, drawn at (x, y), to colour index 0; skipped pixels and
// row ends leave dst as it was. Clips exactly as SpriteBltCore and walks the
// stream the same way, so a blot covers precisely the pixels a blit would
// draw. No mirroring. Returns the clipped height, 1 when nothing lies inside
// both images, and 0 unless dst is a raw and src an RLE 8-bit DI record
// (other kinds, damaged headers, a stream cut short included).
LONG SpriteBlotCore(HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src, LONG srcX,
                    LONG srcY);

// SpriteBlotCore on records already viewed.
LONG blotCore(const RecordView &dst, const RecordView &src, BlitRect r);

}  // namespace vek
