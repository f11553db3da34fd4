// Windows: creation, destruction, visibility, parents and titles.
//
// Creation sends WM_NCCREATE and WM_CREATE with the CREATESTRUCTA, then
// WM_SIZE and WM_MOVE (an overlapped window gets these when it is first
// shown), then shows the window if WS_VISIBLE was given. When WM_NCCREATE
// answers FALSE or WM_CREATE -1 the creation fails, and the window gets only
// WM_NCDESTROY. Destruction sends WM_DESTROY to the window
// and then to its children, parents first, and WM_NCDESTROY to the children
// and then to the window, children first; the handle stays valid until its
// WM_NCDESTROY has returned.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/user_services.h"
#include "present/presentation.h"
#include "user/geometry.h"
#include "user/nothing_shown.h"
#include "user/user_state.h"

namespace vek::user {
namespace {

// Window sizes are kept to what a client surface can hold.
constexpr int kMaxWindowSize = 16384;

int clampSize(int v) { return std::clamp(v, 0, kMaxWindowSize); }

void markDestroying(HWND window)
{
    if (Window *w = findWindow(window)) w->destroying = true;
    for (HWND child : childrenOf(window)) markDestroying(child);
}

std::vector<HWND> children(HWND window)
{
    Lock lock;
    return childrenOf(window);
}

void sendDestroy(HWND window)
{
    sendDirect(window, WM_DESTROY, 0, 0);
    for (HWND child : children(window)) sendDestroy(child);
}

// Takes a window out of the table with what it holds.
void removeWindow(HWND window)
{
    {
        Lock lock;
        std::unique_ptr<Window> w = state().windows.remove(reinterpret_cast<uintptr_t>(window));
        if (!w) return;
        w->cls->windows--;
        {
            // Messages posted to it will not be delivered, nor its timers run.
            MessageQueue &q = *w->queue;
            std::lock_guard<std::mutex> guard(q.lock);
            const auto mine = [&](const auto &m) { return m.hwnd == window; };
            q.posted.erase(std::remove_if(q.posted.begin(), q.posted.end(), mine), q.posted.end());
            q.input.erase(std::remove_if(q.input.begin(), q.input.end(), mine), q.input.end());
            q.timers.erase(std::remove_if(q.timers.begin(), q.timers.end(), [&](const Timer &t) { return t.window == window; }),
                           q.timers.end());
        }
        gdi::destroyWindowSurface();
    }
    present::windowChanged(window);
}

void finishDestroy(HWND window)
{
    for (HWND child : children(window)) finishDestroy(child);
    sendDirect(window, WM_NCDESTROY, 0, 0);
    removeWindow(window);
}

// Destroys a window whose creation failed.
void abandon(HWND window)
{
    {
        Lock lock;
        markDestroying(window);
    }
    finishDestroy(window);
}

}  // namespace

bool sendSizeAndMove(HWND window)
{
    RECT client;
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return false;
        client = w->client;
        w->needSize = false;
    }
    SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELONG(client.right - client.left, client.bottom - client.top));
    SendMessageA(window, WM_MOVE, 0, MAKELONG(client.left, client.top));
    return true;
}

}  // namespace vek::user

