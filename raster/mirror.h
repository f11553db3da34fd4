// In-place mirroring of DI sprite images, behind vekFlipSprite.
#pragma once

#include <vekkit/records.h>

#include <cstddef>

namespace vek {

// Size of the scratch stack of one mirroring: it holds the tokens of one RLE
// row, so longer rows are refused.
constexpr size_t kMirrorStackBytes = 8192;

// Mirrors a mirror-enabled DI record left to right in place and toggles its
// mirrored bit; stackEnd is the end of kMirrorStackBytes of scratch memory,
// which is filled downwards. A record without the mirror-enable bit, of
// another kind, or that cannot be mirrored safely stays exactly as it was.
// A compression other than BI_RGB and BI_RLE8 only toggles the bit.
void MirrorSpriteImage(HSPRITEDATA image, BYTE *stackEnd);

// Mirroring on demand, as every drawing path does it before anything else:
// a mirror-enabled DI record whose mirrored bit differs from (mirror != 0)
// is mirrored in place through vekFlipSprite. Other records, and records
// whose header does not fit their block, stay as they are.
void mirrorOnDemand(HSPRITEDATA image, LONG mirror);

}  // namespace vek
