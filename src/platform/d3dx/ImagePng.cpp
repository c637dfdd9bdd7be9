#include <png.h>

#include <cstring>

#include "platform/d3dx/ImageReaders.h"

namespace platform::d3dx {
namespace {

uint64_t Big32(const std::string& bytes, size_t at) {
  return uint64_t{HeaderByte(bytes, at)} << 24 | HeaderByte(bytes, at + 1) << 16 | HeaderByte(bytes, at + 2) << 8 |
         HeaderByte(bytes, at + 3);
}

// The four-letter chunk type at `at`; false where the file ends first.
bool ChunkTypeIs(const std::string& bytes, size_t at, const char* type) {
  return at + 4 <= bytes.size() && bytes.compare(at, 4, type) == 0;
}

// Deflate expands at most about 1032 times.
constexpr uint64_t kMaxInflation = 1032;

// Walks the chunks: each fits in the file, the image data is large enough for
// the sides the header gives, and the end chunk is there.
bool ChunksComplete(const std::string& bytes) {
  if (!ChunkTypeIs(bytes, 12, "IHDR")) return false;
  const uint64_t width = Big32(bytes, 16), height = Big32(bytes, 20);
  if (width == 0 || height == 0 || width > Image::kMaxSide || height > Image::kMaxSide) return false;
  const unsigned samples[7] = {1, 0, 3, 1, 2, 0, 4};  // per colour type
  const unsigned colorType = HeaderByte(bytes, 25);
  const uint64_t bitsPerPixel = uint64_t{HeaderByte(bytes, 24)} * (colorType < 7 ? samples[colorType] : 0);
  const uint64_t rowBytes = 1 + (width * bitsPerPixel + 7) / 8;  // with the row's filter type
  uint64_t imageData = 0;
  for (size_t at = 8; at + 12 <= bytes.size();) {
    const uint64_t length = Big32(bytes, at);
    if (length > bytes.size() - at - 12) return false;
    if (ChunkTypeIs(bytes, at + 4, "IDAT")) imageData += length;
    if (ChunkTypeIs(bytes, at + 4, "IEND")) {
      return bitsPerPixel > 0 && imageData * kMaxInflation >= height * rowBytes;
    }
    at += 12 + length;
  }
  return false;
}

}  // namespace

bool ReadPng(const std::string& bytes, Image& image) {
  if (!ChunksComplete(bytes)) return false;
  png_image png;
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) return false;
  png.format = PNG_FORMAT_BGRA;
  image = Image(png.width, png.height);
  if (!png_image_finish_read(&png, nullptr, image.Texel(0, 0), static_cast<png_int_32>(png.width * 4), nullptr)) {
    png_image_free(&png);
    return false;
  }
  return true;
}

}  // namespace platform::d3dx
