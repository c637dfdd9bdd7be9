#include <gtest/gtest.h>

#include <vector>

#include "app/GUIKey.h"
#include "app/WinMain.h"
#include "app/cEditor.h"
#include "platform/Platform.h"

namespace {

using Keys = std::vector<unsigned>;

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::UseHeadlessBackend(); }
  void TearDown() override { Shutdown(); }

  void Send(UINT message, WPARAM key = 0) { EXPECT_EQ(WndProc(nullptr, message, key, 0), 0); }
  const Keys& keys() { return cEditor::Instance()->keyEvents; }
};

TEST_F(WindowProcTest, ReleasedKeysGiveTheirCodesOnce) {
  Send(WM_KEYUP, '5');
  Send(WM_KEYUP, '5');
  EXPECT_EQ(keys(), Keys{8});

  for (WPARAM key : {VK_ESCAPE, VK_BACK, WPARAM{'0'}, WPARAM{'9'}, VK_OEM_PERIOD, VK_TAB, VK_SUBTRACT, VK_OEM_MINUS}) {
    Send(WM_KEYUP, key);
  }
  EXPECT_EQ(keys(), (Keys{8, 1, 2, 3, 12, 13, 101, 109}));
}

TEST_F(WindowProcTest, OtherKeysAreIgnored) {
  Send(WM_KEYDOWN, 'A');
  Send(WM_KEYDOWN, '5');
  Send(WM_KEYUP, VK_RETURN);
  Send(WM_KEYUP, VK_SPACE);
  EXPECT_TRUE(keys().empty());
  EXPECT_EQ(cEditor::Instance()->typedCharacter, 0);
}

TEST_F(WindowProcTest, WAndSStayHeldUntilReleased) {
  Send(WM_KEYDOWN, 'W');
  Send(WM_KEYDOWN, 'W');  // key repeat
  Send(WM_KEYDOWN, 'S');
  Send(WM_KEYDOWN, 'W');
  EXPECT_EQ(keys(), (Keys{38, 40}));

  Send(WM_KEYUP, 'W');
  EXPECT_EQ(keys(), Keys{40});
  EXPECT_EQ(cEditor::Instance()->typedCharacter, 'w');
  Send(WM_KEYUP, 'S');
  EXPECT_TRUE(keys().empty());
  EXPECT_EQ(cEditor::Instance()->typedCharacter, 's');
}

TEST_F(WindowProcTest, TheLaterLetterWins) {
  Send(WM_KEYUP, 'A');
  Send(WM_KEYUP, 'Z');
  EXPECT_EQ(cEditor::Instance()->typedCharacter, 'z');
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
