#include "heightmap/cLineFFT.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "heightmap/Simd.h"

namespace {

// The butterflies are written once for any vector width V (see LoadV).
template <typename V>
struct Twiddle {
  V c, s;
  explicit Twiddle(const float* w) {
    c = V{} + w[0];
    s = V{} + w[1];
  }
};

// (re, im) times the twiddle.
template <typename V>
inline void Rotate(V& re, V& im, const Twiddle<V>& w) {
  const V r = re * w.c - im * w.s;
  im = re * w.s + im * w.c;
  re = r;
}

template <typename V, int kVectors>
void Butterfly2(float* re, float* im, size_t step) {
  constexpr int kLanes = sizeof(V) / sizeof(float);
  for (int v = 0; v < kVectors; ++v) {
    float* r = re + kLanes * v;
    float* i = im + kLanes * v;
    V ar, ai, br, bi;
    LoadV(ar, r);
    LoadV(ai, i);
    LoadV(br, r + step);
    LoadV(bi, i + step);
    StoreV(r, ar + br);
    StoreV(i, ai + bi);
    StoreV(r + step, ar - br);
    StoreV(i + step, ai - bi);
  }
}

// Two radix-2 stages fused: elements j, j+h, j+2h, j+3h of a group of 4h, the
// first pair stage with twiddle W^2j, the second with W^j (W = e^(2 pi i / 4h)).
template <typename V, int kVectors, bool kTwiddled>
void Butterfly4(float* re, float* im, size_t step, const float* w) {
  constexpr int kLanes = sizeof(V) / sizeof(float);
  for (int v = 0; v < kVectors; ++v) {
    float* r = re + kLanes * v;
    float* i = im + kLanes * v;
    V a0r, a0i, a1r, a1i, a2r, a2i, a3r, a3i;
    LoadV(a0r, r);
    LoadV(a0i, i);
    LoadV(a1r, r + step);
    LoadV(a1i, i + step);
    LoadV(a2r, r + 2 * step);
    LoadV(a2i, i + 2 * step);
    LoadV(a3r, r + 3 * step);
    LoadV(a3i, i + 3 * step);
    if constexpr (kTwiddled) {
      Rotate(a1r, a1i, Twiddle<V>(w + 2));
      Rotate(a2r, a2i, Twiddle<V>(w));
      Rotate(a3r, a3i, Twiddle<V>(w + 4));
    }
    const V s0r = a0r + a1r, s0i = a0i + a1i, s1r = a0r - a1r, s1i = a0i - a1i;
    const V s2r = a2r + a3r, s2i = a2i + a3i, s3r = a2r - a3r, s3i = a2i - a3i;
    StoreV(r, s0r + s2r);
    StoreV(i, s0i + s2i);
    StoreV(r + 2 * step, s0r - s2r);
    StoreV(i + 2 * step, s0i - s2i);
    // s1 + i*s3 and s1 - i*s3.
    StoreV(r + step, s1r - s3i);
    StoreV(i + step, s1i + s3r);
    StoreV(r + 3 * step, s1r + s3i);
    StoreV(i + 3 * step, s1i - s3r);
  }
}

// Every stage over kVectors vectors of width V.
template <typename V, int kVectors>
void RunStages(size_t n, bool radix2First, const float* w, float* re, float* im, size_t stride) {
  size_t h = 1;
  if (radix2First) {
    for (size_t k = 0; k < n; k += 2) Butterfly2<V, kVectors>(re + k * stride, im + k * stride, stride);
    h = 2;
  }
  for (; h < n; w += 6 * h, h *= 4) {
    const size_t step = h * stride;
    for (size_t group = 0; group < n; group += 4 * h) {
      float* r = re + group * stride;
      float* i = im + group * stride;
      if (h == 1) {
        Butterfly4<V, kVectors, false>(r, i, step, w);
        continue;
      }
      for (size_t j = 0; j < h; ++j) Butterfly4<V, kVectors, true>(r + j * stride, i + j * stride, step, w + 6 * j);
    }
  }
}

// The same stages on 8-float vectors where the processor has them. Everything
// is inlined into these, so all of it is compiled for that unit; the
// arithmetic is the same (no fused multiply-adds), so are the results.
template <int kLanes>
__attribute__((target("avx2"), flatten)) void RunStagesWide(size_t n, bool radix2First, const float* w, float* re,
                                                             float* im, size_t stride) {
  RunStages<v8sf, kLanes / 8>(n, radix2First, w, re, im, stride);
}

}  // namespace

bool cLineFFT::Create(int length) {
  if (length < 1 || (length & (length - 1)) != 0) return false;
  if (!bitReversal_.Allocate(length) || !twiddles_.Allocate(6 * static_cast<size_t>(length))) return false;
  length_ = length;

  // The classic bit-reversed counter.
  for (int i = 0, j = 0; i < length; ++i) {
    bitReversal_[i] = j;
    int k = length / 2;
    while (k >= 1 && k <= j) {
      j -= k;
      k /= 2;
    }
    j += k;
  }

  int log2 = 0;
  while ((1 << log2) < length) ++log2;
  radix2First_ = (log2 % 2) != 0;
  float* w = twiddles_.Data();
  for (int h = radix2First_ ? 2 : 1; h < length; h *= 4) {
    const double step = 2.0 * std::numbers::pi / (4.0 * h);
    for (int j = 0; j < h; ++j) {
      for (int m = 1; m <= 3; ++m) {
        *w++ = static_cast<float>(std::cos(m * j * step));
        *w++ = static_cast<float>(std::sin(m * j * step));
      }
    }
  }
  return true;
}

template <int kVectors>
void cLineFFT::Run(float* re, float* im, size_t stride) const {
  constexpr int kLanes = 4 * kVectors;
  if (HasWideVectors()) {
    RunStagesWide<kLanes>(length_, radix2First_, twiddles_.Data(), re, im, stride);
  } else {
    RunStages<v4sf, kVectors>(length_, radix2First_, twiddles_.Data(), re, im, stride);
  }
}

template void cLineFFT::Run<2>(float*, float*, size_t) const;
template void cLineFFT::Run<4>(float*, float*, size_t) const;
