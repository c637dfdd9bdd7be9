// Render-target textures on the OpenGL backend: drawn into, read back and
// sampled through the clip-to-texture remap, with up staying up throughout.
#include "GLDeviceTest.h"

namespace gltest {
namespace {

struct ColoredVertex {
  float x, y, z;
  D3DCOLOR color;
};

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

  // Red in the upper half of a blue target.
  IDirect3DTexture9* UpperHalfRed() {
    IDirect3DTexture9* target = MakeTarget(1, D3DUSAGE_RENDERTARGET);
    DrawInto(target, [&] {
      ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlue, 1.0f, 0), D3D_OK);
      const ColoredVertex upper[4] = {{-1, 1, 0.5f, kRed}, {1, 1, 0.5f, kRed}, {-1, 0, 0.5f, kRed}, {1, 0, 0.5f, kRed}};
      ASSERT_EQ(device_->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
      ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, upper, sizeof(ColoredVertex)), D3D_OK);
    });
    return target;
  }
};

TEST_F(RenderTargetTest, ReadsBackTopRowFirst) {
  std::vector<uint8_t> texels;
  ASSERT_TRUE(platform::ReadTexture(UpperHalfRed(), 0, texels));
  ASSERT_EQ(texels.size(), kTargetSize * kTargetSize * 4u);
  const auto at = [&](UINT x, UINT y) {
    const uint8_t* p = &texels[(y * kTargetSize + x) * 4];
    return D3DCOLOR_ARGB(p[3], p[2], p[1], p[0]);
  };
  EXPECT_TRUE(ColorNear(at(10, 0), kRed));
  EXPECT_TRUE(ColorNear(at(10, kTargetSize - 1), kBlue));
  ReadBack();  // drawing into the texture left the back buffer as it was
  EXPECT_TRUE(ColorNear(Pixel(64, 10), kBlack));
}

TEST_F(RenderTargetTest, RemapMatrixSamplesUpperHalfAtTheTop) {
  device_->SetTexture(0, UpperHalfRed());
  device_->SetTransform(D3DTS_TEXTURE0, &kRemap);
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
  IDirect3DVertexDeclaration9* declaration = nullptr;
  ASSERT_EQ(device_->CreateVertexDeclaration(kClipDeclaration, &declaration), D3D_OK);
  ASSERT_EQ(device_->SetVertexDeclaration(Own(declaration)), D3D_OK);
  const ClipVertex screen[4] = {
      {-1, 1, 0.5f, -1, 1, 0.5f}, {1, 1, 0.5f, 1, 1, 0.5f}, {-1, -1, 0.5f, -1, -1, 0.5f}, {1, -1, 0.5f, 1, -1, 0.5f}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, screen, sizeof(ClipVertex)), D3D_OK);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(64, 10), kRed));
  EXPECT_TRUE(ColorNear(Pixel(64, 60), kRed));
  EXPECT_TRUE(ColorNear(Pixel(64, 68), kBlue));
  EXPECT_TRUE(ColorNear(Pixel(64, 120), kBlue));
}

TEST_F(RenderTargetTest, AutomaticMipmapsFollowWhatWasDrawn) {
  IDirect3DTexture9* mipped = MakeTarget(0, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP);
  ASSERT_NE(mipped, nullptr);
  DrawInto(mipped, [&] { ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0), D3D_OK); });
  // The whole target shrunk onto 4x4 pixels reads one of its smallest levels.
  device_->SetTexture(0, mipped);
  device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
  DrawScreenQuad(10, 10, 14, 14, kWhite);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(12, 12), kGreen));
}

TEST_F(RenderTargetTest, MipmapsFollowARedrawWhileAnotherStageIsBound) {
  IDirect3DTexture9* mipped = MakeTarget(0, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP);
  IDirect3DTexture9* other = MakeTexture(1, 1, {kWhite});
  ASSERT_NE(mipped, nullptr);
  device_->SetTexture(0, other);  // uploaded before the target is sampled
  DrawScreenQuad(0, 0, 4, 4, kWhite);
  device_->SetTexture(0, mipped);
  device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
  device_->SetTexture(1, other);  // white: passes the target's colour on
  device_->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
  device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
  device_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
  device_->SetTextureStageState(1, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
  // The back buffer's depth surface serves both targets, so no GL object is freed in between.
  IDirect3DSurface9 *level = nullptr, *backBuffer = nullptr;
  ASSERT_EQ(mipped->GetSurfaceLevel(0, &level), D3D_OK);
  ASSERT_EQ(device_->GetRenderTarget(0, &backBuffer), D3D_OK);
  const D3DCOLOR colors[] = {kGreen, kBlue, kRed};
  for (UINT i = 0; i < 3; ++i) {
    ASSERT_EQ(device_->SetRenderTarget(0, level), D3D_OK);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, colors[i], 1.0f, 0), D3D_OK);
    ASSERT_EQ(device_->SetRenderTarget(0, backBuffer), D3D_OK);
    const float x = 10.0f + 10.0f * static_cast<float>(i);
    DrawScreenQuad(x, 10, x + 4, 14, kWhite);  // the whole target on 4x4 pixels: a small level
  }
  level->Release();
  backBuffer->Release();
  ReadBack();
  for (UINT i = 0; i < 3; ++i) EXPECT_TRUE(ColorNear(Pixel(12 + 10 * i, 12), colors[i])) << i;
}

}  // namespace
}  // namespace gltest
