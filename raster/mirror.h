// In-place mirroring of DI sprite images, behind vekFlipSprite and every
// drawing path's mirroring on demand.
#pragma once

#include <vekkit/records.h>

#include <cstddef>

#include "record/record_view.h"

namespace vek {

// Size of the scratch stack of one mirroring: it holds the tokens of one RLE
// row, so longer rows are refused.
constexpr size_t kMirrorStackBytes = 8192;

// Mirrors a mirror-enabled DI record left to right in place and toggles its
// mirrored bit (in the record and in its view); stackEnd is the end of
// kMirrorStackBytes of scratch memory, which is filled downwards. A record
// without the mirror-enable bit, of another kind, or that cannot be mirrored
// safely stays exactly as it was. A compression other than BI_RGB and
// BI_RLE8 only toggles the bit.
void MirrorSpriteImage(RecordView &image, BYTE *stackEnd);

// Mirroring on demand, as every drawing path does it before anything else:
// a readable, mirror-enabled DI record whose mirrored bit differs from
// (mirror != 0) is mirrored in place. The library keeps one scratch stack
// for it, used from one thread at a time like the library's other working
// storage, so drawing allocates nothing.
void mirrorOnDemand(RecordView &image, LONG mirror);

}  // namespace vek
