#include "HeadlessDevice.h"
#include "SpyBackend.h"
#include "platform/device/DeviceHooks.h"

namespace platform::testing {
namespace {

using States = HeadlessDevice;

DWORD RenderState(IDirect3DDevice9* device, D3DRENDERSTATETYPE state) {
  DWORD value = 0xDEADu;
  EXPECT_EQ(device->GetRenderState(state, &value), D3D_OK);
  return value;
}

DWORD StageState(IDirect3DDevice9* device, DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
  DWORD value = 0xDEADu;
  EXPECT_EQ(device->GetTextureStageState(stage, type, &value), D3D_OK);
  return value;
}

TEST_F(States, DirectXDefaultsAtCreation) {
  EXPECT_EQ(RenderState(device, D3DRS_ZENABLE), D3DZB_TRUE);
  EXPECT_EQ(RenderState(device, D3DRS_FILLMODE), D3DFILL_SOLID);
  EXPECT_EQ(RenderState(device, D3DRS_CULLMODE), D3DCULL_CCW);
  EXPECT_EQ(RenderState(device, D3DRS_LIGHTING), TRUE);
  EXPECT_EQ(RenderState(device, D3DRS_ALPHAFUNC), D3DCMP_ALWAYS);
  EXPECT_EQ(RenderState(device, D3DRS_SRCBLEND), D3DBLEND_ONE);
  EXPECT_EQ(RenderState(device, D3DRS_DESTBLEND), D3DBLEND_ZERO);
  EXPECT_EQ(RenderState(device, D3DRS_ZFUNC), D3DCMP_LESSEQUAL);
  EXPECT_EQ(RenderState(device, D3DRS_ALPHABLENDENABLE), FALSE);
  EXPECT_EQ(RenderState(device, D3DRS_COLORWRITEENABLE), 0xFu);
  EXPECT_EQ(StageState(device, 0, D3DTSS_COLOROP), D3DTOP_MODULATE);
  EXPECT_EQ(StageState(device, 0, D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
  EXPECT_EQ(StageState(device, 1, D3DTSS_COLOROP), D3DTOP_DISABLE);
  EXPECT_EQ(StageState(device, 1, D3DTSS_ALPHAOP), D3DTOP_DISABLE);
  EXPECT_EQ(StageState(device, 1, D3DTSS_COLORARG1), D3DTA_TEXTURE);
  EXPECT_EQ(StageState(device, 1, D3DTSS_COLORARG2), D3DTA_CURRENT);
  EXPECT_EQ(StageState(device, 3, D3DTSS_TEXCOORDINDEX), 3u);
  DWORD value = 0;
  device->GetSamplerState(0, D3DSAMP_ADDRESSU, &value);
  EXPECT_EQ(value, D3DTADDRESS_WRAP);
  device->GetSamplerState(D3DVERTEXTEXTURESAMPLER0, D3DSAMP_MAGFILTER, &value);
  EXPECT_EQ(value, D3DTEXF_POINT);
  device->GetSamplerState(0, D3DSAMP_MIPFILTER, &value);
  EXPECT_EQ(value, D3DTEXF_NONE);
  D3DMATRIX world;
  device->GetTransform(D3DTS_WORLD, &world);
  EXPECT_EQ(world._11, 1.0f);
  EXPECT_EQ(world._12, 0.0f);
  EXPECT_EQ(world._44, 1.0f);
  D3DVIEWPORT9 viewport;
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 1024u);
  EXPECT_EQ(viewport.MaxZ, 1.0f);
}

TEST_F(States, WithoutAutomaticDepthZStartsOff) {
  ReleaseAll();
  UseHeadlessBackend();
  d3d = Direct3DCreate9(D3D_SDK_VERSION);
  parameters = FullScreenParameters();
  parameters.EnableAutoDepthStencil = FALSE;
  ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, parameters.hDeviceWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                              &parameters, &device),
            D3D_OK);
  EXPECT_EQ(RenderState(device, D3DRS_ZENABLE), D3DZB_FALSE);
  IDirect3DSurface9* depth = nullptr;
  EXPECT_EQ(device->GetDepthStencilSurface(&depth), D3DERR_NOTFOUND);
  EXPECT_EQ(depth, nullptr);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST_F(States, IndicesOutOfRangeAreRefused) {
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
}

TEST_F(States, OneStreamProfileRefusesTheSecondStream) {
  Start(HeadlessProfile::OneStream());
  IDirect3DVertexBuffer9* buffer = nullptr;
  ASSERT_EQ(device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
  EXPECT_EQ(device->SetStreamSource(0, buffer, 0, 16), D3D_OK);
  EXPECT_EQ(device->SetStreamSource(1, buffer, 0, 16), D3DERR_INVALIDCALL);
  buffer->Release();
}

TEST_F(States, RenderTargetsSetTheViewportAndCountReferences) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(128, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture,
                                  nullptr),
            D3D_OK);
  IDirect3DSurface9* level = nullptr;
  texture->GetSurfaceLevel(0, &level);
  IDirect3DSurface9* saved = nullptr;
  ASSERT_EQ(device->GetRenderTarget(0, &saved), D3D_OK);
  ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
  D3DVIEWPORT9 viewport;
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 128u);
  EXPECT_EQ(viewport.Height, 64u);
  const D3DVIEWPORT9 tooWide{64, 0, 65, 64, 0, 1};
  EXPECT_EQ(device->SetViewport(&tooWide), D3DERR_INVALIDCALL);
  const D3DVIEWPORT9 inside{64, 0, 64, 32, 0, 1};
  EXPECT_EQ(device->SetViewport(&inside), D3D_OK);

