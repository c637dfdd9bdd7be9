// The sequence of passes each engine type draws, and the engine features it is handed.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pipeline_test
