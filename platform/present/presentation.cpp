// The presentation: which back end shows windows, and when it shows them.
//
// The back end is chosen once, when the first top-level window becomes
// visible. VEKHOST_DISPLAY=headless, or no display at all (neither DISPLAY
// nor WAYLAND_DISPLAY set) while VEKHOST_DISPLAY is unset, keeps the
// platform headless: windows are pixels in memory that GDI reads back.
// Otherwise (unset with a display, or VEKHOST_DISPLAY=sdl) the SDL2 back end
// is opened; when that fails, or a window cannot be shown later, the
// platform says why once on stderr and carries on headless, losing nothing
// that was drawn.
//
// A live back end runs on the presentation's thread, which makes every call
// into it. Drawing and window changes only note what changed and, when the
// thread sleeps, wake it. The thread brings window changes across at once;
// changed pixels it converts (through the system palette on a palette
// display) and shows at most once per display refresh, so a frame costs one
// conversion of its dirty rectangles however many GDI calls drew it.
// Between frames it waits for the display's events, which become input.
//
// VEKHOST_SCALE (1 to 16) shows every window pixel as a square of that many
// display pixels; by default the largest scale at which the hosted screen
// (vekhostSetScreen) fills at most nine tenths of the desktop.
#include "present/presentation.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "gdi/user_services.h"
#include "present/backend.h"

