// The editor on the OpenGL backend in the desktop's mode, its pictures saved to the test artifacts (run under a 1024 x
// 768 screen for the ones in docs/screenshots).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../editor/EditorScript.h"
#include "GLTest.h"
#include "app/WinMain.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "editor/Process.h"
#include "editor/cEditor.h"
#include "editor/cMenuBuilder.h"
#include "gui/cCheckbox.h"
#include "gui/cCombobox.h"
#include "gui/cGUIManager.h"

namespace {

using gltest::Picture;
using gltest::Rgb;

// Every 2x2 block averaged: a screenshot small enough to keep in the repository.
Picture Half(const Picture& full) {
  Picture half;
  half.width = full.width / 2;
  half.height = full.height / 2;
  half.bgra.resize(static_cast<size_t>(half.width) * half.height * 4);
  const size_t row = static_cast<size_t>(full.width) * 4;
  for (size_t i = 0; i < half.bgra.size(); ++i) {
    const size_t x = i / 4 % half.width, y = i / 4 / half.width, at = 2 * y * row + 8 * x + i % 4;
    half.bgra[i] =
        static_cast<uint8_t>((full.bgra[at] + full.bgra[at + 4] + full.bgra[at + row] + full.bgra[at + row + 4]) / 4);
  }
  return half;
}

// The mean difference per colour channel over rows top to bottom.
double MeanDifference(const Picture& a, const Picture& b, UINT top, UINT bottom) {
  double sum = 0.0;
  for (size_t i = static_cast<size_t>(top) * a.width * 4; i < static_cast<size_t>(bottom) * a.width * 4; ++i)
    sum += std::abs(a.bgra[i] - b.bgra[i]);
  return sum / (static_cast<double>(bottom - top) * a.width * 4);
}

// How many distinct colours (in steps of 16) a region holds: a flat or empty region has one or two.
int Variety(const Picture& picture, UINT left, UINT top, UINT right, UINT bottom) {
  std::vector<bool> seen(4096, false);
  return picture.Count(left, top, right, bottom, [&](Rgb c) {
    const int key = (c.r >> 4) << 8 | (c.g >> 4) << 4 | c.b >> 4;
    const bool first = !seen[key];
    seen[key] = true;
    return first;
  });
}

bool White(Rgb c) { return c.r > 200 && c.g > 200 && c.b > 200; }
bool Blue(Rgb c) { return c.b > 150 && c.r < 90 && c.g < 90; }
bool Green(Rgb c) { return c.g > 150 && c.r < 90 && c.b < 90; }
bool Black(Rgb c) { return c.Sum() == 0; }
void Ignore(int, iGUIComponent*) {}

class EditorGL : public gltest::GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    if (NotStarted()) return;
    window = CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW);
    ASSERT_NE(window, nullptr);
    editor = cEditor::Instance();
    ASSERT_EQ(editor->Init(window), S_OK);
    driver = std::make_unique<EditorDriver>(editor, window, false);
  }
  void TearDown() override {
    driver.reset();
    if (editor) Shutdown();
    GLTest::TearDown();
  }
  // Frames for long enough that every fade has finished.
  void Settle() {
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(700)) {
      MSG msg{};
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      ASSERT_EQ(editor->Frame(), S_OK);
    }
  }
  // The frame, saved as `name`.png, halved when `half`.
  Picture Shot(const std::string& name, bool half = false) {
    Picture shot;
    EXPECT_TRUE(shot.Read(editor->device));
    EXPECT_EQ(shot.width, editor->displayMode.Width);
    (half ? Half(shot) : shot).Save(name + ".png");
    return shot;
  }
  Rgb At(const Picture& shot, float guiX, float guiY) const {
    const POINT p = driver->Pixel(guiX, guiY);
    return shot.At(p.x, p.y);
  }
  // Pixels of a GUI rectangle (top-left corner, width, height) that pass `test`.
  int Count(const Picture& shot, float x, float y, float w, float h, const std::function<bool(Rgb)>& test) const {
    const POINT topLeft = driver->Pixel(x, y), bottomRight = driver->Pixel(x + w, y - h);
    return shot.Count(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y, test);
  }
  void Open(cMenu* menu, std::initializer_list<int> shownGroups, const std::string& name) {
    cGUIManager::Instance()->PushMenu(menu, true);
    for (int group : shownGroups) menu->SetGroupVisible(group, true);
    Settle();
    Shot(name);
    cGUIManager::Instance()->PopMenu();
  }
  HWND window = nullptr;
  cEditor* editor = nullptr;
  std::unique_ptr<EditorDriver> driver;
};

