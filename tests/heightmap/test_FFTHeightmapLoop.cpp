#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "heightmap/cFFTHeightmap.h"

namespace {

const D3DXVECTOR2 kWind(1.0f, 1.0f);

std::vector<float> HeightsAt(cFFTHeightmap& heightmap, float time) {
  EXPECT_TRUE(heightmap.Update(time));
  const int n = heightmap.GetResolution();
  return std::vector<float>(heightmap.GetHeights(), heightmap.GetHeights() + n * n);
}

bool Identical(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

struct QuantiseCase {
  float frequency;
  float period;
};

// Every frequency lands on a multiple of 2 pi / period, at most half a quantum away.
TEST(FFTHeightmapLoop, FrequenciesMoveAtMostHalfAQuantum) {
  const QuantiseCase cases[] = {{0.0f, 10.0f}, {0.3f, 10.0f}, {0.314f, 10.0f}, {0.32f, 10.0f}, {9.81f, 10.0f},
                                {75.0f, 12.0f}, {75.0f, 0.5f}, {3.0f, 1000.0f}, {1.0f, 0.01f}};
  for (const QuantiseCase& c : cases) {
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

// The wrap is invisible: the step from just before the period to the period is
// as small as any other step of the same length. Without quantised
// frequencies it would be a jump to an unrelated sea.
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

}  // namespace
