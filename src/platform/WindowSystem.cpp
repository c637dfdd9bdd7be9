#include "platform/WindowSystem.h"

namespace platform {

WindowSystem& WindowSystem::Instance() {
  static WindowSystem instance;
  return instance;
}

WNDPROC WindowSystem::ClassProcedure(const std::string& name) const {
  const auto found = classes_.find(name);
  return found == classes_.end() ? nullptr : found->second;
}

WNDPROC WindowSystem::Procedure(HWND window) const {
  const auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : found->second;
}

bool WindowSystem::Peek(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
  const bool anyMessage = filterMin == 0 && filterMax == 0;
  for (auto it = queue_.begin(); it != queue_.end(); ++it) {
    const bool quit = it->message == WM_QUIT;
    const bool windowMatches = !window || it->hwnd == window;
    const bool messageMatches = anyMessage || (it->message >= filterMin && it->message <= filterMax);
    if (!quit && !(windowMatches && messageMatches)) continue;
    *msg = *it;
    if (remove) queue_.erase(it);
    return true;
  }
  return false;
}

void WindowSystem::Reset() {
  windows_.clear();
  queue_.clear();
}

}  // namespace platform
