// Window geometry: frames, client areas and coordinate spaces.
//
// A window's frame is drawn by no one here (windows are headless) but keeps
// its size, so that client and window rectangles relate as on Windows:
// a thick frame is 4 pixels, a dialog frame (WS_DLGFRAME, or a caption
// without a thick frame) 3, a plain border 1, a client edge adds 2, a
// caption 19 at the top.
#pragma once

#include <windows.h>

#include "user/user_state.h"

namespace vek::user {

// How far the client area sits inside the window rectangle on each side.
RECT frameInsets(DWORD style, DWORD exStyle);

// The client rectangle of a window rectangle.
RECT clientOf(const RECT &window, DWORD style, DWORD exStyle);

// Screen position of a window's client origin; the lock must be held.
POINT clientOrigin(const Window &w);

// The value of a system metric (GetSystemMetrics).
int systemMetric(int index);

}  // namespace vek::user
