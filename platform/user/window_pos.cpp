// Window rectangles: reading them, moving and sizing windows, converting
// between client and screen coordinates.
//
// SetWindowPos sends WM_WINDOWPOSCHANGING (the procedure may change the
// WINDOWPOS) and WM_WINDOWPOSCHANGED, on which DefWindowProcA sends WM_MOVE
// and WM_SIZE. A new client size gives the window a new client surface
// that keeps the pixels of the part both sizes share.
#include <windows.h>

#include <algorithm>

#include "gdi/user_services.h"
#include "present/presentation.h"
#include "user/geometry.h"
#include "user/user_state.h"

using namespace vek::user;

BOOL WINAPI GetClientRect(HWND window, LPRECT rect)
{
    VEKHOST_CALL(Channel::user, window, rect);
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
    if (!rect) return fail(ERROR_INVALID_PARAMETER, FALSE);
    *rect = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect)
{
    VEKHOST_CALL(Channel::user, window, rect);
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
    if (!rect) return fail(ERROR_INVALID_PARAMETER, FALSE);
    // The window rectangle is kept in its parent's client coordinates.
    POINT origin{0, 0};
    if (const Window *p = findWindow(w->parent)) origin = clientOrigin(*p);
    *rect = w->rect;
    OffsetRect(rect, origin.x, origin.y);
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    VEKHOST_CALL(Channel::user, window, insertAfter, x, y, width, height, flags);
    WINDOWPOS pos;
    bool repaint = false;
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
        if (flags & SWP_NOMOVE) {
            x = w->rect.left;
            y = w->rect.top;
        }
        if (flags & SWP_NOSIZE) {
            width = w->rect.right - w->rect.left;
            height = w->rect.bottom - w->rect.top;
        }
        pos = WINDOWPOS{window, insertAfter, x, y, width, height, flags};
    }
    if (!(flags & SWP_NOSENDCHANGING)) SendMessageA(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
        const int cx = std::clamp(pos.cx, 0, 16384), cy = std::clamp(pos.cy, 0, 16384);
        const int px = std::clamp(pos.x, -131072, 131072), py = std::clamp(pos.y, -131072, 131072);
        const RECT rect{px, py, px + cx, py + cy};
        const RECT client = clientOf(rect, w->style, w->exStyle);
        const int cw = client.right - client.left, ch = client.bottom - client.top;
        const bool resized = cw != w->surface->width || ch != w->surface->height;
        if (resized && !vek::gdi::resizeWindowSurface(*w->surface, cw, ch))
            return fail(ERROR_NOT_ENOUGH_MEMORY, FALSE);
        w->rect = rect;
        w->client = client;
        // A window shown or resized is painted again as a whole.
        repaint = !(pos.flags & SWP_NOREDRAW) && (((pos.flags & SWP_SHOWWINDOW) && !w->visible) || resized);
        if (pos.flags & SWP_SHOWWINDOW) {
            w->visible = true;
            w->style |= WS_VISIBLE;
        }
        if (pos.flags & SWP_HIDEWINDOW) {
            w->visible = false;
            w->style &= ~static_cast<DWORD>(WS_VISIBLE);
        }
    }
    vek::present::windowChanged(window);
    SendMessageA(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (repaint) invalidate(window, nullptr, true);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    VEKHOST_CALL(Channel::user, window, x, y, width, height, repaint);
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle)
{
    VEKHOST_CALL(Channel::user, rect, style, menu, exStyle);
    if (!rect) return fail(ERROR_INVALID_PARAMETER, FALSE);
    const RECT in = frameInsets(style, exStyle);
    rect->left -= in.left;
    rect->top -= in.top + (menu ? systemMetric(SM_CYMENU) : 0);
    rect->right += in.right;
    rect->bottom += in.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu)
{
    return AdjustWindowRectEx(rect, style, menu, 0);
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point)
{
    VEKHOST_CALL(Channel::user, window, point);
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
    if (!point) return fail(ERROR_INVALID_PARAMETER, FALSE);
    const POINT origin = clientOrigin(*w);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND window, LPPOINT point)
{
    VEKHOST_CALL(Channel::user, window, point);
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
    if (!point) return fail(ERROR_INVALID_PARAMETER, FALSE);
    const POINT origin = clientOrigin(*w);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int WINAPI GetSystemMetrics(int index)
{
    return systemMetric(index);
}
