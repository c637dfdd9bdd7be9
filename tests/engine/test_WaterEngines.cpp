// What every engine shares: capability checks, initialisation, the setters as
// FillSettings reports them, effects always ended after a failed draw, and the
// effect files' techniques.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../ScratchFolder.h"
#include "EngineTestSupport.h"
#include "engine/cWaterEngineFFP.h"
#include "engine/cWaterEngineSM1.h"
#include "engine/cWaterEngineSM2.h"
#include "engine/cWaterEngineSM3.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"

namespace {

using platform::HeadlessProfile;

std::unique_ptr<iWaterEngine> MakeEngine(int typeId) {
  switch (typeId) {
    case ENGINE_FFP: return std::make_unique<cWaterEngineFFP>();
    case ENGINE_SM1: return std::make_unique<cWaterEngineSM1>();
    case ENGINE_SM2: return std::make_unique<cWaterEngineSM2>();
    default: return std::make_unique<cWaterEngineSM3>();
  }
}

constexpr int kEngines[] = {ENGINE_FFP, ENGINE_SM1, ENGINE_SM2, ENGINE_SM3};

HeadlessProfile WithoutVertexTextures() {
  HeadlessProfile profile = HeadlessProfile::ShaderModel3();
  profile.vertexTextures = false;
  return profile;
}

class WaterEngines : public EngineTest {
 protected:
  // A simple grid and a CPU normal map, as the editor hands them over.
  void GiveComponents(iWaterEngine& engine, cSimpleGrid& grid) {
    ASSERT_TRUE(grid.Create(10.0f, 10.0f, 4, 4, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0.0f, 0.0f, 0.0f), device));
    engine.SetGeometry(&grid);
    engine.SetNormalmap(&normalmap);
  }

  bool Init(iWaterEngine& engine) { return engine.Init(d3d, device, 0.2f, 300.0f, 0.3f); }

  FakeNormalmap normalmap{4};
};

TEST_F(WaterEngines, CheckCapsUnderEveryProfile) {
  struct Case {
    const char* profile;
    HeadlessProfile (*make)();
    bool ffp, sm1, sm2, sm3;
  };
  const Case cases[] = {
      {"ShaderModel3", HeadlessProfile::ShaderModel3, true, true, true, true},
      {"ShaderModel2", HeadlessProfile::ShaderModel2, true, true, true, false},
      {"ShaderModel1", HeadlessProfile::ShaderModel1, true, true, false, false},
      {"FixedFunction", HeadlessProfile::FixedFunction, true, false, false, false},
      {"OneStream", HeadlessProfile::OneStream, false, false, true, true},
      {"NoR32F", HeadlessProfile::NoR32F, true, true, true, true},
      {"no vertex textures", WithoutVertexTextures, true, true, true, false},
  };
  for (const Case& c : cases) {
    Start(c.make());
    const bool expected[] = {c.ffp, c.sm1, c.sm2, c.sm3};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(MakeEngine(kEngines[i])->CheckCaps(d3d, device), expected[i]) << c.profile << " engine " << kEngines[i];
    }
  }
  for (int typeId : kEngines) {
    auto engine = MakeEngine(typeId);
    EXPECT_FALSE(engine->CheckCaps(nullptr, device)) << typeId;
    EXPECT_FALSE(engine->CheckCaps(d3d, nullptr)) << typeId;
    EXPECT_FALSE(engine->Init(nullptr, nullptr, 0.1f, 1.0f, 0.1f)) << typeId;
  }
}

