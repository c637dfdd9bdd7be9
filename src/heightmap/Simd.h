// Four-lane float vectors for the heightmap's inner loops, written with the
// compiler's vector extensions so they map onto SSE2 (or wider units when the
// build allows) without intrinsics. Loads and stores go through memcpy: no
// alignment or aliasing assumptions.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

typedef float v4sf __attribute__((vector_size(16)));
typedef int32_t v4si __attribute__((vector_size(16)));
typedef double v4df __attribute__((vector_size(32)));
typedef int64_t v4di __attribute__((vector_size(32)));
typedef float v8sf __attribute__((vector_size(32)));

// Whether the processor runs 8-float vectors (code built for them with
// __attribute__((target("avx2")))). The base build assumes only SSE2.
inline bool HasWideVectors() {
  static const bool wide = __builtin_cpu_supports("avx2");
  return wide;
}

inline v4sf Load4(const float* p) {
  v4sf v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void Store4(float* p, v4sf v) { std::memcpy(p, &v, sizeof v); }

inline v4sf Splat4(float f) { return v4sf{f, f, f, f}; }

inline v4sf Abs4(v4sf v) { return reinterpret_cast<v4sf>(reinterpret_cast<v4si>(v) & 0x7FFFFFFF); }

// The larger of each pair; NaN in `a` is skipped.
inline v4sf Max4(v4sf a, v4sf b) { return a > b ? a : b; }

inline float HorizontalMax4(v4sf v) { return std::fmax(std::fmax(v[0], v[1]), std::fmax(v[2], v[3])); }

// Bitwise select: a where mask bits are set, else b.
inline v4sf Select4(v4si mask, v4sf a, v4sf b) {
  return reinterpret_cast<v4sf>((reinterpret_cast<v4si>(a) & mask) | (reinterpret_cast<v4si>(b) & ~mask));
}

inline v4si Select4i(v4si mask, v4si a, v4si b) { return (a & mask) | (b & ~mask); }

// Lanes 0..3 of a, b, c, d become a, b, c, d of lanes 0..3 (a 4x4 transpose).
inline void Transpose4(v4sf& a, v4sf& b, v4sf& c, v4sf& d) {
  const v4sf ab0 = __builtin_shufflevector(a, b, 0, 4, 1, 5), ab1 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
  const v4sf cd0 = __builtin_shufflevector(c, d, 0, 4, 1, 5), cd1 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
  a = __builtin_shufflevector(ab0, cd0, 0, 1, 4, 5);
  b = __builtin_shufflevector(ab0, cd0, 2, 3, 6, 7);
  c = __builtin_shufflevector(ab1, cd1, 0, 1, 4, 5);
  d = __builtin_shufflevector(ab1, cd1, 2, 3, 6, 7);
}

// Real and imaginary parts of four interleaved complex values.
inline void Deinterleave4(const float* p, v4sf* re, v4sf* im) {
  const v4sf lo = Load4(p), hi = Load4(p + 4);
  *re = __builtin_shufflevector(lo, hi, 0, 2, 4, 6);
  *im = __builtin_shufflevector(lo, hi, 1, 3, 5, 7);
}

// Same for the complex values at p and the three before it, nearest first.
inline void DeinterleaveReversed4(const float* p, v4sf* re, v4sf* im) {
  const v4sf lo = Load4(p - 6), hi = Load4(p - 2);
  *re = __builtin_shufflevector(hi, lo, 2, 0, 6, 4);
  *im = __builtin_shufflevector(hi, lo, 3, 1, 7, 5);
}

inline v4sf Reverse4(v4sf v) { return __builtin_shufflevector(v, v, 3, 2, 1, 0); }

// Vectors of any width (v4sf, or v8sf inside target("avx2") code) go through
// these by reference only, so the wide instantiations change no calling convention.
template <typename V>
inline void LoadV(V& v, const float* p) {
  std::memcpy(&v, p, sizeof v);
}

template <typename V>
inline void StoreV(float* p, const V& v) {
  std::memcpy(p, &v, sizeof v);
}

// A 4x4 transpose inside every group of four lanes (the 128-bit halves of a v8sf).
inline void TransposeQuads(v4sf& a, v4sf& b, v4sf& c, v4sf& d) { Transpose4(a, b, c, d); }

inline void TransposeQuads(v8sf& a, v8sf& b, v8sf& c, v8sf& d) {
  const v8sf ab0 = __builtin_shufflevector(a, b, 0, 8, 1, 9, 4, 12, 5, 13);
  const v8sf ab1 = __builtin_shufflevector(a, b, 2, 10, 3, 11, 6, 14, 7, 15);
  const v8sf cd0 = __builtin_shufflevector(c, d, 0, 8, 1, 9, 4, 12, 5, 13);
  const v8sf cd1 = __builtin_shufflevector(c, d, 2, 10, 3, 11, 6, 14, 7, 15);
  a = __builtin_shufflevector(ab0, cd0, 0, 1, 8, 9, 4, 5, 12, 13);
  b = __builtin_shufflevector(ab0, cd0, 2, 3, 10, 11, 6, 7, 14, 15);
  c = __builtin_shufflevector(ab1, cd1, 0, 1, 8, 9, 4, 5, 12, 13);
  d = __builtin_shufflevector(ab1, cd1, 2, 3, 10, 11, 6, 7, 14, 15);
}

// Largest argument magnitude SinCos4 reduces exactly.
constexpr float kSinCosLimit = 536870912.0f;  // 2^29

// Sine and cosine of four floats, each within a couple of float ulps of the
// exact values of the float arguments. The argument is reduced in double with
// pi/2 split into its leading 24 bits (so k times them is exact while
// |x| < kSinCosLimit) and a double remainder; the caller guarantees the limit
// (SinCos4Library serves the rest).
inline void SinCos4(v4sf x, v4sf* sine, v4sf* cosine) {
  constexpr double kTwoOverPi = 0.63661977236758134308;
  constexpr double kPio2Part1 = 1.57079637050628662109375;  // 24 bits of pi/2
  constexpr double kPio2Part2 = -4.3711390001862426e-08;    // the rest
  constexpr double kRoundMagic = 6755399441055744.0;        // 1.5 * 2^52: rounds to an integer

  const v4df xd = __builtin_convertvector(x, v4df);
  const v4df shifted = xd * kTwoOverPi + kRoundMagic;
  const v4df k = shifted - kRoundMagic;
  const v4sf reduced = __builtin_convertvector((xd - k * kPio2Part1) - k * kPio2Part2, v4sf);
  const v4si quadrant = __builtin_convertvector(reinterpret_cast<v4di>(shifted), v4si);

  // Minimax polynomials on [-pi/4, pi/4].
  const v4sf z = reduced * reduced;
  const v4sf s = reduced + reduced * z * ((-1.9515295891e-4f * z + 8.3321608736e-3f) * z - 1.6666654611e-1f);
  const v4sf c =
      1.0f - 0.5f * z + z * z * ((2.443315711809948e-5f * z - 1.388731625493765e-3f) * z + 4.166664568298827e-2f);

  const v4si swap = -(quadrant & 1);
  const v4si sineSign = (quadrant & 2) << 30;
  const v4si cosineSign = ((quadrant + 1) & 2) << 30;
  *sine = reinterpret_cast<v4sf>(reinterpret_cast<v4si>(Select4(swap, c, s)) ^ sineSign);
  *cosine = reinterpret_cast<v4sf>(reinterpret_cast<v4si>(Select4(swap, s, c)) ^ cosineSign);
}

inline void SinCos4Library(v4sf x, v4sf* sine, v4sf* cosine) {
  for (int i = 0; i < 4; ++i) {
    (*sine)[i] = std::sin(x[i]);
    (*cosine)[i] = std::cos(x[i]);
  }
}
