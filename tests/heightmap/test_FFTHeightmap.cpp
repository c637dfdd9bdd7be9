#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "settings/TypeIds.h"
#include "heightmap/cFFTHeightmap.h"
#include "heightmap/cRandom.h"
#include "heightmap/Simd.h"

namespace {

const D3DXVECTOR2 kWind(1.0f, 1.0f);

std::vector<float> Heights(const cFFTHeightmap& heightmap) {
  const size_t count = static_cast<size_t>(heightmap.GetResolution()) * heightmap.GetResolution();
  return std::vector<float>(heightmap.GetHeights(), heightmap.GetHeights() + count);
}

std::vector<float> HeightsAt(cFFTHeightmap& heightmap, float time) {
  EXPECT_TRUE(heightmap.Update(time));
  return Heights(heightmap);
}

bool Identical(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

}  // namespace

TEST(Random, MatchesTheRuntimeSequence) {
  cRandom random;
  random.Seed(1);
  for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464})
    EXPECT_EQ(random.Next(), expected);
  EXPECT_EQ(cRandom::SeedFromTime(0x01020304u), ((4u * 257 + 3) * 257 + 2) * 257 + 1);
}

TEST(FFTHeightmap, SpectrumTakesTheFirstGaussiansInLoopOrder) {
  cFFTHeightmap heightmap;
  ASSERT_TRUE(heightmap.Initialize(8, 4, &kWind, 4.0f, 1));
  // Seed 1 draws 41, 18467 (rejected: outside the unit circle), then 6334, 26500 for the first value and 19169, 15724
  // for the second. Element (0, 0) holds (second, first), both times the same amplitude.
  const auto gaussian = [](int a, int b) {
    const float x1 = a * 6.1035156e-5f - 1.0f, x2 = b * 6.1035156e-5f - 1.0f;
    const float w = x2 * x2 + x1 * x1;
    return x1 * std::sqrt(-2.0f * std::log(w) / w);
  };
  const std::complex<float> h0 = heightmap.GetInitialSpectrum()[0];
  ASSERT_NE(h0.real(), 0.0f);
  EXPECT_NEAR(h0.imag() / h0.real(), gaussian(6334, 26500) / gaussian(19169, 15724), 1e-5);
  cFFTHeightmap same, other;
  ASSERT_TRUE(same.Initialize(8, 4, &kWind, 4.0f, 1));
  ASSERT_TRUE(other.Initialize(8, 4, &kWind, 4.0f, 2));
  EXPECT_EQ(Heights(same), Heights(heightmap));
  EXPECT_NE(Heights(other), Heights(heightmap));
}

TEST(FFTHeightmap, PolarMethodDrawsAgainOnTheCentre) {
  // This seed's first two draws are both 16384: x1 = x2 = 0, w = 0.
  cRandom random;
  random.Seed(163906254u);
  ASSERT_EQ(random.Next(), 16384);
  ASSERT_EQ(random.Next(), 16384);
  cFFTHeightmap heightmap;
  ASSERT_TRUE(heightmap.Initialize(16, 4, &kWind, 4.0f, 163906254u));
  for (float h : Heights(heightmap)) ASSERT_TRUE(std::isfinite(h));
}

// An absurd resolution fails and keeps the generator as it was.
TEST(FFTHeightmap, InitializeRoundsTheResolutionClampsParametersAndRefusesAbsurdSizes) {
  cFFTHeightmap heightmap;
  EXPECT_EQ(std::tuple(heightmap.GetResolution(), heightmap.GetHeights()), std::tuple(-1, nullptr));
  EXPECT_FALSE(heightmap.Update(0.0f));
  EXPECT_FALSE(heightmap.Initialize(8, 4, nullptr, 4.0f));
  for (auto [asked, resolution] : {std::pair{1000, 1024}, std::pair{0, 2}, std::pair{1, 2}}) {
    ASSERT_TRUE(heightmap.Initialize(asked, 4, &kWind, 4.0f));
    EXPECT_EQ(heightmap.GetResolution(), resolution);
  }
  cEngineSettings settings{};
  for (int gridSize : {0, -7}) {
    ASSERT_TRUE(heightmap.Initialize(16, gridSize, &kWind, -3.0f));
    heightmap.FillSettings(&settings);
    EXPECT_EQ(settings.heightmapGridSize, 2);
    EXPECT_FLOAT_EQ(settings.fftAmplitude, 0.0001f);
  }
  ASSERT_TRUE(heightmap.Initialize(32, 4, &kWind, 4.0f));
  const std::vector<float> before = Heights(heightmap);
  EXPECT_FALSE(heightmap.Initialize(1 << 20, 4, &kWind, 4.0f));
  EXPECT_FALSE(heightmap.Initialize(0x7FFFFFFF, 4, &kWind, 4.0f));
  EXPECT_EQ(std::tuple(heightmap.GetResolution(), Heights(heightmap)), std::tuple(32, before));
  EXPECT_TRUE(heightmap.Update(1.0f));
}

