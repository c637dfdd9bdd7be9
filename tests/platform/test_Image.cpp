// Each image format through its reader: the kinds real files come in, damaged shapes that made earlier decoders
// misbehave, the image operations and the D3DX texture loaders on top of them.
#include <gtest/gtest.h>

#include <cstring>

#include "ImageFiles.h"
#include "PlatformFixture.h"
#include "platform/d3dx/Image.h"

using platform::d3dx::Image;
using platform::testing::WriteFile;
using test_images::File;
using test_images::kPixels;
using test_images::Rgba;

namespace {

struct Texel {
  UINT x, y;
  D3DCOLOR argb;
};

// The four texels of a 2x2 image of `pixels`; without alpha they are opaque.
std::vector<Texel> Square(const std::vector<Rgba>& pixels, bool alpha = true) {
  std::vector<Texel> texels;
  for (UINT i = 0; i < 4; ++i) {
    const Rgba& p = pixels[i];
    texels.push_back({i % 2, i / 2, D3DCOLOR_ARGB(alpha ? p.a : 255, p.r, p.g, p.b)});
  }
  return texels;
}

// Image texels are B, G, R, A bytes, as D3DCOLOR in memory.
void ExpectTexels(const Image& image, const std::vector<Texel>& texels, int tolerance = 0) {
  for (const Texel& texel : texels) {
    const uint8_t* t = image.Texel(texel.x, texel.y);
    for (int c = 0; c < 4; ++c) {
      EXPECT_NEAR(t[c], static_cast<int>((texel.argb >> (8 * c)) & 0xFF), tolerance)
          << texel.x << "," << texel.y << " byte " << c;
    }
  }
}

// The file with one marker segment (FF xx and its length) taken out.
std::string WithoutSegment(const std::string& jpeg, unsigned char marker) {
  const size_t at = jpeg.find(std::string{'\xFF', static_cast<char>(marker)});
  if (at == std::string::npos) return jpeg;
  const size_t length = static_cast<uint8_t>(jpeg[at + 2]) << 8 | static_cast<uint8_t>(jpeg[at + 3]);
  return jpeg.substr(0, at) + jpeg.substr(at + 2 + length);
}

}  // namespace

// Every reader checks its header and data before reading them: each shorter piece of a good file is refused.
TEST(ImageReaders, EveryKindDecodesTopRowFirstAndEveryTruncationIsRefused) {
  struct Decoded {
    DWORD format;
    UINT width, height;
    std::vector<Texel> texels;
    int tolerance;
  };
  const std::vector<Texel> halves = {{2, 8, 0xFFFF0000}, {13, 8, 0xFF0000FF}};  // left red, right blue
  const Decoded expected[] = {{Image::kTga, 2, 2, Square(kPixels), 0},
                              {Image::kTga, 2, 2, Square(kPixels), 0},
                              {Image::kTga, 2, 2, Square(kPixels), 0},
                              {Image::kBmp, 2, 2, Square(kPixels, false), 0},
                              {Image::kBmp, 2, 2, Square(test_images::kPrimaries, false), 0},
                              {Image::kBmp, 2, 2, Square(test_images::kPrimaries, false), 0},
                              {Image::kBmp, 4, 2, {{3, 0, 0xFFFF0000}, {0, 1, 0xFF0000FF}}, 0},
                              {Image::kPng, 2, 2, Square(kPixels), 0},
                              {Image::kJpg, 16, 16, halves, 8},
                              {Image::kJpg, 16, 16, halves, 8}};
  const std::vector<test_images::NamedImage> files = test_images::EveryKind();
  ASSERT_EQ(files.size(), std::size(expected));
  for (size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i].name);
    const Decoded& e = expected[i];
    Image whole;
    ASSERT_EQ(Image::Decode(files[i].bytes, whole), D3D_OK);
    EXPECT_EQ(std::tuple(whole.Format(), whole.Width(), whole.Height()), std::tuple(e.format, e.width, e.height));
    ExpectTexels(whole, e.texels, e.tolerance);
    for (size_t length = 0; length < files[i].bytes.size(); ++length) {
      Image image;
      EXPECT_EQ(Image::Decode(files[i].bytes.substr(0, length), image), D3DXERR_INVALIDDATA) << length;
    }
  }
}

