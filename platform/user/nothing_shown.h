// Warnings, on the user trace channel, of windows that silently show
// nothing.
//
// The platform cannot see what a program means to draw, only what reaches a
// window. So it watches the windows whose DC the program has taken (GetDC,
// BeginPaint) and looks at them at each turn of their thread's message loop
// (a PeekMessageA that finds nothing, a GetMessageA), when one is destroyed
// and when its picture is saved. It warns, once a window, of
// - a visible window with a client area in which nothing has been drawn
//   (erasing with the class brush does not count) after kIdleTurns turns,
//   or at its end: the black window. With vekkit
//   that is most often a sprite context whose playfield is empty (no
//   background image and a background size of 0 x 0): every update then
//   composes nothing, so no drawing call reaches the window at all;
// - a window drawn into while it is not visible;
// - a window without client area, in which nothing drawn can be seen.
// With the channel off nothing is looked at or kept.
#pragma once

#include <windows.h>

#include "debug/channel.h"

namespace vek::user {

// About a second of frames.
constexpr int kIdleTurns = 60;

void watchDC(HWND window);
void lookAtIdleWindows();
void lookAtLastTime(HWND window, const char *moment);
bool drawnIn(HWND window);
void setDrawnIn(HWND window, bool drawn);

// A DC of window was taken: the window is watched from now on.
inline void noteDCTaken(HWND window)
{
    if (debug::on(debug::Channel::user)) watchDC(window);
}

// The calling thread's message loop found nothing to do: one more turn for
// its windows.
inline void noteIdleTurn()
{
    if (debug::on(debug::Channel::user)) lookAtIdleWindows();
}

// Erasing with the class brush is not drawing by the program: a window
// only erased still shows nothing of the game. Returns what to give
// noteErased after the erase.
inline bool noteErasing(HWND window)
{
    return debug::on(debug::Channel::user) && drawnIn(window);
}
inline void noteErased(HWND window, bool drawnBefore)
{
    if (debug::on(debug::Channel::user)) setDrawnIn(window, drawnBefore);
}

// The last look at a window before it goes or its picture is taken; moment
// says which ("before it was destroyed").
inline void noteLastLook(HWND window, const char *moment)
{
    if (debug::on(debug::Channel::user)) lookAtLastTime(window, moment);
}

}  // namespace vek::user
