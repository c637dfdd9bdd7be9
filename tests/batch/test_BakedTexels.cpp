#include <gtest/gtest.h>

#include <limits>

#include "batch/BakedTexels.h"

namespace {

// Normal components and heights saturate into their texels: slightly long
// normals stay at the end instead of wrapping to 0, heights round, NaN gives 0.
TEST(BakedTexels, NormalComponentsAndHeightsSaturate) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  const struct {
    float value;
    int normal, height;
  } cases[] = {
      {0.0f, 128, 0},       {1.0f, 255, 65535},  {-1.0f, 1, 0},           {0.5f, 191, 32768}, {-0.5f, 64, 0},
      {1.01f, 255, 65535},  {-1.01f, 0, 0},      {-3.0f, 0, 0},           {7.0f, 255, 65535}, {1e30f, 255, 65535},
      {kInfinity, 255, 65535}, {-kInfinity, 0, 0}, {kNaN, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalTexel(c.value), c.normal) << c.value;
    EXPECT_EQ(HeightTexel(c.value), c.height) << c.value;
  }
}

}  // namespace
