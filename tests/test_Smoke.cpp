#include <gtest/gtest.h>

#include "platform/d3d9.h"

TEST(Platform, HresultValues) {
  EXPECT_EQ(static_cast<uint32_t>(D3DERR_DEVICELOST), 0x88760868u);
  EXPECT_EQ(static_cast<uint32_t>(D3DERR_INVALIDCALL), 0x8876086Cu);
  EXPECT_EQ(D3DFMT_A8R8G8B8, 21u);
  EXPECT_EQ(D3DTS_WORLD, 256u);
}
