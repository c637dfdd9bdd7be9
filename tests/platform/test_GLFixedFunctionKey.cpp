// The key that selects a generated fixed-function shader: equal for states that
// draw alike, different where the shader must differ.
#include <gtest/gtest.h>

#include "platform/gl/FixedFunctionKey.h"

namespace {

using platform::DrawState;
using platform::gl::MakeFixedFunctionKey;

DrawState DefaultStages() {
  DrawState state;
  for (UINT s = 0; s < platform::kMaxStages; ++s) {
    state.stageStates[s][D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    state.stageStates[s][D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    state.stageStates[s][D3DTSS_COLORARG1] = state.stageStates[s][D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    state.stageStates[s][D3DTSS_COLORARG2] = state.stageStates[s][D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    state.stageStates[s][D3DTSS_TEXCOORDINDEX] = s;
  }
  return state;
}

TEST(GLFixedFunctionKey, StatesThatDrawAlikeShareAKey) {
  DrawState a = DefaultStages(), b = DefaultStages();
  // Unused second argument of SELECTARG1, states of stages after the first disabled one,
  // and transform flags of a stage without a texture argument make no difference.
  a.stageStates[0][D3DTSS_COLOROP] = b.stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
  b.stageStates[0][D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
  b.stageStates[2][D3DTSS_COLOROP] = D3DTOP_MODULATE;
  b.stageStates[1][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT3 | D3DTTFF_PROJECTED;
  EXPECT_TRUE(MakeFixedFunctionKey(a) == MakeFixedFunctionKey(b));
  a.stageStates[0][D3DTSS_COLORARG1] = b.stageStates[0][D3DTSS_COLORARG1] = D3DTA_DIFFUSE;
  a.stageStates[0][D3DTSS_ALPHAARG1] = b.stageStates[0][D3DTSS_ALPHAARG1] = D3DTA_DIFFUSE;
  b.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
  b.stageStates[0][D3DTSS_TEXCOORDINDEX] = 3;
  EXPECT_TRUE(MakeFixedFunctionKey(a) == MakeFixedFunctionKey(b));
}

TEST(GLFixedFunctionKey, StatesThatDrawDifferentlyGetDifferentKeys) {
  platform::TextureData texture;
  DrawState base = DefaultStages();
  base.textures[0] = &texture;
  const auto key = MakeFixedFunctionKey(base);
  EXPECT_EQ(key.stageCount, 1);

  DrawState projected = base;
  projected.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT3 | D3DTTFF_PROJECTED;
  EXPECT_FALSE(MakeFixedFunctionKey(projected) == key);

  DrawState untextured = base;
  untextured.textures[0] = nullptr;
  EXPECT_FALSE(MakeFixedFunctionKey(untextured) == key);

  DrawState pretransformed = base;
  pretransformed.layout = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0}};
  EXPECT_FALSE(MakeFixedFunctionKey(pretransformed) == key);

  DrawState twoStages = base;
  twoStages.stageStates[1][D3DTSS_COLOROP] = D3DTOP_BLENDDIFFUSEALPHA;
  EXPECT_EQ(MakeFixedFunctionKey(twoStages).stageCount, 2);
}

}  // namespace
