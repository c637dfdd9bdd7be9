// The sequence of passes each engine type draws, and the engine features it is handed.
#include <gtest/gtest.h>

#include <cwchar>

#include "SceneFrameTest.h"

namespace pipeline_test {
namespace {

TEST_F(SceneFrameTest, EachEngineTypeDrawsTheSequenceOfItsPasses) {
  struct Case {
    int type;
    Lines draws;
    Lines clears;
  };
  const Case cases[] = {
      {ENGINE_SM3,
       {"back sky/simple", "back island/vsLighting", "reflection sky/simple_zenable_false cw noz",
        "reflection island/vsLighting cw clip", "refraction island/vsLighting_withDepthTransparency clip",
        "depth island/renderDepth clip", "back water/technique_with_vertex_fetch"},
       kClearsWithDepth},
      {ENGINE_SM2,
       {"back sky/simple", "back island/vsLighting", "reflection sky/simple_zenable_false cw noz",
        "reflection island/vsLighting cw clip", "refraction island/vsLighting_withDepthTransparency clip",
        "depth island/renderDepth clip", "back water/technique_maxRendering"},
       kClearsWithDepth},
      {ENGINE_SM1,
       {"back sky/simple", "back island/vsLighting", "reflection sky/simple_zenable_false cw noz",
        "reflection island/vsLighting cw clip", "refraction island/vsLighting_withDepthTransparency clip",
        "back water/Foam_Default_technique"},
       kClearsWithoutDepth},
      {ENGINE_FFP,
       {"back sky", "back island", "reflection sky cw noz", "reflection island cw clip", "refraction island clip",
        "back water"},
       kClearsWithoutDepth},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    TearDown();
    SetUp();
    Build(c.type);
    ASSERT_TRUE(editor->waterScene.engine->IsInitialised());
    Frame();
    EXPECT_EQ(Draws(), c.draws);
    EXPECT_EQ(Clears(), c.clears);
    const cWaterScene& scene = editor->waterScene;
    if (c.type != ENGINE_FFP) {
      EXPECT_EQ(Parameter("reflectionTexture"), scene.reflectionTarget.GetTexture());
      EXPECT_EQ(Parameter("refractionTexture"), scene.refractionTarget.GetTexture());
    }
    if (c.type == ENGINE_SM2 || c.type == ENGINE_SM3) {
      EXPECT_EQ(Parameter("depthTexture"), scene.depthTarget.GetTexture());
      EXPECT_EQ(Parameter("normalmapTexture"), scene.normalmap->GetTexture());
      EXPECT_TRUE(ParameterSet("sunlightColor"));
    }
    if (c.type == ENGINE_SM3) {
      EXPECT_EQ(Parameter("heightmapTexture"), scene.heightmap->GetTexture());
    }
    EXPECT_EQ(scene.engine->GetRefractionColor(), D3DXVECTOR3(24 / 255.0f, 40 / 255.0f, 46 / 255.0f));
  }
}

// Without a heightmap texture foam is switched off every frame, so the engine
// never keeps a texture that may have been freed.
TEST_F(SceneFrameTest, AMissingHeightmapSwitchesFoamOff) {
  Build(ENGINE_SM2);
  Frame();
  EXPECT_TRUE(EngineSettings().enableFoam);
  editor->waterScene.heightmap = nullptr;
  Frame();
  EXPECT_FALSE(EngineSettings().enableFoam);
}

// Every live control of the scene, typed between two frames, reaches its
// target, engine or geometry in the next frame.
TEST_F(SceneFrameTest, LiveSceneValuesTakeEffectInTheNextFrame) {
  enum Source { kEngine, kGeometry, kReflection, kRefraction, kDepth };
  struct Case {
    int type;
    int id;  // in the engine menu; 220 in the geometry menu
    const wchar_t* text;
    Source source;
    float cEngineSettings::*field;  // of the engine's or the geometry's settings
    float (*target)(const cWaterScene&);
  };
  using S = cEngineSettings;
  const auto none = nullptr;
  const Case cases[] = {
      {ENGINE_SM2, kReflectionPlaneY, L"12", kReflection, none,
       [](const cWaterScene& w) { return w.reflectionTarget.GetPlaneHeight(); }},
      {ENGINE_SM2, kReflectionClipY, L"3", kReflection, none,
       [](const cWaterScene& w) { return w.reflectionTarget.GetClipHeight(); }},
      {ENGINE_SM2, kShoreTransparency, L"2", kEngine, &S::shoreTransparency, none},
      {ENGINE_SM2, kFoamScale, L"3", kEngine, &S::shoreFoamScale, none},
      {ENGINE_SM2, kSunArea, L"150", kEngine, &S::sunlightArea, none},
      {ENGINE_SM2, kSunPower, L"7", kEngine, &S::sunlightPower, none},
      {ENGINE_SM2, kFoamTiling, L"8", kEngine, &S::foamTiling, none},
      {ENGINE_SM2, kFoamDistortion, L"0.2", kEngine, &S::foamDistortion, none},
      {ENGINE_SM2, kExtrusionStrength, L"9", kGeometry, &S::geometryExtrusionStrength, none},
      {ENGINE_SM3, kDepthClipY, L"-2", kDepth, none,
       [](const cWaterScene& w) { return w.depthTarget.GetClipHeight(); }},
      {ENGINE_SM3, kDepthPlaneY, L"1.5", kDepth, none,
       [](const cWaterScene& w) { return w.depthTarget.GetDepthPlaneHeight(); }},
      {ENGINE_SM3, kDepthLimit, L"80", kDepth, none,
       [](const cWaterScene& w) { return w.depthTarget.GetDepthRange(); }},
      {ENGINE_SM3, kSunPositionX, L"-30", kEngine, &S::sunlightPositionX, none},
      {ENGINE_SM3, kSunPositionY, L"40", kEngine, &S::sunlightPositionY, none},
      {ENGINE_SM3, kSunPositionZ, L"50", kEngine, &S::sunlightPositionZ, none},
      {ENGINE_SM3, kFoamVisibility, L"500", kEngine, &S::maxFoamDistance, none},
      {ENGINE_SM3, kExtrusionStrength, L"9", kEngine, &S::gpuExtrusionStrength, none},
      {ENGINE_SM3, kExtrusionUVScaleX, L"3", kEngine, &S::gpuExtrusionUVScaleX, none},
      {ENGINE_SM3, kExtrusionUVScaleY, L"4", kEngine, &S::gpuExtrusionUVScaleY, none},
      {ENGINE_SM3, kRadialHeightFalloff, L"900", kEngine, &S::gpuHeightFalloffDistance, none},
      {ENGINE_SM1, kFoamStart, L"0.25", kEngine, &S::foamStartHeight, none},
      {ENGINE_SM1, kFoamTransparency, L"1.5", kEngine, &S::foamScale, none},
      {ENGINE_SM1, kExtrusionUVScaleX, L"3", kGeometry, &S::geometryExtrusionUVScaleX, none},
      {ENGINE_FFP, kRefractionClipY, L"-4", kRefraction, none,
       [](const cWaterScene& w) { return w.refractionTarget.GetClipHeight(); }},
      {ENGINE_FFP, kExtrusionUVScaleY, L"4", kGeometry, &S::geometryExtrusionUVScaleY, none},
  };
  int built = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    if (built != c.type) {
      TearDown();
      SetUp();
      Build(c.type);
      built = c.type;
    }
    Type(c.id == kRadialHeightFalloff ? editor->menus.geometry : editor->EngineMenu(), c.id, c.text);
    Frame();
    const cWaterScene& scene = editor->waterScene;
    cEngineSettings settings{};
    if (c.source == kEngine) scene.engine->FillSettings(&settings);
    if (c.source == kGeometry) scene.geometry->FillSettings(&settings);
    const float value = c.field ? settings.*c.field : c.target(scene);
    EXPECT_FLOAT_EQ(value, std::wcstof(c.text, nullptr));
  }
}

// Huge, negative, non-numeric and zero entries in every live control of every
// engine: the frames go on and nothing overflows (the sanitizer build checks
// every conversion and division).
TEST_F(SceneFrameTest, AnyTypedValueKeepsTheFramesGoing) {
  for (int type : {ENGINE_FFP, ENGINE_SM1, ENGINE_SM2, ENGINE_SM3}) {
    SCOPED_TRACE(type);
    TearDown();
    SetUp();
    Build(type);
    Check(editor->menus.heightmap, kShowHeightmap, true);
    Check(editor->menus.heightmap, kFixedNormalization, true);
    // Ends with sane values, under which the water must be drawn again.
    for (const wchar_t* text : {L"1e39", L"-1e39", L"abc", L"0", L"-0.5", L"1"}) {
      for (int id : kEngineBoxes) Type(editor->EngineMenu(), id, text);
      for (int id : {kRadialHeightFalloff, kGeomipmapHeightFalloff, kGeomipmapLodFalloff})
        Type(editor->menus.geometry, id, text);
      for (int id : {kSimulationSpeed, kNormalization}) Type(editor->menus.heightmap, id, text);
      Type(editor->menus.normalmap, kNormalsAmplitude, text);
      platform::headless::AdvanceClock(0.5);
      Frame();
      platform::Recorded().Clear();
      Frame();
    }
    EXPECT_EQ(Draws().back().rfind("back water", 0), 0u);
  }
}

}  // namespace
}  // namespace pipeline_test