TEST_F(WaterEngines, InitNeedsCpuNormalsOnlyForFixedFunctionAndShaderModel1) {
  struct Case {
    int engine;
    bool withComponents;
    int normalmapType;
    bool expected;
  };
  const Case cases[] = {
      {ENGINE_FFP, true, NORMALMAP_FD_RAW, true},  {ENGINE_FFP, true, NORMALMAP_FD_TEX, false},
      {ENGINE_FFP, false, NORMALMAP_FD_RAW, false}, {ENGINE_SM1, true, NORMALMAP_FFT, true},
      {ENGINE_SM1, true, NORMALMAP_FD_TEX, false},  {ENGINE_SM1, false, NORMALMAP_FD_RAW, false},
      {ENGINE_SM2, true, NORMALMAP_FD_TEX, true},   {ENGINE_SM2, false, NORMALMAP_FD_RAW, true},
      {ENGINE_SM3, true, NORMALMAP_FD_TEX, true},   {ENGINE_SM3, false, NORMALMAP_FD_RAW, true},
  };
  for (const Case& c : cases) {
    auto engine = MakeEngine(c.engine);
    FakeNormalmap typed(4, c.normalmapType);
    cSimpleGrid grid;
    if (c.withComponents) {
      GiveComponents(*engine, grid);
      engine->SetNormalmap(&typed);
    }
    EXPECT_EQ(Init(*engine), c.expected) << c.engine << " normal map " << c.normalmapType;
    EXPECT_EQ(engine->IsInitialised(), c.expected) << c.engine;
  }
}

TEST_F(WaterEngines, MissingEffectOrFresnelFileFailsInitAndClearsTheFlag) {
  for (int typeId : {ENGINE_SM1, ENGINE_SM2, ENGINE_SM3}) {
    auto engine = MakeEngine(typeId);
    cSimpleGrid grid;
    GiveComponents(*engine, grid);
    ASSERT_TRUE(Init(*engine)) << typeId;
    const std::string effectFile = typeId == ENGINE_SM1 ? "sm1.fx" : typeId == ENGINE_SM2 ? "sm2.fx" : "sm3.fx";
    {
      const EmptyWorkingDirectory empty;
      const std::filesystem::path folder = empty.Path(), repository = empty.Previous();
      std::filesystem::create_directories(folder / "shaders");
      EXPECT_FALSE(Init(*engine)) << "no effect file, engine " << typeId;
      EXPECT_FALSE(engine->IsInitialised());
      std::filesystem::copy_file(repository / "shaders" / effectFile, folder / "shaders" / effectFile);
      EXPECT_FALSE(Init(*engine)) << "no Fresnel file, engine " << typeId;
      EXPECT_FALSE(engine->IsInitialised());
      std::filesystem::copy_file(repository / "shaders" / "precomputedFresnel3.bmp",
                                 folder / "shaders" / "precomputedFresnel3.bmp");
      EXPECT_TRUE(Init(*engine)) << typeId;
    }
  }
}

TEST_F(WaterEngines, CommonSettersClampAndSquareAsFillSettingsShows) {
  struct Case {
    float transparency, distance;
    float writtenTransparency, writtenDistance;
  };
  const Case cases[] = {{-0.5f, -20.0f, 0.0f, 20.0f}, {3.0f, 7.0f, 1.0f, 7.0f}, {0.25f, 1e30f, 0.25f, std::sqrt(FLT_MAX)},
                       {NAN, NAN, 0.0f, std::sqrt(FLT_MAX)}};
  for (int typeId : kEngines) {
    for (const Case& c : cases) {
      auto engine = MakeEngine(typeId);
      engine->SetGlobalTransparency(c.transparency);
      engine->SetFullReflectionDistance(c.distance);
      engine->SetReflectionStrength(-2.0f);
      engine->SetReflectionColor(0x80294B3E);
      cEngineSettings settings{};
      ASSERT_EQ(engine->FillSettings(&settings), &settings);
      EXPECT_EQ(settings.engineType, typeId);
      EXPECT_FLOAT_EQ(settings.engineGlobalTransparency, c.writtenTransparency);
      EXPECT_FLOAT_EQ(settings.engineFullReflectionDistance, c.writtenDistance) << c.distance;
      EXPECT_TRUE(std::isfinite(settings.engineFullReflectionDistance));
      EXPECT_FLOAT_EQ(settings.engineReflectionStrength, -2.0f);
      EXPECT_FLOAT_EQ(settings.engineReflectionColorR, 41.0f / 255.0f);
      EXPECT_FLOAT_EQ(settings.engineReflectionColorG, 75.0f / 255.0f);
      EXPECT_FLOAT_EQ(settings.engineReflectionColorB, 62.0f / 255.0f);
      EXPECT_FLOAT_EQ(engine->GetReflectionColor().w, 128.0f / 255.0f);
      EXPECT_FALSE(settings.enableReflection);
      EXPECT_FALSE(settings.enableRefraction);
    }
  }
}

