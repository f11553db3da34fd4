// DefWindowProcA: what a window does with the messages its procedure leaves.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "present/presentation.h"
#include "user/nothing_shown.h"
#include "user/user_state.h"

using namespace vek::user;

namespace {

void setText(HWND window, LPCSTR text)
{
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return;
        w->text = text ? text : "";
    }
    vek::present::windowChanged(window);
}

}  // namespace

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        const auto *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) setText(window, cs->lpszName);
        return TRUE;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SETTEXT:
        setText(window, reinterpret_cast<LPCSTR>(lParam));
        return TRUE;
    case WM_GETTEXT: {
        auto *out = reinterpret_cast<LPSTR>(lParam);
        if (!out || wParam == 0) return 0;
        Lock lock;
        const Window *w = findWindow(window);
        if (!w) return 0;
        const size_t n = std::min(w->text.size(), static_cast<size_t>(wParam) - 1);
        std::memcpy(out, w->text.data(), n);
        out[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: {
        Lock lock;
        const Window *w = findWindow(window);
        return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    case WM_WINDOWPOSCHANGED: {
        // The move and size that the new position means, in client terms.
        const auto *pos = reinterpret_cast<const WINDOWPOS *>(lParam);
        if (!pos) return 0;
        RECT client;
        {
            Lock lock;
            const Window *w = findWindow(window);
            if (!w) return 0;
            client = w->client;
        }
        if (!(pos->flags & SWP_NOMOVE)) SendMessageA(window, WM_MOVE, 0, MAKELONG(client.left, client.top));
        if (!(pos->flags & SWP_NOSIZE))
            SendMessageA(window, WM_SIZE, SIZE_RESTORED,
                         MAKELONG(client.right - client.left, client.bottom - client.top));
        return 0;
    }
    case WM_PAINT: {
        // Whatever the window does not paint is validated.
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        // The class background brush fills the client area; without one the
        // background stays as it is and still needs erasing.
        const auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND));
        if (!brush) return 0;
        RECT client;
        GetClientRect(window, &client);
        const bool drawn = noteErasing(window);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        noteErased(window, drawn);
        return 1;
    }
    default: return 0;
    }
}
