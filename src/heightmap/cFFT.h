// Two-dimensional unscaled inverse FFT of an N*N complex grid, followed by the
// sign pass that recentres the spectrum: the output at row r, column c is
//   -(-1)^(r+c) * Re(sum over k of X(k) * e^(+2 pi i (r*k1 + c*k2) / N)),
// then optionally normalised into [0, 1].
//
// Only the real part is ever used, so the transform works on the Hermitian
// part of the input and computes a real-output transform: about half the work
// of a full complex one. The sign pass becomes a half-period shift of the input.
// Strips of columns and blocks of rows are shared out over the process's
// thread pool; the result does not depend on how many threads there are.
#pragma once

#include <complex>
#include <cstddef>

#include "heightmap/Simd.h"
#include "heightmap/cAlignedArray.h"
#include "heightmap/cLineFFT.h"

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
  // Scratch of one slot: a block of the row pass.
  struct Slot {
    cAlignedArray<float> re, im;
    float largest = 0.0f;
  };

  void RunDirect();
  // Calls work(slot) for every slot, spread over the shared thread pool.
  template <typename Work>
  void ForEachSlot(Work work);
  void BuildHermitianRows(size_t begin, size_t end);
  void TransformRowBlock(size_t row, Slot& slot);
  void GatherRowQuad(size_t row, size_t lane, Slot& slot) const;
  v4sf ScatterRowQuad(size_t row, size_t lane, const Slot& slot);

  int size_ = -1;
  const std::complex<float>* input_ = nullptr;
  cAlignedArray<float> output_;
  // N rows of the half spectrum after the column pass, split into real and
  // imaginary planes. Column 0 carries columns 0 and N/2 packed together.
  cAlignedArray<float> spectrumRe_, spectrumIm_;
  size_t stride_ = 0;
  // Slot k takes the k-th quarter of the rows to build, and strips and row
  // blocks k, k + kSlots, ...
  static constexpr size_t kSlots = 4;
  Slot slots_[kSlots];
  // e^(2 pi i k / N) for k < N/2: N/2 cosines, then N/2 sines.
  cAlignedArray<float> rowTwiddles_;
  cLineFFT columns_;  // length N
  cLineFFT rows_;     // length N/2
  float peak_ = -1.0f;
  // Largest magnitude in the output, found while writing it; current until
  // Normalize rewrites the output.
  float outputMagnitude_ = 0.0f;
  bool outputMagnitudeCurrent_ = false;
};