TEST_F(WaterEngines, DefaultsAndOptionsAnEngineLacksAreWrittenOff) {
  for (int typeId : kEngines) {
    auto engine = MakeEngine(typeId);
    cEngineSettings settings;
    std::memset(&settings, 0xFF, sizeof(settings));
    settings.enableFoam = settings.enableSunlight = settings.enableDepthEffects = settings.enableGPUExtrusion = true;
    engine->SetReflectionTexture(MakeTexture());
    engine->FillSettings(&settings);
    EXPECT_TRUE(settings.enableReflection);
    EXPECT_FALSE(settings.enableRefraction);
    EXPECT_FALSE(settings.enableFoam);
    EXPECT_FALSE(settings.enableSunlight);
    EXPECT_FALSE(settings.enableDepthEffects);
    EXPECT_FALSE(settings.enableGPUExtrusion);
    EXPECT_FLOAT_EQ(settings.engineReflectionStrength, 0.1f);
    EXPECT_FLOAT_EQ(settings.engineFullReflectionDistance, 1.0f);
    EXPECT_FLOAT_EQ(settings.engineGlobalTransparency, 0.1f);
    // The refraction fill colour belongs to the editor's part of the record.
    uint32_t untouched = 0;
    std::memcpy(&untouched, &settings.engineRefractionColorR, sizeof(untouched));
    EXPECT_EQ(untouched, 0xFFFFFFFFu);
  }
  cWaterEngineSM2 engine;
  engine.SetRefractionColor(-1.0f, 0.5f, 2.0f);
  EXPECT_EQ(engine.GetRefractionColor(), D3DXVECTOR3(0.0f, 0.5f, 1.0f));
}

