#include "base/PngFile.h"

#include "base/cSafeOutputFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// libpng reports errors by longjmp; nothing with a destructor lives between
// the setjmp and the calls that may jump.
bool Encode(std::FILE* file, const uint8_t* rows, int width, int height, int bitDepth, int colorType,
            size_t rowBytes) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, bitDepth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  // Baking is half of a batch run's time: zlib's fastest level writes files a few
  // percent larger at two thirds of the cost of the default level.
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) png_write_row(png, rows + y * rowBytes);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool WriteSafely(const std::string& path, const uint8_t* rows, int width, int height, int bitDepth, int colorType,
                 size_t rowBytes) {
  cSafeOutputFile file;
  return file.Open(path) && Encode(file.Get(), rows, width, height, bitDepth, colorType, rowBytes) && file.Commit();
}

}  // namespace

bool WriteGrey16Png(const std::string& path, const std::vector<uint16_t>& grey, int width, int height) {
  if (width < 1 || height < 1 || grey.size() != static_cast<size_t>(width) * height) return false;
  // PNG stores 16-bit samples most significant byte first.
  std::vector<uint8_t> bytes(grey.size() * 2);
  for (size_t i = 0; i < grey.size(); ++i) {
    bytes[2 * i] = static_cast<uint8_t>(grey[i] >> 8);
    bytes[2 * i + 1] = static_cast<uint8_t>(grey[i] & 0xFF);
  }
  return WriteSafely(path, bytes.data(), width, height, 16, PNG_COLOR_TYPE_GRAY, static_cast<size_t>(width) * 2);
}

bool WriteRgb8Png(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height) {
  if (width < 1 || height < 1 || rgb.size() != static_cast<size_t>(width) * height * 3) return false;
  return WriteSafely(path, rgb.data(), width, height, 8, PNG_COLOR_TYPE_RGB, static_cast<size_t>(width) * 3);
}

namespace {

bool Decode(std::FILE* file, PngImage* image) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  std::vector<uint8_t> bytes;  // outlives any longjmp: declared before setjmp, resized after
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, file);
  png_read_info(png, info);
  const int depth = png_get_bit_depth(png, info), type = png_get_color_type(png, info);
  const int channels = png_get_channels(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  if ((depth != 8 && depth != 16) || type == PNG_COLOR_TYPE_PALETTE || png_get_interlace_type(png, info) != 0 ||
      width > 16384 || height > 16384) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  const size_t rowBytes = png_get_rowbytes(png, info);
  bytes.resize(rowBytes * height);
  for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, bytes.data() + y * rowBytes, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->channels = channels;
  image->bitDepth = depth;
  const size_t count = static_cast<size_t>(width) * height * channels;
  image->samples.resize(count);
  for (size_t i = 0; i < count; ++i) {
    image->samples[i] = depth == 16 ? static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]) : bytes[i];
  }
  return true;
}

}  // namespace

bool ReadPng(const std::string& path, PngImage* image) {
  File file(std::fopen(path.c_str(), "rb"));
  return file && Decode(file.get(), image);
}
