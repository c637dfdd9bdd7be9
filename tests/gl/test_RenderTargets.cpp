// Render-target textures on the OpenGL backend: drawn into, read back and
// sampled through the clip-to-texture remap, with up staying up throughout.
#include "GLDeviceTest.h"

namespace gltest {
namespace {

struct ColoredVertex {
  float x, y, z;
  D3DCOLOR color;
};
constexpr DWORD kColoredFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct ClipVertex {
  float x, y, z;
  float s, t, r;  // the clip position again, for the projective lookup
};
constexpr D3DVERTEXELEMENT9 kClipDeclaration[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

// Clip space to texture space with v down: u = 0.5x + 0.5, v = -0.5y + 0.5 (w = 1 here).
const D3DXMATRIX kRemap(0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f, 1, 0);

constexpr D3DCOLOR kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
constexpr UINT kTargetSize = 64;

class RenderTargetTest : public GLDeviceTest {
 protected:
  // Renders red into the upper half of a blue target.
  void DrawUpperHalfRed() {
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(target_->GetSurfaceLevel(0, &level), D3D_OK);
    IDirect3DSurface9* savedTarget = nullptr;
    IDirect3DSurface9* savedDepth = nullptr;
    ASSERT_EQ(device_->GetRenderTarget(0, &savedTarget), D3D_OK);
    ASSERT_EQ(device_->GetDepthStencilSurface(&savedDepth), D3D_OK);
    ASSERT_EQ(device_->SetRenderTarget(0, level), D3D_OK);
    ASSERT_EQ(device_->SetDepthStencilSurface(depth_), D3D_OK);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlue, 1.0f, 0), D3D_OK);
    const ColoredVertex upper[4] = {{-1, 1, 0.5f, kRed}, {1, 1, 0.5f, kRed}, {-1, 0, 0.5f, kRed}, {1, 0, 0.5f, kRed}};
    ASSERT_EQ(device_->SetFVF(kColoredFVF), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, upper, sizeof(ColoredVertex)), D3D_OK);
    ASSERT_EQ(device_->SetRenderTarget(0, savedTarget), D3D_OK);
    ASSERT_EQ(device_->SetDepthStencilSurface(savedDepth), D3D_OK);
    savedTarget->Release();
    savedDepth->Release();
    level->Release();
  }

  void SetUp() override {
    GLDeviceTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_EQ(device_->CreateTexture(kTargetSize, kTargetSize, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                     D3DPOOL_DEFAULT, &target_, nullptr),
              D3D_OK);
    ASSERT_EQ(device_->CreateDepthStencilSurface(kTargetSize, kTargetSize, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE,
                                                 &depth_, nullptr),
              D3D_OK);
  }

  void TearDown() override {
    if (device_) device_->SetTexture(0, nullptr);
    if (depth_) depth_->Release();
    if (target_) target_->Release();
    GLDeviceTest::TearDown();
  }

  IDirect3DTexture9* target_ = nullptr;
  IDirect3DSurface9* depth_ = nullptr;
};

TEST_F(RenderTargetTest, ReadsBackTopRowFirst) {
  DrawUpperHalfRed();
  std::vector<uint8_t> texels;
  ASSERT_TRUE(platform::ReadTexture(target_, 0, texels));
  ASSERT_EQ(texels.size(), kTargetSize * kTargetSize * 4u);
  const auto at = [&](UINT x, UINT y) {
    const uint8_t* p = &texels[(y * kTargetSize + x) * 4];
    return D3DCOLOR_ARGB(p[3], p[2], p[1], p[0]);
  };
  EXPECT_TRUE(ColorNear(at(10, 0), kRed));
  EXPECT_TRUE(ColorNear(at(10, kTargetSize - 1), kBlue));
  // Drawing into the texture left the back buffer as it was.
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(64, 10), 0xFF000000));
}

TEST_F(RenderTargetTest, RemapMatrixSamplesUpperHalfAtTheTop) {
  DrawUpperHalfRed();
  device_->SetTexture(0, target_);
  device_->SetTransform(D3DTS_TEXTURE0, &kRemap);
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
  IDirect3DVertexDeclaration9* declaration = nullptr;
  ASSERT_EQ(device_->CreateVertexDeclaration(kClipDeclaration, &declaration), D3D_OK);
  ASSERT_EQ(device_->SetVertexDeclaration(declaration), D3D_OK);
  const ClipVertex screen[4] = {
      {-1, 1, 0.5f, -1, 1, 0.5f}, {1, 1, 0.5f, 1, 1, 0.5f}, {-1, -1, 0.5f, -1, -1, 0.5f}, {1, -1, 0.5f, 1, -1, 0.5f}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, screen, sizeof(ClipVertex)), D3D_OK);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(64, 10), kRed));
  EXPECT_TRUE(ColorNear(Pixel(64, 60), kRed));
  EXPECT_TRUE(ColorNear(Pixel(64, 68), kBlue));
  EXPECT_TRUE(ColorNear(Pixel(64, 120), kBlue));
  device_->SetVertexDeclaration(nullptr);
  declaration->Release();
}

TEST_F(RenderTargetTest, AutomaticMipmapsFollowWhatWasDrawn) {
  IDirect3DTexture9* mipped = nullptr;
  ASSERT_EQ(device_->CreateTexture(kTargetSize, kTargetSize, 0, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP,
                                   D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &mipped, nullptr),
            D3D_OK);
  IDirect3DSurface9* level = nullptr;
  IDirect3DSurface9* backBuffer = nullptr;
  ASSERT_EQ(mipped->GetSurfaceLevel(0, &level), D3D_OK);
  ASSERT_EQ(device_->GetRenderTarget(0, &backBuffer), D3D_OK);
  ASSERT_EQ(device_->SetRenderTarget(0, level), D3D_OK);
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
  ASSERT_EQ(device_->SetRenderTarget(0, backBuffer), D3D_OK);
  // The whole target shrunk onto 4x4 pixels reads one of its smallest levels.
  device_->SetTexture(0, mipped);
  device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
  const D3DCOLOR white = 0xFFFFFFFF;
  const ScreenVertex quad[4] = {{10, 10, 0, 1, white, 0, 0}, {14, 10, 0, 1, white, 1, 0},
                                {10, 14, 0, 1, white, 0, 1}, {14, 14, 0, 1, white, 1, 1}};
  ASSERT_EQ(device_->SetFVF(kScreenFVF), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(12, 12), 0xFF00FF00));
  device_->SetTexture(0, nullptr);
  backBuffer->Release();
  level->Release();
  mipped->Release();
}

}  // namespace
}  // namespace gltest
