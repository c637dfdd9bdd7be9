// The device on the OpenGL backend, on read-back pixels: fixed-function emulation and its generated shaders, buffers,
// render-target textures, and the SDL side (native events, the cursor, the window's pixels).
#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <type_traits>
#include <utility>
#include <vector>

#include "GLTest.h"
#include "platform/device/Backend.h"
#include "platform/gl/FixedFunctionShader.h"
#include "platform/gl/Program.h"
#include "scene/cPassTarget.h"
#include "scene/cRefractionTarget.h"

namespace gltest {
namespace {

using FixedFunctionTest = GLDeviceTest;

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
  IDirect3DTexture9* texture = MakeTexture(2, 2, std::vector<D3DCOLOR>(4, kRed), 2);
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

// Pixel centres lie on integer coordinates: a pretransformed rectangle covers exactly its pixels, and a quad moved back
// by half a pixel, pretransformed or transformed, samples every texel at its centre even with linear filtering.
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
  DrawQuad(87.5f / half - 1.0f, 91.5f / half - 1.0f, 1.0f - 7.5f / half, 1.0f - 11.5f / half);
  // Inside the rectangle at two corners, then just outside each edge.
  ExpectPixels(
      {{16, 16, kGreen}, {47, 39, kGreen}, {15, 20, kBlack}, {48, 20, kBlack}, {20, 15, kBlack}, {20, 40, kBlack}});
  for (UINT left : {72u, 88u})
    for (UINT i = 0; i < 16; ++i) EXPECT_TRUE(ColorNear(Pixel(left + i % 4, 8 + i / 4), texels[i])) << left << ":" << i;
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

// The alpha test on the bottom half, then per column a near green quad and a far red one over it under each depth
// function on the top half.
TEST_F(FixedFunctionTest, AlphaTestAndDepthFunctionDecideWhichPixelsShow) {
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  DrawScreenQuad(0, 64, 64, 128, 0x7FFFFFFF);
  DrawScreenQuad(64, 64, 128, 128, 0x80FFFFFF);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  const struct { DWORD func; D3DCOLOR shown; } cases[] = {
      {D3DCMP_LESSEQUAL, kGreen}, {D3DCMP_LESS, kGreen},  {D3DCMP_GREATER, kRed},
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
  // A plane receding from 2 to 10 units to the right, covering the view; each vertex's texture coordinate is itself.
  const ProjectedVertex plane[4] = {
      {-3, 3, 2, -3, 3, 2}, {12, 15, 10, 12, 15, 10}, {-3, -3, 2, -3, -3, 2}, {12, -15, 10, 12, -15, 10}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, plane, sizeof(ProjectedVertex)), D3D_OK);
  // The texture lands on the screen quadrants, split at the centre however deep the plane is.
  ExpectPixels({{61, 30, kRed}, {66, 30, kGreen}, {61, 97, kBlue}, {66, 97, kWhite}, {5, 61, kRed}, {122, 66, kWhite}});
}

// Clip planes are in world space with fixed function, and once switched off clip nothing, also after a pass into a
// target turned one on.
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

using platform::DrawState;

void SetStage(DrawState& state, UINT s, DWORD colorOp, DWORD arg1, DWORD arg2, DWORD alphaOp) {
  DWORD* tss = state.stageStates[s];
  tss[D3DTSS_COLOROP] = colorOp;
  tss[D3DTSS_COLORARG1] = tss[D3DTSS_ALPHAARG2] = arg1;
  tss[D3DTSS_COLORARG2] = tss[D3DTSS_ALPHAARG1] = arg2;
  tss[D3DTSS_ALPHAOP] = alphaOp;
}

bool Builds(const DrawState& state) {
  const auto source = platform::gl::GenerateFixedFunction(platform::gl::MakeFixedFunctionKey(state));
  platform::gl::Program program;
  const bool built = program.Build(source.vertex, source.fragment, "test");
  program.Release();
  return built;
}

using FixedFunctionShaderTest = GLTest;

TEST_F(FixedFunctionShaderTest, EveryOperationArgumentTransformAndPositionKindCompiles) {
  DrawState state;
  state.layout = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                  {0, 12, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                  {0, 16, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_TEXCOORD, 1}};
  platform::TextureData texture;
  state.textures[0] = &texture;
  for (DWORD op : {D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, D3DTOP_MODULATE, D3DTOP_MODULATE2X, D3DTOP_MODULATE4X,
                   D3DTOP_ADD, D3DTOP_ADDSIGNED, D3DTOP_SUBTRACT, D3DTOP_BLENDDIFFUSEALPHA, D3DTOP_BLENDTEXTUREALPHA,
                   D3DTOP_BLENDCURRENTALPHA}) {
    SetStage(state, 0, op, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE, op);
    SetStage(state, 1, op, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_DISABLE);
    EXPECT_TRUE(Builds(state)) << "operation " << op;
  }
  SetStage(state, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
  SetStage(state, 1, D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1);
  state.textures[1] = &texture;
  for (DWORD flags :
       std::initializer_list<DWORD>{D3DTTFF_DISABLE, D3DTTFF_COUNT2, D3DTTFF_COUNT2 | D3DTTFF_PROJECTED,
                                    D3DTTFF_COUNT3 | D3DTTFF_PROJECTED, D3DTTFF_COUNT4 | D3DTTFF_PROJECTED}) {
    for (UINT s = 0; s < 2; ++s) {
      state.stageStates[s][D3DTSS_TEXTURETRANSFORMFLAGS] = flags;
      state.stageStates[s][D3DTSS_TEXCOORDINDEX] = 1;
    }
    EXPECT_TRUE(Builds(state)) << "flags " << flags;
  }
  state.layout[0] = {0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0};
  state.textures[1] = nullptr;  // a stage reading an absent texture reads white
  EXPECT_TRUE(Builds(state));
}

struct Position {
  float x, y, z;
};

constexpr D3DVERTEXELEMENT9 kTwoStreams[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {1, 0, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    D3DDECL_END()};

class IndexedDrawTest : public GLDeviceTest {
 protected:
  // A buffer holding `data`, released after the test: vertices, or 16- or 32-bit indices.
  template <class T, class Buffer = IDirect3DVertexBuffer9>
  Buffer* Make(const std::vector<T>& data, DWORD usage = D3DUSAGE_WRITEONLY, D3DPOOL pool = D3DPOOL_MANAGED) {
    const UINT bytes = static_cast<UINT>(data.size() * sizeof(T));
    Buffer* buffer = nullptr;
    if constexpr (std::is_same_v<Buffer, IDirect3DVertexBuffer9>) {
      EXPECT_EQ(device_->CreateVertexBuffer(bytes, usage, 0, pool, &buffer, nullptr), D3D_OK);
    } else {
      const D3DFORMAT format = sizeof(T) == 2 ? D3DFMT_INDEX16 : D3DFMT_INDEX32;
      EXPECT_EQ(device_->CreateIndexBuffer(bytes, usage, format, pool, &buffer, nullptr), D3D_OK);
    }
    if (!buffer) return nullptr;
    void* target = nullptr;
    EXPECT_EQ(buffer->Lock(0, bytes, &target, 0), D3D_OK);
    if (target) std::memcpy(target, data.data(), bytes);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    return Own(buffer);
  }
  // The back buffer in vertical strips of these colours, left to right.
  void ExpectStrips(const std::vector<D3DCOLOR>& colors) {
    ReadBack();
    const UINT width = kSize / static_cast<UINT>(colors.size());
    for (UINT s = 0; s < colors.size(); ++s) EXPECT_TRUE(ColorNear(Pixel(width * s + width / 2, 64), colors[s])) << s;
  }
};

// Two streams of one declaration, 16- and 32-bit indices, a base vertex and a start index.
TEST_F(IndexedDrawTest, EachDrawReadsItsOwnStreamsIndicesAndRewrittenBytes) {
  // Vertices 0..3 lie off screen; 4..7 cover the left half, 8..11 the right half.
  const std::vector<Position> halves = {{-9, 9, 0.5f}, {-8, 9, 0.5f}, {-9, 8, 0.5f},  {-8, 8, 0.5f},
                                        {-1, 1, 0.5f}, {0, 1, 0.5f},  {-1, -1, 0.5f}, {0, -1, 0.5f},
                                        {0, 1, 0.5f},  {1, 1, 0.5f},  {0, -1, 0.5f},  {1, -1, 0.5f}};
  std::vector<D3DCOLOR> halfColors(12, 0xFF336699);
  std::fill(halfColors.begin() + 8, halfColors.end(), 0xFF996633);
  auto* indices16 = Make<uint16_t, IDirect3DIndexBuffer9>({0, 1, 2, 2, 1, 3});
  // The second draw starts at index 3.
  auto* indices32 = Make<uint32_t, IDirect3DIndexBuffer9>({7, 7, 7, 8, 9, 10, 10, 9, 11});
  Declare(kTwoStreams);
  ASSERT_EQ(device_->SetStreamSource(0, Make(halves), 0, sizeof(Position)), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(1, Make(halfColors), 0, sizeof(D3DCOLOR)), D3D_OK);
  ASSERT_EQ(device_->SetIndices(indices16), D3D_OK);
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 0, 2), D3D_OK);
  ASSERT_EQ(device_->SetIndices(indices32), D3D_OK);
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 8, 4, 3, 2), D3D_OK);
  ExpectStrips({0xFF336699, 0xFF996633});  // D3DCOLOR bytes arrive as r, g, b, a
  // The backend skips attribute set-up a draw shares with the one before; what changed between draws must still reach
  // it: another colour stream under the same declaration, a declaration without colours (the constant white), a stream
  // released and made again (GL may hand its name out anew), and rewrites of part of a buffer with each lock flag, the
  // rest keeping what it had.
  Clear();
  std::vector<Position> strips;
  for (int s = 0; s < 4; ++s) {
    const float left = -1.0f + 0.5f * static_cast<float>(s), right = left + 0.5f;
    strips.insert(strips.end(), {{left, 1, 0.5f}, {right, 1, 0.5f}, {left, -1, 0.5f}, {right, -1, 0.5f}});
  }
  const auto colors = [&](D3DCOLOR color) { return Make(std::vector<D3DCOLOR>(strips.size(), color)); };
  IDirect3DVertexBuffer9* blue = colors(kBlue);
  IDirect3DVertexDeclaration9 *twoStreams = nullptr, *positionOnly = nullptr;
  const D3DVERTEXELEMENT9 kPositionOnly[] = {kTwoStreams[0], D3DDECL_END()};
  ASSERT_EQ(device_->CreateVertexDeclaration(kTwoStreams, &twoStreams), D3D_OK);
  ASSERT_EQ(device_->CreateVertexDeclaration(kPositionOnly, &positionOnly), D3D_OK);
  Own(twoStreams), Own(positionOnly);
  ASSERT_EQ(device_->SetStreamSource(0, Make(strips), 0, sizeof(Position)), D3D_OK);
  const auto drawStrip = [&](IDirect3DVertexDeclaration9* declaration, IDirect3DVertexBuffer9* color, UINT strip) {
    ASSERT_EQ(device_->SetVertexDeclaration(declaration), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(1, color, 0, sizeof(D3DCOLOR)), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, strip * 4, 2), D3D_OK);
  };
  drawStrip(twoStreams, colors(kRed), 0);
  drawStrip(twoStreams, blue, 1);
  drawStrip(positionOnly, nullptr, 2);
  device_->SetStreamSource(1, nullptr, 0, 0);
  owned_.erase(std::find(owned_.begin(), owned_.end(), blue));
  blue->Release();
  drawStrip(twoStreams, colors(kGreen), 3);
  ExpectStrips({kRed, kBlue, kWhite, kGreen});
  Clear();
  const UINT stripBytes = 4 * sizeof(D3DCOLOR);
  const std::vector<D3DCOLOR> red(strips.size(), kRed);
  IDirect3DVertexBuffer9* dynamic = Make(red, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DPOOL_DEFAULT);
  ASSERT_NE(dynamic, nullptr);
  const auto drawAll = [&] {
    for (UINT strip = 0; strip < 4; ++strip) drawStrip(twoStreams, dynamic, strip);
  };
  drawAll();
  const struct { UINT strip; DWORD flags; D3DCOLOR color; } rewrites[] = {
      {1, 0, kGreen}, {2, D3DLOCK_NOOVERWRITE, kBlue}, {3, D3DLOCK_DISCARD, kWhite}};
  std::vector<D3DCOLOR> expected(4, kRed);
  for (const auto& rewrite : rewrites) {  // read back after each: a whole upload would hide a wrong partial one
    D3DCOLOR* color = nullptr;
    ASSERT_EQ(dynamic->Lock(rewrite.strip * stripBytes, stripBytes, reinterpret_cast<void**>(&color), rewrite.flags),
              D3D_OK);
    std::fill(color, color + 4, rewrite.color);
    ASSERT_EQ(dynamic->Unlock(), D3D_OK);
    drawAll();
    expected[rewrite.strip] = rewrite.color;
    ExpectStrips(expected);
  }
}

