// Warnings of windows that silently show nothing; see nothing_shown.h.
#include "user/nothing_shown.h"

#include <cstdio>
#include <string>
#include <vector>

#include "user/user_state.h"

namespace vek::user {

namespace {

// Whether the window and all its parents are visible; the lock is held.
bool shown(const Window &w)
{
    for (const Window *p = &w; p; p = findWindow(p->parent))
        if (!p->visible) return false;
    return true;
}

// What a watched window shows wrong, as the text of a warning, or empty;
// settles the window (it is watched no more) once it is warned about or
// known to be drawn in. last: this is the last look, no more turns to wait.
// The lock is held.
std::string problemOf(Window &w, bool last, const char *moment)
{
    if (!w.dcTaken || w.warned || !w.surface) return {};
    const bool drawn = w.surface->drawn.load(std::memory_order_relaxed);
    const int width = w.client.right - w.client.left, height = w.client.bottom - w.client.top;
    char text[512];
    if (width <= 0 || height <= 0) {
        std::snprintf(text, sizeof text,
                      "window %p \"%s\" (%ld x %ld) has no client area: nothing drawn in it can be seen (a "
                      "WS_OVERLAPPEDWINDOW smaller than its frame? AdjustWindowRect gives the size for a client area)",
                      static_cast<void *>(w.handle), w.text.c_str(), static_cast<long>(w.rect.right - w.rect.left),
                      static_cast<long>(w.rect.bottom - w.rect.top));
    } else if (!shown(w)) {
        if (!drawn) return {};
        std::snprintf(text, sizeof text,
                      "window %p \"%s\" is drawn into but not visible (created without WS_VISIBLE, ShowWindow not "
                      "called, or a hidden parent): what is drawn is not seen",
                      static_cast<void *>(w.handle), w.text.c_str());
    } else if (drawn) {
        w.warned = true;
        return {};
    } else if (last || ++w.idleTurns >= kIdleTurns) {
        std::snprintf(text, sizeof text,
                      "window %p \"%s\" (client %d x %d) is visible and its DC is in use, but nothing has been drawn "
                      "in it %s: an empty playfield? (a sprite context without background image needs a background "
                      "width and height)",
                      static_cast<void *>(w.handle), w.text.c_str(), width, height, moment);
    } else {
        return {};
    }
    w.warned = true;
    return text;
}

void warn(const std::vector<std::string> &texts)
{
    for (const std::string &t : texts) debug::print(debug::Channel::user, "warn", "%s", t.c_str());
}

}  // namespace

void watchDC(HWND window)
{
    Lock lock;
    if (Window *w = findWindow(window)) w->dcTaken = true;
}

void lookAtIdleWindows()
{
    std::vector<std::string> texts;
    {
        Lock lock;
        const std::shared_ptr<MessageQueue> &queue = currentQueue();
        char moment[64];
        std::snprintf(moment, sizeof moment, "after %d turns of its message loop", kIdleTurns);
        state().windows.forEach([&](uint32_t, Window &w) {
            if (w.queue != queue) return;
            std::string text = problemOf(w, false, moment);
            if (!text.empty()) texts.push_back(std::move(text));
        });
    }
    warn(texts);
}

bool drawnIn(HWND window)
{
    Lock lock;
    const Window *w = findWindow(window);
    return w && w->surface && w->surface->drawn.load(std::memory_order_relaxed);
}

void setDrawnIn(HWND window, bool drawn)
{
    Lock lock;
    if (Window *w = findWindow(window); w && w->surface) w->surface->drawn.store(drawn, std::memory_order_relaxed);
}

void lookAtLastTime(HWND window, const char *moment)
{
    std::vector<std::string> texts;
    {
        Lock lock;
        if (Window *w = findWindow(window)) {
            std::string text = problemOf(*w, true, moment);
            if (!text.empty()) texts.push_back(std::move(text));
        }
    }
    warn(texts);
}

}  // namespace vek::user
