#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <span>
#include <string>

#include "waterscene/ComponentRules.h"
#include "settings/cEngineSettings.h"

namespace {

using namespace ComponentRules;

// The tables the loaded-record checks walk; the normalization is left out
// because the menu and the record bound it differently on purpose.
const std::span<const ComponentRule> kRecordTables[] = {kHeightmapSpeed, kPerlin,      kFFT,     kNormalsAmplitude,
                                                        kSimpleGrid,     kGeomipmap,   kRadial,  kRecordNormalization};

// A key the settings record does not know would leave the record check
// without a field to read.
TEST(ComponentRules, EveryKeyNamesASetting) {
  for (std::span<const ComponentRule> table : kRecordTables) {
    for (const ComponentRule& rule : table) {
      ASSERT_NE(rule.key, nullptr);
      EXPECT_NE(FindSettingKey(rule.key), nullptr) << rule.key;
    }
  }
}

// A value that appears in several menus (grid size, UV scale) keeps one bound.
TEST(ComponentRules, SharedKeysShareTheirBound) {
  std::map<std::string, Bound> bounds;
  for (std::span<const ComponentRule> table : kRecordTables) {
    for (const ComponentRule& rule : table) {
      const auto [it, added] = bounds.emplace(rule.key, rule.bound);
      EXPECT_TRUE(added || it->second == rule.bound) << rule.key;
    }
  }
}

TEST(ComponentRules, NaNFailsEveryBound) {
  for (Bound bound : {Bound::Positive, Bound::NonNegative, Bound::AtLeastOne, Bound::AtLeastThree, Bound::Byte,
                      Bound::Unit}) {
    EXPECT_FALSE(Within(std::nan(""), bound));
  }
}

TEST(ComponentRules, NormalizationZeroIsAutomaticOnlyInARecord) {
  EXPECT_FALSE(Within(0.0, kMenuNormalization[0].bound));
  EXPECT_TRUE(Within(0.0, kRecordNormalization[0].bound));
}

}  // namespace
