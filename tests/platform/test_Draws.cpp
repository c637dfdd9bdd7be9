#include "HeadlessDevice.h"
#include "SpyBackend.h"
#include "platform/device/DeviceHooks.h"

namespace platform::testing {
namespace {

class Draws : public HeadlessDevice {
 protected:
  void SetUp() override {
    HeadlessDevice::SetUp();
    ASSERT_EQ(device->CreateVertexBuffer(20 * 4, 0, D3DFVF_XYZ | D3DFVF_TEX1, D3DPOOL_MANAGED, &quad, nullptr),
              D3D_OK);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetStreamSource(0, quad, 0, 20);
  }
  void TearDown() override {
    quad->Release();
    HeadlessDevice::TearDown();
  }
  IDirect3DVertexBuffer9* quad = nullptr;
};

TEST_F(Draws, ScenesFrameDrawsAndPresents) {
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 0), D3D_OK);  // nothing to draw
  EXPECT_EQ(device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(9), 0, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->EndScene(), D3D_OK);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(Recorded().draws.size(), 1u);
  EXPECT_EQ(Recorded().presents, 1);
}

TEST_F(Draws, NothingToDrawFromWithoutALayout) {
  device->SetFVF(0);
  device->BeginScene();
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  device->SetFVF(D3DFVF_XYZ);
  device->SetStreamSource(0, nullptr, 0, 0);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  device->EndScene();
  EXPECT_TRUE(Recorded().draws.empty());
}

TEST_F(Draws, RecordsCarryTheEffectPassTexturesAndFvf) {
  ASSERT_TRUE(IsRecording());
  IDirect3DTexture9* first = nullptr;
  IDirect3DTexture9* second = nullptr;
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &first, nullptr), D3D_OK);
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &second, nullptr), D3D_OK);
  device->SetTexture(0, first);
  device->SetTexture(1, second);

  EffectProgram program;
  program.path = "shaders/skybox.fx";
  program.techniques.push_back({"simple", {}, {EffectPass{}}});
  program.techniques.push_back({"clipped", {}, {EffectPass{}, EffectPass{}}});
  EffectBinding binding;
  binding.effect = &program;
  binding.technique = 1;
  binding.pass = 1;

  device->BeginScene();
  ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 1), D3D_OK);
  SetEffectBinding(device, binding);
  ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  SetEffectBinding(device, EffectBinding{});
  device->EndScene();

  const std::vector<DrawRecord>& draws = Recorded().draws;
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].type, D3DPT_TRIANGLESTRIP);
  EXPECT_FALSE(draws[0].indexed);
  EXPECT_EQ(draws[0].primitiveCount, 1u);
  EXPECT_EQ(draws[0].vertexCount, 3u);
  EXPECT_EQ(draws[0].start, 1u);
  EXPECT_TRUE(draws[0].effect.empty());
  EXPECT_EQ(draws[0].textures[0], first);
  EXPECT_EQ(draws[0].textures[1], second);
  EXPECT_EQ(draws[0].fvf, static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_TEX1));
  EXPECT_EQ(draws[1].effect, "shaders/skybox.fx");
  EXPECT_EQ(draws[1].technique, "clipped");
  EXPECT_EQ(draws[1].pass, 1u);

  device->SetTexture(0, nullptr);
  device->SetTexture(1, nullptr);
  first->Release();
  second->Release();
}

TEST_F(Draws, ClearsCheckTheirArgumentsAndClipRectsToTheViewport) {
  SpyBackend* spy = InstallSpy();
  EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Clear(0, nullptr, 0, 0, 1.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);  // D16 has no stencil
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 2.0f, 0), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0), D3D_OK);
  const D3DVIEWPORT9 viewport{100, 100, 200, 200, 0, 1};
  device->SetViewport(&viewport);
  const D3DRECT rects[] = {{0, 0, 150, 120}, {500, 500, 600, 600}, {250, 150, 400, 250}};
  ASSERT_EQ(device->Clear(3, rects, D3DCLEAR_TARGET, 0xFF102030u, 1.0f, 0), D3D_OK);
  EXPECT_EQ(Recorded().clears, 2);
  ASSERT_EQ(spy->clears.size(), 3u);
  EXPECT_EQ(spy->clears[0].viewport.Width, 1024u);
  EXPECT_EQ(spy->clears[0].color, 0xFF000000u);
  const D3DVIEWPORT9& first = spy->clears[1].viewport;
  EXPECT_EQ(first.X, 100u);
  EXPECT_EQ(first.Y, 100u);
  EXPECT_EQ(first.Width, 50u);
  EXPECT_EQ(first.Height, 20u);
  const D3DVIEWPORT9& second = spy->clears[2].viewport;
  EXPECT_EQ(second.X, 250u);
  EXPECT_EQ(second.Width, 50u);
  EXPECT_EQ(second.Height, 100u);
  D3DVIEWPORT9 after;
  device->GetViewport(&after);
  EXPECT_EQ(after.X, 100u);
  EXPECT_EQ(after.Width, 200u);
}

TEST_F(Draws, BoundObjectsAreHeldByTheDevice) {
  EXPECT_EQ(quad->AddRef(), 2u);  // bindings are not program references
  EXPECT_EQ(quad->Release(), 1u);
  IDirect3DVertexBuffer9* bound = nullptr;
  UINT offset = 0, stride = 0;
  ASSERT_EQ(device->GetStreamSource(0, &bound, &offset, &stride), D3D_OK);
  EXPECT_EQ(bound, quad);
  EXPECT_EQ(stride, 20u);
  EXPECT_EQ(bound->Release(), 1u);
  EXPECT_EQ(quad->Release(), 0u);  // gone for the program, still bound
  device->BeginScene();
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  device->EndScene();
  device->SetStreamSource(0, nullptr, 0, 0);  // frees it
  ASSERT_EQ(device->CreateVertexBuffer(16, 0, 0, D3DPOOL_MANAGED, &quad, nullptr), D3D_OK);  // for TearDown
}

}  // namespace
}  // namespace platform::testing
