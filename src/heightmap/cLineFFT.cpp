#include "heightmap/cLineFFT.h"

#include <cmath>
#include <numbers>

#include "heightmap/Simd.h"

namespace {

struct Twiddle {
  v4sf c, s;
};

Twiddle SplatTwiddle(const float* w) { return {Splat4(w[0]), Splat4(w[1])}; }

// (re, im) times the twiddle.
inline void Rotate(v4sf& re, v4sf& im, const Twiddle& w) {
  const v4sf r = re * w.c - im * w.s;
  im = re * w.s + im * w.c;
  re = r;
}

template <int kVectors>
void Butterfly2(float* re, float* im, size_t step) {
  for (int v = 0; v < kVectors; ++v) {
    float* r = re + 4 * v;
    float* i = im + 4 * v;
    const v4sf ar = Load4(r), ai = Load4(i), br = Load4(r + step), bi = Load4(i + step);
    Store4(r, ar + br);
    Store4(i, ai + bi);
    Store4(r + step, ar - br);
    Store4(i + step, ai - bi);
  }
}

// Two radix-2 stages fused: elements j, j+h, j+2h, j+3h of a group of 4h, the
// first pair stage with twiddle W^2j, the second with W^j (W = e^(2 pi i / 4h)).
template <int kVectors, bool kTwiddled>
void Butterfly4(float* re, float* im, size_t step, const float* w) {
  Twiddle w1{}, w2{}, w3{};
  if constexpr (kTwiddled) {
    w1 = SplatTwiddle(w);
    w2 = SplatTwiddle(w + 2);
    w3 = SplatTwiddle(w + 4);
  }
  for (int v = 0; v < kVectors; ++v) {
    float* r = re + 4 * v;
    float* i = im + 4 * v;
    v4sf a0r = Load4(r), a0i = Load4(i);
    v4sf a1r = Load4(r + step), a1i = Load4(i + step);
    v4sf a2r = Load4(r + 2 * step), a2i = Load4(i + 2 * step);
    v4sf a3r = Load4(r + 3 * step), a3i = Load4(i + 3 * step);
    if constexpr (kTwiddled) {
      Rotate(a1r, a1i, w2);
      Rotate(a2r, a2i, w1);
      Rotate(a3r, a3i, w3);
    }
    const v4sf s0r = a0r + a1r, s0i = a0i + a1i, s1r = a0r - a1r, s1i = a0i - a1i;
    const v4sf s2r = a2r + a3r, s2i = a2i + a3i, s3r = a2r - a3r, s3i = a2i - a3i;
    Store4(r, s0r + s2r);
    Store4(i, s0i + s2i);
    Store4(r + 2 * step, s0r - s2r);
    Store4(i + 2 * step, s0i - s2i);
    // s1 + i*s3 and s1 - i*s3.
    Store4(r + step, s1r - s3i);
    Store4(i + step, s1i + s3r);
    Store4(r + 3 * step, s1r + s3i);
    Store4(i + 3 * step, s1i - s3r);
  }
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
  const size_t n = length_;
  size_t h = 1;
  if (radix2First_) {
    for (size_t k = 0; k < n; k += 2) Butterfly2<kVectors>(re + k * stride, im + k * stride, stride);
    h = 2;
  }
  const float* w = twiddles_.Data();
  for (; h < n; w += 6 * h, h *= 4) {
    const size_t step = h * stride;
    for (size_t group = 0; group < n; group += 4 * h) {
      float* r = re + group * stride;
      float* i = im + group * stride;
      if (h == 1) {
        Butterfly4<kVectors, false>(r, i, step, w);
        continue;
      }
      for (size_t j = 0; j < h; ++j) Butterfly4<kVectors, true>(r + j * stride, i + j * stride, step, w + 6 * j);
    }
  }
}

template void cLineFFT::Run<2>(float*, float*, size_t) const;
template void cLineFFT::Run<4>(float*, float*, size_t) const;
