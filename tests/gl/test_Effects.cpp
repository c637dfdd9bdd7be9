// Effect files compiled to GLSL on the OpenGL backend, checked on read-back pixels.
#include "GLDeviceTest.h"

namespace gltest {
namespace {

constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
constexpr D3DCOLOR kBlack = 0xFF000000;

class EffectTest : public GLDeviceTest {
 protected:
  void SetUp() override {
    GLDeviceTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_EQ(D3DXCreateEffectFromFileA(device_, "tests/data/gl/textured.fx", nullptr, nullptr, 0, nullptr,
                                        &effect_, nullptr),
              D3D_OK);
  }
  void TearDown() override {
    if (effect_) effect_->Release();
    GLDeviceTest::TearDown();
  }

  // Draws `vertices` (a strip of two triangles) in every pass of the technique.
  void DrawWith(const char* technique, const D3DXMATRIX& transform, const TexturedVertex* vertices) {
    ASSERT_EQ(effect_->SetTechnique(technique), D3D_OK);
    ASSERT_EQ(effect_->SetMatrix("matWorldViewProject", &transform), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(effect_->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(device_->SetFVF(kTexturedFVF), D3D_OK);
    for (UINT pass = 0; pass < passes; ++pass) {
      ASSERT_EQ(effect_->BeginPass(pass), D3D_OK);
      ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices, sizeof(TexturedVertex)), D3D_OK);
      ASSERT_EQ(effect_->EndPass(), D3D_OK);
    }
    ASSERT_EQ(effect_->End(), D3D_OK);
  }

  ID3DXEffect* effect_ = nullptr;
};

const TexturedVertex kScreenQuad[4] = {
    {-1, 1, 0.5f, 0, 0}, {1, 1, 0.5f, 1, 0}, {-1, -1, 0.5f, 0, 1}, {1, -1, 0.5f, 1, 1}};

TEST_F(EffectTest, TexturedQuadMatchesFixedFunction) {
  IDirect3DTexture9* texture = MakeTexture(2, 2, {kRed, kGreen, kBlue, kWhite});
  ASSERT_NE(texture, nullptr);
  ASSERT_EQ(effect_->SetTexture("defaultTexture", texture), D3D_OK);
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  DrawWith("textured", identity, kScreenQuad);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(32, 32), kRed));
  EXPECT_TRUE(ColorNear(Pixel(96, 32), kGreen));
  EXPECT_TRUE(ColorNear(Pixel(32, 96), kBlue));
  EXPECT_TRUE(ColorNear(Pixel(96, 96), kWhite));
  effect_->SetTexture("defaultTexture", nullptr);
  texture->Release();
}

TEST_F(EffectTest, MatricesApplyAsRowVectorsAndUniformsArriveByName) {
  const float tint[4] = {0, 1, 0, 1};
  ASSERT_EQ(effect_->SetFloatArray("tint", tint, 4), D3D_OK);
  D3DXMATRIX shift;
  D3DXMatrixTranslation(&shift, 1.0f, 0, 0);  // v * M moves the quad right by half the screen
  DrawWith("tinted", shift, kScreenQuad);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(32, 64), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(96, 64), kGreen));
}

TEST_F(EffectTest, ClipPlaneIsInClipSpace) {
  const float white[4] = {1, 1, 1, 1};
  ASSERT_EQ(effect_->SetFloatArray("tint", white, 4), D3D_OK);
  const float keepPositiveX[4] = {1, 0, 0, 0};
  ASSERT_EQ(device_->SetClipPlane(0, keepPositiveX), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0), D3D_OK);
  D3DXMATRIX shift;
  D3DXMatrixTranslation(&shift, 0.5f, 0, 0);  // world x = 0 would be pixel 96; clip x = 0 is pixel 64
  const TexturedVertex wide[4] = {
      {-1.5f, 1, 0.5f, 0, 0}, {1.5f, 1, 0.5f, 1, 0}, {-1.5f, -1, 0.5f, 0, 1}, {1.5f, -1, 0.5f, 1, 1}};
  DrawWith("tinted", shift, wide);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(58, 64), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(70, 64), kWhite));
}

TEST_F(EffectTest, BrokenShaderIsReportedOnceAndDrawsNothing) {
  ID3DXEffect* broken = nullptr;
  ASSERT_EQ(D3DXCreateEffectFromFileA(device_, "tests/data/gl/broken.fx", nullptr, nullptr, 0, nullptr, &broken,
                                      nullptr),
            D3D_OK);
  ASSERT_EQ(device_->SetFVF(kTexturedFVF), D3D_OK);
  ::testing::internal::CaptureStderr();
  for (int frame = 0; frame < 2; ++frame) {
    UINT passes = 0;
    ASSERT_EQ(broken->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(broken->BeginPass(0), D3D_OK);
    EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, kScreenQuad, sizeof(TexturedVertex)), D3D_OK);
    ASSERT_EQ(broken->EndPass(), D3D_OK);
    ASSERT_EQ(broken->End(), D3D_OK);
  }
  const std::string errors = ::testing::internal::GetCapturedStderr();
  broken->Release();
  const size_t first = errors.find("broken.fx");
  ASSERT_NE(first, std::string::npos) << errors;
  EXPECT_EQ(errors.find("broken.fx", first + 1), std::string::npos) << errors;
  EXPECT_NE(errors.find("undeclaredColour"), std::string::npos) << errors;
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(64, 64), kBlack));
}

}  // namespace
}  // namespace gltest
