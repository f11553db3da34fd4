// SDL2, opened at run time: the functions the SDL back end calls, looked up
// in libSDL2-2.0.so.0 when it is first needed, so that vekhost neither links
// SDL2 nor needs it to run.
#pragma once

#include <SDL.h>

#include <string>

namespace vek::present::sdl {

struct Api {
    decltype(&SDL_Init) Init;
    decltype(&SDL_Quit) Quit;
    decltype(&SDL_GetError) GetError;
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_GetDesktopDisplayMode) GetDesktopDisplayMode;
    decltype(&SDL_CreateWindow) CreateWindow;
    decltype(&SDL_DestroyWindow) DestroyWindow;
    decltype(&SDL_GetWindowID) GetWindowID;
    decltype(&SDL_SetWindowSize) SetWindowSize;
    decltype(&SDL_SetWindowTitle) SetWindowTitle;
    decltype(&SDL_CreateRenderer) CreateRenderer;
    decltype(&SDL_DestroyRenderer) DestroyRenderer;
    decltype(&SDL_CreateTexture) CreateTexture;
    decltype(&SDL_DestroyTexture) DestroyTexture;
    decltype(&SDL_LockTexture) LockTexture;
    decltype(&SDL_UnlockTexture) UnlockTexture;
    decltype(&SDL_RenderCopy) RenderCopy;
    decltype(&SDL_RenderPresent) RenderPresent;
    decltype(&SDL_WaitEventTimeout) WaitEventTimeout;
    decltype(&SDL_WaitEvent) WaitEvent;
    decltype(&SDL_PollEvent) PollEvent;
    decltype(&SDL_PeepEvents) PeepEvents;
    decltype(&SDL_PushEvent) PushEvent;
    decltype(&SDL_RegisterEvents) RegisterEvents;
};

// The functions, or null with the reason in why when the library or one
// of them is missing. The library stays loaded for the process.
const Api *loadApi(std::string &why);

}  // namespace vek::present::sdl
