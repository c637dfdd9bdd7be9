// The whole editor on the headless backend, driven only by the messages a
// user's clicks and keys produce.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "EditorTest.h"
#include "heightmap/iHeightmap.h"

namespace {

using namespace EditorId;

struct EngineCase {
  int type;
  const char* effect;  // drawn with this effect file; empty for fixed function
  friend void PrintTo(const EngineCase& c, std::ostream* os) { *os << "engine " << c.type; }
};

class EndToEndTest : public EditorTest, public ::testing::WithParamInterface<EngineCase> {
 protected:
  void SetUp() override { StartDriven(); }
  void TearDown() override {
    std::filesystem::remove("save/" + saveName + ".txt");
    EditorTest::TearDown();
  }

  // The next frames draw the text and, with `water`, the engine's effect.
  void ExpectFramesDraw(const std::wstring& text, bool water = true) {
    platform::Recorded().Clear();
    driver->Frames(3);
    const auto& draws = platform::Recorded().draws;
    const std::string effect = GetParam().effect;
    EXPECT_TRUE(!water || std::any_of(draws.begin(), draws.end(), [&](const auto& d) { return d.effect == effect; }));
    EXPECT_TRUE(Drawn(text)) << text;
  }

  std::string saveName;
};

TEST_P(EndToEndTest, BuildTheWaterSaveLoadStartAgainAndExit) {
  const EngineCase engine = GetParam();
  saveName = "etoe" + std::to_string(engine.type);
  script->ChooseEngine(engine.type);
  // Nothing is created yet: the engine menu says why its create button is off.
  script->InMenu(kToolbarEngineButton, editor->EngineMenu(), [&](cMenu*) {
    ExpectFramesDraw(kEngineWarning, false);
  });

  // Escape closes only the menu on top.
  driver->Click(editor->menus.toolbar, kToolbarGeometryButton);
  driver->Key(VK_ESCAPE);
  EXPECT_EQ(script->TopId(), kMenuToolbar);

  script->BuildWater();
  ExpectFramesDraw(kStandardHint);
  // A live value: typed into the open engine menu, taken by the next frame.
  script->InMenu(kToolbarEngineButton, editor->EngineMenu(), [&](cMenu* menu) {
    driver->Type(menu, kGlobalTransparency, "0.3");
    driver->Frames(1);
    EXPECT_FLOAT_EQ(editor->waterScene.engine->GetGlobalTransparency(), 0.3f);
  });

  script->Save(saveName);
  EXPECT_EQ(Information(), kSaved);
  script->CloseInformation();
  script->Load(saveName);
  EXPECT_EQ(Information(), kLoaded);
  script->CloseInformation();
  const cWaterScene& scene = editor->waterScene;
  ASSERT_NE(scene.heightmap, nullptr);  // rebuilt from the file
  EXPECT_EQ(scene.heightmap->GetTypeId(), HEIGHTMAP_FFT);
  EXPECT_EQ(scene.heightmap->GetResolution(), 64);
  ASSERT_NE(scene.engine, nullptr);
  EXPECT_NEAR(scene.engine->GetGlobalTransparency(), 0.3f, 1e-6f);
  ExpectFramesDraw(kStandardHint);

  script->NewState();
  EXPECT_TRUE(!scene.heightmap && !scene.normalmap && !scene.geometry && !scene.engine);
  script->ChooseEngine(engine.type);
  script->Exit();
}

INSTANTIATE_TEST_SUITE_P(EveryEngine, EndToEndTest,
                         ::testing::Values(EngineCase{ENGINE_FFP, ""}, EngineCase{ENGINE_SM1, "shaders/sm1.fx"},
                                           EngineCase{ENGINE_SM2, "shaders/sm2.fx"},
                                           EngineCase{ENGINE_SM3, "shaders/sm3.fx"}),
                         [](const auto& info) { return std::to_string(info.param.type); });

}  // namespace
