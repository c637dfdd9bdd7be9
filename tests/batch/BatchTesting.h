// Small states for the batch program's tests, as the editor would save them,
// and a comparison of two records key by key.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "settings/TypeIds.h"
#include "settings/cEngineSettings.h"

namespace batch::testing {

// An FFT heightmap of N = 16 with the CPU forward-difference normal map and an
// extruded simple grid: every step of the pipeline runs.
inline cEngineSettings TinyFFTState() {
  cEngineSettings s{};
  s.heightmapType = HEIGHTMAP_FFT; s.heightmapResolution = 16; s.heightmapGridSize = 4; s.heightmapUpdateCoef = 1.0f;
  s.windX = s.windZ = 1.0f; s.fftAmplitude = 4.0f; s.fftNormalizationFactor = 0.0f; s.fftSmoothness = 6.0f;
  s.normalmapType = NORMALMAP_FD_RAW; s.fdNormalmapMethod = 0; s.fdNormalmapAmplitude = 1.0f;
  s.geometryType = GEOMETRY_SIMPLE; s.simpleGridSizeX = s.simpleGridSizeZ = 10.0f;
  s.simpleGridTessellationX = s.simpleGridTessellationZ = 8;
  s.geometryDefaultUVScaleX = s.geometryDefaultUVScaleY = 1.0f;
  s.geometryExtrusionUVScaleX = s.geometryExtrusionUVScaleY = 1.0f;
  s.extrudeGeometry = true; s.geometryExtrusionStrength = 2.0f;
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
