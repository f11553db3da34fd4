// SDL2 opened at run time.
#include "present/sdl/library.h"

#include <dlfcn.h>

#include <mutex>

namespace vek::present::sdl {
namespace {

constexpr const char *kLibrary = "libSDL2-2.0.so.0";

// Looks up one function; records the first one missing.
template <class F>
void bind(void *library, const char *name, F &function, const char *&missing)
{
    function = reinterpret_cast<F>(dlsym(library, name));
    if (!function && !missing) missing = name;
}

}  // namespace

const Api *loadApi(std::string &why)
{
    static Api api;
    static std::string failure;
    static std::once_flag once;
    std::call_once(once, [] {
        void *library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            failure = std::string("cannot open ") + kLibrary;
            return;
        }
        const char *missing = nullptr;
        bind(library, "SDL_Init", api.Init, missing);
        bind(library, "SDL_Quit", api.Quit, missing);
        bind(library, "SDL_GetError", api.GetError, missing);
        bind(library, "SDL_SetHint", api.SetHint, missing);
        bind(library, "SDL_GetDesktopDisplayMode", api.GetDesktopDisplayMode, missing);
        bind(library, "SDL_CreateWindow", api.CreateWindow, missing);
        bind(library, "SDL_DestroyWindow", api.DestroyWindow, missing);
        bind(library, "SDL_GetWindowID", api.GetWindowID, missing);
        bind(library, "SDL_SetWindowSize", api.SetWindowSize, missing);
        bind(library, "SDL_SetWindowTitle", api.SetWindowTitle, missing);
        bind(library, "SDL_CreateRenderer", api.CreateRenderer, missing);
        bind(library, "SDL_DestroyRenderer", api.DestroyRenderer, missing);
        bind(library, "SDL_CreateTexture", api.CreateTexture, missing);
        bind(library, "SDL_DestroyTexture", api.DestroyTexture, missing);
        bind(library, "SDL_LockTexture", api.LockTexture, missing);
        bind(library, "SDL_UnlockTexture", api.UnlockTexture, missing);
        bind(library, "SDL_RenderCopy", api.RenderCopy, missing);
        bind(library, "SDL_RenderPresent", api.RenderPresent, missing);
        bind(library, "SDL_WaitEventTimeout", api.WaitEventTimeout, missing);
        bind(library, "SDL_WaitEvent", api.WaitEvent, missing);
        bind(library, "SDL_PollEvent", api.PollEvent, missing);
        bind(library, "SDL_PeepEvents", api.PeepEvents, missing);
        bind(library, "SDL_PushEvent", api.PushEvent, missing);
        bind(library, "SDL_RegisterEvents", api.RegisterEvents, missing);
        if (missing) failure = std::string(kLibrary) + " lacks " + missing;
    });
    if (!failure.empty()) {
        why = failure;
        return nullptr;
    }
    return &api;
}

}  // namespace vek::present::sdl
