// Shared pieces of the geometry tests: a heightmap whose samples name their
// texel, a headless device, and readers for locked buffers.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "config/TypeIds.h"
#include "geometry/WaterVertex.h"
#include "heightmap/iHeightmap.h"
#include "../platform/HeadlessDevice.h"
#include "platform/Platform.h"

// Height at row r, column c is r * 10 + c, so a sample tells where it was read.
class FakeHeightmap : public iHeightmap {
 public:
  explicit FakeHeightmap(int n) : n_(n), heights_(static_cast<size_t>(n) * n) {
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c) heights_[r * n + c] = static_cast<float>(r * 10 + c);
  }
  static float Sample(int row, int column) { return static_cast<float>(row * 10 + column); }
  void DropHeights() { heights_.clear(); }

  bool OnLostDevice() override { return true; }
  bool OnResetDevice() override { return true; }
  bool OnDeviceEvent() override { return true; }
  IDirect3DTexture9* GetTexture() const override { return nullptr; }
  const float* GetHeights() const override { return heights_.empty() ? nullptr : heights_.data(); }
  int GetResolution() const override { return n_; }
  bool WriteTexture(IDirect3DDevice9*) override { return false; }
  bool Update(float) override { return true; }
  int GetTypeId() const override { return HEIGHTMAP_PERLIN; }
  bool UseIntegerFormat(IDirect3D9*, IDirect3DDevice9*) override { return false; }
  bool UseFloatFormat(IDirect3D9*, IDirect3DDevice9*) override { return false; }
  D3DFORMAT GetTextureFormat() const override { return D3DFMT_A8R8G8B8; }
  cEngineSettings* FillSettings(cEngineSettings* settings) override { return settings; }

 private:
  int n_;
  std::vector<float> heights_;
};

// A headless device inside a scene for each test, with nothing recorded yet.
class GeometryTest : public platform::testing::HeadlessDevice {
 protected:
  void SetUp() override { Start(platform::HeadlessProfile::ShaderModel3()); }

  void Start(const platform::HeadlessProfile& profile) {
    HeadlessDevice::Start(profile);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    platform::Recorded().Clear();
  }

  template <class T>
  static std::vector<T> Read(IDirect3DVertexBuffer9* buffer) {
    D3DVERTEXBUFFER_DESC desc{};
    EXPECT_EQ(buffer->GetDesc(&desc), D3D_OK);
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const T* items = static_cast<const T*>(data);
    std::vector<T> copy(items, items + desc.Size / sizeof(T));
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    return copy;
  }

  static std::vector<WORD> ReadIndices(IDirect3DIndexBuffer9* buffer) {
    D3DINDEXBUFFER_DESC desc{};
    EXPECT_EQ(buffer->GetDesc(&desc), D3D_OK);
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const WORD* items = static_cast<const WORD*>(data);
    std::vector<WORD> copy(items, items + desc.Size / sizeof(WORD));
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    return copy;
  }

  // The indices bound by the last draw.
  std::vector<WORD> BoundIndices() {
    IDirect3DIndexBuffer9* indices = nullptr;
    EXPECT_EQ(device->GetIndices(&indices), D3D_OK);
    if (!indices) return {};
    std::vector<WORD> copy = ReadIndices(indices);
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