using namespace vek::user;

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    VEKHOST_CALL(Channel::user, exStyle, className, windowName, style, x, y, width, height, parent, menu, instance,
                 param);
    HWND hwnd;
    WNDPROC proc;
    CREATESTRUCTA cs;
    {
        Lock lock;
        auto cls = findClass(className);
        if (!cls) return fail(ERROR_CANNOT_FIND_WND_CLASS, HWND{});
        if (parent == HWND_MESSAGE) parent = nullptr;
        if (parent && !findWindow(parent)) return fail(ERROR_INVALID_WINDOW_HANDLE, HWND{});
        const bool child = (style & WS_CHILD) != 0;
        if (child && !parent) return fail(ERROR_TLW_WITH_WSCHILD, HWND{});

        // Default places: the top-left corner; default sizes: three quarters
        // of the screen for overlapped windows, nothing for the others.
        if (x == CW_USEDEFAULT) x = y = 0;
        if (width == CW_USEDEFAULT) {
            const SIZE screen = vek::gdi::displaySize();
            const bool overlapped = !child && !(style & WS_POPUP);
            width = overlapped ? screen.cx * 3 / 4 : 0;
            height = overlapped ? screen.cy * 3 / 4 : 0;
        }
        // Overlapped and sizeable windows are made at least their minimum
        // tracking size, as Windows does at creation.
        if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
            width = std::max(width, vek::user::systemMetric(SM_CXMINTRACK));
            height = std::max(height, vek::user::systemMetric(SM_CYMINTRACK));
        }
        width = clampSize(width);
        height = clampSize(height);
        x = std::clamp(x, -kMaxWindowSize * 8, kMaxWindowSize * 8);
        y = std::clamp(y, -kMaxWindowSize * 8, kMaxWindowSize * 8);

        auto w = std::make_unique<Window>();
        w->cls = cls;
        w->proc = cls->info.lpfnWndProc;
        w->style = style & ~static_cast<DWORD>(WS_VISIBLE);
        w->exStyle = exStyle;
        w->parent = child ? parent : nullptr;
        w->owner = child ? nullptr : parent;
        w->menu = menu;
        w->instance = instance;
        w->extra.assign(static_cast<size_t>(cls->info.cbWndExtra), 0);
        w->rect = RECT{x, y, x + width, y + height};
        w->client = clientOf(w->rect, style, exStyle);
        w->surface = vek::gdi::createWindowSurface(w->client.right - w->client.left, w->client.bottom - w->client.top);
        if (!w->surface) return fail(ERROR_NOT_ENOUGH_MEMORY, HWND{});
        w->queue = currentQueue();
        Window *raw = w.get();
        const uint32_t h = state().windows.add(std::move(w));
        if (!h) {
            vek::gdi::destroyWindowSurface();
            return fail(ERROR_NOT_ENOUGH_MEMORY, HWND{});
        }
        hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(h));
        raw->handle = hwnd;
        cls->windows++;
        proc = raw->proc;
        cs = CREATESTRUCTA{param,  instance,   menu,       parent,    height,   width,
                           y,      x,          static_cast<LONG>(style), windowName, className, exStyle};
    }

    if (!callProcedure(proc, hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        sendDirect(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        abandon(hwnd);
        return nullptr;
    }
    {
        Lock lock;
        Window *w = findWindow(hwnd);
        if (!w || w->destroying) return nullptr;  // destroyed while being created
        w->needSize = !(style & (WS_CHILD | WS_POPUP));
    }
    if (!(style & (WS_CHILD | WS_POPUP)) || sendSizeAndMove(hwnd)) {
        if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    }
    return hwnd;
}

BOOL WINAPI DestroyWindow(HWND window)
{
    VEKHOST_CALL(Channel::user, window);
    noteLastLook(window, "before it was destroyed");
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
        if (w->queue != currentQueue()) return fail(ERROR_ACCESS_DENIED, FALSE);
        if (w->destroying) return TRUE;
        markDestroying(window);
    }
    sendDestroy(window);
    finishDestroy(window);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND window)
{
    Lock lock;
    return findWindow(window) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND window)
{
    Lock lock;
    for (Window *w = findWindow(window); w; w = findWindow(w->parent))
        if (!w->visible) return FALSE;
    return findWindow(window) != nullptr;
}

HWND WINAPI GetParent(HWND window)
{
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, HWND{}, "no such window");
    if (w->style & WS_CHILD) return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

BOOL WINAPI ShowWindow(HWND window, int command)
{
    VEKHOST_CALL(Channel::user, window, command);
    bool wasVisible, needSize;
    {
        Lock lock;
        Window *w = findWindow(window);
        if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
        wasVisible = w->visible;
        needSize = w->needSize;
    }
    const bool show = command != SW_HIDE;
    if (show != wasVisible) {
        SendMessageA(window, WM_SHOWWINDOW, show, 0);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
    if (show && needSize) sendSizeAndMove(window);
    return wasVisible;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int size)
{
    if (!IsWindow(window)) return fail(ERROR_INVALID_WINDOW_HANDLE, 0);
    if (!text || size <= 0) return 0;
    text[0] = 0;
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text)));
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text)
{
    VEKHOST_CALL(Channel::user, window, text);
    if (!IsWindow(window)) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}
