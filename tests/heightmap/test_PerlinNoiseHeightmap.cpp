#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "heightmap/cNoiseOctave.h"
#include "heightmap/cPerlinNoiseHeightmap.h"

namespace {

std::vector<float> Heights(const cPerlinNoiseHeightmap& heightmap) {
  const size_t count = static_cast<size_t>(heightmap.GetResolution()) * heightmap.GetResolution();
  return std::vector<float>(heightmap.GetHeights(), heightmap.GetHeights() + count);
}

}  // namespace

TEST(PerlinNoiseHeightmap, IntegerNoiseLiesInTheUnitInterval) {
  // r = x (x^2 15731 + 789221) + 1376312589 mod 2^31 with x = n << 13 ^ n, then 1 - r / 2^31.
  EXPECT_NEAR(cNoiseOctave::IntegerNoise(0), 1.0 - 1376312589.0 / 2147483648.0, 1e-7);
  EXPECT_NEAR(cNoiseOctave::IntegerNoise(1), 1.0 - 1316808037.0 / 2147483648.0, 1e-7);  // x = 8193
  for (uint32_t n = 0; n < 100000; n += 7) {
    const float v = cNoiseOctave::IntegerNoise(n * 2654435761u);
    ASSERT_TRUE(v > 0.0f && v <= 1.0f) << n << ": " << v;
  }
}

TEST(PerlinNoiseHeightmap, OctavesFitTheGrid) {
  cPerlinNoiseHeightmap heightmap;
  EXPECT_EQ(std::tuple(heightmap.GetResolution(), heightmap.GetHeights(), heightmap.Update(0.0f)),
            std::tuple(-1, nullptr, false));
  ASSERT_TRUE(heightmap.Initialize(256, 0.5f, 8, 4, false));
  ASSERT_EQ(heightmap.GetOctaveCount(), 5);
  const int expected[] = {10, 20, 40, 81, 163};
  for (int o = 0; o < 5; ++o) EXPECT_EQ(heightmap.GetLatticeSize(o), expected[o]) << o;
  ASSERT_TRUE(heightmap.Initialize(200, 0.5f, 8, 150, false));
  ASSERT_EQ(std::tuple(heightmap.GetResolution(), heightmap.GetOctaveCount()), std::tuple(256, 1));
  EXPECT_EQ(heightmap.GetLatticeSize(0), 256);
  ASSERT_TRUE(heightmap.Initialize(16, 0.5f, 0, -3, false));  // grid size 2, one octave
  cEngineSettings settings{};
  EXPECT_EQ(std::tuple(heightmap.GetOctaveCount(), heightmap.FillSettings(&settings)->heightmapGridSize),
            std::tuple(1, 2));
}

TEST(PerlinNoiseHeightmap, LatticesThatTruncateToNothingKeepOneCell) {
  // N = 2, grid size 1: f = 0.01, lattices trunc(0.02 * 2^o) are 0 up to o = 5,
  // then 1. Persistence 0 leaves octave 0 alone in the sum.
  cPerlinNoiseHeightmap heightmap;
  ASSERT_TRUE(heightmap.Initialize(2, 0.0f, 10, 1, false));
  EXPECT_EQ(heightmap.GetOctaveCount(), 7);
  EXPECT_EQ(heightmap.GetLatticeSize(0), 1);
  for (float t : {0.0f, 0.5f, 1.25f}) {
    ASSERT_TRUE(heightmap.Update(t));
    const std::vector<float> heights = Heights(heightmap);
    ASSERT_GT(heights[0], 0.0f);
    for (float h : heights) ASSERT_FLOAT_EQ(h, heights[0]);  // one cell per octave: a level surface
  }
}

TEST(PerlinNoiseHeightmap, OutputTilesInBothDirections) {
  cPerlinNoiseHeightmap heightmap;
  ASSERT_TRUE(heightmap.Initialize(128, 0.6f, 4, 7, false));
  ASSERT_TRUE(heightmap.Update(2.3f));
  const int n = heightmap.GetResolution();
  const float* h = heightmap.GetHeights();
  float inner = 0.0f, seam = 0.0f;
  for (int a = 0; a < n; ++a) {
    for (int b = 0; b + 1 < n; ++b) {
      inner =
          std::max({inner, std::fabs(h[b * n + a] - h[(b + 1) * n + a]), std::fabs(h[a * n + b] - h[a * n + b + 1])});
    }
    seam = std::max({seam, std::fabs(h[(n - 1) * n + a] - h[a]), std::fabs(h[a * n + n - 1] - h[a * n])});
  }
  ASSERT_GT(inner, 0.0f);
  EXPECT_LE(seam, inner);
}

