#include "heightmap/cPerlinNoiseHeightmap.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "settings/TypeIds.h"

int cPerlinNoiseHeightmap::GetTypeId() const { return HEIGHTMAP_PERLIN; }

bool cPerlinNoiseHeightmap::Initialize(int resolution, float persistence, int octaves, int gridSize,
                                       bool squaredHeight) {
  if (resolution > kMaxHeightmapResolution) return false;
  int size = 2;
  while (size < resolution) size *= 2;
  gridSize = gridSize < 1 ? 2 : gridSize;
  persistence = persistence < 0.0f ? 0.0f : persistence;
  float factor = std::min(static_cast<float>(gridSize) * 0.01f, 1.0f);

  // Octave o has a lattice of N * 2^o * f cells; it is used while that is no
  // more than N. Lattices that truncate to nothing keep one cell, which
  // every pixel reads, rather than reading cells that were never written.
  std::vector<cNoiseOctave> noise;
  std::vector<float> amplitudes;
  const int requested = std::max(octaves, 1);
  for (int o = 0; o < requested && factor * std::ldexp(1.0f, o) <= 1.0f; ++o) {
    const float scale = std::ldexp(1.0f, o) * factor;
    const float exact = static_cast<float>(size) * scale;
    const int lattice = std::max(static_cast<int>(exact), 1);
    noise.emplace_back();
    if (!noise.back().Create(lattice, size, scale, static_cast<float>(lattice) / exact)) {
      return false;
    }
    amplitudes.push_back(std::pow(persistence, static_cast<float>(o)));
  }
  cAlignedArray<float> heights;
  if (!heights.Allocate(static_cast<size_t>(size) * size)) return false;

  size_ = size;
  persistence_ = persistence;
  gridSize_ = gridSize;
  squaredHeight_ = squaredHeight;
  octaves_ = std::move(noise);
  amplitudes_ = std::move(amplitudes);
  amplitudeSum_ = 0.0f;
  for (float amplitude : amplitudes_) amplitudeSum_ += amplitude;
  heights_ = std::move(heights);
  for (int m = 0; m < kTableSize; ++m) {
    const float x = static_cast<float>(m) * 0.001f;
    squares_[m] = x * x;
    cubes_[m] = x * x * x;
  }
  integerTime_ = 0;
  firstUpdate_ = true;
  texture_.Release();
  return Update(0.0f);
}

// Key k holds integer time T + k. Times are floored, so a negative time
// continues the same timeline instead of giving a negative fraction.
void cPerlinNoiseHeightmap::AdvanceKeys(int64_t integerTime) {
  if (firstUpdate_) {
    integerTime_ = integerTime;
    for (auto& octave : octaves_) {
      for (int k = 0; k < cNoiseOctave::kKeys; ++k) octave.BuildKey(k, integerTime + k);
    }
    firstUpdate_ = false;
    return;
  }
  // Only a change of integer time changes key 3; the rotation assumes time moves forwards.
  if (integerTime == integerTime_) return;
  integerTime_ = integerTime;
  for (auto& octave : octaves_) {
    octave.RotateKeys();
    octave.BuildKey(3, integerTime + 3);
  }
}

bool cPerlinNoiseHeightmap::Update(float time) {
  if (!heights_.Data() || !std::isfinite(time)) return false;
  // Floored, never truncated: the fraction is never negative, so the table
  // index stays in range. The clamp keeps absurd times convertible.
  const double whole = std::floor(static_cast<double>(time));
  AdvanceKeys(static_cast<int64_t>(std::clamp(whole, -1e18, 1e18)));

  const float tau = static_cast<float>(static_cast<double>(time) - whole);
  // The product is formed in double: in float it can round up onto the next entry.
  const int m = std::min(static_cast<int>(tau * 999.0), kTableSize - 1);
  const float sq = squares_[m], cu = cubes_[m];
  // value = P cu + Q sq + R tau + q1 with P = (q3 - q2) - (q0 - q1), Q = (q0 - q1) - P,
  // R = q2 - q0, collected per key.
  const float weights[cNoiseOctave::kKeys] = {-cu + 2.0f * sq - tau, cu - 2.0f * sq + 1.0f, -cu + sq + tau, cu - sq};

  float* heights = heights_.Data();
  const size_t count = heights_.Size();
  std::fill(heights, heights + count, 0.0f);
  for (size_t o = 0; o < octaves_.size(); ++o) octaves_[o].AddTo(heights, amplitudes_[o], weights);
  for (size_t n = 0; n < count; ++n) {
    float h = squaredHeight_ ? heights[n] * heights[n] : heights[n];
    h /= amplitudeSum_;
    heights[n] = h > 1.0f ? 1.0f : h;
  }
  return true;
}

bool cPerlinNoiseHeightmap::WriteTexture(IDirect3DDevice9* device) {
  return texture_.Write(device, heights_.Data(), size_);
}

bool cPerlinNoiseHeightmap::UseIntegerFormat(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return texture_.UseIntegerFormat(d3d, device);
}

bool cPerlinNoiseHeightmap::UseFloatFormat(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return texture_.UseFloatFormat(d3d, device);
}

cEngineSettings* cPerlinNoiseHeightmap::FillSettings(cEngineSettings* settings) {
  if (!settings) return nullptr;
  settings->integerHeightmapTextureFormat = texture_.GetFormat() == D3DFMT_A8R8G8B8;
  settings->heightmapResolution = size_;
  settings->heightmapGridSize = gridSize_;
  settings->perlinOctaveCount = GetOctaveCount();
  settings->perlinSquaredHeight = squaredHeight_;
  settings->perlinPersistence = persistence_;
  return settings;
}
