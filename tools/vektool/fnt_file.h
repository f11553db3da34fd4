// The header of a raster font file (FNT), as vektool info shows it and as
// vektool text checks it before the library draws with the font:
//
//   0   u16 version (0x0200 or 0x0300; the library draws 0x0300)
//   2   u32 file size          6  60 bytes copyright
//   88  u16 pixel height       91 u16 average width    93 u16 maximum width
//   95  u8 first character     96 u8 last character
//   97  u8 default character, counted from the first
//   105 u32 offset of the face name
//   148 on (118 on in version 2.00): the character table
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vektool {

struct FntHeader {
    unsigned version = 0, height = 0, averageWidth = 0, maxWidth = 0;
    unsigned first = 0, last = 0, defaultChar = 0;
    std::string copyright, face;
};

bool looksLikeFnt(const std::vector<uint8_t> &bytes);

// Throws Failure naming shownAs when bytes are not a raster font file.
FntHeader readFntHeader(const std::vector<uint8_t> &bytes, const std::string &shownAs);

}  // namespace vektool
