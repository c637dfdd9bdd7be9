// Unscaled inverse FFTs (exponent +i) of one power-of-two length over many
// lines at once. Element k of every line lives at re/im + k * stride and the
// lines are the adjacent floats there (4 per vector), so every butterfly works
// on whole vectors with a single twiddle: no shuffles, and a strip of columns
// is transformed in place. Radix-4 stages (one radix-2 stage first for odd
// powers) with twiddles tabulated in double precision.
#pragma once

#include <cstddef>

#include "heightmap/cAlignedArray.h"

class cLineFFT {
 public:
  // `length` must be a power of two, at least 1.
  bool Create(int length);
  int GetLength() const { return length_; }

  // Position at which input element k must be placed: the transform reads its
  // input in bit-reversed order and writes its output in natural order.
  int InputPosition(int k) const { return bitReversal_[k]; }
  const int* InputPositions() const { return bitReversal_.Data(); }

  // Transforms 4 * kVectors lines in place.
  template <int kVectors>
  void Run(float* re, float* im, size_t stride) const;

 private:
  int length_ = 0;
  bool radix2First_ = false;
  cAlignedArray<int> bitReversal_;
  // Per radix-4 stage of quarter size h, for j < h: cos and sin of
  // j, 2j and 3j times 2pi / 4h.
  cAlignedArray<float> twiddles_;
};
