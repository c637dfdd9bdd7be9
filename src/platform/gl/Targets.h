// Where draws land: the off-screen back buffer, render-target texture levels and
// depth surfaces, combined into framebuffers on demand; present and read-back.
// Every target stores row 0 as the top row, as Direct3D does.
#pragma once

#include <epoxy/gl.h>

#include <map>
#include <tuple>
#include <vector>

#include "platform/device/Backend.h"
#include "platform/gl/StateCache.h"
#include "platform/gl/Textures.h"

namespace platform::gl {

class Targets {
 public:
  Targets(StateCache& cache, Textures& textures) : cache_(cache), textures_(textures) {}
  Targets(const Targets&) = delete;
  Targets& operator=(const Targets&) = delete;

  // (Re)creates the back buffer; an X8R8G8B8 one reads back with opaque alpha.
  void CreateBackBuffer(UINT width, UINT height, D3DFORMAT format);
  void ReleaseBackBuffer();
  UINT BackBufferWidth() const { return backBufferWidth_; }
  UINT BackBufferHeight() const { return backBufferHeight_; }

  // Binds the framebuffer of a colour target and an optional depth surface for drawing.
  bool Bind(SurfaceData& color, SurfaceData* depth);
  void Present(int windowWidth, int windowHeight);
  bool Read(SurfaceData& surface, std::vector<uint8_t>& bgra);

  void ReleaseSurface(SurfaceData& surface);
  // Drops the framebuffers that use a deleted texture.
  void ForgetTexture(GLuint texture);

 private:
  using FramebufferKey = std::tuple<GLuint, GLint, GLuint>;  // colour texture, level, depth renderbuffer
  GLuint Framebuffer(GLuint texture, GLint level, GLuint depth);
  bool ColorOf(SurfaceData& surface, GLuint* texture, GLint* level);
  GLuint DepthOf(SurfaceData& surface);
  template <typename Match>
  void DropFramebuffers(Match match);

  StateCache& cache_;
  Textures& textures_;
  GLuint backBuffer_ = 0;
  UINT backBufferWidth_ = 0;
  UINT backBufferHeight_ = 0;
  bool backBufferOpaque_ = false;
  std::map<FramebufferKey, GLuint> framebuffers_;
};

}  // namespace platform::gl
