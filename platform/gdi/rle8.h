// Decoding of BI_RLE8 bitmap data.
#pragma once

#include <windows.h>

#include <vector>

#include "gdi/surface.h"

namespace vek::gdi {

// Decodes size bytes of BI_RLE8 data of an image `rows` rows high, keeping
// the window of it that out covers: image columns origin.x .. origin.x +
// out.width - 1 and image rows (counted from the top) origin.y .. origin.y +
// out.height - 1. out is an 8-bit top-down surface whose pixels are zero;
// mask (one byte per pixel of out, rows of out.width) becomes 1 where a
// pixel was written: pixels passed over by deltas and line ends stay 0 and
// unmarked. Decoding stops at the end of the bitmap, at the end of the data,
// or above the window; runs are cut at the window's right edge.
void decodeRle8(const BYTE *data, size_t size, int rows, POINT origin, Surface &out, std::vector<BYTE> &mask);

}  // namespace vek::gdi
