// The SDL2 back end: every top-level window an SDL window (X11 or Wayland,
// as SDL finds them) of scale times its client size, with a renderer (the
// one SDL prefers, or SDL_RENDER_DRIVER's) and a streaming texture of its
// client size in 0x00RRGGBB pixels (the layout of X's 24-bit visuals, so
// that the software renderer copies rows as they are), stretched onto the
// window with nearest-neighbour sampling. Dirty rectangles go into the
// texture; presenting copies the texture to the window.
//
// Events become the input of user/live_display.h: keys through keys.h (a
// key press and the text input SDL reports right after it travel
// together), the left, right and middle buttons (others are dropped),
// mouse points divided by the scale, focus, close, moves (the display's
// position divided by the scale is the client origin on the hosted screen)
// and minimising.
#include <SDL.h>

#include <string>
#include <unordered_map>

#include "present/backend.h"
#include "present/sdl/keys.h"
#include "present/sdl/library.h"

namespace vek::present {
namespace {

// Integer division rounding down, for points left of or above a window.
int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

class SdlBackend final : public Backend {
public:
    SdlBackend(const sdl::Api &api, Uint32 wakeEvent) : api_(api), wakeEvent_(wakeEvent) {}

    ~SdlBackend() override
    {
        while (!windows_.empty()) remove(windows_.begin()->first);
        api_.Quit();
    }

    SIZE desktopSize() override
    {
        SDL_DisplayMode mode;
        if (api_.GetDesktopDisplayMode(0, &mode) != 0) return SIZE{0, 0};
        return SIZE{mode.w, mode.h};
    }

    int refreshRate() override
    {
        SDL_DisplayMode mode;
        return api_.GetDesktopDisplayMode(0, &mode) == 0 ? mode.refresh_rate : 0;
    }

    void setScale(int scale) override { scale_ = scale; }

    bool show(HWND window, const user::WindowLook &look, std::string &why) override
    {
        auto it = windows_.find(window);
        if (it == windows_.end()) return create(window, look, why);
        Shown &w = it->second;
        if (w.client.cx != look.client.cx || w.client.cy != look.client.cy) {
            api_.SetWindowSize(w.window, look.client.cx * scale_, look.client.cy * scale_);
            api_.DestroyTexture(w.texture);
            w.texture = makeTexture(w.renderer, look.client);
            w.client = look.client;
            if (!w.texture) return failed(why, "cannot make the texture of a window");
        }
        if (w.title != look.title) {
            api_.SetWindowTitle(w.window, look.title.c_str());
            w.title = look.title;
        }
        return true;
    }

    void remove(HWND window) override
    {
        auto it = windows_.find(window);
        if (it == windows_.end()) return;
        Shown &w = it->second;
        if (w.texture) api_.DestroyTexture(w.texture);
        api_.DestroyRenderer(w.renderer);
        byId_.erase(api_.GetWindowID(w.window));
        api_.DestroyWindow(w.window);
        windows_.erase(it);
    }

    uint32_t *beginUpdate(HWND window, const RECT &rect, ptrdiff_t &pitch) override
    {
        const SDL_Rect r{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
        void *pixels = nullptr;
        int bytes = 0;
        if (api_.LockTexture(windows_.at(window).texture, &r, &pixels, &bytes) != 0) return nullptr;
        pitch = bytes / 4;
        return static_cast<uint32_t *>(pixels);
    }

    void endUpdate(HWND window) override { api_.UnlockTexture(windows_.at(window).texture); }

    void present(HWND window) override
    {
        const Shown &w = windows_.at(window);
        api_.RenderCopy(w.renderer, w.texture, nullptr, nullptr);
        api_.RenderPresent(w.renderer);
    }

    void pump(int timeoutMs) override
    {
        SDL_Event e;
        const int got = timeoutMs < 0 ? api_.WaitEvent(&e) : api_.WaitEventTimeout(&e, timeoutMs);
        if (!got) return;
        do handle(e);
        while (api_.PollEvent(&e));
    }

    void wake() override
    {
        SDL_Event e{};
        e.type = wakeEvent_;
        api_.PushEvent(&e);
    }

private:
    struct Shown {
        SDL_Window *window = nullptr;
        SDL_Renderer *renderer = nullptr;
        SDL_Texture *texture = nullptr;
        SIZE client{};
        std::string title;
        bool minimized = false;
    };

    bool failed(std::string &why, const char *what)
    {
        why = std::string(what) + ": " + api_.GetError();
        return false;
    }

    SDL_Texture *makeTexture(SDL_Renderer *renderer, SIZE client)
    {
        return api_.CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, client.cx,
                                  client.cy);
    }

