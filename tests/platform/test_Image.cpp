#include <gtest/gtest.h>

#include "ImageFiles.h"
#include "platform/d3dx/Image.h"

using platform::d3dx::Image;
using test_images::kPixels;
using test_images::Rgba;

namespace {

void ExpectBgra(const Image& image, UINT x, UINT y, Rgba expected, bool alpha = true) {
  const uint8_t* texel = image.Texel(x, y);
  EXPECT_EQ(texel[0], expected.b) << x << "," << y;
  EXPECT_EQ(texel[1], expected.g) << x << "," << y;
  EXPECT_EQ(texel[2], expected.r) << x << "," << y;
  EXPECT_EQ(texel[3], alpha ? expected.a : 255) << x << "," << y;
}

void ExpectPixels(const Image& image, bool alpha) {
  ASSERT_EQ(image.Width(), 2u);
  ASSERT_EQ(image.Height(), 2u);
  for (UINT i = 0; i < 4; ++i) ExpectBgra(image, i % 2, i / 2, kPixels[i], alpha);
}

}  // namespace

TEST(Image, DecodesEveryFormatAsBgraTopRowFirst) {
  struct Case {
    std::string bytes;
    DWORD format;
    bool alpha;
  };
  const Case cases[] = {{test_images::Tga(2, 2, kPixels, true), Image::kTga, true},
                        {test_images::Tga(2, 2, kPixels, false), Image::kTga, true},
                        {test_images::RleTga(), Image::kTga, true},
                        {test_images::Bmp(2, 2, kPixels), Image::kBmp, false},
                        {test_images::Png(), Image::kPng, true}};
  for (const Case& c : cases) {
    Image image;
    ASSERT_EQ(Image::Decode(c.bytes, image), D3D_OK);
    EXPECT_EQ(image.Format(), c.format);
    ExpectPixels(image, c.alpha);
  }
}

TEST(Image, DamagedDataIsRefused) {
  const std::string tga = test_images::Tga(2, 2, kPixels, true);
  std::string huge = test_images::Tga(2, 2, kPixels, true);
  huge[12] = huge[13] = huge[14] = huge[15] = static_cast<char>(0xFF);  // 65535 x 65535
  std::string png = test_images::Png();
  png[png.size() / 2] ^= 0x5A;
  const std::string cases[] = {"",
                               "not an image at all",
                               tga.substr(0, 20),
                               test_images::RleTga().substr(0, 30),
                               huge,
                               png,
                               test_images::Bmp(2, 2, kPixels).substr(0, 30)};
  for (const std::string& bytes : cases) {
    Image image;
    EXPECT_EQ(Image::Decode(bytes, image), D3DXERR_INVALIDDATA) << bytes.size();
  }
}

TEST(Image, HalfSizeAveragesBoxesDownToOneTexel) {
  Image image(4, 1);
  const uint8_t values[4] = {0, 100, 200, 255};
  for (UINT x = 0; x < 4; ++x) std::fill(image.Texel(x, 0), image.Texel(x, 0) + 4, values[x]);
  const Image half = image.HalfSize();
  ASSERT_EQ(half.Width(), 2u);
  ASSERT_EQ(half.Height(), 1u);
  EXPECT_EQ(half.Texel(0, 0)[0], 50);
  EXPECT_EQ(half.Texel(1, 0)[3], 228);  // (200 + 255 + 2) / 2 rounded
  const Image one = half.HalfSize();
  EXPECT_EQ(one.Width(), 1u);
  EXPECT_EQ(one.Texel(0, 0)[1], 139);
}

TEST(Image, ResizeKeepsCornersAndColorKeyClearsMatches) {
  Image image;
  ASSERT_EQ(Image::Decode(test_images::Tga(2, 2, kPixels, true), image), D3D_OK);
  const Image big = image.Resized(8, 4);
  ASSERT_EQ(big.Width(), 8u);
  ExpectBgra(big, 0, 0, kPixels[0]);
  ExpectBgra(big, 7, 3, kPixels[3]);
  image.ApplyColorKey(D3DCOLOR_ARGB(128, 0, 255, 0));
  ExpectBgra(image, 1, 0, {0, 0, 0, 0});
  ExpectBgra(image, 0, 0, kPixels[0]);
}