TEST_F(EditorGL, EveryEngineDrawsItsWaterTheMenusShowAndAnEngineTheCardCannotRunIsDimmed) {
  EditorScript script(editor, *driver);
  driver->Frames(3);
  for (int type : {ENGINE_SM2, ENGINE_SM3, ENGINE_SM1, ENGINE_FFP}) {
    const std::string name = gltest::EngineName(type);
    SCOPED_TRACE(name);
    script.ChooseEngine(type);
    script.BuildWater();
    driver->Frames(20);
    const Picture shot = Shot("screenshots/water-" + name, true);
    ASSERT_GT(shot.width, 0u);
    // The water fills the screen below the horizon down to the toolbar: it is lit and reflects the waves, so it is
    // never one flat colour.
    EXPECT_GT(Variety(shot, shot.width / 4, shot.height * 7 / 10, shot.width * 3 / 4, shot.height * 17 / 20), 8);
    if (type == ENGINE_SM2) {
      driver->Click(editor->menus.toolbar, EditorId::kToolbarEngineButton);
      driver->Frames(15);
      Shot("screenshots/menu-engine-sm2", true);
      driver->Click(editor->EngineMenu(), EditorId::kCloseButton);
      // Tab with the cursor left on the close button: the sky above the water, below the frame rate, must not move.
      driver->Frames(3);
      const Picture before = Shot("screenshots/flymode-before", true);
      driver->Key(VK_TAB);
      driver->Frames(3);
      const Picture after = Shot("screenshots/flymode-after", true);
      ASSERT_TRUE(editor->flyMode);
      EXPECT_LT(MeanDifference(before, after, 80, before.height * 2 / 5), 2.0);
      driver->Key(VK_TAB);
    }
    script.NewState();
  }
  driver->Frames(10);
  Shot("screenshots/selection", true);
  // The selection screen dims an engine the card cannot run: buttons are drawn, shader model 3 unlike its neighbour.
  cGUIManager::Instance()->ClearMenus();
  delete editor->menus.selection;
  editor->menus.selection = nullptr;
  editor->supported.sm3 = false;
  editor->BuildSelectionMenu();
  cGUIManager::Instance()->PushMenu(editor->menus.selection, false);
  Settle();
  const Picture selection = Shot("selection-screen");
  const Rgb sm2 = At(selection, -0.6f, -0.01f), sm3 = At(selection, -0.6f, -0.21f);
  EXPECT_GT(sm2.Sum(), 0);
  EXPECT_GT(sm3.Sum(), 0);
  EXPECT_TRUE(sm2.r != sm3.r || sm2.g != sm3.g || sm2.b != sm3.b);
}

