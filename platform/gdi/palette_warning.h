// A warning, on the gdi trace channel, of palette indices drawn into a
// window through the default palette.
//
// On a palette display, indices given with DIB_PAL_COLORS mean entries of the
// DC's palette. A window DC without the program's palette selected (a fresh
// GetDC, or a WM_PAINT handler that forgot SelectPalette and RealizePalette)
// maps them through the 20-colour default palette: the picture shows black or
// in the wrong colours, and nothing fails. Warned once a window.
#pragma once

#include <windows.h>

#include "debug/channel.h"
#include "gdi/objects.h"

namespace vek::gdi {

// The lock is held.
void warnDefaultPalette(const DC &dc, const char *call);

// dc is about to draw palette indices given with usage; the lock is held.
inline void notePaletteIndices(const DC &dc, UINT usage, const char *call)
{
    if (usage == DIB_PAL_COLORS && debug::on(debug::Channel::gdi)) warnDefaultPalette(dc, call);
}

}  // namespace vek::gdi
