#include <gtest/gtest.h>

#include "../platform/HeadlessDevice.h"
#include "BatchTesting.h"
#include "batch/cBatchScene.h"

namespace {

using batch::testing::TinyFFTState;

class BatchScene : public platform::testing::HeadlessDevice {};

// Each kind of component comes back with the record's type, and each one's FillSettings gives back the record's
// parameters: the same component the editor would build from the loaded menus.
TEST_F(BatchScene, BuildsTheComponentsTheRecordDescribes) {
  cEngineSettings base = TinyFFTState();
  base.perlinOctaveCount = 3; base.perlinPersistence = 0.5f; base.perlinSquaredHeight = true;
  base.fdNormalmapMethod = 1; base.fdNormalmapAmplitude = 3.0f;
  base.radialMaxRadius = 50.0f; base.radialResolution = 16; base.radialFirstRadius = 1.0f;
  base.radialRadiusOffsetScale = 1.2f; base.radialFirstLevelOffset = 1.0f; base.radialHeightFalloffDistance = 40.0f;
  const struct { const char* name; int heightmapType, normalmapType, geometryType; } cases[] = {  // 0: none built
      {"FFTCentredSimple", HEIGHTMAP_FFT, NORMALMAP_FD_RAW, GEOMETRY_SIMPLE},
      {"FFTNormalsNoGeometry", HEIGHTMAP_FFT, NORMALMAP_FFT, 0},
      {"PerlinCentredRadial", HEIGHTMAP_PERLIN, NORMALMAP_FD_RAW, GEOMETRY_RADIAL},
      {"HeightmapAlone", HEIGHTMAP_FFT, 0, 0},
  };
  for (const auto& c : cases) {
    cEngineSettings record = base;
    record.heightmapType = c.heightmapType;
    record.normalmapType = c.normalmapType;
    record.geometryType = c.geometryType;
    cBatchScene scene;
    std::string error;
    ASSERT_TRUE(scene.Build(record, 7, 0.0, d3d, device, &error)) << c.name << ": " << error;
    ASSERT_NE(scene.Heightmap(), nullptr);
    EXPECT_EQ(scene.Heightmap()->GetTypeId(), c.heightmapType) << c.name;
    EXPECT_EQ(scene.Normalmap() ? scene.Normalmap()->GetTypeId() : 0, c.normalmapType) << c.name;
    EXPECT_EQ(scene.Geometry() ? scene.Geometry()->GetTypeId() : 0, c.geometryType) << c.name;
    cEngineSettings filled = record;
    scene.Heightmap()->FillSettings(&filled);
    if (scene.Normalmap()) scene.Normalmap()->FillSettings(&filled);
    if (scene.Geometry()) scene.Geometry()->FillSettings(&filled);
    // All but what a component reports only once it wrote a texture or was extruded.
    filled.integerHeightmapTextureFormat = record.integerHeightmapTextureFormat;
    filled.extrudeGeometry = record.extrudeGeometry;
    filled.geometryExtrusionStrength = record.geometryExtrusionStrength;
    EXPECT_EQ(batch::testing::DifferingKeys(filled, record), std::vector<std::string>{}) << c.name;
  }
}

TEST_F(BatchScene, RefusesWhatItCannotBuild) {
  const std::pair<const char*, int> cases[] = {{"no heightmap", 0}, {"--loop", HEIGHTMAP_PERLIN}};
  for (const auto& [reason, heightmapType] : cases) {
    cEngineSettings record = TinyFFTState();
    record.heightmapType = heightmapType;
    cBatchScene scene;
    std::string error;
    EXPECT_FALSE(scene.Build(record, 7, 3.0, d3d, device, &error)) << reason;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

}  // namespace
