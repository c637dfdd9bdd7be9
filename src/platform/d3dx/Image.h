// Decoded image pixels in the byte order of D3DFMT_A8R8G8B8 (B, G, R, A), row 0
// at the top, as the texture loaders upload them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3dx9.h"

namespace platform::d3dx {

class Image {
 public:
  // D3DXIMAGE_FILEFORMAT values.
  enum FileFormat : DWORD { kBmp = 0, kJpg = 1, kTga = 2, kPng = 3 };
  // Larger images are refused rather than decoded.
  static constexpr UINT kMaxSide = 8192;

  Image() = default;
  Image(UINT width, UINT height) : width_(width), height_(height), pixels_(size_t{width} * height * 4) {}

  // TGA, BMP, PNG or JPEG file contents (each by its own reader, ImageReaders.h);
  // D3DXERR_INVALIDDATA for anything else, for damaged or truncated data and
  // for sides above kMaxSide.
  static HRESULT Decode(const std::string& bytes, Image& image);

  UINT Width() const { return width_; }
  UINT Height() const { return height_; }
  DWORD Format() const { return format_; }
  const uint8_t* Row(UINT y) const { return pixels_.data() + size_t{y} * width_ * 4; }
  uint8_t* Texel(UINT x, UINT y) { return pixels_.data() + (size_t{y} * width_ + x) * 4; }
  const uint8_t* Texel(UINT x, UINT y) const { return pixels_.data() + (size_t{y} * width_ + x) * 4; }

  // Bilinear resampling to another size.
  Image Resized(UINT width, UINT height) const;
  // The next mip level: half the size (at least 1), each texel the mean of up to 2x2.
  Image HalfSize() const;
  // Texels equal to `key` (as A8R8G8B8) become transparent black.
  void ApplyColorKey(D3DCOLOR key);

 private:
  UINT width_ = 0;
  UINT height_ = 0;
  DWORD format_ = kBmp;
  std::vector<uint8_t> pixels_;
};

}  // namespace platform::d3dx
