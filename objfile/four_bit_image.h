// Four-bit images of sprite image records of at most 16 colours (internal):
// the form in which object files store such records compactly.
#pragma once

#include <windows.h>

namespace vek {

// A record's pixels as four-bit values and the colour each value stands for.
struct FourBitImage {
    BYTE *block;       // the four-bit image block (a locked block), null for one colour
    DWORD length;      // its length, size field included
    BYTE colours[16];  // colours[n]: the colour index that value n stands for
    unsigned count;    // distinct colours met: 0 (no pixels) to 16
};

// Builds the four-bit image of the DI record of total bytes at record. False
// when the record has a 17th colour, its rows do not lie inside it, or memory
// runs out; nothing is left allocated then. For exactly one colour no block
// is made. The caller frees out.block with freeLocked.
bool MakeFourBitImage(const BYTE *record, DWORD total, FourBitImage &out);

// Turns the record R (a locked block of total bytes whose size field is
// total - 4) into the 8-bit image that the four-bit block D (dLength bytes,
// at least 58) describes with colours (16 entries for h >= 22, else 1: every
// pixel is colours[0]). R is enlarged by 512 bytes when its pixels would not
// fit behind a 1078-byte header; then its address changes. Returns R's
// address, or null with R untouched when D's rows lie outside D or R cannot
// hold the image.
BYTE *ExpandFourBitImage(const BYTE *d, DWORD dLength, BYTE *r, DWORD total, const BYTE *colours, unsigned h);

}  // namespace vek
