#include "platform/gl/StateCache.h"

#include <limits>

#include "platform/gl/GLCheck.h"

namespace platform::gl {
namespace {

// Sets `shadow` to `value` and reports whether GL must be told.
template <typename T>
bool Changed(T& shadow, T value) {
  if (shadow == value) return false;
  shadow = value;
  return true;
}

}  // namespace

void StateCache::Invalidate() {
  enabled_.fill(kUnknown);
  depthFunc_ = depthMask_ = blendSource_ = blendDest_ = blendEquation_ = kUnknown;
  cullFace_ = polygonMode_ = colorMask_ = kUnknown;
  depthNear_ = depthFar_ = -1.0f;
  viewport_.fill(-1);
  scissor_.fill(-1);
  program_ = drawFramebuffer_ = readFramebuffer_ = arrayBuffer_ = elementBuffer_ = activeUnit_ = kUnknown;
  textures_.fill(kUnknown);
  samplers_.fill(kUnknown);
  attributes_.fill(kUnknown);
  sources_.fill(AttributeSource{kUnknown, 0, 0, GL_FALSE, 0, 0});
  // NaN never compares equal, so the first constant always reaches GL.
  constants_.fill({std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f, 0.0f});
}

int StateCache::IndexOf(GLenum capability) {
  switch (capability) {
    case GL_DEPTH_TEST: return kDepthTest;
    case GL_CULL_FACE: return kCullFace;
    case GL_BLEND: return kBlend;
    case GL_SCISSOR_TEST: return kScissorTest;
    default: return kClipDistance0 + static_cast<int>(capability - GL_CLIP_DISTANCE0);
  }
}

void StateCache::Enable(GLenum capability, bool on) {
  if (!Changed(enabled_[IndexOf(capability)], static_cast<uint32_t>(on))) return;
  if (on) {
    GL_CHECK(glEnable(capability));
  } else {
    GL_CHECK(glDisable(capability));
  }
}

void StateCache::DepthFunc(GLenum func) {
  if (Changed(depthFunc_, static_cast<uint32_t>(func))) GL_CHECK(glDepthFunc(func));
}

void StateCache::DepthMask(bool write) {
  if (Changed(depthMask_, static_cast<uint32_t>(write))) GL_CHECK(glDepthMask(write ? GL_TRUE : GL_FALSE));
}

void StateCache::DepthRange(float nearZ, float farZ) {
  if (depthNear_ == nearZ && depthFar_ == farZ) return;
  depthNear_ = nearZ;
  depthFar_ = farZ;
  GL_CHECK(glDepthRange(nearZ, farZ));
}

void StateCache::BlendFunc(GLenum source, GLenum dest) {
  const bool a = Changed(blendSource_, static_cast<uint32_t>(source));
  const bool b = Changed(blendDest_, static_cast<uint32_t>(dest));
  if (a || b) GL_CHECK(glBlendFunc(source, dest));
}

void StateCache::BlendEquation(GLenum equation) {
  if (Changed(blendEquation_, static_cast<uint32_t>(equation))) GL_CHECK(glBlendEquation(equation));
}

void StateCache::CullFace(GLenum face) {
  if (Changed(cullFace_, static_cast<uint32_t>(face))) GL_CHECK(glCullFace(face));
}

void StateCache::PolygonMode(GLenum mode) {
  if (Changed(polygonMode_, static_cast<uint32_t>(mode))) GL_CHECK(glPolygonMode(GL_FRONT_AND_BACK, mode));
}

void StateCache::ColorMask(uint32_t rgbaBits) {
  if (!Changed(colorMask_, rgbaBits)) return;
  GL_CHECK(glColorMask((rgbaBits & 1) != 0, (rgbaBits & 2) != 0, (rgbaBits & 4) != 0, (rgbaBits & 8) != 0));
}

void StateCache::Viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (Changed(viewport_, std::array<GLint, 4>{x, y, width, height})) GL_CHECK(glViewport(x, y, width, height));
}

void StateCache::Scissor(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (Changed(scissor_, std::array<GLint, 4>{x, y, width, height})) GL_CHECK(glScissor(x, y, width, height));
}

void StateCache::UseProgram(GLuint program) {
  if (Changed(program_, program)) GL_CHECK(glUseProgram(program));
}

void StateCache::BindTexture(int unit, GLuint texture) {
  if (textures_[unit] == texture) return;
  textures_[unit] = texture;
  if (Changed(activeUnit_, static_cast<uint32_t>(unit))) GL_CHECK(glActiveTexture(GL_TEXTURE0 + unit));
  GL_CHECK(glBindTexture(GL_TEXTURE_2D, texture));
}

void StateCache::BindForWork(GLuint texture) {
  if (Changed(activeUnit_, static_cast<uint32_t>(kWorkUnit))) GL_CHECK(glActiveTexture(GL_TEXTURE0 + kWorkUnit));
  if (Changed(textures_[kWorkUnit], texture)) GL_CHECK(glBindTexture(GL_TEXTURE_2D, texture));
}

void StateCache::BindSampler(int unit, GLuint sampler) {
  if (Changed(samplers_[unit], sampler)) GL_CHECK(glBindSampler(unit, sampler));
}

void StateCache::BindDrawFramebuffer(GLuint framebuffer) {
  if (Changed(drawFramebuffer_, framebuffer)) GL_CHECK(glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer));
}

void StateCache::BindReadFramebuffer(GLuint framebuffer) {
  if (Changed(readFramebuffer_, framebuffer)) GL_CHECK(glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer));
}

void StateCache::BindArrayBuffer(GLuint buffer) {
  if (Changed(arrayBuffer_, buffer)) GL_CHECK(glBindBuffer(GL_ARRAY_BUFFER, buffer));
}

void StateCache::BindElementBuffer(GLuint buffer) {
  if (Changed(elementBuffer_, buffer)) GL_CHECK(glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer));
}

void StateCache::EnableAttribute(GLuint location, bool on) {
  if (!Changed(attributes_[location], static_cast<uint32_t>(on))) return;
  if (on) {
    GL_CHECK(glEnableVertexAttribArray(location));
  } else {
    GL_CHECK(glDisableVertexAttribArray(location));
  }
}

void StateCache::AttributeArray(GLuint location, const AttributeSource& source) {
  if (Changed(sources_[location], source)) {
    BindArrayBuffer(source.buffer);
    GL_CHECK(glVertexAttribPointer(location, source.size, source.type, source.normalized, source.stride,
                                   reinterpret_cast<const void*>(static_cast<uintptr_t>(source.offset))));
  }
  EnableAttribute(location, true);
}

void StateCache::AttributeConstant(GLuint location, const std::array<float, 4>& value) {
  EnableAttribute(location, false);
  if (Changed(constants_[location], value)) GL_CHECK(glVertexAttrib4fv(location, value.data()));
}

}  // namespace platform::gl
