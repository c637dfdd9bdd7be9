// A linked GL program with the device uniforms every program has (clip planes,
// viewport, alpha test) and a cache of uploaded uniform values.
#pragma once

#include <epoxy/gl.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/device/Backend.h"

namespace platform::gl {

enum class UniformKind { Float, Vec2, Vec3, Vec4, Mat4, Int };

class Program {
 public:
  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Compiles and links; on failure prints the GL log under `label` and returns false.
  bool Build(const std::string& vertex, const std::string& fragment, const std::string& label);
  // Why the last Build failed; empty after a success.
  const std::string& Error() const { return error_; }
  void Release();
  GLuint Name() const { return program_; }
  GLint Location(const char* name) const { return glGetUniformLocation(program_, name); }

  // Uploads `count` elements of `kind` unless the same values are already there.
  // The program must be in use.
  void Set(GLint location, UniformKind kind, GLsizei count, const float* values);
  void SetInt(GLint location, int value);

  // Clip planes (enabled or not), the viewport and the alpha test of the state.
  void SetDeviceUniforms(const DrawState& state);

 private:
  GLuint program_ = 0;
  std::string error_;
  GLint clipPlanes_ = -1, viewport_ = -1, alphaFunc_ = -1, alphaRef_ = -1;
  std::unordered_map<GLint, std::vector<float>> uploaded_;
};

}  // namespace platform::gl
