// Windows on a live display: how they look, and what the display does to
// them (activation, closing, moving, minimising), as sent messages.
//
// Activation sends, as Windows does, WM_ACTIVATEAPP (TRUE), WM_ACTIVATE
// (WA_ACTIVE) and WM_SETFOCUS; deactivation WM_ACTIVATE (WA_INACTIVE),
// WM_ACTIVATEAPP (FALSE) and WM_KILLFOCUS.
#include <windows.h>

#include "user/live_display.h"

namespace vek::user {

bool windowLook(HWND window, WindowLook &look)
{
    Lock lock;
    const Window *w = findWindow(window);
    if (!w) return false;
    look.shown = w->visible && !(w->style & WS_CHILD);
    look.caption = (w->style & WS_CAPTION) == WS_CAPTION;
    look.client = SIZE{w->client.right - w->client.left, w->client.bottom - w->client.top};
    look.title = w->text;
    look.surface = w->surface;
    return true;
}

void focusEvent(HWND window, bool gained)
{
    if (gained) {
        SendNotifyMessageA(window, WM_ACTIVATEAPP, TRUE, 0);
        SendNotifyMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0);
        SendNotifyMessageA(window, WM_SETFOCUS, 0, 0);
    } else {
        SendNotifyMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
        SendNotifyMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
        SendNotifyMessageA(window, WM_KILLFOCUS, 0, 0);
    }
}

void closeEvent(HWND window)
{
    SendNotifyMessageA(window, WM_CLOSE, 0, 0);
}

void moveEvent(HWND window, POINT origin)
{
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w || (w->style & WS_CHILD)) return;
        const LONG dx = origin.x - w->client.left, dy = origin.y - w->client.top;
        if (!dx && !dy) return;
        OffsetRect(&w->rect, dx, dy);
        OffsetRect(&w->client, dx, dy);
    }
    SendNotifyMessageA(window, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
}

void minimizeEvent(HWND window, bool minimized)
{
    SIZE client;
    {
        Lock lock;
        const Window *w = findWindow(window);
        if (!w) return;
        client = SIZE{w->client.right - w->client.left, w->client.bottom - w->client.top};
    }
    if (minimized)
        SendNotifyMessageA(window, WM_SIZE, SIZE_MINIMIZED, 0);
    else
        SendNotifyMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx, client.cy));
}

}  // namespace vek::user
