// Palettes: the 256 colours through which sprite images, whose pixels are
// palette indices, are matched and shown. They come from palette files
// (JASC-PAL text files, Microsoft RIFF palettes), from pictures, or are the
// default one.
//
//   JASC-PAL:  lines "JASC-PAL", "0100", the number of colours (1 to 256),
//              then one "red green blue" line per colour, 0 to 255 each
//   RIFF PAL:  "RIFF", u32 size, "PAL ", then chunks of a 4-byte name, u32
//              length and data padded to even length; the "data" chunk holds
//              u16 version (0x0300), u16 count (1 to 256) and count entries
//              of red, green, blue, flags
#pragma once

#include "picture.h"

#include <optional>
#include <string>

namespace vektool {

// The palette of a palette file or a picture file (as paletteOf gives it);
// entries a file does not hold are black. Throws Failure naming path.
Palette readPaletteFile(const std::string &path);

// A picture's own palette: its palette when indexed, else its colours
// (transparent pixels' too) in the order they first appear, top row first,
// when there are at most 256.
// Throws Failure naming shownAs for more colours.
Palette paletteOf(const Picture &picture, const std::string &shownAs);

// A colour written "#rrggbb" (hexadecimal) or "r,g,b" (0 to 255 each); none
// for anything else.
std::optional<Rgb> parseColour(const std::string &text);

// The palette used when none is given: the 20 static colours of a palette
// display at indices 0 to 9 and 246 to 255, a 6 x 6 x 6 colour cube at 10 to
// 225 and 20 greys at 226 to 245.
Palette defaultPalette();

}  // namespace vektool
