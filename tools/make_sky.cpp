// Writes the three sky sets into data/sky/<set>/<file>.tga, six 256x256 faces
// each: 1 a clear day, 2 a sunset, 3 an overcast sky. Every texel is computed
// from its direction on the cube, so the faces meet without seams. File n
// belongs to the skybox face that shows it: 1 looks along +z, 2 along +x, 3
// along -z, 4 along -x, 5 is the bottom and 6 the top; v = 0 is the top row.
// Build and run from the repository root (the output is the same byte for byte
// on every run):
//   g++ -std=c++20 -O2 tools/make_sky.cpp -isystem /usr/include/stb -o /tmp/make_sky && /tmp/make_sky
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace {

constexpr int kSize = 256;

struct Vec3 {
  float x, y, z;
};

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Normalize(Vec3 v) { return v * (1.0f / std::sqrt(Dot(v, v))); }
Vec3 Mix(Vec3 a, Vec3 b, float t) { return a + (b + a * -1.0f) * t; }
Vec3 Rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
float SmoothStep(float edge0, float edge1, float v) {
  const float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

// Direction of the sun from its compass angle (0 = +z, 90 = +x) and elevation, in degrees.
Vec3 SunDirection(float azimuth, float elevation) {
  const float a = azimuth * 3.14159265f / 180.0f, e = elevation * 3.14159265f / 180.0f;
  return {std::sin(a) * std::cos(e), std::sin(e), std::cos(a) * std::cos(e)};
}

// Lattice value noise from an integer hash, smoothly interpolated, in 0..1.
float Hash(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return (h & 0xFFFFFFu) / float(0xFFFFFF);
}

float ValueNoise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const float tx = SmoothStep(0, 1, x - fx), ty = SmoothStep(0, 1, y - fy);
  const float top = Hash(ix, iy, seed) + (Hash(ix + 1, iy, seed) - Hash(ix, iy, seed)) * tx;
  const float bottom = Hash(ix, iy + 1, seed) + (Hash(ix + 1, iy + 1, seed) - Hash(ix, iy + 1, seed)) * tx;
  return top + (bottom - top) * ty;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amplitude = 0.5f, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(x, y, seed + i) * amplitude;
    total += amplitude;
    x = x * 2.03f + 17.1f;
    y = y * 2.03f - 9.7f;
    amplitude *= 0.5f;
  }
  return sum / total;
}

struct SkySet {
  Vec3 horizon, zenith, below;   // sky at the horizon and overhead; the haze below the horizon
  Vec3 sun, glow;                // sun disc and the colour of its glow
  Vec3 sunDirection;
  float glowSize, glowStrength;  // exponent and weight of the wide glow
  float discStrength;
  Vec3 cloudLit, cloudShade;     // cloud tops towards the sun and cloud bellies
  float coverage;                // 0 no clouds .. 1 a closed deck
  float cloudScale;
  uint32_t seed;
};

Vec3 SkyColor(const SkySet& set, Vec3 d) {
  const float e = d.y;
  const float toSun = std::max(Dot(d, set.sunDirection), 0.0f);
  Vec3 color;
  if (e >= 0) {
    // Pale haze low down, the deep colour overhead.
    color = Mix(set.horizon, set.zenith, std::pow(e, 0.45f));
    // The horizon brightens on the sun's side.
    color = color + set.glow * (0.35f * std::pow(toSun, 3.0f) * (1.0f - std::sqrt(e)));
  } else {
    color = Mix(set.horizon, set.below, std::pow(-e, 0.35f));
  }
  color = color + set.glow * (set.glowStrength * std::pow(toSun, set.glowSize));
  color = color + set.glow * (0.25f * set.glowStrength * std::pow(toSun, 8.0f));
  if (e > 0.0f && set.coverage > 0.0f) {
    // Clouds on a flat layer overhead: further away they crowd towards the horizon.
    const float px = d.x / (e + 0.12f) * set.cloudScale, pz = d.z / (e + 0.12f) * set.cloudScale;
    const float shape = 0.5f + (Fbm(px, pz, set.seed, 6) - 0.5f) * 1.7f;  // fbm bunches around 0.5
    const float density = SmoothStep(1.0f - set.coverage, 1.05f - set.coverage * 0.55f, shape) * SmoothStep(0.0f, 0.12f, e);
    const float detail = Fbm(px * 2.7f + 3.0f, pz * 2.7f, set.seed + 40, 4);
    const float light = Clamp01(0.55f + 0.9f * (detail - shape) + 0.35f * toSun);
    Vec3 cloud = Mix(set.cloudShade, set.cloudLit, light);
    cloud = cloud + set.glow * (0.5f * set.glowStrength * std::pow(toSun, set.glowSize * 0.5f));
    color = Mix(color, cloud, density * 0.92f);
  }
  // The disc adds to what is there, so it is never darker than its own glow.
  const float disc = SmoothStep(0.99955f, 0.99975f, toSun) * set.discStrength;
  return color + set.sun * disc;
}

