// Pictures brought onto the palette of the sprite images, through the
// library's nearest-colour search (vekGetNearestColor) or its error
// diffusion (ditherdib), both in a sprite context that holds the palette.
#pragma once

#include "picture.h"
#include "sprite_record.h"

#include <optional>
#include <string>

namespace vektool {

struct MatchOptions {
    Palette palette{};
    bool dither = false;
    // Pixels of this index (indexed pictures) or colour are transparent, as
    // are pixels of alpha below 128 unless alpha is ignored.
    std::optional<int> transparentIndex;
    std::optional<Rgb> transparentColour;
    bool ignoreAlpha = false;
    // The result needs a key index even without transparent pixels (an RLE
    // image takes every pixel of its key for transparent).
    bool needKey = false;
};

// The picture in indices of options.palette, its transparent pixels all of
// one key index:
// - an indexed picture whose colours are the palette's at every index it
//   uses keeps its indices; the key is its lowest transparent index;
// - a picture whose colours are all in the palette takes the lowest index
//   of each colour; the key is index 8 (or another) when no colour uses it;
// - any other picture is matched colour by colour, or dithered along its
//   rows; the key is index 8, the library's transparent index, which
//   matching never yields.
// Throws Failure naming shownAs when no index is left for the key.
IndexedImage matchColours(const Picture &picture, const MatchOptions &options, const std::string &shownAs);

}  // namespace vektool
