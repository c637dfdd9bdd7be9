#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <tuple>
#include <vector>

#include "base/cThreadPool.h"
#include "heightmap/cFFT.h"

namespace {

std::vector<std::complex<float>> RandomSpectrum(int n, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  std::vector<std::complex<float>> spectrum(static_cast<size_t>(n) * n);
  for (auto& x : spectrum) x = {value(generator), value(generator)};
  return spectrum;
}

// The definition: unscaled inverse DFT, real part, negated where row + column
// is even. Summed directly in double, one dimension at a time.
std::vector<double> DirectTransform(const std::vector<std::complex<float>>& input, int n) {
  std::vector<std::complex<double>> twiddle(n), rows(static_cast<size_t>(n) * n);
  for (int k = 0; k < n; ++k) twiddle[k] = std::polar(1.0, 2.0 * M_PI * k / n);
  for (int k1 = 0; k1 < n; ++k1) {
    for (int c = 0; c < n; ++c) {
      std::complex<double> sum = 0.0;
      for (int k2 = 0; k2 < n; ++k2) sum += std::complex<double>(input[k1 * n + k2]) * twiddle[c * k2 % n];
      rows[k1 * n + c] = sum;
    }
  }
  std::vector<double> output(static_cast<size_t>(n) * n);
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) {
      std::complex<double> sum = 0.0;
      for (int k1 = 0; k1 < n; ++k1) sum += rows[k1 * n + c] * twiddle[r * k1 % n];
      output[r * n + c] = (r + c) % 2 == 0 ? -sum.real() : sum.real();
    }
  }
  return output;
}

// Sized, given `input` and run.
bool Transformed(cFFT& fft, int n, const std::vector<std::complex<float>>& input) {
  return fft.Create(n) && fft.SetInput(input.data()) && fft.Run();
}

}  // namespace

TEST(FFT, MatchesTheDirectInverseTransformWithItsSignPass) {
  for (int n : {1, 2, 4, 8, 16, 32, 64, 128}) {
    const auto input = RandomSpectrum(n, 7 + n);
    const auto expected = DirectTransform(input, n);
    cFFT fft;
    ASSERT_TRUE(Transformed(fft, n, input));
    // Sums of n*n random unit-sized terms are about n in size; the error
    // stays at float rounding of that (precomputed twiddles, no recurrence).
    double error = 0.0, norm = 0.0;
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_NEAR(fft.GetOutput()[i], expected[i], 1e-5 * n) << "N=" << n << " at " << i;
      error += (fft.GetOutput()[i] - expected[i]) * (fft.GetOutput()[i] - expected[i]);
      norm += expected[i] * expected[i];
    }
    EXPECT_LT(std::sqrt(error / norm), 1e-6) << "N=" << n;
  }
}

TEST(FFT, SingleFrequencyGivesACheckeredCosine) {
  // One wave vector k = (N/2 + 1, N/2): the output is -cos(2 pi r / N) exactly, sign pass included.
  const int n = 256;
  std::vector<std::complex<float>> input(n * n);
  input[(n / 2 + 1) * n + n / 2] = {1.0f, 0.0f};
  cFFT fft;
  ASSERT_TRUE(Transformed(fft, n, input));
  for (int r = 0; r < n; r += 7) {
    for (int c = 0; c < n; c += 5) {
      ASSERT_NEAR(fft.GetOutput()[r * n + c], -std::cos(2.0 * M_PI * r / n), 1e-6) << r << "," << c;
    }
  }
}

