// Translation of SDL keys into the Win32 virtual-key codes the program reads.
#pragma once

#include <SDL2/SDL_keycode.h>

#include "platform/win32.h"

namespace platform::gl {

// The virtual-key code of a key, 0 for keys the program never reads.
WPARAM VirtualKeyOf(SDL_Keycode key);

}  // namespace platform::gl
