#include "heightmap/cFFTHeightmap.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <numbers>
#include <utility>

#include "settings/TypeIds.h"
#include "base/cThreadPool.h"
#include "heightmap/Simd.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kGravity = 9.81f;
constexpr float kInverseGravity = 0.101936795f;  // 1 / 9.81 rounded down
constexpr float kTimeOffset = 10000.0f;
constexpr int kMinParallelSize = 64;  // smaller grids are not worth waking the pool for

// Sines and cosines of time * frequency, four at a time (count a multiple of four).
template <void (*kSinCos)(v4sf, v4sf*, v4sf*)>
inline void Phases(const float* frequencies, size_t count, float time, float* sine, float* cosine) {
  const v4sf t = Splat4(time);
  for (size_t j = 0; j < count; j += 4) {
    v4sf s, c;
    kSinCos(t * Load4(frequencies + j), &s, &c);
    Store4(sine + j, s);
    Store4(cosine + j, c);
  }
}

// The fast sines with the reduction's four doubles in one register on the wide units.
__attribute__((target("avx2"), flatten)) void FastPhasesWide(const float* frequencies, size_t count, float time,
                                                              float* sine, float* cosine) {
  Phases<SinCos4>(frequencies, count, time, sine, cosine);
}

}  // namespace

bool cFFTHeightmap::Arrays::Allocate(int size) {
  const size_t n = size, half = n / 2, count = n * n;
  frequencyStride = (half + 4) / 4 * 4;
  rowLength = std::max(n, frequencyStride);
  return h0.Allocate(count) && ht.Allocate(count) && frequencies.Allocate((half + 1) * frequencyStride) &&
         rows.Allocate(kEvolveSlots * 4 * rowLength);
}

int cFFTHeightmap::GetTypeId() const { return HEIGHTMAP_FFT; }

bool cFFTHeightmap::Initialize(int resolution, int gridSize, const D3DXVECTOR2* wind, float amplitude) {
  return Initialize(resolution, gridSize, wind, amplitude, cRandom::SeedFromTime(static_cast<uint32_t>(time(NULL))));
}

bool cFFTHeightmap::Initialize(int resolution, int gridSize, const D3DXVECTOR2* wind, float amplitude, uint32_t seed) {
  if (!wind || resolution > kMaxHeightmapResolution) return false;
  int size = 2;
  while (size < resolution) size *= 2;
  Arrays arrays;
  if (!arrays.Allocate(size) || !transform_.Create(size)) return false;

  size_ = size;
  gridSize_ = gridSize < 1 ? 2 : gridSize;
  windX_ = wind->x;
  windZ_ = wind->y;
  amplitude_ = amplitude < 0.0f ? 0.0001f : amplitude;
  arrays_ = std::move(arrays);
  texture_.Release();
  random_.Seed(seed);
  DrawSpectrum();
  return Update(0.0f);
}

// Row i is the x component of the wave vector, column j the z component; the
// loop order fixes which random numbers go where.
void cFFTHeightmap::DrawSpectrum() {
  const float spacing = kTwoPi / static_cast<float>(gridSize_);
  largestFrequency_ = 0.0f;
  for (int i = 0; i < size_; ++i) {
    for (int j = 0; j < size_; ++j) {
      const float kx = (i - size_ * 0.5f) * spacing, kz = (j - size_ * 0.5f) * spacing;
      const float amplitude = std::sqrt(PhillipsSpectrum(kx, kz) * 0.5f);
      const float g1 = GaussianRandom() * amplitude;
      const float g2 = GaussianRandom() * amplitude;
      arrays_.h0[static_cast<size_t>(i) * size_ + j] = {g2, g1};
      if (i <= size_ / 2 && j <= size_ / 2) {
        const float w = QuantiseFrequency(std::sqrt(std::sqrt(kx * kx + kz * kz) * kGravity), loopPeriod_);
        arrays_.frequencies[i * arrays_.frequencyStride + j] = w;
        largestFrequency_ = std::max(largestFrequency_, w);
      }
    }
  }
}

