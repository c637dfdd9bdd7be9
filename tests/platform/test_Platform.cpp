#include <cstdio>
#include <fstream>
#include <iterator>

#include "HeadlessDevice.h"

namespace platform::testing {
namespace {

using PlatformCalls = HeadlessDevice;

TEST_F(PlatformCalls, HeadlessHasNoPixelsToRead) {
  std::vector<uint8_t> bgra;
  UINT width = 0, height = 0;
  EXPECT_FALSE(ReadBackBuffer(device, bgra, width, height));
  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                  nullptr),
            D3D_OK);
  EXPECT_FALSE(ReadTexture(target, 0, bgra));
  EXPECT_FALSE(ReadTexture(target, 1, bgra));
  target->Release();
}

TEST(SavePng, WritesAPngAndRefusesShortPixelData) {
  const std::string path = ::testing::TempDir() + "stand_in_save.png";
  const std::vector<uint8_t> bgra = {0, 0, 255, 255, 0, 255, 0, 255};
  ASSERT_TRUE(SavePng(path.c_str(), bgra, 2, 1));
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
  std::remove(path.c_str());
  EXPECT_FALSE(SavePng(path.c_str(), bgra, 2, 2));
  EXPECT_FALSE(SavePng(nullptr, bgra, 2, 1));
}

}  // namespace
}  // namespace platform::testing
