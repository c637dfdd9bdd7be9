#include <gtest/gtest.h>

#include <vector>

#include "gui/GUIKey.h"
#include "app/WinMain.h"
#include "editor/Process.h"
#include "editor/cEditor.h"
#include "platform/Platform.h"

namespace {

using Keys = std::vector<unsigned>;

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::UseHeadlessBackend(); }
  void TearDown() override { Shutdown(); }

  void Send(UINT message, WPARAM key = 0) { EXPECT_EQ(WndProc(nullptr, message, key, 0), 0); }
  const Keys& keys() { return cEditor::Instance()->keyEvents; }
  char typed() { return cEditor::Instance()->typedCharacter; }
};

TEST_F(WindowProcTest, ReleasedKeysGiveTheirCodesOnceAndOtherKeysNothing) {
  Send(WM_KEYUP, '5');
  Send(WM_KEYUP, '5');
  EXPECT_EQ(keys(), Keys{8});
  for (WPARAM key : {VK_ESCAPE, VK_BACK, WPARAM{'0'}, WPARAM{'9'}, VK_OEM_PERIOD, VK_TAB, VK_SUBTRACT, VK_OEM_MINUS})
    Send(WM_KEYUP, key);
  EXPECT_EQ(keys(), (Keys{8, 1, 2, 3, 12, 13, 101, 109}));
  for (WPARAM key : {WPARAM{'A'}, WPARAM{'5'}}) Send(WM_KEYDOWN, key);
  for (WPARAM key : {VK_RETURN, VK_SPACE}) Send(WM_KEYUP, key);
  EXPECT_EQ(keys().size(), 8u);
  EXPECT_EQ(typed(), 0);
}

TEST_F(WindowProcTest, WAndSStayHeldUntilReleasedAndTheLaterLetterWins) {
  for (WPARAM key : {'W', 'W', 'S', 'W'}) Send(WM_KEYDOWN, key);  // with key repeat
  EXPECT_EQ(keys(), (Keys{38, 40}));
  Send(WM_KEYUP, 'W');
  EXPECT_EQ(keys(), Keys{40});
  EXPECT_EQ(typed(), 'w');
  Send(WM_KEYUP, 'S');
  EXPECT_TRUE(keys().empty());
  EXPECT_EQ(typed(), 's');
  Send(WM_KEYUP, 'A');
  Send(WM_KEYUP, 'Z');
  EXPECT_EQ(typed(), 'z');
  EXPECT_TRUE(keys().empty());
}

TEST_F(WindowProcTest, AClickWithinAFrameLeavesOnlyTheRelease) {
  Send(WM_LBUTTONDOWN);
  Send(WM_LBUTTONDOWN);
  EXPECT_EQ(keys(), Keys{GUIKEY_PRESS});
  Send(WM_LBUTTONUP);
  EXPECT_EQ(keys(), Keys{GUIKEY_CLICK});
  Send(WM_LBUTTONDOWN);
  EXPECT_EQ(keys(), (Keys{GUIKEY_CLICK, GUIKEY_PRESS}));
}

TEST_F(WindowProcTest, DestroyingTheWindowPostsQuit) {
  Send(WM_DESTROY);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 0u);
}

}  // namespace
