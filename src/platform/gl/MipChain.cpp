#include "platform/gl/MipChain.h"

#include <cstring>

namespace platform::gl {
namespace {

// Channels per texel of a format whose channels are all floats or all bytes; 0 for others.
UINT FloatChannels(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_R32F: return 1;
    case D3DFMT_A32B32G32R32F: return 4;
    default: return 0;
  }
}

UINT ByteChannels(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8B8G8R8: return 4;
    default: return 0;
  }
}

float Half(float a, float b) { return a + 0.5f * (b - a); }
uint8_t Half(uint8_t a, uint8_t b) { return static_cast<uint8_t>((a + b + 1) >> 1); }

// Element i of an array of T in bytes that need not be aligned for T.
template <typename T>
T Load(const uint8_t* bytes, size_t i) {
  T value;
  std::memcpy(&value, bytes + i * sizeof(T), sizeof(T));
  return value;
}

// Texel (x, y) of the smaller level from the four above it, channel by channel.
template <typename T>
void HalveRows(const uint8_t* source, UINT size, UINT channels, uint8_t* target) {
  const size_t half = size / 2, row = static_cast<size_t>(size) * channels;
  for (size_t y = 0; y < half; ++y) {
    const size_t top = 2 * y * row, bottom = top + row;
    for (size_t x = 0; x < half; ++x) {
      for (size_t c = 0; c < channels; ++c) {
        const size_t left = 2 * x * channels + c, right = left + channels;
        const T upper = Half(Load<T>(source, top + left), Load<T>(source, top + right));
        const T lower = Half(Load<T>(source, bottom + left), Load<T>(source, bottom + right));
        const T texel = Half(upper, lower);
        std::memcpy(target + ((y * half + x) * channels + c) * sizeof(T), &texel, sizeof(T));
      }
    }
  }
}

}  // namespace

bool BuildsMipChain(D3DFORMAT format, UINT width, UINT height) {
  const bool powerOfTwo = width != 0 && (width & (width - 1)) == 0;
  return width == height && powerOfTwo && (FloatChannels(format) != 0 || ByteChannels(format) != 0);
}

void HalveLevel(D3DFORMAT format, const uint8_t* source, UINT size, uint8_t* target) {
  if (const UINT channels = ByteChannels(format)) {
    HalveRows<uint8_t>(source, size, channels, target);
  } else {
    HalveRows<float>(source, size, FloatChannels(format), target);
  }
}

}  // namespace platform::gl
