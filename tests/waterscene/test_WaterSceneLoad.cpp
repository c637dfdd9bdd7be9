#include <sys/stat.h>

#include <cstring>
#include <functional>

#include "SaveFileTesting.h"
#include "settings/TypeIds.h"

namespace {

using namespace savefile::testing;
using namespace std::string_literals;

// A scene whose header and record hold values no file below sets.
cWaterScene::Header SomeHeader() { return {HEIGHTMAP_PERLIN, NORMALMAP_FD_TEX, GEOMETRY_RADIAL, ENGINE_SM2}; }

bool SameRecord(const cEngineSettings& a, const cEngineSettings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class WaterSceneLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    scene.SetHeader(SomeHeader());
    scene.settings.windX = 9.0f;
    scene.settings.heightmapResolution = 99;
  }

  // Loads `bytes` from a file; the scene keeps what it had when that fails.
  bool LoadText(const std::string& bytes) {
    const std::string path = folder.File("load.txt");
    WriteBytes(path, bytes);
    return scene.Load(path.c_str());
  }

  cWaterScene scene;
  ScratchFolder folder;
};

TEST_F(WaterSceneLoad, LinesFollowTheScanCaseAndTrimRules) {
  using Check = std::function<void(const cWaterScene&)>;
  const struct {
    const char* name;
    std::string text;
    Check check;
  } cases[] = {
      {"letter case of keys and words", "[Heightmap Type]=FFT\r\n",
       [](const cWaterScene& s) {
         EXPECT_EQ(s.currentHeightmapType, HEIGHTMAP_FFT);
         EXPECT_EQ(s.settings.heightmapType, HEIGHTMAP_FFT);
       }},
      {"no trimming of words", "[heightmap type]=fft \r\n[normalmap type]= fft\r\n",
       [](const cWaterScene& s) {
         EXPECT_EQ(s.currentHeightmapType, HEIGHTMAP_PERLIN);
         EXPECT_EQ(s.settings.heightmapType, 0);
         EXPECT_EQ(s.currentNormalmapType, NORMALMAP_FD_TEX);
       }},
      {"no trimming of keys", "[wind .x ]=2\r\n[ wind .x]=3\r\n",
       [](const cWaterScene& s) { EXPECT_EQ(s.settings.windX, 0.0f); }},
      {"empty and non-numeric values", "[wind .x]=\r\n[heightmap resolution]=many\r\n[extrude geometry]=\r\n",
       [](const cWaterScene& s) {
         EXPECT_EQ(s.settings.windX, 0.0f);
         EXPECT_EQ(s.settings.heightmapResolution, 0);
         EXPECT_FALSE(s.settings.extrudeGeometry);
       }},
      {"any order, later lines win", "[wind .z]=1\r\n[wind .x]=2\r\n[wind .z]=3\r\n",
       [](const cWaterScene& s) {
         EXPECT_EQ(s.settings.windX, 2.0f);
         EXPECT_EQ(s.settings.windZ, 3.0f);
       }},
      {"unknown keys and words", "[wind .y]=1\r\n[geometry type]=hexagonal\r\n[engine type]=sm4\r\n",
       [](const cWaterScene& s) {
         EXPECT_EQ(s.currentGeometryType, GEOMETRY_RADIAL);
         EXPECT_EQ(s.settings.engineType, 0);
       }},
      {"engine type goes to the record only", "[engine type]=sm3\r\n",
       [](const cWaterScene& s) {
         EXPECT_EQ(s.settings.engineType, ENGINE_SM3);
         EXPECT_EQ(s.workingEnvironment, ENGINE_SM2);
       }},
      {"working environment goes to the header only", "[working environment]=FFP\r\n",
       [](const cWaterScene& s) {
         EXPECT_EQ(s.workingEnvironment, ENGINE_FFP);
         EXPECT_EQ(s.settings.engineType, 0);
       }},
      {"bools", "[extrude geometry]=7\r\n[perlin squared height]=-1\r\n[enable foam rendering]=0\r\n",
       [](const cWaterScene& s) {
         EXPECT_TRUE(s.settings.extrudeGeometry);
         EXPECT_TRUE(s.settings.perlinSquaredHeight);
         EXPECT_FALSE(s.settings.enableFoam);
       }},
      {"NUL bytes", "[heightmap type]=fft\0x\r\n[wind .x\0]=1\r\n\0\0[wind .z]=2\0\r\n[geometry type]=simple"s,
       [](const cWaterScene& s) {
         EXPECT_EQ(s.currentHeightmapType, HEIGHTMAP_PERLIN);
         EXPECT_EQ(s.settings.windX, 0.0f);
         EXPECT_EQ(s.settings.windZ, 2.0f);
         EXPECT_EQ(s.currentGeometryType, GEOMETRY_SIMPLE);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    ASSERT_TRUE(LoadText(c.text));
    c.check(scene);
  }
}

TEST_F(WaterSceneLoad, TheRecordStartsFromZeroAndTheHeaderKeepsWhatTheFileLacks) {
  ASSERT_TRUE(LoadText("[geometry type]=geomipmap\r\n"));
  cEngineSettings expected;
  std::memset(&expected, 0, sizeof expected);
  expected.geometryType = GEOMETRY_GEOMIPMAP;
  EXPECT_TRUE(SameRecord(scene.settings, expected));
  EXPECT_EQ(scene.currentHeightmapType, HEIGHTMAP_PERLIN);
  EXPECT_EQ(scene.currentGeometryType, GEOMETRY_GEOMIPMAP);
  EXPECT_EQ(scene.workingEnvironment, ENGINE_SM2);

  SetUp();
  ASSERT_TRUE(LoadText(""));  // an empty file is a valid, empty save
  std::memset(&expected, 0, sizeof expected);
  EXPECT_TRUE(SameRecord(scene.settings, expected));
  EXPECT_EQ(scene.workingEnvironment, ENGINE_SM2);
}

TEST_F(WaterSceneLoad, AFileThatCannotBeReadChangesNothing) {
  mkdir(folder.File("folder.txt").c_str(), 0755);
  mkfifo(folder.File("pipe.txt").c_str(), 0644);
  const std::string unreadable = folder.File("unreadable.txt");
  WriteBytes(unreadable, "[wind .x]=1\r\n");
  chmod(unreadable.c_str(), 0);
  const bool runsAsRoot = geteuid() == 0;  // root reads anything
  const std::string paths[] = {folder.File("missing.txt"), folder.File("folder.txt"), folder.File("pipe.txt"),
                               runsAsRoot ? folder.File("missing.txt") : unreadable};
  const cEngineSettings before = scene.settings;
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(scene.Load(path.c_str()));
    EXPECT_TRUE(SameRecord(scene.settings, before));
    const cWaterScene::Header header = scene.GetHeader();
    EXPECT_EQ(header.currentHeightmapType, HEIGHTMAP_PERLIN);
    EXPECT_EQ(header.workingEnvironment, ENGINE_SM2);
  }
  EXPECT_FALSE(scene.Load(nullptr));
}

TEST_F(WaterSceneLoad, ReadingIntoAGivenRecordLeavesTheSceneAlone) {
  const std::string path = folder.File("other.txt");
  WriteBytes(path, "[working environment]=sm1\r\n[engine type]=sm1\r\n[foam scale]=4\r\n");
  cWaterScene::Header header = scene.GetHeader();
  cEngineSettings settings;
  ASSERT_TRUE(cWaterScene::ReadSettings(path.c_str(), &header, &settings));
  EXPECT_EQ(header.workingEnvironment, ENGINE_SM1);
  EXPECT_EQ(header.currentGeometryType, GEOMETRY_RADIAL);
  EXPECT_EQ(settings.engineType, ENGINE_SM1);
  EXPECT_EQ(settings.foamScale, 4.0f);
  EXPECT_EQ(settings.windX, 0.0f);
  EXPECT_EQ(scene.workingEnvironment, ENGINE_SM2);
  EXPECT_EQ(scene.settings.windX, 9.0f);

  // A refused read leaves the given record and header as they came.
  cWaterScene::Header kept = header;
  EXPECT_FALSE(cWaterScene::ReadSettings(folder.File("missing.txt").c_str(), &kept, &settings));
  EXPECT_EQ(kept.workingEnvironment, ENGINE_SM1);
  EXPECT_EQ(settings.foamScale, 4.0f);
}

}  // namespace
