#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

#include "EditorMenuTest.h"
#include "editor/MenuValues.h"

namespace {

constexpr const wchar_t* kStandardHint = L"To enter FLY MODE press TAB";
constexpr const wchar_t* kFlyHint =
    L"FLY MODE engaged. Use mouse to rotate and W/A/S/D to move. Press 'TAB' to return to standard mode.";

class EditorInputTest : public EditorMenuTest {
 protected:
  void SetUp() override {
    events.clear();
    Start();
  }

  void Post(UINT message, WPARAM key = 0) { PostMessageA(window, message, key, 0); }
  // What the main loop does: drain the queue, then run one frame.
  void RunFrame() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    ASSERT_EQ(editor->Frame(), S_OK);
  }

  // A menu with one button over the whole screen that records what reaches it.
  void PushRecordingMenu() {
    recorder.Add(new cButton(1, 5000, 5001, nullptr, nullptr, nullptr, D3DXVECTOR2(-2, 2), 4, 4));
    cGUIManager::Instance()->PushMenu(&recorder, false);
  }

  static inline std::vector<int> events;
  static void Record(int eventId, iGUIComponent*) {
    if (eventId >= 5000) events.push_back(eventId);
  }
  cMenu recorder{999, Record};
};

TEST_F(EditorInputTest, KeysReachTheGUIInTheirFixedOrderAfterTheTypedLetter) {
  Choose(1003);
  cGUIManager::Instance()->PushMenu(editor->menus.save, false);
  cEditbox* name = FindEditbox(editor->menus.save, 301);
  name->Focus();
  // Arrival order: Backspace, point, 0, 2, then the letter a.
  for (WPARAM key : {WPARAM{VK_BACK}, WPARAM{VK_OEM_PERIOD}, WPARAM{'0'}, WPARAM{'2'}, WPARAM{'A'}})
    Post(WM_KEYUP, key);
  RunFrame();
  // The letter first, then 2 before 0, then the point, Backspace last.
  EXPECT_STREQ(name->GetText(), L"MyEnginea20");
  EXPECT_TRUE(editor->keyEvents.empty());
  EXPECT_EQ(editor->typedCharacter, 0);
  Post(WM_KEYUP, '7');
  Post(WM_KEYUP, VK_ESCAPE);
  RunFrame();  // Escape comes first and ends the focus before 7 arrives
  EXPECT_STREQ(name->GetText(), L"MyEnginea20");
}

TEST_F(EditorInputTest, HeldWAndSMoveByThePreviousFramesTime) {
  Choose(1003);
  RunFrame();
  Post(WM_KEYDOWN, 'W');
  platform::headless::AdvanceClock(2.0);
  RunFrame();  // moves by the previous frame's time, 0
  EXPECT_FLOAT_EQ(editor->camera->position.z, 100.0f);
  RunFrame();
  EXPECT_FLOAT_EQ(editor->camera->position.z, 300.0f);
  EXPECT_EQ(editor->keyEvents, std::vector<unsigned>{38});
  Post(WM_KEYDOWN, 'S');
  platform::headless::AdvanceClock(0.5);
  RunFrame();
  RunFrame();  // W and S together cancel out
  EXPECT_FLOAT_EQ(editor->camera->position.z, 300.0f);
  Post(WM_KEYUP, 'W');
  platform::headless::AdvanceClock(0.25);
  RunFrame();
  RunFrame();
  EXPECT_FLOAT_EQ(editor->camera->position.z, 275.0f);
}

TEST_F(EditorInputTest, TabTogglesFlyModeOnlyOverAnEditorMenu) {
  Post(WM_KEYUP, VK_TAB);
  RunFrame();  // the selection screen is on top
  EXPECT_FALSE(editor->flyMode);
  cGUIManager::Instance()->ClearMenus();
  Post(WM_KEYUP, VK_TAB);
  RunFrame();  // no menu at all
  EXPECT_FALSE(editor->flyMode);
  EXPECT_TRUE(editor->keyEvents.empty());
  PushRecordingMenu();
  Post(WM_KEYUP, VK_TAB);
  RunFrame();
  EXPECT_TRUE(editor->flyMode);
  Post(WM_KEYUP, VK_TAB);
  RunFrame();
  EXPECT_FALSE(editor->flyMode);
}

TEST_F(EditorInputTest, FlyModeSwallowsClicksKeepsThePressAndSendsNoHover) {
  cGUIManager::Instance()->ClearMenus();
  PushRecordingMenu();
  RunFrame();
  EXPECT_EQ(events, std::vector<int>{5001});  // hover
  Post(WM_KEYUP, VK_TAB);
  RunFrame();
  ASSERT_TRUE(editor->flyMode);
  events.clear();
  Post(WM_LBUTTONDOWN);
  RunFrame();
  EXPECT_EQ(editor->keyEvents, std::vector<unsigned>{513});
  Post(WM_LBUTTONUP);
  RunFrame();
  EXPECT_TRUE(editor->keyEvents.empty());
  EXPECT_TRUE(events.empty());
  Post(WM_KEYUP, VK_TAB);
  Post(WM_LBUTTONDOWN);
  Post(WM_LBUTTONUP);
  RunFrame();
  EXPECT_EQ(events, std::vector<int>{5000});
}

