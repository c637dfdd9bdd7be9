// Two-dimensional unscaled inverse FFT of an N*N complex grid with complex
// output:
//   out(r, c) = sum over (k1, k2) of in(k1, k2) e^(2 pi i (r k1 + c k2) / N).
// Two real fields a and b come out of one run as a + i b when the input is
// the Hermitian part of a's spectrum plus i times that of b's.
//
// The input rows are written in place, where the column pass wants them.
// Columns go first, in strips of adjacent columns; then rows, two at a time
// along contiguous memory (cRowPairFFT), so no pass transposes, and each pair
// is handed over while it is still in cache.
#pragma once

#include <cstddef>
#include <functional>

#include "heightmap/cAlignedArray.h"
#include "heightmap/cLineFFT.h"
#include "heightmap/cRowPairFFT.h"

class cComplexFFT {
 public:
  // Receives output row r: N real parts and N imaginary parts, readable up to
  // the next multiple of four. Rows come in order, each once.
  using RowConsumer = std::function<void(int r, const float* re, const float* im)>;

  // N must be a power of two, at least 1 and at most cFFT's largest. On
  // failure the previous size and buffers are kept.
  bool Create(int size);
  int GetSize() const { return size_; }

  // Row k1 of the input: N real parts and N imaginary parts, to be filled
  // before each Run (Run overwrites them). Null before Create.
  float* InputRe(int k1) { return re_.Data() + RowOffset(InputRow(k1)); }
  float* InputIm(int k1) { return im_.Data() + RowOffset(InputRow(k1)); }
  // Transforms the input and hands every output row to `consume`; false
  // before Create.
  bool Run(const RowConsumer& consume);

 private:
  size_t RowOffset(int row) const { return static_cast<size_t>(row) * stride_; }
  int InputRow(int k1) const;
  void RunDirect(const RowConsumer& consume);
  // Rows r and r + 1 into the scratch rows, in the line transform's order.
  void LoadRowPair(size_t r);

  int size_ = -1;
  size_t stride_ = 0;
  cAlignedArray<float> re_, im_;
  // Two rows side by side for the row pass, then the same rows in order.
  cAlignedArray<float> pairRe_, pairIm_, rowsRe_, rowsIm_;
  cLineFFT columns_;
  cRowPairFFT rows_;
};
