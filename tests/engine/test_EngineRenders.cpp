// What each engine does in Render: the fixed-function engine's second vertex
// stream and texture stages, and the shader engines' effect parameters and
// techniques, in the order they are set.
#include <cmath>

#include "EngineTestSupport.h"
#include "engine/cWaterEngineFFP.h"
#include "engine/cWaterEngineSM1.h"
#include "engine/cWaterEngineSM2.h"
#include "engine/cWaterEngineSM3.h"
#include "geometry/cRadialGrid.h"
#include "geometry/cSimpleGrid.h"

namespace {

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
struct Passes {
  bool reflection, refraction;
};
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

// ---- fixed function ----

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
    for (size_t k = 0; k < vertices.size(); ++k)
      if (vertices[k].x == 0.0f && vertices[k].z == 0.0f) return extra.at(k);
    ADD_FAILURE() << "no centre vertex";
    return {};
  }

  cWaterEngineFFP engine;
};

// The engine hands the writer its view, distance, transparency, strength and
// normals: the reflection weight in the alpha byte (the writer's own tests
// check the Fresnel term) and the lookup position displaced by the normal
// times the strength times clip w. The colour is the default reflection colour.
TEST_F(FFPRender, SecondStreamIsMadeByTheFirstRenderAndFollowsTheViewTransparencyAndNormals) {
  EXPECT_EQ(grid.GetExtraStream(), nullptr);
  const float root3 = std::sqrt(3.0f);
  const struct {
    const char* what;
    D3DXVECTOR3 eye;
    float fullDistance, transparency, clipW;
    DWORD alpha;
  } cases[] = {
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
    WaterVertexExtra extra = CentreExtra();
    EXPECT_EQ(extra.color, (c.alpha << 24) | 0x00294B3Eu);
    // n = (0.48, 0.64, 0.6) with z the map's up axis.
    normalmap.normals.assign(4, D3DXVECTOR3(0.48f, 0.64f, 0.6f));
    ASSERT_TRUE(Render(engine));
    extra = CentreExtra();
    EXPECT_FLOAT_EQ(extra.s, 0.48f * 0.2f * c.clipW);
    EXPECT_FLOAT_EQ(extra.t, 0.0f);
    EXPECT_FLOAT_EQ(extra.q, 0.64f * 0.2f * c.clipW);
  }
}

TEST_F(FFPRender, StagesByTheTexturesPresentAndStatesRestoredAfter) {
  for (const Passes& passes : kPasses) {
    HandPasses(engine, passes);
    ASSERT_TRUE(Render(engine));
    ASSERT_EQ(Draws().size(), 1u);
    const auto* textures = Draws()[0].textures;
    if (passes.reflection && passes.refraction) {
      EXPECT_EQ(textures[0], refraction);
      EXPECT_EQ(textures[1], reflection);
    } else {
      EXPECT_EQ(textures[0], passes.reflection ? reflection : nullptr);
      EXPECT_EQ(textures[1], nullptr);
    }
    DWORD value = 0;
    device->GetTextureStageState(0, D3DTSS_TEXCOORDINDEX, &value);
    EXPECT_EQ(value, 0u);
    device->GetTextureStageState(1, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_DISABLE));
    for (DWORD stage : {0u, 1u}) {
      device->GetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, &value);
      EXPECT_EQ(value, 0u);
      IDirect3DBaseTexture9* bound = nullptr;
      device->GetTexture(stage, &bound);
      EXPECT_EQ(bound, nullptr);
      device->GetSamplerState(stage, D3DSAMP_ADDRESSU, &value);
      EXPECT_EQ(value, static_cast<DWORD>(D3DTADDRESS_CLAMP));
    }
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(TRUE));
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

// ---- shader model 1 ----

TEST_F(EngineRenders, ShaderModel1ParametersAndTechniqueByFoamAndPasses) {
  normalmap.normals.assign(4, D3DXVECTOR3(0.48f, 0.64f, 0.6f));
  cWaterEngineSM1 engine;
  engine.SetGeometry(&grid);
  engine.SetNormalmap(&normalmap);
  ASSERT_TRUE(engine.Init(d3d, device, 0.2f, 10.0f, 0.0f));
  const Names common = {"precomputedFresnelTexture", "matWorldViewProject", "fullReflectionDistance",
                        "reflectionStrength",        "globalTransparency",  "remapMatrix",
                        "eyeVector"};
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
  for (const WaterVertexExtra& extra : Read<WaterVertexExtra>(grid.GetExtraStream())) {
    EXPECT_FLOAT_EQ(extra.s, 0.48f);
    EXPECT_FLOAT_EQ(extra.q, 0.6f);
  }
}

// ---- shader model 2 ----