// A menu of the editor's controls checked on read-back pixels: sprites, texts and the layer order 0, 56, 57 (an open
// list covers what lies below it).
TEST_F(EditorGL, SpritesTextsAndLayersOfAMenuWithAnOpenCombobox) {
  const cMenuBuilder builder(editor->resourceCache, editor->smallFont);
  const auto sized = [](MenuRow row, float size) {
    row.width = row.height = size;
    return row;
  };
  // Its id makes the editor clear to black behind it, as behind the selection screen.
  cMenu menu(EditorId::kMenuEngineSelection, Ignore);
  builder.AddRows(
      &menu,
      {WindowRow(0, 0, -0.7f, 0.52f, 1.4f, 1.0f, L"data/gui/custom_window1.tga"),
       TextRow(0, 0, 0, -0.64f, 0.49f, 0.5f, L"GUI scene"), sized(CheckboxRow(295, 0, -0.64f, 0.38f, 1053), 0.06f),
       TextRow(0, 0, 0, -0.56f, 0.37f, 0.5f, L"Show Island"), EditboxRow(0, 0, -0.64f, 0.26f, 0.3f, 0.05f, L"12.5", 1),
       ButtonRow(0, 0, -0.64f, -0.3f, 0.16f, 0.08f, L"ok", 1),
       // Layer 0 under the list of the upper combobox.
       EditboxRow(0, 0, 0.08f, 0.1f, 0.3f, 0.05f, L"999", 1),
       // The lower combobox and its label on layer 56, the upper one on 57.
       sized(ComboboxRow(296, 0, 56, 0.05f, 0.22f, 1, {L"Sky set 1", L"Sky set 2", L"Sky set 3"}), 0.4f),
       TextRow(0, 0, 56, 0.06f, 0.27f, 0.5f, L"Select new skybox"),
       sized(ComboboxRow(293, 0, 57, 0.05f, 0.4f, 1, {}), 0.4f),
       TextRow(0, 0, 57, 0.06f, 0.45f, 0.5f, L"Screen resolution")});
  FindCheckbox(&menu, 295)->SetChecked(1);
  FindCombobox(&menu, 296)->Select(2);
  for (int i = 0; i < 10; ++i)
    FindCombobox(&menu, 293)->AddItem((std::to_wstring(640 + 128 * i) + L"x480x60 hz").c_str());
  FindCombobox(&menu, 293)->Select(2);
  cGUIManager::Instance()->ClearMenus();
  cGUIManager::Instance()->PushMenu(&menu, false);
  struct Unpush {
    ~Unpush() { cGUIManager::Instance()->ClearMenus(); }
  } unpush;  // before the menu goes
  // Closed: everything below the list area shows.
  const float s = 0.4f;
  const auto lowerText = [&](const Picture& shot) {
    return Count(shot, 0.05f + s / 16, 0.22f - s / 64, 0.25f, s / 8 - s / 64, Blue);
  };
  const auto coveredBox = [&](const Picture& shot) { return Count(shot, 0.08f, 0.1f, 0.12f, 0.05f, White); };
  Settle();
  const Picture closed = Shot("gui-scene-closed");
  EXPECT_GT(lowerText(closed), 10);
  EXPECT_GT(coveredBox(closed), 10);
  // Open the upper list and rest the cursor on its second row.
  driver->ClickAt(0.05f + 7 * s / 8 + s / 14, 0.4f - s / 14);
  const POINT row = driver->Pixel(0.05f + s / 4, 0.4f - s / 8 - 2 * s / 12 - s / 16);
  SetCursorPos(row.x, row.y);
  Settle();
  const Picture open = Shot("gui-scene");
  // Sprites: the panel is drawn over the cleared screen, the check mark is green.
  EXPECT_EQ(Count(open, -0.68f, -0.35f, 0.04f, 0.04f, Black), 0);
  EXPECT_GT(Count(open, -0.76f, 0.56f, 0.04f, 0.02f, Black), 0);
  EXPECT_GT(
      Count(open, -0.64f, 0.38f, 0.06f, 0.06f, [](Rgb c) { return c.g > 150 && c.g > c.r + 50 && c.g > c.b + 50; }), 5);
  // Texts: the labels, the edit box and the button's image label are drawn.
  EXPECT_GT(Count(open, -0.64f, 0.49f, 0.3f, 0.05f, White), 10);
  EXPECT_GT(Count(open, -0.64f, 0.26f, 0.3f, 0.05f, White), 10);
  EXPECT_GT(Count(open, -0.64f, -0.3f, 0.16f, 0.08f, White), 10);
  // Layers: the open list (57) covers the lower combobox's text (56) and the edit box's (0), its own rows in green.
  EXPECT_EQ(lowerText(open), 0);
  EXPECT_EQ(coveredBox(open), 0);
  EXPECT_GT(Count(open, 0.05f + s / 16, 0.4f - s / 8 - s / 12, 5 * s / 8, 8 * s / 12, Green), 50);
  // The upper combobox's own selection still shows in its panel.
  EXPECT_GT(Count(open, 0.05f + s / 16, 0.4f - s / 64, 0.25f, s / 8 - s / 64, Blue), 10);
}

