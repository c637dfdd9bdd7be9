#include "platform/gl/KeyMap.h"

namespace platform::gl {

WPARAM VirtualKeyOf(const SDL_Keysym& keysym) {
  const SDL_Scancode scancode = keysym.scancode;
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
  if (scancode == SDL_SCANCODE_0) return '0';
  const SDL_Keycode key = keysym.sym;
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  switch (key) {
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_F12: return VK_F12;
    default: return 0;
  }
}

}  // namespace platform::gl
