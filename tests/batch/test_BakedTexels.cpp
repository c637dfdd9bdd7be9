#include <gtest/gtest.h>

#include <limits>

#include "batch/BakedTexels.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

TEST(BakedTexels, NormalComponentsSaturate) {
  struct Case {
    float component;
    int texel;
  } const cases[] = {
      {0.0f, 128}, {1.0f, 255},     {-1.0f, 1},        {0.5f, 191},   {-0.5f, 64},
      // Slightly long normals stay at the end instead of wrapping to 0.
      {1.01f, 255}, {-1.01f, 0},    {1e30f, 255},      {kInfinity, 255}, {-kInfinity, 0},
      {kNaN, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.component);
    EXPECT_EQ(NormalTexel(c.component), c.texel);
  }
}

TEST(BakedTexels, HeightsRoundIntoSixteenBits) {
  struct Case {
    float height;
    int grey;
  } const cases[] = {
      {0.0f, 0},     {1.0f, 65535},    {0.5f, 32768},  {-3.0f, 0},
      {7.0f, 65535}, {kInfinity, 65535}, {kNaN, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    EXPECT_EQ(HeightTexel(c.height), c.grey);
  }
}

}  // namespace
