// Writes the two images the water engines sample:
//   shaders/precomputedFresnel3.bmp   256x1, 24-bit: reflectance by viewing angle
//   data/misc/foam.tga                256x256, 32-bit: white foam, its density in alpha, tileable
// Build and run from the repository root:
//   g++ -std=c++20 -O2 -isystem /usr/include/stb tools/make_water_images.cpp -o /tmp/make_water_images && /tmp/make_water_images
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// Texel i holds the reflectance at cos(theta) = (i + 0.5) / 256, theta measured
// from the surface normal: bias + (1 - bias) * (1 - cos(theta))^5 in every channel.
constexpr int kFresnelSize = 256;
constexpr double kFresnelBias = 0.02037;

constexpr int kFoamSize = 256;
// Foam bubbles per edge at the two scales; the pattern repeats exactly at the edge.
constexpr int kLargeCells = 6;
constexpr int kSmallCells = 20;

uint8_t ToByte(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); }

bool WriteFresnel(const char* path) {
  std::vector<uint8_t> pixels;
  for (int i = 0; i < kFresnelSize; ++i) {
    const double cosTheta = (i + 0.5) / kFresnelSize;
    const uint8_t r = ToByte(kFresnelBias + (1.0 - kFresnelBias) * std::pow(1.0 - cosTheta, 5.0));
    pixels.insert(pixels.end(), {r, r, r});
  }
  return stbi_write_bmp(path, kFresnelSize, 1, 3, pixels.data()) != 0;
}

// Small deterministic generator so the output is the same on every run.
uint32_t seed = 20061u;
double Random() {
  seed = seed * 1103515245u + 12345u;
  return ((seed >> 8) & 0xFFFFu) / 65535.0;
}

// Periodic value noise on a `period` x `period` lattice.
struct ValueNoise {
  int period;
  std::vector<double> lattice;
  explicit ValueNoise(int p) : period(p), lattice(p * p) {
    for (double& v : lattice) v = Random();
  }
  double At(int x, int y) const { return lattice[((y % period + period) % period) * period + (x % period + period) % period]; }
  // (x, y) in [0, 1): smooth interpolation of the lattice.
  double Sample(double x, double y) const {
    const double fx = x * period, fy = y * period;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const double tx = fx - ix, ty = fy - iy;
    const double sx = tx * tx * (3.0 - 2.0 * tx), sy = ty * ty * (3.0 - 2.0 * ty);
    const double top = At(ix, iy) + (At(ix + 1, iy) - At(ix, iy)) * sx;
    const double bottom = At(ix, iy + 1) + (At(ix + 1, iy + 1) - At(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
  }
};

// One jittered point per cell; distances wrap around the tile.
struct Cells {
  int count;
  std::vector<double> px, py;
  explicit Cells(int n) : count(n) {
    for (int i = 0; i < count * count; ++i) {
      px.push_back(Random());
      py.push_back(Random());
    }
  }
  // Distance to the nearest and second nearest point, in cell units.
  void Nearest(double x, double y, double* f1, double* f2) const {
    *f1 = *f2 = 1e9;
    const int kCells = count;
    const double cx = x * kCells, cy = y * kCells;
    const int ix = static_cast<int>(cx), iy = static_cast<int>(cy);
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) {
        const int cellX = ix + dx, cellY = iy + dy;
        const int wrapped = ((cellY % kCells + kCells) % kCells) * kCells + (cellX % kCells + kCells) % kCells;
        const double ox = cellX + px[wrapped] - cx, oy = cellY + py[wrapped] - cy;
        const double d = std::sqrt(ox * ox + oy * oy);
        if (d < *f1) {
          *f2 = *f1;
          *f1 = d;
        } else if (d < *f2) {
          *f2 = d;
        }
      }
  }
};

bool WriteFoam(const char* path) {
  const Cells large(kLargeCells), small(kSmallCells);
  const ValueNoise coarse(4), middle(16), fine(64);
  std::vector<uint8_t> pixels;
  for (int y = 0; y < kFoamSize; ++y)
    for (int x = 0; x < kFoamSize; ++x) {
      const double u = static_cast<double>(x) / kFoamSize, v = static_cast<double>(y) / kFoamSize;
      double f1, f2, g1, g2;
      large.Nearest(u, v, &f1, &f2);
      small.Nearest(u, v, &g1, &g2);
      // Bright rims where two bubbles meet, thinning into their centres; the
      // small bubbles only inside the patches where the foam is thick.
      const double rim = std::exp(-(f2 - f1) * 5.0);
      const double bubbles = std::exp(-(g2 - g1) * 4.0);
      const double patches = 0.55 * coarse.Sample(u, v) + 0.3 * middle.Sample(u, v) + 0.15 * fine.Sample(u, v);
      const double thick = std::clamp((patches - 0.35) * 3.0, 0.0, 1.0);
      const double density =
          std::clamp(thick * (0.35 + 0.65 * bubbles) + 0.6 * rim * patches + 0.15 * fine.Sample(u, v) * thick, 0.0, 1.0);
      const double shade = 0.86 + 0.14 * density;
      pixels.insert(pixels.end(), {ToByte(shade), ToByte(shade), ToByte(shade * 0.98 + 0.02), ToByte(density)});
    }
  stbi_write_tga_with_rle = 0;
  return stbi_write_tga(path, kFoamSize, kFoamSize, 4, pixels.data()) != 0;
}

}  // namespace

int main() {
  if (!WriteFresnel("shaders/precomputedFresnel3.bmp") || !WriteFoam("data/misc/foam.tga")) {
    std::fprintf(stderr, "cannot write the water images (run from the repository root)\n");
    return 1;
  }
  return 0;
}
