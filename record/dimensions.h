// The width and height of a sprite image record of any kind.
#pragma once

#include <vekkit/records.h>

namespace vek {

// A DD record measures its image bitmap (each side cut to 16 bits), a
// composite record its bounds (right - left, bottom - top; a size beyond the
// 32-bit range stops at its end), a DI record its header's biWidth and
// biHeight. Stores them through the non-null pointers and returns them
// packed: height in the high and width in the low 16 bits.
DWORD spriteDimensions(HSPRITEDATA image, LONG *width, LONG *height);

}  // namespace vek
