#include "heightmap/cNoiseOctave.h"

#include <utility>

float cNoiseOctave::IntegerNoise(uint32_t n) {
  const uint32_t x = (n << 13) ^ n;
  const uint32_t r = (x * (x * x * 15731u + 789221u) + 1376312589u) & 0x7FFFFFFFu;
  return ((1.0f - static_cast<float>(static_cast<int32_t>(r)) * 9.313226e-10f) + 1.0f) * 0.5f;
}

bool cNoiseOctave::Create(int latticeSize, int resolution, float scale, float ratio) {
  const size_t edge = static_cast<size_t>(latticeSize) + 4;
  if (!raw_.Allocate(edge * edge) || !blended_.Allocate(edge * edge)) return false;
  for (auto& key : smoothed_) {
    if (!key.Allocate(edge * edge)) return false;
  }
  size_ = latticeSize;
  edge_ = static_cast<int>(edge);
  resolution_ = resolution;
  cell_.resize(resolution);
  fraction_.resize(resolution);
  for (int p = 0; p < resolution; ++p) {
    const float position = static_cast<float>(p) * scale * ratio;
    cell_[p] = static_cast<int>(position);
    fraction_[p] = position - static_cast<float>(cell_[p]);
  }
  return true;
}

void cNoiseOctave::BuildKey(int key, int64_t integerTime) {
  float* a = raw_.Data();
  const uint32_t seed = static_cast<uint32_t>(integerTime) * 131u;
  for (int i = 1; i <= size_; ++i) {
    for (int j = 1; j <= size_; ++j) a[i * edge_ + j] = IntegerNoise(seed + (i - 1) + 57u * (j - 1));
  }
  // Periodic borders: cell (i, j) repeats cell (Wrap(i), Wrap(j)).
  for (int i = 1; i <= size_; ++i) {
    for (int j : {0, size_ + 1, size_ + 2, size_ + 3}) a[i * edge_ + j] = a[i * edge_ + Wrap(j)];
  }
  for (int i : {0, size_ + 1, size_ + 2, size_ + 3}) {
    for (int j = 0; j < edge_; ++j) a[i * edge_ + j] = a[Wrap(i) * edge_ + j];
  }
  // Centre 1/4, sides 1/8, corners 1/16.
  float* b = smoothed_[key].Data();
  for (int i = 0; i <= size_ + 1; ++i) {
    const float* r0 = a + i * edge_;
    const float* r1 = r0 + edge_;
    const float* r2 = r1 + edge_;
    for (int j = 0; j <= size_ + 1; ++j) {
      b[i * edge_ + j] = 0.25f * r1[j + 1] + 0.125f * (r1[j] + r1[j + 2] + r0[j + 1] + r2[j + 1]) +
                         0.0625f * (r0[j] + r0[j + 2] + r2[j] + r2[j + 2]);
    }
  }
}

void cNoiseOctave::RotateKeys() {
  for (int k = 0; k + 1 < kKeys; ++k) std::swap(smoothed_[k], smoothed_[k + 1]);
}

// The time interpolation is linear in the four keys, so it is applied to the
// lattices once instead of to four samples per pixel.
void cNoiseOctave::AddTo(float* heights, float amplitude, const float weights[kKeys]) {
  float* blend = blended_.Data();
  for (int i = 0; i <= size_ + 1; ++i) {
    for (int j = 0; j <= size_ + 1; ++j) {
      const size_t c = static_cast<size_t>(i) * edge_ + j;
      blend[c] = weights[0] * smoothed_[0][c] + weights[1] * smoothed_[1][c] + weights[2] * smoothed_[2][c] +
                 weights[3] * smoothed_[3][c];
    }
  }
  for (int y = 0; y < resolution_; ++y) {
    const float* r0 = blend + static_cast<size_t>(cell_[y]) * edge_;
    const float* r1 = r0 + edge_;
    const float fy = fraction_[y];
    float* row = heights + static_cast<size_t>(y) * resolution_;
    for (int x = 0; x < resolution_; ++x) {
      const int ix = cell_[x];
      const float fx = fraction_[x];
      const float value =
          (1.0f - fx) * ((1.0f - fy) * r0[ix] + fy * r1[ix]) + fx * ((1.0f - fy) * r0[ix + 1] + fy * r1[ix + 1]);
      row[x] += amplitude * value;
    }
  }
}
