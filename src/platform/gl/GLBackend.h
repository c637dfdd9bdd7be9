// The OpenGL backend: SDL2 window system and OpenGL 3.3 core (with
// ARB_clip_control) drawing behind the device front end.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/device/Backend.h"
#include "platform/gl/Buffers.h"
#include "platform/gl/Effects.h"
#include "platform/gl/FixedFunction.h"
#include "platform/gl/Renderer.h"
#include "platform/gl/StateCache.h"
#include "platform/gl/Targets.h"
#include "platform/gl/Textures.h"
#include "platform/gl/Window.h"

namespace platform::gl {

class GLBackend final : public Backend {
 public:
  // Null, with the reason in `error`, when no display or no suitable GL context exists.
  static std::unique_ptr<GLBackend> Create(std::string* error, WindowedSize windowed = {});

  D3DCAPS9 Caps() override;
  D3DDISPLAYMODE DesktopMode() override { return window_.DesktopMode(); }
  std::vector<D3DDISPLAYMODE> DisplayModes() override { return window_.DisplayModes(); }
  bool SupportsFormat(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format) override;

  HRESULT CreateDevice(HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters) override;
  HRESULT CooperativeLevel() override { return D3D_OK; }
  HRESULT Reset(const D3DPRESENT_PARAMETERS& parameters) override;
  void Present() override;
  void DestroyDevice() override;

  void ReleaseTexture(TextureData& texture) override;
  void ReleaseSurface(SurfaceData& surface) override;
  void ReleaseBuffer(BufferData& buffer) override;
  void ReleaseEffect(EffectProgram& effect) override;
  bool CompileEffect(EffectProgram& effect, std::string& errors) override;

  void Clear(const DrawState& state, DWORD flags, D3DCOLOR color, float z) override;
  void Draw(const DrawState& state, const DrawCall& call) override;
  bool ReadSurface(SurfaceData& surface, std::vector<uint8_t>& bgra) override;

  HWND CreateMainWindow(const char* title) override { return window_.Show(title); }
  bool PollNativeMessage(MSG* msg) override { return window_.Poll(msg); }
  POINT CursorPos() override { return window_.CursorPos(); }
  void SetCursorPos(POINT point) override { window_.SetCursorPos(point); }
  int64_t Counter() override;
  int64_t Frequency() override;
  void ShowMessageBox(const std::wstring& text, const std::wstring& caption) override;
  void ShellOpen(const char* target) override;
  void FinishWork() override;

 private:
  GLBackend() = default;
  void SizeBackBuffer(const D3DPRESENT_PARAMETERS& parameters);

  // GL objects need no deleting at the end: they go with the context, which the
  // window owns. The window is declared first so it is destroyed last.
  Window window_;
  StateCache cache_;
  Textures textures_{cache_};
  Targets targets_{cache_, textures_};
  Buffers buffers_{cache_};
  FixedFunction fixedFunction_{cache_, textures_};
  Effects effects_{cache_, textures_};
  Renderer renderer_{cache_, targets_, buffers_, fixedFunction_, effects_};
};

}  // namespace platform::gl
