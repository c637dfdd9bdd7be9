#include <gtest/gtest.h>

#include <set>
#include <string>

#include "config/TypeIds.h"
#include "config/cEngineSettings.h"

TEST(EngineSettings, EveryFieldHasOneDistinctKey) {
  std::set<std::string> keys;
  std::set<size_t> offsets;
  for (const SettingKey& entry : EngineSettingKeys()) {
    EXPECT_TRUE(keys.insert(entry.key).second) << entry.key;
    EXPECT_TRUE(offsets.insert(entry.offset).second) << entry.key;
  }
  EXPECT_EQ(keys.size(), 88u);
}

TEST(EngineSettings, KeysMatchIgnoringCaseOnly) {
  const SettingKey* key = FindSettingKey("Heightmap Type");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->offset, offsetof(cEngineSettings, heightmapType));
  EXPECT_NE(FindSettingKey("fft heightmap smoothnes"), nullptr);  // the file's own spelling
  EXPECT_EQ(FindSettingKey("fft heightmap smoothness"), nullptr);
  EXPECT_EQ(FindSettingKey("wind .x "), nullptr);
}

TEST(EngineSettings, TypeWordsRoundTripPerComponent) {
  EXPECT_EQ(TypeIdFromWord(SettingKind::HeightmapType, "FFT"), HEIGHTMAP_FFT);
  EXPECT_EQ(TypeIdFromWord(SettingKind::NormalmapType, "fft"), NORMALMAP_FFT);
  EXPECT_EQ(TypeIdFromWord(SettingKind::HeightmapType, "fft "), 0);
  EXPECT_EQ(TypeIdFromWord(SettingKind::GeometryType, "fdraw"), 0);
  EXPECT_STREQ(TypeWord(SettingKind::EngineType, ENGINE_FFP), "ffp");
  EXPECT_STREQ(TypeWord(SettingKind::GeometryType, GEOMETRY_GEOMIPMAP), "geomipmap");
  EXPECT_EQ(TypeWord(SettingKind::EngineType, 400), nullptr);
}
