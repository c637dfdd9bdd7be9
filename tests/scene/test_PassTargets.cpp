#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "../ScratchFolder.h"
#include "FailingDevice.h"
#include "SceneTest.h"
#include "heightmap/cPerlinNoiseHeightmap.h"
#include "scene/cReflectionTarget.h"
#include "scene/cRefractionTarget.h"
#include "waterscene/cWaterScene.h"

namespace {

using PassTargetTest = platform::testing::HeadlessDevice;

UINT TextureEdge(IDirect3DTexture9* texture) {
  D3DSURFACE_DESC desc{};
  EXPECT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
  EXPECT_EQ(desc.Width, desc.Height);
  return desc.Width;
}

// The size a target reports always matches what it holds.
void ExpectConsistent(const cPassTarget& target) {
  if (target.GetTexture() == nullptr) {
    EXPECT_EQ(target.GetSize(), -1);
  } else {
    EXPECT_EQ(TextureEdge(target.GetTexture()), static_cast<UINT>(target.GetSize()));
  }
}

ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

DWORD RenderState(IDirect3DDevice9* device, D3DRENDERSTATETYPE state) {
  DWORD value = 0xDEAD;
  device->GetRenderState(state, &value);
  return value;
}

D3DXMATRIX View(IDirect3DDevice9* device) {
  D3DXMATRIX view;
  device->GetTransform(D3DTS_VIEW, &view);
  return view;
}

D3DXMATRIX Translation(float x, float y, float z) {
  D3DXMATRIX m;
  return *D3DXMatrixTranslation(&m, x, y, z);
}

// What Begin must leave as it found it.
struct DeviceTargets {
  explicit DeviceTargets(IDirect3DDevice9* device) : view(View(device)), cull(RenderState(device, D3DRS_CULLMODE)) {
    device->GetRenderTarget(0, &target);
    device->GetDepthStencilSurface(&depth);
    targetReferences = References(target);
  }
  ~DeviceTargets() {
    target->Release();
    depth->Release();
  }
  void ExpectRestored(IDirect3DDevice9* device) const {
    const DeviceTargets now(device);
    EXPECT_EQ(std::tuple(now.target, now.depth, now.view, now.cull), std::tuple(target, depth, view, cull));
    EXPECT_EQ(now.targetReferences, targetReferences + 1);  // `now` holds one more
  }
  IDirect3DSurface9* target = nullptr;
  IDirect3DSurface9* depth = nullptr;
  D3DXMATRIX view;
  DWORD cull;
  ULONG targetReferences = 0;
};

// Sizes round up to powers of two within the device's limit. Bad devices are refused, and every call of a successful
// Init failing in turn leaves nothing half-made: the device can still be reset.
TEST_F(PassTargetTest, InitRoundsSizesUpAndLeavesNothingBehindWhenRefusedOrFailing) {
  D3DCAPS9 caps{};
  device->GetDeviceCaps(&caps);
  const int max = static_cast<int>(caps.MaxTextureWidth);
  // Requested size and the size made; 0: refused.
  const struct { int requested, size; } cases[] = {{300, 512},  {0, 1},     {-5, 1},      {1, 1},        {512, 512},
                                                   {513, 1024}, {max, max}, {max + 1, 0}, {0x7FFFFFFF, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.requested);
    cReflectionTarget reflection;  // both kinds create their target alike
    EXPECT_EQ(reflection.Init(c.requested, 0.0f, d3d, device), c.size != 0);
    ExpectConsistent(reflection);
    EXPECT_EQ(reflection.GetSize(), c.size != 0 ? c.size : -1);
    EXPECT_EQ(cPassTarget::RoundSize(c.requested, max), c.size);
  }
  cRefractionTarget target;  // missing interfaces and unsupported targets are refused
  EXPECT_FALSE(target.Init(64, nullptr, device));
  EXPECT_FALSE(target.Init(64, d3d, nullptr));
  ExpectConsistent(target);
  FailingDevice failing(device);
  cReflectionTarget probe;
  ASSERT_TRUE(probe.Init(300, 0.0f, d3d, &failing));
  const int calls = failing.Calls();
  probe.Release();
  for (int n = 1; n <= calls; ++n) {
    SCOPED_TRACE(n);
    cReflectionTarget half;
    failing.FailCall(n);
    EXPECT_FALSE(half.Init(300, 0.0f, d3d, &failing));
    ExpectConsistent(half);
    EXPECT_EQ(half.GetTexture(), nullptr);
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
  }
  auto profile = platform::HeadlessProfile::ShaderModel3();
  profile.unsupportedFormats = {D3DFMT_A8R8G8B8};
  Start(profile);
  EXPECT_FALSE(IsRenderTargetSupported(d3d, device));
  EXPECT_FALSE(target.Init(64, d3d, device));
  EXPECT_EQ(target.GetTexture(), nullptr);
}

// Begin failing at any step puts everything back; End failing to put the target
// back still restores a reflection's view and culling, so the frame goes on unmirrored.
TEST_F(PassTargetTest, BeginOrEndFailingAtAnyStepPutsBackWhatItCan) {
  const D3DXMATRIX view = Translation(1, 2, 3);
  device->SetTransform(D3DTS_VIEW, &view);
  FailingDevice failing(device);
  auto before = std::make_unique<DeviceTargets>(device);
  for (bool reflection : {true, false}) {
    cReflectionTarget reflectionTarget;
    cRefractionTarget refractionTarget;
    ASSERT_TRUE(reflectionTarget.Init(64, 0.0f, d3d, device));
    ASSERT_TRUE(refractionTarget.Init(64, d3d, device));
    const auto begin = [&](IDirect3DDevice9* d) {
      return reflection ? reflectionTarget.Begin(d, &view) : refractionTarget.Begin(d);
    };
    const auto end = [&](IDirect3DDevice9* d) {
      return reflection ? reflectionTarget.End(d) : refractionTarget.End(d);
    };
    failing.FailCall(0);
    ASSERT_TRUE(begin(&failing));
    const int calls = failing.Calls();
    ASSERT_TRUE(end(device));
    for (int n = 1; n <= calls; ++n) {
      SCOPED_TRACE(testing::Message() << (reflection ? "reflection begin " : "refraction begin ") << n);
      failing.FailCall(n);
      EXPECT_FALSE(begin(&failing));
      EXPECT_FALSE(end(device));  // nothing to put back
      before->ExpectRestored(device);
    }
    for (int n = 1; n <= 2; ++n) {  // End's SetRenderTarget, then its SetDepthStencilSurface
      SCOPED_TRACE(testing::Message() << (reflection ? "reflection end " : "refraction end ") << n);
      ASSERT_TRUE(begin(device));
      failing.FailCall(n);
      EXPECT_FALSE(end(&failing));
      EXPECT_EQ(std::tuple(View(device), RenderState(device, D3DRS_CULLMODE)), std::tuple(view, before->cull));
      EXPECT_FALSE(end(device));  // nothing left to put back
      device->SetRenderTarget(0, before->target);
      device->SetDepthStencilSurface(before->depth);
    }
    EXPECT_TRUE(begin(device));
    EXPECT_TRUE(end(device));
    before->ExpectRestored(device);
  }
  before.reset();  // its back-buffer reference would block the reset
  EXPECT_EQ(device->Reset(&parameters), D3D_OK);
}

TEST_F(PassTargetTest, ReflectionRendersMirroredIntoItsTextureAndPutsTheDeviceBack) {
  cReflectionTarget target;
  ASSERT_TRUE(target.Init(256, 0.0f, d3d, device));
  const D3DXMATRIX view = Translation(1, 2, 3);
  device->SetTransform(D3DTS_VIEW, &view);
  const DeviceTargets before(device);
  EXPECT_FALSE(target.Begin(device, nullptr));
  D3DXMATRIX reflected;
  ASSERT_TRUE(target.Begin(device, &view, &reflected));
  D3DXMATRIX expected;
  D3DXMatrixMultiply(&expected, &target.GetMirror(), &view);
  EXPECT_EQ(std::tuple(reflected, target.GetReflectedView(), View(device)), std::tuple(expected, expected, expected));
  EXPECT_EQ(RenderState(device, D3DRS_CULLMODE), DWORD{D3DCULL_CW});
  EXPECT_FALSE(target.Begin(device, &view));  // already begun
  platform::Recorded().Clear();
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
  ASSERT_TRUE(target.End(device));
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
  const auto& clears = platform::Recorded().clearCalls;
  ASSERT_EQ(clears.size(), 2u);
  EXPECT_EQ(std::tuple(clears[0].target, clears[0].flags), std::tuple(target.GetTexture(), DWORD{D3DCLEAR_ZBUFFER}));
  EXPECT_EQ(std::tuple(clears[1].target, clears[1].color), std::tuple(nullptr, 0xFF000000u));
  EXPECT_EQ(platform::Recorded().clears, 2);
  before.ExpectRestored(device);
  for (float h : {0.0f, 2.5f, -4.0f}) {  // the mirror reflects points through the plane
    target.SetPlaneHeight(h);
    for (const D3DXVECTOR3& p : {D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(-7, h, 0.5f), D3DXVECTOR3(0, -30, 100)}) {
      D3DXVECTOR3 m;
      D3DXVec3TransformCoord(&m, &p, &target.GetMirror());
      const D3DXVECTOR3 error = m - D3DXVECTOR3(p.x, 2 * h - p.y, p.z);
      EXPECT_LT(D3DXVec3Length(&error), 1e-4f) << h;
    }
  }
}

// Points above and below the clip height, pushed through the pass's world-to-clip matrix, land on the kept and the
// dropped side of the plane the device received.
TEST_F(PassTargetTest, ClipPlanesKeepTheRightSideAndASingularProjectionSetsNone) {
  D3DXMATRIX view, projection;
  const D3DXVECTOR3 eye(3, 12, -40), at(0, 0, 0), up(0, 1, 0);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, 0.8f, 4.0f / 3.0f, 1.0f, 5000.0f);
  struct Case { bool reflection, projected; float height; };
  for (const Case& c : {Case{true, true, 1.0f}, Case{true, false, 1.0f}, Case{false, true, -2.0f},
                        Case{false, false, -2.0f}, Case{true, true, -3.0f}, Case{false, true, 0.5f}}) {
    SCOPED_TRACE(testing::Message() << c.reflection << c.projected << c.height);
    cReflectionTarget reflection;
    cRefractionTarget refraction;
    ASSERT_TRUE(reflection.Init(64, 0.0f, d3d, device));
    ASSERT_TRUE(refraction.Init(64, d3d, device));
    D3DXMATRIX worldToClip;
    if (c.reflection) {
      ASSERT_TRUE(reflection.Begin(device, &view));
      D3DXMatrixMultiply(&worldToClip, &reflection.GetReflectedView(), &projection);
      EXPECT_TRUE(c.projected ? reflection.SetClipPlaneProjected(c.height, projection, device)
                              : reflection.SetClipPlaneWorld(c.height, device));
      EXPECT_EQ(reflection.GetClipHeight(), c.height);
    } else {
      D3DXMatrixMultiply(&worldToClip, &view, &projection);
      EXPECT_TRUE(c.projected ? refraction.SetClipPlaneProjected(c.height, view, projection, device)
                              : refraction.SetClipPlaneWorld(c.height, device));
      EXPECT_EQ(refraction.GetClipHeight(), c.height);
    }
    float plane[4];
    ASSERT_EQ(device->GetClipPlane(0, plane), D3D_OK);
    EXPECT_EQ(RenderState(device, D3DRS_CLIPPLANEENABLE), 1u);
    for (float offset : {0.25f, -0.25f, 5.0f, -5.0f}) {
      for (const D3DXVECTOR3& ground : {D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(-20, 0, 30), D3DXVECTOR3(15, 0, -10)}) {
        D3DXVECTOR4 point(ground.x, c.height + offset, ground.z, 1.0f);
        D3DXVECTOR4 p = point;
        if (c.projected) D3DXVec4Transform(&p, &point, &worldToClip);
        const float side = plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3] * p.w;
        const bool kept = c.reflection ? offset > 0 : offset < 0;
        EXPECT_EQ(side > 0, kept) << offset << " " << ground.x;
      }
    }
    EXPECT_TRUE(!c.reflection || reflection.End(device));
    DisableClipPlane(device);
    EXPECT_EQ(RenderState(device, D3DRS_CLIPPLANEENABLE), 0u);
  }
  D3DXMATRIX zero;
  memset(&zero, 0, sizeof(zero));  // a singular matrix sets no plane
  EXPECT_FALSE(cRefractionTarget().SetClipPlaneProjected(1.0f, view, zero, device));
  EXPECT_FALSE(cReflectionTarget().SetClipPlaneProjected(1.0f, zero, device));
  EXPECT_EQ(RenderState(device, D3DRS_CLIPPLANEENABLE), 0u);
}

