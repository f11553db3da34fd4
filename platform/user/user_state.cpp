// The window manager's state and the helpers every User call shares.
#include "user/user_state.h"

#include <chrono>

namespace vek::user {

State &state()
{
    static State *st = new State;  // never destroyed: windows may outlive statics
    return *st;
}

Window *findWindow(HWND window)
{
    auto v = reinterpret_cast<uintptr_t>(window);
    return v > 0xFFFFFFFFu ? nullptr : state().windows.get(v);
}

std::vector<HWND> childrenOf(HWND window)
{
    std::vector<HWND> children;
    state().windows.forEach([&](uint32_t, const Window &w) {
        if (w.parent == window) children.push_back(w.handle);
    });
    return children;
}

const std::shared_ptr<MessageQueue> &currentQueue()
{
    thread_local std::shared_ptr<MessageQueue> queue = std::make_shared<MessageQueue>();
    return queue;
}

DWORD messageTime()
{
    static const auto start = std::chrono::steady_clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return static_cast<DWORD>(ms.count());
}

bool sameName(const std::string &a, const char *b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; i++) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return i == a.size() && !b[i];
}

LRESULT callProcedure(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(window, message, wParam, lParam) : 0;
}

bool targetOf(HWND window, std::shared_ptr<MessageQueue> &queue, WNDPROC &proc)
{
    Lock lock;
    Window *w = findWindow(window);
    if (!w) return false;
    queue = w->queue;
    proc = w->proc;
    return true;
}

LRESULT sendDirect(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<MessageQueue> queue;
    WNDPROC proc;
    if (!targetOf(window, queue, proc)) return 0;
    return callProcedure(proc, window, message, wParam, lParam);
}

}  // namespace vek::user
