// Every shape of generated fixed-function shader compiles and links on the
// driver, including the stage set-ups the pixel tests do not draw.
#include <gtest/gtest.h>

#include "GLTest.h"

#include "platform/Platform.h"
#include "platform/gl/FixedFunctionShader.h"
#include "platform/gl/Program.h"

namespace {

using platform::DrawState;
using platform::gl::FixedFunctionKey;
using platform::gl::MakeFixedFunctionKey;

class FixedFunctionShaderTest : public gltest::GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    state_.layout = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                     {0, 12, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                     {0, 16, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TEXCOORD, 1}};
  }

  static void SetStage(DrawState& state, UINT s, DWORD colorOp, DWORD arg1, DWORD arg2, DWORD alphaOp) {
    DWORD* tss = state.stageStates[s];
    tss[D3DTSS_COLOROP] = colorOp;
    tss[D3DTSS_COLORARG1] = arg1;
    tss[D3DTSS_COLORARG2] = arg2;
    tss[D3DTSS_ALPHAOP] = alphaOp;
    tss[D3DTSS_ALPHAARG1] = arg2;
    tss[D3DTSS_ALPHAARG2] = arg1;
  }

  static bool Builds(const FixedFunctionKey& key) {
    const auto source = platform::gl::GenerateFixedFunction(key);
    platform::gl::Program program;
    const bool built = program.Build(source.vertex, source.fragment, "test");
    program.Release();
    return built;
  }

  DrawState state_;
  platform::TextureData texture_;
};

TEST_F(FixedFunctionShaderTest, EveryOperationAndArgumentCompiles) {
  const DWORD ops[] = {D3DTOP_SELECTARG1,  D3DTOP_SELECTARG2, D3DTOP_MODULATE,          D3DTOP_MODULATE2X,
                       D3DTOP_MODULATE4X,  D3DTOP_ADD,        D3DTOP_ADDSIGNED,         D3DTOP_SUBTRACT,
                       D3DTOP_BLENDDIFFUSEALPHA, D3DTOP_BLENDTEXTUREALPHA, D3DTOP_BLENDCURRENTALPHA};
  state_.textures[0] = &texture_;
  for (DWORD op : ops) {
    SetStage(state_, 0, op, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE, op);
    SetStage(state_, 1, op, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_DISABLE);
    EXPECT_TRUE(Builds(MakeFixedFunctionKey(state_))) << "operation " << op;
  }
}

TEST_F(FixedFunctionShaderTest, TransformsProjectionAndPretransformedPositionsCompile) {
  SetStage(state_, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
  SetStage(state_, 1, D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1);
  state_.textures[0] = state_.textures[1] = &texture_;
  const DWORD flags[] = {D3DTTFF_DISABLE, D3DTTFF_COUNT2, D3DTTFF_COUNT2 | D3DTTFF_PROJECTED,
                         D3DTTFF_COUNT3 | D3DTTFF_PROJECTED, D3DTTFF_COUNT4 | D3DTTFF_PROJECTED};
  for (DWORD flag : flags) {
    for (UINT s = 0; s < 2; ++s) {
      state_.stageStates[s][D3DTSS_TEXTURETRANSFORMFLAGS] = flag;
      state_.stageStates[s][D3DTSS_TEXCOORDINDEX] = 1;
    }
    EXPECT_TRUE(Builds(MakeFixedFunctionKey(state_))) << "flags " << flag;
  }
  state_.layout[0] = {0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0};
  state_.textures[1] = nullptr;  // a stage reading an absent texture reads white
  EXPECT_TRUE(Builds(MakeFixedFunctionKey(state_)));
}

}  // namespace
