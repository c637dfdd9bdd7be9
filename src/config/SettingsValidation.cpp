#include "config/SettingsValidation.h"

#include <cstring>
#include <span>

#include "config/TypeIds.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"

namespace {

// Heightmap resolutions the heightmap menu lists.
constexpr int kSmallestResolution = 8;
constexpr int kLargestResolution = 4096;

// value > minimum, or value >= minimum when `inclusive`.
struct Rule {
  const char* key;
  double minimum;
  bool inclusive;
};

constexpr Rule kPerlinRules[] = {
    {"perlin heightmap persistence", 0, true}, {"perlin octave count", 0, true}, {"heightmap grid size", 0, true}};
constexpr Rule kFFTRules[] = {{"fft heightmap amplitude", 0, true}, {"heightmap grid size", 0, true}};
constexpr Rule kSpeedRules[] = {{"heightmap update coef", 0, true}};
constexpr Rule kFDRules[] = {{"fd normalmap amplitude", 0, true}};
constexpr Rule kUVRules[] = {{"geometry default uv scale .x", 0, false}, {"geometry default uv scale .y", 0, false}};
constexpr Rule kSimpleRules[] = {{"simple grid size .x", 0, false},
                                 {"simple grid size .z", 0, false},
                                 {"simple grid tesselation .x", 1, true},
                                 {"simple grid tesselation .z", 1, true}};
constexpr Rule kGeomipmapRules[] = {{"geomipmap grid size .x", 0, false},
                                    {"geomipmap grid size .z", 0, false},
                                    {"geomipmap grid level 0 tesselation", 1, true},
                                    {"geomipmap grid x axes patch count", 1, true},
                                    {"geomipmap grid z axes patch count", 1, true},
                                    {"geomipmap grid last level fallof distance", 0, false},
                                    {"geomipmap grid height fallof distance", 0, false}};
constexpr Rule kRadialRules[] = {{"radial grid max grid radius", 0, false},
                                 {"radial grid resolution", 3, true},
                                 {"radial grid first radius", 0, false},
                                 {"radial grid radius offset scale", 0, false},
                                 {"radial grid first level offset", 0, false},
                                 {"radial grid height fallof distance", 0, false}};

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

std::optional<SettingsProblem> Check(const cEngineSettings& settings, std::span<const Rule> rules) {
  for (const Rule& rule : rules) {
    const double value = ValueOf(settings, rule.key);
    // Written so that NaN fails too.
    if (rule.inclusive ? !(value >= rule.minimum) : !(value > rule.minimum)) {
      return SettingsProblem{rule.key, Number(value) + (rule.inclusive ? " is below " : " is not above ") +
                                           Number(rule.minimum)};
    }
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

bool IsPowerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

}  // namespace

std::optional<SettingsProblem> CheckHeightmapSettings(const cEngineSettings& s) {
  if (s.heightmapType == 0) return std::nullopt;
  if (s.heightmapResolution < kSmallestResolution || s.heightmapResolution > kLargestResolution ||
      !IsPowerOfTwo(s.heightmapResolution)) {
    return Problem("heightmap resolution", std::to_string(s.heightmapResolution) +
                                               " is not one of the resolutions 8, 16, ... 4096");
  }
  if (s.heightmapType == HEIGHTMAP_PERLIN) return CheckFirst({Check(s, kPerlinRules), Check(s, kSpeedRules)});
  // 0 is the automatic normalisation; a fixed factor must be above 0.
  if (!(s.fftNormalizationFactor >= 0.0f)) {
    return Problem("fft heightmap normalization factor", Number(s.fftNormalizationFactor) + " is below 0");
  }
  return CheckFirst({Check(s, kFFTRules), Check(s, kSpeedRules)});
}

std::optional<SettingsProblem> CheckNormalmapSettings(const cEngineSettings& s) {
  if (s.normalmapType == 0) return std::nullopt;
  if (s.heightmapType == 0) return Problem("normalmap type", "a normal map needs a heightmap");
  if (s.normalmapType == NORMALMAP_FFT) {
    if (s.heightmapType != HEIGHTMAP_FFT) return Problem("normalmap type", "the FFT normal map needs the FFT heightmap");
    return std::nullopt;
  }
  if (s.fdNormalmapMethod != 0 && s.fdNormalmapMethod != 1) {
    return Problem("fd normalmap generation method", std::to_string(s.fdNormalmapMethod) + " is neither 0 nor 1");
  }
  return Check(s, kFDRules);
}

std::optional<SettingsProblem> CheckGeometrySettings(const cEngineSettings& s) {
  switch (s.geometryType) {
    case GEOMETRY_SIMPLE:
      if (auto problem = CheckFirst({Check(s, kSimpleRules), Check(s, kUVRules)})) return problem;
      if (!cSimpleGrid::WithinLimits(s.simpleGridTessellationX, s.simpleGridTessellationZ)) {
        return Problem("simple grid tesselation .x", "the grid has more vertices than 16-bit indices reach");
      }
      return std::nullopt;
    case GEOMETRY_GEOMIPMAP:
      if (auto problem = CheckFirst({Check(s, kGeomipmapRules), Check(s, kUVRules)})) return problem;
      if (!cGeomipmapGrid::WithinLimits(s.geomipmapPatchCountX, s.geomipmapPatchCountZ,
                                        s.geomipmapLevel0Tessellation)) {
        return Problem("geomipmap grid level 0 tesselation", "the patches exceed the grid's limits");
      }
      return std::nullopt;
    case GEOMETRY_RADIAL:
      if (auto problem = CheckFirst({Check(s, kRadialRules), Check(s, kUVRules)})) return problem;
      if (!cRadialGrid::WithinLimits({s.radialMaxRadius, s.radialResolution, s.radialFirstRadius,
                                      s.radialRadiusOffsetScale, s.radialFirstLevelOffset})) {
        return Problem("radial grid resolution", "the disc has more vertices than 16-bit indices reach");
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<SettingsProblem> CheckComponentSettings(const cEngineSettings& s) {
  return CheckFirst({CheckHeightmapSettings(s), CheckNormalmapSettings(s), CheckGeometrySettings(s)});
}
