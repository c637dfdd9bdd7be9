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
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "EditorTest.h"
#include "gui/cWindow.h"
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

class EditorSoak : public EditorTest, public ::testing::WithParamInterface<SoakCase> {
 protected:
  void SetUp() override {
    profile = GetParam().profile();
    seed_ = EnvOr("EDITOR_SOAK_SEED", GetParam().seed);
    random_.seed(seed_);
    std::printf("[ soak ] %s: EDITOR_SOAK_SEED=%u\n", GetParam().name, seed_);
    StartDriven();
  }
  void TearDown() override {
    if (HasFailure()) std::printf("[ soak ] failed with EDITOR_SOAK_SEED=%u after: %s\n", seed_, log_.c_str());
    EditorTest::TearDown();
  }

  int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  float Between(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random_); }
  template <class T, size_t N>
  const T& OneOf(const T (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }
  void Note(const std::string& action) {
    log_ += action + "; ";
    if (log_.size() > 600) log_.erase(0, log_.size() - 600);
  }
  cMenu* Top() const { return cGUIManager::Instance()->GetTopMenu(); }

  // A visible component of the menu on top, mostly one that takes input; null when none.
  iGUIComponent* AnyControl(cMenu* menu, bool editboxOnly = false) {
    const bool inert = Below(5) == 0;
    std::vector<iGUIComponent*> candidates;
    for (const auto& component : menu->Components()) {
      iGUIComponent* c = component.get();
      if (!c->IsVisible() || (editboxOnly && !dynamic_cast<cEditbox*>(c))) continue;
      if (inert || !(dynamic_cast<cTextarea*>(c) || dynamic_cast<cWindow*>(c))) candidates.push_back(c);
    }
    return candidates.empty() ? nullptr : candidates[Below(static_cast<int>(candidates.size()))];
  }

  // A click at a random point of a control (its lists included), else anywhere.
  void ClickControl() {
    cMenu* menu = Top();
    iGUIComponent* control = menu ? AnyControl(menu) : nullptr;
    if (!control) return ClickAnywhere();
    if (auto* list = dynamic_cast<cCombobox*>(control); list && list->GetId() != 0 && Below(2) == 0) {
      Note("pick " + std::to_string(list->GetId()));
      return driver->Pick(menu, list->GetId(), 1 + Below(cCombobox::kMaxRows));
    }
    const float* corner = control->GetPosition();
    float x = corner[0] + 0.006f, y = corner[1] - 0.006f;
    for (int attempt = 0; attempt < 20; ++attempt) {
      const float tryX = corner[0] + Between(0.0f, 0.3f), tryY = corner[1] - Between(0.0f, 0.3f);
      if (control->HitTest(tryX, tryY)) {
        x = tryX;
        y = tryY;
        break;
      }
    }
    Note("click " + std::to_string(menu->GetId()) + "/" + std::to_string(control->GetId()));
    driver->ClickAt(x, y);
  }

  void ClickAnywhere() {
    Note("click anywhere");
    driver->ClickAt(Between(-1.4f, 1.4f), Between(-0.6f, 0.6f));
  }

  void TypeValue() {
    static const char* const kValues[] = {
        "99999999999999999999999999999999999999999999", "340282350000000000000000000000000000000", "-99999",
        "-1", "0", "-0", "abc", "1.2.3", "-", "", "0.0001", "65536", "4096", "...", "2147483648", "7", "0.5", "128"};
    cMenu* menu = Top();
    iGUIComponent* box = menu ? AnyControl(menu, true) : nullptr;
    if (!box || box->GetId() == 0) return ClickControl();
    const char* value = OneOf(kValues);
    Note("type " + std::to_string(box->GetId()) + "=" + value);
    driver->Type(menu, box->GetId(), value);
  }

  // Several keys, repeats included, released within one frame.
  void KeyBurst() {
    static const WPARAM kKeys[] = {'0', '1', '5', '9', VK_OEM_PERIOD, VK_OEM_MINUS, VK_SUBTRACT, VK_BACK,
                                   VK_ESCAPE, 'A', 'D', 'Q', 'W', 'S', 'Z', VK_TAB, VK_RETURN};
    std::string keys;
    for (int n = 1 + Below(12); n > 0; --n) {
      const WPARAM key = OneOf(kKeys);
      keys += std::to_string(key) + " ";
      PostMessageA(window, WM_KEYDOWN, key, 0);
      PostMessageA(window, WM_KEYUP, key, 0);
    }
    Note("keys " + keys);
    driver->Frames(1);
  }

  // Tab, then the mouse and held movement keys for a while.
  void Fly() {
    static const WPARAM kMoves[] = {'W', 'A', 'S', 'D'};
    Note("fly");
    driver->Key(VK_TAB);
    for (int frame = Below(30); frame > 0; --frame) {
      SetCursorPos(Below(1280), Below(1024));
      const WPARAM key = OneOf(kMoves);
      PostMessageA(window, Below(3) == 0 ? WM_KEYUP : WM_KEYDOWN, key, 0);
      driver->Frames(1);
    }
    for (WPARAM key : kMoves) PostMessageA(window, WM_KEYUP, key, 0);
    if (Below(2) == 0) driver->Key(VK_TAB);
  }

  // No input for a while, the clock jumping by up to a minute first.
  void Idle() {
    const float seconds = Between(0.0f, 60.0f);
    Note("idle " + std::to_string(seconds));
    platform::headless::AdvanceClock(seconds);
    driver->Frames(1 + Below(40));
  }

  void LoseDevice() {
    const int failures = Below(3);
    Note("device lost, failing resets " + std::to_string(failures));
    platform::headless::LoseDevice();
    platform::headless::FailResets(failures);
    driver->Frames(1 + Below(6));
  }

  // A start from the selection screen; half the time the water is built from the reset menus.
  void ChooseEngine() {
    int types[4];
    int count = 0;
    if (editor->supported.ffp) types[count++] = ENGINE_FFP;
    if (editor->supported.sm1) types[count++] = ENGINE_SM1;
    if (editor->supported.sm2) types[count++] = ENGINE_SM2;
    if (editor->supported.sm3) types[count++] = ENGINE_SM3;
    ASSERT_GT(count, 0);
    const int type = types[Below(count)];
    Note("engine " + std::to_string(type));
    script->ChooseEngine(type);
    if (Below(2) == 0) {
      Note("build");
      script->BuildWater();
    }
  }

  void NewState() {
    Note("new");
    script->NewState();
  }

  // What a damaged file holds: nothing, noise, a cut save, or a save with
  // extreme values (in some lines or in all) or garbage lines.
  std::string Damaged(const std::string& valid) {
    static const char* const kExtremes[] = {"1e30",        "-1e30", "nan", "inf", "-inf", "1e300", "-2147483648",
                                            "2147483647",  "99999999999999999999", "-0", "abc", "", "-1", "65536"};
    const int kind = Below(7);
    switch (kind) {
      case 0: Note("file empty"); return "";
      case 1: {
        Note("file noise");
        std::string noise(1 + Below(3000), '\0');
        for (char& c : noise) c = static_cast<char>(Below(256));
        return noise;
      }
      case 2: Note("file cut"); return valid.substr(0, Below(static_cast<int>(valid.size()) + 1));
      case 3: Note("file whole"); return valid;
      default: break;
    }
    const char* everywhere = kind == 4 ? OneOf(kExtremes) : nullptr;
    Note(std::string("file extremes ") + (everywhere ? everywhere : "here and there"));
    std::istringstream lines(valid);
    std::string text, line;
    while (std::getline(lines, line)) {
      const size_t equals = line.find('=');
      // The working environment stays, or the load stops at the engine check.
      const bool header = line.find("working environment") != std::string::npos;
      if (equals != std::string::npos && !header && (everywhere || Below(3) == 0)) {
        line = line.substr(0, equals + 1) + (everywhere ? everywhere : OneOf(kExtremes)) + "\r";
      }
      if (Below(20) == 0) line += "\n" + std::string(Below(400), static_cast<char>('!' + Below(90)));
      text += line + "\n";
    }
    return text;
  }

  // Saves the state through the save dialog, damages the file and loads it back.
  void LoadDamagedFile() {
    script->Save("soakvalid");
    script->CloseInformation();
    std::ifstream in("save/soakvalid.txt", std::ios::binary);
    const std::string valid{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::ofstream("save/soakdamaged.txt", std::ios::binary) << Damaged(valid);
    driver->Click(editor->menus.toolbar, kToolbarLoadButton);
    driver->Frames(8);
    cCombobox* list = FindCombobox(editor->menus.load, kLoadList);
    if (script->TopId() != kMenuLoad || !list) return;
    list->SelectByText(L"soakdamaged");
    if (list->GetSelected() < 1) {
      list->AddItem(L"soakdamaged");
      list->SelectByText(L"soakdamaged");
    }
    script->ClickDialogOk();
    driver->Frames(2);
  }

  void OpenMenu() {
    static const int kButtons[] = {kToolbarHeightmapButton, kToolbarNormalmapButton, kToolbarGeometryButton,
                                   kToolbarEngineButton, kToolbarEngineButton, kToolbarSettingsButton};
    const int button = OneOf(kButtons);
    Note("open " + std::to_string(button));
    driver->Click(editor->menus.toolbar, button);
    driver->Frames(2);
  }

  void Step() {
    if (script->TopId() == kMenuEngineSelection) return ChooseEngine();
    const bool toolbar = script->TopId() == kMenuToolbar;
    const int action = Below(24);
    if (action < 9) return ClickControl();
    if (action < 12) return TypeValue();
    if (action < 13) return KeyBurst();
    if (action < 15) return Fly();
    if (action < 17) return Idle();
    if (action < 18) return LoseDevice();
    if (action < 19) return ClickAnywhere();
    if (!toolbar) return action < 20 ? driver->Key(VK_ESCAPE) : ClickControl();
    if (editor->flyMode) driver->Key(VK_TAB);  // the menus below take clicks
    if (action < 22) return OpenMenu();
    if (action < 23) return LoadDamagedFile();
    return NewState();
  }

  std::mt19937 random_;
  unsigned seed_ = 0;
  std::string log_;
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
