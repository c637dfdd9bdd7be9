// Fixed-function emulation on the OpenGL backend, checked on read-back pixels.
#include "GLDeviceTest.h"

namespace gltest {
namespace {

constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
constexpr D3DCOLOR kBlack = 0xFF000000;

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
  IDirect3DTexture9* texture = MakeTexture(2, 2, {kRed, kGreen, kBlue, kWhite});
  ASSERT_NE(texture, nullptr);
  ASSERT_EQ(device_->SetTexture(0, texture), D3D_OK);
  DrawFullScreenQuad();
  EndSceneAndPresent();
  ReadBack();  // still readable after Present
  EXPECT_TRUE(ColorNear(Pixel(32, 32), kRed));
  EXPECT_TRUE(ColorNear(Pixel(96, 32), kGreen));
  EXPECT_TRUE(ColorNear(Pixel(32, 96), kBlue));
  EXPECT_TRUE(ColorNear(Pixel(96, 96), kWhite));
  SaveScreenshot("gl_textured_quad.png");
  device_->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(FixedFunctionTest, PretransformedQuadCoversExactlyItsPixelRectangle) {
  const D3DCOLOR c = kGreen;
  const ScreenVertex quad[4] = {
      {16, 16, 0, 1, c, 0, 0}, {48, 16, 0, 1, c, 1, 0}, {16, 40, 0, 1, c, 0, 1}, {48, 40, 0, 1, c, 1, 1}};
  ASSERT_EQ(device_->SetFVF(kScreenFVF), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(16, 16), kGreen));
  EXPECT_TRUE(ColorNear(Pixel(47, 39), kGreen));
  EXPECT_TRUE(ColorNear(Pixel(15, 20), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(48, 20), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(20, 15), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(20, 40), kBlack));
}

TEST_F(FixedFunctionTest, QuadShiftedHalfAPixelMapsTexelsOntoPixels) {
  // Direct3D 9 puts pixel centres on integer coordinates, so a quad moved back by
  // half a pixel samples every texel at its centre, even with linear filtering.
  std::vector<D3DCOLOR> texels;
  for (UINT y = 0; y < 4; ++y) {
    for (UINT x = 0; x < 4; ++x) texels.push_back(D3DCOLOR_ARGB(255, 40 + 60 * x, 40 + 60 * y, 0));
  }
  IDirect3DTexture9* texture = MakeTexture(4, 4, texels);
  ASSERT_NE(texture, nullptr);
  device_->SetTexture(0, texture);
  device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  const float a = 7.5f, b = 11.5f;
  const ScreenVertex quad[4] = {{a, a, 0, 1, kWhite, 0, 0}, {b, a, 0, 1, kWhite, 1, 0},
                                {a, b, 0, 1, kWhite, 0, 1}, {b, b, 0, 1, kWhite, 1, 1}};
  ASSERT_EQ(device_->SetFVF(kScreenFVF), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
  ReadBack();
  for (UINT y = 0; y < 4; ++y) {
    for (UINT x = 0; x < 4; ++x) EXPECT_TRUE(ColorNear(Pixel(8 + x, 8 + y), texels[y * 4 + x])) << x << "," << y;
  }
  device_->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(FixedFunctionTest, AlphaTestDiscardsPixelsBelowTheReference) {
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  const D3DCOLOR faint = 0x7FFFFFFF, solid = 0x80FFFFFF;
  const ScreenVertex quads[8] = {{0, 0, 0, 1, faint, 0, 0},   {64, 0, 0, 1, faint, 0, 0},
                                 {0, 64, 0, 1, faint, 0, 0},  {64, 64, 0, 1, faint, 0, 0},
                                 {64, 0, 0, 1, solid, 0, 0},  {128, 0, 0, 1, solid, 0, 0},
                                 {64, 64, 0, 1, solid, 0, 0}, {128, 64, 0, 1, solid, 0, 0}};
  ASSERT_EQ(device_->SetFVF(kScreenFVF), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quads, sizeof(ScreenVertex)), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quads + 4, sizeof(ScreenVertex)), D3D_OK);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(32, 32), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(96, 32), solid));
}