constexpr UINT kTargetSize = 64;

class RenderTargetTest : public GLDeviceTest {
 protected:
  IDirect3DTexture9* MakeTarget(UINT levels, DWORD usage) {
    IDirect3DTexture9* target = nullptr;
    EXPECT_EQ(device_->CreateTexture(kTargetSize, kTargetSize, levels, usage, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                     nullptr),
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
};

// Red in the upper half of a blue target: read back top row first, and drawn over the screen through the remap matrix,
// red on the upper half.
TEST_F(RenderTargetTest, TargetReadsBackAndSamplesUprightAndItsAutomaticMipmapsFollowEachRedraw) {
  IDirect3DTexture9* target = MakeTarget(1, D3DUSAGE_RENDERTARGET);
  DrawInto(target, [&] {
    Clear(kBlue);
    DrawColoredQuad(-1, 1, 1, 0, 0.5f, kRed);
  });
  Picture texels;
  ASSERT_TRUE(texels.Read(target));
  ASSERT_EQ(texels.bgra.size(), kTargetSize * kTargetSize * 4u);
  EXPECT_TRUE(ColorNear(texels.Color(10, 0), kRed));
  EXPECT_TRUE(ColorNear(texels.Color(10, kTargetSize - 1), kBlue));
  ExpectPixels({{64, 10, kBlack}});  // drawing into the texture left the back buffer as it was
  device_->SetTexture(0, target);
  device_->SetTransform(D3DTS_TEXTURE0, &kClipToTexture);
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
  Declare(kProjectedDeclaration);
  const ProjectedVertex screen[4] = {
      {-1, 1, 0.5f, -1, 1, 0.5f}, {1, 1, 0.5f, 1, 1, 0.5f}, {-1, -1, 0.5f, -1, -1, 0.5f}, {1, -1, 0.5f, 1, -1, 0.5f}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, screen, sizeof(ProjectedVertex)), D3D_OK);
  ExpectPixels({{64, 10, kRed}, {64, 60, kRed}, {64, 68, kBlue}, {64, 120, kBlue}});
  // The whole target shrunk onto 4x4 pixels reads one of its smallest levels: after a draw into it, and after each
  // redraw while another texture is bound on a second stage (the back buffer's depth surface serves both targets, so no
  // GL object is freed in between).
  Clear();
  device_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
  device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
  IDirect3DTexture9* mipped = MakeTarget(0, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP);
  ASSERT_NE(mipped, nullptr);
  DrawInto(mipped, [&] { ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0), D3D_OK); });
  device_->SetTexture(0, mipped);
  DrawScreenQuad(10, 10, 14, 14, kWhite);
  ExpectPixels({{12, 12, kGreen}});
  mipped = MakeTarget(0, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP);
  IDirect3DTexture9* other = Solid(kWhite);
  ASSERT_NE(mipped, nullptr);
  device_->SetTexture(0, other);  // uploaded before the target is sampled
  DrawScreenQuad(0, 0, 4, 4, kWhite);
  device_->SetTexture(0, mipped);
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

