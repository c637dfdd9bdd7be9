// Nearest-texel lookups into the N*N heightmap and normal map arrays, and the
// height falloff, shared by the geometries and the per-vertex engine work.
#pragma once

#include <cmath>

// trunc(position) wrapped into [0, n). Positions too large for an int (or NaN)
// read texel 0 rather than overflow.
inline int WrapTexel(float position, int n) {
  if (!(std::fabs(position) < 2147483648.0f)) return 0;
  const int texel = static_cast<int>(position) % n;
  return texel < 0 ? texel + n : texel;
}

// The same for a power-of-two n: the wrap is a mask, with no division.
inline int WrapTexelPow2(float position, int n) {
  return std::fabs(position) < 2147483648.0f ? static_cast<int>(position) & (n - 1) : 0;
}

// Row-major index of the texel under texture coordinate (u, v).
inline int TexelIndex(float u, float v, int n) {
  return WrapTexel(n * v, n) * n + WrapTexel(n * u, n);
}

// Share of the wave height lost at horizontal offset (dx, dz) from the falloff
// centre: 0 there, 1 at and beyond the falloff distance. A zero distance flattens everything.
inline float HeightFalloff(float dx, float dz, float falloffSquared) {
  if (!(falloffSquared > 0.0f)) return 1.0f;
  const float f = (dx * dx + dz * dz) / falloffSquared;
  return f < 1.0f ? f : 1.0f;
}
