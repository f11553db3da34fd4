// PNG files through libpng.
#pragma once

#include "picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vektool {

// Sides and pixel counts beyond these are refused as damage: a sprite image
// is at most 32767 pixels wide and high, and no asset needs more pixels.
constexpr uint64_t kMaxPixels = 1u << 26;

// A PNG file of any colour type and depth. Palette images stay indexed (their
// transparency chunk gives the alpha of each index); all others become
// 8-bit RGBA. Throws Failure naming shownAs for a damaged file.
Picture readPng(const std::vector<uint8_t> &bytes, const std::string &shownAs);

// Writes picture to path: an 8-bit palette image with the transparency of
// its indices when indexed, else 8-bit RGBA.
void writePng(const std::string &path, const std::string &shownAs, const Picture &picture);

// Width, height, bit depth, colour type and interlacing of a PNG file, for
// vektool info; throws Failure when the header cannot be read.
struct PngHeader {
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0, paletteSize = 0;
    bool transparency = false;
};
PngHeader readPngHeader(const std::vector<uint8_t> &bytes, const std::string &shownAs);

}  // namespace vektool
