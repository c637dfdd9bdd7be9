// What every engine shares (capability checks, initialisation, the setters as FillSettings reports them, effects ended
// after a failed draw), then what each one does in Render: the fixed-function engine's second vertex stream and texture
// stages, the shader engines' effect parameters and techniques in order.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <tuple>

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
  // Which of the fixed-function, shader model 1, 2 and 3 engines each profile supports.
  const std::pair<HeadlessProfile (*)(), const char*> cases[] = {
      {HeadlessProfile::ShaderModel3, "1111"},  {HeadlessProfile::ShaderModel2, "1110"},
      {HeadlessProfile::ShaderModel1, "1100"},  {HeadlessProfile::FixedFunction, "1000"},
      {HeadlessProfile::OneStream, "0011"},     {HeadlessProfile::NoR32F, "1111"}, {WithoutVertexTextures, "1110"}};
  for (const auto& [make, supported] : cases) {
    Start(make());
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(MakeEngine(kEngines[i])->CheckCaps(d3d, device), supported[i] == '1') << supported << " " << i;
  }
  for (int typeId : kEngines) {
    auto engine = MakeEngine(typeId);
    EXPECT_FALSE(engine->CheckCaps(nullptr, device)) << typeId;
    EXPECT_FALSE(engine->CheckCaps(d3d, nullptr)) << typeId;
    EXPECT_FALSE(engine->Init(nullptr, nullptr, 0.1f, 1.0f, 0.1f)) << typeId;
  }
}

