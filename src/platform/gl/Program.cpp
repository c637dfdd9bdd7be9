#include "platform/gl/Program.h"

#include <algorithm>
#include <cstdio>

#include "platform/gl/GLCheck.h"
#include "platform/gl/ShaderCode.h"

namespace platform::gl {
namespace {

std::string InfoLog(GLuint object, bool program) {
  GLint length = 0;
  if (program) {
    glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
  } else {
    glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
  }
  std::string log(length > 0 ? length : 0, '\0');
  if (length > 0) {
    if (program) {
      glGetProgramInfoLog(object, length, nullptr, log.data());
    } else {
      glGetShaderInfoLog(object, length, nullptr, log.data());
    }
  }
  return log;
}

GLuint Compile(GLenum stage, const std::string& source, const std::string& label, std::string& error) {
  const GLuint shader = glCreateShader(stage);
  const char* text = source.c_str();
  GL_CHECK(glShaderSource(shader, 1, &text, nullptr));
  GL_CHECK(glCompileShader(shader));
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  error = label + ": " + (stage == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader does not compile:\n" +
          InfoLog(shader, false);
  std::fprintf(stderr, "%s\n", error.c_str());
  glDeleteShader(shader);
  return 0;
}

int Components(UniformKind kind) {
  switch (kind) {
    case UniformKind::Vec2: return 2;
    case UniformKind::Vec3: return 3;
    case UniformKind::Vec4: return 4;
    case UniformKind::Mat4: return 16;
    default: return 1;
  }
}

}  // namespace

bool Program::Build(const std::string& vertex, const std::string& fragment, const std::string& label) {
  Release();
  error_.clear();
  const GLuint vs = Compile(GL_VERTEX_SHADER, vertex, label, error_);
  const GLuint fs = vs ? Compile(GL_FRAGMENT_SHADER, fragment, label, error_) : 0;
  if (!fs) {
    if (vs) glDeleteShader(vs);
    return false;
  }
  program_ = glCreateProgram();
  GL_CHECK(glAttachShader(program_, vs));
  GL_CHECK(glAttachShader(program_, fs));
  GL_CHECK(glLinkProgram(program_));
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = GL_FALSE;
  glGetProgramiv(program_, GL_LINK_STATUS, &ok);
  if (!ok) {
    error_ = label + ": shaders do not link:\n" + InfoLog(program_, true);
    std::fprintf(stderr, "%s\n", error_.c_str());
    Release();
    return false;
  }
  clipPlanes_ = Location("uDeviceClipPlanes");
  viewport_ = Location("uDeviceViewport");
  alphaFunc_ = Location("uDeviceAlphaFunc");
  alphaRef_ = Location("uDeviceAlphaRef");
  return true;
}

void Program::Release() {
  if (program_) glDeleteProgram(program_);
  program_ = 0;
  uploaded_.clear();
}

void Program::Set(GLint location, UniformKind kind, GLsizei count, const float* values) {
  if (location < 0 || count <= 0) return;
  const size_t size = static_cast<size_t>(count) * Components(kind);
  std::vector<float>& last = uploaded_[location];
  if (last.size() == size && std::equal(last.begin(), last.end(), values)) return;
  last.assign(values, values + size);
  switch (kind) {
    case UniformKind::Float: GL_CHECK(glUniform1fv(location, count, values)); break;
    case UniformKind::Vec2: GL_CHECK(glUniform2fv(location, count, values)); break;
    case UniformKind::Vec3: GL_CHECK(glUniform3fv(location, count, values)); break;
    case UniformKind::Vec4: GL_CHECK(glUniform4fv(location, count, values)); break;
    // Row-major Direct3D matrices go up unchanged: M * v in GLSL is v * M in Direct3D.
    case UniformKind::Mat4: GL_CHECK(glUniformMatrix4fv(location, count, GL_FALSE, values)); break;
    case UniformKind::Int: {
      std::vector<GLint> ints(values, values + count);
      GL_CHECK(glUniform1iv(location, count, ints.data()));
      break;
    }
  }
}

void Program::SetInt(GLint location, int value) {
  const float asFloat = static_cast<float>(value);
  Set(location, UniformKind::Int, 1, &asFloat);
}

void Program::SetDeviceUniforms(const DrawState& state) {
  // A disabled plane goes up as zeros, which clip nothing: Mesa's software
  // rasterisers keep clipping by a stale plane after its GL_CLIP_DISTANCE is disabled.
  float planes[D3DMAXUSERCLIPPLANES][4] = {};
  for (DWORD i = 0; i < D3DMAXUSERCLIPPLANES; ++i) {
    if (state.renderStates[D3DRS_CLIPPLANEENABLE] & (1u << i)) std::copy_n(state.clipPlanes[i], 4, planes[i]);
  }
  Set(clipPlanes_, UniformKind::Vec4, D3DMAXUSERCLIPPLANES, &planes[0][0]);
  const D3DVIEWPORT9& vp = state.viewport;
  const float viewport[4] = {static_cast<float>(vp.X), static_cast<float>(vp.Y),
                             static_cast<float>(vp.Width ? vp.Width : 1), static_cast<float>(vp.Height ? vp.Height : 1)};
  Set(viewport_, UniformKind::Vec4, 1, viewport);
  const bool alphaTest = AlphaTestOn(state);
  SetInt(alphaFunc_, alphaTest ? static_cast<int>(state.renderStates[D3DRS_ALPHAFUNC]) : static_cast<int>(D3DCMP_ALWAYS));
  SetInt(alphaRef_, static_cast<int>(state.renderStates[D3DRS_ALPHAREF] & 0xFF));
}

}  // namespace platform::gl