TEST_F(PassTargetTest, DepthPassSetsItsEffectAndKeepsTheDepthRangeFinite) {
  cRefractionTarget depth(cRefractionTarget::Role::Depth);
  ASSERT_TRUE(depth.Init(128, d3d, device));
  const D3DXMATRIX world = Translation(0, 5, 0), view = Translation(0, 0, 10);
  D3DXMATRIX projection;
  D3DXMatrixScaling(&projection, 2, 3, 1);
  EXPECT_FALSE(depth.EndDepth());
  // A typed range reaches the pass every frame: 1 / range, kept finite near 0.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (auto [range, expected] : {std::pair{50.0f, 0.02f}, {-50.0f, -0.02f}, {0.0f, 1000.0f}, {-0.0f, -1000.0f},
                                 {1e-6f, 1000.0f}, {nan, 1000.0f}}) {
    SCOPED_TRACE(range);
    platform::Recorded().Clear();
    ASSERT_TRUE(depth.Begin(device));
    ASSERT_TRUE(depth.BeginDepth(world, projection, view, 1.5f, range, device));
    EXPECT_FALSE(depth.BeginDepth(world, projection, view, 1.5f, range, device));  // already begun
    EXPECT_FLOAT_EQ(ParameterValues("depthLimit").at(0), expected);
    EXPECT_EQ(ParameterValues("planeYPos").at(0), 1.5f);
    // world x view x projection: the world's lift and the view's push both show.
    const std::vector<float> wvp = ParameterValues("matWorldViewProject");
    ASSERT_EQ(wvp.size(), 16u);
    EXPECT_EQ(std::tuple(wvp[13], wvp[14]), std::tuple(15.0f, 10.0f));  // 5 lifted, scaled by 3
    EXPECT_EQ(platform::Recorded().techniques.back(), "renderDepth");
    EXPECT_TRUE(depth.EndDepth());
    EXPECT_FALSE(depth.EndDepth());
    EXPECT_TRUE(depth.End(device));
  }
}

