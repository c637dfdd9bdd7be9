// Two-dimensional unscaled inverse FFT of an N*N complex grid with complex
// output:
//   out(r, c) = sum over (k1, k2) of in(k1, k2) e^(2 pi i (r k1 + c k2) / N).
// Two real fields a and b come out of one run as a + i b when the input is
// the Hermitian part of a's spectrum plus i times that of b's.
//
// The input rows are written in place, where the column pass wants them; the
// output is handed over a few rows at a time while they are still in cache.
#pragma once

#include <cstddef>
#include <functional>

#include "heightmap/cAlignedArray.h"
#include "heightmap/cLineFFT.h"

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
  void GatherRows(size_t row0);
  void ScatterRows();

  int size_ = -1;
  size_t stride_ = 0;
  cAlignedArray<float> re_, im_;
  // A block of rows, transposed, for the row pass.
  cAlignedArray<float> blockRe_, blockIm_;
  // The same rows of output, in order.
  cAlignedArray<float> rowsRe_, rowsIm_;
  cLineFFT columns_, rows_;
};