  IDirect3DSurface9* current = nullptr;
  ASSERT_EQ(device->GetRenderTarget(0, &current), D3D_OK);
  EXPECT_EQ(current, level);
  current->Release();
  level->Release();
  EXPECT_EQ(texture->Release(), 0u);  // bound as target: the device keeps it without a program reference
  ASSERT_EQ(device->SetRenderTarget(0, saved), D3D_OK);  // frees the texture
  saved->Release();
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 1024u);

  IDirect3DSurface9* depth = nullptr;
  ASSERT_EQ(device->CreateDepthStencilSurface(32, 32, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr),
            D3D_OK);
  EXPECT_EQ(device->SetRenderTarget(0, depth), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->SetDepthStencilSurface(depth), D3D_OK);
  IDirect3DSurface9* back = nullptr;
  device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
  EXPECT_EQ(device->SetDepthStencilSurface(back), D3DERR_INVALIDCALL);
  back->Release();
  ASSERT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
  depth->Release();
}

TEST_F(States, VertexSamplersReachTheirOwnSlots) {
  SpyBackend* spy = InstallSpy();
  IDirect3DTexture9* heights = nullptr;
  ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_R32F, D3DPOOL_MANAGED, &heights, nullptr), D3D_OK);
  ASSERT_EQ(device->SetTexture(D3DVERTEXTEXTURESAMPLER0 + 1, heights), D3D_OK);
  ASSERT_EQ(device->SetSamplerState(D3DVERTEXTEXTURESAMPLER0 + 1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR), D3D_OK);
  IDirect3DBaseTexture9* bound = nullptr;
  ASSERT_EQ(device->GetTexture(D3DVERTEXTEXTURESAMPLER0 + 1, &bound), D3D_OK);
  EXPECT_EQ(bound, heights);
  bound->Release();

  const float vertex[3][3] = {};
  device->SetFVF(D3DFVF_XYZ);
  device->BeginScene();
  ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertex, 12), D3D_OK);
  device->EndScene();
  ASSERT_EQ(spy->states.size(), 1u);
  const DrawState& state = spy->states[0];
  EXPECT_EQ(state.vertexTextures[1], TextureDataOf(heights));
  EXPECT_EQ(state.textures[0], nullptr);
  EXPECT_EQ(state.samplerStates[kMaxStages + 1][D3DSAMP_MINFILTER], D3DTEXF_LINEAR);
  EXPECT_EQ(state.samplerStates[1][D3DSAMP_MINFILTER], D3DTEXF_POINT);
  device->SetTexture(D3DVERTEXTEXTURESAMPLER0 + 1, nullptr);
  heights->Release();
}

}  // namespace
}  // namespace platform::testing
