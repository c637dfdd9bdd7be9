#include <gtest/gtest.h>

#include <cstring>

#include "GuiFixture.h"

namespace {

class SpriteContainerTest : public GuiFixture {
 protected:
  static SpriteRecord Quad(D3DTexture* texture, float x1, float y1, float x2, float y2, D3DCOLOR color) {
    return SpriteRecord{texture, x1, y1, x2, y2, color};
  }

  // The vertices the last Render wrote, read back from the bound buffer.
  std::vector<cSpriteContainer::Vertex> BoundVertices(UINT count) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT offset = 0, stride = 0;
    EXPECT_EQ(device->GetStreamSource(0, &buffer, &offset, &stride), S_OK);
    EXPECT_EQ(stride, 24u);
    std::vector<cSpriteContainer::Vertex> vertices(count);
    void* data = nullptr;
    if (buffer && SUCCEEDED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY))) {
      std::memcpy(vertices.data(), data, count * sizeof(cSpriteContainer::Vertex));
      buffer->Unlock();
    }
    if (buffer) buffer->Release();
    return vertices;
  }

  D3DVERTEXBUFFER_DESC BoundBufferDesc() {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT offset = 0, stride = 0;
    D3DVERTEXBUFFER_DESC desc{};
    EXPECT_EQ(device->GetStreamSource(0, &buffer, &offset, &stride), S_OK);
    if (buffer) {
      buffer->GetDesc(&desc);
      buffer->Release();
    }
    return desc;
  }

  HRESULT RenderAt(const D3DXVECTOR3& eye, const D3DXMATRIX& view) { return sprites->Render(device, &eye, &view); }

  HRESULT RenderIdentity() {
    D3DXMATRIX view;
    D3DXMatrixIdentity(&view);
    return RenderAt(D3DXVECTOR3(0, 0, 0), view);
  }

  static void ExpectVertex(const cSpriteContainer::Vertex& v, D3DXVECTOR3 p, float u, float tv) {
    EXPECT_NEAR(v.x, p.x, 1e-4f);
    EXPECT_NEAR(v.y, p.y, 1e-4f);
    EXPECT_NEAR(v.z, p.z, 1e-4f);
    EXPECT_EQ(v.u, u);
    EXPECT_EQ(v.v, tv);
  }
};

TEST_F(SpriteContainerTest, KeepsAtMost127RecordsOfCapacity128) {
  for (int i = 0; i < 130; ++i) sprites->AddSprite(Quad(nullptr, 0, 0, 1, -1, 0xFFFFFFFF));
  EXPECT_EQ(sprites->GetSprites().size(), 127u);
  ASSERT_EQ(RenderIdentity(), S_OK);
  EXPECT_EQ(platform::Recorded().draws.size(), 127u);

  sprites->Clear();
  EXPECT_TRUE(sprites->GetSprites().empty());
  platform::Recorded().Clear();
  ASSERT_EQ(RenderIdentity(), S_OK);
  EXPECT_TRUE(platform::Recorded().draws.empty());
}

TEST_F(SpriteContainerTest, TinyCapacitiesHoldNothing) {
  for (UINT capacity : {0u, 1u}) {
    cSpriteContainer tiny(device, nullptr, capacity);
    tiny.AddSprite(Quad(nullptr, 0, 0, 1, -1, 0));
    EXPECT_TRUE(tiny.GetSprites().empty());
  }
}

