// The raster engine: ternary raster operations on a rectangle of a surface.
//
// Every drawing call ends here once it has checked its arguments and clipped
// its rectangles: the destination rectangle lies inside the destination
// surface and every source pixel that the axes name lies inside the source.
// Pixels reach the formats only through their PixelFormat entries.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gdi/color.h"
#include "gdi/stretch.h"
#include "gdi/surface.h"

namespace vek::gdi {

// Operand use of a ternary raster operation (the high word's low byte).
inline uint8_t ropCode(DWORD rop) { return static_cast<uint8_t>(rop >> 16); }
inline bool ropUsesSource(uint8_t code) { return ((code >> 2) ^ code) & 0x33; }
inline bool ropUsesPattern(uint8_t code) { return ((code >> 4) ^ code) & 0x0F; }
inline bool ropUsesDest(uint8_t code) { return ((code >> 1) ^ code) & 0x55; }

// Where the source pixels of a raster operation come from: destination pixel
// (columns.first + i, rows.first + j) reads source pixel (columns.at(i),
// rows.at(j)).
struct RasterSource {
    const Surface *surface = nullptr;
    const Translation *translation = nullptr;
    Axis columns;
    Axis rows;
    // Optional, with 1:1 axes only: one byte per source pixel, rows of
    // surface->width bytes; where it is 0 the destination pixel is left alone.
    const BYTE *mask = nullptr;

    RECT rect() const
    {
        return RECT{columns.first, rows.first, columns.first + columns.count, rows.first + rows.count};
    }
};

// Applies rop to rect of dst with the source (may be null when the
// operation does not read one; else rect is src->rect()) and the pattern's
// raw value.
void rasterOp(Surface &dst, const RECT &rect, const RasterSource *src, uint32_t pattern, DWORD rop);

}  // namespace vek::gdi
