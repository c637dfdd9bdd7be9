#include "platform/gl/ShaderCode.h"

namespace platform::gl {

const char* const kShaderVersion = "#version 330 core\n";

// Every target is drawn upside down in GL terms so that row 0 is the top, as in
// Direct3D; the half-pixel shift puts Direct3D 9's pixel centres (integer
// coordinates) where GL samples (at .5).
const char* const kVertexDeviceCode = R"(layout(location = 0) in vec4 inPosition;
layout(location = 1) in vec4 inNormal;
layout(location = 2) in vec4 inColor;
layout(location = 3) in vec4 inTexcoord0;
layout(location = 4) in vec4 inTexcoord1;
layout(location = 5) in vec4 inTexcoord2;
layout(location = 6) in vec4 inTexcoord3;
uniform vec4 uDeviceClipPlanes[6];
uniform vec4 uDeviceViewport;
out float gl_ClipDistance[6];
vec4 DeviceTargetPosition(vec4 p) {
  return vec4(p.x + p.w / uDeviceViewport.z, -p.y + p.w / uDeviceViewport.w, p.z, p.w);
}
void EmitClipDistances(vec4 p) {
  for (int i = 0; i < 6; ++i) gl_ClipDistance[i] = dot(p, uDeviceClipPlanes[i]);
}
void EmitPosition(vec4 clipPosition) {
  EmitClipDistances(clipPosition);
  gl_Position = DeviceTargetPosition(clipPosition);
}
)";

const char* const kFragmentDeviceCode = R"(layout(location = 0) out vec4 outColor;
uniform int uDeviceAlphaFunc;
uniform int uDeviceAlphaRef;
bool DeviceAlphaPasses(float alpha) {
  int a = int(clamp(alpha, 0.0, 1.0) * 255.0 + 0.5);
  switch (uDeviceAlphaFunc) {
    case 1: return false;
    case 2: return a < uDeviceAlphaRef;
    case 3: return a == uDeviceAlphaRef;
    case 4: return a <= uDeviceAlphaRef;
    case 5: return a > uDeviceAlphaRef;
    case 6: return a != uDeviceAlphaRef;
    case 7: return a >= uDeviceAlphaRef;
    default: return true;
  }
}
)";

bool AlphaTestOn(const DrawState& state) {
  return state.renderStates[D3DRS_ALPHATESTENABLE] != FALSE && state.renderStates[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS;
}

const char* AlphaTestCode(bool alphaTest) { return alphaTest ? "  if (!DeviceAlphaPasses(outColor.a)) discard;\n" : ""; }

std::string EffectStageSource(const EffectProgram& effect, const EffectTechnique& technique, bool vertexStage,
                              bool alphaTest) {
  std::string source = kShaderVersion;
  for (const auto& [name, value] : technique.defines) {
    source += "#define " + name + " " + (value.empty() ? std::string("1") : value) + "\n";
  }
  if (vertexStage) {
    source += "#define VERTEX_SHADER 1\n";
    source += kVertexDeviceCode;
    source += "#line 1\n" + effect.source + "\n";
    return source;
  }
  // The effect's main is renamed so the alpha test can run after it.
  source += "#define FRAGMENT_SHADER 1\n";
  source += kFragmentDeviceCode;
  source += "#define main EffectMain\n#line 1\n" + effect.source + "\n#undef main\n";
  source += std::string("void main() {\n  EffectMain();\n") + AlphaTestCode(alphaTest) + "}\n";
  return source;
}

}  // namespace platform::gl