TEST_F(WaterEngines, InitNeedsCpuNormalsOnlyForFixedFunctionAndShaderModel1) {
  const struct { int engine; bool withComponents; int normalmapType; bool expected; } cases[] = {
      {ENGINE_FFP, true, NORMALMAP_FD_RAW, true},  {ENGINE_FFP, true, NORMALMAP_FD_TEX, false},
      {ENGINE_FFP, false, NORMALMAP_FD_RAW, false}, {ENGINE_SM1, true, NORMALMAP_FFT, true},
      {ENGINE_SM1, true, NORMALMAP_FD_TEX, false},  {ENGINE_SM1, false, NORMALMAP_FD_RAW, false},
      {ENGINE_SM2, true, NORMALMAP_FD_TEX, true},   {ENGINE_SM2, false, NORMALMAP_FD_RAW, true},
      {ENGINE_SM3, true, NORMALMAP_FD_TEX, true},   {ENGINE_SM3, false, NORMALMAP_FD_RAW, true},
  };
  for (const auto& c : cases) {
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

// The refraction fill colour is the editor's part of the record: left alone.
TEST_F(WaterEngines, FillSettingsShowsDefaultsAndClampedCommonValues) {
  const struct { float strength, transparency, distance, writtenTransparency, writtenDistance; } cases[] = {
      {0.1f, 0.1f, 1.0f, 0.1f, 1.0f},  // the defaults, not set
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
      const cEngineSettings& s = settings;
      EXPECT_EQ(std::tuple(s.engineType, s.enableReflection), std::tuple(typeId, true));
      EXPECT_FALSE(s.enableRefraction || s.enableFoam || s.enableSunlight || s.enableDepthEffects ||
                   s.enableGPUExtrusion);
      EXPECT_THAT(std::tuple(s.engineReflectionStrength, s.engineGlobalTransparency, s.engineFullReflectionDistance),
                  testing::FieldsAre(testing::FloatEq(c.strength), testing::FloatEq(c.writtenTransparency),
                                     testing::FloatEq(c.writtenDistance)));
      uint32_t untouched = 0;
      std::memcpy(&untouched, &s.engineRefractionColorR, sizeof(untouched));
      EXPECT_EQ(untouched, 0xFFFFFFFFu);
    }
  }
  cWaterEngineSM2 engine;
  engine.SetReflectionColor(0x80294B3E);
  EXPECT_FLOAT_EQ(engine.GetReflectionColor().w, 128.0f / 255.0f);
  engine.SetRefractionColor(-1.0f, 0.5f, 2.0f);
  EXPECT_EQ(engine.GetRefractionColor(), D3DXVECTOR3(0.0f, 0.5f, 1.0f));
}

// An option handed no texture is off and keeps its values.
TEST_F(WaterEngines, OptionSettersClampAndSwitchAsFillSettingsShows) {
  IDirect3DTexture9* foam = MakeTexture();
  IDirect3DTexture9* heights = MakeTexture();
  cWaterEngineSM3 engine;
  cEngineSettings settings{};
  engine.SetFoam(foam, heights, 1.7f, -3.0f, 6.0f, 0.1f, 0.5f, -40.0f);
  engine.SetSunlight(0xFFC86432, 200.0f, 10.0f, D3DXVECTOR3(1000.0f, 100.0f, -1000.0f));
  engine.SetDepth(MakeTexture(), 2.5f, 0.75f);
  engine.SetGPUExtrusion(5.0f, D3DXVECTOR2(7.0f, 8.0f), -30.0f);
  const cEngineSettings& s = *engine.FillSettings(&settings);
  EXPECT_TRUE(s.enableFoam && s.enableSunlight && s.enableDepthEffects && s.enableGPUExtrusion);
  EXPECT_EQ(std::tuple(s.foamStartHeight, s.foamScale, s.maxFoamDistance), std::tuple(1.0f, 0.0f, 40.0f));
  engine.SetFoam(foam, heights, -0.2f, 2.0f, 6.0f, 0.1f, 0.5f, 1e30f);
  engine.FillSettings(&settings);
  EXPECT_TRUE(s.foamStartHeight == 0.0f && std::isfinite(s.maxFoamDistance)) << s.maxFoamDistance;
  engine.SetFoam(nullptr, heights, 0.7f, 9.0f, 9.0f, 9.0f, 9.0f, 9.0f);
  engine.SetDepth(nullptr, 9.0f, 9.0f);
  engine.DisableSunlight();
  engine.DisableGPUExtrusion();
  engine.FillSettings(&settings);
  EXPECT_FALSE(s.enableFoam || s.enableSunlight || s.enableDepthEffects || s.enableGPUExtrusion);
  EXPECT_EQ(std::tuple(s.foamScale, s.shoreTransparency), std::tuple(2.0f, 2.5f));
  // The shader model 2 engine writes GPU extrusion off whatever it was told.
  cWaterEngineSM2 sm2;
  sm2.SetFoam(foam, heights, 0.5f, 1.0f, 6.0f, 0.1f, 0.0f, 2000.0f);
  settings.enableGPUExtrusion = true;
  sm2.FillSettings(&settings);
  EXPECT_EQ(std::tuple(s.enableFoam, s.enableGPUExtrusion), std::tuple(true, false));
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
    FailingGrid<cRadialGrid> radial;  // the shader model 3 engine draws only a radial grid
    const D3DXVECTOR2 uv(1.0f, 1.0f);
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    ASSERT_TRUE(typeId == ENGINE_SM3 ? radial.Create(100.0f, 16, 1.0f, 1.2f, 0.0f, uv, origin, device)
                                     : simple.Create(100.0f, 100.0f, 8, 8, uv, origin, device));
    auto engine = MakeEngine(typeId);
    engine->SetGeometry(typeId == ENGINE_SM3 ? static_cast<iWaterGeometry*>(&radial) : &simple);
    engine->SetNormalmap(&normalmap);
    ASSERT_TRUE(Init(*engine)) << typeId;
    if (auto* pixel = dynamic_cast<cPerPixelWaterEngine*>(engine.get())) pixel->SetNormalmapTexture(MakeTexture());
    if (auto* sm3 = dynamic_cast<cWaterEngineSM3*>(engine.get())) sm3->SetHeightmapTexture(MakeTexture());
    ASSERT_EQ(device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE), D3D_OK);
    platform::Recorded().Clear();
    EXPECT_FALSE(engine->Render(device, &camera.view, &camera.projection, &camera.eye)) << typeId;
    EXPECT_TRUE(Draws().empty());
    // Pass states not put back would mean End did not run.
    EXPECT_EQ(std::tuple(RenderState(D3DRS_ALPHABLENDENABLE), BoundTexture(0)), std::tuple(DWORD{FALSE}, nullptr));
    simple.fail = radial.fail = false;
    EXPECT_TRUE(engine->Render(device, &camera.view, &camera.projection, &camera.eye)) << typeId;
    ASSERT_EQ(Draws().size(), 1u) << typeId;
    EXPECT_FALSE(Draws()[0].effect.empty());
  }
}

using Names = std::vector<std::string>;

