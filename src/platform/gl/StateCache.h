// A shadow of the GL state the backend changes, so GL is called only when a
// value really changes. Invalidate() forgets everything (after GL objects are
// deleted, since GL reuses their names).
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <cstdint>

namespace platform::gl {

constexpr int kTextureUnits = 16;
constexpr int kClipPlanes = 6;
constexpr int kAttributes = 7;
// Texture creation and uploads bind to the last unit, which draws never use.
constexpr int kWorkUnit = kTextureUnits - 1;

class StateCache {
 public:
  StateCache() { Invalidate(); }
  void Invalidate();

  void Enable(GLenum capability, bool on);
  void DepthFunc(GLenum func);
  void DepthMask(bool write);
  void DepthRange(float nearZ, float farZ);
  void BlendFunc(GLenum source, GLenum dest);
  void BlendEquation(GLenum equation);
  void CullFace(GLenum face);
  void PolygonMode(GLenum mode);
  void ColorMask(uint32_t rgbaBits);  // bit 0 red .. bit 3 alpha
  void Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
  void Scissor(GLint x, GLint y, GLsizei width, GLsizei height);
  void UseProgram(GLuint program);
  void BindTexture(int unit, GLuint texture);
  // Binds to the work unit and makes it active, so glTex* calls act on `texture`.
  void BindForWork(GLuint texture);
  void BindSampler(int unit, GLuint sampler);
  void BindDrawFramebuffer(GLuint framebuffer);
  void BindReadFramebuffer(GLuint framebuffer);
  void BindArrayBuffer(GLuint buffer);
  void BindElementBuffer(GLuint buffer);

  // Where an enabled attribute reads: buffer, format and place.
  struct AttributeSource {
    GLuint buffer;
    GLint size;
    GLenum type;
    GLboolean normalized;
    GLsizei stride;
    GLintptr offset;
    bool operator==(const AttributeSource&) const = default;
  };
  // Points `location` at `source` and enables it. A layout drawn again with the
  // same streams costs no GL call.
  void AttributeArray(GLuint location, const AttributeSource& source);
  // Disables `location` and gives it the constant value shaders then read.
  void AttributeConstant(GLuint location, const std::array<float, 4>& value);

 private:
  void EnableAttribute(GLuint location, bool on);

  // Sentinel for "unknown": the next call always reaches GL.
  static constexpr uint32_t kUnknown = 0xFFFFFFFFu;

  enum Capability { kDepthTest, kCullFace, kBlend, kScissorTest, kClipDistance0, kCapabilityCount = 10 };
  static int IndexOf(GLenum capability);

  std::array<uint32_t, kCapabilityCount> enabled_{};
  uint32_t depthFunc_, depthMask_, blendSource_, blendDest_, blendEquation_, cullFace_, polygonMode_, colorMask_;
  float depthNear_, depthFar_;
  std::array<GLint, 4> viewport_{}, scissor_{};
  uint32_t program_, drawFramebuffer_, readFramebuffer_, arrayBuffer_, elementBuffer_;
  uint32_t activeUnit_;
  std::array<uint32_t, kTextureUnits> textures_{}, samplers_{};
  std::array<uint32_t, kAttributes> attributes_{};
  std::array<AttributeSource, kAttributes> sources_{};
  std::array<std::array<float, 4>, kAttributes> constants_{};
};

}  // namespace platform::gl
