#include "batch/cWaveSlopes.h"

#include <numbers>
#include <utility>

void InverseDFT(std::complex<double>* data, int n, int stride, const std::complex<double>* twiddles) {
  for (int i = 1, j = 0; i < n; ++i) {
    int bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(data[i * stride], data[j * stride]);
  }
  for (int length = 2; length <= n; length *= 2) {
    const int half = length / 2, step = n / length;
    for (int start = 0; start < n; start += length) {
      for (int k = 0; k < half; ++k) {
        std::complex<double>& a = data[(start + k) * stride];
        std::complex<double>& b = data[(start + k + half) * stride];
        const std::complex<double> t = b * twiddles[k * step];
        b = a - t;
        a += t;
      }
    }
  }
}

bool cWaveSlopes::Compute(const cFFTHeightmap& heightmap) {
  const std::complex<float>* spectrum = heightmap.GetSpectrum();
  const int n = heightmap.GetResolution();
  if (!spectrum || n < 2) return false;
  if (n != size_) {
    size_ = n;
    const size_t count = static_cast<size_t>(n) * n;
    work_.resize(count);
    alongColumns_.resize(count);
    alongRows_.resize(count);
    twiddles_.resize(n / 2);
    for (int k = 0; k < n / 2; ++k) twiddles_[k] = std::polar(1.0, 2.0 * std::numbers::pi * k / n);
  }
  Derivative(spectrum, false, &alongColumns_);
  Derivative(spectrum, true, &alongRows_);
  return true;
}

void cWaveSlopes::Derivative(const std::complex<float>* spectrum, bool alongRows, std::vector<double>* out) {
  const int n = size_;
  const double step = 2.0 * std::numbers::pi / n;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const double k = step * ((alongRows ? i : j) - n / 2);
      const size_t index = static_cast<size_t>(i) * n + j;
      work_[index] = std::complex<double>(0.0, k) * std::complex<double>(spectrum[index]);
    }
  }
  for (int row = 0; row < n; ++row) InverseDFT(work_.data() + static_cast<size_t>(row) * n, n, 1, twiddles_.data());
  for (int column = 0; column < n; ++column) InverseDFT(work_.data() + column, n, n, twiddles_.data());
  // The (i - N/2) shift of both wave numbers is the factor (-1)^(r + c).
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) {
      const size_t index = static_cast<size_t>(r) * n + c;
      (*out)[index] = (r + c) % 2 == 0 ? -work_[index].real() : work_[index].real();
    }
  }
}
