#include "platform/d3dx/Image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3dx/ImageReaders.h"

namespace platform::d3dx {

namespace {

struct Reader {
  DWORD format;
  bool (*read)(const std::string& bytes, Image& image);
};

// By signature; TGA has none, so it is what is left. Formats D3DX reads but
// this program does not (GIF, PNM, DDS, ...) must not reach the TGA reader.
bool ReaderFor(const std::string& bytes, Reader& reader) {
  if (bytes.compare(0, 2, "BM") == 0) {
    reader = {Image::kBmp, ReadBmp};
  } else if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
    reader = {Image::kPng, ReadPng};
  } else if (bytes.compare(0, 2, "\xFF\xD8") == 0) {
    reader = {Image::kJpg, ReadJpeg};
  } else if (bytes.compare(0, 4, "GIF8") == 0 || bytes.compare(0, 4, "DDS ") == 0 ||
             (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '7')) {
    return false;
  } else {
    reader = {Image::kTga, ReadTga};
  }
  return true;
}

}  // namespace

unsigned HeaderByte(const std::string& bytes, size_t at) {
  return at < bytes.size() ? static_cast<uint8_t>(bytes[at]) : 0;
}
unsigned Little16(const std::string& bytes, size_t at) { return HeaderByte(bytes, at) | HeaderByte(bytes, at + 1) << 8; }
uint64_t Little32(const std::string& bytes, size_t at) {
  return Little16(bytes, at) | uint64_t{Little16(bytes, at + 2)} << 16;
}

HRESULT Image::Decode(const std::string& bytes, Image& image) {
  Reader reader;
  Image decoded;
  if (bytes.empty() || !ReaderFor(bytes, reader) || !reader.read(bytes, decoded)) return D3DXERR_INVALIDDATA;
  decoded.format_ = reader.format;
  image = std::move(decoded);
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