TEST_F(EditorInputTest, FlyModeTurnsTheCameraAndPutsTheCursorBack) {
  cGUIManager::Instance()->ClearMenus();
  PushRecordingMenu();
  SetCursorPos(512, 384);
  Post(WM_KEYUP, VK_TAB);
  RunFrame();
  EXPECT_FLOAT_EQ(editor->camera->yaw, 0.0f);
  SetCursorPos(512 + 100, 384);
  RunFrame();
  EXPECT_NEAR(editor->camera->yaw, 10.0f * 3.14159265f / 180.0f, 1e-5f);
  POINT cursor{};
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, 512);
  EXPECT_EQ(cursor.y, 384);
  D3DMATRIX view{};
  editor->device->GetTransform(D3DTS_VIEW, &view);
  EXPECT_EQ(std::memcmp(&view, editor->camera->GetView(), sizeof(view)), 0);
}

TEST_F(EditorInputTest, TheHintFollowsTheModeOneFrameLater) {
  RunFrame();
  EXPECT_STREQ(editor->infoLine.GetText(), L" ");
  Choose(1003);
  RunFrame();
  EXPECT_STREQ(editor->infoLine.GetText(), kStandardHint);
  EXPECT_FALSE(editor->infoLine.IsVisible());
  Post(WM_KEYUP, VK_TAB);
  RunFrame();
  EXPECT_STREQ(editor->infoLine.GetText(), kFlyHint);
  editor->infoLine.SetVisible(true);  // what the validation does each frame
  platform::Recorded().texts.clear();
  RunFrame();
  bool drawn = false;
  for (const platform::TextRecord& text : platform::Recorded().texts) drawn = drawn || text.text == kFlyHint;
  EXPECT_TRUE(drawn);
}

// GUI coordinates worked out from the field of view: the screen spans
// tan(30 degrees) up and down and that times the aspect left and right.
TEST_F(EditorInputTest, TheCursorMapsToGUICoordinatesInEveryMode) {
  Shutdown();
  profile.modes = {{800, 600, 60, D3DFMT_X8R8G8B8}, {1024, 768, 60, D3DFMT_X8R8G8B8}, {1280, 720, 60, D3DFMT_X8R8G8B8}};
  Start();
  const float t = std::tan(30.0f * 3.14159265f / 180.0f);
  for (D3DDISPLAYMODE mode : {D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8}, D3DDISPLAYMODE{800, 600, 60, D3DFMT_X8R8G8B8},
                              D3DDISPLAYMODE{1280, 720, 60, D3DFMT_X8R8G8B8}}) {
    ASSERT_TRUE(editor->ChangeDisplayMode(mode));
    ASSERT_EQ(editor->displayMode.Width, mode.Width);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), static_cast<int>(mode.Width));
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), static_cast<int>(mode.Height));
    const float w = static_cast<float>(mode.Width), h = static_cast<float>(mode.Height);
    const POINT pixels[] = {{0, 0}, {static_cast<LONG>(mode.Width), static_cast<LONG>(mode.Height)},
                            {static_cast<LONG>(mode.Width / 2), static_cast<LONG>(mode.Height / 2)}, {10, 500}};
    for (POINT p : pixels) {
      const D3DXVECTOR2 gui = editor->CursorToGUI(p);
      EXPECT_NEAR(gui.x, (2 * p.x / w - 1) * t * w / h, 1e-5f);
      EXPECT_NEAR(gui.y, -(2 * p.y / h - 1) * t, 1e-5f);
    }
  }
}

// The trace goes to a private file here: tests running at the same time share "blur.txt".
TEST_F(EditorInputTest, EachFrameWritesOneTraceLine) {
  ASSERT_NE(gTraceFile, nullptr);
  CloseTraceFile();
  gTraceFile = std::tmpfile();
  SetCursorPos(0, 768);
  RunFrame();
  SetCursorPos(512, 0);
  RunFrame();
  std::rewind(gTraceFile);
  char text[512] = {};
  const size_t length = std::fread(text, 1, sizeof(text) - 1, gTraceFile);
  EXPECT_EQ(std::string(text, length),
            "screen:x:0.000000 y:768.000000, camera:x:-0.769800 y:-0.577350\n"
            "screen:x:512.000000 y:0.000000, camera:x:0.000000 y:0.577350\n");
}

TEST_F(EditorInputTest, FramesRunWithoutATraceFileOrOnAFullDisk) {
  CloseTraceFile();
  RunFrame();
  gTraceFile = std::fopen("/dev/full", "w");
  ASSERT_NE(gTraceFile, nullptr);
  for (int i = 0; i < 200; ++i) RunFrame();  // several buffers' worth of failed writes
}

}  // namespace
