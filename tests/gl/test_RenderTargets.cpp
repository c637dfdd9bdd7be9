// Render-target textures on the OpenGL backend: drawn into, read back and
// sampled through the clip-to-texture remap, with up staying up throughout,
// and their automatic mipmaps.
#include "GLDeviceTest.h"

namespace gltest {
namespace {

constexpr UINT kTargetSize = 64;

class RenderTargetTest : public GLDeviceTest {
 protected:
  IDirect3DTexture9* MakeTarget(UINT levels, DWORD usage) {
    IDirect3DTexture9* target = nullptr;
    EXPECT_EQ(device_->CreateTexture(kTargetSize, kTargetSize, levels, usage, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                     &target, nullptr),
              D3D_OK);
    return target ? Own(target) : nullptr;
  }

  // Runs `draw` with level 0 of `target` (and a depth surface of its size) bound.
  template <class Draw>
  void DrawInto(IDirect3DTexture9* target, Draw draw) {
    IDirect3DSurface9 *level = nullptr, *depth = nullptr, *savedTarget = nullptr, *savedDepth = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &level), D3D_OK);
    ASSERT_EQ(device_->CreateDepthStencilSurface(kTargetSize, kTargetSize, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE,
                                                 &depth, nullptr),
              D3D_OK);
    ASSERT_EQ(device_->GetRenderTarget(0, &savedTarget), D3D_OK);
    ASSERT_EQ(device_->GetDepthStencilSurface(&savedDepth), D3D_OK);
    ASSERT_EQ(device_->SetRenderTarget(0, level), D3D_OK);
    ASSERT_EQ(device_->SetDepthStencilSurface(depth), D3D_OK);
    draw();
    ASSERT_EQ(device_->SetRenderTarget(0, savedTarget), D3D_OK);
    ASSERT_EQ(device_->SetDepthStencilSurface(savedDepth), D3D_OK);
    for (IDirect3DSurface9* surface : {level, depth, savedTarget, savedDepth}) surface->Release();
  }

  void MipmapFilter() {
    device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
  }
};

// Red in the upper half of a blue target: read back top row first, and drawn
// over the screen through the remap matrix, red on the upper half.
TEST_F(RenderTargetTest, TargetReadsBackAndSamplesThroughTheRemapUpright) {
  IDirect3DTexture9* target = MakeTarget(1, D3DUSAGE_RENDERTARGET);
  DrawInto(target, [&] {
    Clear(kBlue);
    DrawColoredQuad(-1, 1, 1, 0, 0.5f, kRed);
  });
  std::vector<uint8_t> texels;
  ASSERT_TRUE(platform::ReadTexture(target, 0, texels));
  ASSERT_EQ(texels.size(), kTargetSize * kTargetSize * 4u);
  EXPECT_TRUE(ColorNear(TexelAt(texels, kTargetSize, 10, 0), kRed));
  EXPECT_TRUE(ColorNear(TexelAt(texels, kTargetSize, 10, kTargetSize - 1), kBlue));
  ExpectPixels({{64, 10, kBlack}});  // drawing into the texture left the back buffer as it was

  device_->SetTexture(0, target);
  device_->SetTransform(D3DTS_TEXTURE0, &kClipToTexture);
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
  Declare(kProjectedDeclaration);
  const ProjectedVertex screen[4] = {
      {-1, 1, 0.5f, -1, 1, 0.5f}, {1, 1, 0.5f, 1, 1, 0.5f}, {-1, -1, 0.5f, -1, -1, 0.5f}, {1, -1, 0.5f, 1, -1, 0.5f}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, screen, sizeof(ProjectedVertex)), D3D_OK);
  ExpectPixels({{64, 10, kRed}, {64, 60, kRed}, {64, 68, kBlue}, {64, 120, kBlue}});
}

// The whole target shrunk onto 4x4 pixels reads one of its smallest levels:
// after a draw into it, and after each redraw while another texture is bound
// on a second stage (the back buffer's depth surface serves both targets, so
// no GL object is freed in between).
TEST_F(RenderTargetTest, AutomaticMipmapsFollowEachRedraw) {
  IDirect3DTexture9* mipped = MakeTarget(0, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP);
  ASSERT_NE(mipped, nullptr);
  DrawInto(mipped, [&] { ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0), D3D_OK); });
  device_->SetTexture(0, mipped);
  MipmapFilter();
  DrawScreenQuad(10, 10, 14, 14, kWhite);
  ExpectPixels({{12, 12, kGreen}});

  mipped = MakeTarget(0, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP);
  IDirect3DTexture9* other = Solid(kWhite);
  ASSERT_NE(mipped, nullptr);
  device_->SetTexture(0, other);  // uploaded before the target is sampled
  DrawScreenQuad(0, 0, 4, 4, kWhite);
  device_->SetTexture(0, mipped);
  MipmapFilter();
  device_->SetTexture(1, other);  // white: passes the target's colour on
  SetStage(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG2, D3DTA_CURRENT);
  IDirect3DSurface9 *level = nullptr, *backBuffer = nullptr;
  ASSERT_EQ(mipped->GetSurfaceLevel(0, &level), D3D_OK);
  ASSERT_EQ(device_->GetRenderTarget(0, &backBuffer), D3D_OK);
  const D3DCOLOR colors[] = {kGreen, kBlue, kRed};
  for (UINT i = 0; i < 3; ++i) {
    ASSERT_EQ(device_->SetRenderTarget(0, level), D3D_OK);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, colors[i], 1.0f, 0), D3D_OK);
    ASSERT_EQ(device_->SetRenderTarget(0, backBuffer), D3D_OK);
    const float x = 10.0f + 10.0f * static_cast<float>(i);
    DrawScreenQuad(x, 20, x + 4, 24, kWhite);
  }
  level->Release();
  backBuffer->Release();
  ExpectPixels({{12, 22, kGreen}, {22, 22, kBlue}, {32, 22, kRed}});
}

}  // namespace
}  // namespace gltest
