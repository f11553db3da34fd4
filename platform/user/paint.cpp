// The paint cycle: InvalidateRect, ValidateRect, GetUpdateRect, UpdateWindow,
// BeginPaint and EndPaint.
//
// Each window keeps one update rectangle (the union of what was invalidated,
// in client coordinates) and whether it wants its background erased. A
// window with a non-empty update rectangle gets WM_PAINT when its thread
// reads its queue and nothing else is waiting, or at once from
// UpdateWindow; BeginPaint erases the background (WM_ERASEBKGND) when asked
// and empties the update rectangle.
#include <windows.h>

#include <algorithm>

#include "user/user_state.h"

namespace vek::user {

void invalidate(HWND window, const RECT *rect, bool erase)
{
    std::shared_ptr<MessageQueue> queue;
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return;
        const RECT all{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
        RECT r = all;
        if (rect) IntersectRect(&r, rect, &all);
        if (IsRectEmpty(&r)) return;
        UnionRect(&w->invalid, &w->invalid, &r);
        w->erase = w->erase || erase;
        queue = w->queue;
    }
    std::lock_guard<std::mutex> guard(queue->lock);
    queue->paintRequests++;
    queue->arrived.notify_all();
}

HWND windowToPaint(const std::vector<HWND> &windows)
{
    Lock lock;
    const std::shared_ptr<MessageQueue> &queue = currentQueue();
    HWND found = nullptr;
    state().windows.forEach([&](uint32_t, const Window &w) {
        if (found || w.queue != queue || !w.visible || IsRectEmpty(&w.invalid)) return;
        if (windows.empty() || std::find(windows.begin(), windows.end(), w.handle) != windows.end())
            found = w.handle;
    });
    return found;
}

}  // namespace vek::user

using namespace vek::user;

namespace {

// Takes a window's update rectangle and erase request, leaving it valid.
bool takeUpdate(HWND window, RECT &rect, bool &erase)
{
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return false;
    rect = w->invalid;
    erase = w->erase;
    w->invalid = RECT{};
    w->erase = false;
    return true;
}

}  // namespace

BOOL WINAPI InvalidateRect(HWND window, const RECT *rect, BOOL erase)
{
    VEKHOST_CALL(Channel::user, window, rect, erase);
    if (!window) {
        // All windows, as Windows does for a null window.
        std::vector<HWND> all;
        {
            Lock lock;
            state().windows.forEach([&](uint32_t, const Window &w) { all.push_back(w.handle); });
        }
        for (HWND w : all) invalidate(w, nullptr, erase != FALSE);
        return TRUE;
    }
    if (!IsWindow(window)) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    invalidate(window, rect, erase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND window, const RECT *rect)
{
    VEKHOST_CALL(Channel::user, window, rect);
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
    // A rectangle update region cannot have a hole: validating part of it
    // keeps the bounding box of what is left.
    if (!rect || (rect->left <= w->invalid.left && rect->top <= w->invalid.top &&
                  rect->right >= w->invalid.right && rect->bottom >= w->invalid.bottom)) {
        w->invalid = RECT{};
        w->erase = false;
    }
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND window, LPRECT rect, BOOL erase)
{
    VEKHOST_CALL(Channel::user, window, rect, erase);
    bool wantsErase;
    RECT update;
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
        update = w->invalid;
        wantsErase = w->erase;
        if (erase) w->erase = false;
    }
    if (erase && wantsErase && !IsRectEmpty(&update)) {
        HDC dc = GetDC(window);
        SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ReleaseDC(window, dc);
    }
    if (rect) *rect = update;
    return !IsRectEmpty(&update);
}

BOOL WINAPI UpdateWindow(HWND window)
{
    VEKHOST_CALL(Channel::user, window);
    bool paint;
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
        paint = w->visible && !IsRectEmpty(&w->invalid);
    }
    if (paint) SendMessageA(window, WM_PAINT, 0, 0);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    VEKHOST_CALL(Channel::user, window, paint);
    if (!paint) return fail(ERROR_INVALID_PARAMETER, HDC{});
    RECT update;
    bool erase;
    if (!takeUpdate(window, update, erase)) return fail(ERROR_INVALID_WINDOW_HANDLE, HDC{});
    *paint = PAINTSTRUCT{};
    paint->hdc = GetDC(window);
    paint->rcPaint = update;
    paint->fErase = erase ? TRUE : FALSE;
    // fErase tells the caller the background still needs erasing.
    if (erase && SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0))
        paint->fErase = FALSE;
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT *paint)
{
    VEKHOST_CALL(Channel::user, window, paint);
    if (!paint) return fail(ERROR_INVALID_PARAMETER, FALSE);
    ReleaseDC(window, paint->hdc);
    return TRUE;
}