TEST(PerlinNoiseHeightmap, SquaringComesBeforeTheDivision) {
  // Persistence 0.5 and 4 octaves: amplitude sum 1.875; squared heights are (h * 1.875)^2 / 1.875, saturating at 1.
  cPerlinNoiseHeightmap plain, squared;
  ASSERT_TRUE(plain.Initialize(64, 0.5f, 4, 4, false));
  ASSERT_TRUE(squared.Initialize(64, 0.5f, 4, 4, true));
  for (size_t i = 0; i < 64 * 64; ++i) {
    const float expected = std::min(plain.GetHeights()[i] * plain.GetHeights()[i] * 1.875f, 1.0f);
    ASSERT_NEAR(squared.GetHeights()[i], expected, 1e-5f);
  }
}

// An absurd resolution fails and keeps the generator as it was.
TEST(PerlinNoiseHeightmap, NegativeAndAbsurdTimesStayInRangeAndAbsurdResolutionsFail) {
  cPerlinNoiseHeightmap heightmap;
  ASSERT_TRUE(heightmap.Initialize(32, 0.5f, 3, 4, false));
  for (float t : {-0.3f, -2.75f, -1e-7f, -1e12f, 1e12f, 3.0e38f}) {
    ASSERT_TRUE(heightmap.Update(t)) << t;
    for (float h : Heights(heightmap)) ASSERT_TRUE(h > 0.0f && h <= 1.0f) << t;
  }
  EXPECT_FALSE(heightmap.Update(NAN));
  EXPECT_FALSE(heightmap.Update(INFINITY));
  EXPECT_FALSE(heightmap.Initialize(1 << 24, 0.5f, 3, 4, false));
  EXPECT_FALSE(heightmap.Initialize(0x7FFFFFFF, 0.5f, 3, 4, false));
  EXPECT_EQ(heightmap.GetResolution(), 32);
  EXPECT_TRUE(heightmap.Update(0.5f));
}

TEST(PerlinNoiseHeightmap, TimeFollowsTheCubicThroughFourKeyFrames) {
  // One octave: at an integer time T the surface is key frame T + 1 itself, so
  // stepping through whole times collects the key frames one by one.
  cPerlinNoiseHeightmap keys, between;
  ASSERT_TRUE(keys.Initialize(32, 0.5f, 1, 8, false));
  ASSERT_TRUE(between.Initialize(32, 0.5f, 1, 8, false));
  std::vector<std::vector<float>> key(9);  // key[T] = the lattice sample of integer time T
  for (int t = 0; t <= 7; ++t) {
    ASSERT_TRUE(keys.Update(static_cast<float>(t)));
    key[t + 1] = Heights(keys);
  }
  for (int t = 1; t <= 5; ++t) ASSERT_TRUE(between.Update(static_cast<float>(t)));
  // The table index is trunc(tau * 999.0) in double: at these times the float
  // product rounds up to the next whole number.
  for (float t : {5.2032032f, 5.4024024f, 5.75f}) {
    ASSERT_TRUE(between.Update(t));
    const float tau = t - 5.0f;
    const int m = static_cast<int>(tau * 999.0);
    const float sq = std::pow(m * 0.001f, 2.0f), cu = std::pow(m * 0.001f, 3.0f);
    for (size_t n = 0; n < key[5].size(); ++n) {
      const float q0 = key[5][n], q1 = key[6][n], q2 = key[7][n], q3 = key[8][n];
      const float p = (q3 - q2) - (q0 - q1), q = (q0 - q1) - p, r = q2 - q0;
      const float expected = std::min(p * cu + q * sq + r * tau + q1, 1.0f);
      ASSERT_NEAR(between.GetHeights()[n], expected, 1e-6f) << t << " at " << n;
    }
  }
}
