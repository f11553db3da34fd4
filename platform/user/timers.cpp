// SetTimer and KillTimer, and the WM_TIMER messages of the queue.
//
// A timer belongs to the queue of the thread that set it (a window timer
// to its window's thread, which must be the caller). It is not a message
// until it is read: a due timer gives one WM_TIMER (wParam its identifier,
// lParam its TIMERPROC) when nothing else waits, however late the reader
// is, so timer messages never pile up.
#include "user/timers.h"

#include <algorithm>

using namespace vek::user;

namespace vek::user {
namespace {

MSG timerMessage(const Timer &t)
{
    return MSG{t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), messageTime(), POINT{0, 0}};
}

}  // namespace

bool takeTimer(MessageQueue &q, const MessageFilter &takes, bool remove, MSG &out)
{
    const auto now = std::chrono::steady_clock::now();
    for (Timer &t : q.timers) {
        if (t.due > now || !takes(timerMessage(t))) continue;
        out = timerMessage(t);
        GetCursorPos(&out.pt);
        if (remove) {
            t.due += t.period;
            if (t.due <= now) t.due = now + t.period;
        }
        return true;
    }
    return false;
}

std::optional<std::chrono::steady_clock::time_point> nextTimerDue(const MessageQueue &q, const MessageFilter &takes)
{
    std::optional<std::chrono::steady_clock::time_point> next;
    for (const Timer &t : q.timers)
        if ((!next || t.due < *next) && takes(timerMessage(t))) next = t.due;
    return next;
}

}  // namespace vek::user

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    const std::shared_ptr<MessageQueue> &queue = currentQueue();
    if (window) {
        std::shared_ptr<MessageQueue> owner;
        WNDPROC unused;
        if (!targetOf(window, owner, unused)) return fail(ERROR_INVALID_WINDOW_HANDLE, UINT_PTR{0});
        if (owner != queue) return fail(ERROR_ACCESS_DENIED, UINT_PTR{0});
    }
    const std::chrono::milliseconds period(std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
    std::lock_guard<std::mutex> guard(queue->lock);
    std::vector<Timer> &timers = queue->timers;
    auto named = [&](UINT_PTR n) {
        return std::find_if(timers.begin(), timers.end(), [&](const Timer &t) { return t.window == window && t.id == n; });
    };
    auto it = named(id);
    // A thread timer gets an identifier of its own unless id names one of
    // its thread's timers, which is then set anew.
    if (!window && it == timers.end()) {
        id = 1;
        while (named(id) != timers.end()) id++;
    }
    const Timer timer{window, id, proc, period, std::chrono::steady_clock::now() + period};
    if (it != timers.end())
        *it = timer;
    else
        timers.push_back(timer);
    return window && !id ? 1 : id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id)
{
    MessageQueue &q = *currentQueue();
    std::lock_guard<std::mutex> guard(q.lock);
    auto it = std::find_if(q.timers.begin(), q.timers.end(),
                           [&](const Timer &t) { return t.window == window && t.id == id; });
    if (it == q.timers.end()) return fail(ERROR_INVALID_PARAMETER, FALSE);
    q.timers.erase(it);
    return TRUE;
}
