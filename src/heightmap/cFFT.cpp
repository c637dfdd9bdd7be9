#include "heightmap/cFFT.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "base/cThreadPool.h"
#include "heightmap/Simd.h"

namespace {

constexpr size_t kStripLanes = 16;       // columns per strip of the column pass (4 vectors)
constexpr size_t kRowLanes = cRowPairFFT::kLanes;
constexpr size_t kMinFastSize = 16;      // smaller grids are summed directly
constexpr size_t kMinParallelSize = 64;  // smaller grids are not worth waking the pool for
// Floats between the column input's two planes beyond the first: half a page,
// so that an element and its twin in the other plane do not share the low
// address bits the processor first compares loads against stores with.
constexpr size_t kPlaneGap = 512;

// Calls f on every group of four floats; a short tail is padded with zeros and
// only its real elements are written back.
template <typename F>
void ForEach4(float* data, size_t count, F f) {
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    v4sf v = Load4(data + i);
    f(v);
    Store4(data + i, v);
  }
  if (i == count) return;
  float tail[4] = {};
  std::copy(data + i, data + count, tail);
  v4sf v = Load4(tail);
  f(v);
  Store4(tail, v);
  std::copy(tail, tail + (count - i), data + i);
}

float LargestMagnitude(float* data, size_t count) {
  v4sf largest = Splat4(0.0f);
  ForEach4(data, count, [&](v4sf& v) { largest = Max4(Abs4(v), largest); });
  return HorizontalMax4(largest);
}

// Calls f(quad, re, im) with elements 4 quad .. 4 quad + 3 of row k1 of
// Y(k) = -(X'(k) + conj(X'(-k))) / 2, X'(k) = X(k + N/2) (indices mod N):
// the shift is the sign pass, and the real part of the transform of X' is the
// transform of its Hermitian part.
// The rows that row `next` will read are prefetched meanwhile: every input row
// is a stream of its own, too short for the hardware to pick up.
template <typename F>
void ForEachHermitianQuad(const std::complex<float>* input, size_t n, size_t k1, size_t next, F f) {
  const size_t half = n / 2, mask = n - 1;
  const float* a = reinterpret_cast<const float*>(input + ((k1 + half) & mask) * n);
  const float* b = reinterpret_cast<const float*>(input + ((half - k1) & mask) * n);
  const float* nextA = reinterpret_cast<const float*>(input + ((next + half) & mask) * n);
  const float* nextB = reinterpret_cast<const float*>(input + ((half - next) & mask) * n);
  const v4sf minusHalf = Splat4(-0.5f);
  for (size_t k2 = 0; k2 < n; k2 += 4) {
    if (k2 % 8 == 0) {
      __builtin_prefetch(nextA + 2 * k2);
      __builtin_prefetch(nextB + 2 * k2);
    }
    v4sf pr, pi, qr, qi;
    Deinterleave4(a + 2 * ((k2 + half) & mask), &pr, &pi);
    const size_t mirror = (half - k2) & mask;
    if (mirror != 0) {
      DeinterleaveReversed4(b + 2 * mirror, &qr, &qi);
    } else {
      // Elements 0, N-1, N-2, N-3 wrap around the row.
      const float* end = b + 2 * n;
      const float wrapped[8] = {b[0], b[1], end[-2], end[-1], end[-4], end[-3], end[-6], end[-5]};
      Deinterleave4(wrapped, &qr, &qi);
    }
    f(k2 / 4, minusHalf * (pr + qr), minusHalf * (pi - qi));
  }
}

// The rows' line transforms done; the pair folds into the column input.
struct RowPairJob : RowPairFinish {
  // Rows k and N/2 - k fold into C(k) and C(N/2 - k); k == 0 means the rows
  // are the packed Z(0) + i Z(N/2), and Z(N/4).
  size_t k;
  float foldCos, foldSin;
  float* foldRe[2];
  float* foldIm[2];
};

// Column by column, with A = Z(k) and B = Z(N/2 - k):
// C(k) = A + conj(B) + i w^k (A - conj(B)), and C(N/2 - k) likewise with
// w^(N/2-k) = -conj(w^k). The column transform of C gives x(2m) + i x(2m+1).
// Z(0) and Z(N/2) are real, C(0) = Z(0) + Z(N/2) + i (Z(0) - Z(N/2)); and
// C(N/4) = 2 conj(Z(N/4)).
template <typename V>
void FoldRows(const RowPairJob& job) {
  constexpr size_t kLanes = sizeof(V) / sizeof(float);
  const size_t n = job.n;
  const float* zRe = job.rowsRe;
  const float* zIm = job.rowsIm;
  float* const cRe0 = job.foldRe[0];
  float* const cIm0 = job.foldIm[0];
  float* const cRe1 = job.foldRe[1];
  float* const cIm1 = job.foldIm[1];
  const bool first = job.k == 0;
  const V wc = V{} + job.foldCos, ws = V{} + job.foldSin;
  for (size_t c = 0; c < n; c += kLanes) {
    V ar, ai, br, bi;
    LoadV(ar, zRe + c);
    LoadV(ai, zIm + c);
    LoadV(br, zRe + n + c);
    LoadV(bi, zIm + n + c);
    if (first) {
      StoreV(cRe0 + c, ar + ai);
      StoreV(cIm0 + c, ar - ai);
      StoreV(cRe1 + c, br + br);
      StoreV(cIm1 + c, -(bi + bi));
      continue;
    }
    const V sr = ar + br, si = ai - bi, dr = ar - br, di = ai + bi;
    const V p = wc * di + ws * dr, q = wc * dr - ws * di;
    StoreV(cRe0 + c, sr - p);
    StoreV(cIm0 + c, si + q);
    StoreV(cRe1 + c, sr + p);
    StoreV(cIm1 + c, q - si);
  }
}

