#include <SDL2/SDL.h>

#include <cstring>

#include "platform/d3dx/ImageReaders.h"

namespace platform::d3dx {
namespace {

constexpr uint64_t kCoreHeader = 12;  // OS/2 1.x: 16-bit sides, no compression
constexpr uint64_t kRle8 = 1, kRle4 = 2, kBitFields = 3;
// A run-length pair of bytes stands for at most 255 pixels.
constexpr uint64_t kMaxRunPixelsPerByte = 128;

struct BmpHeader {
  uint64_t width = 0, rows = 0, bitsPerPixel = 0, compression = 0;
};

bool ReadHeader(const std::string& bytes, BmpHeader& header) {
  const uint64_t infoSize = Little32(bytes, 14);
  if (bytes.size() < 14 + infoSize) return false;
  if (infoSize == kCoreHeader) {
    header = {Little16(bytes, 18), Little16(bytes, 20), Little16(bytes, 24), 0};
    return true;
  }
  if (infoSize < 40) return false;
  const uint64_t height = Little32(bytes, 22);
  const uint64_t rows = height & 0x80000000u ? 0x100000000u - height : height;  // negative: top-down
  header = {Little32(bytes, 18), rows, Little16(bytes, 28), Little32(bytes, 30)};
  return true;
}

// The sides are sane and the file holds the pixel data they need.
bool BmpComplete(const std::string& bytes) {
  BmpHeader header;
  if (!ReadHeader(bytes, header)) return false;
  if (header.width == 0 || header.rows == 0 || header.width > Image::kMaxSide || header.rows > Image::kMaxSide)
    return false;
  const uint64_t offset = Little32(bytes, 10);
  if (offset >= bytes.size()) return false;
  const uint64_t data = bytes.size() - offset;
  if (header.compression == kRle8 || header.compression == kRle4)
    return header.width * header.rows <= data * kMaxRunPixelsPerByte;
  if (header.compression != 0 && header.compression != kBitFields) return false;
  const uint64_t pitch = (header.width * header.bitsPerPixel + 31) / 32 * 4;
  return header.bitsPerPixel > 0 && pitch * header.rows <= data;
}

}  // namespace

bool ReadBmp(const std::string& bytes, Image& image) {
  if (bytes.size() > static_cast<size_t>(INT32_MAX) || !BmpComplete(bytes)) return false;
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  SDL_Surface* loaded = stream ? SDL_LoadBMP_RW(stream, 1) : nullptr;
  if (!loaded) return false;
  // ARGB8888 is stored as B, G, R, A bytes, as D3DFMT_A8R8G8B8.
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (!argb) return false;
  image = Image(static_cast<UINT>(argb->w), static_cast<UINT>(argb->h));
  SDL_LockSurface(argb);
  for (int y = 0; y < argb->h; ++y) {
    std::memcpy(image.Texel(0, static_cast<UINT>(y)), static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch,
                static_cast<size_t>(argb->w) * 4);
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  return true;
}

}  // namespace platform::d3dx