// Polar method. w == 0 (both draws at the centre) is drawn again too: ln 0 / 0
// would turn every height into NaN.
float cFFTHeightmap::GaussianRandom() {
  float x1, x2, w;
  do {
    x1 = random_.Next() * 6.1035156e-5f - 1.0f;
    x2 = random_.Next() * 6.1035156e-5f - 1.0f;
    w = x2 * x2 + x1 * x1;
  } while (w >= 1.0f || w == 0.0f);
  return x1 * std::sqrt(-2.0f * std::log(w) / w);
}

// Without wind there are no waves (the limit of the formula). The directional
// factor uses |q|^p, which is q^p for the even exponents the editor offers
// and stays real for the others. Any non-finite value counts as no wave.
float cFFTHeightmap::PhillipsSpectrum(float kx, float kz) const {
  const float kl = std::sqrt(kx * kx + kz * kz);
  if (kl < 0.1f) return 0.0f;
  const float wl = std::sqrt(windX_ * windX_ + windZ_ * windZ_);
  if (wl == 0.0f) return 0.0f;
  const float x = wl * wl * kInverseGravity * kl;
  const float q = -(kx * windX_ + kz * windZ_) / (wl * kl);
  const float value =
      amplitude_ * std::exp(-1.0f / (x * x)) / (kl * kl * kl * kl) * std::pow(std::fabs(q), smoothness_);
  return std::isfinite(value) ? value : 0.0f;
}

void cFFTHeightmap::SetLoopPeriod(float period) { loopPeriod_ = std::isfinite(period) && period > 0.0f ? period : 0.0f; }

float cFFTHeightmap::QuantiseFrequency(float frequency, float period) {
  if (!(period > 0.0f)) return frequency;
  const double quantum = 2.0 * std::numbers::pi / period;
  return static_cast<float>(std::nearbyint(frequency / quantum) * quantum);
}

bool cFFTHeightmap::Update(float time) {
  if (!arrays_.h0.Data()) return false;
  if (loopPeriod_ > 0.0f) {
    // The same phase at t and t + period, bit for bit, whatever rounding the
    // frequencies carry.
    const double wrapped = std::fmod(static_cast<double>(time), static_cast<double>(loopPeriod_));
    time = static_cast<float>(wrapped < 0.0 ? wrapped + loopPeriod_ : wrapped);
  }
  EvolveSpectrum(time + kTimeOffset);
  return transform_.SetInput(arrays_.ht.Data()) && transform_.Run() && transform_.Normalize(normalization_);
}

// Rows i and N-1-i are done together: each one's conjugate term comes from the
// other, so the initial spectrum is read once. Their frequencies are those of
// the distinct rows i and i+1 (row N-1-i shares row i+1's), so every distinct
// row gets one pass of sines and cosines, but for the first row of each slot.
// Slots take consecutive ranges of i and run on the thread pool.
void cFFTHeightmap::EvolveSpectrum(float time) {
  const size_t pairs = size_ / 2;
  // Every phase is time * frequency rounded to float; the fast sine needs them below its limit.
  const bool fast = std::fabs(time) * largestFrequency_ < kSinCosLimit;
  const auto evolve = [&](size_t slot) {
    EvolveRows(pairs * slot / kEvolveSlots, pairs * (slot + 1) / kEvolveSlots, time, fast, slot);
  };
  if (size_ < kMinParallelSize) {
    for (size_t slot = 0; slot < kEvolveSlots; ++slot) evolve(slot);
    return;
  }
  cThreadPool::Shared().ParallelFor(kEvolveSlots, 1, [&](size_t begin, size_t end) {
    for (size_t slot = begin; slot < end; ++slot) evolve(slot);
  });
}

