#include "batch/cNormalComparison.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

#include "batch/BakedTexels.h"
#include "platform/Platform.h"

namespace {

struct Vector {
  double x, y, z;
};

Vector Normalised(Vector v) {
  const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / length, v.y / length, v.z / length};
}

// One component through the engines' texel encoding and back.
double Quantised(float v) { return NormalFromTexel(NormalTexel(v)); }

double AngleInDegrees(const Vector& a, const Vector& b) {
  const Vector cross{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  const double sine = std::sqrt(cross.x * cross.x + cross.y * cross.y + cross.z * cross.z);
  return std::atan2(sine, a.x * b.x + a.y * b.y + a.z * b.z) * (180.0 / std::numbers::pi);
}

double Milliseconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

const char* const kForward = "cpu-forward";
const char* const kCentred = "cpu-centred";
const char* const kFFT = "fft";
const char* const kSpectral = "spectral";
const char* const kGPUForward = "gpu-forward";
const char* const kGPUCentred = "gpu-centred";

}  // namespace

AngularError MeasureAngularError(const D3DXVECTOR3* normals, const cWaveSlopes& exact, double scale,
                                 bool quantised, std::vector<double>* angles) {
  const size_t count = exact.AlongColumns().size();
  angles->resize(count);
  AngularError error;
  double sum = 0.0;
  for (size_t k = 0; k < count; ++k) {
    const D3DXVECTOR3& n = normals[k];
    const Vector method = quantised ? Normalised({Quantised(n.x), Quantised(n.y), Quantised(n.z)})
                                    : Vector{n.x, n.y, n.z};
    const Vector reference =
        Normalised({-scale * exact.AlongColumns()[k], -scale * exact.AlongRows()[k], 1.0});
    const double angle = AngleInDegrees(method, reference);
    (*angles)[k] = angle;
    sum += angle;
    error.max = std::max(error.max, angle);
  }
  if (count == 0) return error;
  error.mean = sum / count;
  auto percentile = angles->begin() + static_cast<std::ptrdiff_t>(0.95 * (count - 1));
  std::nth_element(angles->begin(), percentile, angles->end());
  error.p95 = *percentile;
  return error;
}

const std::vector<std::pair<const char*, const char*>>& cNormalComparison::Methods() {
  static const std::vector<std::pair<const char*, const char*>> methods = {
      {kForward, "CPU finite differences, forward (the editor's \"Simple Differencing\")"},
      {kCentred, "CPU finite differences, centred Sobel (\"Centered Differencing\"); spans two texels, so its "
                 "surface is twice as steep and is measured against a reference scaled to match"},
      {kFFT, "the editor's FFT normal map (\"FFT based\"), against the surface its own scale describes"},
      {kSpectral, "slopes taken from the spectrum in single precision: the spectral derivative itself"},
      {kGPUForward, "GPU finite differences, forward, from the heightmap texture (only with --gpu); the map exists "
                    "only as 8-bit texels, so both columns measure those"},
      {kGPUCentred, "GPU finite differences, centred (only with --gpu), scaled as the CPU centred ones"},
  };
  return methods;
}

std::vector<const char*> cNormalComparison::ActiveMethods() const {
  std::vector<const char*> names = {kForward, kCentred, kFFT, kSpectral};
  if (device_) names.insert(names.end(), {kGPUForward, kGPUCentred});
  return names;
}

bool cNormalComparison::BindGPU(IDirect3D9* d3d, IDirect3DDevice9* device) {
  if (!heightmap_ || !heightmap_->WriteTexture(device)) return false;
  for (cNormalmapFDTex* normalmap : {&gpuForward_, &gpuCentred_}) {
    if (!normalmap->Initialize(heightmap_->GetTexture(), d3d, device)) return false;
    normalmap->SetAmplitude(amplitude_);
  }
  gpuForward_.SetMethod(cNormalmapFDRaw::FORWARD);
  gpuCentred_.SetMethod(cNormalmapFDRaw::CENTRED);
  d3d_ = d3d;
  device_ = device;
  gpuNormals_.resize(spectralNormals_.size());
  return true;
}

// Draws the map and reads its texels back (the read waits for the draw, so
// the time is the GPU's too), decoded from B, G, R = z, y, x.
bool cNormalComparison::RunGPU(cNormalmapFDTex& normalmap, const char* name, double scale,
                               std::vector<MethodError>* results) {
  const auto start = std::chrono::steady_clock::now();
  if (!normalmap.WriteTexture(d3d_, device_) || !platform::ReadTexture(normalmap.GetTexture(), 0, texels_) ||
      texels_.size() < gpuNormals_.size() * 4) {
    return false;
  }
  const double milliseconds = Milliseconds(start);
  for (size_t k = 0; k < gpuNormals_.size(); ++k) {
    const uint8_t* texel = &texels_[4 * k];
    D3DXVECTOR3 normal((texel[2] - 128) / 127.0f, (texel[1] - 128) / 127.0f, (texel[0] - 128) / 127.0f);
    D3DXVec3Normalize(&gpuNormals_[k], &normal);
  }
  const AngularError error = MeasureAngularError(gpuNormals_.data(), exact_, scale, false, &scratch_);
  results->push_back({name, error, error, milliseconds});
  return true;
}