TEST_F(FixedFunctionTest, SecondStageBlendsByDiffuseAlpha) {
  IDirect3DTexture9* red = MakeTexture(1, 1, {kRed});
  IDirect3DTexture9* blue = MakeTexture(1, 1, {kBlue});
  ASSERT_TRUE(red && blue);
  device_->SetTexture(0, red);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device_->SetTexture(1, blue);
  device_->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
  device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_BLENDDIFFUSEALPHA);
  device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
  device_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  const D3DCOLOR quarter = 0x40FFFFFF;  // diffuse alpha 64/255
  const float s = static_cast<float>(kSize);
  const ScreenVertex quad[4] = {{0, 0, 0, 1, quarter, 0, 0}, {s, 0, 0, 1, quarter, 1, 0},
                                {0, s, 0, 1, quarter, 0, 1}, {s, s, 0, 1, quarter, 1, 1}};
  ASSERT_EQ(device_->SetFVF(kScreenFVF), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
  ReadBack();
  // texture1 * a + current * (1 - a): a quarter blue over three quarters red.
  EXPECT_TRUE(ColorNear(Pixel(64, 64), D3DCOLOR_ARGB(255, 191, 0, 64)));
  device_->SetTexture(1, nullptr);
  device_->SetTexture(0, nullptr);
  red->Release();
  blue->Release();
}

TEST_F(FixedFunctionTest, ProjectedTextureLookupDividesPerPixelByTheThirdComponent) {
  IDirect3DTexture9* texture = MakeTexture(2, 2, {kRed, kGreen, kBlue, kWhite});
  ASSERT_NE(texture, nullptr);
  D3DXMATRIX projection, identity;
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
  D3DXMatrixIdentity(&identity);
  const D3DXMATRIX transform = identity * projection * kProjectiveRemap;
  device_->SetTransform(D3DTS_PROJECTION, &projection);
  device_->SetTransform(D3DTS_TEXTURE0, &transform);
  device_->SetTexture(0, texture);
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
  IDirect3DVertexDeclaration9* declaration = nullptr;
  ASSERT_EQ(device_->CreateVertexDeclaration(kProjectedDeclaration, &declaration), D3D_OK);
  ASSERT_EQ(device_->SetVertexDeclaration(declaration), D3D_OK);
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
  device_->SetTexture(0, nullptr);
  device_->SetVertexDeclaration(nullptr);
  declaration->Release();
  texture->Release();
}

TEST_F(FixedFunctionTest, ClipPlaneIsInWorldSpace) {
  D3DXMATRIX view;
  D3DXMatrixTranslation(&view, 0.5f, 0, 0);  // world x = 0 lands at clip x = 0.5 (pixel 96)
  device_->SetTransform(D3DTS_VIEW, &view);
  const float keepPositiveX[4] = {1, 0, 0, 0};
  ASSERT_EQ(device_->SetClipPlane(0, keepPositiveX), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0), D3D_OK);
  const TexturedVertex quad[4] = {{-1.5f, 1, 0.5f, 0, 0}, {1.5f, 1, 0.5f, 1, 0},
                                  {-1.5f, -1, 0.5f, 0, 1}, {1.5f, -1, 0.5f, 1, 1}};
  ASSERT_EQ(device_->SetFVF(kTexturedFVF), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexturedVertex)), D3D_OK);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(70, 64), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(93, 64), kBlack));
  EXPECT_TRUE(ColorNear(Pixel(99, 64), kWhite));
}

TEST_F(FixedFunctionTest, WireframeDrawsEdgesOnly) {
  ASSERT_EQ(device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME), D3D_OK);
  const D3DCOLOR c = kWhite;
  const ScreenVertex quad[4] = {
      {16, 16, 0, 1, c, 0, 0}, {112, 16, 0, 1, c, 1, 0}, {16, 112, 0, 1, c, 0, 1}, {112, 112, 0, 1, c, 1, 1}};
  ASSERT_EQ(device_->SetFVF(kScreenFVF), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
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
