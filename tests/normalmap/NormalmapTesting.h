// What the normal map tests share: the texel encoding written out plainly, the
// texture read back through a lock, and a normal rebuilt from its slopes.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/d3dx9.h"

namespace normalmap::testing {

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
