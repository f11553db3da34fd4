// The raster engine: ternary raster operations on a rectangle of a surface.
//
// Every drawing call ends here once it has checked its arguments and clipped
// its rectangles: the destination rectangle lies inside the destination
// surface and every source pixel that the maps name lies inside the source.
// Pixels reach the formats only through their PixelFormat rows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gdi/color.h"
#include "gdi/surface.h"

namespace vek::gdi {

// Operand use of a ternary raster operation (the high word's low byte).
inline uint8_t ropCode(DWORD rop) { return static_cast<uint8_t>(rop >> 16); }
inline bool ropUsesSource(uint8_t code) { return ((code >> 2) ^ code) & 0x33; }
inline bool ropUsesPattern(uint8_t code) { return ((code >> 4) ^ code) & 0x0F; }
inline bool ropUsesDest(uint8_t code) { return ((code >> 1) ^ code) & 0x55; }

// Where the source pixels of a raster operation come from. Destination
// column rect.left + i reads source column columns[i], or x0 + i when
// columns is null; rows likewise.
struct RasterSource {
    const Surface *surface = nullptr;
    const Translation *translation = nullptr;
    int x0 = 0;
    int y0 = 0;
    const std::vector<int> *columns = nullptr;
    const std::vector<int> *rows = nullptr;
    // Optional: one byte per source pixel, rows of surface->width bytes;
    // where it is 0 the destination pixel is left alone.
    const std::vector<BYTE> *mask = nullptr;
};

// Applies rop to rect of dst with the source (may be null when the
// operation does not read one) and the pattern's raw value.
void rasterOp(Surface &dst, const RECT &rect, const RasterSource *src, uint32_t pattern, DWORD rop);

}  // namespace vek::gdi
