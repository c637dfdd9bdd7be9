// Unscaled inverse FFTs (exponent +i) of two rows of length N side by side,
// along contiguous memory; shared by cFFT and cComplexFFT. A row is split as
// 4 x N/4: the line transform of length N/4 runs over the four interleaved
// sub-sequences, its lanes over four consecutive elements (plain vector
// loads), then FinishRows twiddles, transposes 4 x 4 in registers and does a
// radix-4 step across vectors, which leaves each row in natural order.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstring>
#include <numbers>

#include "heightmap/Simd.h"
#include "heightmap/cAlignedArray.h"
#include "heightmap/cLineFFT.h"

class cRowPairFFT {
 public:
  // Lanes of the line transform: two rows of four.
  static constexpr size_t kLanes = 8;

  // N must be a power of two, at least 16.
  bool Create(int n);
  // Elements 4q .. 4q+3 of row `side` (0 or 1) go to the scratch rows at
  // QuadPositions()[q] * kLanes + 4 * side.
  const int* QuadPositions() const { return lines_.InputPositions(); }
  // The line transforms, in place over scratch rows of 2N floats.
  void Transform(float* re, float* im) const { lines_.Run<kLanes / 4>(re, im, kLanes); }
  // Cosines then sines of 2 pi a b / N, at 8b + a and 8b + 4 + a (a < 4, b < N/4).
  const float* Twiddles() const { return twiddles_.Data(); }

 private:
  cLineFFT lines_;  // length N/4
  cAlignedArray<float> twiddles_;
};

inline bool cRowPairFFT::Create(int n) {
  const size_t quarter = n / 4;
  if (n < 16 || !lines_.Create(n / 4) || !twiddles_.Allocate(2 * quarter * kLanes)) return false;
  const double step = 2.0 * std::numbers::pi / n;
  for (size_t k = 0; k < quarter * kLanes; ++k) {
    const size_t b = k / kLanes, a = k % 4;
    twiddles_[k] = static_cast<float>(std::cos(step * (a * b)));
    twiddles_[quarter * kLanes + k] = static_cast<float>(std::sin(step * (a * b)));
  }
  return true;
}

// A transformed pair and where its rows go.
struct RowPairFinish {
  // A(a, b) = sum over j of Y(a + 4j) w_M^(bj), M = N/4, at 8b + a (second
  // row: 8b + 4 + a), as Transform leaves it.
  const float* re;
  const float* im;
  const float* twiddles;  // cRowPairFFT::Twiddles
  size_t n;
  float* rowsRe;  // the two rows in natural order, N apart
  float* rowsIm;
};

// Stores the groups of four lanes of v to p, p + rowStride, ...
template <typename V>
inline void StoreQuads(float* p, size_t rowStride, const V& v) {
  for (size_t q = 0; q < sizeof(V) / 16; ++q) {
    std::memcpy(p + q * rowStride, reinterpret_cast<const char*>(&v) + 16 * q, 16);
  }
}

// Z(b + Mc) = sum over a of w_N^(ab) A(a, b) i^(ac): four consecutive b at a
// time, twiddled, transposed so that lanes run over b, radix 4 across vectors.
// For 8-float vectors, call it from target("avx2") code that inlines it.
template <typename V>
void FinishRows(const RowPairFinish& job) {
  constexpr size_t kVectorLanes = sizeof(V) / sizeof(float);
  constexpr size_t kLanes = cRowPairFFT::kLanes;
  const size_t n = job.n, m = n / 4;
  const float* re = job.re;
  const float* im = job.im;
  float* const zRe = job.rowsRe;
  float* const zIm = job.rowsIm;
  const float* twiddleCos = job.twiddles;
  const float* twiddleSin = job.twiddles + m * kLanes;
  for (size_t lane = 0; lane < kLanes; lane += kVectorLanes) {
    for (size_t b = 0; b < m; b += 4) {
      V xr[4], xi[4];
      for (size_t j = 0; j < 4; ++j) {
        const size_t p = (b + j) * kLanes + lane;
        V r, i, c, s;
        LoadV(r, re + p);
        LoadV(i, im + p);
        LoadV(c, twiddleCos + p);
        LoadV(s, twiddleSin + p);
        xr[j] = r * c - i * s;
        xi[j] = r * s + i * c;
      }
      TransposeQuads(xr[0], xr[1], xr[2], xr[3]);
      TransposeQuads(xi[0], xi[1], xi[2], xi[3]);
      const V s0r = xr[0] + xr[2], s0i = xi[0] + xi[2], s1r = xr[0] - xr[2], s1i = xi[0] - xi[2];
      const V s2r = xr[1] + xr[3], s2i = xi[1] + xi[3], s3r = xr[1] - xr[3], s3i = xi[1] - xi[3];
      const size_t at = lane / 4 * n + b;
      StoreQuads(zRe + at, n, s0r + s2r);
      StoreQuads(zIm + at, n, s0i + s2i);
      StoreQuads(zRe + at + m, n, s1r - s3i);
      StoreQuads(zIm + at + m, n, s1i + s3r);
      StoreQuads(zRe + at + 2 * m, n, s0r - s2r);
      StoreQuads(zIm + at + 2 * m, n, s0i - s2i);
      StoreQuads(zRe + at + 3 * m, n, s1r + s3i);
      StoreQuads(zIm + at + 3 * m, n, s1i - s3r);
    }
  }
}
