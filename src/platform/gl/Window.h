// The SDL window with its GL context, and the window-system services around it:
// native events as Win32 messages, the cursor, display modes, message boxes.
#pragma once

#include <SDL2/SDL.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/d3d9.h"

namespace platform::gl {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  ~Window();

  // Starts video, opens a hidden window and makes a GL 3.3 core context with
  // ARB_clip_control current. False with the reason when any of that fails.
  // A nonzero size makes the window that size instead of the whole screen.
  bool Open(std::string* error, UINT windowedWidth = 0, UINT windowedHeight = 0);

  // Shows the window under `title`: full-screen on the desktop, or windowed.
  HWND Show(const char* title);
  HWND Handle() const { return reinterpret_cast<HWND>(window_); }

  // Translates the next native event the program reads; false when none is pending.
  bool Poll(MSG* msg);

  // The cursor in back-buffer pixels: the back buffer is scaled onto the window.
  void SetBackBufferSize(UINT width, UINT height);
  POINT CursorPos() const;
  void SetCursorPos(POINT point);

  void DrawableSize(int* width, int* height) const;
  void SetSwapInterval(UINT presentationInterval);
  void Swap() { SDL_GL_SwapWindow(window_); }

  // The screen's mode; in a window, the window's size stands in for the screen.
  D3DDISPLAYMODE DesktopMode() const;
  std::vector<D3DDISPLAYMODE> DisplayModes() const;

  void ShowMessageBox(const std::wstring& text, const std::wstring& caption) const;

 private:
  bool Translate(const SDL_Event& event, MSG* msg);
  POINT ToBackBuffer(int x, int y) const;

  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
  UINT backBufferWidth_ = 0;
  UINT backBufferHeight_ = 0;
  UINT windowedWidth_ = 0;   // 0: full screen
  UINT windowedHeight_ = 0;
  // Where SetCursorPos put the cursor, until SDL reports motion since: SDL's
  // own position only follows once the warp's event has been read.
  std::optional<POINT> warped_;
};

// Opens a file or address with the desktop's opener, without waiting for it.
void OpenWithDesktop(const char* target);

}  // namespace platform::gl
