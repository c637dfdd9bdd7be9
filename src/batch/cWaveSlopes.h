// The exact slopes of the FFT heightmap's surface, in double precision. The
// heights are the band-limited sum
//   raw(r, c) = -Re sum over (i, j) of ht(i, j) e^(2 pi i (r (i - N/2) + c (j - N/2)) / N),
// so their derivative along columns multiplies each term by i 2 pi (j - N/2) / N
// (along rows by i 2 pi (i - N/2) / N): a spectral derivative, exact at every
// texel, against which the normal-map methods are measured.
#pragma once

#include <complex>
#include <vector>

#include "heightmap/cFFTHeightmap.h"

class cWaveSlopes {
 public:
  // Slopes of the heightmap's current spectrum (its last Update). False
  // without a spectrum.
  bool Compute(const cFFTHeightmap& heightmap);

  // d raw / d column and d raw / d row per texel, N*N row-major, before the
  // heightmap's normalisation into [0, 1].
  const std::vector<double>& AlongColumns() const { return alongColumns_; }
  const std::vector<double>& AlongRows() const { return alongRows_; }
  int GetSize() const { return size_; }

 private:
  void Derivative(const std::complex<float>* spectrum, bool alongRows, std::vector<double>* out);

  int size_ = 0;
  std::vector<std::complex<double>> work_;
  std::vector<std::complex<double>> twiddles_;
  std::vector<double> alongColumns_, alongRows_;
};

// In-place unscaled inverse DFT of `n` complex values spaced `stride` apart;
// `twiddles` holds e^(2 pi i k / n) for k < n / 2. n is a power of two.
void InverseDFT(std::complex<double>* data, int n, int stride, const std::complex<double>* twiddles);