TEST_F(SpriteContainerTest, QuadsFaceTheCameraJustBeyondUnitDistance) {
  // A camera at (10, 20, 30) looking down +x: right is -z, up is +y.
  const D3DXVECTOR3 eye(10, 20, 30), at(11, 20, 30), upHint(0, 1, 0);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &upHint);
  sprites->AddSprite(Quad(nullptr, 0, 0, 1, -1, 0xFFFFFFFF));
  sprites->AddSprite(Quad(nullptr, -0.5f, 0.25f, 0.5f, -0.25f, 0x80FF0000));

  ASSERT_EQ(RenderAt(eye, view), S_OK);

  const auto v = BoundVertices(8);
  const D3DXVECTOR3 q(11.001f, 20, 30);  // eye + 1.001 * forward
  const D3DXVECTOR3 right(0, 0, -1), up(0, 1, 0);
  ExpectVertex(v[4], q + right * -0.5f + up * -0.25f, 0, 1);
  ExpectVertex(v[5], q + right * -0.5f + up * 0.25f, 0, 0);
  ExpectVertex(v[6], q + right * 0.5f + up * -0.25f, 1, 1);
  ExpectVertex(v[7], q + right * 0.5f + up * 0.25f, 1, 0);
  for (int i = 4; i < 8; ++i) EXPECT_EQ(v[i].color, 0x80FF0000u);
  EXPECT_EQ(v[0].color, 0xFFFFFFFFu);
}

TEST_F(SpriteContainerTest, DrawsOneStripPerRecordWithItsTextureAndRestoresDepthTest) {
  D3DTexture image(nullptr);
  ASSERT_EQ(D3DXCreateTexture(device, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &image.texture), S_OK);
  D3DTexture missing(nullptr);  // a file that failed to load
  sprites->AddSprite(Quad(&image, 0, 0, 1, -1, 0xFFFFFFFF));
  sprites->AddSprite(Quad(nullptr, 0, 0, 1, -1, 0xFFFFFFFF));
  sprites->AddSprite(Quad(&missing, 0, 0, 1, -1, 0xFFFFFFFF));

  ASSERT_EQ(RenderIdentity(), S_OK);

  const auto& draws = platform::Recorded().draws;
  ASSERT_EQ(draws.size(), 3u);
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_EQ(draws[i].type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(draws[i].start, 4 * i);
    EXPECT_EQ(draws[i].primitiveCount, 2u);
    EXPECT_EQ(draws[i].fvf, 0x142u);
  }
  EXPECT_EQ(draws[0].textures[0], image.texture);
  EXPECT_EQ(draws[1].textures[0], nullptr);
  EXPECT_EQ(draws[2].textures[0], nullptr);
  DWORD value = 0;
  device->GetTextureStageState(0, D3DTSS_COLORARG1, &value);
  EXPECT_EQ(value, D3DTA_DIFFUSE);  // the last record had no texture
  device->GetRenderState(D3DRS_ZENABLE, &value);
  EXPECT_EQ(value, static_cast<DWORD>(TRUE));
}

// The device is reset around the container as the editor does on device loss.
TEST_F(SpriteContainerTest, BufferIsManagedAtFirstAndDynamicDefaultAcrossDeviceResets) {
  sprites->AddSprite(Quad(nullptr, 0, 0, 1, -1, 0xFFFFFFFF));
  ASSERT_EQ(RenderIdentity(), S_OK);
  D3DVERTEXBUFFER_DESC desc = BoundBufferDesc();
  EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
  EXPECT_EQ(desc.Size, 128u * 96u);
  EXPECT_EQ(desc.FVF, 0x142u);
  ASSERT_EQ(device->EndScene(), S_OK);

  for (int loss = 0; loss < 2; ++loss) {
    sprites->OnLostDevice();
    ASSERT_EQ(device->Reset(&parameters), S_OK);  // nothing of the container's is left in the default pool
    ASSERT_EQ(device->BeginScene(), S_OK);
    platform::Recorded().Clear();
    EXPECT_TRUE(FAILED(RenderIdentity()));  // no buffer until the reset hook runs
    EXPECT_TRUE(platform::Recorded().draws.empty());

    sprites->OnResetDevice(device);
    ASSERT_EQ(RenderIdentity(), S_OK);
    desc = BoundBufferDesc();
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(desc.Usage & D3DUSAGE_DYNAMIC, D3DUSAGE_DYNAMIC);
    EXPECT_EQ(desc.Size, 128u * 96u);
    EXPECT_EQ(platform::Recorded().draws.size(), 1u);
    ASSERT_EQ(device->EndScene(), S_OK);
  }
  ASSERT_EQ(device->BeginScene(), S_OK);
}

}  // namespace
