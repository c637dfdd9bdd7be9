#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <functional>

#include "SaveFileTesting.h"
#include "waterscene/SaveFileText.h"
#include "settings/TypeIds.h"
#include "base/WriteFileSafely.h"
#include "engine/cWaterEngineFFP.h"
#include "engine/cWaterEngineSM1.h"
#include "engine/cWaterEngineSM2.h"
#include "engine/cWaterEngineSM3.h"
#include "geometry/cGeomipmapGrid.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"
#include "heightmap/cFFTHeightmap.h"
#include "heightmap/cPerlinNoiseHeightmap.h"
#include "normalmap/cNormalmapFDRaw.h"
#include "normalmap/cNormalmapFDTex.h"
#include "normalmap/cNormalmapFFT.h"

namespace {

using namespace savefile::testing;

// A shader engine taken as initialised without loading its effect, which the
// save file never needs: everything it writes comes from the real FillSettings.
template <class Engine>
struct InitialisedEngine : Engine {
  void Initialise(float strength, float distance, float transparency) {
    this->TakeCommonValues(strength, distance, transparency);
  }
};

bool EveryLineEndsWithCRLF(const std::string& text) {
  for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
    if (i == 0 || text[i - 1] != '\r') return false;
  return !text.empty() && text.back() == '\n';
}

class WaterSceneSave : public WaterSceneTest {
 public:
  cFFTHeightmap* AddFFTHeightmap() {
    auto* map = Keep(std::make_unique<cFFTHeightmap>(), &heightmap, &scene.heightmap);
    map->SetSmoothness(2.0f);
    map->SetNormalization(1.5f);
    const D3DXVECTOR2 wind(2.0f, -1.0f);
    EXPECT_TRUE(map->Initialize(64, 32, &wind, 0.5f, 1u));
    return map;
  }
  cPerlinNoiseHeightmap* AddPerlinHeightmap() {
    auto* map = Keep(std::make_unique<cPerlinNoiseHeightmap>(), &heightmap, &scene.heightmap);
    EXPECT_TRUE(map->Initialize(64, 0.45f, 4, 8, true));
    return map;
  }
  void AddFDRawNormalmap(iHeightmap* source) {
    auto* map = Keep(std::make_unique<cNormalmapFDRaw>(), &normalmap, &scene.normalmap);
    map->SetAmplitude(2.5f);
    map->SetMethod(cNormalmapFDRaw::CENTRED);
    EXPECT_TRUE(map->SetSource(source));
  }
  void AddRadialGrid() {
    auto* grid = Keep(std::make_unique<cRadialGrid>(), &geometry, &scene.geometry);
    EXPECT_TRUE(grid->Create(500.0f, 32, 2.0f, 1.1f, 0.5f, D3DXVECTOR2(4.0f, 4.0f), D3DXVECTOR3(0.0f, 1.0f, 0.0f),
                             device));
    grid->SetHeightFalloffDistance(300.0f);
  }
  // Reflection at 300 (512 once rounded), plane 0.5, clip 0.25; refraction at
  // 200 (256), clip -0.5.
  void AddReflectionAndRefraction() {
    ASSERT_TRUE(scene.reflectionTarget.Init(300, 0.5f, d3d, device));
    ASSERT_TRUE(scene.reflectionTarget.SetClipPlaneWorld(0.25f, device));
    ASSERT_TRUE(scene.refractionTarget.Init(200, d3d, device));
    ASSERT_TRUE(scene.refractionTarget.SetClipPlaneWorld(-0.5f, device));
  }
  // Depth at 100 (128), plane -1, range 20, clip -2.
  void AddDepth() {
    ASSERT_TRUE(scene.depthTarget.Init(100, d3d, device));
    ASSERT_TRUE(scene.depthTarget.SetClipPlaneWorld(-2.0f, device));
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    ASSERT_TRUE(scene.depthTarget.BeginDepth(identity, identity, identity, -1.0f, 20.0f, device));
    ASSERT_TRUE(scene.depthTarget.EndDepth());
  }
  template <class Engine>
  Engine* AddShaderEngine() {
    auto* water = Keep(std::make_unique<InitialisedEngine<Engine>>(), &engine, &scene.engine);
    water->SetNormalmap(scene.normalmap);
    water->SetGeometry(scene.geometry);
    water->SetReflectionTexture(scene.reflectionTarget.GetTexture());
    water->SetRefractionTexture(scene.refractionTarget.GetTexture());
    water->SetReflectionColor(0x00336699);
    water->SetFoam(heightmap->GetTexture(), heightmap->GetTexture(), 0.6f, 2.0f, 3.0f, 0.1f, 0.05f, 90.0f);
    water->Initialise(0.4f, 30.0f, 0.6f);
    if constexpr (!std::is_same_v<Engine, cWaterEngineSM1>) {  // the per-pixel engines
      water->SetSunlight(0x00FF8000, 0.3f, 40.0f, D3DXVECTOR3(10.0f, 200.0f, -30.0f));
      water->SetDepth(scene.depthTarget.GetTexture(), 0.7f, 1.5f);
    }
    return water;
  }
  // Values only the editor sets: the simulation speed, the refraction fill
  // colour, and pass settings that a missing target leaves as they were.
  void SetEditorValues() {
    scene.settings.heightmapUpdateCoef = 1.25f;
    scene.settings.engineRefractionColorR = 0.1f;
    scene.settings.engineRefractionColorG = 0.2f;
    scene.settings.engineRefractionColorB = 0.3f;
    scene.settings.reflectionResolution = 64;
    scene.settings.refractionResolution = 77;
    scene.settings.depthTextureResolution = 33;
  }
  void BuildFFPScene() {
    scene.workingEnvironment = ENGINE_FFP;
    AddFDRawNormalmap(AddPerlinHeightmap());
    ASSERT_TRUE(Keep(std::make_unique<cSimpleGrid>(), &geometry, &scene.geometry)
                    ->Create(100.0f, 80.0f, 16, 12, D3DXVECTOR2(2.0f, 3.0f), D3DXVECTOR3(1.0f, -2.0f, 3.0f), device));
    auto* water = Keep(std::make_unique<cWaterEngineFFP>(), &engine, &scene.engine);
    water->SetNormalmap(scene.normalmap);
    water->SetGeometry(scene.geometry);
    ASSERT_TRUE(water->Init(d3d, device, 0.4f, 30.0f, 0.6f));
  }
  void BuildSM1Scene() {
    scene.workingEnvironment = ENGINE_SM1;
    ASSERT_TRUE(Keep(std::make_unique<cNormalmapFFT>(), &normalmap, &scene.normalmap)->SetSource(AddFFTHeightmap()));
    ASSERT_TRUE(heightmap->WriteTexture(device));
    auto* grid = Keep(std::make_unique<cGeomipmapGrid>(), &geometry, &scene.geometry);
    ASSERT_TRUE(grid->Create(200.0f, 160.0f, 4, 2, 8, D3DXVECTOR2(1.0f, 0.5f), D3DXVECTOR3(-5.0f, 0.0f, 5.0f), device));
    grid->SetLastLevelFalloffDistance(150.0f);
    grid->SetHeightFalloffDistance(120.0f);
    AddReflectionAndRefraction();
    AddShaderEngine<cWaterEngineSM1>();
  }
  void BuildSM2Scene() {
    scene.workingEnvironment = ENGINE_SM2;
    ASSERT_TRUE(AddFFTHeightmap()->WriteTexture(device));
    auto* normals = Keep(std::make_unique<cNormalmapFDTex>(), &normalmap, &scene.normalmap);
    normals->SetAmplitude(0.75f);
    ASSERT_TRUE(normals->Initialize(heightmap->GetTexture(), d3d, device));
    AddRadialGrid();
    AddReflectionAndRefraction();
    AddDepth();
    AddShaderEngine<cWaterEngineSM2>();
  }
  void BuildSM3Scene() {
    scene.workingEnvironment = ENGINE_SM3;
    iHeightmap* source = AddPerlinHeightmap();
    ASSERT_TRUE(source->WriteTexture(device));
    AddFDRawNormalmap(source);
    AddRadialGrid();
    AddDepth();
    AddShaderEngine<cWaterEngineSM3>()->SetGPUExtrusion(0.8f, D3DXVECTOR2(0.25f, 0.5f), 250.0f);
  }
  std::string SaveAndRead() {
    const std::string path = folder.File("water.txt");
    EXPECT_TRUE(scene.Save(path.c_str()));
    return ReadBytes(path);
  }
};

struct EngineCase {
  const char* file;
  void (WaterSceneSave::*build)();
  friend void PrintTo(const EngineCase& c, std::ostream* os) { *os << c.file; }
};

class WaterSceneSaveEngine : public WaterSceneSave, public ::testing::WithParamInterface<EngineCase> {};

// The file holds every block in order with CR LF, and every value it holds
// reads back as written to three decimals.
TEST_P(WaterSceneSaveEngine, WritesEveryBlockInOrderWithCRLFAndReadsBack) {
  SetEditorValues();
  (this->*GetParam().build)();
  const std::string expected = ReadBytes(SavedFilePath(GetParam().file));
  ASSERT_TRUE(EveryLineEndsWithCRLF(expected));
  ASSERT_EQ(SaveAndRead(), expected);
  cWaterScene loaded;
  ASSERT_TRUE(loaded.Load(folder.File("water.txt").c_str()));
  for (const SettingKey& key : EngineSettingKeys()) {
    if (expected.find("[" + std::string(key.key) + "]=") == std::string::npos) continue;
    const char* a = reinterpret_cast<const char*>(&scene.settings) + key.offset;
    const char* b = reinterpret_cast<const char*>(&loaded.settings) + key.offset;
    if (key.kind == SettingKind::Float) {
      std::string kept;
      AppendSaveFloat(&kept, *reinterpret_cast<const float*>(a));
      EXPECT_EQ(*reinterpret_cast<const float*>(b), ParseSaveFloat(kept)) << key.key;
    } else if (key.kind == SettingKind::Bool || key.kind == SettingKind::Int) {
      EXPECT_EQ(std::memcmp(a, b, key.kind == SettingKind::Bool ? sizeof(bool) : sizeof(int)), 0) << key.key;
    }
  }
  EXPECT_EQ(std::tuple(loaded.currentHeightmapType, loaded.currentNormalmapType, loaded.currentGeometryType,
                       loaded.workingEnvironment, loaded.settings.engineType),
            std::tuple(heightmap->GetTypeId(), normalmap->GetTypeId(), geometry->GetTypeId(),
                       scene.workingEnvironment, engine->GetTypeId()));
}

// Together the saved files hold every key, so each one is written and read back above.
TEST(WaterSceneSaveFiles, TogetherHoldEveryKey) {
  std::string all;
  for (const char* name : {"ffp.txt", "sm1.txt", "sm2.txt", "sm3.txt"}) all += ReadBytes(SavedFilePath(name));
  for (const SettingKey& key : EngineSettingKeys())
    EXPECT_NE(all.find("[" + std::string(key.key) + "]="), std::string::npos) << key.key;
}

INSTANTIATE_TEST_SUITE_P(EveryEngineType, WaterSceneSaveEngine,
                         ::testing::Values(EngineCase{"ffp.txt", &WaterSceneSave::BuildFFPScene},
                                           EngineCase{"sm1.txt", &WaterSceneSave::BuildSM1Scene},
                                           EngineCase{"sm2.txt", &WaterSceneSave::BuildSM2Scene},
                                           EngineCase{"sm3.txt", &WaterSceneSave::BuildSM3Scene}));

TEST_F(WaterSceneSave, NothingToSaveWritesNoFileAndUnbuiltComponentsAreLeftOut) {
  const std::string none = folder.File("none.txt");
  EXPECT_TRUE(scene.Save(none.c_str()));
  EXPECT_FALSE(std::filesystem::exists(none));
  scene.workingEnvironment = ENGINE_SM3;
  Keep(std::make_unique<cFFTHeightmap>(), &heightmap, &scene.heightmap);  // no heights
  Keep(std::make_unique<cNormalmapFDTex>(), &normalmap, &scene.normalmap);  // no texture
  Keep(std::make_unique<cGeomipmapGrid>(), &geometry, &scene.geometry);   // no patch
  Keep(std::make_unique<cWaterEngineSM3>(), &engine, &scene.engine);      // not initialised
  ASSERT_TRUE(scene.reflectionTarget.Init(40, 2.0f, d3d, device));
  EXPECT_EQ(SaveAndRead(), "[working environment]=sm3\r\n");
  // The pass with a target still copied its settings in.
  EXPECT_EQ(std::tuple(scene.settings.reflectionResolution, scene.settings.reflectionPlaneHeight),
            std::tuple(64, 2.0f));
  std::unique_ptr<iWaterGeometry> simple = std::make_unique<cSimpleGrid>();  // no vertex buffer
  scene.geometry = simple.get();
  EXPECT_EQ(SaveAndRead(), "[working environment]=sm3\r\n");
  scene.geometry = nullptr;
}

// Writes beyond `bytes` fail as on a full disk (EFBIG instead of ENOSPC).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previousHandler_);
  }
 private:
  rlimit saved_{};
  sighandler_t previousHandler_;
};

