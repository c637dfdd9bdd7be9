// Four normals at a time: the inner loops of the CPU normal maps work on
// blocks of four columns with four-lane vectors, normals stored as D3DXVECTOR3.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "heightmap/Simd.h"
#include "heightmap/cAlignedArray.h"
#include "platform/d3dx9.h"

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

static_assert(sizeof(D3DXVECTOR3) == 3 * sizeof(float), "normals are packed float triples");

// Normal arrays carry this many zero normals past their N*N, so a block of four
// that starts in the last row never reads past the memory.
constexpr size_t kNormalSlack = 3;

inline bool AllocateNormals(cAlignedArray<D3DXVECTOR3>& normals, int size) {
  return normals.Allocate(static_cast<size_t>(size) * size + kNormalSlack);
}

inline v4sf Sqrt4(v4sf v) {
#if defined(__SSE__)
  return _mm_sqrt_ps(v);
#else
  return v4sf{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}

// Stores the four lanes of x, y and z as four consecutive normals.
inline void StoreNormals4(v4sf x, v4sf y, v4sf z, D3DXVECTOR3* out) {
  const v4sf xy01 = __builtin_shufflevector(x, y, 0, 4, 1, 5);         // x0 y0 x1 y1
  const v4sf xy23 = __builtin_shufflevector(x, y, 2, 6, 3, 7);         // x2 y2 x3 y3
  const v4sf zxy = __builtin_shufflevector(z, xy23, 1, 4, 5, 0);       // z1 x2 y2 -
  float* p = &out->x;
  Store4(p, __builtin_shufflevector(xy01, z, 0, 1, 4, 2));             // x0 y0 z0 x1
  Store4(p + 4, __builtin_shufflevector(xy01, zxy, 3, 4, 5, 6));       // y1 z1 x2 y2
  Store4(p + 8, __builtin_shufflevector(xy23, z, 6, 2, 3, 7));         // z2 x3 y3 z3
}

// Stores normalise((x, y, 1)) of the four lanes as four consecutive normals.
inline void StoreUnitNormals4(v4sf x, v4sf y, D3DXVECTOR3* out) {
  const v4sf z = 1.0f / Sqrt4(x * x + y * y + 1.0f);
  StoreNormals4(x * z, y * z, z, out);
}

// The components of four consecutive normals, one vector each.
inline void LoadNormals4(const D3DXVECTOR3* in, v4sf* x, v4sf* y, v4sf* z) {
  const float* p = &in->x;
  const v4sf a = Load4(p), b = Load4(p + 4), c = Load4(p + 8);  // x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3
  *x = __builtin_shufflevector(__builtin_shufflevector(a, b, 0, 3, 6, 6), c, 0, 1, 2, 5);
  *y = __builtin_shufflevector(__builtin_shufflevector(a, b, 1, 4, 7, 7), c, 0, 1, 2, 6);
  *z = __builtin_shufflevector(__builtin_shufflevector(a, b, 2, 5, 5, 5), c, 0, 1, 4, 7);
}

// Calls block(first, out) for first = 0, 4, 8, ... below count; each call
// writes four results for items first..first+3 at out. A short last block
// writes into scratch and only the items that exist are kept, so the inputs
// must be readable up to the next multiple of four.
template <typename T, typename Block>
void ForEachBlock4(T* results, size_t count, Block block) {
  size_t first = 0;
  for (; first + 4 <= count; first += 4) block(first, results + first);
  if (first == count) return;
  T scratch[4];
  block(first, scratch);
  std::copy(scratch, scratch + (count - first), results + first);
}
