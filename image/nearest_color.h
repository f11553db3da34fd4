// The nearest palette colour: the search behind every colour mapping of the
// library (fix-ups, dithering, cels).
#pragma once

#include <windows.h>

namespace vek {

// Palette index reserved for transparency: composite canvases and expanded
// run-length images use it as their background, so colour mapping never
// produces it and dithering leaves it alone.
constexpr BYTE kTransparentIndex = 8;

// Whether the search may answer with kTransparentIndex.
enum class Transparent { Excluded, Candidate };

// The index of palette (256 entries; the flags bytes are not read) at the
// smallest squared RGB distance from (red, green, blue); of several at that
// distance, the lowest.
BYTE nearestColor(const PALETTEENTRY *palette, BYTE red, BYTE green, BYTE blue, Transparent transparent);

}  // namespace vek