Names operator+(Names a, const Names& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Names kFoamGroup = {"foamStartHeight", "foamScale", "foamTiling", "foamDistortion", "foamTranslation",
                          "maxFoamDistance"};
const Names kSunlightGroup = {"sunlightStrength", "sunlightArea", "sunlightPos", "sunlightColor"};
const Names kDepthGroup = {"depthTexture", "shoreTransparency", "shoreFoamScale"};

// The textures an engine is handed for one frame.
struct Passes { bool reflection, refraction; };
constexpr Passes kPasses[] = {{true, true}, {true, false}, {false, true}, {false, false}};

Names VariantNames(const Passes& passes) {
  if (!passes.reflection) return {"reflectionDiffuseColor"};
  return passes.refraction ? Names{"reflectionTexture", "refractionTexture"} : Names{"reflectionTexture"};
}

// The technique name's part for the passes: both, no refraction, no reflection.
std::string Variant(const Passes& passes, const char* both, const char* noRefraction, const char* noReflection) {
  if (!passes.reflection) return noReflection;
  return passes.refraction ? both : noRefraction;
}

class EngineRenders : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    reflection = MakeTexture();
    refraction = MakeTexture();
    ASSERT_TRUE(grid.Create(2.0f, 2.0f, 2, 2, D3DXVECTOR2(1.0f, 1.0f), D3DXVECTOR3(0.0f, 0.0f, 0.0f), device));
  }
  void HandPasses(iWaterEngine& engine, const Passes& passes) {
    engine.SetReflectionTexture(passes.reflection ? reflection : nullptr);
    engine.SetRefractionTexture(passes.refraction ? refraction : nullptr);
  }
  void Use(const Camera& c) { std::tie(view, projection, eye) = std::tie(c.view, c.projection, c.eye); }
  bool Render(iWaterEngine& engine) {
    platform::Recorded().Clear();
    return engine.Render(device, &view, &projection, &eye);
  }
  // Under every pass combination: one draw with `technique(passes)`, after
  // the parameters `before` and then the pass's own.
  template <class Technique>
  void ExpectEveryPass(iWaterEngine& engine, const Names& before, Technique technique) {
    for (const Passes& passes : kPasses) {
      SCOPED_TRACE(testing::Message() << passes.reflection << passes.refraction);
      HandPasses(engine, passes);
      ASSERT_TRUE(Render(engine));
      EXPECT_EQ(ParameterNames(), before + VariantNames(passes));
      EXPECT_EQ(LastTechnique(), technique(passes));
      ASSERT_EQ(Draws().size(), 1u);
      EXPECT_EQ(Draws()[0].technique, LastTechnique());
    }
  }
  IDirect3DTexture9* reflection = nullptr;
  IDirect3DTexture9* refraction = nullptr;
  D3DXMATRIX view = Identity();
  D3DXMATRIX projection = Identity();
  D3DXVECTOR3 eye{0.0f, 10.0f, 0.0f};
  FakeNormalmap normalmap{2};
  cSimpleGrid grid;  // 2 x 2 quads, 2 wide
  static D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
  }
};

class FFPRender : public EngineRenders {
 protected:
  void SetUp() override {
    EngineRenders::SetUp();
    engine.SetGeometry(&grid);
    engine.SetNormalmap(&normalmap);
    ASSERT_TRUE(engine.Init(d3d, device, 0.2f, 1e6f, 0.0f));
  }
  // The stream-1 entry of the vertex at the grid's centre.
  WaterVertexExtra CentreExtra() {
    const std::vector<WaterVertex> vertices = Read<WaterVertex>(grid.GetVertexBuffer());
    const std::vector<WaterVertexExtra> extra = Read<WaterVertexExtra>(grid.GetExtraStream());
    for (size_t k = 0; k < vertices.size(); ++k) if (vertices[k].x == 0.0f && vertices[k].z == 0.0f) return extra.at(k);
    ADD_FAILURE() << "no centre vertex";
    return {};
  }
  cWaterEngineFFP engine;
};