template <typename V>
void FinishRowPair(const RowPairJob& job) {
  FinishRows<V>(job);
  FoldRows<V>(job);
}

// The same on 8-float vectors where the processor has them: same arithmetic
// (no fused multiply-adds), same results.
__attribute__((target("avx2"), flatten)) void FinishRowPairWide(const RowPairJob& job) { FinishRowPair<v8sf>(job); }

}  // namespace

bool cFFT::Create(int size) {
  if (size < 1 || size > kMaxSize || (size & (size - 1)) != 0) return false;
  cFFT next;
  const size_t n = size;
  if (!next.output_.Allocate(n * n)) return false;
  if (n >= kMinFastSize) {
    const size_t half = n / 2, quarter = n / 4;
    // Padding the rows keeps the strided column pass from piling onto a few cache sets.
    next.stride_ = n + kStripLanes;
    if (!next.spectrum_.Allocate(2 * half * next.stride_ + kPlaneGap) ||
        !next.foldTwiddles_.Allocate(2 * quarter) || !next.rows_.Create(size) || !next.columns_.Create(size / 2)) {
      return false;
    }
    for (Slot& slot : next.slots_) {
      if (!slot.re.Allocate(2 * n) || !slot.im.Allocate(2 * n) || !slot.rowsRe.Allocate(2 * n) ||
          !slot.rowsIm.Allocate(2 * n)) {
        return false;
      }
    }
    next.size_ = size;
    next.FillTwiddles();
  }
  next.size_ = size;
  next.peak_ = peak_;
  *this = std::move(next);
  return true;
}

void cFFT::FillTwiddles() {
  const size_t n = size_, quarter = n / 4;
  const double step = 2.0 * std::numbers::pi / n;
  for (size_t k = 0; k < quarter; ++k) {
    foldTwiddles_[k] = static_cast<float>(std::cos(step * k));
    foldTwiddles_[quarter + k] = static_cast<float>(std::sin(step * k));
  }
}

float* cFFT::SpectrumIm() { return spectrum_.Data() + size_ / 2 * stride_ + kPlaneGap; }

bool cFFT::SetInput(const std::complex<float>* input) {
  if (!input) return false;
  input_ = input;
  return true;
}

bool cFFT::Run() {
  if (size_ < 1 || !input_) return false;
  if (static_cast<size_t>(size_) < kMinFastSize) {
    RunDirect();
    outputMagnitude_ = LargestMagnitude(output_.Data(), output_.Size());
  } else {
    const size_t n = size_;
    ForEachSlot([&](size_t k) {
      for (size_t pair = k; pair < n / 4; pair += kSlots) TransformRowPair(pair, slots_[k]);
    });
    ForEachSlot([&](size_t k) {
      for (size_t column = k * kStripLanes; column < n; column += kSlots * kStripLanes) {
        columns_.Run<kStripLanes / 4>(SpectrumRe() + column, SpectrumIm() + column, stride_);
      }
    });
    ForEachSlot([&](size_t k) {
      const size_t rows = n / 2 / kSlots;
      slots_[k].largest = CopyToOutput(k * rows, (k + 1) * rows);
    });
    outputMagnitude_ = 0.0f;
    for (const Slot& slot : slots_) outputMagnitude_ = std::max(outputMagnitude_, slot.largest);
  }
  outputMagnitudeCurrent_ = true;
  return true;
}

template <typename Work>
void cFFT::ForEachSlot(Work work) {
  if (static_cast<size_t>(size_) < kMinParallelSize) {
    for (size_t k = 0; k < kSlots; ++k) work(k);
    return;
  }
  cThreadPool::Shared().ParallelFor(kSlots, 1, [&](size_t begin, size_t end) {
    for (size_t k = begin; k < end; ++k) work(k);
  });
}

// Tiny grids are summed from the definition.
void cFFT::RunDirect() {
  const int n = size_;
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) {
      double sum = 0.0;
      for (int k = 0; k < n * n; ++k) {
        const double angle = 2.0 * std::numbers::pi * ((r * (k / n) + c * (k % n)) % n) / n;
        sum += input_[k].real() * std::cos(angle) - input_[k].imag() * std::sin(angle);
      }
      output_[r * n + c] = static_cast<float>((r + c) % 2 == 0 ? -sum : sum);
    }
  }
}