TEST(FFTHeightmap, FlatFieldsNormaliseToOneHalf) {
  // No amplitude, or no wind: no waves, and no NaN from the directional term.
  for (const D3DXVECTOR2& wind : {kWind, D3DXVECTOR2(0.0f, 0.0f)}) {
    cFFTHeightmap heightmap;
    ASSERT_TRUE(heightmap.Initialize(16, 4, &wind, wind.x == 0.0f ? 4.0f : 0.0f));
    for (float h : Heights(heightmap)) ASSERT_FLOAT_EQ(h, 0.5f);
    EXPECT_FLOAT_EQ(heightmap.GetPeak(), 0.0f);
  }
}

TEST(FFTHeightmap, LongWavesAndOddExponentsStayFinite) {
  cFFTHeightmap heightmap;
  heightmap.SetSmoothness(3.0f);  // q^3 < 0 for waves along the wind
  ASSERT_TRUE(heightmap.Initialize(32, 200, &kWind, 4.0f));
  const int n = 32;
  const float spacing = 6.2831855f / 200;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const float kx = (i - n / 2) * spacing, kz = (j - n / 2) * spacing;
      if (std::sqrt(kx * kx + kz * kz) < 0.1f) {
        EXPECT_EQ(heightmap.GetInitialSpectrum()[i * n + j], 0.0f);
      }
    }
  }
  EXPECT_EQ(heightmap.GetSpectrum()[(n / 2) * n + n / 2], 0.0f);
  for (float h : Heights(heightmap)) ASSERT_TRUE(std::isfinite(h));
}

TEST(FFTHeightmap, SpectrumEvolvesWithTheMirroredConjugate) {
  const int gridSize = 8;
  for (int n : {2, 4, 16}) {
    cFFTHeightmap heightmap;
    ASSERT_TRUE(heightmap.Initialize(n, gridSize, &kWind, 4.0f, 42));
    for (float t : {0.0f, 3.7f, -12.25f, 5000.0f, 1e9f}) {
      ASSERT_TRUE(heightmap.Update(t));
      const float time = t + 10000.0f;
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          const float kx = (i - n * 0.5f) * (6.2831855f / gridSize), kz = (j - n * 0.5f) * (6.2831855f / gridSize);
          const float phase = time * std::sqrt(std::sqrt(kx * kx + kz * kz) * 9.81f);
          const std::complex<double> a = heightmap.GetInitialSpectrum()[i * n + j];
          const std::complex<double> mirror = std::conj(heightmap.GetInitialSpectrum()[(n - 1 - i) * n + (n - 1 - j)]);
          const std::complex<double> expected =
              a * std::polar(1.0, double(phase)) + mirror * std::polar(1.0, -double(phase));
          const std::complex<float> actual = heightmap.GetSpectrum()[i * n + j];
          ASSERT_NEAR(actual.real(), expected.real(), 1e-5 * (1 + std::abs(expected))) << t << " " << i << "," << j;
          ASSERT_NEAR(actual.imag(), expected.imag(), 1e-5 * (1 + std::abs(expected))) << t << " " << i << "," << j;
        }
      }
    }
  }
}

