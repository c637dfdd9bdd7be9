#include "normalmap/cNormalmapFFT.h"

#include <utility>

#include "settings/TypeIds.h"
#include "normalmap/NormalBlocks.h"

// N is a power of two of at least 2, so N*N is a multiple of four: the
// transforms' outputs can be read in whole blocks.
bool cNormalmapFFT::SetSource(iHeightmap* heightmap) {
  if (!heightmap || heightmap->GetTypeId() != HEIGHTMAP_FFT) return false;
  auto* fftHeightmap = dynamic_cast<cFFTHeightmap*>(heightmap);
  if (!fftHeightmap) return false;
  heightmap_ = fftHeightmap;
  const int size = fftHeightmap->GetResolution();
  if (size < 2 || size > kMaxHeightmapResolution) return false;
  const size_t count = static_cast<size_t>(size) * size;
  cAlignedArray<D3DXVECTOR3> normals;
  cAlignedArray<std::complex<float>> slopeX, slopeZ;
  cFFT transformX, transformZ;
  if (!AllocateNormals(normals, size) || !slopeX.Allocate(count) || !slopeZ.Allocate(count) ||
      !transformX.Create(size) || !transformZ.Create(size)) {
    return false;
  }
  size_ = size;
  normals_ = std::move(normals);
  slopeX_ = std::move(slopeX);
  slopeZ_ = std::move(slopeZ);
  transformX_ = std::move(transformX);
  transformZ_ = std::move(transformZ);
  texture_.Release();
  return true;
}

// The slope fields are not normalised: their scale is the spectrum's own.
bool cNormalmapFFT::Compute() {
  if (!heightmap_ || !normals_.Data()) return false;
  const std::complex<float>* spectrum = heightmap_->GetSpectrum();
  if (!spectrum || heightmap_->GetResolution() != size_) return false;
  BuildSlopeSpectra(spectrum);
  if (!transformX_.SetInput(slopeX_.Data()) || !transformX_.Run() || !transformZ_.SetInput(slopeZ_.Data()) ||
      !transformZ_.Run()) {
    return false;
  }
  const float* slopeX = transformX_.GetOutput();
  const float* slopeZ = transformZ_.GetOutput();
  ForEachBlock4(normals_.Data(), static_cast<size_t>(size_) * size_, [=](size_t n, D3DXVECTOR3* out) {
    StoreUnitNormals4(Load4(slopeZ + n), Load4(slopeX + n), out);
  });
  return true;
}

// Each element (a, b) of the spectrum becomes k * (a, -b) for the row (x) and
// column (z) wave numbers, on a spacing of pi / L: half the heightmap's.
void cNormalmapFFT::BuildSlopeSpectra(const std::complex<float>* spectrum) {
  constexpr float kPi = 3.1415927f;
  const float step = kPi / static_cast<float>(heightmap_->GetGridSize());
  const float centre = size_ * 0.5f;
  const v4sf conjugate{1.0f, -1.0f, 1.0f, -1.0f};
  for (int i = 0; i < size_; ++i) {
    const size_t row = static_cast<size_t>(i) * size_;
    const float* in = reinterpret_cast<const float*>(spectrum + row);
    float* outX = reinterpret_cast<float*>(slopeX_.Data() + row);
    float* outZ = reinterpret_cast<float*>(slopeZ_.Data() + row);
    const v4sf kx = Splat4(step * (i - centre));
    for (int j = 0; j < size_; j += 2) {
      const v4sf h = Load4(in + 2 * j) * conjugate;
      const float kz0 = step * (j - centre), kz1 = step * (j + 1 - centre);
      Store4(outX + 2 * j, kx * h);
      Store4(outZ + 2 * j, v4sf{kz0, kz0, kz1, kz1} * h);
    }
  }
}

bool cNormalmapFFT::WriteTexture(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return texture_.Write(d3d, device, normals_.Data(), size_);
}

bool cNormalmapFFT::IsSupported(IDirect3D9* d3d, IDirect3DDevice9* device) {
  return cNormalmapTexture::IsSupported(d3d, device);
}

int cNormalmapFFT::GetTypeId() const { return NORMALMAP_FFT; }

cEngineSettings* cNormalmapFFT::FillSettings(cEngineSettings* settings) {
  if (!settings) return nullptr;
  settings->normalmapType = NORMALMAP_FFT;
  return settings;
}
