// Fixed-function emulation on the OpenGL backend, checked on read-back pixels.
#include <iterator>

#include "GLDeviceTest.h"
#include "scene/cPassTarget.h"
#include "scene/cRefractionTarget.h"

namespace gltest {
namespace {

using FixedFunctionTest = GLDeviceTest;

// A rewrite reaches the draws after it and only its own texture and level.
TEST_F(FixedFunctionTest, RewrittenTextureOrLevelDrawsItsNewTexelsAndLeavesOthersAlone) {
  IDirect3DTexture9* rewritten = MakeTexture(2, 2, std::vector<D3DCOLOR>(4, kRed));
  IDirect3DTexture9* other = MakeTexture(2, 2, std::vector<D3DCOLOR>(4, kGreen));
  const auto drawBoth = [&] {
    device_->SetTexture(0, rewritten);
    DrawQuad(-1.0f, 0.0f);
    device_->SetTexture(0, other);
    DrawQuad(0.0f, 1.0f);
  };
  device_->SetTexture(0, other);  // uploaded first, so the rewritten texture is the last upload
  DrawQuad(0.0f, 1.0f);
  drawBoth();
  WriteTexels(rewritten, 2, 2, std::vector<D3DCOLOR>(4, kBlue));
  drawBoth();
  ExpectPixels({{32, 64, kBlue}, {96, 64, kGreen}});

  // A texture whose second level alone is rewritten keeps its first level.
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(2, 2, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
  WriteTexels(Own(texture), 2, 2, std::vector<D3DCOLOR>(4, kRed));
  device_->SetTexture(0, texture);
  DrawQuad(-1.0f, 0.0f);  // uploads both levels
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3D_OK);
  *static_cast<D3DCOLOR*>(locked.pBits) = kBlue;
  ASSERT_EQ(texture->UnlockRect(1), D3D_OK);
  device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
  DrawQuad(0.0f, 1.0f);                // magnified: level 0
  DrawScreenQuad(0, 0, 1, 1, kWhite);  // the whole texture on one pixel: level 1
  ExpectPixels({{96, 64, kRed}, {0, 0, kBlue}});
}

// Pixel centres lie on integer coordinates: a pretransformed rectangle covers
// exactly its pixels, and a quad moved back by half a pixel, pretransformed or
// transformed, samples every texel at its centre even with linear filtering.
TEST_F(FixedFunctionTest, QuadsLandOnExactPixelsAndTexelCentresAndWireframeDrawsEdgesOnly) {
  DrawScreenQuad(16, 16, 48, 40, kGreen);
  std::vector<D3DCOLOR> texels;
  for (UINT y = 0; y < 4; ++y)
    for (UINT x = 0; x < 4; ++x) texels.push_back(D3DCOLOR_ARGB(255, 40 + 60 * x, 40 + 60 * y, 0));
  device_->SetTexture(0, MakeTexture(4, 4, texels));
  device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  DrawScreenQuad(71.5f, 7.5f, 75.5f, 11.5f, kWhite);
  const float half = kSize / 2.0f;
  const float left = 87.5f / half - 1.0f, right = 91.5f / half - 1.0f;
  const float top = 1.0f - 7.5f / half, bottom = 1.0f - 11.5f / half;
  const TexturedVertex quad[4] = {
      {left, top, 0.5f, 0, 0}, {right, top, 0.5f, 1, 0}, {left, bottom, 0.5f, 0, 1}, {right, bottom, 0.5f, 1, 1}};
  ASSERT_EQ(device_->SetFVF(kTexturedFVF), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexturedVertex)), D3D_OK);
  // Inside the rectangle at two corners, then just outside each edge.
  ExpectPixels(
      {{16, 16, kGreen}, {47, 39, kGreen}, {15, 20, kBlack}, {48, 20, kBlack}, {20, 15, kBlack}, {20, 40, kBlack}});
  for (UINT left : {72u, 88u}) {
    for (UINT y = 0; y < 4; ++y)
      for (UINT x = 0; x < 4; ++x)
        EXPECT_TRUE(ColorNear(Pixel(left + x, 8 + y), texels[y * 4 + x])) << left << ": " << x << "," << y;
  }

  Clear();
  device_->SetTexture(0, nullptr);
  ASSERT_EQ(device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME), D3D_OK);
  DrawScreenQuad(16, 16, 112, 112, kWhite);
  ExpectPixels({{40, 64, kBlack}, {88, 64, kBlack}});
  bool topEdge = false, leftEdge = false;
  for (UINT d = 15; d <= 17; ++d) {
    topEdge |= Pixel(64, d) == kWhite;
    leftEdge |= Pixel(d, 64) == kWhite;
  }
  EXPECT_TRUE(topEdge);
  EXPECT_TRUE(leftEdge);
}

