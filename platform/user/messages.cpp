// Messages: posting, sending, reading and dispatching.
//
// Posted messages wait in the queue of the thread that owns their window
// (or of the posting thread, for messages without a window) and are read
// in the order they were posted. A message sent to a window of the calling
// thread calls its procedure at once; one sent to another thread's window
// waits until that thread reads its queue (GetMessageA, PeekMessageA),
// which answers sent messages first. Reading takes, in this order: posted
// messages; WM_QUIT once PostQuitMessage was called and no posted message
// is left that the reader's filters take; input messages of a live
// display; WM_PAINT for a window with something to paint; WM_TIMER for a
// timer that is due. GetMessageA sleeps until one of these can come.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "user/live_display.h"
#include "user/nothing_shown.h"
#include "user/timers.h"
#include "user/user_state.h"

using namespace vek::user;

namespace {

const HWND kThreadMessages = reinterpret_cast<HWND>(-1);  // filter: messages without a window

// Windows whose messages a window filter takes: the window and everything
// below it. False when the filter is not a window of this thread.
bool filterWindows(HWND filter, std::vector<HWND> &windows)
{
    if (!filter || filter == kThreadMessages) return true;
    Lock lock;
    Window *w = findWindow(filter);
    if (!w || w->queue != currentQueue()) return false;
    windows.push_back(filter);
    for (size_t i = 0; i < windows.size(); i++) {
        std::vector<HWND> below = childrenOf(windows[i]);
        windows.insert(windows.end(), below.begin(), below.end());
    }
    return true;
}

bool takes(const MSG &m, HWND filter, const std::vector<HWND> &windows, UINT first, UINT last)
{
    if (m.message < first || m.message > last) return false;
    if (!filter) return true;
    if (filter == kThreadMessages) return m.hwnd == nullptr;
    return std::find(windows.begin(), windows.end(), m.hwnd) != windows.end();
}

// Answers what other threads sent to this thread's windows; the queue's
// lock is held on entry and on return, but not during the calls.
void answerSent(MessageQueue &q, std::unique_lock<std::mutex> &held)
{
    while (!q.sent.empty()) {
        std::shared_ptr<SentMessage> m = q.sent.front();
        q.sent.pop_front();
        held.unlock();
        const LRESULT result = sendDirect(m->window, m->message, m->wParam, m->lParam);
        held.lock();
        m->result = result;
        m->done = true;
        q.replied.notify_all();
    }
}

// The next message the filters take, removed when remove is set; when
// there is none, waits for one if wait is set, else returns false.
bool nextMessage(MSG &out, HWND filter, UINT first, UINT last, bool remove, bool wait)
{
    std::vector<HWND> windows;
    if (!filterWindows(filter, windows)) return fail(ERROR_INVALID_WINDOW_HANDLE, false);
    if (!first && !last) last = ~0u;
    MessageQueue &q = *currentQueue();
    std::unique_lock<std::mutex> held(q.lock);
    for (;;) {
        answerSent(q, held);
        auto it = std::find_if(q.posted.begin(), q.posted.end(),
                               [&](const MSG &m) { return takes(m, filter, windows, first, last); });
        if (it != q.posted.end()) {
            out = *it;
            if (remove) q.posted.erase(it);
            return true;
        }
        if (q.quit) {
            out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, messageTime(), POINT{0, 0}};
            if (remove) q.quit = false;
            return true;
        }
        auto in = std::find_if(q.input.begin(), q.input.end(),
                               [&](const MSG &m) { return takes(m, filter, windows, first, last); });
        if (in != q.input.end()) {
            out = *in;
            if (remove) {
                noteInputRead(q, out);
                q.input.erase(in);
            }
            return true;
        }
        // Windows with something to paint come last, after the quit.
        if (first <= WM_PAINT && WM_PAINT <= last && filter != kThreadMessages) {
            const unsigned seen = q.paintRequests;
            held.unlock();
            HWND paint = windowToPaint(windows);
            held.lock();
            if (paint) {
                out = MSG{paint, WM_PAINT, 0, 0, messageTime(), POINT{0, 0}};
                return true;
            }
            if (q.paintRequests != seen) continue;  // invalidated while we looked
        }
        const auto taken = [&](const MSG &m) { return takes(m, filter, windows, first, last); };
        if (takeTimer(q, taken, remove, out)) return true;
        if (!wait) return false;
        if (const auto due = nextTimerDue(q, taken))
            q.arrived.wait_until(held, *due);
        else
            q.arrived.wait(held);
    }
}

