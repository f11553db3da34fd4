// GDI services for the window manager (User) and the presentation: the
// pixels behind windows, the DCs that draw into them, the colours they show,
// and brushes of the system colours. These take the GDI lock themselves;
// callers hold no lock of User's or the presentation's.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gdi/surface.h"

namespace vek::gdi {

// A zero-filled client surface in the display's format (a window counts as
// existing for vekhostSetScreen until destroyWindowSurface). Null when the
// size is not possible.
std::shared_ptr<Surface> createWindowSurface(int width, int height);
void destroyWindowSurface();

// Gives a window surface a new size, keeping the pixels that both sizes share.
bool resizeWindowSurface(Surface &s, int width, int height);

// A DC drawing into a window's client surface; with a null window, the
// screen DC. Null (with the error set) when the handle table is full.
HDC createWindowDC(HWND window, const std::shared_ptr<Surface> &surface);

// Deletes a DC made by createWindowDC for that window; false for any other DC.
bool releaseWindowDC(HWND window, HDC dc);

// The colours of a surface's pixels as shown now (8-bit ones through the
// system palette): 3 bytes (red, green, blue) per pixel, rows top first, and
// the size they have.
std::vector<BYTE> surfaceRgb(const Surface &s, int &width, int &height);

// The colours that rect of a surface shows now, as 0xFFRRGGBB values, rows
// of out pitch values apart, rect's top-left pixel at out[0]. Pixels of
// rect outside the surface (a window resized meanwhile) come out black.
void shownPixels(const Surface &s, const RECT &rect, uint32_t *out, ptrdiff_t pitch);

// The display's size in pixels.
SIZE displaySize();

// A solid brush that DeleteObject leaves alone, as the system colour
// brushes are.
HBRUSH makeSystemBrush(COLORREF color);

}  // namespace vek::gdi
