// GDI services for the window manager (User): the pixels behind windows, the
// DCs that draw into them, and brushes of the system colours. These take the
// GDI lock themselves; User calls them without holding it.
#pragma once

#include <windows.h>

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

// The display's size in pixels.
SIZE displaySize();

// A solid brush that DeleteObject leaves alone, as the system colour
// brushes are.
HBRUSH makeSystemBrush(COLORREF color);

}  // namespace vek::gdi