TEST_F(WaterSceneSave, AFailedSaveKeepsThePreviousFileAndLeavesNoTemporary) {
  SetEditorValues();
  BuildSM2Scene();
  const std::string path = folder.File("kept.txt");
  const std::string previous = "[working environment]=sm1\r\n";
  const struct { const char* name; bool folderAtTarget; std::function<bool()> save; } failures[] = {
      {"disk full", false,
       [&] {
         FileSizeLimit limit(100);
         return scene.Save(path.c_str());
       }},
      {"target is a folder", true, [&] { return scene.Save(path.c_str()); }},
      {"missing folder", false, [&] { return scene.Save(folder.File("missing/kept.txt").c_str()); }},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.name);
    std::filesystem::remove_all(path);
    const std::string kept = f.folderAtTarget ? "(folder)" : previous;
    if (f.folderAtTarget) std::filesystem::create_directory(path);
    if (!f.folderAtTarget) WriteBytes(path, previous);
    EXPECT_FALSE(f.save());
    EXPECT_EQ(std::filesystem::is_directory(path) ? "(folder)" : ReadBytes(path), kept);
    EXPECT_FALSE(std::filesystem::exists(TemporaryFileName(path)));
  }
  // A stale temporary from an earlier failure does not stop the next save.
  WriteBytes(TemporaryFileName(path), "stale");
  EXPECT_TRUE(scene.Save(path.c_str()));
  EXPECT_EQ(ReadBytes(path), ReadBytes(SavedFilePath("sm2.txt")));
  EXPECT_FALSE(std::filesystem::exists(TemporaryFileName(path)));
}

TEST(WaterSceneSaveNames, TheTemporaryNameNeverShowsInTheListOfSaves) {
  for (const char* path : {"save/ocean.txt", "save/ocean"}) EXPECT_EQ(TemporaryFileName(path), "save/ocean.tmp");
  EXPECT_EQ(TemporaryFileName("save/a.txt.txt"), "save/a.txt.tmp");
}

}  // namespace
