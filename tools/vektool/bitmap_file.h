// Bitmap files (.bmp): uncompressed images of 1, 4, 8, 24 and 32 bits per
// pixel with a BITMAPINFOHEADER (or a later, longer header) are read; 8-bit
// files with a 256-colour table are written, the form the library's bitmap
// loaders and cel makers take.
//
//   0    BITMAPFILEHEADER: "BM", u32 file size, 2 x u16 reserved,
//        u32 offset of the pixels
//   14   BITMAPINFOHEADER: u32 header size, i32 width, i32 height (negative:
//        rows top first), u16 planes, u16 bits per pixel, u32 compression,
//        u32 image size, 2 x i32 resolution, u32 colours used, u32 important
//   14 + header size: colour table, 4 bytes (blue, green, red, 0) an entry
//   offset: rows of ((width x bits + 31) / 32) x 4 bytes, bottom row first
#pragma once

#include "picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vektool {

struct BitmapHeader {
    int32_t width = 0, height = 0;
    unsigned bitCount = 0, compression = 0, colours = 0;
    uint32_t pixelOffset = 0;
};

// The headers of a bitmap file, checked to lie inside it; throws Failure
// naming shownAs when they do not.
BitmapHeader readBitmapHeader(const std::vector<uint8_t> &bytes, const std::string &shownAs);

// The picture of an uncompressed bitmap file; throws Failure for other
// compressions, damaged files and sides beyond kMaxSide.
Picture readBitmapFile(const std::vector<uint8_t> &bytes, const std::string &shownAs);

// An 8-bit bitmap file of an indexed picture (its alphas are not kept).
std::vector<uint8_t> bitmapFileOf(const Picture &picture);

}  // namespace vektool