using WindowTest = GLDeviceTest;

void PushKey(Uint32 type, SDL_Keycode key, SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN) {
  SDL_Event event{};
  event.type = type;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = scancode;
  SDL_PushEvent(&event);
}

// Drains pending native events, keeping the translated messages.
std::vector<MSG> PollAll() {
  std::vector<MSG> messages;
  MSG msg{};
  while (platform::CurrentBackend().PollNativeMessage(&msg)) messages.push_back(msg);
  return messages;
}

TEST_F(WindowTest, KeysAndClicksBecomeWin32MessagesAndTheCursorReadsWhereItWasSet) {
  PollAll();
  PushKey(SDL_KEYDOWN, SDLK_w);
  PushKey(SDL_KEYUP, SDLK_AMPERSAND, SDL_SCANCODE_1);  // the top-row 1 on a French layout
  PushKey(SDL_KEYUP, SDLK_F1);                         // never read by the program: dropped
  for (SDL_Keycode key : {SDLK_7, SDLK_MINUS, SDLK_KP_MINUS, SDLK_PERIOD, SDLK_ESCAPE}) PushKey(SDL_KEYUP, key);
  PushKey(SDL_KEYUP, SDLK_0, SDL_SCANCODE_0);
  PushKey(SDL_KEYUP, SDLK_F12);
  // A click half-way across and a quarter down the window, which shows the back buffer scaled.
  int width = 0, height = 0;
  SDL_GetWindowSize(SDL_GL_GetCurrentWindow(), &width, &height);
  ASSERT_GT(width, 0);
  SDL_Event click{};
  click.type = SDL_MOUSEBUTTONDOWN;
  click.button.button = SDL_BUTTON_LEFT;
  click.button.x = width / 2;
  click.button.y = height / 4;
  SDL_PushEvent(&click);
  click.type = SDL_MOUSEBUTTONUP;
  SDL_PushEvent(&click);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  const std::vector<MSG> messages = PollAll();
  const std::vector<std::pair<UINT, WPARAM>> expected = {
      {WM_KEYDOWN, 'W'},       {WM_KEYUP, '1'},           {WM_KEYUP, '7'},       {WM_KEYUP, VK_OEM_MINUS},
      {WM_KEYUP, VK_SUBTRACT}, {WM_KEYUP, VK_OEM_PERIOD}, {WM_KEYUP, VK_ESCAPE}, {WM_KEYUP, '0'},
      {WM_KEYUP, VK_F12},      {WM_LBUTTONDOWN, 0},       {WM_LBUTTONUP, 0},     {WM_CLOSE, 0}};
  std::vector<std::pair<UINT, WPARAM>> translated;
  for (const MSG& msg : messages) translated.emplace_back(msg.message, msg.wParam);
  ASSERT_EQ(translated, expected);
  const LPARAM middleQuarter = (static_cast<LPARAM>(kSize / 4) << 16) | (kSize / 2);
  EXPECT_EQ(messages[9].lParam, middleQuarter);
  EXPECT_EQ(messages[9].pt.x, static_cast<LONG>(kSize / 2));
  for (const POINT target : {POINT{10, 20}, POINT{64, 64}, POINT{100, 7}}) {
    POINT read{};
    ASSERT_TRUE(SetCursorPos(target.x, target.y) && GetCursorPos(&read));
    EXPECT_EQ(std::pair(read.x, read.y), std::pair(target.x, target.y));
  }
}

