#include "heightmap/cFFT.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "base/cThreadPool.h"
#include "heightmap/Simd.h"

namespace {

constexpr size_t kStripLanes = 16;  // columns per strip of the column pass (4 vectors)
constexpr size_t kBlockRows = 8;    // rows per block of the row pass (2 vectors)
constexpr size_t kMinFastSize = 8;  // smaller grids are summed directly
constexpr size_t kMinParallelSize = 64;  // smaller grids are not worth waking the pool for

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

}  // namespace

bool cFFT::Create(int size) {
  if (size < 1 || size > kMaxSize || (size & (size - 1)) != 0) return false;
  cFFT next;
  const size_t n = size;
  if (!next.output_.Allocate(n * n)) return false;
  if (n >= kMinFastSize) {
    const size_t half = n / 2;
    // Padding the rows keeps the strided column pass from piling onto a few cache sets.
    next.stride_ = (half + kStripLanes - 1) / kStripLanes * kStripLanes + kStripLanes;
    if (!next.spectrumRe_.Allocate(n * next.stride_) || !next.spectrumIm_.Allocate(n * next.stride_) ||
        !next.rowTwiddles_.Allocate(2 * half) || !next.columns_.Create(size) || !next.rows_.Create(size / 2)) {
      return false;
    }
    for (Slot& slot : next.slots_) {
      if (!slot.re.Allocate(half * kBlockRows) || !slot.im.Allocate(half * kBlockRows)) return false;
    }
    for (size_t k = 0; k < half; ++k) {
      next.rowTwiddles_[k] = static_cast<float>(std::cos(std::numbers::pi * k / half));
      next.rowTwiddles_[half + k] = static_cast<float>(std::sin(std::numbers::pi * k / half));
    }
  }
  next.size_ = size;
  next.peak_ = peak_;
  *this = std::move(next);
  return true;
}

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
    const size_t n = size_, half = n / 2;
    ForEachSlot([&](size_t k) { BuildHermitianRows(n * k / kSlots, n * (k + 1) / kSlots); });
    ForEachSlot([&](size_t k) {
      for (size_t column = k * kStripLanes; column < half; column += kSlots * kStripLanes) {
        columns_.Run<kStripLanes / 4>(spectrumRe_.Data() + column, spectrumIm_.Data() + column, stride_);
      }
    });
    ForEachSlot([&](size_t k) {
      slots_[k].largest = 0.0f;
      for (size_t row = k * kBlockRows; row < n; row += kSlots * kBlockRows) TransformRowBlock(row, slots_[k]);
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

// Y(k) = -(X'(k) + conj(X'(-k))) / 2 with X'(k) = X(k + N/2) (indices mod N):
// the shift is the sign pass, and the real part of the transform of X' is the
// transform of its Hermitian part. Rows go to their bit-reversed places for
// the column pass. Only columns 0..N/2 are needed.
void cFFT::BuildHermitianRows(size_t begin, size_t end) {
  const size_t n = size_, half = n / 2, mask = n - 1;
  const v4sf minusHalf = Splat4(-0.5f);
  for (size_t k1 = begin; k1 < end; ++k1) {
    const float* a = reinterpret_cast<const float*>(input_ + ((k1 + half) & mask) * n);
    const float* b = reinterpret_cast<const float*>(input_ + ((half - k1) & mask) * n);
    float* re = spectrumRe_.Data() + columns_.InputPosition(k1) * stride_;
    float* im = spectrumIm_.Data() + columns_.InputPosition(k1) * stride_;
    for (size_t k2 = 0; k2 < half; k2 += 4) {
      v4sf pr, pi, qr, qi;
      Deinterleave4(a + 2 * (half + k2), &pr, &pi);
      DeinterleaveReversed4(b + 2 * (half - k2), &qr, &qi);
      Store4(re + k2, minusHalf * (pr + qr));
      Store4(im + k2, minusHalf * (pi - qi));
    }
    // Columns 0 and N/2 are Hermitian along k1 by themselves, so their
    // transforms are real: they share one complex column, Y(k1, 0) + i Y(k1, N/2).
    const float yhRe = -0.5f * (a[0] + b[0]), yhIm = -0.5f * (a[1] - b[1]);
    re[0] -= yhIm;
    im[0] += yhRe;
  }
}

// Each row of the half spectrum Z becomes N reals through one complex
// transform of length N/2: C(k) = Z(k) + conj(Z(N/2-k)) + i w^k (Z(k) - conj(Z(N/2-k)))
// transforms to x(2m) + i x(2m+1). Rows are done kBlockRows at a time, as the
// lanes of the block; 4x4 transposes move values between rows and lanes.
void cFFT::TransformRowBlock(size_t row, Slot& slot) {
  for (size_t quad = 0; quad < kBlockRows; quad += 4) GatherRowQuad(row + quad, quad, slot);
  rows_.Run<kBlockRows / 4>(slot.re.Data(), slot.im.Data(), kBlockRows);
  v4sf largest = Splat4(slot.largest);
  for (size_t quad = 0; quad < kBlockRows; quad += 4) largest = Max4(ScatterRowQuad(row + quad, quad, slot), largest);
  slot.largest = HorizontalMax4(largest);
}

void cFFT::GatherRowQuad(size_t row, size_t lane, Slot& slot) const {
  const size_t half = size_ / 2;
  const float* twiddleCos = rowTwiddles_.Data();
  const float* twiddleSin = rowTwiddles_.Data() + half;
  for (size_t k = 0; k < half; k += 4) {
    v4sf cr[4], ci[4];
    const v4sf wc = Load4(twiddleCos + k), ws = Load4(twiddleSin + k);
    for (int r = 0; r < 4; ++r) {
      const float* zr = spectrumRe_.Data() + (row + r) * stride_;
      const float* zi = spectrumIm_.Data() + (row + r) * stride_;
      // Z(k) and conj(Z(N/2 - k)).
      const v4sf ar = Load4(zr + k), ai = Load4(zi + k);
      const v4sf br = Reverse4(Load4(zr + half - k - 3)), bi = -Reverse4(Load4(zi + half - k - 3));
      const v4sf dr = ar - br, di = ai - bi;
      cr[r] = ar + br - (wc * di + ws * dr);
      ci[r] = ai + bi + (wc * dr - ws * di);
      if (k == 0) {
        // Column 0 holds Z(0) and Z(N/2), both real.
        cr[r][0] = zr[0] + zi[0];
        ci[r][0] = zr[0] - zi[0];
      }
    }
    Transpose4(cr[0], cr[1], cr[2], cr[3]);
    Transpose4(ci[0], ci[1], ci[2], ci[3]);
    for (int j = 0; j < 4; ++j) {
      const size_t position = rows_.InputPosition(k + j) * kBlockRows + lane;
      Store4(slot.re.Data() + position, cr[j]);
      Store4(slot.im.Data() + position, ci[j]);
    }
  }
}

// Returns the largest magnitudes written, per lane.
v4sf cFFT::ScatterRowQuad(size_t row, size_t lane, const Slot& slot) {
  const size_t n = size_, half = n / 2;
  v4sf largest = Splat4(0.0f);
  for (size_t m = 0; m < half; m += 4) {
    v4sf xr[4], xi[4];
    for (int j = 0; j < 4; ++j) {
      xr[j] = Load4(slot.re.Data() + (m + j) * kBlockRows + lane);
      xi[j] = Load4(slot.im.Data() + (m + j) * kBlockRows + lane);
    }
    Transpose4(xr[0], xr[1], xr[2], xr[3]);
    Transpose4(xi[0], xi[1], xi[2], xi[3]);
    for (int r = 0; r < 4; ++r) {
      float* out = output_.Data() + (row + r) * n + 2 * m;
      Store4(out, __builtin_shufflevector(xr[r], xi[r], 0, 4, 1, 5));
      Store4(out + 4, __builtin_shufflevector(xr[r], xi[r], 2, 6, 3, 7));
      largest = Max4(Max4(Abs4(xr[r]), Abs4(xi[r])), largest);
    }
  }
  return largest;
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
