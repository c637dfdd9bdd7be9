// How each Direct3D texture format is stored and uploaded in GL.
#pragma once

#include <epoxy/gl.h>

#include "platform/d3d9.h"

namespace platform::gl {

struct TextureFormat {
  GLint internalFormat = 0;  // 0: not supported
  GLenum format = 0;
  GLenum type = 0;
  GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
  bool renderable = false;
  bool vertexTexture = false;  // fetched by vertex shaders (shader model 3)
};

// The GL storage of a colour format; internalFormat 0 for formats we refuse.
TextureFormat TextureFormatOf(D3DFORMAT format);

// The renderbuffer storage of a depth format; 0 for formats we refuse.
GLenum DepthFormatOf(D3DFORMAT format);

}  // namespace platform::gl
