// The bytes the baked images and the comparison's 8-bit column use. Both
// saturate, so a broken value (NaN, a normal longer than 1) still gives a
// texel instead of an undefined conversion or a wrapped byte.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/Saturate.h"

// The engines' encoding of one normal component in [-1, 1]: trunc(v * 127 + 128).
inline uint8_t NormalTexel(float v) {
  return static_cast<uint8_t>(std::clamp(SaturateToInt(v * 127.0f + 128.0f), 0, 255));
}

// The component a normal texel stands for.
inline double NormalFromTexel(uint8_t texel) { return (texel - 128) / 127.0; }

// A height in [0, 1] as 16-bit grey, rounded; NaN gives 0.
inline uint16_t HeightTexel(float height) {
  const float clamped = height > 0.0f ? std::min(height, 1.0f) : 0.0f;
  return static_cast<uint16_t>(clamped * 65535.0f + 0.5f);
}
