#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/Saturate.h"

namespace {

TEST(Saturate, ClampsInFloatThenTruncates) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const struct { float value; int expected; } cases[] = {
      {0.0f, 0}, {-0.9f, 0}, {2.99f, 2}, {-2.99f, -2}, {std::nanf(""), 0},
      {2147483520.0f, 2147483520},  // the largest float that fits
      {2147483648.0f, 2147483520}, {1e30f, 2147483520}, {kInf, 2147483520},
      {-2147483648.0f, INT32_MIN}, {-1e30f, INT32_MIN}, {-kInf, INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(SaturateToInt(c.value), c.expected) << c.value;
}

}  // namespace
