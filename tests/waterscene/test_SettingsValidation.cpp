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

std::vector<std::vector<std::string>> Table(const char* kind) {
  return savefile::testing::TableRows("waterscene/validation.txt", kind);
}

// Sets the setting of the file's `key` to `value` in its own type.
void Set(cEngineSettings& s, const std::string& key, double value) {
  const SettingKey* entry = FindSettingKey(key.c_str());
  ASSERT_NE(entry, nullptr) << key;
  char* field = reinterpret_cast<char*>(&s) + entry->offset;
  if (entry->kind == SettingKind::Float) *reinterpret_cast<float*>(field) = static_cast<float>(value);
  else if (entry->kind == SettingKind::Bool) *reinterpret_cast<bool*>(field) = value != 0;
  else *reinterpret_cast<int*>(field) = static_cast<int>(value);
}

// The tiny FFT state switched to the file's `base` ("tiny": as it is,
// "cleared": an empty record), then with `key`, if any, set to `value`.
cEngineSettings Build(const std::string& base, const std::string& key, double value) {
  cEngineSettings s = base == "cleared" ? cEngineSettings{} : batch::testing::TinyFFTState();
  for (const auto& row : Table("base")) if (row.at(0) == base) Set(s, row.at(1), std::stod(row.at(2)));
  if (!key.empty()) Set(s, key, value);
  return s;
}

struct ValidationCase {
  std::string name, base, key;
  double value;
  std::optional<std::string> problem;  // none: valid
  friend void PrintTo(const ValidationCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<ValidationCase> RuleCases() {
  std::vector<ValidationCase> cases;
  for (const auto& row : Table("rule")) {
    std::optional<std::string> problem;
    if (!row.at(4).empty()) problem = row[4] == "=" ? row[2] : row[4];
    cases.push_back({row[0], row[1], row[2], row[3].empty() ? 0.0 : std::stod(row[3]), problem});
  }
  return cases;
}

class LoadedValues : public ::testing::TestWithParam<ValidationCase> {};

// Each rule on both sides of its boundary; the problem names the file's key.
TEST_P(LoadedValues, FollowTheCreateButtonsRules) {
  const ValidationCase& c = GetParam();
  const auto problem = CheckComponentSettings(Build(c.base, c.key, c.value), ValueCheck::All);
  ASSERT_EQ(problem.has_value(), c.problem.has_value()) << (problem ? problem->key + ": " + problem->reason : "");
  if (!problem) return;
  EXPECT_EQ(std::tuple(problem->key, problem->reason.empty()), std::tuple(*c.problem, false));
}

INSTANTIATE_TEST_SUITE_P(Rules, LoadedValues, ::testing::ValuesIn(RuleCases()),
                         [](const auto& info) { return info.param.name; });

// A loaded state skips the rules on values handed over every frame, as the
// editor's load does, and still checks those fixed at creation.
TEST(LoadedState, SkipsOnlyTheValuesHandedOverEveryFrame) {
  for (const auto& c : Table("live")) {
    const cEngineSettings s = Build(c.at(0), c.at(1), std::stod(c.at(2)));
    const auto created = CheckComponentSettings(s, ValueCheck::All);
    ASSERT_TRUE(created) << c[1];
    EXPECT_EQ(created->key, c[1]);
    const auto loaded = CheckComponentSettings(s, ValueCheck::FixedAtCreation);
    EXPECT_FALSE(loaded) << c[1] << ": " << loaded->key;
  }
  cEngineSettings fixed = Build("tiny", "heightmap update coef", -1);
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
       {Bound::Positive, Bound::NonNegative, Bound::AtLeastOne, Bound::AtLeastThree, Bound::Byte, Bound::Unit})
    EXPECT_FALSE(Within(std::nan(""), bound));
  EXPECT_FALSE(Within(0.0, kMenuNormalization[0].bound));
  EXPECT_TRUE(Within(0.0, kRecordNormalization[0].bound));
}

}  // namespace