TEST_F(WaterEngines, FoamSunlightDepthAndExtrusionSettersAsFillSettingsShows) {
  IDirect3DTexture9* foam = MakeTexture();
  IDirect3DTexture9* heights = MakeTexture();
  cWaterEngineSM3 engine;
  cEngineSettings settings{};

  engine.SetFoam(foam, heights, 1.7f, -3.0f, 6.0f, 0.1f, 0.5f, -40.0f);
  engine.FillSettings(&settings);
  EXPECT_TRUE(settings.enableFoam);
  EXPECT_FLOAT_EQ(settings.foamStartHeight, 1.0f);
  EXPECT_FLOAT_EQ(settings.foamScale, 0.0f);
  EXPECT_FLOAT_EQ(settings.foamTiling, 6.0f);
  EXPECT_FLOAT_EQ(settings.foamDistortion, 0.1f);
  EXPECT_FLOAT_EQ(settings.foamTranslation, 0.5f);
  EXPECT_FLOAT_EQ(settings.maxFoamDistance, 40.0f);

  engine.SetFoam(foam, heights, -0.2f, 2.0f, 6.0f, 0.1f, 0.5f, 1e30f);
  engine.FillSettings(&settings);
  EXPECT_FLOAT_EQ(settings.foamStartHeight, 0.0f);
  EXPECT_TRUE(std::isfinite(settings.maxFoamDistance));

  // Either texture missing: foam off, values kept.
  engine.SetFoam(nullptr, heights, 0.7f, 9.0f, 9.0f, 9.0f, 9.0f, 9.0f);
  engine.FillSettings(&settings);
  EXPECT_FALSE(settings.enableFoam);
  EXPECT_FLOAT_EQ(settings.foamStartHeight, 0.0f);
  EXPECT_FLOAT_EQ(settings.foamScale, 2.0f);

  engine.SetSunlight(0xFFC86432, 200.0f, 10.0f, D3DXVECTOR3(1000.0f, 100.0f, -1000.0f));
  engine.SetDepth(MakeTexture(), 2.5f, 0.75f);
  engine.SetGPUExtrusion(5.0f, D3DXVECTOR2(7.0f, 8.0f), -30.0f);
  engine.FillSettings(&settings);
  EXPECT_TRUE(settings.enableSunlight);
  EXPECT_FLOAT_EQ(settings.sunlightColorR, 200.0f / 255.0f);
  EXPECT_FLOAT_EQ(settings.sunlightColorG, 100.0f / 255.0f);
  EXPECT_FLOAT_EQ(settings.sunlightColorB, 50.0f / 255.0f);
  EXPECT_FLOAT_EQ(settings.sunlightArea, 200.0f);
  EXPECT_FLOAT_EQ(settings.sunlightPower, 10.0f);
  EXPECT_FLOAT_EQ(settings.sunlightPositionZ, -1000.0f);
  EXPECT_TRUE(settings.enableDepthEffects);
  EXPECT_FLOAT_EQ(settings.shoreTransparency, 2.5f);
  EXPECT_FLOAT_EQ(settings.shoreFoamScale, 0.75f);
  EXPECT_TRUE(settings.enableGPUExtrusion);
  EXPECT_FLOAT_EQ(settings.gpuExtrusionStrength, 5.0f);
  EXPECT_FLOAT_EQ(settings.gpuExtrusionUVScaleX, 7.0f);
  EXPECT_FLOAT_EQ(settings.gpuExtrusionUVScaleY, 8.0f);
  EXPECT_FLOAT_EQ(settings.gpuHeightFalloffDistance, -30.0f);

  engine.SetDepth(nullptr, 9.0f, 9.0f);
  engine.DisableSunlight();
  engine.DisableGPUExtrusion();
  engine.FillSettings(&settings);
  EXPECT_FALSE(settings.enableDepthEffects);
  EXPECT_FLOAT_EQ(settings.shoreTransparency, 2.5f);
  EXPECT_FALSE(settings.enableSunlight);
  EXPECT_FALSE(settings.enableGPUExtrusion);

  // The shader model 2 engine writes GPU extrusion off whatever it was told.
  cWaterEngineSM2 sm2;
  sm2.SetFoam(foam, heights, 0.5f, 1.0f, 6.0f, 0.1f, 0.0f, 2000.0f);
  settings.enableGPUExtrusion = true;
  sm2.FillSettings(&settings);
  EXPECT_TRUE(settings.enableFoam);
  EXPECT_FALSE(settings.enableGPUExtrusion);
}

