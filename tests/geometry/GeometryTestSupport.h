// Shared pieces of the geometry tests: a heightmap whose samples name their
// texel, a headless device inside a scene, and readers for bound buffers.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>
#include <type_traits>
#include <vector>

#include "../normalmap/FakeHeightmap.h"
#include "../platform/HeadlessDevice.h"
#include "geometry/WaterVertex.h"
#include "platform/Platform.h"

// Height at row r, column c is r * 10 + c, so a sample tells where it was read.
inline float Sample(int row, int column) { return static_cast<float>(row * 10 + column); }

struct NamedHeightmap : normalmap::testing::FakeHeightmap {
  explicit NamedHeightmap(int n) : FakeHeightmap(n) {
    for (int r = 0; r < n; ++r) for (int c = 0; c < n; ++c) At(r, c) = Sample(r, c);
  }
};

inline void ExpectVertex(const WaterVertex& v, float x, float y, float z, float u, float tv) {
  using ::testing::FloatEq;
  EXPECT_THAT(std::tuple(v.x, v.y, v.z, v.u, v.v),
              ::testing::FieldsAre(FloatEq(x), FloatEq(y), FloatEq(z), FloatEq(u), FloatEq(tv)));
}

// A camera at `eye` looking at `at`, 90 degrees wide.
inline D3DXMATRIX LookAt(const D3DXVECTOR3& eye, const D3DXVECTOR3& at, float nearPlane = 1.0f) {
  D3DXMATRIX view, projection, result;
  const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2.0f, 1.0f, nearPlane, 1000.0f);
  return *D3DXMatrixMultiply(&result, &view, &projection);
}

class GeometryTest : public platform::testing::HeadlessDevice {
 protected:
  void SetUp() override { Start(platform::HeadlessProfile::ShaderModel3()); }
  void Start(const platform::HeadlessProfile& profile) {
    HeadlessDevice::Start(profile);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    platform::Recorded().Clear();
  }
  // The whole contents of a vertex or index buffer.
  template <class T, class Buffer>
  static std::vector<T> Read(Buffer* buffer) {
    std::conditional_t<std::is_same_v<Buffer, IDirect3DIndexBuffer9>, D3DINDEXBUFFER_DESC, D3DVERTEXBUFFER_DESC> desc{};
    EXPECT_EQ(buffer->GetDesc(&desc), D3D_OK);
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const T* items = static_cast<const T*>(data);
    std::vector<T> copy(items, items + desc.Size / sizeof(T));
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    return copy;
  }
  std::vector<WORD> BoundIndices() {
    IDirect3DIndexBuffer9* indices = nullptr;
    EXPECT_EQ(device->GetIndices(&indices), D3D_OK);
    if (!indices) return {};
    std::vector<WORD> copy = Read<WORD>(indices);
    indices->Release();
    return copy;
  }
  // The buffer bound to `stream` by the last draw (null when none), without a reference.
  IDirect3DVertexBuffer9* BoundStream(UINT stream, UINT* stride = nullptr) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT offset = 0, boundStride = 0;
    EXPECT_EQ(device->GetStreamSource(stream, &buffer, &offset, &boundStride), D3D_OK);
    if (stride) *stride = boundStride;
    if (buffer) buffer->Release();
    return buffer;
  }
  // Elements (END included) of the declaration set by the last draw.
  UINT BoundDeclarationLength() {
    IDirect3DVertexDeclaration9* declaration = nullptr;
    EXPECT_EQ(device->GetVertexDeclaration(&declaration), D3D_OK);
    if (!declaration) return 0;
    D3DVERTEXELEMENT9 elements[MAXD3DDECLLENGTH];
    UINT count = MAXD3DDECLLENGTH;
    EXPECT_EQ(declaration->GetDeclaration(elements, &count), D3D_OK);
    declaration->Release();
    return count;
  }
  const std::vector<platform::DrawRecord>& Draws() { return platform::Recorded().draws; }
};
