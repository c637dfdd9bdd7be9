#include "PlatformFixture.h"
#include "platform/device/DeviceHooks.h"
#include "platform/gl/FixedFunctionKey.h"

namespace platform::testing {
namespace {

using States = PlatformFixture;
using gl::MakeFixedFunctionKey;

TEST_F(States, DirectXDefaultsAtCreation) {
  const std::pair<D3DRENDERSTATETYPE, DWORD> renderStates[] = {
      {D3DRS_ZENABLE, D3DZB_TRUE},         {D3DRS_FILLMODE, D3DFILL_SOLID},     {D3DRS_CULLMODE, D3DCULL_CCW},
      {D3DRS_LIGHTING, TRUE},              {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},    {D3DRS_SRCBLEND, D3DBLEND_ONE},
      {D3DRS_DESTBLEND, D3DBLEND_ZERO},    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},     {D3DRS_ALPHABLENDENABLE, FALSE},
      {D3DRS_COLORWRITEENABLE, 0xF}};
  for (const auto& [state, value] : renderStates) EXPECT_EQ(RenderState(state), value) << state;
  const std::tuple<DWORD, D3DTEXTURESTAGESTATETYPE, DWORD> stageStates[] = {
      {0, D3DTSS_COLOROP, D3DTOP_MODULATE}, {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1}, {1, D3DTSS_COLOROP, D3DTOP_DISABLE},
      {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},  {1, D3DTSS_COLORARG1, D3DTA_TEXTURE},   {3, D3DTSS_TEXCOORDINDEX, 3},
      {1, D3DTSS_COLORARG2, D3DTA_CURRENT}};
  for (const auto& [stage, type, value] : stageStates) EXPECT_EQ(StageState(stage, type), value) << stage << type;
  EXPECT_EQ(std::tuple(SamplerState(0, D3DSAMP_ADDRESSU), SamplerState(D3DVERTEXTEXTURESAMPLER0, D3DSAMP_MAGFILTER),
                       SamplerState(0, D3DSAMP_MIPFILTER)),
            std::tuple(DWORD{D3DTADDRESS_WRAP}, DWORD{D3DTEXF_POINT}, DWORD{D3DTEXF_NONE}));
  D3DMATRIX world;
  device->GetTransform(D3DTS_WORLD, &world);
  EXPECT_EQ(std::tuple(world._11, world._12, world._44), std::tuple(1.0f, 0.0f, 1.0f));
  EXPECT_EQ(std::tuple(Viewport().Width, Viewport().MaxZ), std::tuple(1024u, 1.0f));
}

TEST_F(States, WithoutAutomaticDepthZStartsOff) {
  device->Release();
  device = nullptr;
  parameters.EnableAutoDepthStencil = FALSE;
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, parameters.hDeviceWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                              &parameters, &device),
            D3D_OK);
  EXPECT_EQ(RenderState(D3DRS_ZENABLE), DWORD{D3DZB_FALSE});
  IDirect3DSurface9* depth = nullptr;
  EXPECT_EQ(device->GetDepthStencilSurface(&depth), D3DERR_NOTFOUND);
  EXPECT_EQ(depth, nullptr);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST_F(States, IndicesOutOfRangeAndStreamsBeyondTheProfileAreRefused) {
  DWORD value = 0;
  D3DMATRIX matrix{};
  float plane[4] = {};
  EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(D3DRS_COUNT), 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->GetRenderState(D3DRS_LIGHTING, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetTextureStageState(kMaxStages, D3DTSS_COLOROP, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(D3DTSS_COUNT), 0),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetSamplerState(kMaxStages, D3DSAMP_MINFILTER, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetSamplerState(D3DVERTEXTEXTURESAMPLER3 + 1, D3DSAMP_MINFILTER, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->GetSamplerState(0, static_cast<D3DSAMPLERSTATETYPE>(0), &value), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetTexture(kMaxStages, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(257), &matrix), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetClipPlane(6, plane), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetClipPlane(0, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetStreamSource(4, nullptr, 0, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetRenderTarget(1, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->GetBackBuffer(0, 1, D3DBACKBUFFER_TYPE_MONO, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->GetDisplayMode(1, nullptr), D3DERR_INVALIDCALL);
  Start(HeadlessProfile::OneStream());
  IDirect3DVertexBuffer9* buffer = VertexBuffer(64);
  EXPECT_EQ(device->SetStreamSource(0, buffer, 0, 16), D3D_OK);
  EXPECT_EQ(device->SetStreamSource(1, buffer, 0, 16), D3DERR_INVALIDCALL);
}

TEST_F(States, RenderTargetsSetTheViewportAndCountReferences) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(128, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture,
                                  nullptr),
            D3D_OK);
  IDirect3DSurface9 *level = nullptr, *saved = nullptr, *current = nullptr;
  texture->GetSurfaceLevel(0, &level);
  ASSERT_EQ(device->GetRenderTarget(0, &saved), D3D_OK);
  ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
  EXPECT_EQ(std::tuple(Viewport().Width, Viewport().Height), std::tuple(128u, 64u));
  const D3DVIEWPORT9 tooWide{64, 0, 65, 64, 0, 1}, inside{64, 0, 64, 32, 0, 1};
  EXPECT_EQ(device->SetViewport(&tooWide), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetViewport(&inside), D3D_OK);
  ASSERT_EQ(device->GetRenderTarget(0, &current), D3D_OK);
  EXPECT_EQ(current, level);
  current->Release();
  level->Release();
  EXPECT_EQ(texture->Release(), 0u);  // bound as target: the device keeps it without a program reference
  ASSERT_EQ(device->SetRenderTarget(0, saved), D3D_OK);  // frees the texture
  saved->Release();
  EXPECT_EQ(Viewport().Width, 1024u);
  IDirect3DSurface9 *depth = nullptr, *back = nullptr;
  ASSERT_EQ(device->CreateDepthStencilSurface(32, 32, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr),
            D3D_OK);
  EXPECT_EQ(device->SetRenderTarget(0, Keep(depth)), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->SetDepthStencilSurface(depth), D3D_OK);
  device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
  EXPECT_EQ(device->SetDepthStencilSurface(Keep(back)), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
}

TEST_F(States, VertexSamplersReachTheirOwnSlots) {
  IDirect3DTexture9* heights = Texture(8, 8, 1, 0, D3DFMT_R32F);
  ASSERT_EQ(device->SetTexture(D3DVERTEXTEXTURESAMPLER0 + 1, heights), D3D_OK);
  ASSERT_EQ(device->SetSamplerState(D3DVERTEXTEXTURESAMPLER0 + 1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR), D3D_OK);
  IDirect3DBaseTexture9* bound = nullptr;
  ASSERT_EQ(device->GetTexture(D3DVERTEXTEXTURESAMPLER0 + 1, &bound), D3D_OK);
  EXPECT_EQ(bound, heights);
  bound->Release();
  const float vertex[3][3] = {};
  device->SetFVF(D3DFVF_XYZ);
  const auto* spy = SpyOn([&] { ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertex, 12), D3D_OK); });
  device->SetTexture(D3DVERTEXTEXTURESAMPLER0 + 1, nullptr);
  ASSERT_EQ(spy->states.size(), 1u);
  const DrawState& state = spy->states[0];
  EXPECT_EQ(std::tuple(state.vertexTextures[1], state.textures[0]), std::tuple(TextureDataOf(heights), nullptr));
  EXPECT_EQ(state.samplerStates[kMaxStages + 1][D3DSAMP_MINFILTER], DWORD{D3DTEXF_LINEAR});
  EXPECT_EQ(state.samplerStates[1][D3DSAMP_MINFILTER], DWORD{D3DTEXF_POINT});
}

// The key that selects a generated fixed-function shader: equal for states that draw alike, different where they don't.
DrawState DefaultStages() {
  DrawState state;
  for (UINT s = 0; s < kMaxStages; ++s) {
    state.stageStates[s][D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    state.stageStates[s][D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    state.stageStates[s][D3DTSS_COLORARG1] = state.stageStates[s][D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    state.stageStates[s][D3DTSS_COLORARG2] = state.stageStates[s][D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    state.stageStates[s][D3DTSS_TEXCOORDINDEX] = s;
  }
  return state;
}

TEST(GLFixedFunctionKey, StatesThatDrawAlikeShareAKey) {
  DrawState a = DefaultStages(), b = DefaultStages();
  // Unused second argument of SELECTARG1, states of stages after the first disabled one, and transform flags of a stage
  // without a texture argument make no difference.
  a.stageStates[0][D3DTSS_COLOROP] = b.stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
  b.stageStates[0][D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
  b.stageStates[2][D3DTSS_COLOROP] = D3DTOP_MODULATE;
  b.stageStates[1][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT3 | D3DTTFF_PROJECTED;
  EXPECT_TRUE(MakeFixedFunctionKey(a) == MakeFixedFunctionKey(b));
  a.stageStates[0][D3DTSS_COLORARG1] = b.stageStates[0][D3DTSS_COLORARG1] = D3DTA_DIFFUSE;
  a.stageStates[0][D3DTSS_ALPHAARG1] = b.stageStates[0][D3DTSS_ALPHAARG1] = D3DTA_DIFFUSE;
  b.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
  b.stageStates[0][D3DTSS_TEXCOORDINDEX] = 3;
  EXPECT_TRUE(MakeFixedFunctionKey(a) == MakeFixedFunctionKey(b));
}

TEST(GLFixedFunctionKey, StatesThatDrawDifferentlyGetDifferentKeys) {
  TextureData texture;
  DrawState base = DefaultStages();
  base.textures[0] = &texture;
  const auto key = MakeFixedFunctionKey(base);
  EXPECT_EQ(key.stageCount, 1);
  DrawState projected = base, untextured = base, pretransformed = base, twoStages = base;
  projected.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT3 | D3DTTFF_PROJECTED;
  untextured.textures[0] = nullptr;
  pretransformed.layout = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0}};
  twoStages.stageStates[1][D3DTSS_COLOROP] = D3DTOP_BLENDDIFFUSEALPHA;
  for (const auto& [what, other] :
       {std::pair{"projected", &projected}, {"untextured", &untextured}, {"pretransformed", &pretransformed}}) {
    EXPECT_FALSE(MakeFixedFunctionKey(*other) == key) << what;
  }
  EXPECT_EQ(MakeFixedFunctionKey(twoStages).stageCount, 2);
}

}  // namespace
}  // namespace platform::testing
