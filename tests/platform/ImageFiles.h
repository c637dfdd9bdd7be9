// Tiny image files of every kind a reader takes, kept under tests/data/platform/images and read from the repository
// root: by the tests, and as the image fuzzer's seeds.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace test_images {

struct Rgba {
  uint8_t r, g, b, a;
};

// The 2x2 TGAs, the PNG and bottom-up.bmp, row-major, top row first.
inline const std::vector<Rgba> kPixels = {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 64}, {10, 20, 30, 0}};
// Red, green, blue and white: top-down.bmp and os2.bmp.
inline const std::vector<Rgba> kPrimaries = {
    {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};

inline std::string File(const std::string& name) {
  std::ifstream file("tests/data/platform/images/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct NamedImage {
  const char* name;  // a file name with the format's extension
  std::string bytes;
};

// rle8.bmp is 4x2, its top row red and bottom row blue; the JPEGs are 16x16, left half red, right half blue.
inline std::vector<NamedImage> EveryKind() {
  std::vector<NamedImage> images;
  for (const char* name : {"top-down.tga", "bottom-up.tga", "rle.tga", "bottom-up.bmp", "top-down.bmp", "os2.bmp",
                           "rle8.bmp", "rgba.png", "baseline.jpg", "progressive.jpg"}) {
    images.push_back({name, File(name)});
  }
  return images;
}

}  // namespace test_images
