// Small base pieces: the exception's message, float-to-int saturation and box culling.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "../geometry/GeometryTestSupport.h"
#include "base/IsBoxVisible.h"
#include "base/Saturate.h"
#include "base/cException.h"

namespace {

TEST(Exception, KeepsMessageUpTo254Characters) {
  EXPECT_STREQ(cException(L"Device lost").GetMessage(), L"Device lost");
  EXPECT_STREQ(cException(nullptr).GetMessage(), L"Unknown exception. Closing Application");
  const std::wstring exact(254, L'a');
  EXPECT_EQ(cException(exact.c_str()).GetMessage(), exact);
  EXPECT_EQ(cException((exact + L"cut").c_str()).GetMessage(), exact);
}

TEST(Saturate, ClampsInFloatThenTruncates) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const struct { float value; int expected; } cases[] = {
      {0.0f, 0}, {-0.9f, 0}, {2.99f, 2}, {-2.99f, -2}, {std::nanf(""), 0},
      {2147483520.0f, 2147483520},  // the largest float that fits
      {2147483648.0f, 2147483520}, {1e30f, 2147483520}, {kInf, 2147483520},
      {-2147483648.0f, INT32_MIN}, {-1e30f, INT32_MIN}, {-kInf, INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(SaturateToInt(c.value), c.expected) << c.value;
}

TEST(IsBoxVisible, CullsOnlyBoxesWhollyBeyondOnePlane) {
  // From the origin along +z, near plane 1, far 1000.
  const D3DXMATRIX m = LookAt(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1));
  const struct { D3DXVECTOR3 min, max; bool visible; } cases[] = {
      {{-1, -1, 10}, {1, 1, 12}, true},
      {{-5, -5, -10}, {5, 5, -2}, false},          // behind the camera
      {{-0.1f, -0.1f, 0.6f}, {0.1f, 0.1f, 0.9f}, false},  // before the near plane, within w of it
      {{-50, -1, 10}, {-20, 1, 12}, false},        // left of the view
      {{-1, -1, 2000}, {1, 1, 3000}, false},       // beyond the far plane
      // No corner inside, but not all beyond the same plane.
      {{-100, -100, 10}, {100, 100, 20}, true}, {{-500, -1, -500}, {500, 0, 500}, true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsBoxVisible(c.min, c.max, &m), c.visible) << c.min.x << "," << c.min.z;
  EXPECT_TRUE(IsBoxVisible(D3DXVECTOR3(1e9f, 1e9f, 1e9f), D3DXVECTOR3(2e9f, 2e9f, 2e9f), nullptr));
}

}  // namespace
