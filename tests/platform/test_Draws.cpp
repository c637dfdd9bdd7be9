#include "PlatformFixture.h"
#include "platform/device/DeviceHooks.h"

namespace platform::testing {
namespace {

class Draws : public PlatformFixture {
 protected:
  void SetUp() override {
    PlatformFixture::SetUp();
    ASSERT_EQ(device->CreateVertexBuffer(20 * 4, 0, D3DFVF_XYZ | D3DFVF_TEX1, D3DPOOL_MANAGED, &quad, nullptr),
              D3D_OK);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetStreamSource(0, quad, 0, 20);
  }
  void TearDown() override {
    quad->Release();
    PlatformFixture::TearDown();
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
  device->SetFVF(0);  // nothing to draw from without a layout or a stream
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  device->SetFVF(D3DFVF_XYZ);
  device->SetStreamSource(0, nullptr, 0, 0);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->EndScene(), D3D_OK);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(Recorded().draws.size(), 1u);
  EXPECT_EQ(Recorded().presents, 1);
}

TEST_F(Draws, RecordsCarryTheEffectPassTexturesAndFvf) {
  ASSERT_TRUE(IsRecording());
  IDirect3DTexture9* first = Texture(4, 4);
  IDirect3DTexture9* second = Texture(4, 4);
  device->SetTexture(0, first);
  device->SetTexture(1, second);
  EffectProgram program;
  program.path = "shaders/skybox.fx";
  program.techniques.push_back({"simple", {}, {EffectPass{}}});
  program.techniques.push_back({"clipped", {}, {EffectPass{}, EffectPass{}}});

  device->BeginScene();
  ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 1), D3D_OK);
  SetEffectBinding(device, EffectBinding{&program, 1, 1});
  ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  SetEffectBinding(device, EffectBinding{});
  device->EndScene();
  device->SetTexture(0, nullptr);
  device->SetTexture(1, nullptr);

  const std::vector<DrawRecord>& draws = Recorded().draws;
  ASSERT_EQ(draws.size(), 2u);
  const DrawRecord& d = draws[0];
  EXPECT_EQ(std::tuple(d.type, d.indexed, d.primitiveCount, d.vertexCount, d.start, d.effect),
            std::tuple(D3DPT_TRIANGLESTRIP, false, 1u, 3u, 1u, std::string()));
  EXPECT_EQ(std::tuple(d.textures[0], d.textures[1], d.fvf),
            std::tuple(static_cast<IDirect3DBaseTexture9*>(first), static_cast<IDirect3DBaseTexture9*>(second),
                       static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_TEX1)));
  EXPECT_EQ(std::tuple(draws[1].effect, draws[1].technique, draws[1].pass),
            std::tuple(std::string("shaders/skybox.fx"), std::string("clipped"), 1u));
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
  EXPECT_EQ(std::tuple(spy->clears[0].viewport.Width, spy->clears[0].color), std::tuple(1024u, 0xFF000000u));
  const auto box = [&](size_t i) {
    const D3DVIEWPORT9& v = spy->clears[i].viewport;
    return std::tuple(v.X, v.Y, v.Width, v.Height);
  };
  EXPECT_EQ(box(1), std::tuple(100u, 100u, 50u, 20u));
  EXPECT_EQ(box(2), std::tuple(250u, 150u, 50u, 100u));
  EXPECT_EQ(std::tuple(Viewport().X, Viewport().Width), std::tuple(100u, 200u));
}

TEST_F(Draws, BoundObjectsAreHeldByTheDevice) {
  EXPECT_EQ(quad->AddRef(), 2u);  // bindings are not program references
  EXPECT_EQ(quad->Release(), 1u);
  IDirect3DVertexBuffer9* bound = nullptr;
  UINT offset = 0, stride = 0;
  ASSERT_EQ(device->GetStreamSource(0, &bound, &offset, &stride), D3D_OK);
  EXPECT_EQ(std::tuple(bound, stride), std::tuple(quad, 20u));
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
