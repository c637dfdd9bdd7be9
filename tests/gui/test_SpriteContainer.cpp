#include <gtest/gtest.h>

#include <cstring>

#include "GuiFixture.h"

namespace {

class SpriteContainerTest : public GuiFixture {
 protected:
  void AddQuad(D3DTexture* texture = nullptr, float x1 = 0, float y1 = 0, float x2 = 1, float y2 = -1,
               D3DCOLOR color = 0xFFFFFFFF) {
    sprites->AddSprite(SpriteRecord{texture, x1, y1, x2, y2, color});
  }

  // The description and the first `count` vertices of the bound buffer.
  D3DVERTEXBUFFER_DESC Bound(std::vector<cSpriteContainer::Vertex>* vertices = nullptr, UINT count = 0) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT offset = 0, stride = 0;
    D3DVERTEXBUFFER_DESC desc{};
    EXPECT_EQ(device->GetStreamSource(0, &buffer, &offset, &stride), S_OK);
    if (!buffer) return desc;
    EXPECT_EQ(stride, 24u);
    buffer->GetDesc(&desc);
    void* data = nullptr;
    if (vertices && SUCCEEDED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY))) {
      vertices->resize(count);
      std::memcpy(vertices->data(), data, count * sizeof(cSpriteContainer::Vertex));
      buffer->Unlock();
    }
    buffer->Release();
    return desc;
  }

  HRESULT Render(const D3DXVECTOR3& eye = {0, 0, 0}, const D3DXMATRIX* view = nullptr) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return sprites->Render(device, &eye, view ? view : &identity);
  }
};

TEST_F(SpriteContainerTest, HoldsOneRecordLessThanItsCapacity) {
  for (int i = 0; i < 130; ++i) AddQuad();
  EXPECT_EQ(sprites->GetSprites().size(), 127u);
  ASSERT_EQ(Render(), S_OK);
  EXPECT_EQ(platform::Recorded().draws.size(), 127u);

  sprites->Clear();
  platform::Recorded().Clear();
  ASSERT_EQ(Render(), S_OK);
  EXPECT_TRUE(platform::Recorded().draws.empty());

  for (UINT capacity : {0u, 1u}) {
    cSpriteContainer tiny(device, nullptr, capacity);
    tiny.AddSprite(SpriteRecord{});
    EXPECT_TRUE(tiny.GetSprites().empty());
  }
}

TEST_F(SpriteContainerTest, QuadsFaceTheCameraJustBeyondUnitDistance) {
  // A camera at (10, 20, 30) looking down +x: right is -z, up is +y.
  const D3DXVECTOR3 eye(10, 20, 30), at(11, 20, 30), upHint(0, 1, 0);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &upHint);
  AddQuad();
  AddQuad(nullptr, -0.5f, 0.25f, 0.5f, -0.25f, 0x80FF0000);
  ASSERT_EQ(Render(eye, &view), S_OK);

  std::vector<cSpriteContainer::Vertex> v;
  Bound(&v, 8);
  ASSERT_EQ(v.size(), 8u);
  const D3DXVECTOR3 q(11.001f, 20, 30), right(0, 0, -1), up(0, 1, 0);  // q: eye + 1.001 * forward
  const struct {
    D3DXVECTOR3 p;
    float u, v;
  } expected[] = {{q - right * 0.5f - up * 0.25f, 0, 1},
                  {q - right * 0.5f + up * 0.25f, 0, 0},
                  {q + right * 0.5f - up * 0.25f, 1, 1},
                  {q + right * 0.5f + up * 0.25f, 1, 0}};
  for (int i = 0; i < 4; ++i) {
    const D3DXVECTOR3 error = D3DXVECTOR3(v[4 + i].x, v[4 + i].y, v[4 + i].z) - expected[i].p;
    EXPECT_LT(D3DXVec3Length(&error), 2e-4f) << i;
    EXPECT_EQ(std::tuple(v[4 + i].u, v[4 + i].v, v[4 + i].color),
              std::tuple(expected[i].u, expected[i].v, 0x80FF0000u));
  }
  EXPECT_EQ(v[0].color, 0xFFFFFFFFu);
}

TEST_F(SpriteContainerTest, DrawsOneStripPerRecordWithItsTextureAndRestoresDepthTest) {
  D3DTexture image(nullptr), missing(nullptr);  // missing: a file that failed to load
  ASSERT_EQ(D3DXCreateTexture(device, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &image.texture), S_OK);
  AddQuad(&image);
  AddQuad();
  AddQuad(&missing);
  ASSERT_EQ(Render(), S_OK);

  const auto& draws = platform::Recorded().draws;
  ASSERT_EQ(draws.size(), 3u);
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_EQ(std::tuple(draws[i].type, draws[i].start, draws[i].primitiveCount, draws[i].fvf),
              std::tuple(D3DPT_TRIANGLESTRIP, 4 * i, 2u, 0x142u));
    EXPECT_EQ(draws[i].textures[0], i == 0 ? image.texture : nullptr);
  }
  DWORD colorArg = 0, zEnable = 0;
  device->GetTextureStageState(0, D3DTSS_COLORARG1, &colorArg);
  device->GetRenderState(D3DRS_ZENABLE, &zEnable);
  EXPECT_EQ(std::tuple(colorArg, zEnable), std::tuple(DWORD{D3DTA_DIFFUSE}, DWORD{TRUE}));  // the last had no texture
}

// The device is reset around the container as the editor does on device loss.
TEST_F(SpriteContainerTest, BufferIsManagedAtFirstAndDynamicDefaultAcrossDeviceResets) {
  AddQuad();
  ASSERT_EQ(Render(), S_OK);
  D3DVERTEXBUFFER_DESC desc = Bound();
  EXPECT_EQ(std::tuple(desc.Pool, desc.Size, desc.FVF), std::tuple(D3DPOOL_MANAGED, 128u * 96u, 0x142u));
  ASSERT_EQ(device->EndScene(), S_OK);

  for (int loss = 0; loss < 2; ++loss) {
    sprites->OnLostDevice();
    ASSERT_EQ(device->Reset(&parameters), S_OK);  // nothing of the container's is left in the default pool
    ASSERT_EQ(device->BeginScene(), S_OK);
    platform::Recorded().Clear();
    EXPECT_TRUE(FAILED(Render()));  // no buffer until the reset hook runs
    sprites->OnResetDevice(device);
    ASSERT_EQ(Render(), S_OK);
    desc = Bound();
    EXPECT_EQ(std::tuple(desc.Pool, desc.Usage & D3DUSAGE_DYNAMIC, desc.Size),
              std::tuple(D3DPOOL_DEFAULT, DWORD{D3DUSAGE_DYNAMIC}, 128u * 96u));
    EXPECT_EQ(platform::Recorded().draws.size(), 1u);
    ASSERT_EQ(device->EndScene(), S_OK);
  }
  ASSERT_EQ(device->BeginScene(), S_OK);
}

}  // namespace
