// GLSL shared by the generated fixed-function shaders and the effect prelude:
// vertex inputs, the device's position output (y flip, pixel-centre offset and
// clip distances) and the alpha test.
#pragma once

#include <string>

#include "platform/device/Backend.h"

namespace platform::gl {

// `#version` line of every stage.
extern const char* const kShaderVersion;

// Vertex stage: the inputs inPosition, inNormal, inColor, inTexcoord0..3 and
// EmitPosition(vec4 clipPosition).
extern const char* const kVertexDeviceCode;

// Fragment stage: the output outColor and DeviceAlphaPasses(float alpha).
extern const char* const kFragmentDeviceCode;

// Whether the state's alpha test can reject anything. Programs are built with
// or without the test: a fragment shader that may discard keeps the rasteriser
// from testing depth before it shades.
bool AlphaTestOn(const DrawState& state);
// The end of a fragment main that applies the alpha test, or nothing.
const char* AlphaTestCode(bool alphaTest);

// The full source of one stage of an effect technique (docs/effect-files.md).
std::string EffectStageSource(const EffectProgram& effect, const EffectTechnique& technique, bool vertexStage,
                              bool alphaTest);

}  // namespace platform::gl