// The writer's own tests check the Fresnel term; here the engine's hand-over.
TEST_F(FFPRender, SecondStreamIsMadeByTheFirstRenderAndFollowsTheViewTransparencyAndNormals) {
  EXPECT_EQ(grid.GetExtraStream(), nullptr);
  const float root3 = std::sqrt(3.0f);
  const struct { const char* what; D3DXVECTOR3 eye; float fullDistance, transparency, clipW; DWORD alpha; } cases[] = {
      {"sixty degrees, clip w 3", {10.0f * root3, 10.0f, 0.0f}, 1e6f, 0.0f, 3.0f, 12},
      {"beyond the full reflection distance", {10.0f, 10.0f, 0.0f}, 1.0f, 0.1f, 1.0f, 229},
      {"fully transparent", {10.0f, 0.0f, 0.0f}, 1e6f, 1.0f, 1.0f, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    eye = c.eye;
    projection._44 = c.clipW;
    engine.SetFullReflectionDistance(c.fullDistance);
    engine.SetGlobalTransparency(c.transparency);
    normalmap.normals.assign(4, D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    ASSERT_TRUE(Render(engine));
    ASSERT_NE(grid.GetExtraStream(), nullptr);
    EXPECT_EQ(CentreExtra().color, (c.alpha << 24) | 0x00294B3Eu);
    normalmap.normals.assign(4, D3DXVECTOR3(0.48f, 0.64f, 0.6f));  // z is the map's up axis
    ASSERT_TRUE(Render(engine));
    const WaterVertexExtra extra = CentreExtra();
    const float shift = 0.2f * c.clipW;
    EXPECT_THAT(std::tuple(extra.s, extra.t, extra.q),
                testing::FieldsAre(testing::FloatEq(0.48f * shift), 0.0f, testing::FloatEq(0.64f * shift)));
  }
}

TEST_F(FFPRender, StagesByTheTexturesPresentAndStatesRestoredAfter) {
  auto stage = [&](DWORD s, D3DTEXTURESTAGESTATETYPE type) {
    DWORD value = 99;
    EXPECT_EQ(device->GetTextureStageState(s, type, &value), D3D_OK);
    return value;
  };
  auto addressU = [&](DWORD s) {
    DWORD value = 99;
    EXPECT_EQ(device->GetSamplerState(s, D3DSAMP_ADDRESSU, &value), D3D_OK);
    return value;
  };
  using Pair = std::pair<IDirect3DBaseTexture9*, IDirect3DBaseTexture9*>;
  for (const Passes& passes : kPasses) {
    HandPasses(engine, passes);
    ASSERT_TRUE(Render(engine));
    ASSERT_EQ(Draws().size(), 1u);
    const Pair drawn(Draws()[0].textures[0], Draws()[0].textures[1]);
    EXPECT_EQ(drawn, passes.reflection && passes.refraction ? Pair(refraction, reflection)
                                                             : Pair(passes.reflection ? reflection : nullptr, nullptr));
    constexpr auto kTransform = D3DTSS_TEXTURETRANSFORMFLAGS;
    EXPECT_EQ(std::tuple(stage(0, D3DTSS_TEXCOORDINDEX), stage(1, D3DTSS_COLOROP), stage(0, kTransform),
                         stage(1, kTransform), BoundTexture(0), BoundTexture(1)),
              std::tuple(0u, DWORD{D3DTOP_DISABLE}, 0u, 0u, nullptr, nullptr));
    EXPECT_EQ(std::tuple(addressU(0), addressU(1), RenderState(D3DRS_ALPHABLENDENABLE)),
              std::tuple(DWORD{D3DTADDRESS_CLAMP}, DWORD{D3DTADDRESS_CLAMP}, 1u));
  }
}

TEST_F(FFPRender, BadNormalMapsFail) {
  FakeNormalmap empty(0);
  engine.SetNormalmap(&empty);
  EXPECT_FALSE(Render(engine)) << "a normal map of size 0";
  FakeNormalmap gpuOnly(2, NORMALMAP_FD_TEX);
  engine.SetNormalmap(&gpuOnly);
  EXPECT_FALSE(Render(engine)) << "no CPU normals";
  engine.SetNormalmap(nullptr);
  EXPECT_FALSE(Render(engine));
  EXPECT_TRUE(Draws().empty());
}

TEST_F(EngineRenders, ShaderModel1ParametersAndTechniqueByFoamAndPasses) {
  normalmap.normals.assign(4, D3DXVECTOR3(0.48f, 0.64f, 0.6f));
  cWaterEngineSM1 engine;
  engine.SetGeometry(&grid);
  engine.SetNormalmap(&normalmap);
  ASSERT_TRUE(engine.Init(d3d, device, 0.2f, 10.0f, 0.0f));
  const Names common = {"precomputedFresnelTexture", "matWorldViewProject", "fullReflectionDistance",
                        "reflectionStrength", "globalTransparency", "remapMatrix", "eyeVector"};
  for (bool foam : {false, true}) {
    if (foam) engine.SetFoam(MakeTexture(), MakeTexture(), 0.5f, 1.0f, 6.0f, 0.1f, 0.0f, 2000.0f);
    ExpectEveryPass(engine, common + (foam ? Names{"foamTexture", "heightmapTexture"} + kFoamGroup : Names{}),
                    [&](const Passes& p) {
                      return (foam ? "Foam_" : "NoFoam_") + Variant(p, "Default", "NoRefraction", "NoReflection") +
                             "_technique";
                    });
  }
  EXPECT_EQ(Last("fullReflectionDistance").values, std::vector<float>{100.0f});
  // The normals were copied under every vertex.
  for (const WaterVertexExtra& extra : Read<WaterVertexExtra>(grid.GetExtraStream()))
    EXPECT_THAT(std::tuple(extra.s, extra.q), testing::FieldsAre(testing::FloatEq(0.48f), testing::FloatEq(0.6f)));
}

TEST_F(EngineRenders, ShaderModel2TechniqueAndParameterGroupsByFeaturesAndPasses) {
  cWaterEngineSM2 engine;
  engine.SetGeometry(&grid);
  ASSERT_TRUE(engine.Init(d3d, device, 0.2f, 10.0f, 0.0f));
  EXPECT_FALSE(Render(engine)) << "no normal map texture";
  engine.SetNormalmapTexture(MakeTexture());
  const Names common = {"precomputedFresnelTexture", "matWorldViewProject", "fullReflectionDistance",
                        "reflectionStrength", "globalTransparency", "eyeVector", "normalmapTexture"};
  IDirect3DTexture9* foamTexture = MakeTexture();
  IDirect3DTexture9* heights = MakeTexture();
  IDirect3DTexture9* depth = MakeTexture();
  for (int flags = 0; flags < 8; ++flags) {
    const bool sunlight = flags & 4, foam = flags & 2, depthOn = flags & 1;
    sunlight ? engine.SetSunlight(0xFFC8C8C8, 200.0f, 10.0f, D3DXVECTOR3(1000.0f, 100.0f, 1000.0f))
             : engine.DisableSunlight();
    foam ? engine.SetFoam(foamTexture, heights, 0.5f, 1.0f, 6.0f, 0.1f, 0.0f, 2000.0f) : engine.DisableFoam();
    depthOn ? engine.SetDepth(depth, 1.0f, 1.0f) : engine.DisableDepth();
    SCOPED_TRACE(flags);
    Names expected = common;
    if (sunlight) expected = expected + kSunlightGroup;
    if (depthOn) expected = expected + kDepthGroup;
    if (foam) expected = expected + Names{"foamTexture", "heightmapTexture"} + kFoamGroup;
    ExpectEveryPass(engine, expected, [&](const Passes& p) {
      return cWaterEngineSM2::TechniqueBaseName(sunlight, foam, depthOn) +
             Variant(p, "", "_noRefraction", "_noReflection");
    });
  }
  EXPECT_EQ(std::tuple(Last("depthTexture").texture, Last("fullReflectionDistance").values),
            std::tuple(depth, std::vector<float>{100.0f}));
  EXPECT_THAT(Last("sunlightColor").values, testing::Each(testing::FloatEq(200.0f / 255.0f)));
  EXPECT_EQ(Last("sunlightColor").values.size(), 3u);
}

class SM3Render : public EngineRenders {
 protected:
  void SetUp() override {
    EngineRenders::SetUp();
    ASSERT_TRUE(radial.Create(500.0f, 16, 2.0f, 1.3f, 0.0f, D3DXVECTOR2(7.0f, 7.0f), D3DXVECTOR3(0, 0, 0), device));
    engine.SetGeometry(&radial);
    ASSERT_TRUE(engine.Init(d3d, device, 0.2f, 10.0f, 0.0f));
    engine.SetNormalmapTexture(MakeTexture());
    engine.SetHeightmapTexture(MakeTexture());
    Use(Camera::LookingAt(D3DXVECTOR3(30.0f, 20.0f, -40.0f), D3DXVECTOR3(30.0f, 0.0f, 0.0f)));
  }
  cRadialGrid radial;
  cWaterEngineSM3 engine;
};

TEST_F(SM3Render, ParametersAndTechniqueByOptionsAndPassesWithTheGridUnderTheEye) {
  const Names common = {"precomputedFresnelTexture", "matWorldViewProject", "matWorld",
                        "normalmapTexture",          "heightmapTexture",    "eyeVector",
                        "fudge",                     "fullReflectionDistance", "reflectionStrength",
                        "globalTransparency",        "gridCenterTranslation",  "gridRadius",
                        "currentUVScale",            "enableFoam"};
  const Names extrusionGroup = {"newUVScale", "heightFallofDistance", "extrudeFactor"};
  for (bool extrusion : {false, true}) {
    if (extrusion) engine.SetGPUExtrusion(5.0f, D3DXVECTOR2(3.0f, 4.0f), 80.0f);
    const Names plain = {"enableSunlightReflection", "enableDepthData", "shoreTransparency"};
    ExpectEveryPass(engine, common + plain + (extrusion ? extrusionGroup : Names{}), [&](const Passes& p) {
      return (extrusion ? "technique_with_vertex_fetch" : "technique_no_vertex_fetch") +
             Variant(p, "", "_noRefraction", "_noReflection");
    });
  }
  EXPECT_EQ(std::tuple(Last("shoreTransparency").values, Last("heightFallofDistance").values),
            std::tuple(std::vector<float>{1.0f}, std::vector<float>{80.0f}));
  engine.SetFoam(MakeTexture(), MakeTexture(), 0.5f, 1.0f, 6.0f, 0.1f, 0.0f, 2000.0f);
  engine.SetSunlight(0xFFFFFFFF, 200.0f, 10.0f, D3DXVECTOR3(1.0f, 1.0f, 1.0f));
  engine.SetDepth(MakeTexture(), 2.0f, 0.5f);
  HandPasses(engine, {false, true});
  ASSERT_TRUE(Render(engine));
  EXPECT_EQ(ParameterNames(), common + Names{"foamTexture"} + kFoamGroup + Names{"enableSunlightReflection"} +
                                  kSunlightGroup + Names{"enableDepthData"} + kDepthGroup + extrusionGroup +
                                  Names{"reflectionDiffuseColor"});
  // The grid is moved under the eye.
  D3DXMATRIX world, expected;
  D3DXMatrixTranslation(&world, eye.x, 0.0f, eye.z);
  EXPECT_EQ(Last("matWorld").values, std::vector<float>(&world._11, &world._11 + 16));
  D3DXMatrixMultiply(&expected, &world, &view);
  D3DXMatrixMultiply(&expected, &expected, &projection);
  const std::vector<float> wvp = Last("matWorldViewProject").values;
  ASSERT_EQ(wvp.size(), 16u);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(wvp[i], (&expected._11)[i], 1e-5f) << i;
  using Values = std::vector<float>;
  EXPECT_EQ(std::tuple(Last("gridCenterTranslation").values, Last("gridRadius").values, Last("currentUVScale").values,
                       Last("fudge").values),
            std::tuple(Values{eye.x, eye.y, eye.z}, Values{500.0f}, Values{7.0f, 7.0f}, Values{1.5f}));
}

// A disc behind the camera is not drawn, but the effect is ended all the same.
TEST_F(SM3Render, RefusesOtherGeometriesAndMissingTexturesAndSkipsADiscBehindTheCamera) {
  engine.SetGeometry(&grid);
  EXPECT_FALSE(Render(engine));
  EXPECT_TRUE(platform::Recorded().parameters.empty());
  engine.SetGeometry(&radial);
  engine.SetHeightmapTexture(nullptr);
  EXPECT_FALSE(Render(engine));
  engine.SetHeightmapTexture(MakeTexture());
  Use(Camera::LookingAt(D3DXVECTOR3(0.0f, 2000.0f, 0.0f), D3DXVECTOR3(0.0f, 3000.0f, 1.0f)));
  ASSERT_EQ(device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE), D3D_OK);
  EXPECT_TRUE(Render(engine));
  EXPECT_TRUE(Draws().empty());
  EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), DWORD{FALSE});
  UINT passes = 0;
  EXPECT_EQ(engine.GetEffect()->Begin(&passes, 0), D3D_OK) << "the effect was left begun";
  engine.GetEffect()->End();
}

}  // namespace
