#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "EditorTest.h"
#include "editor/MenuValues.h"

namespace {

class EditorInputTest : public EditorTest {
 protected:
  void SetUp() override {
    events.clear();
    Start();
  }
  D3DXMATRIX View() const {
    D3DXMATRIX view{};
    editor->device->GetTransform(D3DTS_VIEW, &view);
    return view;
  }
  static float Difference(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    float largest = 0.0f;
    for (int i = 0; i < 16; ++i) largest = std::max(largest, std::fabs(a[i] - b[i]));
    return largest;
  }
  static void ExpectCursorAtCentre() {
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(std::pair(cursor.x, cursor.y), std::pair(LONG{512}, LONG{384}));
  }
  // Tab released, then a frame.
  void Tab() {
    Post(WM_KEYUP, VK_TAB);
    Frame();
  }
  // In place of every menu, one with a button over the whole screen that records what reaches it.
  void ShowRecordingMenu() {
    cGUIManager::Instance()->ClearMenus();
    recorder.Add(new cButton(1, 5000, 5001, nullptr, nullptr, nullptr, D3DXVECTOR2(-2, 2), 4, 4));
    cGUIManager::Instance()->PushMenu(&recorder, false);
  }
  static inline std::vector<int> events;
  static void Record(int eventId, iGUIComponent*) { if (eventId >= 5000) events.push_back(eventId); }
  cMenu recorder{999, Record};
};

// Keys released within one frame, as at a low frame rate, reach the focused box
// in the order they came, repeats kept.
TEST_F(EditorInputTest, KeysTypedWithinOneFrameArriveInOrderWithRepeats) {
  Command(EditorId::kEventChooseSM2);
  cGUIManager::Instance()->PushMenu(editor->menus.save, false);
  cEditbox* name = FindEditbox(editor->menus.save, EditorId::kSaveName);
  const struct { const char* keys; const wchar_t* text; } cases[] = {
      {"9876543210", L"x9876543210"}, {"11..22", L"x11..22"}, {"abba", L"xabba"},
      {"w1s2ad", L"xw1s2ad"},         {"12\b3", L"x13"},       {"\b\b-5", L"-5"},
      {"4\x1b" "7", L"x4"},  // Escape ends the focus before 7 comes
  };
  for (const auto& c : cases) {
    name->SetText(L"x");
    name->Focus();
    for (const char* key = c.keys; *key; ++key) {
      Post(WM_KEYDOWN, EditorDriver::KeyFor(*key));
      Post(WM_KEYUP, EditorDriver::KeyFor(*key));
    }
    Frame();
    EXPECT_STREQ(name->GetText(), c.text) << c.keys;
  }
  EXPECT_TRUE(editor->keyEvents.empty());
  EXPECT_FLOAT_EQ(editor->camera->position.z, 100.0f);  // movement keys released within the frame
}

TEST_F(EditorInputTest, HeldWAndSMoveByThePreviousFramesTime) {
  Command(EditorId::kEventChooseSM2);
  Frame();
  Post(WM_KEYDOWN, 'W');
  platform::headless::AdvanceClock(2.0);
  Frame();  // moves by the previous frame's time, 0
  EXPECT_FLOAT_EQ(editor->camera->position.z, 100.0f);
  Frame();
  EXPECT_EQ(std::tuple(editor->camera->position.z, editor->keyEvents), std::tuple(300.0f, std::vector<unsigned>{38}));
  Post(WM_KEYDOWN, 'S');
  platform::headless::AdvanceClock(0.5);
  Frame();
  Frame();  // W and S together cancel out
  EXPECT_FLOAT_EQ(editor->camera->position.z, 300.0f);
  Post(WM_KEYUP, 'W');
  platform::headless::AdvanceClock(0.25);
  Frame();
  Frame();
  EXPECT_FLOAT_EQ(editor->camera->position.z, 275.0f);
}

// Tab works only over an editor menu; in fly mode a click reaches no control
// (the press is kept as a key) and nothing hovers.
TEST_F(EditorInputTest, FlyModeOnlyOverAnEditorMenuAndItSwallowsClicksAndHovers) {
  Tab();  // the selection screen is on top
  EXPECT_FALSE(editor->flyMode);
  cGUIManager::Instance()->ClearMenus();
  Tab();  // no menu at all
  EXPECT_FALSE(editor->flyMode);
  EXPECT_TRUE(editor->keyEvents.empty());
  ShowRecordingMenu();
  Frame();
  EXPECT_EQ(events, std::vector<int>{5001});  // hover
  Tab();
  ASSERT_TRUE(editor->flyMode);
  events.clear();
  Post(WM_LBUTTONDOWN);
  Frame();
  EXPECT_EQ(editor->keyEvents, std::vector<unsigned>{513});
  Post(WM_LBUTTONUP);
  Frame();
  EXPECT_TRUE(editor->keyEvents.empty());
  EXPECT_TRUE(events.empty());
  Post(WM_KEYUP, VK_TAB);
  Post(WM_LBUTTONDOWN);
  Post(WM_LBUTTONUP);
  Frame();
  EXPECT_FALSE(editor->flyMode);
  EXPECT_EQ(events, std::vector<int>{5000});
}

// Tab into fly mode with the cursor anywhere leaves the view as it was, from
// the start camera and from one turned in an earlier session; in fly mode the
// mouse turns the camera by 0.1 degree a pixel and the cursor goes back.
TEST_F(EditorInputTest, FlyModeKeepsTheViewOnEntryThenTheMouseTurnsIt) {
  ShowRecordingMenu();
  Frame();
  for (int session = 0; session < 3; ++session) {
    SCOPED_TRACE(session);
    const D3DXMATRIX before = View();
    SetCursorPos(100 + 300 * session, 50);
    Tab();
    ASSERT_TRUE(editor->flyMode);
    EXPECT_LT(Difference(View(), before), 1e-5f);
    ExpectCursorAtCentre();
    const float yaw = editor->camera->yaw;
    SetCursorPos(512 + 150, 384 - 80);
    Frame();
    EXPECT_NEAR(editor->camera->yaw, yaw + 15.0f * 3.14159265f / 180.0f, 1e-5f);
    ExpectCursorAtCentre();
    const D3DMATRIX view = View();
    EXPECT_EQ(std::memcmp(&view, editor->camera->GetView(), sizeof(view)), 0);
    Tab();
  }
}

// W and S move along the view direction, A and D along the view's right axis,
// at 100 units a second, in standard mode and in fly mode after a turn.
TEST_F(EditorInputTest, WASDMoveAlongTheViewInBothModes) {
  ShowRecordingMenu();
  const struct { WPARAM key; D3DXVECTOR3 inView; } keys[] = {  // inView: seen from the camera, in half a second
      {'W', {0, 0, 50}}, {'S', {0, 0, -50}}, {'A', {-50, 0, 0}}, {'D', {50, 0, 0}}};
  for (bool fly : {false, true}) {
    if (fly) {
      Tab();
      SetCursorPos(512 + 300, 384 + 200);  // 30 degrees right, 20 down
      Frame();
    }
    for (const auto& k : keys) {
      SCOPED_TRACE(testing::Message() << (fly ? "fly " : "standard ") << static_cast<char>(k.key));
      const D3DXMATRIX view = View();
      const D3DXVECTOR3 start = editor->camera->position;
      platform::headless::AdvanceClock(0.5);
      Frame();  // movement takes the previous frame's time
      Post(WM_KEYDOWN, k.key);
      Frame();
      Post(WM_KEYUP, k.key);
      Frame();
      const D3DXVECTOR3 moved = editor->camera->position - start;
      D3DXVECTOR3 inView;
      D3DXVec3TransformNormal(&inView, &moved, &view);
      const D3DXVECTOR3 error = inView - k.inView;
      EXPECT_LT(D3DXVec3Length(&error), 2e-3f);
    }
  }
}

TEST_F(EditorInputTest, TheHintFollowsTheModeOneFrameLater) {
  Frame();
  EXPECT_STREQ(editor->infoLine.GetText(), L" ");
  Command(EditorId::kEventChooseSM2);
  Frame();
  EXPECT_STREQ(editor->infoLine.GetText(), kStandardHint);
  EXPECT_FALSE(editor->infoLine.IsVisible());
  Tab();
  EXPECT_STREQ(editor->infoLine.GetText(), kFlyHint);
  editor->infoLine.SetVisible(true);  // what the validation does each frame
  platform::Recorded().texts.clear();
  Frame();
  EXPECT_TRUE(Drawn(kFlyHint));
}

// Each frame writes one trace line; without a trace file or on a full disk
// the frames go on. The trace goes to a private file here: tests running at
// the same time share "blur.txt".
TEST_F(EditorInputTest, EachFrameWritesOneTraceLineAndRunsWithoutATraceFileOrOnAFullDisk) {
  ASSERT_NE(gTraceFile, nullptr);
  CloseTraceFile();
  Frame();
  gTraceFile = std::tmpfile();
  SetCursorPos(0, 768);
  Frame();
  SetCursorPos(512, 0);
  Frame();
  std::rewind(gTraceFile);
  char text[512] = {};
  const size_t length = std::fread(text, 1, sizeof(text) - 1, gTraceFile);
  EXPECT_EQ(std::string(text, length),
            "screen:x:0.000000 y:768.000000, camera:x:-0.769800 y:-0.577350\n"
            "screen:x:512.000000 y:0.000000, camera:x:0.000000 y:0.577350\n");
  CloseTraceFile();
  gTraceFile = std::fopen("/dev/full", "w");
  ASSERT_NE(gTraceFile, nullptr);
  for (int i = 0; i < 200; ++i) Frame();  // several buffers' worth of failed writes
}

}  // namespace
