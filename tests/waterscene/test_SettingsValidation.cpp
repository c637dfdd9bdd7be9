#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "../batch/BatchTesting.h"
#include "SaveFileTesting.h"
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

struct ValidationCase {
  std::string name;
  Change base;
  std::string key;
  double value;
  std::optional<std::string> problem;  // none: valid
  friend void PrintTo(const ValidationCase& c, std::ostream* os) { *os << c.name; }
};

// The cases of tests/data/waterscene/validation.txt.
std::vector<ValidationCase> RuleCases() {
  const std::map<std::string, Change> bases = {
      {"tiny", Nothing}, {"cleared", Cleared}, {"perlin", Perlin}, {"radial", Radial}, {"geomipmap", Geomipmap}};
  std::vector<ValidationCase> cases;
  for (const auto& row : savefile::testing::TableRows("waterscene/validation.txt", "rule")) {
    std::optional<std::string> problem;
    if (!row.at(4).empty()) problem = row[4] == "=" ? row[2] : row[4];
    cases.push_back({row[0], bases.at(row[1]), row[2], row[3].empty() ? 0.0 : std::stod(row[3]), problem});
  }
  return cases;
}

class LoadedValues : public ::testing::TestWithParam<ValidationCase> {};

// Each rule on both sides of its boundary; the problem names the file's key.
TEST_P(LoadedValues, FollowTheCreateButtonsRules) {
  const ValidationCase& c = GetParam();
  const char* key = c.key.empty() ? nullptr : c.key.c_str();
  ASSERT_TRUE(!key || FindSettingKey(key)) << key;
  const auto problem = CheckComponentSettings(Build(c.base, key, c.value), ValueCheck::All);
  ASSERT_EQ(problem.has_value(), c.problem.has_value()) << (problem ? problem->key + ": " + problem->reason : "");
  if (!problem) return;
  EXPECT_EQ(std::tuple(problem->key, problem->reason.empty()), std::tuple(*c.problem, false));
}

INSTANTIATE_TEST_SUITE_P(Rules, LoadedValues, ::testing::ValuesIn(RuleCases()),
                         [](const auto& info) { return info.param.name; });

// A loaded state skips the rules on values handed over every frame, as the
// editor's load does, and still checks those fixed at creation.
TEST(LoadedState, SkipsOnlyTheValuesHandedOverEveryFrame) {
  const struct {
    Change base;
    const char* key;
    double value;
  } live[] = {
      {Nothing, "heightmap update coef", -1},
      {Nothing, "fft heightmap normalization factor", -2},
      {Nothing, "fd normalmap amplitude", -1},
      {Geomipmap, "geomipmap grid height fallof distance", -5},
      {Radial, "radial grid height fallof distance", 0},
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
