// PNG images through libpng, written under a temporary name and renamed, so a
// file the user keeps is never half-written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `grey` holds width*height samples, row-major, top row first.
bool WriteGrey16Png(const std::string& path, const std::vector<uint16_t>& grey, int width, int height);
// `rgb` holds width*height*3 bytes, R, G, B per pixel.
bool WriteRgb8Png(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height);

// A decoded PNG: 8 or 16 bits per sample, 1 to 4 channels, samples in row order
// (16-bit samples in native byte order).
struct PngImage {
  int width = 0;
  int height = 0;
  int channels = 0;
  int bitDepth = 0;
  std::vector<uint16_t> samples;
};
// False for anything but a readable 8- or 16-bit grey or RGB(A) PNG.
bool ReadPng(const std::string& path, PngImage* image);
