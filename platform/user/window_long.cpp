// Window data: GetWindowLongPtrA and SetWindowLongPtrA.
//
// Negative indices name the window's own fields; indices from 0 up name
// its extra bytes (cbWndExtra of its class), which must hold the whole value.
#include <windows.h>

#include <cstring>

#include "user/user_state.h"

using namespace vek::user;

namespace {

// The extra bytes at index, or null when the value would not fit in them.
BYTE *extraAt(Window &w, int index)
{
    if (index < 0 || static_cast<size_t>(index) + sizeof(LONG_PTR) > w.extra.size()) return nullptr;
    return w.extra.data() + index;
}

}  // namespace

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index)
{
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, LONG_PTR{0}, "no such window");
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
    case GWLP_ID: return reinterpret_cast<LONG_PTR>(w->menu);
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    default: break;
    }
    BYTE *extra = extraAt(*w, index);
    if (!extra) return fail(ERROR_INVALID_INDEX, LONG_PTR{0});
    LONG_PTR v;
    std::memcpy(&v, extra, sizeof v);
    return v;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value)
{
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, LONG_PTR{0}, "no such window");
    LONG_PTR old;
    switch (index) {
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWLP_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    case GWLP_ID:
        old = reinterpret_cast<LONG_PTR>(w->menu);
        w->menu = reinterpret_cast<HMENU>(value);
        return old;
    case GWL_STYLE:
        // Visibility goes through ShowWindow; the style bit follows it.
        old = static_cast<LONG>(w->style);
        w->style = (static_cast<DWORD>(value) & ~static_cast<DWORD>(WS_VISIBLE)) | (w->style & WS_VISIBLE);
        return old;
    case GWL_EXSTYLE:
        old = static_cast<LONG>(w->exStyle);
        w->exStyle = static_cast<DWORD>(value);
        return old;
    case GWLP_USERDATA:
        old = w->userData;
        w->userData = value;
        return old;
    default: break;
    }
    BYTE *extra = extraAt(*w, index);
    if (!extra) return fail(ERROR_INVALID_INDEX, LONG_PTR{0});
    std::memcpy(&old, extra, sizeof old);
    std::memcpy(extra, &value, sizeof value);
    return old;
}