// Row pairs and column strips are shared out over the pool: the same bits
// whatever the number of threads, and the peak gathered from the strips is
// the output's largest magnitude.
TEST(FFT, SameBitsOnAnyThreadCountAndPeakOfTheOutput) {
  const int n = 256;
  const auto input = RandomSpectrum(n, 3);
  cThreadPool& pool = cThreadPool::Shared();
  const int threads = pool.GetThreadCount();
  std::vector<std::vector<float>> outputs;
  for (int count : {1, 3}) {
    pool.SetThreadCount(count);
    cFFT fft;
    ASSERT_TRUE(Transformed(fft, n, input));
    outputs.emplace_back(fft.GetOutput(), fft.GetOutput() + n * n);
    float largest = 0.0f;
    for (float h : outputs.back()) largest = std::max(largest, std::fabs(h));
    ASSERT_TRUE(fft.Normalize(0.0f));
    EXPECT_EQ(fft.GetPeak(), largest) << count;
  }
  pool.SetThreadCount(threads);
  EXPECT_EQ(outputs[0], outputs[1]);
}

TEST(FFT, RefusesBadSizesAndMissingInput) {
  cFFT fft;
  EXPECT_FALSE(fft.Run());
  EXPECT_FALSE(fft.Normalize(1.0f));
  for (int bad : {0, -4, 12, cFFT::kMaxSize * 2}) EXPECT_FALSE(fft.Create(bad)) << bad;
  EXPECT_EQ(std::tuple(fft.GetSize(), fft.GetOutput()), std::tuple(-1, nullptr));
  ASSERT_TRUE(fft.Create(8));
  EXPECT_FALSE(fft.Run());  // no input yet
  EXPECT_FALSE(fft.SetInput(nullptr));
  EXPECT_FALSE(fft.Create(24));
  EXPECT_EQ(fft.GetSize(), 8);  // a refused size keeps the previous one
  EXPECT_NE(fft.GetOutput(), nullptr);
}

// Fixed factor: (s + h) / 2s clamped, peak untouched. Automatic: the largest
// magnitude seen so far, kept across runs and re-creation.
TEST(FFT, NormalizationByFixedFactorOrGrowingPeak) {
  // This 2x2 input transforms to -4, 0, 4, 9.
  std::vector<std::complex<float>> input = {-0.25f, 4.25f, 2.25f, -2.25f};
  cFFT fft;
  ASSERT_TRUE(Transformed(fft, 2, input));
  const float* h = fft.GetOutput();
  ASSERT_FLOAT_EQ(h[0], -4.0f);
  ASSERT_FLOAT_EQ(h[3], 9.0f);
  ASSERT_TRUE(fft.Normalize(4.0f));
  EXPECT_EQ(std::vector<float>(h, h + 4), (std::vector<float>{0.0f, 0.5f, 1.0f, 1.0f}));
  EXPECT_FLOAT_EQ(fft.GetPeak(), -1.0f);
  ASSERT_TRUE(fft.Normalize(0.0f));  // measures the normalised values: peak 1
  EXPECT_FLOAT_EQ(fft.GetPeak(), 1.0f);
  EXPECT_NEAR(h[1], 0.75f, 1e-6f);
  // On a fresh 4x4 grid k = 0 gives the checkerboard -a, +a; a flat field is 0.5.
  input.assign(16, 0.0f);
  cFFT fresh;
  ASSERT_TRUE(fresh.Create(4));
  ASSERT_TRUE(fresh.SetInput(input.data()));
  const struct { float a, peak, even, odd; } steps[] = {{0.0f, 0.0f, 0.5f, 0.5f}, {3.0f, 3.0f, 0.0f, 1.0f}, {1.5f, 3.0f, 0.25f, 0.75f}};
  for (const auto& step : steps) {
    input[0] = step.a;
    ASSERT_TRUE(fresh.Run());
    ASSERT_TRUE(fresh.Normalize(0.0f));
    EXPECT_FLOAT_EQ(fresh.GetPeak(), step.peak) << step.a;
    EXPECT_NEAR(fresh.GetOutput()[0], step.even, 1e-6f) << step.a;
    EXPECT_NEAR(fresh.GetOutput()[1], step.odd, 1e-6f) << step.a;
  }
  ASSERT_TRUE(fresh.Create(4));  // recreating keeps the peak
  EXPECT_FLOAT_EQ(fresh.GetPeak(), 3.0f);
}