// Rows k and N/2 - k of Y, or for pair 0 the packed rows 0 and N/2 with row
// N/4: built side by side, transformed as the eight lanes of one line
// transform of length N/4, finished and folded into rows of the column input.
void cFFT::TransformRowPair(size_t pair, Slot& slot) {
  const size_t n = size_, quarter = n / 4;
  const size_t other = pair == 0 ? quarter : n / 2 - pair;
  // This slot's next pair: its rows are fetched while these are built.
  const size_t next = std::min(pair + kSlots, quarter - 1);
  if (pair == 0) {
    BuildPackedRow(next, slot);
  } else {
    BuildRow(pair, 0, next, slot);
  }
  BuildRow(other, 1, n / 2 - next, slot);
  rows_.Transform(slot.re.Data(), slot.im.Data());
  RowPairJob job{{slot.re.Data(), slot.im.Data(), rows_.Twiddles(), n, slot.rowsRe.Data(), slot.rowsIm.Data()},
                 pair, foldTwiddles_[pair], foldTwiddles_[quarter + pair], {}, {}};
  const size_t rows[2] = {pair, other};
  for (int side = 0; side < 2; ++side) {
    job.foldRe[side] = SpectrumRe() + columns_.InputPosition(rows[side]) * stride_;
    job.foldIm[side] = SpectrumIm() + columns_.InputPosition(rows[side]) * stride_;
  }
  if (HasWideVectors()) {
    FinishRowPairWide(job);
  } else {
    FinishRowPair<v4sf>(job);
  }
}

// Row k1 of Y into lanes 4 side .. 4 side + 3, in the bit-reversed order of
// the line transform.
void cFFT::BuildRow(size_t k1, size_t side, size_t next, Slot& slot) const {
  // Copies, not references: the vector stores could alias anything reached
  // through memory, which would reload it for every group.
  float* re = slot.re.Data() + 4 * side;
  float* im = slot.im.Data() + 4 * side;
  const int* order = rows_.QuadPositions();
  ForEachHermitianQuad(input_, size_, k1, next, [=](size_t quad, v4sf yr, v4sf yi) {
    const size_t p = order[quad] * kRowLanes;
    Store4(re + p, yr);
    Store4(im + p, yi);
  });
}

// Rows 0 and N/2 of Y are Hermitian along k2 by themselves, so their
// transforms are real: they share one complex row, Y(0) + i Y(N/2).
void cFFT::BuildPackedRow(size_t next, Slot& slot) const {
  BuildRow(size_ / 2, 0, next, slot);
  float* re = slot.re.Data();
  float* im = slot.im.Data();
  const int* order = rows_.QuadPositions();
  ForEachHermitianQuad(input_, size_, 0, next, [=](size_t quad, v4sf yr, v4sf yi) {
    const size_t p = order[quad] * kRowLanes;
    const v4sf hr = Load4(re + p), hi = Load4(im + p);
    Store4(re + p, yr - hi);
    Store4(im + p, yi + hr);
  });
}

// The column transform gives y(m) = x(2m) + i x(2m+1): output rows 2m and 2m+1.
// Copied once all strips are done, row after row: strip by strip, each strip
// wrote one line into each of N rows a page or more apart, which cost more
// than reading the finished column input back.
float cFFT::CopyToOutput(size_t begin, size_t end) {
  const size_t n = size_;
  v4sf largest = Splat4(0.0f);
  for (size_t m = begin; m < end; ++m) {
    const float* re = SpectrumRe() + m * stride_;
    const float* im = SpectrumIm() + m * stride_;
    float* out = output_.Data() + 2 * m * n;
    for (size_t c = 0; c < n; c += 4) {
      const v4sf xr = Load4(re + c), xi = Load4(im + c);
      Store4(out + c, xr);
      Store4(out + n + c, xi);
      largest = Max4(Max4(Abs4(xr), Abs4(xi)), largest);
    }
  }
  return HorizontalMax4(largest);
}

bool cFFT::Normalize(float s) {
  if (!output_.Data()) return false;
  float* heights = output_.Data();
  const size_t count = output_.Size();
  float scale = s;
  if (s == 0.0f) {
    const float magnitude = outputMagnitudeCurrent_ ? outputMagnitude_ : LargestMagnitude(heights, count);
    peak_ = std::max(peak_, magnitude);
    scale = peak_ + 0.000001f;
  }
  const v4sf offset = Splat4(scale), range = Splat4(scale + scale);
  const v4sf zero = Splat4(0.0f), one = Splat4(1.0f);
  const auto normalize = [&](size_t begin, size_t end) {
    ForEach4(heights + begin, end - begin, [&](v4sf& v) {
      v = (offset + v) / range;
      v = v < zero ? zero : v;
      v = v > one ? one : v;
    });
  };
  if (static_cast<size_t>(size_) < kMinParallelSize) {
    normalize(0, count);
  } else {
    // Whole rows per chunk: N*N is a multiple of 4 from here up.
    const size_t n = size_;
    cThreadPool::Shared().ParallelFor(n, kMinParallelSize * kMinParallelSize / n + 1,
                                      [&](size_t begin, size_t end) { normalize(begin * n, end * n); });
  }
  outputMagnitudeCurrent_ = false;
  return true;
}
