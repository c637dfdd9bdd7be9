#include "platform/d3dx/Image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// The one definition of stb_image in the program.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 8192
#include <stb_image.h>

namespace platform::d3dx {

namespace {

static_assert(Image::kMaxSide == STBI_MAX_DIMENSIONS);

DWORD DetectFormat(const std::string& bytes) {
  if (bytes.compare(0, 2, "BM") == 0) return Image::kBmp;
  if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) return Image::kPng;
  if (bytes.compare(0, 2, "\xFF\xD8") == 0) return Image::kJpg;
  return Image::kTga;  // TGA has no signature
}

unsigned Byte(const std::string& bytes, size_t at) { return at < bytes.size() ? static_cast<uint8_t>(bytes[at]) : 0; }
unsigned Little16(const std::string& bytes, size_t at) { return Byte(bytes, at) | Byte(bytes, at + 1) << 8; }
uint64_t Little32(const std::string& bytes, size_t at) {
  return Little16(bytes, at) | uint64_t{Little16(bytes, at + 2)} << 16;
}

// stb_image pads missing pixel data of TGA and BMP files with zeros instead of
// failing, so truncation is checked here from the headers.
bool TgaComplete(const std::string& bytes) {
  const unsigned type = Byte(bytes, 2);
  const uint64_t texelBytes = (Byte(bytes, 16) + 7) / 8;
  const uint64_t pixels = uint64_t{Little16(bytes, 12)} * Little16(bytes, 14);
  uint64_t at = 18 + Byte(bytes, 0) + (Byte(bytes, 1) ? Little16(bytes, 5) * uint64_t{(Byte(bytes, 7) + 7u) / 8} : 0);
  if (type < 9) return at + pixels * texelBytes <= bytes.size();
  for (uint64_t done = 0; done < pixels;) {  // run-length packets
    if (at >= bytes.size()) return false;
    const unsigned header = Byte(bytes, at++);
    const unsigned count = (header & 0x7F) + 1;
    at += header & 0x80 ? texelBytes : count * texelBytes;
    done += count;
  }
  return at <= bytes.size();
}

bool BmpComplete(const std::string& bytes) {
  const uint64_t compression = Little32(bytes, 30);
  if (compression == 1 || compression == 2) return true;  // run-length data is checked by the decoder
  const uint64_t width = Little32(bytes, 18);
  const uint64_t height = Little32(bytes, 22);
  const uint64_t rows = height & 0x80000000u ? 0x100000000u - height : height;  // negative: top-down
  const uint64_t pitch = (width * Little16(bytes, 28) + 31) / 32 * 4;
  return Little32(bytes, 10) + pitch * rows <= bytes.size();
}

bool Complete(const std::string& bytes, DWORD format) {
  if (format == Image::kTga) return TgaComplete(bytes);
  if (format == Image::kBmp) return BmpComplete(bytes);
  return true;
}

}  // namespace

HRESULT Image::Decode(const std::string& bytes, Image& image) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX)) return D3DXERR_INVALIDDATA;
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = static_cast<int>(bytes.size());
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, length, &width, &height, &channels) || width <= 0 || height <= 0 ||
      width > static_cast<int>(kMaxSide) || height > static_cast<int>(kMaxSide) ||
      !Complete(bytes, DetectFormat(bytes))) {
    return D3DXERR_INVALIDDATA;
  }
  stbi_uc* rgba = stbi_load_from_memory(data, length, &width, &height, &channels, 4);
  if (!rgba) return D3DXERR_INVALIDDATA;
  image = Image(static_cast<UINT>(width), static_cast<UINT>(height));
  image.format_ = DetectFormat(bytes);
  for (size_t i = 0; i < image.pixels_.size(); i += 4) {
    image.pixels_[i] = rgba[i + 2];
    image.pixels_[i + 1] = rgba[i + 1];
    image.pixels_[i + 2] = rgba[i];
    image.pixels_[i + 3] = rgba[i + 3];
  }
  stbi_image_free(rgba);
  return D3D_OK;
}

Image Image::Resized(UINT width, UINT height) const {
  Image out(width, height);
  out.format_ = format_;
  const float scaleX = static_cast<float>(width_) / static_cast<float>(width);
  const float scaleY = static_cast<float>(height_) / static_cast<float>(height);
  for (UINT y = 0; y < height; ++y) {
    const float sy = std::clamp((static_cast<float>(y) + 0.5f) * scaleY - 0.5f, 0.0f, static_cast<float>(height_ - 1));
    const UINT y0 = static_cast<UINT>(sy);
    const UINT y1 = std::min(y0 + 1, height_ - 1);
    const float fy = sy - static_cast<float>(y0);
    for (UINT x = 0; x < width; ++x) {
      const float sx = std::clamp((static_cast<float>(x) + 0.5f) * scaleX - 0.5f, 0.0f, static_cast<float>(width_ - 1));
      const UINT x0 = static_cast<UINT>(sx);
      const UINT x1 = std::min(x0 + 1, width_ - 1);
      const float fx = sx - static_cast<float>(x0);
      for (int c = 0; c < 4; ++c) {
        const float top = Texel(x0, y0)[c] + (Texel(x1, y0)[c] - Texel(x0, y0)[c]) * fx;
        const float bottom = Texel(x0, y1)[c] + (Texel(x1, y1)[c] - Texel(x0, y1)[c]) * fx;
        out.Texel(x, y)[c] = static_cast<uint8_t>(std::lround(top + (bottom - top) * fy));
      }
    }
  }
  return out;
}

Image Image::HalfSize() const {
  Image out(std::max(width_ / 2, 1u), std::max(height_ / 2, 1u));
  out.format_ = format_;
  for (UINT y = 0; y < out.height_; ++y) {
    const UINT y0 = std::min(y * 2, height_ - 1), y1 = std::min(y * 2 + 1, height_ - 1);
    for (UINT x = 0; x < out.width_; ++x) {
      const UINT x0 = std::min(x * 2, width_ - 1), x1 = std::min(x * 2 + 1, width_ - 1);
      for (int c = 0; c < 4; ++c) {
        const unsigned sum = Texel(x0, y0)[c] + Texel(x1, y0)[c] + Texel(x0, y1)[c] + Texel(x1, y1)[c];
        out.Texel(x, y)[c] = static_cast<uint8_t>((sum + 2) / 4);
      }
    }
  }
  return out;
}

void Image::ApplyColorKey(D3DCOLOR key) {
  for (size_t i = 0; i < pixels_.size(); i += 4) {
    D3DCOLOR texel;
    std::memcpy(&texel, &pixels_[i], 4);  // B, G, R, A bytes read little-endian are A8R8G8B8
    if (texel == key) std::memset(&pixels_[i], 0, 4);
  }
}

}  // namespace platform::d3dx
