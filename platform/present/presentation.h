// The presentation: how windows get onto a live display. GDI and User tell
// it what changed; it shows it, on a thread of its own, through a back end
// (backend.h). Headless, every call here returns at once.
//
// GDI calls these with its lock held, User without its lock: they take
// only the presentation's own lock, which is never held while GDI or User
// is called.
#pragma once

#include <windows.h>

namespace vek::present {

// Drawing changed rect (client coordinates) of a window's client pixels.
void windowDrawn(HWND window, const RECT &rect);

// The colours of the system palette changed: every window shows anew.
void paletteChanged();

// A window was shown, hidden, sized, titled or destroyed. The first
// top-level window to become visible chooses the back end.
void windowChanged(HWND window);

// Shows what was drawn so far at once and returns when it is shown.
void flush();

}  // namespace vek::present
