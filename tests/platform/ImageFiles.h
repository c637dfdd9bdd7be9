// Tiny image files written by tests: 2x2 pixels with distinct colours.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
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

// Uncompressed 32-bit TGA; `topDown` sets the top-left origin bit, otherwise rows are stored bottom first.
inline std::string Tga(unsigned width, unsigned height, const std::vector<Rgba>& pixels, bool topDown) {
  std::string out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Put16(out, width);
  Put16(out, height);
  out += static_cast<char>(32);
  out += static_cast<char>(topDown ? 0x28 : 0x08);
  for (unsigned row = 0; row < height; ++row) {
    const unsigned y = topDown ? row : height - 1 - row;
    for (unsigned x = 0; x < width; ++x) {
      const Rgba& p = pixels[y * width + x];
      out += {static_cast<char>(p.b), static_cast<char>(p.g), static_cast<char>(p.r), static_cast<char>(p.a)};
    }
  }
  return out;
}

// 24-bit bottom-up BMP (no alpha).
inline std::string Bmp(unsigned width, unsigned height, const std::vector<Rgba>& pixels) {
  const unsigned pitch = (width * 3 + 3) & ~3u;
  std::string out = "BM";
  Put32(out, 54 + pitch * height);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (unsigned row = 0; row < height; ++row) {
    const unsigned y = height - 1 - row;
    std::string line;
    for (unsigned x = 0; x < width; ++x) {
      const Rgba& p = pixels[y * width + x];
      line += {static_cast<char>(p.b), static_cast<char>(p.g), static_cast<char>(p.r)};
    }
    line.resize(pitch, '\0');
    out += line;
  }
  return out;
}

// A fresh directory under the system temp folder, removed by the destructor.
class TempDir {
 public:
  explicit TempDir(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string file = (path_ / name).string();
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }
  std::string Path(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace test_images
