// The whole editor on the headless backend, driven only by the messages a
// user's clicks and keys produce: one session per engine type, then random use
// of everything: clicks over every control of the menu on top, values typed
// into the boxes (huge, negative, not numbers), bursts of keys, Tab, W/A/S/D
// and the mouse, long idle stretches, loads of damaged save files, New with
// another engine, device losses and failing resets. Nothing may crash or touch
// memory it does not own (run it under the sanitizers). Every random run is
// seeded: EDITOR_SOAK_SEED repeats one, EDITOR_SOAK_FRAMES makes it longer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

#include "EditorTest.h"
#include "gui/cWindow.h"
#include "heightmap/iHeightmap.h"

namespace {

using savefile::testing::ReadBytes;

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
  script->InMenu(kToolbarEngineButton, editor->EngineMenu(), [&](cMenu*) { ExpectFramesDraw(kEngineWarning, false); });
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
  EXPECT_EQ(std::tuple(scene.heightmap->GetTypeId(), scene.heightmap->GetResolution()), std::tuple(HEIGHTMAP_FFT, 64));
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

struct SoakCase {
  const char* name;
  platform::HeadlessProfile (*profile)();
  unsigned seed;
  friend void PrintTo(const SoakCase& c, std::ostream* os) { *os << c.name; }
};

unsigned EnvOr(const char* name, unsigned fallback) {
  const char* value = std::getenv(name);
  return value && *value ? static_cast<unsigned>(std::strtoul(value, nullptr, 10)) : fallback;
}

// Each step is one action of a user (or of the device) picked at random; the
// seed printed first repeats a failing run.
class EditorSoak : public EditorTest, public ::testing::WithParamInterface<SoakCase> {
 protected:
  void SetUp() override {
    profile = GetParam().profile();
    random_.seed(EnvOr("EDITOR_SOAK_SEED", GetParam().seed));
    std::printf("[ soak ] %s: EDITOR_SOAK_SEED=%u\n", GetParam().name, EnvOr("EDITOR_SOAK_SEED", GetParam().seed));
    StartDriven();
  }
  int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  float Between(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random_); }
  template <class T, size_t N>
  const T& OneOf(const T (&items)[N]) { return items[Below(static_cast<int>(N))]; }
  static cMenu* Top() { return cGUIManager::Instance()->GetTopMenu(); }
  // A visible component of the menu on top, mostly one that takes input; null when none.
  iGUIComponent* AnyControl(bool editboxOnly = false) {
    const bool inert = Below(5) == 0;
    std::vector<iGUIComponent*> candidates;
    for (const auto& component : Top()->Components()) {
      iGUIComponent* c = component.get();
      if (!c->IsVisible() || (editboxOnly && !dynamic_cast<cEditbox*>(c))) continue;
      if (inert || !(dynamic_cast<cTextarea*>(c) || dynamic_cast<cWindow*>(c))) candidates.push_back(c);
    }
    return candidates.empty() ? nullptr : candidates[Below(static_cast<int>(candidates.size()))];
  }
  // A click at a random point of a control (a row of its list), else anywhere.
  void ClickControl() {
    iGUIComponent* control = AnyControl();
    if (!control || Below(10) == 0) return driver->ClickAt(Between(-1.4f, 1.4f), Between(-0.6f, 0.6f));
    if (auto* list = dynamic_cast<cCombobox*>(control); list && list->GetId() != 0 && Below(2) == 0)
      return driver->Pick(Top(), list->GetId(), 1 + Below(cCombobox::kMaxRows));
    const float* corner = control->GetPosition();
    const float x = corner[0] + Between(0.0f, 0.3f), y = corner[1] - Between(0.0f, 0.3f);
    control->HitTest(x, y) ? driver->ClickAt(x, y) : driver->ClickAt(corner[0] + 0.006f, corner[1] - 0.006f);
  }
  void TypeValue() {
    static const char* const kValues[] = {
        "99999999999999999999999999999999999999999999", "340282350000000000000000000000000000000", "-99999",
        "-1", "0", "-0", "abc", "1.2.3", "-", "", "0.0001", "65536", "4096", "...", "2147483648", "7", "0.5", "128"};
    iGUIComponent* box = AnyControl(true);
    if (!box || box->GetId() == 0) return ClickControl();
    driver->Type(Top(), box->GetId(), OneOf(kValues));
  }
  // Frames of keys, several a frame and repeats included, while the mouse moves:
  // W/A/S/D go down or up, the others are typed; then W/A/S/D are let go.
  void Keys() {
    static const WPARAM kKeys[] = {'0', '1', '5', '9', VK_OEM_PERIOD, VK_OEM_MINUS, VK_SUBTRACT, VK_BACK, VK_ESCAPE,
                                   'A', 'D', 'Q', 'W', 'S', 'Z', VK_TAB, VK_RETURN, 'W', 'A', 'S', 'D'};
    for (int frame = 1 + Below(30); frame > 0; --frame) {
      SetCursorPos(Below(1280), Below(1024));
      for (int n = Below(6); n > 0; --n) {
        const WPARAM key = OneOf(kKeys);
        const bool move = key == 'W' || key == 'A' || key == 'S' || key == 'D';
        if (!move || Below(2) == 0) Post(WM_KEYDOWN, key);
        if (!move || Below(2) == 0) Post(WM_KEYUP, key);
      }
      driver->Frames(1);
    }
    for (WPARAM key : {'W', 'A', 'S', 'D'}) Post(WM_KEYUP, key);
  }
  // No input for a while, the clock jumping by up to a minute first; or a lost
  // device with up to two failing resets.
  void Idle() {
    platform::headless::AdvanceClock(Between(0.0f, 60.0f));
    driver->Frames(1 + Below(40));
  }
  void LoseDevice() {
    platform::headless::LoseDevice();
    platform::headless::FailResets(Below(3));
    driver->Frames(1 + Below(6));
  }
  // A start from the selection screen; half the time the water is built from the reset menus.
  void ChooseEngine() {
    const int types[] = {ENGINE_FFP, ENGINE_SM1, ENGINE_SM2, ENGINE_SM3};
    const bool supported[] = {editor->supported.ffp, editor->supported.sm1, editor->supported.sm2,
                              editor->supported.sm3};
    ASSERT_TRUE(std::count(std::begin(supported), std::end(supported), true) > 0);
    int k = Below(4);
    while (!supported[k]) k = Below(4);
    script->ChooseEngine(types[k]);
    if (Below(2) == 0) script->BuildWater();
  }
  // What a damaged file holds: nothing, noise, a cut save, the save, or the save
  // with extreme values (one everywhere or several here and there) and garbage lines.
  std::string Damaged(const std::string& valid) {
    static const char* const kExtremes[] = {"1e30",        "-1e30", "nan", "inf", "-inf", "1e300", "-2147483648",
                                            "2147483647",  "99999999999999999999", "-0", "abc", "", "-1", "65536"};
    const int kind = Below(7);
    std::string text(kind == 1 ? 1 + Below(3000) : 0, '\0');
    for (char& c : text) c = static_cast<char>(Below(256));
    if (kind < 2) return text;
    if (kind < 4) return kind == 2 ? valid.substr(0, Below(static_cast<int>(valid.size()) + 1)) : valid;
    const char* everywhere = kind == 4 ? OneOf(kExtremes) : nullptr;
    std::istringstream lines(valid);
    for (std::string line; std::getline(lines, line);) {
      const size_t equals = line.find('=');
      // The working environment stays, or the load stops at the engine check.
      const bool header = line.find("working environment") != std::string::npos;
      if (equals != std::string::npos && !header && (everywhere || Below(3) == 0))
        line = line.substr(0, equals + 1) + (everywhere ? everywhere : OneOf(kExtremes)) + "\r";
      if (Below(20) == 0) line += "\n" + std::string(Below(400), static_cast<char>('!' + Below(90)));
      text += line + "\n";
    }
    return text;
  }
  // Saves the state, damages the file and loads it through the load dialog.
  void LoadDamagedFile() {
    Open(editor->menus.save);
    Write(editor->menus.save, kSaveName, L"soakvalid");
    Command(kEventSaveOk);
    Command(kEventClose);
    std::ofstream("save/soakdamaged.txt", std::ios::binary) << Damaged(ReadBytes("save/soakvalid.txt"));
    driver->Click(editor->menus.toolbar, kToolbarLoadButton);
    driver->Frames(8);
    if (cCombobox* list = FindCombobox(Top(), kLoadList)) list->SelectByText(L"soakdamaged");
    script->ClickDialogOk();
  }
  // The toolbar's New, confirmed.
  void NewState() {
    driver->Click(editor->menus.toolbar, kToolbarNewButton);
    driver->Frames(8);
    script->ClickDialogOk();
  }
  void Step() {
    static const int kMenuButtons[] = {kToolbarHeightmapButton, kToolbarNormalmapButton, kToolbarGeometryButton,
                                       kToolbarEngineButton, kToolbarEngineButton, kToolbarSettingsButton};
    if (script->TopId() == kMenuEngineSelection) return ChooseEngine();
    const int action = Below(24);
    if (action < 10) return ClickControl();
    if (action < 13) return TypeValue();
    if (action < 16) return Keys();
    if (action < 18) return Idle();
    if (action < 19) return LoseDevice();
    if (script->TopId() != kMenuToolbar) return action < 20 ? driver->Key(VK_ESCAPE) : ClickControl();
    if (editor->flyMode) driver->Key(VK_TAB);  // the menus below take clicks
    if (action >= 22) return action == 22 ? LoadDamagedFile() : NewState();
    driver->Click(editor->menus.toolbar, OneOf(kMenuButtons));
    driver->Frames(2);
  }
  std::mt19937 random_;
};

TEST_P(EditorSoak, RandomUseNeverBreaksTheEditor) {
  const int frames = static_cast<int>(EnvOr("EDITOR_SOAK_FRAMES", 300));
  while (driver->FrameCount() < frames && !HasFatalFailure()) {
    Step();
    ASSERT_NE(Top(), nullptr);
    const D3DXVECTOR3& eye = editor->camera->position;
    ASSERT_TRUE(std::isfinite(eye.x) && std::isfinite(eye.y) && std::isfinite(eye.z));
    ASSERT_LE(editor->keyEvents.size(), 8u);
  }
}

INSTANTIATE_TEST_SUITE_P(Profiles, EditorSoak,
                         ::testing::Values(SoakCase{"sm3", &platform::HeadlessProfile::ShaderModel3, 1},
                                           SoakCase{"sm1", &platform::HeadlessProfile::ShaderModel1, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