// The toolbar with each menu and dialog open, then the ones a user met wrongly: the shader model 2 engine menu with
// every panel, a disabled create button, the save dialog without a name, and the information box with a long text.
TEST_F(EditorGL, ToolbarMenusDialogsAndTheInformationBox) {
  using namespace EditorId;
  const cEditor::Menus& m = editor->menus;
  editor->OnGUIEvent(kEventChooseSM2, nullptr);
  Settle();
  EXPECT_GT(At(Shot("toolbar"), -0.68f, -0.5f).Sum(), 0);  // the new button
  FindCombobox(m.heightmap, 125)->Select(2);
  Open(m.heightmap, {51, 52}, "menu-heightmap");
  FindCombobox(m.normalmap, 162)->AddItem(L"CPU Finite Diferencing");
  FindCombobox(m.normalmap, 162)->Select(1);
  Open(m.normalmap, {55, 59, 54}, "menu-normalmap");
  FindCombobox(m.geometry, 182)->Select(2);
  Open(m.geometry, {63, 65}, "menu-geometry");
  Open(m.sm2Engine, {67, 68, 69, 72}, "menu-engine-sm2");
  Open(m.sm2Engine, {73, 74}, "menu-engine-sm2-all-panels");
  for (auto [menu, name] : {std::pair{m.settings, "menu-settings"}, {m.save, "dialog-save"}, {m.load, "dialog-load"},
                            {m.newState, "dialog-new"}, {m.exit, "dialog-exit"}, {m.info, "dialog-info"}})
    Open(menu, {}, name);
  m.toolbar->SetGroupVisible(kGroupLegend, true);
  cGUIManager::Instance()->PushMenu(m.heightmap, false);
  FindCombobox(m.heightmap, 125)->OnClick(-0.725f + 7 * 0.25f / 8 + 0.01f, 0.438f - 0.01f);  // opens
  Settle();
  Shot("menu-heightmap-list-open");
  FindCombobox(m.heightmap, 125)->OnClickAnywhere(2.0f, 2.0f);  // closes the list
  cGUIManager::Instance()->PopMenu();
  m.toolbar->SetGroupVisible(kGroupLegend, false);
  for (auto [box, event] : {std::pair{kEnableReflection, kEventReflection}, {kEnableRefraction, kEventRefraction},
                            {kEnableExtrusion, kEventExtrusion}, {kEnableFoam, kEventFoam},
                            {kEnableSunlight, kEventSunlight}, {kEnableDepth, kEventDepthEffects}}) {
    FindCheckbox(m.sm2Engine, box)->SetChecked(1);
    editor->OnGUIEvent(event, nullptr);
  }
  Open(m.sm2Engine, {}, "menu-engine-sm2-depth-create");
  FindCombobox(m.heightmap, kHeightmapResolutionList)->Select(3);
  FindCombobox(m.heightmap, kHeightmapModelList)->Select(2);
  FindEditbox(m.heightmap, kAmplitude)->SetText(L"-1");
  Open(m.heightmap, {kGroupFFT, kGroupHeightmapCommon}, "menu-heightmap-create-disabled");
  FindEditbox(m.save, kSaveName)->SetText(nullptr);
  Open(m.save, {}, "dialog-save-empty-name");
  std::filesystem::create_directories("save");
  const char* file = "save/screens-long-info.txt";
  std::ofstream(file, std::ios::binary)
      << "[working environment]=sm2\r\n[heightmap type]=perlin\r\n[heightmap resolution]=64\r\n"
         "[perlin octave count]=4\r\n[perlin heightmap persistence]=-2\r\n[normalmap type]=fdraw\r\n"
         "[engine type]=sm2\r\n[engine full reflection distance]=100\r\n";
  // The desktop's mode: run under an 800 x 600 and a 1024 x 768 screen for both pictures.
  FindCombobox(m.load, kLoadList)->AddItem(L"screens-long-info");
  FindCombobox(m.load, kLoadList)->SelectByText(L"screens-long-info");
  cGUIManager::Instance()->PushMenu(m.load, false);
  editor->OnGUIEvent(kEventLoadOk, nullptr);
  Settle();
  const D3DDISPLAYMODE& mode = editor->displayMode;
  Shot("dialog-info-long-" + std::to_string(mode.Width) + "x" + std::to_string(mode.Height));
  std::filesystem::remove(file);
}

}  // namespace
