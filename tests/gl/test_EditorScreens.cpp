// The editor's screens on the OpenGL backend in the desktop's mode: the
// selection screen with an engine the card cannot run, and the toolbar with each
// menu open. The pictures go to the test artifacts for people to look at (run
// under a 1024 x 768 screen for the pictures in docs/screenshots).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "GLTest.h"
#include "app/WinMain.h"
#include "editor/Process.h"
#include "editor/cEditor.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "gui/cGUIManager.h"
#include "platform/Platform.h"

namespace {

class EditorScreensTest : public gltest::GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    if (NotStarted()) return;
    window = CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW);
    ASSERT_NE(window, nullptr);
    editor = cEditor::Instance();
    ASSERT_EQ(editor->Init(window), S_OK);
  }
  void TearDown() override {
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

  void Shot(const std::string& name) {
    ASSERT_TRUE(platform::ReadBackBuffer(editor->device, pixels, width, height));
    ASSERT_EQ(width, editor->displayMode.Width);
    gltest::SaveArtifact(name + ".png", pixels, width, height);
  }

  // The pixel under a GUI point, as 0xRRGGBB.
  unsigned PixelAt(float gx, float gy) const {
    const UINT x = static_cast<UINT>((gx * editor->projection._11 + 1.0f) * 0.5f * width);
    const UINT y = static_cast<UINT>((1.0f - gy * editor->projection._22) * 0.5f * height);
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
    return p[2] << 16 | p[1] << 8 | p[0];
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
  std::vector<uint8_t> pixels;
  UINT width = 0, height = 0;
};

TEST_F(EditorScreensTest, SelectionScreenDimsAnEngineTheCardCannotRun) {
  cGUIManager::Instance()->ClearMenus();
  delete editor->menus.selection;
  editor->menus.selection = nullptr;
  editor->supported.sm3 = false;
  editor->BuildSelectionMenu();
  cGUIManager::Instance()->PushMenu(editor->menus.selection, false);
  Settle();
  Shot("selection-screen");
  // The engine buttons are drawn, the shader model 3 one darker than its neighbour.
  const unsigned sm2 = PixelAt(-0.6f, -0.01f), sm3 = PixelAt(-0.6f, -0.21f);
  EXPECT_NE(sm2, 0u);
  EXPECT_NE(sm3, 0u);
  EXPECT_NE(sm2, sm3);
}

TEST_F(EditorScreensTest, ToolbarWithEachMenuOpen) {
  editor->OnGUIEvent(1003, nullptr);  // shader model 2
  Settle();
  Shot("toolbar");
  EXPECT_NE(PixelAt(-0.68f, -0.5f), 0u);  // the new button
  FindCombobox(editor->menus.heightmap, 125)->Select(2);
  Open(editor->menus.heightmap, {51, 52}, "menu-heightmap");
  FindCombobox(editor->menus.normalmap, 162)->AddItem(L"CPU Finite Diferencing");
  FindCombobox(editor->menus.normalmap, 162)->Select(1);
  Open(editor->menus.normalmap, {55, 59, 54}, "menu-normalmap");
  FindCombobox(editor->menus.geometry, 182)->Select(2);
  Open(editor->menus.geometry, {63, 65}, "menu-geometry");
  Open(editor->menus.sm2Engine, {67, 68, 69, 72}, "menu-engine-sm2");
  Open(editor->menus.sm2Engine, {73, 74}, "menu-engine-sm2-all-panels");
  Open(editor->menus.settings, {}, "menu-settings");
  Open(editor->menus.save, {}, "dialog-save");
  Open(editor->menus.load, {}, "dialog-load");
  Open(editor->menus.newState, {}, "dialog-new");
  Open(editor->menus.exit, {}, "dialog-exit");
  Open(editor->menus.info, {}, "dialog-info");
  editor->menus.toolbar->SetGroupVisible(75, true);
  cCombobox* model = FindCombobox(editor->menus.heightmap, 125);
  cGUIManager::Instance()->PushMenu(editor->menus.heightmap, false);
  model->OnClick(-0.725f + 7 * 0.25f / 8 + 0.01f, 0.438f - 0.01f);  // opens the list
  Settle();
  Shot("menu-heightmap-list-open");
}

// The create buttons and dialogs a user met wrongly: the shader model 2 engine
// menu with every panel, a disabled create button, the save dialog without a
// name, and the information box with a long text.
TEST_F(EditorScreensTest, CreateButtonsDialogsAndTheInformationBox) {
  using namespace EditorId;
  editor->OnGUIEvent(kEventChooseSM2, nullptr);
  cMenu* engine = editor->menus.sm2Engine;
  for (auto [box, event] : {std::pair{kEnableReflection, kEventReflection}, {kEnableRefraction, kEventRefraction},
                            {kEnableExtrusion, kEventExtrusion}, {kEnableFoam, kEventFoam},
                            {kEnableSunlight, kEventSunlight}, {kEnableDepth, kEventDepthEffects}}) {
    FindCheckbox(engine, box)->SetChecked(1);
    editor->OnGUIEvent(event, nullptr);
  }
  Open(engine, {}, "menu-engine-sm2-depth-create");
  cMenu* heightmap = editor->menus.heightmap;
  FindCombobox(heightmap, kHeightmapResolutionList)->Select(3);
  FindCombobox(heightmap, kHeightmapModelList)->Select(2);
  FindEditbox(heightmap, kAmplitude)->SetText(L"-1");
  Open(heightmap, {kGroupFFT, kGroupHeightmapCommon}, "menu-heightmap-create-disabled");
  FindEditbox(editor->menus.save, kSaveName)->SetText(nullptr);
  Open(editor->menus.save, {}, "dialog-save-empty-name");

  std::filesystem::create_directories("save");
  const char* file = "save/screens-long-info.txt";
  std::FILE* out = std::fopen(file, "wb");
  ASSERT_NE(out, nullptr);
  std::fputs("[working environment]=sm2\r\n[heightmap type]=perlin\r\n[heightmap resolution]=64\r\n"
             "[perlin octave count]=4\r\n[perlin heightmap persistence]=-2\r\n[normalmap type]=fdraw\r\n"
             "[engine type]=sm2\r\n[engine full reflection distance]=100\r\n",
             out);
  std::fclose(out);
  // The desktop's mode: run under an 800 x 600 and a 1024 x 768 screen for both pictures.
  cCombobox* list = FindCombobox(editor->menus.load, kLoadList);
  list->AddItem(L"screens-long-info");
  list->SelectByText(L"screens-long-info");
  cGUIManager::Instance()->PushMenu(editor->menus.load, false);
  editor->OnGUIEvent(kEventLoadOk, nullptr);
  Settle();
  const D3DDISPLAYMODE& mode = editor->displayMode;
  Shot("dialog-info-long-" + std::to_string(mode.Width) + "x" + std::to_string(mode.Height));
  std::filesystem::remove(file);
}

}  // namespace
