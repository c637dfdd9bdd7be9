#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <span>
#include <string>

#include "waterscene/ComponentRules.h"
#include "settings/cEngineSettings.h"

namespace {

using namespace ComponentRules;

// Every key names a setting of the record, and a value that appears in
// several menus (grid size, UV scale) keeps one bound.
TEST(ComponentRules, KeysNameSettingsAndSharedKeysShareTheirBound) {
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
  for (Bound bound : {Bound::Positive, Bound::NonNegative, Bound::AtLeastOne, Bound::AtLeastThree, Bound::Byte,
                      Bound::Unit}) {
    EXPECT_FALSE(Within(std::nan(""), bound));
  }
  EXPECT_FALSE(Within(0.0, kMenuNormalization[0].bound));
  EXPECT_TRUE(Within(0.0, kRecordNormalization[0].bound));
}

}  // namespace
