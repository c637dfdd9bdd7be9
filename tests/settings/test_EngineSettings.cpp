#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/TypeIds.h"
#include "settings/cEngineSettings.h"

TEST(EngineSettings, EveryFieldHasOneDistinctKey) {
  std::set<std::string> keys;
  std::set<size_t> offsets;
  for (const SettingKey& entry : EngineSettingKeys()) {
    EXPECT_TRUE(keys.insert(entry.key).second) << entry.key;
    EXPECT_TRUE(offsets.insert(entry.offset).second) << entry.key;
  }
  EXPECT_EQ(keys.size(), 88u);
}

// Letter case and untrimmed keys and words are checked through WaterSceneLoad.
TEST(EngineSettings, TypeWordsAreLookedUpPerComponentAndUnknownIdsHaveNone) {
  EXPECT_EQ(TypeIdFromWord(SettingKind::NormalmapType, "fft"), NORMALMAP_FFT);
  EXPECT_EQ(TypeIdFromWord(SettingKind::GeometryType, "fdraw"), 0);
  EXPECT_EQ(TypeWord(SettingKind::EngineType, 400), nullptr);
}
