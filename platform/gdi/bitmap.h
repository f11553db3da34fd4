// Bitmap creation shared by the bitmap calls.
#pragma once

#include <windows.h>

#include "gdi/objects.h"

namespace vek::gdi {

// A new bitmap in the format of the DC's compatible bitmaps: display format
// for window and screen DCs; for a memory DC the format of the bitmap it
// holds (monochrome for a fresh one, a DIB section like the one it holds).
// Null with the error set when the size is not possible.
HBITMAP compatibleBitmap(const DC &dc, int width, int height);

}  // namespace vek::gdi
