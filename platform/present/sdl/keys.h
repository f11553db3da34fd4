// SDL's keys as Win32 keys.
#pragma once

#include <SDL.h>

#include "user/live_display.h"

namespace vek::present::sdl {

// The Win32 key of an SDL key: the virtual key Windows' US layout gives the
// physical key (letters as the active layout names them), its set-1 scan
// code and extended flag. False for keys Win32 has no code for, which are
// dropped.
bool win32Key(const SDL_Keysym &key, user::Key &out);

}  // namespace vek::present::sdl