    bool create(HWND window, const user::WindowLook &look, std::string &why)
    {
        const Uint32 flags = SDL_WINDOW_SHOWN | (look.caption ? 0 : SDL_WINDOW_BORDERLESS);
        Shown w;
        w.window = api_.CreateWindow(look.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     look.client.cx * scale_, look.client.cy * scale_, flags);
        if (!w.window) return failed(why, "cannot make a window");
        w.renderer = api_.CreateRenderer(w.window, -1, 0);
        if (w.renderer) w.texture = makeTexture(w.renderer, look.client);
        if (!w.texture) {
            failed(why, w.renderer ? "cannot make the texture of a window" : "cannot make the renderer of a window");
            if (w.renderer) api_.DestroyRenderer(w.renderer);
            api_.DestroyWindow(w.window);
            return false;
        }
        w.client = look.client;
        w.title = look.title;
        byId_[api_.GetWindowID(w.window)] = window;
        windows_[window] = w;
        return true;
    }

    HWND windowOf(Uint32 id) const
    {
        auto it = byId_.find(id);
        return it == byId_.end() ? nullptr : it->second;
    }

    POINT clientPoint(int x, int y) const { return POINT{floorDiv(x, scale_), floorDiv(y, scale_)}; }

    void handle(const SDL_Event &e)
    {
        switch (e.type) {
        case SDL_WINDOWEVENT: windowEvent(e.window); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: keyEvent(e.key); break;
        case SDL_TEXTINPUT:
            if (HWND w = windowOf(e.text.windowID)) user::textEvent(w, e.text.text);
            break;
        case SDL_MOUSEMOTION:
            if (HWND w = windowOf(e.motion.windowID)) user::mouseMoveEvent(w, clientPoint(e.motion.x, e.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: buttonEvent(e.button); break;
        default: break;  // the wake event, SDL_QUIT (windows close one by one) and the rest
        }
    }

    void windowEvent(const SDL_WindowEvent &e)
    {
        HWND window = windowOf(e.windowID);
        if (!window) return;
        Shown &w = windows_.at(window);
        switch (e.event) {
        case SDL_WINDOWEVENT_EXPOSED: present(window); break;
        case SDL_WINDOWEVENT_MOVED: user::moveEvent(window, clientPoint(e.data1, e.data2)); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: user::focusEvent(window, true); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: user::focusEvent(window, false); break;
        case SDL_WINDOWEVENT_CLOSE: user::closeEvent(window); break;
        case SDL_WINDOWEVENT_MINIMIZED:
            w.minimized = true;
            user::minimizeEvent(window, true);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            if (!w.minimized) break;
            w.minimized = false;
            user::minimizeEvent(window, false);
            break;
        default: break;
        }
    }

    void keyEvent(const SDL_KeyboardEvent &e)
    {
        HWND window = windowOf(e.windowID);
        user::Key key;
        if (!window || !sdl::win32Key(e.keysym, key)) return;
        // SDL reports the text a key press typed as the event right after it.
        SDL_Event next;
        std::string typed;
        if (e.type == SDL_KEYDOWN && api_.PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
            next.type == SDL_TEXTINPUT && next.text.windowID == e.windowID) {
            api_.PollEvent(&next);
            typed = next.text.text;
        }
        user::keyEvent(window, key, e.type == SDL_KEYDOWN, e.repeat != 0, typed.c_str());
    }

    void buttonEvent(const SDL_MouseButtonEvent &e)
    {
        HWND window = windowOf(e.windowID);
        BYTE button;
        switch (e.button) {
        case SDL_BUTTON_LEFT: button = VK_LBUTTON; break;
        case SDL_BUTTON_RIGHT: button = VK_RBUTTON; break;
        case SDL_BUTTON_MIDDLE: button = VK_MBUTTON; break;
        default: return;
        }
        if (window) user::mouseButtonEvent(window, button, e.type == SDL_MOUSEBUTTONDOWN, clientPoint(e.x, e.y));
    }

    const sdl::Api &api_;
    const Uint32 wakeEvent_;
    int scale_ = 1;
    std::unordered_map<HWND, Shown> windows_;
    std::unordered_map<Uint32, HWND> byId_;
};

}  // namespace

std::unique_ptr<Backend> openSdlBackend(std::string &why)
{
    const sdl::Api *api = sdl::loadApi(why);
    if (!api) return nullptr;
    // Ctrl+C keeps ending the program; a click that activates a window is
    // a click too, as on Windows; pixels stay square when scaled; the
    // software renderer hands its frames to the display itself (on an X
    // server without a GPU, four times cheaper than through OpenGL).
    api->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    api->SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    api->SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    api->SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (api->Init(SDL_INIT_VIDEO) != 0) {
        why = std::string("SDL2 finds no display: ") + api->GetError();
        return nullptr;
    }
    const Uint32 wakeEvent = api->RegisterEvents(1);
    if (wakeEvent == static_cast<Uint32>(-1)) {
        why = "SDL2 has no event left for waking";
        api->Quit();
        return nullptr;
    }
    return std::make_unique<SdlBackend>(*api, wakeEvent);
}

}  // namespace vek::present
