#include "platform/gl/FixedFunctionShader.h"

#include "platform/gl/ShaderCode.h"

namespace platform::gl {
namespace {

std::string Index(UINT s) { return std::to_string(s); }

std::string Argument(uint8_t arg) {
  std::string value;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: value = "diffuse"; break;
    case D3DTA_TEXTURE: value = "texel"; break;
    default: value = "current"; break;
  }
  if (arg & D3DTA_ALPHAREPLICATE) value += ".aaaa";
  if (arg & D3DTA_COMPLEMENT) value = "(vec4(1.0) - " + value + ")";
  return value;
}

std::string Operation(uint8_t op, uint8_t arg1, uint8_t arg2) {
  const std::string a = Argument(arg1), b = Argument(arg2);
  std::string result;
  switch (op) {
    case D3DTOP_SELECTARG1: return a;
    case D3DTOP_SELECTARG2: return b;
    case D3DTOP_MODULATE: result = a + " * " + b; break;
    case D3DTOP_MODULATE2X: result = a + " * " + b + " * 2.0"; break;
    case D3DTOP_MODULATE4X: result = a + " * " + b + " * 4.0"; break;
    case D3DTOP_ADD: result = a + " + " + b; break;
    case D3DTOP_ADDSIGNED: result = a + " + " + b + " - vec4(0.5)"; break;
    case D3DTOP_SUBTRACT: result = a + " - " + b; break;
    case D3DTOP_BLENDDIFFUSEALPHA: return "mix(" + b + ", " + a + ", diffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA: return "mix(" + b + ", " + a + ", texel.a)";
    case D3DTOP_BLENDCURRENTALPHA: return "mix(" + b + ", " + a + ", current.a)";
    default: return a;
  }
  return "clamp(" + result + ", 0.0, 1.0)";
}

std::string TexcoordOutput(const FixedFunctionStage& stage, UINT s) {
  const std::string input = "inTexcoord" + Index(stage.texcoordIndex);
  if (stage.transformCount == 0) return "  vTexcoord" + Index(s) + " = " + input + ";\n";
  // Row vector (u, v, w, 1) times the stage's matrix.
  return "  vTexcoord" + Index(s) + " = uTextureMatrix[" + Index(s) + "] * " + input + ";\n";
}

std::string VertexShader(const FixedFunctionKey& key) {
  std::string out = kShaderVersion;
  out += kVertexDeviceCode;
  out += "uniform mat4 uWorld;\nuniform mat4 uViewProjection;\n";
  out += "uniform mat4 uTextureMatrix[" + Index(kMaxStages) + "];\n";
  out += "out vec4 vDiffuse;\n";
  for (UINT s = 0; s < key.stageCount; ++s) {
    if (key.stages[s].textured) out += "out vec4 vTexcoord" + Index(s) + ";\n";
  }
  out += "void main() {\n  vDiffuse = inColor;\n";
  if (key.pretransformed) {
    // Pixel coordinates of the target; rhw keeps interpolation perspective-correct.
    out += "  float w = inPosition.w != 0.0 ? 1.0 / inPosition.w : 1.0;\n"
           "  vec2 ndc = (inPosition.xy + 0.5 - uDeviceViewport.xy) / uDeviceViewport.zw * 2.0 - 1.0;\n"
           "  gl_Position = vec4(ndc, inPosition.z, 1.0) * w;\n"
           "  for (int i = 0; i < 6; ++i) gl_ClipDistance[i] = 1.0;\n";
  } else {
    out += "  vec4 world = uWorld * vec4(inPosition.xyz, 1.0);\n"
           "  EmitClipDistances(world);\n"
           "  gl_Position = DeviceTargetPosition(uViewProjection * world);\n";
  }
  for (UINT s = 0; s < key.stageCount; ++s) {
    if (key.stages[s].textured) out += TexcoordOutput(key.stages[s], s);
  }
  return out + "}\n";
}

std::string TextureLookup(const FixedFunctionStage& stage, UINT s) {
  if (!stage.textured) return "  texel = vec4(1.0);\n";
  const std::string t = "vTexcoord" + Index(s);
  std::string coords = t + ".xy";
  if (stage.projected) {
    static const char* const kLast[] = {"", "", "y", "z", "w"};
    coords = t + ".xy / " + t + "." + kLast[stage.transformCount];
  }
  return "  texel = texture(uTexture" + Index(s) + ", " + coords + ");\n";
}

std::string FragmentShader(const FixedFunctionKey& key) {
  std::string out = kShaderVersion;
  out += kFragmentDeviceCode;
  out += "in vec4 vDiffuse;\n";
  for (UINT s = 0; s < key.stageCount; ++s) {
    if (!key.stages[s].textured) continue;
    out += "in vec4 vTexcoord" + Index(s) + ";\nuniform sampler2D uTexture" + Index(s) + ";\n";
  }
  out += "void main() {\n  vec4 diffuse = vDiffuse;\n  vec4 current = diffuse;\n  vec4 texel;\n";
  for (UINT s = 0; s < key.stageCount; ++s) {
    const FixedFunctionStage& stage = key.stages[s];
    if (ReadsTexture(stage)) out += TextureLookup(stage, s);
    out += "  current = vec4((" + Operation(stage.colorOp, stage.colorArg1, stage.colorArg2) + ").rgb, (" +
           Operation(stage.alphaOp, stage.alphaArg1, stage.alphaArg2) + ").a);\n";
  }
  out += "  outColor = current;\n";
  out += AlphaTestCode(key.alphaTest);
  out += "}\n";
  return out;
}

}  // namespace

FixedFunctionSource GenerateFixedFunction(const FixedFunctionKey& key) {
  return {VertexShader(key), FragmentShader(key)};
}

}  // namespace platform::gl