// The alpha test on the bottom half, then per column a near green quad and a
// far red one over it under each depth function on the top half.
TEST_F(FixedFunctionTest, AlphaTestAndDepthFunctionDecideWhichPixelsShow) {
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  DrawScreenQuad(0, 64, 64, 128, 0x7FFFFFFF);
  DrawScreenQuad(64, 64, 128, 128, 0x80FFFFFF);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  const struct {
    DWORD func;
    D3DCOLOR shown;
  } cases[] = {{D3DCMP_LESSEQUAL, kGreen}, {D3DCMP_LESS, kGreen},  {D3DCMP_GREATER, kRed},
               {D3DCMP_ALWAYS, kRed},      {D3DCMP_NEVER, kGreen}, {D3DCMP_GREATEREQUAL, kRed}};
  const float width = 2.0f / std::size(cases);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const float left = -1.0f + width * static_cast<float>(i);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    DrawColoredQuad(left, 1, left + width, 0, 0.25f, kGreen);
    device_->SetRenderState(D3DRS_ZFUNC, cases[i].func);
    DrawColoredQuad(left, 1, left + width, 0, 0.75f, kRed);
  }
  ExpectPixels({{32, 96, kBlack}, {96, 96, 0x80FFFFFF}});
  for (size_t i = 0; i < std::size(cases); ++i) {
    const UINT x = static_cast<UINT>((static_cast<float>(i) + 0.5f) * kSize / std::size(cases));
    EXPECT_TRUE(ColorNear(Pixel(x, 32), cases[i].shown)) << "D3DCMP " << cases[i].func;
  }
}

TEST_F(FixedFunctionTest, SecondStageBlendsByDiffuseAlphaAndProjectedLookupsDividePerPixel) {
  device_->SetTexture(0, Solid(kRed));
  SetStage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
  device_->SetTexture(1, Solid(kBlue));
  SetStage(1, D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
  DrawScreenQuad(0, 0, kSize, kSize, 0x40FFFFFF);  // diffuse alpha 64/255
  // texture1 * a + current * (1 - a): a quarter blue over three quarters red.
  ExpectPixels({{64, 64, D3DCOLOR_ARGB(255, 191, 0, 64)}});

  Clear();
  device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  D3DXMATRIX projection;
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
  const D3DXMATRIX transform = projection * kClipToTexture;
  device_->SetTransform(D3DTS_PROJECTION, &projection);
  device_->SetTransform(D3DTS_TEXTURE0, &transform);
  device_->SetTexture(0, MakeQuadrantTexture());
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
  Declare(kProjectedDeclaration);
  // A plane receding from 2 to 10 units to the right, covering the view; each
  // vertex's texture coordinate is its own position.
  const ProjectedVertex plane[4] = {{-3, 3, 2, -3, 3, 2}, {12, 15, 10, 12, 15, 10},
                                    {-3, -3, 2, -3, -3, 2}, {12, -15, 10, 12, -15, 10}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, plane, sizeof(ProjectedVertex)), D3D_OK);
  // The texture lands on the screen quadrants, split at the centre however deep the plane is.
  ExpectPixels(
      {{61, 30, kRed}, {66, 30, kGreen}, {61, 97, kBlue}, {66, 97, kWhite}, {5, 61, kRed}, {122, 66, kWhite}});
}

// Clip planes are in world space with fixed function, and once switched off
// clip nothing, also after a pass into a target turned one on.
TEST_F(FixedFunctionTest, ClipPlaneIsInWorldSpaceAndSwitchedOffClipsNothing) {
  D3DXMATRIX view;
  D3DXMatrixTranslation(&view, 0.5f, 0, 0);  // world x = 0 lands at clip x = 0.5 (pixel 96)
  device_->SetTransform(D3DTS_VIEW, &view);
  const float keepPositiveX[4] = {1, 0, 0, 0};
  ASSERT_EQ(device_->SetClipPlane(0, keepPositiveX), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0), D3D_OK);
  device_->SetTexture(0, Solid(kRed));
  DrawQuad(-1.5f, 1.5f);
  ExpectPixels({{70, 64, kBlack}, {93, 64, kBlack}, {99, 64, kRed}});
  ASSERT_EQ(device_->SetRenderState(D3DRS_CLIPPLANEENABLE, 0), D3D_OK);
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
  device_->SetTexture(0, Solid(kGreen));
  DrawQuad(-1.5f, 1.5f);
  ExpectPixels({{10, 64, kGreen}, {120, 64, kGreen}});

  // The refraction pass keeps what lies below the plane; after it, nothing is clipped.
  Clear();
  cRefractionTarget target;
  ASSERT_TRUE(target.Init(64, d3d_, device_));
  ASSERT_TRUE(target.Begin(device_));
  ASSERT_TRUE(target.SetClipPlaneWorld(0.0f, device_));
  device_->SetTexture(0, Solid(kRed));
  DrawQuad(-1.5f, 1.5f);
  DisableClipPlane(device_);
  ASSERT_TRUE(target.End(device_));
  device_->SetTexture(0, Solid(kGreen));
  DrawQuad(-1.5f, 1.5f);
  ExpectPixels({{64, 10, kGreen}, {64, 120, kGreen}});
}

}  // namespace
}  // namespace gltest
