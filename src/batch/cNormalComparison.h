// Every normal-map method this program has, run on the same FFT heightmap
// frame and measured against the exact normal of that surface (cWaveSlopes):
// the angle between them in degrees, before and after the 8-bit encoding the
// engines read, and the method's time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "batch/cWaveSlopes.h"
#include "heightmap/cFFT.h"
#include "heightmap/cFFTHeightmap.h"
#include "normalmap/cNormalmapFDRaw.h"
#include "normalmap/cNormalmapFDTex.h"
#include "normalmap/cNormalmapFFT.h"

struct AngularError {
  double mean = 0.0;
  double p95 = 0.0;
  double max = 0.0;
};

// Angles in degrees between `normals` and the exact normals
// normalise(-scale * columnSlope, -scale * rowSlope, 1); with `quantised`,
// each normal first goes through the texel encoding trunc(v * 127 + 128) and back.
AngularError MeasureAngularError(const D3DXVECTOR3* normals, const cWaveSlopes& exact, double scale,
                                 bool quantised, std::vector<double>* scratch);

struct MethodError {
  const char* name;
  AngularError exact;
  AngularError quantised;
  double milliseconds;
};

class cNormalComparison {
 public:
  // Binds the heightmap (not owned). `amplitude` is the finite differences'
  // height scale; `normalization` the heightmap's fixed factor (0: automatic).
  bool Bind(cFFTHeightmap* heightmap, float amplitude, float normalization);
  // Adds the GPU finite differences, drawn on `device` from the heightmap's
  // texture (which must be written before each Run). Only a device that draws
  // pixels (OpenGL) gives them anything to measure.
  bool BindGPU(IDirect3D9* d3d, IDirect3DDevice9* device);
  // Runs every bound method on the heightmap's current frame.
  bool Run(std::vector<MethodError>* results);

  // Every method with one line on what it is, and the names Run reports, in order.
  static const std::vector<std::pair<const char*, const char*>>& Methods();
  std::vector<const char*> ActiveMethods() const;

 private:
  // Per-texel slope scale of the surface the finite differences see.
  double HeightScale() const;
  bool SpectralNormals();
  void Measure(const char* name, const D3DXVECTOR3* normals, double scale, double milliseconds,
               std::vector<MethodError>* results);
  bool RunGPU(cNormalmapFDTex& normalmap, const char* name, double scale, std::vector<MethodError>* results);

  cFFTHeightmap* heightmap_ = nullptr;
  float amplitude_ = 1.0f;
  float normalization_ = 0.0f;
  cNormalmapFDRaw forward_, centred_;
  cNormalmapFFT fft_;
  cNormalmapFDTex gpuForward_, gpuCentred_;
  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  std::vector<uint8_t> texels_;
  std::vector<D3DXVECTOR3> gpuNormals_;
  // The slopes straight from the spectrum in single precision: what an exact
  // FFT normal map computes.
  cAlignedArray<std::complex<float>> slopeSpectrum_;
  cFFT slopeColumns_, slopeRows_;
  std::vector<D3DXVECTOR3> spectralNormals_;
  cWaveSlopes exact_;
  std::vector<double> scratch_;
};
