#include "heightmap/cComplexFFT.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "heightmap/Simd.h"
#include "heightmap/cFFT.h"

namespace {

constexpr size_t kStripLanes = 16;  // columns per strip of the column pass (4 vectors)
constexpr int kMinFastSize = 16;    // smaller grids are summed directly (the row split needs N/4 >= 4)

// The same on 8-float vectors where the processor has them: same arithmetic
// (no fused multiply-adds), same results.
__attribute__((target("avx2"), flatten)) void FinishRowsWide(const RowPairFinish& job) { FinishRows<v8sf>(job); }

void FinishRowPair(const RowPairFinish& job) {
  if (HasWideVectors()) {
    FinishRowsWide(job);
  } else {
    FinishRows<v4sf>(job);
  }
}

}  // namespace

bool cComplexFFT::Create(int size) {
  if (size < 1 || size > cFFT::kMaxSize || (size & (size - 1)) != 0) return false;
  cComplexFFT next;
  const size_t n = size;
  // Padding the rows keeps the strided column pass from piling onto a few
  // cache sets, and lets every row be read in whole vectors.
  next.stride_ = (n + kStripLanes - 1) / kStripLanes * kStripLanes + kStripLanes;
  if (!next.re_.Allocate(n * next.stride_) || !next.im_.Allocate(n * next.stride_) ||
      !next.pairRe_.Allocate(2 * n) || !next.pairIm_.Allocate(2 * n) || !next.rowsRe_.Allocate(2 * next.stride_) ||
      !next.rowsIm_.Allocate(2 * next.stride_) || !next.columns_.Create(size) ||
      (size >= kMinFastSize && !next.rows_.Create(size))) {
    return false;
  }
  next.size_ = size;
  *this = std::move(next);
  return true;
}

// Input rows sit in bit-reversed order, ready for the column pass.
int cComplexFFT::InputRow(int k1) const { return columns_.InputPosition(k1); }

bool cComplexFFT::Run(const RowConsumer& consume) {
  if (size_ < 1) return false;
  if (size_ < kMinFastSize) {
    RunDirect(consume);
    return true;
  }
  const size_t n = size_;
  for (size_t column = 0; column < n; column += kStripLanes) {
    columns_.Run<kStripLanes / 4>(re_.Data() + column, im_.Data() + column, stride_);
  }
  float* rowsRe = rowsRe_.Data();
  float* rowsIm = rowsIm_.Data();
  for (size_t r = 0; r < n; r += 2) {
    LoadRowPair(r);
    rows_.Transform(pairRe_.Data(), pairIm_.Data());
    FinishRowPair({pairRe_.Data(), pairIm_.Data(), rows_.Twiddles(), n, rowsRe, rowsIm});
    consume(static_cast<int>(r), rowsRe, rowsIm);
    consume(static_cast<int>(r + 1), rowsRe + n, rowsIm + n);
  }
  return true;
}

// Tiny grids are summed from the definition, a row at a time.
void cComplexFFT::RunDirect(const RowConsumer& consume) {
  const int n = size_;
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) {
      double sumRe = 0.0, sumIm = 0.0;
      for (int k1 = 0; k1 < n; ++k1) {
        const float* re = InputRe(k1);
        const float* im = InputIm(k1);
        for (int k2 = 0; k2 < n; ++k2) {
          const double angle = 2.0 * std::numbers::pi * ((r * k1 + c * k2) % n) / n;
          sumRe += re[k2] * std::cos(angle) - im[k2] * std::sin(angle);
          sumIm += re[k2] * std::sin(angle) + im[k2] * std::cos(angle);
        }
      }
      rowsRe_[c] = static_cast<float>(sumRe);
      rowsIm_[c] = static_cast<float>(sumIm);
    }
    consume(r, rowsRe_.Data(), rowsIm_.Data());
  }
}

// Locals for every pointer: stores through float pointers would otherwise
// make the compiler reload the members.
void cComplexFFT::LoadRowPair(size_t r) {
  const size_t quads = size_ / 4;
  const int* order = rows_.QuadPositions();
  float* pairRe = pairRe_.Data();
  float* pairIm = pairIm_.Data();
  for (size_t side = 0; side < 2; ++side) {
    const float* re = re_.Data() + RowOffset(static_cast<int>(r + side));
    const float* im = im_.Data() + RowOffset(static_cast<int>(r + side));
    for (size_t quad = 0; quad < quads; ++quad) {
      const size_t p = order[quad] * cRowPairFFT::kLanes + 4 * side;
      Store4(pairRe + p, Load4(re + 4 * quad));
      Store4(pairIm + p, Load4(im + 4 * quad));
    }
  }
}