// Which target fills which fields is checked by the saved files of tests/waterscene (WaterSceneSaveEngine); here a
// depth pass refused for want of its effect keeps what was typed, and tries the effect again only after a reset.
TEST_F(PassTargetTest, ADepthPassWithoutItsEffectRefusesKeepsItsSettingsAndRetriesAfterAReset) {
  const D3DXMATRIX identity = Translation(0, 0, 0);
  Start(platform::HeadlessProfile::FixedFunction());  // no shaders at all
  cRefractionTarget fixed(cRefractionTarget::Role::Depth);
  ASSERT_TRUE(fixed.Init(64, d3d, device));
  ASSERT_TRUE(fixed.Begin(device));
  EXPECT_FALSE(fixed.BeginDepth(identity, identity, identity, 3.0f, 40.0f, device));
  EXPECT_EQ(fixed.GetDepthEffect(), nullptr);
  EXPECT_TRUE(fixed.End(device));
  fixed.Release();
  Start(platform::HeadlessProfile::ShaderModel3());
  cRefractionTarget depth(cRefractionTarget::Role::Depth);
  ASSERT_TRUE(depth.Init(200, d3d, device));
  depth.SetClipPlaneWorld(-2.0f, device);
  {
    const EmptyWorkingDirectory empty;
    EXPECT_FALSE(depth.BeginDepth(identity, identity, identity, 3.0f, 40.0f, device));
  }
  EXPECT_FALSE(depth.BeginDepth(identity, identity, identity, 3.0f, 40.0f, device));
  EXPECT_FALSE(depth.EndDepth());
  cEngineSettings settings{};
  depth.FillSettings(settings);
  EXPECT_EQ(std::tuple(settings.depthTextureResolution, settings.depthClipPlaneHeight, settings.depthPlaneHeight,
                       settings.depthLimit), std::tuple(256, -2.0f, 3.0f, 40.0f));
  EXPECT_TRUE(depth.OnLostDevice(device));
  ASSERT_EQ(device->Reset(&parameters), D3D_OK);
  EXPECT_TRUE(depth.OnResetDevice(device));
  EXPECT_TRUE(depth.BeginDepth(identity, identity, identity, 0.0f, 50.0f, device));
  EXPECT_TRUE(depth.EndDepth());
}

