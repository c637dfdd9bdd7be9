// Normals from the slopes of the FFT heightmap's own spectrum: the current
// spectrum times i k for each wave-vector component (on a spacing of pi / L,
// half the heightmap's), both slope fields from one complex transform. Its
// strength follows the heightmap's spectrum, so the amplitude is not used.
#pragma once

#include <complex>

#include "heightmap/cAlignedArray.h"
#include "heightmap/cComplexFFT.h"
#include "heightmap/cFFTHeightmap.h"
#include "normalmap/cNormalmapTexture.h"
#include "normalmap/iNormalmap.h"

class cNormalmapFFT : public iNormalmap {
 public:
  IDirect3DTexture9* GetTexture() const override { return texture_.Get(); }
  bool OnLostDevice(IDirect3DDevice9*) override { return true; }
  bool OnResetDevice(IDirect3DDevice9*) override { return true; }
  bool OnDeviceEvent(IDirect3DDevice9*) override { return true; }
  bool Compute() override;
  bool WriteTexture(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  const D3DXVECTOR3* GetNormals() const override { return normals_.Data(); }
  int GetResolution() const override { return size_; }
  void SetAmplitude(float amplitude) override { amplitude_ = amplitude; }
  bool IsSupported(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  int GetTypeId() const override;
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

  // Binds an FFT heightmap (not owned) and sizes everything to its N; any
  // other generator is refused. An uninitialised one stays bound but leaves the
  // old arrays in place.
  bool SetSource(iHeightmap* heightmap);

 private:
  void BuildSlopeSpectrum(const std::complex<float>* spectrum);
  void BuildSlopeRow(const std::complex<float>* spectrum, int row);
  void BuildSlopeSpectrumDirect(const std::complex<float>* spectrum);

  int size_ = -1;
  float amplitude_ = 1.0f;
  cFFTHeightmap* heightmap_ = nullptr;
  cAlignedArray<D3DXVECTOR3> normals_;
  // Its output is minus the slope along the columns (z) plus i times minus
  // the slope along the rows (x): the normal's x and y before normalisation.
  cComplexFFT transform_;
  cNormalmapTexture texture_;
};
