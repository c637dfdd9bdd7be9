#include "heightmap/cComplexFFT.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "heightmap/Simd.h"
#include "heightmap/cFFT.h"

namespace {

constexpr size_t kStripLanes = 16;  // columns per strip of the column pass (4 vectors)
constexpr size_t kBlockRows = 8;    // rows per block of the row pass (2 vectors)
constexpr int kMinFastSize = 8;     // smaller grids are summed directly

}  // namespace

bool cComplexFFT::Create(int size) {
  if (size < 1 || size > cFFT::kMaxSize || (size & (size - 1)) != 0) return false;
  cComplexFFT next;
  const size_t n = size;
  // Padding the rows keeps the strided column pass from piling onto a few
  // cache sets, and lets every row be read in whole vectors.
  next.stride_ = (n + kStripLanes - 1) / kStripLanes * kStripLanes + kStripLanes;
  if (!next.re_.Allocate(n * next.stride_) || !next.im_.Allocate(n * next.stride_) ||
      !next.blockRe_.Allocate(n * kBlockRows) || !next.blockIm_.Allocate(n * kBlockRows) ||
      !next.rowsRe_.Allocate(kBlockRows * next.stride_) || !next.rowsIm_.Allocate(kBlockRows * next.stride_) ||
      !next.columns_.Create(size) || !next.rows_.Create(size)) {
    return false;
  }
  next.size_ = size;
  *this = std::move(next);
  return true;
}

// Input rows sit in bit-reversed order, ready for the column pass.
int cComplexFFT::InputRow(int k1) const { return columns_.InputPosition(k1); }

// Rows go through the line transform kBlockRows at a time, as the lanes of a
// transposed block.
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
  for (size_t row0 = 0; row0 < n; row0 += kBlockRows) {
    GatherRows(row0);
    rows_.Run<kBlockRows / 4>(blockRe_.Data(), blockIm_.Data(), kBlockRows);
    ScatterRows();
    for (size_t r = 0; r < kBlockRows; ++r) {
      consume(static_cast<int>(row0 + r), rowsRe_.Data() + RowOffset(r), rowsIm_.Data() + RowOffset(r));
    }
  }
  return true;
}

// Tiny grids are summed from the definition.
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
      rowsRe_[RowOffset(r) + c] = static_cast<float>(sumRe);
      rowsIm_[RowOffset(r) + c] = static_cast<float>(sumIm);
    }
  }
  for (int r = 0; r < n; ++r) consume(r, rowsRe_.Data() + RowOffset(r), rowsIm_.Data() + RowOffset(r));
}

// Locals for every pointer: stores through float pointers would otherwise
// make the compiler reload the members.
void cComplexFFT::GatherRows(size_t row0) {
  const size_t n = size_, stride = stride_;
  float* blockRe = blockRe_.Data();
  float* blockIm = blockIm_.Data();
  for (size_t quad = 0; quad < kBlockRows; quad += 4) {
    const float* re = re_.Data() + (row0 + quad) * stride;
    const float* im = im_.Data() + (row0 + quad) * stride;
    for (size_t c = 0; c < n; c += 4) {
      v4sf vr[4], vi[4];
      for (size_t r = 0; r < 4; ++r) {
        vr[r] = Load4(re + r * stride + c);
        vi[r] = Load4(im + r * stride + c);
      }
      Transpose4(vr[0], vr[1], vr[2], vr[3]);
      Transpose4(vi[0], vi[1], vi[2], vi[3]);
      for (size_t j = 0; j < 4; ++j) {
        const size_t position = rows_.InputPosition(static_cast<int>(c + j)) * kBlockRows + quad;
        Store4(blockRe + position, vr[j]);
        Store4(blockIm + position, vi[j]);
      }
    }
  }
}

void cComplexFFT::ScatterRows() {
  const size_t n = size_, stride = stride_;
  const float* blockRe = blockRe_.Data();
  const float* blockIm = blockIm_.Data();
  for (size_t quad = 0; quad < kBlockRows; quad += 4) {
    float* re = rowsRe_.Data() + quad * stride;
    float* im = rowsIm_.Data() + quad * stride;
    for (size_t c = 0; c < n; c += 4) {
      v4sf vr[4], vi[4];
      for (size_t j = 0; j < 4; ++j) {
        vr[j] = Load4(blockRe + (c + j) * kBlockRows + quad);
        vi[j] = Load4(blockIm + (c + j) * kBlockRows + quad);
      }
      Transpose4(vr[0], vr[1], vr[2], vr[3]);
      Transpose4(vi[0], vi[1], vi[2], vi[3]);
      for (size_t r = 0; r < 4; ++r) {
        Store4(re + r * stride + c, vr[r]);
        Store4(im + r * stride + c, vi[r]);
      }
    }
  }
}
