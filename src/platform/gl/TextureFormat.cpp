#include "platform/gl/TextureFormat.h"

namespace platform::gl {

TextureFormat TextureFormatOf(D3DFORMAT format) {
  TextureFormat f;
  switch (format) {
    case D3DFMT_A8R8G8B8:  // bytes B, G, R, A
      f = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, true, false};
      break;
    case D3DFMT_X8R8G8B8:
      f = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}, true, false};
      break;
    case D3DFMT_A8B8G8R8:  // bytes R, G, B, A
      f = {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, true, false};
      break;
    case D3DFMT_R32F:  // Direct3D reads the missing channels as 1
      f = {GL_R32F, GL_RED, GL_FLOAT, {GL_RED, GL_ONE, GL_ONE, GL_ONE}, true, true};
      break;
    case D3DFMT_A32B32G32R32F:  // floats R, G, B, A
      f = {GL_RGBA32F, GL_RGBA, GL_FLOAT, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, true, true};
      break;
    case D3DFMT_L8:
      f = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_RED, GL_RED, GL_RED, GL_ONE}, false, false};
      break;
    case D3DFMT_A8:
      f = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED}, false, false};
      break;
    default:
      break;
  }
  return f;
}

GLenum DepthFormatOf(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE:
      return GL_DEPTH_COMPONENT16;
    case D3DFMT_D24S8:
      return GL_DEPTH24_STENCIL8;
    case D3DFMT_D24X8:
    case D3DFMT_D32:
      return GL_DEPTH_COMPONENT24;
    default:
      return 0;
  }
}

}  // namespace platform::gl