// A texture's top row lands on the back buffer's, which stays readable after Present and upright in the window.
TEST_F(WindowTest, PresentKeepsTheBackBufferReadableAndShowsItUprightAcrossTheWindow) {
  ASSERT_EQ(device_->SetTexture(0, MakeQuadrantTexture()), D3D_OK);
  DrawQuad();
  EndSceneAndPresent();
  ExpectQuadrants();
  frame_.Save("gl_textured_quad.png");
  // The window's pixels are read from its back buffer after the swap, which Mesa's software rasterisers (the ones Xvfb
  // offers) keep; elsewhere it is undefined.
  const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (renderer.find("llvmpipe") == std::string::npos && renderer.find("softpipe") == std::string::npos)
    GTEST_SKIP() << "runs on Mesa's software renderers only; window contents are not readable after a swap on "
                 << renderer;
  // The first swap after the window was sized may still see the old drawable.
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(SDL_GL_GetCurrentWindow(), &width, &height);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  const auto windowPixel = [](int x, int y) {  // GL rows, bottom first
    uint8_t p[4] = {};
    glReadPixels(x, y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, p);
    return D3DCOLOR_ARGB(p[3], p[2], p[1], p[0]);
  };
  EXPECT_TRUE(ColorNear(windowPixel(width / 4, height * 3 / 4), kRed));
  EXPECT_TRUE(ColorNear(windowPixel(width * 3 / 4, height * 3 / 4), kGreen));
  EXPECT_TRUE(ColorNear(windowPixel(width / 4, height / 4), kBlue));
  EXPECT_TRUE(ColorNear(windowPixel(width - 2, 1), kWhite));
}

}  // namespace
}  // namespace gltest
