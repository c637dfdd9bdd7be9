#include "platform/gl/Targets.h"

#include <cstdio>

#include "platform/gl/GLCheck.h"
#include "platform/gl/TextureFormat.h"

namespace platform::gl {
namespace {

struct GLDepth {
  GLuint renderbuffer = 0;
};

}  // namespace

void Targets::CreateBackBuffer(UINT width, UINT height, D3DFORMAT format) {
  ReleaseBackBuffer();
  GL_CHECK(glGenTextures(1, &backBuffer_));
  cache_.BindForWork(backBuffer_);
  GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr));
  GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0));
  backBufferWidth_ = width;
  backBufferHeight_ = height;
  backBufferOpaque_ = format == D3DFMT_X8R8G8B8;
}

void Targets::ReleaseBackBuffer() {
  if (!backBuffer_) return;
  ForgetTexture(backBuffer_);
  GL_CHECK(glDeleteTextures(1, &backBuffer_));
  backBuffer_ = 0;
  backBufferWidth_ = backBufferHeight_ = 0;
  cache_.Invalidate();
}

bool Targets::ColorOf(SurfaceData& surface, GLuint* texture, GLint* level) {
  if (surface.backBuffer) {
    *texture = backBuffer_;
    *level = 0;
    return backBuffer_ != 0;
  }
  GLTexture* gl = surface.texture ? textures_.Prepare(*surface.texture) : nullptr;
  if (!gl || static_cast<GLint>(surface.level) >= gl->levels) return false;
  *texture = gl->name;
  *level = static_cast<GLint>(surface.level);
  return true;
}

GLuint Targets::DepthOf(SurfaceData& surface) {
  if (auto* depth = static_cast<GLDepth*>(surface.gpu)) return depth->renderbuffer;
  const GLenum format = DepthFormatOf(surface.format);
  if (format == 0 || surface.width == 0 || surface.height == 0) return 0;
  auto* depth = new GLDepth;
  GL_CHECK(glGenRenderbuffers(1, &depth->renderbuffer));
  GL_CHECK(glBindRenderbuffer(GL_RENDERBUFFER, depth->renderbuffer));
  GL_CHECK(glRenderbufferStorage(GL_RENDERBUFFER, format, surface.width, surface.height));
  surface.gpu = depth;
  return depth->renderbuffer;
}

GLuint Targets::Framebuffer(GLuint texture, GLint level, GLuint depth) {
  const FramebufferKey key{texture, level, depth};
  auto found = framebuffers_.find(key);
  if (found != framebuffers_.end()) return found->second;
  GLuint framebuffer = 0;
  GL_CHECK(glGenFramebuffers(1, &framebuffer));
  cache_.BindDrawFramebuffer(framebuffer);
  GL_CHECK(glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level));
  if (depth) {
    GL_CHECK(glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth));
  }
  const GLenum status = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER);
  if (status != GL_FRAMEBUFFER_COMPLETE) {
    std::fprintf(stderr, "GL framebuffer incomplete (0x%04X)\n", status);
    GL_CHECK(glDeleteFramebuffers(1, &framebuffer));
    cache_.Invalidate();
    return 0;
  }
  framebuffers_.emplace(key, framebuffer);
  return framebuffer;
}

bool Targets::Bind(SurfaceData& color, SurfaceData* depth) {
  GLuint texture = 0;
  GLint level = 0;
  if (!ColorOf(color, &texture, &level)) return false;
  const GLuint framebuffer = Framebuffer(texture, level, depth ? DepthOf(*depth) : 0);
  if (!framebuffer) return false;
  cache_.BindDrawFramebuffer(framebuffer);
  if (level == 0 && color.texture) Textures::MarkDrawn(*color.texture);
  return true;
}

void Targets::Present(int windowWidth, int windowHeight) {
  const GLuint source = backBuffer_ ? Framebuffer(backBuffer_, 0, 0) : 0;
  if (!source) return;
  cache_.BindReadFramebuffer(source);
  cache_.BindDrawFramebuffer(0);
  cache_.Enable(GL_SCISSOR_TEST, false);
  const bool scaled = static_cast<int>(backBufferWidth_) != windowWidth ||
                      static_cast<int>(backBufferHeight_) != windowHeight;
  // Row 0 is the top of the picture, so it goes to the top of the window.
  GL_CHECK(glBlitFramebuffer(0, 0, backBufferWidth_, backBufferHeight_, 0, windowHeight, windowWidth, 0,
                             GL_COLOR_BUFFER_BIT, scaled ? GL_LINEAR : GL_NEAREST));
}

bool Targets::Read(SurfaceData& surface, std::vector<uint8_t>& bgra) {
  GLuint texture = 0;
  GLint level = 0;
  if (surface.depth || !ColorOf(surface, &texture, &level)) return false;
  const GLuint framebuffer = Framebuffer(texture, level, 0);
  if (!framebuffer) return false;
  const UINT width = surface.backBuffer ? backBufferWidth_ : surface.texture->LevelWidth(surface.level);
  const UINT height = surface.backBuffer ? backBufferHeight_ : surface.texture->LevelHeight(surface.level);
  bgra.assign(static_cast<size_t>(width) * height * 4, 0);
  cache_.BindReadFramebuffer(framebuffer);
  GL_CHECK(glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, bgra.data()));
  const bool opaque = surface.backBuffer ? backBufferOpaque_ : surface.texture->format == D3DFMT_X8R8G8B8;
  if (opaque) {
    for (size_t i = 3; i < bgra.size(); i += 4) bgra[i] = 0xFF;
  }
  return true;
}

template <typename Match>
void Targets::DropFramebuffers(Match match) {
  bool dropped = false;
  for (auto it = framebuffers_.begin(); it != framebuffers_.end();) {
    if (match(it->first)) {
      GL_CHECK(glDeleteFramebuffers(1, &it->second));
      it = framebuffers_.erase(it);
      dropped = true;
    } else {
      ++it;
    }
  }
  if (dropped) cache_.Invalidate();
}

void Targets::ForgetTexture(GLuint texture) {
  DropFramebuffers([texture](const FramebufferKey& key) { return std::get<0>(key) == texture; });
}

void Targets::ReleaseSurface(SurfaceData& surface) {
  auto* depth = static_cast<GLDepth*>(surface.gpu);
  if (!depth || !surface.depth) return;
  const GLuint renderbuffer = depth->renderbuffer;
  DropFramebuffers([renderbuffer](const FramebufferKey& key) { return std::get<2>(key) == renderbuffer; });
  GL_CHECK(glDeleteRenderbuffers(1, &renderbuffer));
  delete depth;
  surface.gpu = nullptr;
}

}  // namespace platform::gl
