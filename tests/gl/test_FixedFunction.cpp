// Fixed-function emulation on the OpenGL backend, checked on read-back pixels.
#include <iterator>

#include "GLDeviceTest.h"

namespace gltest {
namespace {

// Position and a three-component texture coordinate, for projected lookups.
struct ProjectedVertex {
  float x, y, z;
  float s, t, r;
};
constexpr D3DVERTEXELEMENT9 kProjectedDeclaration[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

// Clip space to texture space (v down) with clip w in the third output, which
// D3DTTFF_COUNT3 | D3DTTFF_PROJECTED divides by.
const D3DXMATRIX kProjectiveRemap(0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f, 1, 0);

using FixedFunctionTest = GLDeviceTest;

TEST_F(FixedFunctionTest, TexturedQuadShowsTheTopRowOfTheTextureAtTheTop) {
  ASSERT_EQ(device_->SetTexture(0, MakeQuadrantTexture()), D3D_OK);
  DrawQuad();
  EndSceneAndPresent();
  ExpectQuadrants();  // still readable after Present
  SaveScreenshot("gl_textured_quad.png");
}

TEST_F(FixedFunctionTest, RewrittenTextureDrawsItsNewTexelsAndLeavesOthersAlone) {
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
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(32, 64), kBlue));
  EXPECT_TRUE(ColorNear(Pixel(96, 64), kGreen));
}

TEST_F(FixedFunctionTest, PretransformedQuadCoversExactlyItsPixelRectangle) {
  DrawScreenQuad(16, 16, 48, 40, kGreen);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(16, 16), kGreen));
  EXPECT_TRUE(ColorNear(Pixel(47, 39), kGreen));
  const UINT outside[4][2] = {{15, 20}, {48, 20}, {20, 15}, {20, 40}};
  for (const auto& p : outside) EXPECT_TRUE(ColorNear(Pixel(p[0], p[1]), kBlack)) << p[0] << "," << p[1];
}

TEST_F(FixedFunctionTest, QuadShiftedHalfAPixelMapsTexelsOntoPixels) {
  // Pixel centres lie on integer coordinates, so a quad moved back by half a
  // pixel samples every texel at its centre, even with linear filtering.
  std::vector<D3DCOLOR> texels;
  for (UINT y = 0; y < 4; ++y)
    for (UINT x = 0; x < 4; ++x) texels.push_back(D3DCOLOR_ARGB(255, 40 + 60 * x, 40 + 60 * y, 0));
  device_->SetTexture(0, MakeTexture(4, 4, texels));
  device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  DrawScreenQuad(7.5f, 7.5f, 11.5f, 11.5f, kWhite);
  ReadBack();
  for (UINT y = 0; y < 4; ++y)
    for (UINT x = 0; x < 4; ++x) EXPECT_TRUE(ColorNear(Pixel(8 + x, 8 + y), texels[y * 4 + x])) << x << "," << y;
}

TEST_F(FixedFunctionTest, TransformedQuadMovedBackHalfAPixelMapsTexelsOntoPixels) {
  // Transformed geometry rasterises with pixel centres on integers too: the
  // quad's corners at pixels 7.5 and 11.5 sample every texel at its centre.
  std::vector<D3DCOLOR> texels;
  for (UINT y = 0; y < 4; ++y)
    for (UINT x = 0; x < 4; ++x) texels.push_back(D3DCOLOR_ARGB(255, 40 + 60 * x, 0, 40 + 60 * y));
  device_->SetTexture(0, MakeTexture(4, 4, texels));
  device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  const float half = kSize / 2.0f;
  const float left = 7.5f / half - 1.0f, right = 11.5f / half - 1.0f;
  const float top = 1.0f - 7.5f / half, bottom = 1.0f - 11.5f / half;
  const TexturedVertex quad[4] = {
      {left, top, 0.5f, 0, 0}, {right, top, 0.5f, 1, 0}, {left, bottom, 0.5f, 0, 1}, {right, bottom, 0.5f, 1, 1}};
  ASSERT_EQ(device_->SetFVF(kTexturedFVF), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexturedVertex)), D3D_OK);
  ReadBack();
  for (UINT y = 0; y < 4; ++y)
    for (UINT x = 0; x < 4; ++x) EXPECT_TRUE(ColorNear(Pixel(8 + x, 8 + y), texels[y * 4 + x])) << x << "," << y;
}

