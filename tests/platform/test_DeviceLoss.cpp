#include "PlatformFixture.h"

namespace platform::testing {
namespace {

using DeviceLoss = PlatformFixture;

TEST_F(DeviceLoss, LostOnceThenNotResetUntilAResetSucceeds) {
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  headless::LoseDevice();
  EXPECT_EQ(device->Reset(&parameters), D3DERR_DEVICELOST);  // before the loss is reported
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

TEST_F(DeviceLoss, ResetIsRefusedWhileTheProgramHoldsDefaultPoolObjects) {
  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                  nullptr),
            D3D_OK);
  IDirect3DTexture9* managed = Texture(64, 64);
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
}

TEST_F(DeviceLoss, ResetTakesTheNewSizeAndRestoresDefaults) {
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetSamplerState(1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device->SetFVF(D3DFVF_XYZ);
  D3DXMATRIX scaled;
  device->SetTransform(D3DTS_VIEW, D3DXMatrixScaling(&scaled, 2, 2, 2));

  D3DPRESENT_PARAMETERS smaller = FullScreenParameters(800, 600);
  ASSERT_EQ(device->Reset(&smaller), D3D_OK);
  DWORD fvf = 1;
  device->GetFVF(&fvf);
  EXPECT_EQ(std::tuple(RenderState(D3DRS_LIGHTING), RenderState(D3DRS_CULLMODE), StageState(0, D3DTSS_COLOROP),
                       SamplerState(1, D3DSAMP_MINFILTER), fvf),
            std::tuple(TRUE, D3DCULL_CCW, D3DTOP_MODULATE, D3DTEXF_POINT, 0u));
  D3DMATRIX view;
  device->GetTransform(D3DTS_VIEW, &view);
  EXPECT_EQ(view._11, 1.0f);

  IDirect3DSurface9 *backBuffer = nullptr, *target = nullptr;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
  D3DSURFACE_DESC desc;
  backBuffer->GetDesc(&desc);
  device->GetRenderTarget(0, &target);
  EXPECT_EQ(target, backBuffer);
  target->Release();
  backBuffer->Release();
  D3DDISPLAYMODE mode;
  device->GetDisplayMode(0, &mode);
  EXPECT_EQ(std::tuple(desc.Width, desc.Height, Viewport().Width, Viewport().Height, mode.Width),
            std::tuple(800u, 600u, 800u, 600u, 800u));
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
