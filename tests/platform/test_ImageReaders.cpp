// Each image format through its own reader: the kinds real files come in, and
// damaged shapes that made earlier decoders misbehave.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ImageFiles.h"
#include "platform/d3dx/Image.h"

using platform::d3dx::Image;
using test_images::BmpStart;
using test_images::Jpeg;
using test_images::Os2Bmp;
using test_images::Put16;
using test_images::Put32;
using test_images::Rle8Bmp;
using test_images::TopDownBmp;

namespace {

// The file with one marker segment (FF xx and its length) taken out.
std::string WithoutSegment(const std::string& jpeg, unsigned char marker) {
  const size_t at = jpeg.find(std::string{'\xFF', static_cast<char>(marker)});
  if (at == std::string::npos) return jpeg;
  const size_t length = static_cast<uint8_t>(jpeg[at + 2]) << 8 | static_cast<uint8_t>(jpeg[at + 3]);
  return jpeg.substr(0, at) + jpeg.substr(at + 2 + length);
}

void ExpectTexel(const Image& image, UINT x, UINT y, D3DCOLOR expected, int tolerance = 0) {
  const uint8_t* t = image.Texel(x, y);
  const int actual[4] = {t[0], t[1], t[2], t[3]};
  for (int c = 0; c < 4; ++c) {
    EXPECT_NEAR(actual[c], static_cast<int>((expected >> (8 * c)) & 0xFF), tolerance) << x << "," << y << " byte " << c;
  }
}

}  // namespace

TEST(ImageReaders, BmpKindsReadTopRowFirst) {
  for (const std::string& bytes : {TopDownBmp(), Os2Bmp()}) {
    Image image;
    ASSERT_EQ(Image::Decode(bytes, image), D3D_OK);
    EXPECT_EQ(image.Format(), Image::kBmp);
    ExpectTexel(image, 0, 0, 0xFFFF0000);
    ExpectTexel(image, 1, 0, 0xFF00FF00);
    ExpectTexel(image, 0, 1, 0xFF0000FF);
    ExpectTexel(image, 1, 1, 0xFFFFFFFF);
  }
  Image rle;
  ASSERT_EQ(Image::Decode(Rle8Bmp(), rle), D3D_OK);
  ASSERT_EQ(rle.Width(), 4u);
  ExpectTexel(rle, 3, 0, 0xFFFF0000);
  ExpectTexel(rle, 0, 1, 0xFF0000FF);
}

TEST(ImageReaders, JpegReadsBaselineAndProgressive) {
  for (bool progressive : {false, true}) {
    Image image;
    ASSERT_EQ(Image::Decode(Jpeg(progressive), image), D3D_OK) << progressive;
    EXPECT_EQ(image.Format(), Image::kJpg);
    ASSERT_EQ(image.Width(), 16u);
    ExpectTexel(image, 2, 8, 0xFFFF0000, 8);
    ExpectTexel(image, 13, 8, 0xFF0000FF, 8);
  }
}

TEST(ImageReaders, TruncatedOrForeignFilesAreRefused) {
  const std::string jpeg = Jpeg(false), progressive = Jpeg(true);
  std::string os2Giant = BmpStart(12, 26, 32);  // claims 8192 x 8192 in 32 bytes
  Put16(os2Giant, 8192);
  Put16(os2Giant, 8192);
  Put16(os2Giant, 1);
  Put16(os2Giant, 32);
  os2Giant.resize(32, '\0');
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
      {"jpeg cut in its scan", jpeg.substr(0, jpeg.size() * 2 / 3)},
      {"jpeg cut in its scan, end marker appended", jpeg.substr(0, jpeg.size() * 2 / 3) + "\xFF\xD9"},
      {"progressive jpeg without its last scan", progressive.substr(0, progressive.rfind("\xFF\xDA")) + "\xFF\xD9"},
      {"jpeg without its end marker", jpeg.substr(0, jpeg.size() - 2)},
      {"progressive jpeg cut between scans", progressive.substr(0, progressive.size() / 2)},
      {"huffman counts above 256", badCounts},
      {"jpeg without its quantisation tables", WithoutSegment(WithoutSegment(jpeg, 0xDB), 0xDB)},
      {"png chunk of a gigabyte", giantChunk},
      {"top-down bmp cut", TopDownBmp().substr(0, 60)},
      {"os/2 bmp claiming 8192 x 8192", os2Giant},
      {"rle bmp with pixels beyond its data", Rle8Bmp().substr(0, 64)},
      {"gif", std::string("GIF89a\x02\x00\x02\x00\x80\x00\x00", 13) + std::string(40, '\0')},
      {"pnm", "P6\n2 2\n255\n" + std::string(12, '\x7F')},
  };
  for (const auto& c : cases) {
    Image image;
    EXPECT_EQ(Image::Decode(c.bytes, image), D3DXERR_INVALIDDATA) << c.what;
  }
}

// Every reader checks its header and data before reading them: each shorter
// piece of a good file is refused, whatever its length.
TEST(ImageReaders, EveryTruncationIsRefused) {
  for (const test_images::NamedImage& file : test_images::EveryKind()) {
    Image whole;
    ASSERT_EQ(Image::Decode(file.bytes, whole), D3D_OK) << file.name;
    for (size_t length = 0; length < file.bytes.size(); ++length) {
      Image image;
      EXPECT_EQ(Image::Decode(file.bytes.substr(0, length), image), D3DXERR_INVALIDDATA) << file.name << " " << length;
    }
  }
}

TEST(ImageReaders, AScanWithAnUndefinedTableDecodesTheSameEveryTimeOrIsRefused) {
  const std::string noTables = WithoutSegment(WithoutSegment(Jpeg(false), 0xC4), 0xC4);
  Image first, second;
  const HRESULT hr = Image::Decode(noTables, first);
  ASSERT_EQ(Image::Decode(noTables, second), hr);
  if (SUCCEEDED(hr)) {
    for (UINT y = 0; y < first.Height(); ++y)
      for (UINT x = 0; x < first.Width(); ++x)
        ASSERT_EQ(std::memcmp(first.Texel(x, y), second.Texel(x, y), 4), 0) << x << "," << y;
  }
}
