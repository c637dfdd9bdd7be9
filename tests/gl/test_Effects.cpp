// Effect files compiled to GLSL on the OpenGL backend, checked on read-back pixels.
#include "GLDeviceTest.h"

namespace gltest {
namespace {

class EffectTest : public GLDeviceTest {
 protected:
  void SetUp() override {
    GLDeviceTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_EQ(D3DXCreateEffectFromFileA(device_, "tests/data/gl/textured.fx", nullptr, nullptr, 0, nullptr,
                                        &effect_, nullptr),
              D3D_OK);
    Own(effect_);
  }

  // Draws a quad over x in [left, right] in every pass of the technique.
  void DrawWith(const char* technique, float shiftX, float left = -1.0f, float right = 1.0f) {
    D3DXMATRIX transform;
    D3DXMatrixTranslation(&transform, shiftX, 0, 0);
    ASSERT_EQ(effect_->SetTechnique(technique), D3D_OK);
    ASSERT_EQ(effect_->SetMatrix("matWorldViewProject", &transform), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(effect_->Begin(&passes, 0), D3D_OK);
    for (UINT pass = 0; pass < passes; ++pass) {
      ASSERT_EQ(effect_->BeginPass(pass), D3D_OK);
      DrawQuad(left, right);
      ASSERT_EQ(effect_->EndPass(), D3D_OK);
    }
    ASSERT_EQ(effect_->End(), D3D_OK);
  }
  void SetTint(float r, float g, float b) {
    const float tint[4] = {r, g, b, 1};
    ASSERT_EQ(effect_->SetFloatArray("tint", tint, 4), D3D_OK);
  }

  ID3DXEffect* effect_ = nullptr;
};

TEST_F(EffectTest, TexturedQuadMatchesFixedFunction) {
  ASSERT_EQ(effect_->SetTexture("defaultTexture", MakeQuadrantTexture()), D3D_OK);
  DrawWith("textured", 0.0f);
  ExpectQuadrants();
}

TEST_F(EffectTest, MatricesApplyAsRowVectorsAndUniformsArriveByName) {
  SetTint(0, 1, 0);
  DrawWith("tinted", 1.0f);  // v * M moves the quad right by half the screen
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(32, 64), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(96, 64), kGreen));
}

TEST_F(EffectTest, ClipPlaneIsInClipSpace) {
  SetTint(1, 1, 1);
  const float keepPositiveX[4] = {1, 0, 0, 0};
  ASSERT_EQ(device_->SetClipPlane(0, keepPositiveX), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0), D3D_OK);
  DrawWith("tinted", 0.5f, -1.5f, 1.5f);  // world x = 0 would be pixel 96; clip x = 0 is pixel 64
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(58, 64), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(70, 64), kWhite));
}

TEST_F(EffectTest, AlphaTestAppliesToTheEffectsOutput) {
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  const float faint[4] = {1, 1, 1, 0.25f}, strong[4] = {1, 1, 1, 0.75f};
  ASSERT_EQ(effect_->SetFloatArray("tint", faint, 4), D3D_OK);
  DrawWith("tinted", 0.0f, -1.0f, 0.0f);
  ASSERT_EQ(effect_->SetFloatArray("tint", strong, 4), D3D_OK);
  DrawWith("tinted", 0.0f, 0.0f, 1.0f);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(32, 64), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(96, 64), 0xBFFFFFFF));
}

TEST_F(EffectTest, BrokenShaderIsReportedOnceAndDrawsNothing) {
  ID3DXEffect* broken = nullptr;
  ASSERT_EQ(D3DXCreateEffectFromFileA(device_, "tests/data/gl/broken.fx", nullptr, nullptr, 0, nullptr, &broken,
                                      nullptr),
            D3D_OK);
  Own(broken);
  ::testing::internal::CaptureStderr();
  for (int frame = 0; frame < 2; ++frame) {
    UINT passes = 0;
    ASSERT_EQ(broken->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(broken->BeginPass(0), D3D_OK);
    DrawQuad();
    ASSERT_EQ(broken->EndPass(), D3D_OK);
    ASSERT_EQ(broken->End(), D3D_OK);
  }
  const std::string errors = ::testing::internal::GetCapturedStderr();
  const size_t first = errors.find("broken.fx");
  ASSERT_NE(first, std::string::npos) << errors;
  EXPECT_EQ(errors.find("broken.fx", first + 1), std::string::npos) << errors;
  EXPECT_NE(errors.find("undeclaredColour"), std::string::npos) << errors;
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(64, 64), kBlack));
}

}  // namespace
}  // namespace gltest
