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

// The nearest-colour search over one palette (256 entries; the flags bytes
// are not read): the index at the smallest squared RGB distance from a
// colour; of several at that distance, the lowest.
//
// Made once for a run of queries over a palette that does not change during
// the run (one colour map, one dithering pass). It works through the
// calling thread's cache of the last palette searched, which it brings up to
// date with the palette's entries as they are when it is made: only one may
// be in use at a time on a thread.
class NearestColors {
public:
    explicit NearestColors(const PALETTEENTRY *palette);
    BYTE find(BYTE red, BYTE green, BYTE blue, Transparent transparent);

private:
    struct Cache;
    Cache &cache_;
};

}  // namespace vek
