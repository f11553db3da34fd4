// The display device: its mode, the system palette and the screen surface.
//
// A palette display (8 bits per pixel) has a 256-entry system palette whose
// first and last ten entries hold the 20 static colours; the 236 entries in
// between are given to logical palettes when they are realised. Displays of
// 15 (reported as 16), 16, 24 and 32 bits per pixel have no palette: their
// pixels hold colours.
#pragma once

#include "gdi/objects.h"

namespace vek::gdi {

// The static colours in order: system palette entries 0-9, then 246-255.
extern const PALETTEENTRY kStaticColors[20];

// System palette entry of static colour i (0..19).
constexpr int staticEntry(int i) { return i < 10 ? i : 236 + i; }

inline bool paletteDisplay(const Display &d) { return d.bitsPerPixel == 8; }

// How the display's pixels hold colours.
inline ColorKind displayColors(const Display &d) { return paletteDisplay(d) ? ColorKind::Device : ColorKind::Rgb; }

// Puts the static colours in place and frees the other entries.
void resetSystemPalette(Display &d);

// A new zero-filled surface in the display's format.
std::shared_ptr<Surface> makeDisplaySurface(int width, int height);

// The screen's pixels, made on first use in the current mode.
std::shared_ptr<Surface> screenSurface();

}  // namespace vek::gdi
