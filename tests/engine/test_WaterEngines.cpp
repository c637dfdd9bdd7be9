// What every engine shares: capability checks, initialisation, the setters as
// FillSettings reports them, and effects always ended after a failed draw.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
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

// From the defaults on: transparency clamped to 0..1, the distance kept
// squared within the float range; options an engine lacks are written off and
// the refraction fill colour, the editor's part of the record, is left alone.
TEST_F(WaterEngines, FillSettingsShowsDefaultsAndClampedCommonValues) {
  const struct {
    float strength, transparency, distance, writtenTransparency, writtenDistance;
  } cases[] = {{0.1f, 0.1f, 1.0f, 0.1f, 1.0f},  // the defaults, not set
               {-2.0f, -0.5f, -20.0f, 0.0f, 20.0f}, {0.0f, 3.0f, 7.0f, 1.0f, 7.0f},
               {5.0f, 0.25f, 1e30f, 0.25f, std::sqrt(FLT_MAX)}, {1.0f, NAN, NAN, 0.0f, std::sqrt(FLT_MAX)}};
  for (int typeId : kEngines) {
    auto engine = MakeEngine(typeId);
    engine->SetReflectionTexture(MakeTexture());
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << "engine " << typeId << ", distance " << c.distance);
      if (&c != cases) {
        engine->SetGlobalTransparency(c.transparency);
        engine->SetFullReflectionDistance(c.distance);
        engine->SetReflectionStrength(c.strength);
      }
      cEngineSettings settings;
      std::memset(&settings, 0xFF, sizeof(settings));
      settings.enableFoam = settings.enableSunlight = settings.enableDepthEffects = settings.enableGPUExtrusion = true;
      ASSERT_EQ(engine->FillSettings(&settings), &settings);
      EXPECT_EQ(settings.engineType, typeId);
      EXPECT_TRUE(settings.enableReflection);
      EXPECT_FALSE(settings.enableRefraction || settings.enableFoam || settings.enableSunlight ||
                   settings.enableDepthEffects || settings.enableGPUExtrusion);
      EXPECT_FLOAT_EQ(settings.engineReflectionStrength, c.strength);
      EXPECT_FLOAT_EQ(settings.engineGlobalTransparency, c.writtenTransparency);
      EXPECT_FLOAT_EQ(settings.engineFullReflectionDistance, c.writtenDistance);
      EXPECT_TRUE(std::isfinite(settings.engineFullReflectionDistance));
      uint32_t untouched = 0;
      std::memcpy(&untouched, &settings.engineRefractionColorR, sizeof(untouched));
      EXPECT_EQ(untouched, 0xFFFFFFFFu);
    }
  }
  cWaterEngineSM2 engine;
  engine.SetReflectionColor(0x80294B3E);
  EXPECT_FLOAT_EQ(engine.GetReflectionColor().w, 128.0f / 255.0f);
  engine.SetRefractionColor(-1.0f, 0.5f, 2.0f);
  EXPECT_EQ(engine.GetRefractionColor(), D3DXVECTOR3(0.0f, 0.5f, 1.0f));
}

// Foam start height is clamped to 0..1 and its scale to 0 and up; an option
// handed no texture is off and keeps its values. (Every value reaches the
// save files, which the save tests compare.)
TEST_F(WaterEngines, OptionSettersClampAndSwitchAsFillSettingsShows) {
  IDirect3DTexture9* foam = MakeTexture();
  IDirect3DTexture9* heights = MakeTexture();
  cWaterEngineSM3 engine;
  cEngineSettings settings{};
  engine.SetFoam(foam, heights, 1.7f, -3.0f, 6.0f, 0.1f, 0.5f, -40.0f);
  engine.SetSunlight(0xFFC86432, 200.0f, 10.0f, D3DXVECTOR3(1000.0f, 100.0f, -1000.0f));
  engine.SetDepth(MakeTexture(), 2.5f, 0.75f);
  engine.SetGPUExtrusion(5.0f, D3DXVECTOR2(7.0f, 8.0f), -30.0f);
  engine.FillSettings(&settings);
  EXPECT_TRUE(settings.enableFoam && settings.enableSunlight && settings.enableDepthEffects &&
              settings.enableGPUExtrusion);
  EXPECT_FLOAT_EQ(settings.foamStartHeight, 1.0f);
  EXPECT_FLOAT_EQ(settings.foamScale, 0.0f);
  EXPECT_FLOAT_EQ(settings.maxFoamDistance, 40.0f);

  engine.SetFoam(foam, heights, -0.2f, 2.0f, 6.0f, 0.1f, 0.5f, 1e30f);
  engine.FillSettings(&settings);
  EXPECT_FLOAT_EQ(settings.foamStartHeight, 0.0f);
  EXPECT_TRUE(std::isfinite(settings.maxFoamDistance));

  engine.SetFoam(nullptr, heights, 0.7f, 9.0f, 9.0f, 9.0f, 9.0f, 9.0f);
  engine.SetDepth(nullptr, 9.0f, 9.0f);
  engine.DisableSunlight();
  engine.DisableGPUExtrusion();
  engine.FillSettings(&settings);
  EXPECT_FALSE(settings.enableFoam || settings.enableSunlight || settings.enableDepthEffects ||
               settings.enableGPUExtrusion);
  EXPECT_FLOAT_EQ(settings.foamScale, 2.0f);
  EXPECT_FLOAT_EQ(settings.shoreTransparency, 2.5f);

  // The shader model 2 engine writes GPU extrusion off whatever it was told.
  cWaterEngineSM2 sm2;
  sm2.SetFoam(foam, heights, 0.5f, 1.0f, 6.0f, 0.1f, 0.0f, 2000.0f);
  settings.enableGPUExtrusion = true;
  sm2.FillSettings(&settings);
  EXPECT_TRUE(settings.enableFoam);
  EXPECT_FALSE(settings.enableGPUExtrusion);
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
