// Writes the icon, a blue disc with two white wave crests: the window icon
// data/icon.bmp (64x64, 32-bit) and the desktop icons
// packaging/icons/{48,256}/brinora-editor.png, drawn at each size.
// Build and run from the repository root:
//   g++ -std=c++20 -O2 -isystem /usr/include/stb tools/make_icon.cpp -o /tmp/make_icon && /tmp/make_icon
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

constexpr int kSize = 64;  // the icon is designed on a 64-pixel grid

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Coverage of a point by the disc, smoothed over one pixel at the rim; points
// and the pixel width in grid units.
float Disc(float x, float y, float pixel) {
  const float distance = std::sqrt(x * x + y * y);
  return std::fmin(1.0f, std::fmax(0.0f, (30.5f - distance) / pixel));
}

// Coverage by a sine-shaped crest line of half-thickness 2 grid units.
float Crest(float x, float y, float height, float pixel) {
  const float wave = height + 4.0f * std::sin(x * 0.18f);
  return std::fmin(1.0f, std::fmax(0.0f, (2.5f - std::fabs(y - wave)) / pixel));
}

// B, G, R, A of pixel (px, py) of an icon `size` pixels wide; y grows downwards.
void Pixel(int px, int py, int size, uint8_t* bgra) {
  const float pixel = static_cast<float>(kSize) / size;
  const float x = (px + 0.5f) * pixel - kSize / 2.0f, y = (py + 0.5f) * pixel - kSize / 2.0f;
  const float shade = 0.55f + 0.45f * (y + 32.0f) / 64.0f;  // deeper towards the bottom
  const float white = std::fmax(Crest(x, y, -6.0f, pixel), Crest(x, y, 8.0f, pixel));
  const float r = (1 - white) * 20 * shade + white * 245;
  const float g = (1 - white) * 110 * shade + white * 250;
  const float b = (1 - white) * 200 * shade + white * 255;
  bgra[0] = static_cast<uint8_t>(b);
  bgra[1] = static_cast<uint8_t>(g);
  bgra[2] = static_cast<uint8_t>(r);
  bgra[3] = static_cast<uint8_t>(255 * Disc(x, y, pixel));
}

bool WritePng(int size, const std::string& path) {
  std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
  for (int row = 0; row < size; ++row) {
    for (int column = 0; column < size; ++column) {
      uint8_t* p = &rgba[(static_cast<size_t>(row) * size + column) * 4];
      Pixel(column, row, size, p);
      std::swap(p[0], p[2]);
    }
  }
  return stbi_write_png(path.c_str(), size, size, 4, rgba.data(), size * 4) != 0;
}

}  // namespace

int main() {
  const uint32_t pixelBytes = kSize * kSize * 4;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 14 + 108 + pixelBytes);
  Put32(out, 0);
  Put32(out, 14 + 108);
  // BITMAPV4HEADER, so the alpha channel is kept.
  Put32(out, 108);
  Put32(out, kSize);
  Put32(out, kSize);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 3);  // BI_BITFIELDS
  Put32(out, pixelBytes);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0x00FF0000);
  Put32(out, 0x0000FF00);
  Put32(out, 0x000000FF);
  Put32(out, 0xFF000000);
  Put32(out, 0x73524742);  // 'sRGB'
  for (int i = 0; i < 12; ++i) Put32(out, 0);
  uint8_t bgra[4];
  for (int row = kSize - 1; row >= 0; --row) {  // bottom-up rows
    for (int column = 0; column < kSize; ++column) {
      Pixel(column, row, kSize, bgra);
      out.insert(out.end(), bgra, bgra + 4);
    }
  }
  FILE* file = std::fopen("data/icon.bmp", "wb");
  if (!file) return 1;
  const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  if (std::fclose(file) != 0 || !written) return 1;
  for (int size : {48, 256}) {
    if (!WritePng(size, "packaging/icons/" + std::to_string(size) + "/brinora-editor.png")) return 1;
  }
  return 0;
}
