// Solid fills of sprite images and the library-wide fill brush origin.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vek {

// Sets the fill brush origin: the window position of the rectangle that the
// next DD fill paints, so that its brush pattern lines up with the window.
// Kept as one 32-bit value, x in the low and y in the high 16 bits; the
// frame update sets it before it fills a DD off-screen image. Only the low
// 16 bits of each coordinate are kept, so any sum of coordinates will do.
void setFillBrushOrigin(int64_t x, int64_t y);

}  // namespace vek