// Damaged files that are not a shorter piece of a good one.
TEST(ImageReaders, DamagedOrForeignFilesAreRefused) {
  const std::string jpeg = File("baseline.jpg"), progressive = File("progressive.jpg");
  std::string hugeTga = File("top-down.tga");
  hugeTga[12] = hugeTga[13] = hugeTga[14] = hugeTga[15] = static_cast<char>(0xFF);  // 65535 x 65535
  std::string flippedPng = File("rgba.png");
  flippedPng[flippedPng.size() / 2] ^= 0x5A;
  // File and OS/2 headers claiming 8192 x 8192 in 32 bytes.
  const std::string os2Giant =
      std::string("BM\x20\0\0\0\0\0\0\0\x1A\0\0\0\x0C\0\0\0\0\x20\0\x20\x01\0\x20\0", 26) + std::string(6, '\0');
  // Huffman counts summing to more than 256 codes, in a file that otherwise looks whole.
  std::string badCounts = std::string("\xFF\xD8\xFF\xC4\x00\x13\x00", 7) + std::string(16, '\x20');
  badCounts += std::string("\xFF\xDA\x00\x02\xFF\xD9", 6);
  // A chunk claiming a gigabyte right after the header.
  std::string giantChunk = std::string("\x89PNG\r\n\x1a\n\x00\x00\x00\x0DIHDR", 16);
  giantChunk += std::string("\x00\x00\x00\x02\x00\x00\x00\x02\x08\x06\x00\x00\x00", 13) + "CRC!";
  giantChunk += std::string("\x40\x00\x00\x00IDAT", 8) + "tiny";
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"text", "not an image at all"},
      {"tga claiming 65535 x 65535", hugeTga},
      {"png with a flipped byte", flippedPng},
      {"jpeg cut in its scan, end marker appended", jpeg.substr(0, jpeg.size() * 2 / 3) + "\xFF\xD9"},
      {"progressive jpeg without its last scan", progressive.substr(0, progressive.rfind("\xFF\xDA")) + "\xFF\xD9"},
      {"huffman counts above 256", badCounts},
      {"jpeg without its quantisation tables", WithoutSegment(WithoutSegment(jpeg, 0xDB), 0xDB)},
      {"png chunk of a gigabyte", giantChunk},
      {"os/2 bmp claiming 8192 x 8192", os2Giant},
      {"gif", std::string("GIF89a\x02\x00\x02\x00\x80\x00\x00", 13) + std::string(40, '\0')},
      {"pnm", "P6\n2 2\n255\n" + std::string(12, '\x7F')},
  };
  for (const auto& c : cases) {
    Image image;
    EXPECT_EQ(Image::Decode(c.bytes, image), D3DXERR_INVALIDDATA) << c.what;
  }
}

TEST(ImageReaders, AScanWithAnUndefinedTableDecodesTheSameEveryTimeOrIsRefused) {
  const std::string noTables = WithoutSegment(WithoutSegment(File("baseline.jpg"), 0xC4), 0xC4);
  Image first, second;
  const HRESULT hr = Image::Decode(noTables, first);
  ASSERT_EQ(Image::Decode(noTables, second), hr);
  if (SUCCEEDED(hr)) {
    for (UINT y = 0; y < first.Height(); ++y)
      for (UINT x = 0; x < first.Width(); ++x)
        ASSERT_EQ(std::memcmp(first.Texel(x, y), second.Texel(x, y), 4), 0) << x << "," << y;
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
  ASSERT_EQ(Image::Decode(File("top-down.tga"), image), D3D_OK);
  const Image big = image.Resized(8, 4);
  ASSERT_EQ(big.Width(), 8u);
  const std::vector<Texel> corners = Square(kPixels);
  ExpectTexels(big, {{0, 0, corners[0].argb}, {7, 3, corners[3].argb}});
  image.ApplyColorKey(D3DCOLOR_ARGB(128, 0, 255, 0));
  ExpectTexels(image, {{1, 0, 0}, corners[0]});
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
  ScratchFolder dir_;
};

TEST_F(TextureFromFileTest, LoadsTheFileSizeWithAFullMipChain) {
  const std::string path = WriteFile(dir_, "sky.tga", File("bottom-up.tga"));
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
  for (const Rgba& p : kPixels) top.insert(top.end(), {p.b, p.g, p.r, p.a});
  EXPECT_EQ(Level(texture, 0), top);
  EXPECT_EQ(Level(texture, 1), (std::vector<uint8_t>{71, 69, 66, 112}));  // the rounded mean of kPixels
}

TEST_F(TextureFromFileTest, WidePathsExplicitSizesAndLevels) {
  WriteFile(dir_, "\xC3\xBC" "ber.bmp", File("bottom-up.bmp"));
  const std::wstring path = dir_.Path().wstring() + L"/\u00FCber.bmp";
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
  EXPECT_EQ(D3DXCreateTextureFromFileA(device, dir_.File("none.tga").c_str(), &texture), D3DERR_NOTFOUND);
  EXPECT_EQ(texture, nullptr);
  const std::string cut = WriteFile(dir_, "cut.tga", File("top-down.tga").substr(0, 25));
  for (const std::string& path : {WriteFile(dir_, "empty.png", ""), cut, dir_.Path().string()}) {  // the last a folder
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, path.c_str(), &texture), D3DXERR_INVALIDDATA) << path;
  }
  EXPECT_EQ(D3DXCreateTextureFromFileA(nullptr, cut.c_str(), &texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture, nullptr);
}
