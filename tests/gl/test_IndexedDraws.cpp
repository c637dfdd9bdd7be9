// Vertex and index buffers on the OpenGL backend: two streams of one
// declaration, 16- and 32-bit indices, base vertex and start index.
#include <cstring>

#include "GLDeviceTest.h"

namespace gltest {
namespace {

struct Position {
  float x, y, z;
};

constexpr D3DVERTEXELEMENT9 kTwoStreams[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {1, 0, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    D3DDECL_END()};

class IndexedDrawTest : public GLDeviceTest {
 protected:
  void TearDown() override {
    if (device_) {
      for (UINT stream = 0; stream < 2; ++stream) device_->SetStreamSource(stream, nullptr, 0, 0);
      device_->SetIndices(nullptr);
    }
    GLDeviceTest::TearDown();
  }

  // A managed buffer holding `bytes` of `data`, released after the test.
  template <class Buffer>
  Buffer* Filled(Buffer* buffer, const void* data, UINT bytes) {
    void* target = nullptr;
    EXPECT_EQ(buffer->Lock(0, bytes, &target, 0), D3D_OK);
    if (target) std::memcpy(target, data, bytes);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    return Own(buffer);
  }
  IDirect3DVertexBuffer9* MakeVertices(const void* data, UINT bytes) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    EXPECT_EQ(device_->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    return buffer ? Filled(buffer, data, bytes) : nullptr;
  }
  IDirect3DIndexBuffer9* MakeIndices(const void* data, UINT bytes, D3DFORMAT format) {
    IDirect3DIndexBuffer9* buffer = nullptr;
    EXPECT_EQ(device_->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, format, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    return buffer ? Filled(buffer, data, bytes) : nullptr;
  }
};

TEST_F(IndexedDrawTest, TwoStreamsWithBaseVertexAndBothIndexSizes) {
  // Vertices 0..3 lie off screen; 4..7 cover the left half, 8..11 the right half.
  const Position positions[12] = {{-9, 9, 0.5f}, {-8, 9, 0.5f},  {-9, 8, 0.5f}, {-8, 8, 0.5f},
                                  {-1, 1, 0.5f}, {0, 1, 0.5f},   {-1, -1, 0.5f}, {0, -1, 0.5f},
                                  {0, 1, 0.5f},  {1, 1, 0.5f},   {0, -1, 0.5f},  {1, -1, 0.5f}};
  D3DCOLOR colors[12];
  for (UINT i = 0; i < 12; ++i) colors[i] = i < 8 ? 0xFF336699 : 0xFF996633;
  const uint16_t shortIndices[6] = {0, 1, 2, 2, 1, 3};
  const uint32_t longIndices[9] = {7, 7, 7, 8, 9, 10, 10, 9, 11};  // the draw starts at index 3
  IDirect3DVertexBuffer9* stream0 = MakeVertices(positions, sizeof(positions));
  IDirect3DVertexBuffer9* stream1 = MakeVertices(colors, sizeof(colors));
  IDirect3DIndexBuffer9* indices16 = MakeIndices(shortIndices, sizeof(shortIndices), D3DFMT_INDEX16);
  IDirect3DIndexBuffer9* indices32 = MakeIndices(longIndices, sizeof(longIndices), D3DFMT_INDEX32);
  IDirect3DVertexDeclaration9* declaration = nullptr;
  ASSERT_EQ(device_->CreateVertexDeclaration(kTwoStreams, &declaration), D3D_OK);
  ASSERT_TRUE(stream0 && stream1 && indices16 && indices32);

  ASSERT_EQ(device_->SetVertexDeclaration(Own(declaration)), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(0, stream0, 0, sizeof(Position)), D3D_OK);
  ASSERT_EQ(device_->SetStreamSource(1, stream1, 0, sizeof(D3DCOLOR)), D3D_OK);
  ASSERT_EQ(device_->SetIndices(indices16), D3D_OK);
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 0, 2), D3D_OK);
  ASSERT_EQ(device_->SetIndices(indices32), D3D_OK);
  ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 8, 4, 3, 2), D3D_OK);
  ReadBack();
  EXPECT_TRUE(ColorNear(Pixel(32, 64), 0xFF336699));  // D3DCOLOR bytes arrive as r, g, b, a
  EXPECT_TRUE(ColorNear(Pixel(96, 64), 0xFF996633));
}

}  // namespace
}  // namespace gltest
