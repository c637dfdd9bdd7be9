#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <span>
#include <string>

#include "../batch/BatchTesting.h"
#include "waterscene/ComponentRules.h"
#include "waterscene/SettingsValidation.h"

namespace {

using Change = void (*)(cEngineSettings&);

void Perlin(cEngineSettings& s) {
  s.heightmapType = HEIGHTMAP_PERLIN;
  s.normalmapType = NORMALMAP_FD_RAW;
  s.perlinPersistence = 0.5f;
  s.perlinOctaveCount = 4;
}

void Radial(cEngineSettings& s) {
  s.geometryType = GEOMETRY_RADIAL;
  s.radialMaxRadius = 100.0f;
  s.radialResolution = 3;
  s.radialFirstRadius = 1.0f;
  s.radialRadiusOffsetScale = 1.1f;
  s.radialFirstLevelOffset = 1.0f;
  s.radialHeightFalloffDistance = 50.0f;
}

void Geomipmap(cEngineSettings& s) {
  s.geometryType = GEOMETRY_GEOMIPMAP;
  s.geomipmapSizeX = s.geomipmapSizeZ = 100.0f;
  s.geomipmapPatchCountX = s.geomipmapPatchCountZ = 4;
  s.geomipmapLevel0Tessellation = 16;
  s.geomipmapLastLevelFalloffDistance = 80.0f;
  s.geomipmapHeightFalloffDistance = 60.0f;
}

void Nothing(cEngineSettings&) {}
void Cleared(cEngineSettings& s) { s = cEngineSettings{}; }

// The tiny FFT state, switched to another component by `base`, then with the
// setting of the file's `key` (if any) set to `value` in its own type.
cEngineSettings Build(Change base, const char* key, double value) {
  cEngineSettings s = batch::testing::TinyFFTState();
  base(s);
  const SettingKey* entry = key ? FindSettingKey(key) : nullptr;
  if (!entry) return s;
  char* field = reinterpret_cast<char*>(&s) + entry->offset;
  if (entry->kind == SettingKind::Float) {
    *reinterpret_cast<float*>(field) = static_cast<float>(value);
  } else if (entry->kind == SettingKind::Bool) {
    *reinterpret_cast<bool*>(field) = value != 0;
  } else {
    *reinterpret_cast<int*>(field) = static_cast<int>(value);
  }
  return s;
}

constexpr const char* kThisKey = "";  // the problem names the changed key

struct ValidationCase {
  const char* name;
  Change base;
  const char* key;
  double value;
  const char* problem;  // null: valid
  friend void PrintTo(const ValidationCase& c, std::ostream* os) { *os << c.name; }
};

class LoadedValues : public ::testing::TestWithParam<ValidationCase> {};

// Each rule on both sides of its boundary; the problem names the file's key.
TEST_P(LoadedValues, FollowTheCreateButtonsRules) {
  const ValidationCase& c = GetParam();
  ASSERT_TRUE(!c.key || FindSettingKey(c.key)) << c.key;
  const auto problem = CheckComponentSettings(Build(c.base, c.key, c.value), ValueCheck::All);
  if (!c.problem) {
    EXPECT_FALSE(problem) << problem->key << ": " << problem->reason;
  } else {
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->key, *c.problem ? c.problem : c.key) << problem->reason;
    EXPECT_FALSE(problem->reason.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LoadedValues,
    ::testing::Values(
        ValidationCase{"TinyStateIsValid", Nothing, nullptr, 0, nullptr},
        ValidationCase{"NothingToBuildIsValid", Cleared, nullptr, 0, nullptr},
        ValidationCase{"Resolution8", Nothing, "heightmap resolution", 8, nullptr},
        ValidationCase{"Resolution4", Nothing, "heightmap resolution", 4, kThisKey},
        ValidationCase{"Resolution4096", Nothing, "heightmap resolution", 4096, nullptr},
        ValidationCase{"Resolution8192", Nothing, "heightmap resolution", 8192, kThisKey},
        ValidationCase{"Resolution500", Nothing, "heightmap resolution", 500, kThisKey},
        ValidationCase{"AmplitudeZero", Nothing, "fft heightmap amplitude", 0, nullptr},
        ValidationCase{"AmplitudeNegative", Nothing, "fft heightmap amplitude", -0.001, kThisKey},
        ValidationCase{"FixedNormalization", Nothing, "fft heightmap normalization factor", 2, nullptr},
        ValidationCase{"NegativeNormalization", Nothing, "fft heightmap normalization factor", -2, kThisKey},
        ValidationCase{"GridSizeNegative", Nothing, "heightmap grid size", -1, kThisKey},
        ValidationCase{"SpeedNegative", Nothing, "heightmap update coef", -0.5, kThisKey},
        ValidationCase{"PerlinValid", Perlin, nullptr, 0, nullptr},
        ValidationCase{"PerlinIgnoresFFTFields", Perlin, "fft heightmap amplitude", -1, nullptr},
        ValidationCase{"PerlinPersistenceNegative", Perlin, "perlin heightmap persistence", -0.1, kThisKey},
        ValidationCase{"FFTNormalsNeedFFTHeightmap", Perlin, "normalmap type", NORMALMAP_FFT, kThisKey},
        ValidationCase{"NormalsNeedAHeightmap", Nothing, "heightmap type", 0, "normalmap type"},
        ValidationCase{"MethodTwo", Nothing, "fd normalmap generation method", 2, kThisKey},
        ValidationCase{"NormalAmplitudeNegative", Nothing, "fd normalmap amplitude", -1, kThisKey},
        ValidationCase{"TessellationZero", Nothing, "simple grid tesselation .x", 0, kThisKey},
        ValidationCase{"TessellationBeyond16BitIndices", Nothing, "simple grid tesselation .z", 10000,
                       "simple grid tesselation .x"},
        ValidationCase{"SizeZero", Nothing, "simple grid size .z", 0, kThisKey},
        ValidationCase{"UVZero", Nothing, "geometry default uv scale .y", 0, kThisKey},
        ValidationCase{"RadialValid", Radial, nullptr, 0, nullptr},
        ValidationCase{"RadialTwoPerRing", Radial, "radial grid resolution", 2, kThisKey},
        ValidationCase{"GeomipmapValid", Geomipmap, nullptr, 0, nullptr},
        ValidationCase{"GeomipmapNoFalloff", Geomipmap, "geomipmap grid height fallof distance", 0, kThisKey},
        ValidationCase{"GeomipmapPatchTooFine", Geomipmap, "geomipmap grid level 0 tesselation", 4096, kThisKey}),
    [](const auto& info) { return info.param.name; });

// A loaded state skips the rules on values handed over every frame, as the
// editor's load does, and still checks those fixed at creation.
TEST(LoadedState, SkipsOnlyTheValuesHandedOverEveryFrame) {
  const ValidationCase live[] = {
      {"", Nothing, "heightmap update coef", -1, kThisKey},
      {"", Nothing, "fft heightmap normalization factor", -2, kThisKey},
      {"", Nothing, "fd normalmap amplitude", -1, kThisKey},
      {"", Geomipmap, "geomipmap grid height fallof distance", -5, kThisKey},
      {"", Radial, "radial grid height fallof distance", 0, kThisKey},
  };
  for (const auto& c : live) {
    const cEngineSettings s = Build(c.base, c.key, c.value);
    const auto created = CheckComponentSettings(s, ValueCheck::All);
    ASSERT_TRUE(created) << c.key;
    EXPECT_EQ(created->key, c.key);
    const auto loaded = CheckComponentSettings(s, ValueCheck::FixedAtCreation);
    EXPECT_FALSE(loaded) << c.key << ": " << loaded->key;
  }
  cEngineSettings fixed = Build(Nothing, "heightmap update coef", -1);
  fixed.fftAmplitude = -1.0f;
  const auto problem = CheckComponentSettings(fixed, ValueCheck::FixedAtCreation);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->key, "fft heightmap amplitude");
}

// Every key names a setting of the record, and a value that appears in
// several menus (grid size, UV scale) keeps one bound.
TEST(ComponentRules, KeysNameSettingsAndSharedKeysShareTheirBound) {
  using namespace ComponentRules;
  const std::span<const ComponentRule> tables[] = {kHeightmapSpeed, kPerlin,    kFFT,    kNormalsAmplitude,
                                                   kSimpleGrid,     kGeomipmap, kRadial, kRecordNormalization};
  std::map<std::string, Bound> bounds;
  for (std::span<const ComponentRule> table : tables) {
    for (const ComponentRule& rule : table) {
      EXPECT_NE(FindSettingKey(rule.key), nullptr) << rule.key;
      const auto [it, added] = bounds.emplace(rule.key, rule.bound);
      EXPECT_TRUE(added || it->second == rule.bound) << rule.key;
    }
  }
}

// NaN fails every bound; a normalization of 0 (automatic) passes only in a record.
TEST(ComponentRules, NaNFailsEveryBoundAndZeroNormalizationIsRecordOnly) {
  using namespace ComponentRules;
  for (Bound bound :
       {Bound::Positive, Bound::NonNegative, Bound::AtLeastOne, Bound::AtLeastThree, Bound::Byte, Bound::Unit}) {
    EXPECT_FALSE(Within(std::nan(""), bound));
  }
  EXPECT_FALSE(Within(0.0, kMenuNormalization[0].bound));
  EXPECT_TRUE(Within(0.0, kRecordNormalization[0].bound));
}

}  // namespace
