// The bounds a component's values must keep. A value lives both in an edit box
// of its component's menu and under a save-file key, so one row names both:
// the create buttons walk the rows reading the menu, the checks on a loaded
// settings record walk the same rows reading the record.
#pragma once

#include "editor/EditorIds.h"

enum class Bound { Positive, NonNegative, AtLeastOne, AtLeastThree, Byte, Unit };

struct ComponentRule {
  int control;  // edit box in the component's menu
  Bound bound;
  const char* key = nullptr;  // save-file key; null for values a record is not checked on
  // Handed to the component every frame, whatever the box holds, so a state
  // that ran with it out of bounds may be rebuilt with it.
  bool live = false;
};

// Which rules a set of menu values must pass: all of them for a create button,
// only those on values fixed at creation for a state being loaded back.
enum class ValueCheck { All, FixedAtCreation };

constexpr ComponentRule Live(int control, Bound bound, const char* key = nullptr) {
  return ComponentRule{control, bound, key, true};
}

constexpr bool Applies(const ComponentRule& rule, ValueCheck check) {
  return !rule.live || check == ValueCheck::All;
}

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

namespace id = EditorId;

inline constexpr ComponentRule kHeightmapSpeed[] = {
    Live(id::kSimulationSpeed, Bound::NonNegative, "heightmap update coef")};
inline constexpr ComponentRule kPerlin[] = {
    {id::kPersistence, Bound::NonNegative, "perlin heightmap persistence"},
    {id::kOctaveCount, Bound::NonNegative, "perlin octave count"},
    {id::kPerlinGridSize, Bound::NonNegative, "heightmap grid size"}};
inline constexpr ComponentRule kFFT[] = {{id::kAmplitude, Bound::NonNegative, "fft heightmap amplitude"},
                                         {id::kFFTGridSize, Bound::NonNegative, "heightmap grid size"}};
// The menu fixes the normalization with a check box, so its box must hold a
// factor above 0; a record has no such flag and stores 0 for the automatic one.
inline constexpr ComponentRule kMenuNormalization[] = {
    Live(id::kNormalization, Bound::Positive, "fft heightmap normalization factor")};
inline constexpr ComponentRule kRecordNormalization[] = {
    Live(id::kNormalization, Bound::NonNegative, "fft heightmap normalization factor")};

inline constexpr ComponentRule kNormalsAmplitude[] = {
    Live(id::kNormalsAmplitude, Bound::NonNegative, "fd normalmap amplitude")};

// The geometries share the record's UV scale; each menu has its own boxes for it.
inline constexpr ComponentRule kSimpleGrid[] = {
    {id::kSimpleWidthX, Bound::Positive, "simple grid size .x"},
    {id::kSimpleWidthZ, Bound::Positive, "simple grid size .z"},
    {id::kSimpleTesselationX, Bound::AtLeastOne, "simple grid tesselation .x"},
    {id::kSimpleTesselationZ, Bound::AtLeastOne, "simple grid tesselation .z"},
    {id::kSimpleUVScaleX, Bound::Positive, "geometry default uv scale .x"},
    {id::kSimpleUVScaleY, Bound::Positive, "geometry default uv scale .y"}};
inline constexpr ComponentRule kGeomipmap[] = {
    {id::kGeomipmapWidthX, Bound::Positive, "geomipmap grid size .x"},
    {id::kGeomipmapWidthZ, Bound::Positive, "geomipmap grid size .z"},
    {id::kGeomipmapMaxTesselation, Bound::AtLeastOne, "geomipmap grid level 0 tesselation"},
    {id::kGeomipmapPatchesX, Bound::AtLeastOne, "geomipmap grid x axes patch count"},
    {id::kGeomipmapPatchesZ, Bound::AtLeastOne, "geomipmap grid z axes patch count"},
    Live(id::kGeomipmapLodFalloff, Bound::Positive, "geomipmap grid last level fallof distance"),
    Live(id::kGeomipmapHeightFalloff, Bound::Positive, "geomipmap grid height fallof distance"),
    {id::kGeomipmapUVScaleX, Bound::Positive, "geometry default uv scale .x"},
    {id::kGeomipmapUVScaleY, Bound::Positive, "geometry default uv scale .y"}};
inline constexpr ComponentRule kRadial[] = {
    {id::kRadialMaxRadius, Bound::Positive, "radial grid max grid radius"},
    {id::kRadialCircleResolution, Bound::AtLeastThree, "radial grid resolution"},
    {id::kRadialFirstRadius, Bound::Positive, "radial grid first radius"},
    {id::kRadialLevelScale, Bound::Positive, "radial grid radius offset scale"},
    {id::kRadialFirstLevelScale, Bound::Positive, "radial grid first level offset"},
    Live(id::kRadialHeightFalloff, Bound::Positive, "radial grid height fallof distance"),
    {id::kRadialUVScaleX, Bound::Positive, "geometry default uv scale .x"},
    {id::kRadialUVScaleY, Bound::Positive, "geometry default uv scale .y"}};

}  // namespace ComponentRules
