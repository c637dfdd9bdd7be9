// Tiny image files written by tests (and as the image fuzzer's seeds): 2x2
// pixels with distinct colours in every kind a reader takes.
#pragma once

#include <jpeglib.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace test_images {

struct Rgba {
  uint8_t r, g, b, a;
};

// Row-major, top row first.
inline const std::vector<Rgba> kPixels = {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 64}, {10, 20, 30, 0}};

inline void Put16(std::string& out, unsigned v) { out += {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
inline void Put32(std::string& out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Pixel rows as stored, top row first or bottom row first, each pixel as its
// first `bytes` of B, G, R, A and each row padded to `pitch`.
inline std::string Rows(unsigned width, unsigned height, const std::vector<Rgba>& pixels, bool topDown, unsigned bytes,
                        unsigned pitch) {
  std::string out;
  for (unsigned row = 0; row < height; ++row) {
    const unsigned y = topDown ? row : height - 1 - row;
    std::string line;
    for (unsigned x = 0; x < width; ++x) {
      const Rgba& p = pixels[y * width + x];
      line +=
          std::string{static_cast<char>(p.b), static_cast<char>(p.g), static_cast<char>(p.r), static_cast<char>(p.a)}
              .substr(0, bytes);
    }
    line.resize(pitch, '\0');
    out += line;
  }
  return out;
}

// Uncompressed 32-bit TGA; `topDown` sets the top-left origin bit, otherwise rows are stored bottom first.
inline std::string Tga(unsigned width, unsigned height, const std::vector<Rgba>& pixels, bool topDown) {
  std::string out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Put16(out, width);
  Put16(out, height);
  out += static_cast<char>(32);
  out += static_cast<char>(topDown ? 0x28 : 0x08);
  return out + Rows(width, height, pixels, topDown, 4, width * 4);
}

// The same pixels as one raw run-length packet.
inline std::string RleTga() {
  std::string tga = Tga(2, 2, kPixels, true);
  tga[2] = 10;
  tga.insert(18, 1, '\x03');
  return tga;
}

// BMP headers: file header, then an info header of `infoSize` bytes.
inline std::string BmpStart(unsigned infoSize, unsigned dataOffset, unsigned fileSize) {
  std::string out = "BM";
  Put32(out, fileSize);
  Put32(out, 0);
  Put32(out, dataOffset);
  Put32(out, infoSize);
  return out;
}

// The three ways a 24-bit BMP comes: rows bottom first, top first (negative
// height), or bottom first under the 12-byte OS/2 header.
enum class BmpKind { kBottomUp, kTopDown, kOs2 };

inline std::string Bmp(unsigned width, unsigned height, const std::vector<Rgba>& pixels,
                       BmpKind kind = BmpKind::kBottomUp) {
  const unsigned pitch = (width * 3 + 3) & ~3u;
  const bool os2 = kind == BmpKind::kOs2;
  const unsigned headers = os2 ? 26 : 54;
  std::string out = BmpStart(headers - 14, headers, headers + pitch * height);
  if (os2) {
    Put16(out, width);
    Put16(out, height);
  } else {
    Put32(out, width);
    Put32(out, kind == BmpKind::kTopDown ? 0u - height : height);
  }
  Put16(out, 1);
  Put16(out, 24);
  out.resize(headers, '\0');
  return out + Rows(width, height, pixels, kind == BmpKind::kTopDown, 3, pitch);
}

// Red, green, blue and white: what every BMP kind is checked with.
inline const std::vector<Rgba> kPrimaries = {
    {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};

// 4x2, 8 bits with a two-colour palette, run-length coded.
inline std::string Rle8Bmp() {
  std::string out = BmpStart(40, 54 + 8, 0);
  Put32(out, 4);
  Put32(out, 2);
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 1);  // BI_RLE8
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 2);
  Put32(out, 0);
  out += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);  // palette: red, blue
  out += std::string("\x04\x01\x00\x00\x04\x00\x00\x01", 8);  // bottom row blue, end of line, top row red, end
  return out;
}

// 8-bit RGBA PNG of kPixels.
inline std::string Png() {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = image.height = 2;
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, kPixels.data(), 0, nullptr)) return {};
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, kPixels.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

// A 16x16 JPEG, left half red and right half blue, baseline or progressive.
inline std::string Jpeg(bool progressive) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = info.image_height = 16;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  unsigned char row[16 * 3];
  for (int x = 0; x < 16; ++x) {
    row[x * 3] = x < 8 ? 255 : 0;
    row[x * 3 + 1] = 0;
    row[x * 3 + 2] = x < 8 ? 0 : 255;
  }
  while (info.next_scanline < 16) {
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return bytes;
}

struct NamedImage {
  const char* name;  // a file name with the format's extension
  std::string bytes;
};

// One file of every kind above.
inline std::vector<NamedImage> EveryKind() {
  return {{"top-down.tga", Tga(2, 2, kPixels, true)},
          {"bottom-up.tga", Tga(2, 2, kPixels, false)},
          {"rle.tga", RleTga()},
          {"bottom-up.bmp", Bmp(2, 2, kPixels)},
          {"top-down.bmp", Bmp(2, 2, kPrimaries, BmpKind::kTopDown)},
          {"os2.bmp", Bmp(2, 2, kPrimaries, BmpKind::kOs2)},
          {"rle8.bmp", Rle8Bmp()},
          {"rgba.png", Png()},
          {"baseline.jpg", Jpeg(false)},
          {"progressive.jpg", Jpeg(true)}};
}

}  // namespace test_images
