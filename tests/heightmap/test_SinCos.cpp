#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "heightmap/Simd.h"

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