TEST_F(FixedFunctionTest, DepthFunctionDecidesWhichOfTwoQuadsShows) {
  struct ColoredVertex {
    float x, y, z;
    D3DCOLOR color;
  };
  const auto drawQuad = [&](float left, float right, float z, D3DCOLOR color) {
    const ColoredVertex quad[4] = {{left, 1, z, color}, {right, 1, z, color}, {left, -1, z, color},
                                   {right, -1, z, color}};
    ASSERT_EQ(device_->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColoredVertex)), D3D_OK);
  };
  const struct {
    DWORD func;
    D3DCOLOR shown;  // a near green quad, then a far red one over it
  } cases[] = {{D3DCMP_LESSEQUAL, kGreen}, {D3DCMP_LESS, kGreen},     {D3DCMP_GREATER, kRed},
               {D3DCMP_ALWAYS, kRed},      {D3DCMP_NEVER, kGreen},    {D3DCMP_GREATEREQUAL, kRed}};
  const float width = 2.0f / std::size(cases);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const float left = -1.0f + width * static_cast<float>(i);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    drawQuad(left, left + width, 0.25f, kGreen);
    device_->SetRenderState(D3DRS_ZFUNC, cases[i].func);
    drawQuad(left, left + width, 0.75f, kRed);
  }
  ReadBack();
  for (size_t i = 0; i < std::size(cases); ++i) {
    const UINT x = static_cast<UINT>((static_cast<float>(i) + 0.5f) * kSize / std::size(cases));
    EXPECT_TRUE(ColorNear(Pixel(x, 64), cases[i].shown)) << "D3DCMP " << cases[i].func;
  }
}

TEST_F(FixedFunctionTest, AlphaTestDiscardsPixelsBelowTheReference) {
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  DrawScreenQuad(0, 0, 64, 64, 0x7FFFFFFF);
  DrawScreenQuad(64, 0, 128, 64, 0x80FFFFFF);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(32, 32), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(96, 32), 0x80FFFFFF));
}

TEST_F(FixedFunctionTest, SecondStageBlendsByDiffuseAlpha) {
  device_->SetTexture(0, MakeTexture(1, 1, {kRed}));
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device_->SetTexture(1, MakeTexture(1, 1, {kBlue}));
  device_->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
  device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_BLENDDIFFUSEALPHA);
  device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
  device_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  DrawScreenQuad(0, 0, kSize, kSize, 0x40FFFFFF);  // diffuse alpha 64/255
  ReadBack();
  // texture1 * a + current * (1 - a): a quarter blue over three quarters red.
  EXPECT_TRUE(ColorNear(Pixel(64, 64), D3DCOLOR_ARGB(255, 191, 0, 64)));
}

TEST_F(FixedFunctionTest, ProjectedTextureLookupDividesPerPixelByTheThirdComponent) {
  D3DXMATRIX projection;
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
  const D3DXMATRIX transform = projection * kProjectiveRemap;
  device_->SetTransform(D3DTS_PROJECTION, &projection);
  device_->SetTransform(D3DTS_TEXTURE0, &transform);
  device_->SetTexture(0, MakeQuadrantTexture());
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
  IDirect3DVertexDeclaration9* declaration = nullptr;
  ASSERT_EQ(device_->CreateVertexDeclaration(kProjectedDeclaration, &declaration), D3D_OK);
  ASSERT_EQ(device_->SetVertexDeclaration(Own(declaration)), D3D_OK);
  // A plane receding from 2 to 10 units to the right, covering the view; each
  // vertex's texture coordinate is its own position.
  const ProjectedVertex plane[4] = {{-3, 3, 2, -3, 3, 2}, {12, 15, 10, 12, 15, 10},
                                    {-3, -3, 2, -3, -3, 2}, {12, -15, 10, 12, -15, 10}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, plane, sizeof(ProjectedVertex)), D3D_OK);
  ReadBack();
  // The texture lands on the screen quadrants, split at the centre however deep the plane is.
  EXPECT_TRUE(ColorNear(Pixel(61, 30), kRed));
  EXPECT_TRUE(ColorNear(Pixel(66, 30), kGreen));
  EXPECT_TRUE(ColorNear(Pixel(61, 97), kBlue));
  EXPECT_TRUE(ColorNear(Pixel(66, 97), kWhite));
  EXPECT_TRUE(ColorNear(Pixel(5, 61), kRed));
  EXPECT_TRUE(ColorNear(Pixel(122, 66), kWhite));
}

TEST_F(FixedFunctionTest, ClipPlaneIsInWorldSpace) {
  D3DXMATRIX view;
  D3DXMatrixTranslation(&view, 0.5f, 0, 0);  // world x = 0 lands at clip x = 0.5 (pixel 96)
  device_->SetTransform(D3DTS_VIEW, &view);
  const float keepPositiveX[4] = {1, 0, 0, 0};
  ASSERT_EQ(device_->SetClipPlane(0, keepPositiveX), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0), D3D_OK);
  DrawQuad(-1.5f, 1.5f);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(70, 64), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(93, 64), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(99, 64), kWhite));
}

TEST_F(FixedFunctionTest, WireframeDrawsEdgesOnly) {
  ASSERT_EQ(device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME), D3D_OK);
  DrawScreenQuad(16, 16, 112, 112, kWhite);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(40, 64), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(88, 64), kBlack));
  bool topEdge = false, leftEdge = false;
  for (UINT d = 15; d <= 17; ++d) {
    topEdge |= Pixel(64, d) == kWhite;
    leftEdge |= Pixel(d, 64) == kWhite;
  }
  EXPECT_TRUE(topEdge);
  EXPECT_TRUE(leftEdge);
}

}  // namespace
}  // namespace gltest