TEST_F(WaterEngines, EveryTechniqueOfTheEffectFilesLoads) {
  struct File {
    const char* path;
    std::vector<std::string> techniques;
  };
  std::vector<File> files = {{"shaders/sm1.fx", {}}, {"shaders/sm2.fx", {}}, {"shaders/sm3.fx", {}}};
  for (const char* foam : {"NoFoam_", "Foam_"})
    for (const char* variant : {"Default_technique", "NoRefraction_technique", "NoReflection_technique"})
      files[0].techniques.push_back(std::string(foam) + variant);
  for (int sun = 0; sun < 2; ++sun)
    for (int foam = 0; foam < 2; ++foam)
      for (int depth = 0; depth < 2; ++depth)
        for (const char* suffix : {"", "_noRefraction", "_noReflection"})
          files[1].techniques.push_back(cWaterEngineSM2::TechniqueBaseName(sun, foam, depth) + std::string(suffix));
  for (const char* fetch : {"technique_no_vertex_fetch", "technique_with_vertex_fetch"})
    for (const char* suffix : {"", "_noRefraction", "_noReflection"})
      files[2].techniques.push_back(fetch + std::string(suffix));

  const char* firstTechniques[] = {"NoFoam_Default_technique", "technique_minRendering", "technique_no_vertex_fetch"};
  for (size_t i = 0; i < files.size(); ++i) {
    ID3DXEffect* effect = nullptr;
    ASSERT_EQ(D3DXCreateEffectFromFileA(device, files[i].path, nullptr, nullptr, 0, nullptr, &effect, nullptr), D3D_OK);
    EXPECT_STREQ(effect->GetCurrentTechnique(), firstTechniques[i]);
    for (const std::string& name : files[i].techniques)
      EXPECT_EQ(effect->SetTechnique(name.c_str()), D3D_OK) << files[i].path << " " << name;
    effect->Release();
  }
  EXPECT_EQ(files[0].techniques.size() + files[1].techniques.size() + files[2].techniques.size(), 36u);
}

// A grid whose draw can be made to fail, as a geometry whose Create failed does.
template <class Grid>
class FailingGrid : public Grid {
 public:
  bool Render(IDirect3DDevice9* device, const D3DXMATRIX* viewProjection) override {
    return !fail && Grid::Render(device, viewProjection);
  }
  bool fail = true;
};

TEST_F(WaterEngines, AFailedDrawStillEndsTheEffectAndTheNextFrameDraws) {
  const Camera camera = Camera::LookingAt(D3DXVECTOR3(0.0f, 20.0f, -60.0f), D3DXVECTOR3(0.0f, 0.0f, 0.0f));
  for (int typeId : {ENGINE_SM1, ENGINE_SM2, ENGINE_SM3}) {
    FailingGrid<cSimpleGrid> simple;
    FailingGrid<cRadialGrid> radial;
    iWaterGeometry* geometry = &simple;
    if (typeId == ENGINE_SM3) {
      ASSERT_TRUE(radial.Create(100.0f, 16, 1.0f, 1.2f, 0.0f, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0, 0, 0), device));
      geometry = &radial;
    } else {
      ASSERT_TRUE(simple.Create(100.0f, 100.0f, 8, 8, D3DXVECTOR2(1, 1), D3DXVECTOR3(0, 0, 0), device));
    }
    auto engine = MakeEngine(typeId);
    engine->SetGeometry(geometry);
    engine->SetNormalmap(&normalmap);
    ASSERT_TRUE(Init(*engine)) << typeId;
    if (auto* perPixel = dynamic_cast<cPerPixelWaterEngine*>(engine.get())) perPixel->SetNormalmapTexture(MakeTexture());
    if (auto* sm3 = dynamic_cast<cWaterEngineSM3*>(engine.get())) sm3->SetHeightmapTexture(MakeTexture());
    ASSERT_EQ(device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE), D3D_OK);
    platform::Recorded().Clear();

    EXPECT_FALSE(engine->Render(device, &camera.view, &camera.projection, &camera.eye)) << typeId;
    EXPECT_TRUE(Draws().empty());
    DWORD blend = TRUE;
    ASSERT_EQ(device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend), D3D_OK);
    EXPECT_EQ(blend, static_cast<DWORD>(FALSE)) << "the pass states were not put back: End did not run";
    IDirect3DBaseTexture9* stage0 = nullptr;
    ASSERT_EQ(device->GetTexture(0, &stage0), D3D_OK);
    EXPECT_EQ(stage0, nullptr);

    simple.fail = radial.fail = false;
    EXPECT_TRUE(engine->Render(device, &camera.view, &camera.projection, &camera.eye)) << typeId;
    ASSERT_EQ(Draws().size(), 1u) << typeId;
    EXPECT_FALSE(Draws()[0].effect.empty());
  }
}

}  // namespace