namespace vek::present {
namespace {

enum class Mode { Undecided, Headless, Live };

// Dirty rectangles kept per window before they are merged into one.
constexpr size_t kMaxRects = 8;
constexpr int kMaxScale = 16;
constexpr int kDefaultRefresh = 60;

using DirtyMap = std::unordered_map<HWND, std::vector<RECT>>;

struct State {
    std::mutex choosing;          // held while the back end is chosen
    std::atomic<Mode> mode{Mode::Undecided};
    std::mutex lock;              // guards what follows
    std::condition_variable served;  // a flush was served, or the presentation went headless
    Backend *backend = nullptr;   // the live back end, owned by the presentation's thread
    std::unordered_set<HWND> onDisplay;  // windows the back end shows
    DirtyMap dirty;               // changed pixels per window on the display
    std::vector<HWND> changed;    // windows whose look may have changed
    bool palette = false;         // the system palette's colours changed
    bool idle = false;            // the thread waits with nothing to do
    bool woken = false;           // a wake is under way
    bool busy = false;            // the thread works on what it took
    bool stopping = false;        // the process exits: the thread is to take its windows off the display
    bool stopped = false;         // it has, and is parked
    uint64_t flushAsked = 0, flushServed = 0;
};

State &state()
{
    static State *st = new State;  // never destroyed: the thread may outlive statics
    return *st;
}

bool touches(const RECT &a, const RECT &b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// Adds a rectangle to a window's dirty rectangles, merging those it
// touches; past kMaxRects all become their bounding box.
void addRect(std::vector<RECT> &rects, RECT r)
{
    for (auto it = rects.begin(); it != rects.end();) {
        if (touches(*it, r)) {
            UnionRect(&r, &r, &*it);
            it = rects.erase(it);
        } else {
            ++it;
        }
    }
    rects.push_back(r);
    if (rects.size() > kMaxRects) {
        RECT all = rects.front();
        for (const RECT &x : rects) UnionRect(&all, &all, &x);
        rects.assign(1, all);
    }
}

// Wakes the thread unless a wake is under way; the lock is held.
void wakeLocked(State &st)
{
    if (st.woken || !st.backend) return;
    st.woken = true;
    st.backend->wake();
}

// Leaves the live display: drawing and flushes from now on find the
// platform headless. Stopped: at exit, with the windows off the display.
void goHeadless(bool stopped)
{
    State &st = state();
    {
        std::lock_guard<std::mutex> guard(st.lock);
        st.mode = Mode::Headless;
        st.backend = nullptr;
        st.onDisplay.clear();
        st.dirty.clear();
        st.changed.clear();
        st.flushServed = st.flushAsked;
        st.stopped = stopped;
    }
    st.served.notify_all();
}

void say(const std::string &why)
{
    std::fprintf(stderr, "vekhost: windows are not shown: %s; carrying on headless\n", why.c_str());
}

int scaleFor(Backend &backend)
{
    if (const char *wanted = std::getenv("VEKHOST_SCALE")) {
        const int s = std::atoi(wanted);
        if (s >= 1 && s <= kMaxScale) return s;
    }
    const SIZE desktop = backend.desktopSize(), screen = gdi::displaySize();
    int s = 1;
    while (s < kMaxScale && (s + 1) * screen.cx * 10 <= desktop.cx * 9 && (s + 1) * screen.cy * 10 <= desktop.cy * 9)
        s++;
    return s;
}

// What the presentation's thread shows: the windows on the display.
class Presenter {
public:
    explicit Presenter(Backend &backend) : backend_(backend)
    {
        const int hz = backend.refreshRate();
        frame_ = std::chrono::microseconds(1000000 / (hz > 0 ? hz : kDefaultRefresh));
    }

    // Runs until the back end fails (then says why, goes headless and gives
    // false) or the process exits (then takes every window off the display
    // and gives true).
    bool run()
    {
        State &st = state();
        auto nextFrame = std::chrono::steady_clock::now();
        std::string why;
        for (;;) {
            backend_.pump(waitTime(nextFrame));
            const auto now = std::chrono::steady_clock::now();
            std::vector<HWND> changed;
            DirtyMap dirty;
            bool palette = false;
            uint64_t serving;
            {
                std::lock_guard<std::mutex> guard(st.lock);
                if (st.stopping) break;
                st.woken = false;
                st.idle = false;
                st.busy = true;
                serving = st.flushAsked;
                changed.swap(st.changed);
                if (now >= nextFrame || serving != st.flushServed) {
                    dirty.swap(st.dirty);
                    std::swap(palette, st.palette);
                }
            }
            for (HWND window : changed)
                if (!sync(window, dirty, why)) return fail(why);
            if (palette)
                for (const auto &[window, look] : windows_) dirty[window].assign(1, whole(look));
            if (show(dirty)) nextFrame = now + frame_;
            {
                std::lock_guard<std::mutex> guard(st.lock);
                st.flushServed = serving;
                st.busy = false;
            }
            st.served.notify_all();
        }
        takeWindowsOff();
        return true;
    }

private:
    static RECT whole(const user::WindowLook &look) { return RECT{0, 0, look.client.cx, look.client.cy}; }

    // How long to wait for events: not at all while window changes or a
    // flush wait, until the next frame is due while pixels wait, else until
    // woken.
    int waitTime(std::chrono::steady_clock::time_point nextFrame)
    {
        State &st = state();
        std::lock_guard<std::mutex> guard(st.lock);
        if (!st.changed.empty() || st.flushAsked != st.flushServed) return 0;
        if (!st.dirty.empty() || st.palette) {
            const auto left = nextFrame - std::chrono::steady_clock::now();
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
            return ms > 0 ? static_cast<int>(ms) : 0;
        }
        st.idle = true;
        return -1;
    }

    // Brings a window's look across; a window new on the display, or
    // resized, is dirty as a whole.
    bool sync(HWND window, DirtyMap &dirty, std::string &why)
    {
        user::WindowLook look;
        const bool exists = user::windowLook(window, look);
        auto it = windows_.find(window);
        if (!exists || !look.shown || look.client.cx <= 0 || look.client.cy <= 0) {
            if (it != windows_.end()) {
                backend_.remove(window);
                windows_.erase(it);
                setOnDisplay(window, false);
            }
            return true;
        }
        if (!backend_.show(window, look, why)) return false;
        setOnDisplay(window, true);
        if (it == windows_.end() || it->second.surface != look.surface || it->second.client.cx != look.client.cx ||
            it->second.client.cy != look.client.cy)
            dirty[window].assign(1, whole(look));
        windows_[window] = look;
        return true;
    }

    static void setOnDisplay(HWND window, bool on)
    {
        State &st = state();
        std::lock_guard<std::mutex> guard(st.lock);
        if (on)
            st.onDisplay.insert(window);
        else
            st.onDisplay.erase(window);
    }

    // Converts and shows the dirty rectangles of the windows on the
    // display; true when anything was shown.
    bool show(const DirtyMap &dirty)
    {
        bool shown = false;
        for (const auto &[window, rects] : dirty) {
            auto it = windows_.find(window);
            if (it == windows_.end()) continue;
            const user::WindowLook &look = it->second;
            const RECT all = whole(look);
            bool any = false;
            for (const RECT &r : rects) {
                RECT part;
                if (!IntersectRect(&part, &r, &all)) continue;
                ptrdiff_t pitch;
                uint32_t *pixels = backend_.beginUpdate(window, part, pitch);
                if (!pixels) continue;
                gdi::shownPixels(*look.surface, part, pixels, pitch);
                backend_.endUpdate(window);
                any = true;
            }
            if (any) backend_.present(window);
            shown = shown || any;
        }
        return shown;
    }

    bool fail(const std::string &why)
    {
        say(why);
        goHeadless(false);
        takeWindowsOff();
        return false;
    }

    void takeWindowsOff()
    {
        for (const auto &[window, look] : windows_) backend_.remove(window);
        windows_.clear();
    }

    Backend &backend_;
    std::chrono::microseconds frame_;
    std::unordered_map<HWND, user::WindowLook> windows_;
};

// At exit, while the libraries the back end uses are still whole: asks the
// presentation's thread to take its windows off the display and waits for
// it (a thread still inside the display's library as the process tears it
// down would crash the exiting process). Later drawing finds the platform
// headless.
void stopLive()
{
    constexpr auto kPatience = std::chrono::seconds(2);
    State &st = state();
    std::unique_lock<std::mutex> held(st.lock);
    if (st.mode != Mode::Live || !st.backend) return;
    st.stopping = true;
    st.backend->wake();
    st.served.wait_for(held, kPatience, [&] { return st.stopped; });
}

// Opens the SDL2 back end on a new presentation thread; the reason when it
// cannot be opened.
std::string startLive()
{
    std::atexit(stopLive);
    std::promise<std::string> opened;
    std::future<std::string> result = opened.get_future();
    std::thread([opened = std::move(opened)]() mutable {
        std::string why;
        std::unique_ptr<Backend> backend = openSdlBackend(why);
        if (!backend) {
            opened.set_value(why);
            return;
        }
        backend->setScale(scaleFor(*backend));
        {
            State &st = state();
            std::lock_guard<std::mutex> guard(st.lock);
            st.backend = backend.get();
            st.mode = Mode::Live;
        }
        Presenter presenter(*backend);
        opened.set_value(std::string());
        if (!presenter.run()) return;
        // Closed at exit: the thread parks with the back end, so that the
        // display's library is neither used nor shut down (which unloads
        // what it loaded) while the process ends.
        goHeadless(true);
        State &st = state();
        std::unique_lock<std::mutex> held(st.lock);
        st.served.wait(held, [] { return false; });
    }).detach();
    return result.get();
}

void choose()
{
    State &st = state();
    std::lock_guard<std::mutex> once(st.choosing);
    if (st.mode != Mode::Undecided) return;
    const char *wanted = std::getenv("VEKHOST_DISPLAY");
    const auto set = [](const char *name) {
        const char *v = std::getenv(name);
        return v && *v;
    };
    std::string why;
    if (!wanted || !*wanted) {
        if (set("DISPLAY") || set("WAYLAND_DISPLAY")) why = startLive();
    } else if (!std::strcmp(wanted, "sdl")) {
        why = startLive();
    } else if (std::strcmp(wanted, "headless") != 0) {
        why = std::string("VEKHOST_DISPLAY is \"") + wanted + "\", neither headless nor sdl";
    }
    if (!why.empty()) say(why);
    if (st.mode == Mode::Undecided) st.mode = Mode::Headless;
}

}  // namespace

void windowDrawn(HWND window, const RECT &rect)
{
    State &st = state();
    if (st.mode != Mode::Live) return;
    std::lock_guard<std::mutex> guard(st.lock);
    if (!st.onDisplay.count(window)) return;
    addRect(st.dirty[window], rect);
    if (st.idle) wakeLocked(st);
}

void paletteChanged()
{
    State &st = state();
    if (st.mode != Mode::Live) return;
    std::lock_guard<std::mutex> guard(st.lock);
    st.palette = true;
    if (st.idle) wakeLocked(st);
}

void windowChanged(HWND window)
{
    State &st = state();
    if (st.mode == Mode::Undecided) {
        user::WindowLook look;
        if (!user::windowLook(window, look) || !look.shown) return;
        choose();
    }
    if (st.mode != Mode::Live) return;
    std::lock_guard<std::mutex> guard(st.lock);
    st.changed.push_back(window);
    wakeLocked(st);
}

void flush()
{
    State &st = state();
    if (st.mode != Mode::Live) return;
    std::unique_lock<std::mutex> held(st.lock);
    if (st.dirty.empty() && st.changed.empty() && !st.palette && !st.busy) return;  // all shown
    const uint64_t ticket = ++st.flushAsked;
    wakeLocked(st);
    st.served.wait(held, [&] { return st.flushServed >= ticket || st.mode != Mode::Live; });
}

}  // namespace vek::present
