#include "waterscene/SettingsValidation.h"

#include <cstring>
#include <span>

#include "waterscene/ComponentRules.h"
#include "settings/TypeIds.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"

namespace {

using namespace ComponentRules;

// Heightmap resolutions the heightmap menu lists.
constexpr int kSmallestResolution = 8;
constexpr int kLargestResolution = 4096;

double ValueOf(const cEngineSettings& settings, const char* key) {
  const SettingKey* setting = FindSettingKey(key);
  const char* field = reinterpret_cast<const char*>(&settings) + setting->offset;
  if (setting->kind == SettingKind::Float) {
    float value;
    std::memcpy(&value, field, sizeof value);
    return value;
  }
  if (setting->kind == SettingKind::Bool) {
    bool value;
    std::memcpy(&value, field, sizeof value);
    return value;
  }
  int value;
  std::memcpy(&value, field, sizeof value);
  return value;
}

std::string Number(double value) {
  std::string text = std::to_string(value);
  while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.')) text.pop_back();
  return text;
}

std::string Violation(double value, Bound bound) {
  switch (bound) {
    case Bound::Positive: return Number(value) + " is not above 0";
    case Bound::NonNegative: return Number(value) + " is below 0";
    case Bound::AtLeastOne: return Number(value) + " is below 1";
    case Bound::AtLeastThree: return Number(value) + " is below 3";
    case Bound::Byte: return Number(value) + " is outside 0..255";
    case Bound::Unit: return Number(value) + " is outside 0..1";
  }
  return Number(value);
}

std::optional<SettingsProblem> Check(const cEngineSettings& settings, std::span<const ComponentRule> rules,
                                     ValueCheck check) {
  for (const ComponentRule& rule : rules) {
    if (!Applies(rule.live, check)) continue;
    const double value = ValueOf(settings, rule.key);
    if (!Within(value, rule.bound)) return SettingsProblem{rule.key, Violation(value, rule.bound)};
  }
  return std::nullopt;
}

std::optional<SettingsProblem> CheckFirst(std::initializer_list<std::optional<SettingsProblem>> results) {
  for (const auto& result : results) {
    if (result) return result;
  }
  return std::nullopt;
}

std::optional<SettingsProblem> Problem(const char* key, const std::string& reason) {
  return SettingsProblem{key, reason};
}

}  // namespace

std::optional<SettingsProblem> CheckHeightmapSettings(const cEngineSettings& s, ValueCheck check) {
  if (s.heightmapType == 0) return std::nullopt;
  if (s.heightmapResolution < kSmallestResolution || s.heightmapResolution > kLargestResolution ||
      !IsPowerOfTwo(s.heightmapResolution)) {
    return Problem("heightmap resolution", std::to_string(s.heightmapResolution) +
                                               " is not one of the resolutions 8, 16, ... 4096");
  }
  if (s.heightmapType == HEIGHTMAP_PERLIN) {
    return CheckFirst({Check(s, kPerlin, check), Check(s, kHeightmapSpeed, check)});
  }
  return CheckFirst(
      {Check(s, kRecordNormalization, check), Check(s, kFFT, check), Check(s, kHeightmapSpeed, check)});
}

std::optional<SettingsProblem> CheckNormalmapSettings(const cEngineSettings& s, ValueCheck check) {
  if (s.normalmapType == 0) return std::nullopt;
  if (s.heightmapType == 0) return Problem("normalmap type", "a normal map needs a heightmap");
  if (s.normalmapType == NORMALMAP_FFT) {
    if (s.heightmapType != HEIGHTMAP_FFT) return Problem("normalmap type", "the FFT normal map needs the FFT heightmap");
    return std::nullopt;
  }
  if (s.fdNormalmapMethod != 0 && s.fdNormalmapMethod != 1) {
    return Problem("fd normalmap generation method", std::to_string(s.fdNormalmapMethod) + " is neither 0 nor 1");
  }
  return Check(s, kNormalsAmplitude, check);
}

std::optional<SettingsProblem> CheckGeometrySettings(const cEngineSettings& s, ValueCheck check) {
  switch (s.geometryType) {
    case GEOMETRY_SIMPLE:
      if (auto problem = Check(s, kSimpleGrid, check)) return problem;
      if (!cSimpleGrid::WithinLimits(s.simpleGridTessellationX, s.simpleGridTessellationZ)) {
        return Problem("simple grid tesselation .x", "the grid has more vertices than 16-bit indices reach");
      }
      return std::nullopt;
    case GEOMETRY_GEOMIPMAP:
      if (auto problem = Check(s, kGeomipmap, check)) return problem;
      if (!cGeomipmapGrid::WithinLimits(s.geomipmapPatchCountX, s.geomipmapPatchCountZ,
                                        s.geomipmapLevel0Tessellation)) {
        return Problem("geomipmap grid level 0 tesselation", "the patches exceed the grid's limits");
      }
      return std::nullopt;
    case GEOMETRY_RADIAL:
      if (auto problem = Check(s, kRadial, check)) return problem;
      if (!cRadialGrid::WithinLimits({s.radialMaxRadius, s.radialResolution, s.radialFirstRadius,
                                      s.radialRadiusOffsetScale, s.radialFirstLevelOffset})) {
        return Problem("radial grid resolution", "the disc has more vertices than 16-bit indices reach");
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<SettingsProblem> CheckComponentSettings(const cEngineSettings& s, ValueCheck check) {
  return CheckFirst(
      {CheckHeightmapSettings(s, check), CheckNormalmapSettings(s, check), CheckGeometrySettings(s, check)});
}
