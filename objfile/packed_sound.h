// The packed-sound decoder (internal), behind storage method 4 of object
// files. The format is described in packed_sound.cpp.
#pragma once

#include <windows.h>

namespace vek {

// Expands packed sound into 8-bit samples. src holds srcLength bytes: the
// block length K, the first sample and the codes (the part of a packed
// payload after its 48 header bytes). Writes at most count samples to dst and
// returns how many it wrote. Decoding ends when the codes have counted
// exactly count samples, when src is used up, or after a code that counts
// past count (decoded as far as dst has room); dst past the samples written
// is left as it was.
DWORD DecodePackedSound(const BYTE *src, DWORD srcLength, BYTE *dst, DWORD count);

}  // namespace vek
