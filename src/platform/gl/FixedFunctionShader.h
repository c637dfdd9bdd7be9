// GLSL that emulates the fixed-function pipeline for one key: transforms (or
// pretransformed pixel positions), world-space clip planes, texture coordinate
// transforms and projection, the texture-stage cascade and the alpha test.
#pragma once

#include <string>

#include "platform/gl/FixedFunctionKey.h"

namespace platform::gl {

struct FixedFunctionSource {
  std::string vertex;
  std::string fragment;
};

// Uniforms: uWorld, uViewProjection, uTextureMatrix[kMaxStages], uTexture<s> samplers,
// and the device uniforms of ShaderCode.h.
FixedFunctionSource GenerateFixedFunction(const FixedFunctionKey& key);

}  // namespace platform::gl
