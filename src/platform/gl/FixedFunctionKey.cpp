#include "platform/gl/FixedFunctionKey.h"

#include "platform/gl/Buffers.h"
#include "platform/gl/ShaderCode.h"

namespace platform::gl {
namespace {

bool UsesArg1(uint8_t op) { return op != D3DTOP_SELECTARG2; }
bool UsesArg2(uint8_t op) { return op != D3DTOP_SELECTARG1; }
bool IsTexture(uint8_t arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; }

uint8_t Byte(DWORD value) { return static_cast<uint8_t>(value); }

FixedFunctionStage MakeStage(const DrawState& state, UINT s) {
  const DWORD* tss = state.stageStates[s];
  FixedFunctionStage stage{};
  stage.colorOp = Byte(tss[D3DTSS_COLOROP]);
  stage.colorArg1 = UsesArg1(stage.colorOp) ? Byte(tss[D3DTSS_COLORARG1]) : 0;
  stage.colorArg2 = UsesArg2(stage.colorOp) ? Byte(tss[D3DTSS_COLORARG2]) : 0;
  stage.alphaOp = Byte(tss[D3DTSS_ALPHAOP]);
  if (stage.alphaOp == 0 || stage.alphaOp == D3DTOP_DISABLE) {
    // A disabled alpha operation passes the alpha on.
    stage.alphaOp = D3DTOP_SELECTARG1;
    stage.alphaArg1 = D3DTA_CURRENT;
  } else {
    stage.alphaArg1 = UsesArg1(stage.alphaOp) ? Byte(tss[D3DTSS_ALPHAARG1]) : 0;
    stage.alphaArg2 = UsesArg2(stage.alphaOp) ? Byte(tss[D3DTSS_ALPHAARG2]) : 0;
  }
  if (ReadsTexture(stage)) {
    stage.textured = state.textures[s] != nullptr;
    stage.texcoordIndex = Byte(tss[D3DTSS_TEXCOORDINDEX] & 3);
    const DWORD flags = tss[D3DTSS_TEXTURETRANSFORMFLAGS];
    stage.transformCount = Byte(flags & 7) <= 4 ? Byte(flags & 7) : 0;
    stage.projected = stage.transformCount >= 2 && (flags & D3DTTFF_PROJECTED) != 0;
  }
  return stage;
}

}  // namespace

bool ReadsTexture(const FixedFunctionStage& stage) {
  return IsTexture(stage.colorArg1) || IsTexture(stage.colorArg2) || IsTexture(stage.alphaArg1) ||
         IsTexture(stage.alphaArg2) || stage.colorOp == D3DTOP_BLENDTEXTUREALPHA ||
         stage.alphaOp == D3DTOP_BLENDTEXTUREALPHA;
}

FixedFunctionKey MakeFixedFunctionKey(const DrawState& state) {
  FixedFunctionKey key;
  std::memset(&key, 0, sizeof(key));
  key.pretransformed = IsPretransformed(state.layout);
  key.alphaTest = AlphaTestOn(state);
  for (UINT s = 0; s < kMaxStages; ++s) {
    const DWORD op = state.stageStates[s][D3DTSS_COLOROP];
    if (op == 0 || op == D3DTOP_DISABLE) break;
    key.stages[s] = MakeStage(state, s);
    key.stageCount = static_cast<uint8_t>(s + 1);
  }
  return key;
}

}  // namespace platform::gl
