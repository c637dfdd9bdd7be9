#include "platform/gl/Window.h"

#include <epoxy/gl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>

#include "platform/Utf8.h"
#include "platform/gl/KeyMap.h"

extern char** environ;

namespace platform::gl {
namespace {

constexpr const char* kIconPath = "data/icon.bmp";

D3DDISPLAYMODE ModeOf(const SDL_DisplayMode& mode) {
  return {static_cast<UINT>(mode.w), static_cast<UINT>(mode.h), static_cast<UINT>(mode.refresh_rate),
          D3DFMT_X8R8G8B8};
}

LPARAM PointParam(POINT p) { return static_cast<LPARAM>((static_cast<uint32_t>(p.y) << 16) | (p.x & 0xFFFF)); }

}  // namespace

Window::~Window() {
  if (context_) SDL_GL_DeleteContext(context_);
  if (window_) SDL_DestroyWindow(window_);
}

bool Window::Open(std::string* error, UINT windowedWidth, UINT windowedHeight) {
  windowedWidth_ = windowedWidth;
  windowedHeight_ = windowedHeight;
  // Video stays up for the rest of the process once started: shutting it down
  // unloads the GL driver, and a new backend would load it again.
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = std::string("no display: ") + SDL_GetError();
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) {
    *error = std::string("no display (video driver ") + (driver ? driver : "none") + ")";
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  // Drawing goes to our own back buffer; the window only receives the blit.
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 640, 480,
                             SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window_) {
    *error = std::string("cannot open a window: ") + SDL_GetError();
    return false;
  }
  context_ = SDL_GL_CreateContext(window_);
  if (!context_) {
    *error = std::string("no OpenGL 3.3 core context: ") + SDL_GetError();
    return false;
  }
  const int version = epoxy_gl_version();
  if (version < 33) {
    *error = "no OpenGL 3.3 core context (driver offers " + std::to_string(version / 10) + "." +
             std::to_string(version % 10) + ")";
    return false;
  }
  if (version < 45 && !epoxy_has_gl_extension("GL_ARB_clip_control")) {
    *error = "OpenGL " + std::to_string(version / 10) + "." + std::to_string(version % 10) +
             " without ARB_clip_control (Direct3D depth range 0..1 needs it)";
    return false;
  }
  return true;
}

HWND Window::Show(const char* title) {
  SDL_SetWindowTitle(window_, title ? title : "");
  if (SDL_Surface* icon = SDL_LoadBMP(kIconPath)) {
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
  }
  if (windowedWidth_ > 0 && windowedHeight_ > 0) {
    SDL_SetWindowSize(window_, static_cast<int>(windowedWidth_), static_cast<int>(windowedHeight_));
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    SDL_ShowWindow(window_);
    return Handle();
  }
  // Sized to the desktop first: without a window manager the full-screen request alone changes nothing.
  const D3DDISPLAYMODE desktop = DesktopMode();
  if (desktop.Width > 0 && desktop.Height > 0) {
    SDL_SetWindowPosition(window_, 0, 0);
    SDL_SetWindowSize(window_, static_cast<int>(desktop.Width), static_cast<int>(desktop.Height));
  }
  SDL_ShowWindow(window_);
  SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  return Handle();
}

bool Window::Poll(MSG* msg) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (Translate(event, msg)) return true;
  }
  return false;
}

bool Window::Translate(const SDL_Event& event, MSG* msg) {
  if (event.type == SDL_MOUSEMOTION) warped_.reset();
  *msg = MSG{};
  msg->hwnd = Handle();
  msg->time = SDL_GetTicks();
  msg->pt = CursorPos();
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      msg->message = event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP;
      msg->wParam = VirtualKeyOf(event.key.keysym);
      return msg->wParam != 0;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (event.button.button != SDL_BUTTON_LEFT) return false;
      msg->message = event.type == SDL_MOUSEBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      msg->pt = ToBackBuffer(event.button.x, event.button.y);
      msg->lParam = PointParam(msg->pt);
      return true;
    case SDL_QUIT:
      msg->message = WM_CLOSE;
      return true;
    default:
      return false;
  }
}

void Window::SetBackBufferSize(UINT width, UINT height) {
  backBufferWidth_ = width;
  backBufferHeight_ = height;
}

POINT Window::ToBackBuffer(int x, int y) const {
  int width = 0, height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  if (backBufferWidth_ == 0 || backBufferHeight_ == 0 || width <= 0 || height <= 0) return {x, y};
  return {static_cast<LONG>(static_cast<int64_t>(x) * backBufferWidth_ / width),
          static_cast<LONG>(static_cast<int64_t>(y) * backBufferHeight_ / height)};
}

POINT Window::CursorPos() const {
  if (warped_) return *warped_;
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  return ToBackBuffer(x, y);
}

void Window::SetCursorPos(POINT point) {
  int width = 0, height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  int x = point.x, y = point.y;
  if (backBufferWidth_ > 0 && backBufferHeight_ > 0) {
    x = static_cast<int>(static_cast<int64_t>(point.x) * width / backBufferWidth_);
    y = static_cast<int>(static_cast<int64_t>(point.y) * height / backBufferHeight_);
  }
  // Motion from before the warp would otherwise end it early.
  SDL_PumpEvents();
  SDL_FlushEvent(SDL_MOUSEMOTION);
  SDL_WarpMouseInWindow(window_, x, y);
  warped_ = point;
}

void Window::DrawableSize(int* width, int* height) const { SDL_GL_GetDrawableSize(window_, width, height); }

void Window::SetSwapInterval(UINT presentationInterval) {
  SDL_GL_SetSwapInterval(presentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
}

D3DDISPLAYMODE Window::DesktopMode() const {
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return {0, 0, 0, D3DFMT_X8R8G8B8};
  D3DDISPLAYMODE desktop = ModeOf(mode);
  if (windowedWidth_ > 0 && windowedHeight_ > 0) {
    desktop.Width = windowedWidth_;
    desktop.Height = windowedHeight_;
  }
  return desktop;
}

std::vector<D3DDISPLAYMODE> Window::DisplayModes() const {
  std::vector<D3DDISPLAYMODE> modes;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode{};
    if (SDL_GetDisplayMode(0, i, &mode) == 0) modes.push_back(ModeOf(mode));
  }
  return modes;
}

void Window::ShowMessageBox(const std::wstring& text, const std::wstring& caption) const {
  const std::string body = Utf8FromWide(text.c_str()), title = Utf8FromWide(caption.c_str());
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), body.c_str(), window_) != 0)
    std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
}

void OpenWithDesktop(const char* target) {
  // The shell puts the opener in the background and returns at once, so
  // waiting for it leaves no zombie behind and never blocks the frame loop.
  const char* argv[] = {"sh", "-c", "xdg-open \"$1\" >/dev/null 2>&1 &", "sh", target, nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) == 0)
    waitpid(pid, nullptr, 0);
}

}  // namespace platform::gl
