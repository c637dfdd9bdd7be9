// The editor's screens on the OpenGL backend in the desktop's mode: the
// selection screen with an engine the card cannot run, and the toolbar with each
// menu open. The pictures go to the test artifacts for people to look at (run
// under a 1024 x 768 screen for the pictures in docs/screenshots).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/WinMain.h"
#include "editor/Process.h"
#include "editor/cEditor.h"
#include "editor/MenuValues.h"
#include "gui/cGUIManager.h"
#include "platform/Platform.h"

namespace {

class EditorScreensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(platform::UseGLBackend(&error)) << error;  // a test that cannot look must fail
    window = CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOW);
    ASSERT_NE(window, nullptr);
    editor = cEditor::Instance();
    ASSERT_EQ(editor->Init(window), S_OK);
  }
  void TearDown() override { Shutdown(); }

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
    std::filesystem::create_directories(TEST_ARTIFACT_DIR);
    const std::string path = std::string(TEST_ARTIFACT_DIR) + "/" + name + ".png";
    EXPECT_TRUE(platform::SavePng(path.c_str(), pixels, width, height)) << path;
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
  delete editor->selectionMenu;
  editor->selectionMenu = nullptr;
  editor->sm3Supported = false;
  editor->BuildSelectionMenu();
  cGUIManager::Instance()->PushMenu(editor->selectionMenu, false);
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
  FindCombobox(editor->heightmapMenu, 125)->Select(2);
  Open(editor->heightmapMenu, {51, 52}, "menu-heightmap");
  FindCombobox(editor->normalmapMenu, 162)->AddItem(L"CPU Finite Diferencing");
  FindCombobox(editor->normalmapMenu, 162)->Select(1);
  Open(editor->normalmapMenu, {55, 59, 54}, "menu-normalmap");
  FindCombobox(editor->geometryMenu, 182)->Select(2);
  Open(editor->geometryMenu, {63, 65}, "menu-geometry");
  Open(editor->sm2EngineMenu, {67, 68, 69, 72}, "menu-engine-sm2");
  Open(editor->sm2EngineMenu, {73, 74}, "menu-engine-sm2-all-panels");
  Open(editor->settingsMenu, {}, "menu-settings");
  Open(editor->saveMenu, {}, "dialog-save");
  Open(editor->loadMenu, {}, "dialog-load");
  Open(editor->newStateMenu, {}, "dialog-new");
  Open(editor->exitMenu, {}, "dialog-exit");
  Open(editor->infoMenu, {}, "dialog-info");
  editor->toolbarMenu->SetGroupVisible(75, true);
  cCombobox* model = FindCombobox(editor->heightmapMenu, 125);
  cGUIManager::Instance()->PushMenu(editor->heightmapMenu, false);
  model->OnClick(-0.725f + 7 * 0.25f / 8 + 0.01f, 0.438f - 0.01f);  // opens the list
  Settle();
  Shot("menu-heightmap-list-open");
}

}  // namespace
