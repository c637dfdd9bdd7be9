// Statistical ocean heights: a random spectrum drawn once from a Phillips-type
// wave spectrum, advanced in time by the deep-water dispersion relation and
// brought back to heights by cFFT, normalised into [0, 1].
#pragma once

#include <complex>
#include <cstdint>

#include "heightmap/cAlignedArray.h"
#include "heightmap/cFFT.h"
#include "heightmap/cHeightmapTexture.h"
#include "heightmap/cRandom.h"
#include "heightmap/iHeightmap.h"
#include "platform/d3dx9.h"

class cFFTHeightmap : public iHeightmap {
 public:
  bool OnLostDevice() override { return true; }
  bool OnResetDevice() override { return true; }
  bool OnDeviceEvent() override { return true; }

  IDirect3DTexture9* GetTexture() const override { return texture_.Get(); }
  const float* GetHeights() const override { return transform_.GetOutput(); }
  int GetResolution() const override { return size_; }
  bool WriteTexture(IDirect3DDevice9* device) override;
  bool Update(float time) override;
  int GetTypeId() const override;
  bool UseIntegerFormat(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  bool UseFloatFormat(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  D3DFORMAT GetTextureFormat() const override { return texture_.GetFormat(); }
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

  // The directional exponent; used by the next Initialize.
  void SetSmoothness(float smoothness) { smoothness_ = smoothness; }
  // Draws the spectrum for an N*N grid (N the power of two at or above the
  // requested resolution, at least 2) with the generator seeded from the
  // calendar time, then computes time 0. The wind's y is its z component.
  // On failure nothing changes.
  bool Initialize(int resolution, int gridSize, const D3DXVECTOR2* wind, float amplitude);
  // The same with a given seed.
  bool Initialize(int resolution, int gridSize, const D3DXVECTOR2* wind, float amplitude, uint32_t seed);
  // Fixed factor s maps [-s, s] onto [0, 1]; 0 means automatic. Used from the next Update.
  void SetNormalization(float factor) { normalization_ = factor; }
  // A period above 0 makes the animation repeat exactly every `period` seconds
  // of Update time: the next Initialize rounds each angular frequency to the
  // nearest multiple of 2 pi / period, and Update takes its time modulo the
  // period. 0, the default, keeps the dispersion relation as it is. The
  // automatic normalisation still grows with each new peak, so only a fixed
  // factor (or a peak already seen over one period) repeats exactly.
  void SetLoopPeriod(float period);
  float GetLoopPeriod() const { return loopPeriod_; }
  // `frequency` rounded to the nearest multiple of 2 pi / period (unchanged for period 0).
  static float QuantiseFrequency(float frequency, float period);

  // The time-evolved spectrum of the last Update, N*N row-major (row i is the
  // x component of the wave vector), read by the FFT normal map.
  const std::complex<float>* GetSpectrum() const { return arrays_.ht.Data(); }
  // The spectrum drawn by Initialize, same layout.
  const std::complex<float>* GetInitialSpectrum() const { return arrays_.h0.Data(); }
  int GetGridSize() const { return gridSize_; }
  float GetPeak() const { return transform_.GetPeak(); }

 private:
  static constexpr size_t kEvolveSlots = 4;
  // Everything sized N*N, allocated together so a failed Initialize keeps the old set.
  struct Arrays {
    cAlignedArray<std::complex<float>> h0;
    cAlignedArray<std::complex<float>> ht;
    // Rows i and N-i, and columns j and N-j, have bit-identical frequencies, so
    // only rows and columns 0..N/2 are kept (rows padded to a multiple of 4).
    cAlignedArray<float> frequencies;
    // Per evolve slot: sines, then cosines, of two rows.
    cAlignedArray<float> rows;
    size_t frequencyStride = 0;
    size_t rowLength = 0;
    bool Allocate(int size);
  };

  float GaussianRandom();
  float PhillipsSpectrum(float kx, float kz) const;
  void DrawSpectrum();
  void EvolveSpectrum(float time);
  // Row pairs i, N-1-i for i in [begin, end), with the row scratch of `slot`.
  void EvolveRows(size_t begin, size_t end, float time, bool fast, size_t slot);
  void RowPhases(size_t row, float time, bool fast, float* sine, float* cosine) const;
  void EvolveRow(size_t row, const float* sine, const float* cosine);

  int size_ = -1;
  int gridSize_ = 0;
  float windX_ = 0.0f, windZ_ = 0.0f;
  float smoothness_ = 6.0f;
  float amplitude_ = 0.0001f;
  float normalization_ = 0.0f;
  float loopPeriod_ = 0.0f;
  cRandom random_;
  Arrays arrays_;
  float largestFrequency_ = 0.0f;
  cFFT transform_;
  cHeightmapTexture texture_;
};
