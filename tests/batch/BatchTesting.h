// Small states for the batch program's tests, as the editor would save them,
// and a comparison of two records key by key.
#pragma once

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "settings/TypeIds.h"
#include "settings/cEngineSettings.h"

namespace batch::testing {

// An FFT heightmap of N = 16 with the CPU forward-difference normal map and an
// extruded simple grid: every step of the pipeline runs.
inline cEngineSettings TinyFFTState() {
  cEngineSettings s{};
  std::tie(s.heightmapType, s.heightmapResolution, s.heightmapGridSize, s.heightmapUpdateCoef) =
      std::tuple(HEIGHTMAP_FFT, 16, 4, 1.0f);
  std::tie(s.windX, s.windZ, s.fftAmplitude, s.fftNormalizationFactor, s.fftSmoothness) =
      std::tuple(1.0f, 1.0f, 4.0f, 0.0f, 6.0f);
  std::tie(s.normalmapType, s.fdNormalmapMethod, s.fdNormalmapAmplitude) = std::tuple(NORMALMAP_FD_RAW, 0, 1.0f);
  std::tie(s.geometryType, s.simpleGridSizeX, s.simpleGridSizeZ, s.simpleGridTessellationX,
           s.simpleGridTessellationZ) = std::tuple(GEOMETRY_SIMPLE, 10.0f, 10.0f, 8, 8);
  std::tie(s.geometryDefaultUVScaleX, s.geometryDefaultUVScaleY, s.geometryExtrusionUVScaleX,
           s.geometryExtrusionUVScaleY) = std::tuple(1.0f, 1.0f, 1.0f, 1.0f);
  std::tie(s.extrudeGeometry, s.geometryExtrusionStrength) = std::tuple(true, 2.0f);
  return s;
}

// The keys whose fields differ between `a` and `b`.
inline std::vector<std::string> DifferingKeys(const cEngineSettings& a, const cEngineSettings& b) {
  std::vector<std::string> keys;
  for (const SettingKey& key : EngineSettingKeys()) {
    const char* fieldA = reinterpret_cast<const char*>(&a) + key.offset;
    const char* fieldB = reinterpret_cast<const char*>(&b) + key.offset;
    if (std::memcmp(fieldA, fieldB, key.kind == SettingKind::Bool ? sizeof(bool) : 4) != 0) keys.push_back(key.key);
  }
  return keys;
}

}  // namespace batch::testing
