#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>

#include "../ScratchFolder.h"
#include "EditorTest.h"
#include "Golden.h"
#include "base/AppPaths.h"
#include "settings/cEngineSettings.h"
#include "engine/iWaterEngine.h"
#include "gui/cWindow.h"

namespace {

using savefile::testing::ReadBytes;

using namespace EditorId;

class SaveLoadTest : public EditorTest {
 protected:
  void TearDown() override {
    for (const std::string& name : written_) std::filesystem::remove("save/" + name + ".txt");
    EditorTest::TearDown();
  }
  std::string Path(const std::string& name) {
    written_.push_back(name);
    return "save/" + name + ".txt";
  }
  void Save(const std::wstring& name) {
    written_.push_back(std::string(name.begin(), name.end()));
    Open(editor->menus.save);
    Write(editor->menus.save, kSaveName, name.c_str());
    Command(kEventSaveOk);
  }
  // Picks `name` in the load list (added when the list does not hold it) and loads it.
  void Load(const std::string& name) {
    Open(editor->menus.load);
    cCombobox* list = FindCombobox(editor->menus.load, kLoadList);
    const std::wstring item(name.begin(), name.end());
    list->SelectByText(item.c_str());
    if (!list->GetSelectedText() || item != list->GetSelectedText()) {
      list->AddItem(item.c_str());
      list->SelectByText(item.c_str());
    }
    Command(kEventLoadOk);
  }
  bool Listed(const wchar_t* name) {
    cCombobox* list = FindCombobox(editor->menus.load, kLoadList);
    list->SelectByText(name);
    return list->GetSelectedText() != nullptr;
  }
  void WriteFile(const std::string& name, const std::string& text) {
    std::filesystem::create_directories("save");
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  // The laid-out text, as the font measures it where it was drawn, lies in the
  // box's window and above its OK button, which lies in the window too.
  void ExpectInformationFits() {
    platform::Recorded().Clear();
    driver->Frames(1);
    const auto& texts = platform::Recorded().texts;
    const auto drawn = std::find_if(texts.begin(), texts.end(), [&](const auto& t) { return t.text == Information(); });
    ASSERT_NE(drawn, texts.end());
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontW(editor->device, drawn->fontHeight, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, drawn->face.c_str(), &font),
              D3D_OK);
    RECT bounds = drawn->rect;
    font->DrawTextW(nullptr, drawn->text.c_str(), -1, &bounds, drawn->format | DT_CALCRECT, 0);
    font->Release();
    cMenu* box = editor->menus.info;
    cWindow* window = box->FindKind<cWindow>(0);
    cButton* ok = box->FindKind<cButton>(0);
    // The cursor mapping is the drawing's inverse.
    const D3DXVECTOR2 topLeft = editor->CursorToGUI({bounds.left, bounds.top});
    const D3DXVECTOR2 bottomRight = editor->CursorToGUI({bounds.right, bounds.bottom});
    EXPECT_TRUE(window->HitTest(topLeft.x, topLeft.y) && window->HitTest(bottomRight.x, bottomRight.y));
    const float okX = ok->GetPosition()[0], okY = ok->GetPosition()[1];
    EXPECT_GT(bottomRight.y, okY);
    EXPECT_TRUE(window->HitTest(okX, okY) && window->HitTest(okX + 0.08f, okY - 0.04f));
  }
  // Every edit box and checkbox of the component and engine menus, by menu and id.
  std::map<std::pair<int, int>, float> MenuValues() const {
    std::map<std::pair<int, int>, float> values;
    for (const cMenu* menu :
         {editor->menus.heightmap, editor->menus.normalmap, editor->menus.geometry, editor->EngineMenu()}) {
      for (const auto& component : menu->Components()) {
        const auto key = std::pair{menu->GetId(), component->GetId()};
        if (const auto* box = dynamic_cast<const cEditbox*>(component.get())) values[key] = box->GetValue();
        if (const auto* box = dynamic_cast<const cCheckbox*>(component.get())) values[key] = box->IsChecked();
        if (const auto* list = dynamic_cast<const cCombobox*>(component.get())) values[key] = list->GetSelected();
      }
    }
    return values;
  }
  // Saves, starts afresh with the same engine and loads the file: the state comes back whole.
  void SaveAndLoadAfresh(const std::wstring& name) {
    Save(name);
    ASSERT_EQ(Information(), kSaved);
    const int type = editor->engineType;
    Open(editor->menus.newState);
    Command(kEventNewStateOk);
    Command(IdsOf(type).chooseEvent);
    Load(std::string(name.begin(), name.end()));
    EXPECT_EQ(Information(), kLoaded);
    const cWaterScene& scene = editor->waterScene;
    EXPECT_TRUE(scene.heightmap && scene.normalmap && scene.geometry && scene.engine);
  }
  std::vector<std::string> written_;
};

TEST_F(SaveLoadTest, SaveReportsListsAndLoadsBackTheNewFileAndRefusesUnsafeNames) {
  StartWith(ENGINE_FFP);
  CreatePerlinHeightmap();
  Save(L"t15list");
  EXPECT_EQ(std::tuple(Information(), TopId()), std::tuple(kSaved, kMenuInfo));
  EXPECT_TRUE(std::filesystem::exists("save/t15list.txt"));
  EXPECT_TRUE(Listed(L"t15list"));
  Load("t15list");  // only some components: those are made, the others stay absent
  EXPECT_EQ(Information(), kLoaded);
  EXPECT_TRUE(editor->waterScene.heightmap && !editor->waterScene.normalmap);
  for (const wchar_t* name : {L"a/b", L"..", L"a\\b"}) {
    Save(name);
    EXPECT_EQ(Information(), kSaveFailed) << name;
  }
  EXPECT_FALSE(std::filesystem::exists("save/a"));
  Open(editor->menus.save);
  Write(editor->menus.save, kSaveName, nullptr);  // emptied: OK is greyed and does nothing
  EXPECT_FALSE(Enabled(editor->menus.save, 0));
  Command(kEventSaveOk);
  EXPECT_EQ(TopId(), kMenuSave);
  Write(editor->menus.save, kSaveName, L"b");
  EXPECT_TRUE(Enabled(editor->menus.save, 0));
  WriteFile("t15outside", "[working environment]=ffp\r\n[heightmap type]=perlin\r\n");
  Command(kEventLoadClick);  // the list is filled each time the dialog opens
  EXPECT_TRUE(Listed(L"t15outside"));
}

TEST_F(SaveLoadTest, StateRoundTripsFromMenusToFileToMenus) {
  StartWith(ENGINE_SM2);
  cMenu* heightmap = editor->menus.heightmap;
  Write(heightmap, kAmplitude, L"2.5");
  Write(heightmap, kWindX, L"-3.25");
  Write(heightmap, kNormalization, L"7");
  Check(heightmap, kFixedNormalization, true);
  cMenu* engine = editor->menus.sm2Engine;
  Write(engine, kReflectionColorR, L"12");
  Write(engine, kRefractionFillB, L"201");
  Write(engine, kGlobalTransparency, L"0.25");
  for (auto [box, event] : {std::pair{kEnableReflection, kEventReflection}, {kEnableFoam, kEventFoam},
                            {kEnableSunlight, kEventSunlight}, {kEnableDepth, kEventDepthEffects},
                            {kEnableExtrusion, kEventExtrusion}})
    Tick(engine, box, event);
  Write(engine, kSunColorG, L"17");
  Write(engine, kReflectionResolution, L"256");
  CreateAll(1, 3);
  driver->Frames(3);
  const auto before = MenuValues();
  SaveAndLoadAfresh(L"t15trip");
  EXPECT_EQ(editor->waterScene.reflectionTarget.GetSize(), 256);
  const auto after = MenuValues();
  for (const auto& [key, value] : before)
    EXPECT_NEAR(after.at(key), value, 1e-3f * std::max(1.0f, std::abs(value)))
        << "menu " << key.first << " control " << key.second;
  EXPECT_EQ(BoxText(engine, kReflectionColorR), L"12");  // colours exact, not truncated
  EXPECT_EQ(BoxText(engine, kRefractionFillB), L"201");
  driver->Frames(2);
}

// Values handed over every frame may leave the create buttons' bounds while the
// water runs (a negative speed plays it backwards); such a state loads whole.
TEST_F(SaveLoadTest, AStateRunningWithLiveValuesOutOfCreateBoundsLoadsWhole) {
  StartWith(ENGINE_SM2);
  cMenu* engine = editor->menus.sm2Engine;
  Tick(engine, kEnableFoam, kEventFoam);
  CreateAll(1, 2);
  Write(editor->menus.heightmap, kSimulationSpeed, L"-0.5");
  Write(engine, kFoamTiling, L"0");
  Write(engine, kReflectionColorR, L"300");
  driver->Frames(2);
  SaveAndLoadAfresh(L"t15live");
  EXPECT_EQ(BoxText(editor->menus.heightmap, kSimulationSpeed), L"-0.500");
  driver->Frames(2);
  Open(editor->menus.heightmap);
  driver->Frames(1);
  EXPECT_FALSE(ButtonEnabled(editor->menus.heightmap, kCreateFFTButton));  // creating anew still asks for the bounds
}

// A file that is not a save file, or holds a component that cannot be made, is
// refused whole; the reason for a component follows the message (see the golden
// file) and wraps inside the box, above its OK button.
TEST_F(SaveLoadTest, RefusedOrFailedLoadChangesNothingAndEveryReasonFitsTheBox) {
  profile.modes = {{800, 600, 60, D3DFMT_X8R8G8B8}};  // the narrowest box
  StartWith(ENGINE_SM2);
  ASSERT_TRUE(editor->ChangeDisplayMode(profile.modes[0]));
  CreateAll(1, 1);
  Write(editor->menus.sm2Engine, kReflectionStrength, L"0.5");
  Save(L"t15whole");
  ASSERT_EQ(Information(), kSaved);
  ExpectInformationFits();
  const std::string whole = ReadBytes("save/t15whole.txt");
  WriteFile("t15other", "[working environment]=sm1\r\n[heightmap type]=perlin\r\n");
  WriteFile("t15engine", "[working environment]=sm2\r\n[engine type]=sm3\r\n[heightmap type]=perlin\r\n");
  WriteFile("t15empty", "");
  std::mt19937 random(21);
  std::string bytes(4096, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  WriteFile("t15random", bytes);
  WriteFile("t15size", whole + "[heightmap resolution]=100000\r\n");
  WriteFile("t15tess", whole + "[simple grid tesselation .x]=100000\r\n");
  WriteFile("t15pass", whole + "[enable reflection]=1\r\n[reflection resolution]=131072\r\n");
  WriteFile("t15round", whole + "[simple grid size .x]=0.0004\r\n");  // the menu shows 0.000
  const cWaterScene& scene = editor->waterScene;
  const cWaterScene::Header header = scene.GetHeader();
  const cEngineSettings settings = scene.settings;
  const auto components = std::array<const void*, 4>{scene.heightmap, scene.normalmap, scene.geometry, scene.engine};
  const auto values = MenuValues();
  std::wstring shown;
  const char* const files[] = {"t15other", "t15engine", "t15none",  "t15empty", "t15random",
                               "t15size",  "t15tess",   "t15pass", "t15round"};
  for (const char* file : files) {
    SCOPED_TRACE(file);
    Load(file);
    shown += std::wstring(file, file + std::strlen(file)) + L": " + Information() + L"\n";
    EXPECT_EQ(TopId(), kMenuInfo);
    EXPECT_EQ(std::memcmp(&scene.settings, &settings, sizeof settings), 0);
    EXPECT_EQ(scene.GetHeader().workingEnvironment, header.workingEnvironment);
    EXPECT_EQ(scene.GetHeader().currentHeightmapType, header.currentHeightmapType);
    EXPECT_EQ((std::array<const void*, 4>{scene.heightmap, scene.normalmap, scene.geometry, scene.engine}), components);
    EXPECT_EQ(MenuValues(), values);
  }
  ExpectGolden("refused-loads.txt", shown);
  for (const char* file : files) {  // with frames, which move the automatic normalization shown
    Load(file);
    ExpectInformationFits();
  }
  Open(editor->menus.load);  // nothing picked: nothing happens
  FindCombobox(editor->menus.load, kLoadList)->Reset();
  Command(kEventLoadOk);
  EXPECT_EQ(TopId(), kMenuLoad);
}

// Every whole number of a saved state at either end of its range, and files of
// random lines (keys mixed with garbage), load or are refused without
// overflowing on the way or crashing (the sanitizer build checks).
TEST_F(SaveLoadTest, ExtremeOrFuzzedFilesLoadOrAreRefusedWithoutOverflow) {
  StartWith(ENGINE_SM2);
  CreateAll(1, 1);
  Save(L"t20base");
  const std::string saved = ReadBytes("save/t20base.txt");
  ASSERT_NE(saved.find("[fd normalmap generation method]"), std::string::npos);
  const auto keys = EngineSettingKeys();
  std::vector<std::string> files;
  for (const SettingKey& key : keys) {
    if (key.kind != SettingKind::Int) continue;
    for (const char* extreme : {"2147483647", "-2147483648"})
      files.push_back(saved + "[" + key.key + "]=" + extreme + "\r\n");
  }
  std::mt19937 random(15);
  const char* values[] = {"fft", "perlin", "fdraw", "fdtex", "simple", "radial", "geomipmap", "sm2", "sm3", "0",
                          "-1", "1e30", "-1e30", "nan", "inf", "3", "512", "65536", "2147483647", "0.001", ""};
  for (int fuzzed = 0; fuzzed < 60; ++fuzzed) {
    std::string text = "[working environment]=sm2\r\n";
    for (int line = 0; line < 40; ++line) {
      const auto& key = keys[random() % keys.size()];
      text += std::string("[") + key.key + "]=" + values[random() % std::size(values)] + "\r\n";
      if (random() % 8 == 0) text += std::string(random() % 300, static_cast<char>('!' + random() % 90)) + "\n";
    }
    files.push_back(text);
  }
  for (const std::string& text : files) {
    SCOPED_TRACE(text.substr(text.size() > 200 ? text.size() - 200 : 0));
    WriteFile("t20extreme", text);
    Load("t20extreme");
    const std::wstring shown = Information();
    EXPECT_TRUE(shown.rfind(kLoaded, 0) == 0 || shown.rfind(kLoadFailed, 0) == 0 || shown.rfind(kOtherEngine, 0) == 0);
    driver->Frames(1);
    cGUIManager::Instance()->PopMenu();
  }
}

// Installed, saves go to the user's folder and the load list reads it; with no
// folder for them a save fails and writes nothing anywhere.
TEST_F(SaveLoadTest, InstalledRunKeepsSavesInTheUserFolder) {
  ScratchFolder home;
  AppPaths installed;
  installed.installed = true;
  installed.saveFolder = home.Path() / "save";
  UseAppPaths(installed);
  StartWith(ENGINE_FFP);
  CreatePerlinHeightmap();
  Save(L"mine");
  EXPECT_EQ(Information(), kSaved);
  EXPECT_TRUE(std::filesystem::exists(home.Path() / "save/mine.txt"));
  EXPECT_FALSE(std::filesystem::exists("save/mine.txt"));
  EXPECT_TRUE(Listed(L"mine")) << "the load list reads the user's folder";
  Load("mine");
  EXPECT_EQ(Information(), kLoaded);
  installed.saveFolder.clear();
  UseAppPaths(installed);
  Save(L"nowhere");
  EXPECT_EQ(Information(), kSaveFailed);
  EXPECT_FALSE(std::filesystem::exists("nowhere.txt"));
  UseAppPaths(AppPaths{});
}

// Every shipped example (copied into a user's first save folder) loads whole
// into the engine it was made for.
TEST_F(SaveLoadTest, ShippedExamplesLoadWhole) {
  const std::map<std::string, int> engines{{"ffp", ENGINE_FFP}, {"sm1", ENGINE_SM1}, {"sm2", ENGINE_SM2},
                                           {"sm3", ENGINE_SM3}};
  AppPaths examples;
  examples.saveFolder = "data/states";
  std::set<int> covered;
  for (const auto& entry : std::filesystem::directory_iterator("data/states")) {
    SCOPED_TRACE(entry.path());
    const std::string text = ReadBytes(entry.path());
    const size_t at = text.find("[working environment]=");
    const auto engine = engines.find(at == std::string::npos ? "" : text.substr(at + 22, 3));
    ASSERT_NE(engine, engines.end());
    UseAppPaths(examples);
    StartWith(engine->second);
    Load(entry.path().stem().string());
    EXPECT_EQ(Information(), kLoaded);
    const cWaterScene& scene = editor->waterScene;
    EXPECT_TRUE(scene.heightmap && scene.normalmap && scene.geometry && scene.engine);
    driver->Frames(2);
    UseAppPaths(AppPaths{});
    covered.insert(engine->second);
    Shutdown();
  }
  EXPECT_EQ(covered.size(), engines.size()) << "one example per engine type";
}

// F12 on a backend without pixels: the info line says why nothing was saved.
TEST_F(SaveLoadTest, ScreenshotThatCannotBeTakenIsReported) {
  StartWith(ENGINE_SM2);
  WndProc(window, WM_KEYUP, VK_F12, 0);
  EXPECT_TRUE(editor->screenshotRequested);
  EXPECT_TRUE(editor->keyEvents.empty());
  platform::Recorded().Clear();
  driver->Frames(2);
  EXPECT_FALSE(editor->screenshotRequested);
  EXPECT_TRUE(Drawn(L"Screenshot not saved: the frame cannot be read back"));
}

}  // namespace
