#include "heightmap/cFFTHeightmap.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <utility>

#include "config/TypeIds.h"
#include "heightmap/Simd.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kGravity = 9.81f;
constexpr float kInverseGravity = 0.101936795f;  // 1 / 9.81 rounded down
constexpr float kTimeOffset = 10000.0f;

// Writes ht for every element from the rotation coefficients; count is a multiple of 4.
template <void (*kSinCos)(v4sf, v4sf*, v4sf*)>
void Evolve(float time, size_t count, const float* frequencies, const float* realCos, const float* realSin,
            const float* imagSin, const float* imagCos, float* spectrum) {
  const v4sf t = Splat4(time);
  for (size_t n = 0; n < count; n += 4) {
    v4sf sine, cosine;
    kSinCos(t * Load4(frequencies + n), &sine, &cosine);
    const v4sf re = Load4(realCos + n) * cosine + Load4(realSin + n) * sine;
    const v4sf im = Load4(imagSin + n) * sine + Load4(imagCos + n) * cosine;
    Store4(spectrum + 2 * n, __builtin_shufflevector(re, im, 0, 4, 1, 5));
    Store4(spectrum + 2 * n + 4, __builtin_shufflevector(re, im, 2, 6, 3, 7));
  }
}

}  // namespace

bool cFFTHeightmap::Arrays::Allocate(size_t count) {
  return h0.Allocate(count) && ht.Allocate(count) && frequencies.Allocate(count) && realCos.Allocate(count) &&
         realSin.Allocate(count) && imagSin.Allocate(count) && imagCos.Allocate(count);
}

int cFFTHeightmap::GetTypeId() const { return HEIGHTMAP_FFT; }

bool cFFTHeightmap::Initialize(int resolution, int gridSize, const D3DXVECTOR2* wind, float amplitude) {
  return Initialize(resolution, gridSize, wind, amplitude, cRandom::SeedFromTime(static_cast<uint32_t>(time(NULL))));
}

bool cFFTHeightmap::Initialize(int resolution, int gridSize, const D3DXVECTOR2* wind, float amplitude,
                               uint32_t seed) {
  if (!wind || resolution > kMaxHeightmapResolution) return false;
  int size = 2;
  while (size < resolution) size *= 2;
  Arrays arrays;
  if (!arrays.Allocate(static_cast<size_t>(size) * size) || !transform_.Create(size)) return false;

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
  const size_t count = static_cast<size_t>(size_) * size_;
  const float spacing = kTwoPi / static_cast<float>(gridSize_);
  for (int i = 0; i < size_; ++i) {
    for (int j = 0; j < size_; ++j) {
      const float kx = (i - size_ * 0.5f) * spacing, kz = (j - size_ * 0.5f) * spacing;
      const float amplitude = std::sqrt(PhillipsSpectrum(kx, kz) * 0.5f);
      const float g1 = GaussianRandom() * amplitude;
      const float g2 = GaussianRandom() * amplitude;
      const size_t n = static_cast<size_t>(i) * size_ + j;
      arrays_.h0[n] = {g2, g1};
      arrays_.frequencies[n] = std::sqrt(std::sqrt(kx * kx + kz * kz) * kGravity);
    }
  }
  largestFrequency_ = *std::max_element(arrays_.frequencies.Data(), arrays_.frequencies.Data() + count);
  // The conjugate term uses the element at row N-1-i, column N-1-j: index count-1-n.
  for (size_t n = 0; n < count; ++n) {
    const std::complex<float> a = arrays_.h0[n], mirror = arrays_.h0[count - 1 - n];
    arrays_.realCos[n] = a.real() + mirror.real();
    arrays_.realSin[n] = -mirror.imag() - a.imag();
    arrays_.imagSin[n] = a.real() - mirror.real();
    arrays_.imagCos[n] = a.imag() - mirror.imag();
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
  const float value = amplitude_ * std::exp(-1.0f / (x * x)) / (kl * kl * kl * kl) * std::pow(std::fabs(q), smoothness_);
  return std::isfinite(value) ? value : 0.0f;
}

bool cFFTHeightmap::Update(float time) {
  if (!arrays_.h0.Data()) return false;
  EvolveSpectrum(time + kTimeOffset);
  return transform_.SetInput(arrays_.ht.Data()) && transform_.Run() && transform_.Normalize(normalization_);
}

void cFFTHeightmap::EvolveSpectrum(float time) {
  const size_t count = static_cast<size_t>(size_) * size_;
  float* spectrum = reinterpret_cast<float*>(arrays_.ht.Data());
  // Every phase is time * frequency rounded to float; the fast sine needs them below its limit.
  if (std::fabs(time) * largestFrequency_ < kSinCosLimit) {
    Evolve<SinCos4>(time, count, arrays_.frequencies.Data(), arrays_.realCos.Data(), arrays_.realSin.Data(),
                    arrays_.imagSin.Data(), arrays_.imagCos.Data(), spectrum);
  } else {
    Evolve<SinCos4Library>(time, count, arrays_.frequencies.Data(), arrays_.realCos.Data(), arrays_.realSin.Data(),
                           arrays_.imagSin.Data(), arrays_.imagCos.Data(), spectrum);
  }
}

bool cFFTHeightmap::WriteTexture(IDirect3DDevice9* device) {
  return texture_.Write(device, GetHeights(), size_);
}

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