bool cNormalComparison::Bind(cFFTHeightmap* heightmap, float amplitude, float normalization) {
  heightmap_ = heightmap;
  amplitude_ = std::fabs(amplitude);
  normalization_ = std::fabs(normalization);
  const int n = heightmap ? heightmap->GetResolution() : -1;
  if (n < 2 || !forward_.SetSource(heightmap) || !centred_.SetSource(heightmap) || !fft_.SetSource(heightmap)) {
    return false;
  }
  forward_.SetMethod(cNormalmapFDRaw::FORWARD);
  centred_.SetMethod(cNormalmapFDRaw::CENTRED);
  forward_.SetAmplitude(amplitude_);
  centred_.SetAmplitude(amplitude_);
  spectralNormals_.resize(static_cast<size_t>(n) * n);
  return slopeSpectrum_.Allocate(static_cast<size_t>(n) * n) && slopeColumns_.Create(n) && slopeRows_.Create(n);
}

// Heights are (raw + s) / 2s with s the fixed factor, or the automatic peak
// plus the same bias Normalize adds.
double cNormalComparison::HeightScale() const {
  const double s = normalization_ != 0.0f ? normalization_ : heightmap_->GetPeak() + 0.000001f;
  return amplitude_ / (2.0 * s);
}

bool cNormalComparison::Run(std::vector<MethodError>* results) {
  results->clear();
  if (!heightmap_ || !exact_.Compute(*heightmap_)) return false;
  const double n = heightmap_->GetResolution();
  const double scale = HeightScale();
  struct Entry {
    const char* name;
    iNormalmap* normalmap;
    double scale;
  };
  // The FFT normal map's slopes are world units with half the heightmap's
  // wave-number spacing (pi / L): N / 2L per texel.
  const Entry entries[] = {{kForward, &forward_, scale},
                           {kCentred, &centred_, 2.0 * scale},
                           {kFFT, &fft_, n / (2.0 * heightmap_->GetGridSize())}};
  for (const Entry& entry : entries) {
    const auto start = std::chrono::steady_clock::now();
    if (!entry.normalmap->Compute()) return false;
    Measure(entry.name, entry.normalmap->GetNormals(), entry.scale, Milliseconds(start), results);
  }
  const auto start = std::chrono::steady_clock::now();
  if (!SpectralNormals()) return false;
  Measure(kSpectral, spectralNormals_.data(), scale, Milliseconds(start), results);
  return !device_ ||
         (RunGPU(gpuForward_, kGPUForward, scale, results) && RunGPU(gpuCentred_, kGPUCentred, 2.0 * scale, results));
}

void cNormalComparison::Measure(const char* name, const D3DXVECTOR3* normals, double scale, double milliseconds,
                                std::vector<MethodError>* results) {
  results->push_back({name, MeasureAngularError(normals, exact_, scale, false, &scratch_),
                      MeasureAngularError(normals, exact_, scale, true, &scratch_), milliseconds});
}

// i k ht through cFFT gives the slope directly: its output is
// -(-1)^(r+c) Re(inverse DFT), the same sum the heights are.
bool cNormalComparison::SpectralNormals() {
  const int n = heightmap_->GetResolution();
  const std::complex<float>* spectrum = heightmap_->GetSpectrum();
  const float step = static_cast<float>(2.0 * std::numbers::pi / n);
  cFFT* transforms[2] = {&slopeColumns_, &slopeRows_};
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        const size_t index = static_cast<size_t>(i) * n + j;
        const float k = step * ((pass == 1 ? i : j) - n / 2);
        slopeSpectrum_[index] = std::complex<float>(0.0f, k) * spectrum[index];
      }
    }
    if (!transforms[pass]->SetInput(slopeSpectrum_.Data()) || !transforms[pass]->Run()) return false;
  }
  const float scale = static_cast<float>(HeightScale());
  const float* columns = slopeColumns_.GetOutput();
  const float* rows = slopeRows_.GetOutput();
  for (size_t k = 0; k < spectralNormals_.size(); ++k) {
    D3DXVECTOR3 normal(-scale * columns[k], -scale * rows[k], 1.0f);
    D3DXVec3Normalize(&normal, &normal);
    spectralNormals_[k] = normal;
  }
  return true;
}
