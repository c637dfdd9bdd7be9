// Translation of SDL keys into the Win32 virtual-key codes the program reads.
#pragma once

#include <SDL2/SDL_keyboard.h>

#include "platform/win32.h"

namespace platform::gl {

// The virtual-key code of a key, 0 for keys the program never reads. The
// top-row digits go by position, as Windows' VK_0..VK_9 do, so they are digits
// on layouts that type other characters there without Shift.
WPARAM VirtualKeyOf(const SDL_Keysym& key);

}  // namespace platform::gl
