// The presentation's back ends: what shows top-level windows on a live
// display and brings its input in (as the events of user/live_display.h).
//
// A back end is made and used by the presentation's thread only; wake() is
// the one call made from other threads.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "user/live_display.h"

namespace vek::present {

class Backend {
public:
    virtual ~Backend() = default;

    // The desktop's size in pixels, and its refresh rate in hertz (0 when
    // not known).
    virtual SIZE desktopSize() = 0;
    virtual int refreshRate() = 0;

    // Every pixel of a window is shown as scale x scale pixels of the
    // display, and display points map back to the pixel under them. Set
    // before the first window.
    virtual void setScale(int scale) = 0;

    // Shows a window as it looks: makes its display window on the first
    // call, brings size and title across on later ones. A new or resized
    // window's pixels are undefined until updated. False, with the reason
    // in why, when the display window or what draws it cannot be made.
    virtual bool show(HWND window, const user::WindowLook &look, std::string &why) = 0;

    // Takes a window off the display.
    virtual void remove(HWND window) = 0;

    // The window's display pixels of rect (client coordinates, inside its
    // client area), to be written whole as 0xFFRRGGBB values, rows pitch
    // values apart; endUpdate hands them to the display. Null when they
    // cannot be had (endUpdate is then not called).
    virtual uint32_t *beginUpdate(HWND window, const RECT &rect, ptrdiff_t &pitch) = 0;
    virtual void endUpdate(HWND window) = 0;

    // Shows a window's pixels as updated so far.
    virtual void present(HWND window) = 0;

    // Waits at most timeoutMs milliseconds (negative: until something comes)
    // for the display's events and delivers them; wake() ends the wait.
    virtual void pump(int timeoutMs) = 0;
    virtual void wake() = 0;
};

// The SDL2 back end (libSDL2 opened at run time, so that vekhost runs
// without it), or null with the reason in why.
std::unique_ptr<Backend> openSdlBackend(std::string &why);

}  // namespace vek::present
