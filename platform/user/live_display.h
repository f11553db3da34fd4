// The window manager's side of a live display: what the presentation needs
// to know of a window, and the input and window events of the display,
// turned into the messages Win32 delivers for them.
//
// The event calls are made by the presentation's thread, in the order the
// events happened, with no lock held; each reaches the window's own thread
// through its message queue: keyboard and mouse input as input messages
// (read after posted messages, and the only ones that change GetKeyState),
// activation, focus, closing, moves and sizes as sent messages, which the
// window's thread answers when it next reads its queue.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gdi/surface.h"
#include "user/user_state.h"

namespace vek::user {

// How a top-level window looks on a live display.
struct WindowLook {
    bool shown = false;    // a visible top-level window
    bool caption = false;  // it has a title bar (WS_CAPTION)
    SIZE client{};         // client size in pixels
    std::string title;     // UTF-8
    std::shared_ptr<gdi::Surface> surface;  // its client pixels
};

// The look of a window; false when the window does not exist.
bool windowLook(HWND window, WindowLook &look);

// A key as Win32 names it: its virtual key, its scan code (set 1) and
// whether it is an extended key (the right-hand Ctrl and Alt, the
// navigation block, the arrows, ...).
struct Key {
    BYTE vk;
    BYTE scan;
    bool extended;
};

// A key went down (repeat: again, held down) or up: WM_KEYDOWN, WM_KEYUP or,
// while Alt is held, WM_SYSKEYDOWN and WM_SYSKEYUP. typed (UTF-8, may be
// null) is the text the press typed, which TranslateMessage of its
// WM_KEYDOWN turns into WM_CHAR messages.
void keyEvent(HWND window, Key key, bool down, bool repeat, const char *typed);

// Text typed without a key press of its own (an input method's): WM_CHAR,
// one message per byte of the UTF-8 text (the hosted ANSI code page).
void textEvent(HWND window, const char *utf8);

// The mouse moved to, or a button (VK_LBUTTON, VK_RBUTTON, VK_MBUTTON) went
// down or up at, a point in client coordinates.
void mouseMoveEvent(HWND window, POINT client);
void mouseButtonEvent(HWND window, BYTE button, bool down, POINT client);

// The window got or lost the keyboard focus: activation and focus messages.
void focusEvent(HWND window, bool gained);

// The user asked to close the window: WM_CLOSE.
void closeEvent(HWND window);

// The window's client area now starts at origin on the screen: WM_MOVE.
void moveEvent(HWND window, POINT origin);

// The window was minimised or restored: WM_SIZE.
void minimizeEvent(HWND window, bool minimized);

// Updates a queue's key state for an input message its thread read; the
// queue's lock is held.
void noteInputRead(MessageQueue &q, const MSG &m);

// The characters TranslateMessage makes of a key message, when a live
// display recorded what it typed; the queue's lock is held.
bool takeTypedText(MessageQueue &q, const MSG &key, std::string &text);

}  // namespace vek::user
