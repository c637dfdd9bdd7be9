// The whole editor on the headless backend, driven only by the messages a
// user's clicks and keys produce.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "EditorTest.h"
#include "EditorScript.h"
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
  void SetUp() override {
    Start();
    driver = std::make_unique<EditorDriver>(editor, window, true);
    script = std::make_unique<EditorScript>(editor, *driver);
    driver->Frames(2);
  }
  void TearDown() override {
    std::filesystem::remove("save/" + saveName + ".txt");
    EditorTest::TearDown();
  }

  bool DrewWith(const std::string& effect) const {
    for (const platform::DrawRecord& draw : platform::Recorded().draws) {
      if (draw.effect == effect) return true;
    }
    return false;
  }
  bool DrewText(const std::wstring& text) const {
    for (const platform::TextRecord& record : platform::Recorded().texts) {
      if (record.text == text) return true;
    }
    return false;
  }

  std::unique_ptr<EditorDriver> driver;
  std::unique_ptr<EditorScript> script;
  std::string saveName;
};

TEST_P(EndToEndTest, BuildTheWaterSaveLoadStartAgainAndExit) {
  const EngineCase engine = GetParam();
  saveName = "etoe" + std::to_string(engine.type);
  script->ChooseEngine(engine.type);
  // Nothing is created yet: the engine menu says why its create button is off.
  script->InMenu(kToolbarEngineButton, editor->EngineMenu(), [&](cMenu*) {
    platform::Recorded().Clear();
    driver->Frames(1);
    EXPECT_TRUE(DrewText(L"Not all engine options are valid or one of the following components is not "
                         L"initalized:heightmap, normalmap, geometry. Please check the constraints."));
  });

  // Escape closes only the menu on top.
  driver->Click(editor->menus.toolbar, kToolbarGeometryButton);
  driver->Key(VK_ESCAPE);
  EXPECT_EQ(script->TopId(), kMenuToolbar);

  script->BuildWater();
  platform::Recorded().Clear();
  driver->Frames(3);
  if (*engine.effect) {
    EXPECT_TRUE(DrewWith(engine.effect));
  }
  EXPECT_TRUE(DrewText(L"To enter FLY MODE press TAB"));
  script->ChangeTransparency("0.3", 0.3f);

  script->Save(saveName);
  EXPECT_EQ(script->InformationText(), L"The engine has been succesifully saved.");
  script->CloseInformation();
  script->Load(saveName);
  EXPECT_EQ(script->InformationText(), L"The engine has been succesifully loaded.");
  script->CloseInformation();
  const cWaterScene& scene = editor->waterScene;
  ASSERT_NE(scene.heightmap, nullptr);  // rebuilt from the file
  EXPECT_EQ(scene.heightmap->GetTypeId(), HEIGHTMAP_FFT);
  EXPECT_EQ(scene.heightmap->GetResolution(), 64);
  ASSERT_NE(scene.engine, nullptr);
  EXPECT_NEAR(scene.engine->GetGlobalTransparency(), 0.3f, 1e-6f);
  platform::Recorded().Clear();
  driver->Frames(3);
  if (*engine.effect) {
    EXPECT_TRUE(DrewWith(engine.effect));
  }

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

// A file saved for another engine family is refused with the state untouched.
TEST_F(EndToEndTest, LoadingAnotherEnginesFileSaysSo) {
  saveName = "etoeother";
  script->ChooseEngine(ENGINE_SM2);
  script->BuildWater();
  script->Save(saveName);
  script->CloseInformation();
  script->NewState();
  script->ChooseEngine(ENGINE_SM1);
  script->BuildWater();
  const iWaterEngine* engine = editor->waterScene.engine;
  script->Load(saveName);
  EXPECT_EQ(script->InformationText(), L"The current selected engine differs from file engine.");
  EXPECT_EQ(editor->waterScene.engine, engine);
}

}  // namespace
