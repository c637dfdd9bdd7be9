#include "platform/d3dx/ImageReaders.h"

// The one definition of stb_image in the program, with its TGA decoder only.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 8192
#include <stb_image.h>

namespace platform::d3dx {
namespace {

static_assert(Image::kMaxSide == STBI_MAX_DIMENSIONS);

// stb_image pads missing pixel data with zeros instead of failing, so
// truncation is checked here from the header.
bool TgaComplete(const std::string& bytes) {
  const unsigned type = HeaderByte(bytes, 2);
  const uint64_t texelBytes = (HeaderByte(bytes, 16) + 7) / 8;
  const uint64_t pixels = uint64_t{Little16(bytes, 12)} * Little16(bytes, 14);
  const uint64_t paletteBytes = HeaderByte(bytes, 1) ? Little16(bytes, 5) * uint64_t{(HeaderByte(bytes, 7) + 7u) / 8} : 0;
  uint64_t at = 18 + HeaderByte(bytes, 0) + paletteBytes;
  if (type < 9) return at + pixels * texelBytes <= bytes.size();
  for (uint64_t done = 0; done < pixels;) {  // run-length packets
    if (at >= bytes.size()) return false;
    const unsigned header = HeaderByte(bytes, at++);
    const unsigned count = (header & 0x7F) + 1;
    at += header & 0x80 ? texelBytes : count * texelBytes;
    done += count;
  }
  return at <= bytes.size();
}

}  // namespace

bool ReadTga(const std::string& bytes, Image& image) {
  if (bytes.size() > static_cast<size_t>(INT32_MAX)) return false;
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = static_cast<int>(bytes.size());
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, length, &width, &height, &channels) || width <= 0 || height <= 0 ||
      !TgaComplete(bytes)) {
    return false;
  }
  stbi_uc* rgba = stbi_load_from_memory(data, length, &width, &height, &channels, 4);
  if (!rgba) return false;
  image = Image(static_cast<UINT>(width), static_cast<UINT>(height));
  for (UINT y = 0; y < image.Height(); ++y) {
    for (UINT x = 0; x < image.Width(); ++x) {
      const stbi_uc* source = rgba + (size_t{y} * image.Width() + x) * 4;
      uint8_t* texel = image.Texel(x, y);
      texel[0] = source[2];
      texel[1] = source[1];
      texel[2] = source[0];
      texel[3] = source[3];
    }
  }
  stbi_image_free(rgba);
  return true;
}

}  // namespace platform::d3dx
