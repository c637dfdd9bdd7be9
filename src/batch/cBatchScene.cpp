#include "batch/cBatchScene.h"

#include <chrono>
#include <cmath>

#include "settings/TypeIds.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"
#include "heightmap/cFFTHeightmap.h"
#include "heightmap/cPerlinNoiseHeightmap.h"
#include "normalmap/cNormalmapFDRaw.h"
#include "normalmap/cNormalmapFDTex.h"
#include "normalmap/cNormalmapFFT.h"

namespace {

// Runs `step` and stores its duration in milliseconds in `*total`.
template <typename Step>
bool Timed(double* total, Step step) {
  const auto start = std::chrono::steady_clock::now();
  const bool ok = step();
  *total = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return ok;
}

}  // namespace

bool cBatchScene::Build(const cEngineSettings& settings, uint32_t seed, double loopSeconds, IDirect3D9* d3d,
                        IDirect3DDevice9* device, std::string* error) {
  settings_ = settings;
  d3d_ = d3d;
  device_ = device;
  geometry_.reset();
  normalmap_.reset();
  heightmap_.reset();
  if (settings.heightmapType == 0) {
    *error = "the state has no heightmap";
    return false;
  }
  return BuildHeightmap(seed, loopSeconds, error) && BuildNormalmap(error) && BuildGeometry(error);
}

// The editor's create command: FFT with the menu's smoothness, resolution,
// grid size, wind and amplitude, and the normalisation field when its box is
// ticked (a loaded factor of 0 leaves it unticked: automatic).
bool cBatchScene::BuildHeightmap(uint32_t seed, double loopSeconds, std::string* error) {
  const cEngineSettings& s = settings_;
  if (s.heightmapType == HEIGHTMAP_PERLIN) {
    if (loopSeconds > 0.0) {
      *error = "--loop needs the FFT heightmap; this state has the Perlin noise heightmap";
      return false;
    }
    auto perlin = std::make_unique<cPerlinNoiseHeightmap>();
    if (!perlin->Initialize(s.heightmapResolution, s.perlinPersistence, s.perlinOctaveCount, s.heightmapGridSize,
                            s.perlinSquaredHeight)) {
      *error = "the Perlin noise heightmap could not be created";
      return false;
    }
    heightmap_ = std::move(perlin);
    return true;
  }
  // The heightmap runs on the scaled time, so its period is scaled alike; a
  // negative speed runs the same loop backwards.
  const auto period = static_cast<float>(loopSeconds * std::fabs(s.heightmapUpdateCoef));
  if (loopSeconds > 0.0 && !(std::isfinite(period) && period > 0.0f)) {
    *error = "--loop needs a simulation speed whose loop period is above 0 and finite; this state's "
             "[heightmap update coef] is " + std::to_string(s.heightmapUpdateCoef);
    return false;
  }
  auto fft = std::make_unique<cFFTHeightmap>();
  fft->SetSmoothness(s.fftSmoothness);
  fft->SetLoopPeriod(period);
  const D3DXVECTOR2 wind(s.windX, s.windZ);
  if (!fft->Initialize(s.heightmapResolution, s.heightmapGridSize, &wind, s.fftAmplitude, seed)) {
    *error = "the FFT heightmap could not be created";
    return false;
  }
  fft->SetNormalization(std::fabs(s.fftNormalizationFactor));
  heightmap_ = std::move(fft);
  return true;
}

bool cBatchScene::BuildNormalmap(std::string* error) {
  const cEngineSettings& s = settings_;
  bool built = true;
  if (s.normalmapType == NORMALMAP_FD_RAW) {
    auto normalmap = std::make_unique<cNormalmapFDRaw>();
    built = normalmap->SetSource(heightmap_.get());
    normalmap->SetMethod(s.fdNormalmapMethod);
    normalmap->SetAmplitude(std::fabs(s.fdNormalmapAmplitude));
    normalmap_ = std::move(normalmap);
  } else if (s.normalmapType == NORMALMAP_FD_TEX) {
    auto normalmap = std::make_unique<cNormalmapFDTex>();
    built = heightmap_->WriteTexture(device_) && normalmap->Initialize(heightmap_->GetTexture(), d3d_, device_);
    normalmap->SetMethod(s.fdNormalmapMethod);
    normalmap->SetAmplitude(std::fabs(s.fdNormalmapAmplitude));
    normalmap_ = std::move(normalmap);
  } else if (s.normalmapType == NORMALMAP_FFT) {
    auto normalmap = std::make_unique<cNormalmapFFT>();
    built = normalmap->SetSource(heightmap_.get());
    normalmap_ = std::move(normalmap);
  }
  if (!built) {
    *error = "the normal map could not be created (the GPU one needs shaders/cNormalmapFDTex.fx under the working "
             "folder: run from the repository root)";
  }
  return built;
}

