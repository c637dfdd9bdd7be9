#include <gtest/gtest.h>

#include "ImageFiles.h"
#include "platform/d3dx/Image.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

using platform::d3dx::Image;
using test_images::kPixels;
using test_images::Rgba;

namespace {

void ExpectBgra(const Image& image, UINT x, UINT y, Rgba expected, bool alpha = true) {
  const uint8_t* t = image.Texel(x, y);
  const uint8_t a = alpha ? expected.a : 255;
  EXPECT_EQ(std::tuple(t[0], t[1], t[2], t[3]), std::tuple(expected.b, expected.g, expected.r, a)) << x << "," << y;
}

void ExpectPixels(const Image& image, bool alpha) {
  ASSERT_EQ(std::tuple(image.Width(), image.Height()), std::tuple(2u, 2u));
  for (UINT i = 0; i < 4; ++i) ExpectBgra(image, i % 2, i / 2, kPixels[i], alpha);
}

std::string Png(const std::vector<Rgba>& pixels) {
  std::string out;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
      },
      &out, 2, 2, 4, pixels.data(), 8);
  return out;
}

// The same pixels as one raw run-length packet.
std::string RleTga() {
  std::string tga = test_images::Tga(2, 2, kPixels, true);
  tga[2] = 10;
  tga.insert(18, 1, '\x03');
  return tga;
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
                        {RleTga(), Image::kTga, true},
                        {test_images::Bmp(2, 2, kPixels), Image::kBmp, false},
                        {Png(kPixels), Image::kPng, true}};
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
  std::string png = Png(kPixels);
  png[png.size() / 2] ^= 0x5A;
  const std::string cases[] = {"",
                               "not an image at all",
                               tga.substr(0, 20),
                               RleTga().substr(0, 30),
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
  ASSERT_EQ(std::tuple(half.Width(), half.Height()), std::tuple(2u, 1u));
  EXPECT_EQ(std::tuple(half.Texel(0, 0)[0], half.Texel(1, 0)[3]), std::tuple(50, 228));  // (200 + 255 + 2) / 2 rounded
  const Image one = half.HalfSize();
  EXPECT_EQ(std::tuple(one.Width(), one.Texel(0, 0)[1]), std::tuple(1u, 139));
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