void post(MessageQueue &q, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT cursor;
    GetCursorPos(&cursor);
    std::lock_guard<std::mutex> guard(q.lock);
    q.posted.push_back(MSG{window, message, wParam, lParam, messageTime(), cursor});
    q.arrived.notify_all();
}

// Queues a message for another thread as sent; the sender may wait for
// m's reply.
void queueSent(MessageQueue &q, const std::shared_ptr<SentMessage> &m)
{
    std::lock_guard<std::mutex> guard(q.lock);
    q.sent.push_back(m);
    q.arrived.notify_all();
}

}  // namespace

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window) {
        post(*currentQueue(), nullptr, message, wParam, lParam);
        return TRUE;
    }
    std::vector<std::pair<HWND, std::shared_ptr<MessageQueue>>> targets;
    {
        Lock lock;
        if (window == HWND_BROADCAST) {
            state().windows.forEach([&](uint32_t, const Window &w) {
                if (!(w.style & WS_CHILD)) targets.emplace_back(w.handle, w.queue);
            });
        } else {
            Window *w = findWindow(window);
            if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE, "no such window");
            targets.emplace_back(window, w->queue);
        }
    }
    for (auto &[hwnd, queue] : targets) post(*queue, hwnd, message, wParam, lParam);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<MessageQueue> queue;
    WNDPROC proc;
    if (!targetOf(window, queue, proc)) return fail(ERROR_INVALID_WINDOW_HANDLE, LRESULT{0});
    if (queue == currentQueue()) return callProcedure(proc, window, message, wParam, lParam);

    auto m = std::make_shared<SentMessage>(SentMessage{window, message, wParam, lParam});
    queueSent(*queue, m);
    std::unique_lock<std::mutex> held(queue->lock);
    // While waiting, this thread answers what is sent to it, so that two
    // threads sending to each other do not wait for ever.
    MessageQueue &own = *currentQueue();
    while (!queue->replied.wait_for(held, std::chrono::milliseconds(5), [&] { return m->done; })) {
        held.unlock();
        {
            std::unique_lock<std::mutex> mine(own.lock);
            answerSent(own, mine);
        }
        held.lock();
    }
    return m->result;
}

BOOL WINAPI SendNotifyMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<MessageQueue> queue;
    WNDPROC proc;
    if (!targetOf(window, queue, proc)) return fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    if (queue == currentQueue())
        callProcedure(proc, window, message, wParam, lParam);
    else
        queueSent(*queue, std::make_shared<SentMessage>(SentMessage{window, message, wParam, lParam}));
    return TRUE;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove)
{
    if (!msg) return fail(ERROR_INVALID_PARAMETER, FALSE);
    if (nextMessage(*msg, window, first, last, (remove & PM_REMOVE) != 0, false)) return TRUE;
    noteIdleTurn();
    return FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT first, UINT last)
{
    if (!msg) return fail(ERROR_INVALID_PARAMETER, -1);
    noteIdleTurn();
    if (!nextMessage(*msg, window, first, last, true, true)) return -1;
    return msg->message != WM_QUIT;
}

void WINAPI PostQuitMessage(int exitCode)
{
    MessageQueue &q = *currentQueue();
    std::lock_guard<std::mutex> guard(q.lock);
    q.quit = true;
    q.quitCode = exitCode;
    q.arrived.notify_all();
}

BOOL WINAPI TranslateMessage(const MSG *msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    const UINT charMessage = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    // A key press of a live display gives the text it typed.
    std::string typed;
    bool live;
    {
        MessageQueue &q = *currentQueue();
        std::lock_guard<std::mutex> guard(q.lock);
        live = takeTypedText(q, *msg, typed);
    }
    if (live) {
        for (const char c : typed) PostMessageA(msg->hwnd, charMessage, static_cast<BYTE>(c), msg->lParam);
        return TRUE;
    }
    // Other keys give their control character, or, without a keyboard
    // layout, their unshifted one.
    const WPARAM key = msg->wParam;
    WPARAM ch;
    if (key >= 'A' && key <= 'Z')
        ch = GetKeyState(VK_CONTROL) < 0 ? key - 'A' + 1 : key - 'A' + 'a';
    else if ((key >= '0' && key <= '9') || key == ' ' || key == '\r' || key == '\b' || key == '\t' || key == 0x1B)
        ch = key;
    else
        return FALSE;
    PostMessageA(msg->hwnd, charMessage, ch, msg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG *msg)
{
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    WNDPROC proc;
    {
        Lock lock;
        Window *w = findWindow(msg->hwnd);
        if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE, LRESULT{0}, "no such window");
        proc = w->proc;
    }
    return callProcedure(proc, msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return callProcedure(proc, window, message, wParam, lParam);
}
