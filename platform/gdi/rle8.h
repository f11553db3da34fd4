// Decoding of BI_RLE8 bitmap data.
#pragma once

#include <windows.h>

#include <vector>

#include "gdi/surface.h"

namespace vek::gdi {

// Decodes size bytes of BI_RLE8 data into an 8-bit top-down surface of
// out.width x out.height (whose pixels must be zero), and sets mask (one
// byte per pixel, rows of out.width) to 1 where a pixel was written: pixels
// passed over by deltas and line ends stay 0 and unmarked. Decoding stops at the end of the bitmap,
// at the end of the data, or above the top row; runs are cut at the right
// edge.
void decodeRle8(const BYTE *data, size_t size, Surface &out, std::vector<BYTE> &mask);

}  // namespace vek::gdi
