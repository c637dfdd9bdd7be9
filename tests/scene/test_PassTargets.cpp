#include <gtest/gtest.h>

#include "../platform/HeadlessDevice.h"
#include "config/cWaterScene.h"
#include "scene/cReflectionTarget.h"
#include "scene/cRefractionTarget.h"

namespace {

using PassTargetTest = platform::testing::HeadlessDevice;

UINT TextureEdge(IDirect3DTexture9* texture) {
  D3DSURFACE_DESC desc{};
  EXPECT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
  EXPECT_EQ(desc.Width, desc.Height);
  return desc.Width;
}

TEST_F(PassTargetTest, SizesRoundUpToPowersOfTwoWithinTheDeviceLimit) {
  struct Case {
    int requested;
    int size;  // 0: refused
  };
  D3DCAPS9 caps{};
  device->GetDeviceCaps(&caps);
  const int max = static_cast<int>(caps.MaxTextureWidth);
  for (const Case& c : {Case{300, 512}, Case{0, 1}, Case{-5, 1}, Case{1, 1}, Case{512, 512}, Case{max, max},
                        Case{max + 1, 0}, Case{0x7FFFFFFF, 0}}) {
    SCOPED_TRACE(c.requested);
    cReflectionTarget reflection;
    cRefractionTarget refraction;
    EXPECT_EQ(reflection.Init(c.requested, 0.0f, d3d, device), c.size != 0);
    EXPECT_EQ(refraction.Init(c.requested, d3d, device), c.size != 0);
    if (c.size == 0) {
      EXPECT_EQ(reflection.GetTexture(), nullptr);
      EXPECT_EQ(reflection.GetSize(), -1);
      continue;
    }
    EXPECT_EQ(reflection.GetSize(), c.size);
    EXPECT_EQ(TextureEdge(reflection.GetTexture()), static_cast<UINT>(c.size));
    EXPECT_EQ(TextureEdge(refraction.GetTexture()), static_cast<UINT>(c.size));
  }
}

TEST_F(PassTargetTest, BeginAndEndPutBackTargetViewAndCullMode) {
  cReflectionTarget target;
  ASSERT_TRUE(target.Init(256, 0.0f, d3d, device));
  D3DXMATRIX view;
  D3DXMatrixTranslation(&view, 1.0f, 2.0f, 3.0f);
  device->SetTransform(D3DTS_VIEW, &view);
  IDirect3DSurface9 *backBuffer = nullptr, *depth = nullptr;
  device->GetRenderTarget(0, &backBuffer);
  device->GetDepthStencilSurface(&depth);
  const ULONG backRefs = backBuffer->AddRef() - 1;
  backBuffer->Release();

  ASSERT_TRUE(target.Begin(device, &view));
  DWORD cull = 0;
  device->GetRenderState(D3DRS_CULLMODE, &cull);
  EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CW));
  IDirect3DSurface9* current = nullptr;
  device->GetRenderTarget(0, &current);
  EXPECT_NE(current, backBuffer);
  current->Release();
  ASSERT_TRUE(target.End(device));
  EXPECT_FALSE(target.End(device));

  device->GetRenderState(D3DRS_CULLMODE, &cull);
  EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));
  D3DXMATRIX after;
  device->GetTransform(D3DTS_VIEW, &after);
  EXPECT_EQ(after, view);
  device->GetRenderTarget(0, &current);
  EXPECT_EQ(current, backBuffer);
  current->Release();
  device->GetDepthStencilSurface(&current);
  EXPECT_EQ(current, depth);
  current->Release();
  EXPECT_EQ(backBuffer->AddRef() - 1, backRefs);
  backBuffer->Release();
  backBuffer->Release();
  depth->Release();
}

TEST_F(PassTargetTest, WaterSceneTargetsComeBackAfterADeviceLoss) {
  cWaterScene scene;
  ASSERT_TRUE(scene.reflectionTarget.Init(300, 0.0f, d3d, device));
  ASSERT_TRUE(scene.refractionTarget.Init(128, d3d, device));
  ASSERT_TRUE(scene.depthTarget.Init(64, d3d, device));
  platform::headless::LoseDevice();
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_TRUE(scene.OnLostDevice(device));
  EXPECT_EQ(scene.depthTarget.GetTexture(), nullptr);
  platform::headless::FailResets(1);
  EXPECT_NE(device->Reset(&parameters), D3D_OK);
  ASSERT_EQ(device->Reset(&parameters), D3D_OK);
  EXPECT_TRUE(scene.OnResetDevice(device));
  EXPECT_EQ(TextureEdge(scene.reflectionTarget.GetTexture()), 512u);
  EXPECT_EQ(TextureEdge(scene.refractionTarget.GetTexture()), 128u);
  EXPECT_EQ(TextureEdge(scene.depthTarget.GetTexture()), 64u);

  scene.ReleaseTargets();
  EXPECT_EQ(scene.reflectionTarget.GetTexture(), nullptr);
  EXPECT_EQ(scene.depthTarget.GetSize(), -1);
  EXPECT_EQ(device->Reset(&parameters), D3D_OK);  // nothing of the default pool is held
}

}  // namespace