TEST(FFTHeightmap, FixedAndAutomaticNormalisationShareTheRawField) {
  cFFTHeightmap heightmap;
  ASSERT_TRUE(heightmap.Initialize(64, 4, &kWind, 4.0f, 7));
  const std::vector<float> automatic = Heights(heightmap);
  const float peak = heightmap.GetPeak();
  ASSERT_GT(peak, 0.0f);
  // Automatic mode spans the peak: some height reaches 0 or 1.
  float lowest = 1.0f, highest = 0.0f;
  for (float h : automatic) lowest = std::min(lowest, h), highest = std::max(highest, h);
  EXPECT_TRUE(lowest < 1e-5f || highest > 1.0f - 1e-5f);
  const float s = peak * 0.5f;
  heightmap.SetNormalization(s);
  ASSERT_TRUE(heightmap.Update(0.0f));
  EXPECT_FLOAT_EQ(heightmap.GetPeak(), peak);
  int clamped = 0;
  for (size_t n = 0; n < automatic.size(); ++n) {
    const float raw = automatic[n] * 2.0f * (peak + 0.000001f) - (peak + 0.000001f);
    const float expected = std::clamp((s + raw) / (s + s), 0.0f, 1.0f);
    ASSERT_NEAR(heightmap.GetHeights()[n], expected, 1e-4f);
    clamped += expected == 0.0f || expected == 1.0f;
  }
  EXPECT_GT(clamped, 0);
}

// Every field it owns, and no other byte.
TEST(FFTHeightmap, FillSettingsWritesItsOwnFieldsOnly) {
  cFFTHeightmap heightmap;
  heightmap.SetSmoothness(4.0f);
  const D3DXVECTOR2 wind(2.5f, -1.5f);
  ASSERT_TRUE(heightmap.Initialize(100, 6, &wind, 3.0f));
  heightmap.SetNormalization(2.0f);
  cEngineSettings settings, expected;
  std::memset(&settings, 0x5A, sizeof settings);
  std::memset(&expected, 0x5A, sizeof expected);
  expected.integerHeightmapTextureFormat = true; expected.heightmapResolution = 128; expected.heightmapGridSize = 6;
  expected.windX = 2.5f; expected.windZ = -1.5f; expected.fftAmplitude = 3.0f;
  expected.fftNormalizationFactor = 2.0f; expected.fftSmoothness = 4.0f;
  ASSERT_EQ(heightmap.FillSettings(&settings), &settings);
  EXPECT_EQ(std::tuple(std::memcmp(&settings, &expected, sizeof settings), heightmap.GetTypeId()),
            std::tuple(0, HEIGHTMAP_FFT));
}

// Every frequency lands on a multiple of 2 pi / period, at most half a quantum away.
TEST(FFTHeightmapLoop, FrequenciesMoveAtMostHalfAQuantum) {
  const struct { float frequency, period; } cases[] = {
      {0.0f, 10.0f},  {0.3f, 10.0f}, {0.314f, 10.0f},  {0.32f, 10.0f}, {9.81f, 10.0f},
      {75.0f, 12.0f}, {75.0f, 0.5f}, {3.0f, 1000.0f}, {1.0f, 0.01f}};
  for (const auto& c : cases) {
    const double quantum = 2.0 * std::numbers::pi / c.period;
    const double quantised = cFFTHeightmap::QuantiseFrequency(c.frequency, c.period);
    const double multiple = quantised / quantum;
    EXPECT_NEAR(multiple, std::round(multiple), 1e-4) << c.frequency << " " << c.period;
    EXPECT_LE(std::fabs(quantised - c.frequency), quantum / 2 * (1 + 1e-6)) << c.frequency << " " << c.period;
  }
  EXPECT_EQ(cFFTHeightmap::QuantiseFrequency(1.2345f, 0.0f), 1.2345f);
}