void cFFTHeightmap::EvolveRows(size_t begin, size_t end, float time, bool fast, size_t slot) {
  if (begin == end) return;
  const size_t n = size_, length = arrays_.rowLength;
  float* rows = arrays_.rows.Data() + slot * 4 * length;
  float* sine[2] = {rows, rows + length};
  float* cosine[2] = {rows + 2 * length, rows + 3 * length};
  RowPhases(begin, time, fast, sine[begin % 2], cosine[begin % 2]);
  for (size_t i = begin; i < end; ++i) {
    const int current = i % 2, next = 1 - current;
    RowPhases(i + 1, time, fast, sine[next], cosine[next]);
    EvolveRow(i, sine[current], cosine[current]);
    EvolveRow(n - 1 - i, sine[next], cosine[next]);
  }
}

// Sines and cosines of time * frequency along a distinct row; columns j and
// N-j share a frequency.
void cFFTHeightmap::RowPhases(size_t row, float time, bool fast, float* sine, float* cosine) const {
  const size_t n = size_;
  const float* frequencies = arrays_.frequencies.Data() + row * arrays_.frequencyStride;
  const size_t count = arrays_.frequencyStride;
  if (fast && HasWideVectors()) {
    FastPhasesWide(frequencies, count, time, sine, cosine);
  } else if (fast) {
    Phases<SinCos4>(frequencies, count, time, sine, cosine);
  } else {
    Phases<SinCos4Library>(frequencies, count, time, sine, cosine);
  }
  for (size_t j = n / 2 + 1; j < n; ++j) {
    sine[j] = sine[n - j];
    cosine[j] = cosine[n - j];
  }
}

// ht = h0(n) e^(i phase) + conj(h0(m)) e^(-i phase), m at row N-1-i, column
// N-1-j: with h0(n) = (a, b) and h0(m) = (x, y) that is
// ((a + x) cos - (b + y) sin, (a - x) sin + (b - y) cos).
void cFFTHeightmap::EvolveRow(size_t row, const float* sine, const float* cosine) {
  const size_t n = size_;
  const float* h0 = reinterpret_cast<const float*>(arrays_.h0.Data() + row * n);
  const float* mirror = reinterpret_cast<const float*>(arrays_.h0.Data() + (n - 1 - row) * n);
  float* out = reinterpret_cast<float*>(arrays_.ht.Data() + row * n);
  size_t j = 0;
  for (; j + 4 <= n; j += 4) {
    v4sf a, b, x, y;
    Deinterleave4(h0 + 2 * j, &a, &b);
    DeinterleaveReversed4(mirror + 2 * (n - 1 - j), &x, &y);
    const v4sf s = Load4(sine + j), c = Load4(cosine + j);
    const v4sf re = (a + x) * c - (b + y) * s;
    const v4sf im = (a - x) * s + (b - y) * c;
    Store4(out + 2 * j, __builtin_shufflevector(re, im, 0, 4, 1, 5));
    Store4(out + 2 * j + 4, __builtin_shufflevector(re, im, 2, 6, 3, 7));
  }
  for (; j < n; ++j) {  // only N = 2 has a row shorter than a vector
    const float a = h0[2 * j], b = h0[2 * j + 1], x = mirror[2 * (n - 1 - j)], y = mirror[2 * (n - 1 - j) + 1];
    out[2 * j] = (a + x) * cosine[j] - (b + y) * sine[j];
    out[2 * j + 1] = (a - x) * sine[j] + (b - y) * cosine[j];
  }
}

bool cFFTHeightmap::WriteTexture(IDirect3DDevice9* device) { return texture_.Write(device, GetHeights(), size_); }

bool cFFTHeightmap::UseIntegerFormat(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return texture_.UseIntegerFormat(d3d, device);
}

bool cFFTHeightmap::UseFloatFormat(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return texture_.UseFloatFormat(d3d, device);
}

cEngineSettings* cFFTHeightmap::FillSettings(cEngineSettings* settings) {
  if (!settings) return nullptr;
  settings->integerHeightmapTextureFormat = texture_.GetFormat() == D3DFMT_A8R8G8B8;
  settings->heightmapResolution = size_;
  settings->heightmapGridSize = gridSize_;
  settings->windX = windX_;
  settings->windZ = windZ_;
  settings->fftAmplitude = amplitude_;
  settings->fftNormalizationFactor = normalization_;
  settings->fftSmoothness = smoothness_;
  return settings;
}