// A heightmap whose device hooks fail, standing in for any component.
struct FailingHeightmap : cPerlinNoiseHeightmap {
  bool OnLostDevice() override { return false; }
  bool OnResetDevice() override { return false; }
};

TEST_F(PassTargetTest, WaterSceneRecoversEvenWhenAComponentHookFails) {
  FailingHeightmap heightmap;
  for (iHeightmap* component : {static_cast<iHeightmap*>(nullptr), static_cast<iHeightmap*>(&heightmap)}) {
    SCOPED_TRACE(component != nullptr);
    cWaterScene scene;
    scene.heightmap = component;
    ASSERT_TRUE(scene.reflectionTarget.Init(300, 0.0f, d3d, device));
    ASSERT_TRUE(scene.refractionTarget.Init(128, d3d, device));
    ASSERT_TRUE(scene.depthTarget.Init(64, d3d, device));
    platform::headless::LoseDevice();
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(scene.OnLostDevice(device), component == nullptr);
    platform::headless::FailResets(1);
    EXPECT_NE(device->Reset(&parameters), D3D_OK);
    ASSERT_EQ(device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(scene.OnResetDevice(device), component == nullptr);
    EXPECT_EQ(std::tuple(TextureEdge(scene.reflectionTarget.GetTexture()),
                         TextureEdge(scene.refractionTarget.GetTexture()), TextureEdge(scene.depthTarget.GetTexture())),
              std::tuple(512u, 128u, 64u));
    scene.ReleaseTargets();
    EXPECT_EQ(std::tuple(scene.reflectionTarget.GetTexture(), scene.depthTarget.GetSize()), std::tuple(nullptr, -1));
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);  // nothing of the default pool is held
    scene.heightmap = nullptr;
  }
}

}  // namespace