// The direction of texel (u, v) of sky file 1..6.
Vec3 FaceDirection(int file, float u, float v) {
  const float a = 2 * u - 1, b = 1 - 2 * v;
  switch (file) {
    case 1: return {a, b, 1};
    case 2: return {1, b, -a};
    case 3: return {-a, b, -1};
    case 4: return {-1, b, a};
    case 5: return {a, -1, b};
    default: return {a, 1, -b};  // 6, the top
  }
}

bool WriteFace(const SkySet& set, int setNumber, int file) {
  std::vector<uint8_t> rgb(kSize * kSize * 3);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const Vec3 d = Normalize(FaceDirection(file, (x + 0.5f) / kSize, (y + 0.5f) / kSize));
      const Vec3 c = SkyColor(set, d);
      uint8_t* texel = &rgb[(y * kSize + x) * 3];
      texel[0] = static_cast<uint8_t>(Clamp01(c.x) * 255.0f + 0.5f);
      texel[1] = static_cast<uint8_t>(Clamp01(c.y) * 255.0f + 0.5f);
      texel[2] = static_cast<uint8_t>(Clamp01(c.z) * 255.0f + 0.5f);
    }
  }
  // Without an alpha channel the loader makes every texel opaque.
  const std::string path = "data/sky/" + std::to_string(setNumber) + "/" + std::to_string(file) + ".tga";
  const bool ok = stbi_write_tga(path.c_str(), kSize, kSize, 3, rgb.data()) != 0;
  if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace

int main() {
  const SkySet sets[3] = {
      // A clear day: blue overhead, a white sun high in the south-east, a few fair-weather clouds.
      {Rgb(196, 217, 232), Rgb(38, 92, 176), Rgb(150, 170, 185), Rgb(255, 253, 240), Rgb(255, 240, 200),
       SunDirection(30, 28), 48.0f, 0.55f, 1.0f, Rgb(252, 252, 250), Rgb(168, 180, 198), 0.42f, 0.55f, 11},
      // A sunset: orange along the horizon, dusk overhead, a low red sun and lit cloud bands.
      {Rgb(250, 158, 88), Rgb(44, 52, 112), Rgb(110, 82, 92), Rgb(255, 226, 170), Rgb(255, 132, 50),
       SunDirection(20, 3), 10.0f, 0.8f, 1.0f, Rgb(255, 176, 128), Rgb(92, 70, 102), 0.5f, 0.45f, 23},
      // Overcast: a closed grey deck with a faint brightening where the sun hides.
      {Rgb(188, 193, 198), Rgb(122, 130, 142), Rgb(140, 146, 152), Rgb(232, 234, 236), Rgb(235, 235, 230),
       SunDirection(-40, 35), 6.0f, 0.18f, 0.0f, Rgb(214, 217, 222), Rgb(118, 124, 134), 0.95f, 0.7f, 37},
  };
  bool ok = true;
  for (int s = 0; s < 3; ++s) {
    for (int file = 1; file <= 6; ++file) ok = WriteFace(sets[s], s + 1, file) && ok;
  }
  return ok ? 0 : 1;
}
