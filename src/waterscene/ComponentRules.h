// The bounds a component's values must keep, one row per save-file key. The
// checks on a loaded settings record walk the rows reading the record; the
// editor pairs each row with the edit box that holds the value, so its create
// buttons walk the same rows reading the menu.
#pragma once

enum class Bound { Positive, NonNegative, AtLeastOne, AtLeastThree, Byte, Unit };

struct ComponentRule {
  const char* key;  // save-file key
  Bound bound;
  // Handed to the component every frame, whatever the box holds, so a state
  // that ran with it out of bounds may be rebuilt with it.
  bool live = false;
};

// Which rules a set of menu values must pass: all of them for a create button,
// only those on values fixed at creation for a state being loaded back.
enum class ValueCheck { All, FixedAtCreation };

constexpr ComponentRule Live(const char* key, Bound bound) { return ComponentRule{key, bound, true}; }

constexpr bool Applies(bool live, ValueCheck check) { return !live || check == ValueCheck::All; }

// Written so that NaN fails every bound.
constexpr bool Within(double value, Bound bound) {
  switch (bound) {
    case Bound::Positive: return value > 0.0;
    case Bound::NonNegative: return value >= 0.0;
    case Bound::AtLeastOne: return value >= 1.0;
    case Bound::AtLeastThree: return value >= 3.0;
    case Bound::Byte: return value >= 0.0 && value <= 255.0;
    case Bound::Unit: return value >= 0.0 && value <= 1.0;
  }
  return false;
}

constexpr bool IsPowerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

namespace ComponentRules {

inline constexpr ComponentRule kHeightmapSpeed[] = {
    Live("heightmap update coef", Bound::NonNegative)};
inline constexpr ComponentRule kPerlin[] = {
    {"perlin heightmap persistence", Bound::NonNegative},
    {"perlin octave count", Bound::NonNegative},
    {"heightmap grid size", Bound::NonNegative}};
inline constexpr ComponentRule kFFT[] = {{"fft heightmap amplitude", Bound::NonNegative},
                                         {"heightmap grid size", Bound::NonNegative}};
// While the menu's check box fixes the normalization, its box must hold a
// factor above 0; a record has no such flag and stores 0 for the automatic one.
inline constexpr ComponentRule kMenuNormalization[] = {
    Live("fft heightmap normalization factor", Bound::Positive)};
inline constexpr ComponentRule kRecordNormalization[] = {
    Live("fft heightmap normalization factor", Bound::NonNegative)};

inline constexpr ComponentRule kNormalsAmplitude[] = {
    Live("fd normalmap amplitude", Bound::NonNegative)};

// The geometries share the record's UV scale; each menu has its own boxes for it.
inline constexpr ComponentRule kSimpleGrid[] = {
    {"simple grid size .x", Bound::Positive},
    {"simple grid size .z", Bound::Positive},
    {"simple grid tesselation .x", Bound::AtLeastOne},
    {"simple grid tesselation .z", Bound::AtLeastOne},
    {"geometry default uv scale .x", Bound::Positive},
    {"geometry default uv scale .y", Bound::Positive}};
inline constexpr ComponentRule kGeomipmap[] = {
    {"geomipmap grid size .x", Bound::Positive},
    {"geomipmap grid size .z", Bound::Positive},
    {"geomipmap grid level 0 tesselation", Bound::AtLeastOne},
    {"geomipmap grid x axes patch count", Bound::AtLeastOne},
    {"geomipmap grid z axes patch count", Bound::AtLeastOne},
    Live("geomipmap grid last level fallof distance", Bound::Positive),
    Live("geomipmap grid height fallof distance", Bound::Positive),
    {"geometry default uv scale .x", Bound::Positive},
    {"geometry default uv scale .y", Bound::Positive}};
inline constexpr ComponentRule kRadial[] = {
    {"radial grid max grid radius", Bound::Positive},
    {"radial grid resolution", Bound::AtLeastThree},
    {"radial grid first radius", Bound::Positive},
    {"radial grid radius offset scale", Bound::Positive},
    {"radial grid first level offset", Bound::Positive},
    Live("radial grid height fallof distance", Bound::Positive),
    {"geometry default uv scale .x", Bound::Positive},
    {"geometry default uv scale .y", Bound::Positive}};

}  // namespace ComponentRules
