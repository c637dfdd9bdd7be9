#include "HeadlessDevice.h"

namespace platform::testing {
namespace {

using DeviceLoss = HeadlessDevice;

TEST_F(DeviceLoss, LostOnceThenNotResetUntilAResetSucceeds) {
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  headless::LoseDevice();
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  EXPECT_EQ(Recorded().presents, 0);
  headless::FailResets(1);
  EXPECT_TRUE(FAILED(device->Reset(&parameters)));
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(Recorded().resets, 0);
  ASSERT_EQ(device->Reset(&parameters), D3D_OK);
  EXPECT_EQ(Recorded().resets, 1);
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(Recorded().presents, 1);
}

TEST_F(DeviceLoss, ResetBeforeTheLossIsReportedFails) {
  headless::LoseDevice();
  EXPECT_EQ(device->Reset(&parameters), D3DERR_DEVICELOST);
}

TEST_F(DeviceLoss, ResetIsRefusedWhileTheProgramHoldsDefaultPoolObjects) {
  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                  nullptr),
            D3D_OK);
  IDirect3DTexture9* managed = nullptr;
  ASSERT_EQ(device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed, nullptr), D3D_OK);
  IDirect3DSurface9* level = nullptr;
  ASSERT_EQ(target->GetSurfaceLevel(0, &level), D3D_OK);
  ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
  ASSERT_EQ(device->SetTexture(0, target), D3D_OK);
  IDirect3DSurface9* depth = nullptr;
  ASSERT_EQ(device->CreateDepthStencilSurface(64, 64, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr),
            D3D_OK);

  EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
  level->Release();
  target->Release();  // still bound as texture and render target: that is the device's business
  EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);  // the depth surface is left
  depth->Release();
  IDirect3DSurface9* backBuffer = nullptr;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
  EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
  backBuffer->Release();
  ASSERT_EQ(device->Reset(&parameters), D3D_OK);

  IDirect3DBaseTexture9* bound = managed;
  ASSERT_EQ(device->GetTexture(0, &bound), D3D_OK);
  EXPECT_EQ(bound, nullptr);
  managed->Release();
}

TEST_F(DeviceLoss, ResetTakesTheNewSizeAndRestoresDefaults) {
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetSamplerState(1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device->SetFVF(D3DFVF_XYZ);
  D3DMATRIX scaled{};
  scaled._11 = scaled._22 = scaled._33 = 2;
  scaled._44 = 1;
  device->SetTransform(D3DTS_VIEW, &scaled);

  D3DPRESENT_PARAMETERS smaller = FullScreenParameters(800, 600);
  ASSERT_EQ(device->Reset(&smaller), D3D_OK);

  DWORD value = 0;
  device->GetRenderState(D3DRS_LIGHTING, &value);
  EXPECT_EQ(value, TRUE);
  device->GetRenderState(D3DRS_CULLMODE, &value);
  EXPECT_EQ(value, D3DCULL_CCW);
  device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
  EXPECT_EQ(value, D3DTOP_MODULATE);
  device->GetSamplerState(1, D3DSAMP_MINFILTER, &value);
  EXPECT_EQ(value, D3DTEXF_POINT);
  device->GetFVF(&value);
  EXPECT_EQ(value, 0u);
  D3DMATRIX view;
  device->GetTransform(D3DTS_VIEW, &view);
  EXPECT_EQ(view._11, 1.0f);

  IDirect3DSurface9* backBuffer = nullptr;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
  D3DSURFACE_DESC desc;
  backBuffer->GetDesc(&desc);
  EXPECT_EQ(desc.Width, 800u);
  EXPECT_EQ(desc.Height, 600u);
  IDirect3DSurface9* target = nullptr;
  device->GetRenderTarget(0, &target);
  EXPECT_EQ(target, backBuffer);
  target->Release();
  backBuffer->Release();
  D3DVIEWPORT9 viewport;
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 800u);
  EXPECT_EQ(viewport.Height, 600u);
  D3DDISPLAYMODE mode;
  device->GetDisplayMode(0, &mode);
  EXPECT_EQ(mode.Width, 800u);
}

TEST_F(DeviceLoss, ResetToAModeTheAdapterLacksFailsAndKeepsTheOldOne) {
  D3DPRESENT_PARAMETERS odd = FullScreenParameters(1000, 700);
  EXPECT_EQ(device->Reset(&odd), D3DERR_INVALIDCALL);
  D3DDISPLAYMODE mode;
  device->GetDisplayMode(0, &mode);
  EXPECT_EQ(mode.Width, 1024u);
  EXPECT_EQ(device->Reset(nullptr), D3DERR_INVALIDCALL);
}

}  // namespace
}  // namespace platform::testing