bool cBatchScene::BuildGeometry(std::string* error) {
  const cEngineSettings& s = settings_;
  const D3DXVECTOR2 uv(s.geometryDefaultUVScaleX, s.geometryDefaultUVScaleY);
  const D3DXVECTOR3 origin(s.geometryOriginX, s.geometryOriginY, s.geometryOriginZ);
  bool built = true;
  if (s.geometryType == GEOMETRY_SIMPLE) {
    auto grid = std::make_unique<cSimpleGrid>();
    built = grid->Create(s.simpleGridSizeX, s.simpleGridSizeZ, s.simpleGridTessellationX, s.simpleGridTessellationZ,
                         uv, origin, device_);
    geometry_ = std::move(grid);
  } else if (s.geometryType == GEOMETRY_RADIAL) {
    auto grid = std::make_unique<cRadialGrid>();
    built = grid->Create(s.radialMaxRadius, s.radialResolution, s.radialFirstRadius, s.radialRadiusOffsetScale,
                         s.radialFirstLevelOffset, uv, origin, device_);
    grid->SetHeightFalloffDistance(s.radialHeightFalloffDistance);
    geometry_ = std::move(grid);
  } else if (s.geometryType == GEOMETRY_GEOMIPMAP) {
    auto grid = std::make_unique<cGeomipmapGrid>();
    built = grid->Create(s.geomipmapSizeX, s.geomipmapSizeZ, s.geomipmapPatchCountX, s.geomipmapPatchCountZ,
                         s.geomipmapLevel0Tessellation, uv, origin, device_);
    grid->SetLastLevelFalloffDistance(s.geomipmapLastLevelFalloffDistance);
    grid->SetHeightFalloffDistance(s.geomipmapHeightFalloffDistance);
    geometry_ = std::move(grid);
  }
  if (!built) *error = "the geometry could not be created";
  return built;
}

bool cBatchScene::PrimeLoop(double loopSeconds, double dt, int frames) {
  if (!heightmap_ || loopSeconds <= 0.0 || settings_.heightmapType != HEIGHTMAP_FFT ||
      settings_.fftNormalizationFactor != 0.0f) {
    return true;
  }
  for (int frame = 0; frame < frames && frame * dt < loopSeconds; ++frame) {
    if (!heightmap_->Update(static_cast<float>(frame * dt * settings_.heightmapUpdateCoef))) return false;
  }
  return true;
}

bool cBatchScene::Step(double seconds, StepTimes* times) {
  times->failed = nullptr;
  times->extrusion = -1.0;
  if (!heightmap_) return false;
  const auto time = static_cast<float>(seconds * settings_.heightmapUpdateCoef);
  auto run = [&](const char* name, double* total, auto step) {
    if (Timed(total, step)) return true;
    times->failed = name;
    return false;
  };
  if (!run("the heightmap update", &times->heightmapUpdate, [&] { return heightmap_->Update(time); }) ||
      !run("the heightmap texture", &times->heightmapTexture, [&] { return heightmap_->WriteTexture(device_); })) {
    return false;
  }
  if (normalmap_ &&
      (!run("the normal map", &times->normalmap, [&] { return normalmap_->Compute(); }) ||
       !run("the normal map texture", &times->normalmapTexture,
            [&] { return normalmap_->WriteTexture(d3d_, device_); }))) {
    return false;
  }
  if (!geometry_ || !settings_.extrudeGeometry) return true;
  const cEngineSettings& s = settings_;
  return run("the extrusion", &times->extrusion, [&] {
    return geometry_->Extrude(heightmap_.get(), s.geometryExtrusionStrength, s.geometryExtrusionUVScaleX,
                              s.geometryExtrusionUVScaleY);
  });
}