// Frame 0 and the frame one period later are the same heights, bit for bit,
// and so is every frame one period on; in between the sea moves.
TEST(FFTHeightmapLoop, AnimationRepeatsExactlyEveryPeriod) {
  for (float period : {2.0f, 7.5f, 12.0f}) {
    cFFTHeightmap heightmap;
    heightmap.SetLoopPeriod(period);
    ASSERT_TRUE(heightmap.Initialize(32, 4, &kWind, 4.0f, 99));
    heightmap.SetNormalization(30.0f);  // the automatic scale only grows, so it is not periodic
    const std::vector<float> start = HeightsAt(heightmap, 0.0f);
    const std::vector<float> quarter = HeightsAt(heightmap, period * 0.25f);
    EXPECT_FALSE(Identical(start, quarter)) << period;
    EXPECT_TRUE(Identical(start, HeightsAt(heightmap, period))) << period;
    EXPECT_TRUE(Identical(start, HeightsAt(heightmap, 3 * period))) << period;
    EXPECT_TRUE(Identical(quarter, HeightsAt(heightmap, period * 1.25f))) << period;
  }
}

double MeanStep(const std::vector<float>& a, const std::vector<float>& b) {
  double sum = 0.0;
  for (size_t i = 0; i < a.size(); ++i) sum += std::fabs(a[i] - b[i]);
  return sum / a.size();
}

// The wrap is invisible: the step from just before the period to the period is as small as any other step of the same
// length. Without quantised frequencies it would be a jump to an unrelated sea.
TEST(FFTHeightmapLoop, MotionContinuesAcrossTheWrap) {
  const float period = 6.0f, step = period / 100.0f;
  cFFTHeightmap heightmap;
  heightmap.SetLoopPeriod(period);
  ASSERT_TRUE(heightmap.Initialize(64, 8, &kWind, 4.0f, 17));
  heightmap.SetNormalization(40.0f);
  const double across = MeanStep(HeightsAt(heightmap, period - step), HeightsAt(heightmap, period));
  const double inside = MeanStep(HeightsAt(heightmap, 2.0f), HeightsAt(heightmap, 2.0f + step));
  ASSERT_GT(inside, 0.0);
  EXPECT_LT(across / inside, 1.5);
  EXPECT_GT(across / inside, 0.67);
}

// Looping is opt-in: without a period the dispersion relation is untouched,
// so the sea one "period" later differs, and a zero or invalid period is off.
TEST(FFTHeightmapLoop, NoPeriodKeepsTheUnquantisedOcean) {
  for (float period : {0.0f, -3.0f, NAN, INFINITY}) {
    cFFTHeightmap looped, plain;
    looped.SetLoopPeriod(period);
    EXPECT_EQ(looped.GetLoopPeriod(), 0.0f);
    ASSERT_TRUE(looped.Initialize(16, 4, &kWind, 4.0f, 5));
    ASSERT_TRUE(plain.Initialize(16, 4, &kWind, 4.0f, 5));
    EXPECT_TRUE(Identical(HeightsAt(looped, 2.0f), HeightsAt(plain, 2.0f)));
  }
  cFFTHeightmap plain;
  ASSERT_TRUE(plain.Initialize(16, 4, &kWind, 4.0f, 5));
  EXPECT_FALSE(Identical(HeightsAt(plain, 0.0f), HeightsAt(plain, 2.0f)));
}

TEST(SinCos, WithinFloatRoundingUpToTheLimit) {
  std::mt19937 generator(11);
  double worst = 0.0;
  for (int exponent = -4; exponent <= 29; ++exponent) {
    std::uniform_real_distribution<float> argument(-std::ldexp(1.0f, exponent), std::ldexp(1.0f, exponent));
    for (int i = 0; i < 2000; ++i) {
      v4sf x;
      for (int lane = 0; lane < 4; ++lane) {
        x[lane] = argument(generator);
        if (!(std::fabs(x[lane]) < kSinCosLimit)) x[lane] = 0.0f;
      }
      v4sf s, c;
      SinCos4(x, &s, &c);
      for (int lane = 0; lane < 4; ++lane) {
        worst = std::max(worst, std::fabs(s[lane] - std::sin(static_cast<double>(x[lane]))));
        worst = std::max(worst, std::fabs(c[lane] - std::cos(static_cast<double>(x[lane]))));
      }
    }
  }
  EXPECT_LT(worst, 1.5e-7);  // two float ulps at magnitude 1
}