TEST_F(EngineRenders, ShaderModel2TechniqueAndParameterGroupsByFeaturesAndPasses) {
  cWaterEngineSM2 engine;
  engine.SetGeometry(&grid);
  ASSERT_TRUE(engine.Init(d3d, device, 0.2f, 10.0f, 0.0f));
  EXPECT_FALSE(Render(engine)) << "no normal map texture";
  engine.SetNormalmapTexture(MakeTexture());
  const Names common = {"precomputedFresnelTexture", "matWorldViewProject", "fullReflectionDistance",
                        "reflectionStrength",        "globalTransparency",  "eyeVector",
                        "normalmapTexture"};
  IDirect3DTexture9* foamTexture = MakeTexture();
  IDirect3DTexture9* heights = MakeTexture();
  IDirect3DTexture9* depth = MakeTexture();
  for (int flags = 0; flags < 8; ++flags) {
    const bool sunlight = flags & 4, foam = flags & 2, depthOn = flags & 1;
    if (sunlight) engine.SetSunlight(0xFFC8C8C8, 200.0f, 10.0f, D3DXVECTOR3(1000.0f, 100.0f, 1000.0f));
    else engine.DisableSunlight();
    if (foam) engine.SetFoam(foamTexture, heights, 0.5f, 1.0f, 6.0f, 0.1f, 0.0f, 2000.0f);
    else engine.DisableFoam();
    if (depthOn) engine.SetDepth(depth, 1.0f, 1.0f);
    else engine.DisableDepth();
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
  EXPECT_EQ(Last("depthTexture").texture, depth);
  const std::vector<float> sunlightColor = Last("sunlightColor").values;
  ASSERT_EQ(sunlightColor.size(), 3u);
  for (float channel : sunlightColor) EXPECT_FLOAT_EQ(channel, 200.0f / 255.0f);
}

// ---- shader model 3 ----

class SM3Render : public EngineRenders {
 protected:
  void SetUp() override {
    EngineRenders::SetUp();
    ASSERT_TRUE(radial.Create(500.0f, 16, 2.0f, 1.3f, 0.0f, D3DXVECTOR2(7.0f, 7.0f), D3DXVECTOR3(0, 0, 0), device));
    engine.SetGeometry(&radial);
    ASSERT_TRUE(engine.Init(d3d, device, 0.2f, 10.0f, 0.0f));
    engine.SetNormalmapTexture(MakeTexture());
    engine.SetHeightmapTexture(MakeTexture());
    const Camera camera = Camera::LookingAt(D3DXVECTOR3(30.0f, 20.0f, -40.0f), D3DXVECTOR3(30.0f, 0.0f, 0.0f));
    view = camera.view;
    projection = camera.projection;
    eye = camera.eye;
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
  EXPECT_EQ(Last("shoreTransparency").values, std::vector<float>{1.0f});
  EXPECT_EQ(Last("heightFallofDistance").values, std::vector<float>{80.0f});

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
  EXPECT_EQ(Last("gridCenterTranslation").values, (std::vector<float>{eye.x, eye.y, eye.z}));
  EXPECT_EQ(Last("gridRadius").values, std::vector<float>{500.0f});
  EXPECT_EQ(Last("currentUVScale").values, (std::vector<float>{7.0f, 7.0f}));
  EXPECT_EQ(Last("fudge").values, std::vector<float>{1.5f});
}

// Other geometries and a missing heightmap texture are refused before any
// parameter is set. A disc behind the camera (looking straight up from high
// above the water) is not drawn, but the effect is ended all the same.
TEST_F(SM3Render, RefusesOtherGeometriesAndMissingTexturesAndSkipsADiscBehindTheCamera) {
  engine.SetGeometry(&grid);
  EXPECT_FALSE(Render(engine));
  EXPECT_TRUE(platform::Recorded().parameters.empty());
  engine.SetGeometry(&radial);
  engine.SetHeightmapTexture(nullptr);
  EXPECT_FALSE(Render(engine));
  engine.SetHeightmapTexture(MakeTexture());

  const Camera up = Camera::LookingAt(D3DXVECTOR3(0.0f, 2000.0f, 0.0f), D3DXVECTOR3(0.0f, 3000.0f, 1.0f));
  view = up.view;
  projection = up.projection;
  eye = up.eye;
  ASSERT_EQ(device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE), D3D_OK);
  EXPECT_TRUE(Render(engine));
  EXPECT_TRUE(Draws().empty());
  DWORD blend = TRUE;
  device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
  EXPECT_EQ(blend, static_cast<DWORD>(FALSE));
  UINT passes = 0;
  EXPECT_EQ(engine.GetEffect()->Begin(&passes, 0), D3D_OK) << "the effect was left begun";
  engine.GetEffect()->End();
}

}  // namespace
