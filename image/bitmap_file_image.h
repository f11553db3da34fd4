// Checks of bitmap file images held in memory (internal).
#pragma once

#include <windows.h>

namespace vek {

// The parts of a bitmap file image: BITMAPFILEHEADER at byte 0, the
// BITMAPINFO (header and colour table) at byte 14, pixels at bfOffBits.
struct BitmapFileImage {
    const BITMAPINFO *info = nullptr;
    const BYTE *pixels = nullptr;
};

// Reads the image of size bytes at image. False unless the headers, the
// colour table and every pixel byte that the headers describe lie inside it
// (an uncompressed image: all its rows; a run-length encoded one: biSizeImage
// bytes), so that the platform can draw or convert it without reading past
// the block.
bool readBitmapFileImage(const BYTE *image, SIZE_T size, BitmapFileImage &out);

}  // namespace vek
