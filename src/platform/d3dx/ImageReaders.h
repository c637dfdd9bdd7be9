// One reader per image file format, each a library made and fuzzed for it:
// JPEG by libjpeg-turbo, PNG by libpng, BMP by SDL2 (RLE, OS/2 and top-down
// files included), TGA by stb_image built with its TGA decoder only. Each
// checks the sides and that the pixel data is all there before allocating for
// it, and fills `image` (B, G, R, A, top row first) or returns false.
#pragma once

#include <string>

#include "platform/d3dx/Image.h"

namespace platform::d3dx {

bool ReadJpeg(const std::string& bytes, Image& image);
bool ReadPng(const std::string& bytes, Image& image);
bool ReadBmp(const std::string& bytes, Image& image);
bool ReadTga(const std::string& bytes, Image& image);

// Little-endian fields of a file header; 0 past the end.
unsigned HeaderByte(const std::string& bytes, size_t at);
unsigned Little16(const std::string& bytes, size_t at);
uint64_t Little32(const std::string& bytes, size_t at);

}  // namespace platform::d3dx
