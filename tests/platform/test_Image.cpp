#include <gtest/gtest.h>

#include "ImageFiles.h"
#include "PlatformFixture.h"
#include "platform/d3dx/Image.h"

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

class TextureFromFileTest : public platform::testing::PlatformFixture {
 protected:
  // The bytes of one level, B, G, R, A rows from the top.
  std::vector<uint8_t> Level(IDirect3DTexture9* texture, UINT level) {
    const D3DSURFACE_DESC desc = LevelDesc(texture, level);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    std::vector<uint8_t> bytes;
    for (UINT y = 0; y < desc.Height; ++y) {
      const auto* row = static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
      bytes.insert(bytes.end(), row, row + desc.Width * 4);
    }
    EXPECT_EQ(texture->UnlockRect(level), D3D_OK);
    return bytes;
  }

  test_images::TempDir dir_{"texture-from-file"};
};

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

TEST_F(TextureFromFileTest, LoadsTheFileSizeWithAFullMipChain) {
  const std::string path = dir_.Write("sky.tga", test_images::Tga(2, 2, kPixels, false));
  IDirect3DTexture9* texture = nullptr;
  D3DXIMAGE_INFO info{};
  ASSERT_EQ(
      D3DXCreateTextureFromFileExA(device, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8,
                                   D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &texture),
      D3D_OK);
  EXPECT_EQ(std::tuple(info.Width, info.Height, info.ImageFileFormat), std::tuple(2u, 2u, 2u));  // D3DXIFF_TGA
  ASSERT_EQ(Keep(texture)->GetLevelCount(), 2u);
  const D3DSURFACE_DESC desc = LevelDesc(texture);
  EXPECT_EQ(std::tuple(desc.Format, desc.Pool), std::tuple(D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  std::vector<uint8_t> top;
  for (const auto& p : kPixels) top.insert(top.end(), {p.b, p.g, p.r, p.a});
  EXPECT_EQ(Level(texture, 0), top);
  // 1x1: the mean of the four texels, rounded.
  EXPECT_EQ(Level(texture, 1), (std::vector<uint8_t>{(0 + 0 + 255 + 30 + 2) / 4, (0 + 255 + 0 + 20 + 2) / 4,
                                                     (255 + 0 + 0 + 10 + 2) / 4, (255 + 128 + 64 + 0 + 2) / 4}));
}

TEST_F(TextureFromFileTest, WidePathsExplicitSizesAndLevels) {
  dir_.Write("\xC3\xBC" "ber.bmp", test_images::Bmp(2, 2, kPixels));
  const std::string folder = dir_.Path("");
  const std::wstring path = std::wstring(folder.begin(), folder.end()) + L"\u00FCber.bmp";
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(D3DXCreateTextureFromFileExW(device, path.c_str(), 4, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                         D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
            D3D_OK);
  const D3DSURFACE_DESC desc = LevelDesc(Keep(texture));
  EXPECT_EQ(std::tuple(texture->GetLevelCount(), desc.Width, desc.Height), std::tuple(1u, 4u, 8u));
  const std::vector<uint8_t> bytes = Level(texture, 0);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<uint8_t>{0, 0, 255, 255}));
  ASSERT_EQ(D3DXCreateTextureFromFileW(device, path.c_str(), &texture), D3D_OK);
  EXPECT_EQ(Keep(texture)->GetLevelCount(), 2u);
}

TEST_F(TextureFromFileTest, MissingAndBrokenFilesFailWithoutATexture) {
  IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(0x1);
  EXPECT_EQ(D3DXCreateTextureFromFileA(device, dir_.Path("none.tga").c_str(), &texture), D3DERR_NOTFOUND);
  EXPECT_EQ(texture, nullptr);
  const std::string cut = dir_.Write("cut.tga", test_images::Tga(2, 2, kPixels, true).substr(0, 25));
  for (const std::string& path : {dir_.Write("empty.png", ""), cut, dir_.Path("")}) {  // the last one a folder
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, path.c_str(), &texture), D3DXERR_INVALIDDATA) << path;
  }
  EXPECT_EQ(D3DXCreateTextureFromFileA(nullptr, cut.c_str(), &texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture, nullptr);
}
