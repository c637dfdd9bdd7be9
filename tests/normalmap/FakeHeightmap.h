// What the normal map tests share: a heightmap whose heights a test sets directly, the texel encoding written out
// plainly, the texture read back through a lock, and a normal rebuilt from its slopes.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "heightmap/iHeightmap.h"
#include "platform/d3dx9.h"

namespace normalmap::testing {

class FakeHeightmap : public iHeightmap {
 public:
  explicit FakeHeightmap(int size) { Resize(size); }
  void Resize(int size) {
    size_ = size;
    heights.assign(size > 0 ? static_cast<size_t>(size) * size : 0, 0.0f);
  }
  float& At(int row, int column) { return heights[static_cast<size_t>(row) * size_ + column]; }
  void Randomize(unsigned seed, float low, float high) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> height(low, high);
    for (float& h : heights) h = height(generator);
  }
  bool OnLostDevice() override { return true; }
  bool OnResetDevice() override { return true; }
  bool OnDeviceEvent() override { return true; }
  IDirect3DTexture9* GetTexture() const override { return nullptr; }
  const float* GetHeights() const override { return heights.empty() ? nullptr : heights.data(); }
  int GetResolution() const override { return size_; }
  bool WriteTexture(IDirect3DDevice9*) override { return false; }
  bool Update(float) override { return true; }
  int GetTypeId() const override { return 100; }  // claims to be the FFT generator
  bool UseIntegerFormat(IDirect3D9*, IDirect3DDevice9*) override { return false; }
  bool UseFloatFormat(IDirect3D9*, IDirect3DDevice9*) override { return false; }
  D3DFORMAT GetTextureFormat() const override { return D3DFMT_A8R8G8B8; }
  cEngineSettings* FillSettings(cEngineSettings* settings) override { return settings; }
  std::vector<float> heights;

 private:
  int size_ = -1;
};

using Texel = std::array<uint8_t, 4>;
constexpr Texel kFlat = {255, 128, 128, 255};  // (0, 0, 1)

// B, G, R, A of a unit normal.
inline Texel Encode(const D3DXVECTOR3& n) {
  auto e = [](float v) { return static_cast<uint8_t>(static_cast<int>(v * 127.0f + 128.0f)); };
  return {e(n.z), e(n.y), e(n.x), 255};
}

// Level 0 of an A8R8G8B8 texture, size*size texels in row order.
inline std::vector<Texel> ReadTexels(IDirect3DTexture9* texture, int size) {
  std::vector<Texel> texels;
  D3DLOCKED_RECT locked;
  if (!texture || FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return texels;
  texels.resize(static_cast<size_t>(size) * size);
  for (int i = 0; i < size; ++i) {
    std::memcpy(&texels[static_cast<size_t>(i) * size], static_cast<const uint8_t*>(locked.pBits) + i * locked.Pitch,
                4 * static_cast<size_t>(size));
  }
  texture->UnlockRect(0);
  return texels;
}

// The unit normal of a surface rising by (sx, sz) per step along the columns and the rows.
inline D3DXVECTOR3 NormalOfSlopes(double sx, double sz) {
  const double length = std::sqrt(sx * sx + sz * sz + 1.0);
  return D3DXVECTOR3(static_cast<float>(-sx / length), static_cast<float>(-sz / length),
                     static_cast<float>(1.0 / length));
}

inline void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace normalmap::testing
