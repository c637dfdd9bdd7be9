// Two-dimensional unscaled inverse FFT of an N*N complex grid, followed by the
// sign pass that recentres the spectrum: the output at row r, column c is
//   -(-1)^(r+c) * Re(sum over k of X(k) * e^(+2 pi i (r*k1 + c*k2) / N)),
// then optionally normalised into [0, 1].
//
// Only the real part is used, so the transform works on the Hermitian part Y
// of the input (the sign pass becomes a half-period shift): about half the
// work of a complex transform. Rows go first, along contiguous memory: rows k1
// and N/2 - k1 of Y are formed as the input is loaded, transformed together
// and folded into the input of a real-output column transform of length N/2.
// That one runs in place with vector lanes across adjacent columns, and its
// rows are then copied to output rows, so no pass transposes. Pairs of rows,
// strips of columns and blocks of output rows are shared out over the
// process's thread pool; the result does not depend on how many threads there
// are.
#pragma once

#include <complex>
#include <cstddef>

#include "heightmap/Simd.h"
#include "heightmap/cAlignedArray.h"
#include "heightmap/cLineFFT.h"
#include "heightmap/cRowPairFFT.h"

class cFFT {
 public:
  // Largest edge accepted by Create.
  static constexpr int kMaxSize = 1 << 14;

  // N must be a power of two (1 included). On failure the previous size and
  // buffers are kept. The input must be set again; the automatic
  // normalisation peak survives.
  bool Create(int size);
  // N*N interleaved complex values, row-major; not owned. False for null.
  bool SetInput(const std::complex<float>* input);
  // Transforms the input into the output grid; false without input or size.
  bool Run();
  // Maps [-s, s] onto [0, 1] and clamps. s == 0 means automatic: the largest
  // magnitude seen by any automatic call so far (plus a tiny bias).
  bool Normalize(float s);

  // N*N row-major floats; null before Create.
  const float* GetOutput() const { return output_.Data(); }
  int GetSize() const { return size_; }
  float GetPeak() const { return peak_; }

 private:
  // Scratch of one slot for a pair of rows.
  struct Slot {
    // The two rows of Y side by side in groups of four, then transformed.
    cAlignedArray<float> re, im, rowsRe, rowsIm;
    float largest = 0.0f;
  };

  void FillTwiddles();
  void RunDirect();
  // Calls work(slot) for every slot, spread over the shared thread pool.
  template <typename Work>
  void ForEachSlot(Work work);
  void TransformRowPair(size_t pair, Slot& slot);
  // Row k1 of Y (or the packed one) into a side of the slot; `next` is the
  // row that follows on this side.
  void BuildRow(size_t k1, size_t side, size_t next, Slot& slot) const;
  void BuildPackedRow(size_t next, Slot& slot) const;
  // Output rows 2m and 2m + 1 for begin <= m < end; returns the largest
  // magnitude written.
  float CopyToOutput(size_t begin, size_t end);
  // The column input's planes in spectrum_: the imaginary one a gap after the real one.
  float* SpectrumRe() { return spectrum_.Data(); }
  float* SpectrumIm();

  int size_ = -1;
  const std::complex<float>* input_ = nullptr;
  cAlignedArray<float> output_;
  // Input of the column transforms: N/2 rows, bit-reversed, as real and
  // imaginary planes (in spectrum_), transformed there.
  cAlignedArray<float> spectrum_;
  size_t stride_ = 0;
  // Slot k takes row pairs and column strips k, k + kSlots, ..., and the
  // k-th quarter of the output rows.
  static constexpr size_t kSlots = 4;
  Slot slots_[kSlots];
  // Fold into the column input: cosines then sines of 2 pi k / N, k < N/4.
  cAlignedArray<float> foldTwiddles_;
  cRowPairFFT rows_;
  cLineFFT columns_;  // length N/2
  float peak_ = -1.0f;
  // Largest magnitude in the output, found while writing it; current until
  // Normalize rewrites the output.
  float outputMagnitude_ = 0.0f;
  bool outputMagnitudeCurrent_ = false;
};
