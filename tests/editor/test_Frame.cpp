#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "../scene/RecordingResource.h"
#include "EditorTest.h"
#include "gui/cGUIManager.h"
#include "scene/cResourceManager.h"

namespace {

using Log = std::vector<std::string>;

class FrameTest : public EditorTest {
 protected:
  // Starts with a resource that also notes, on reset, whether the default states were already back.
  // An empty editor menu replaces the selection screen, so that frames draw the scene rather than the selection screen.
  void SetUp() override {
    Start();
    cGUIManager::Instance()->ClearMenus();
    cGUIManager::Instance()->PushMenu(&editorMenu, false);
    auto* resource = new RecordingResource("r", &log, cResourceManager::Instance());
    resource->onReset = [this](IDirect3DDevice9* device) {
      DWORD lighting = TRUE;
      device->GetRenderState(D3DRS_LIGHTING, &lighting);
      log.push_back(lighting == FALSE ? "states set" : "states missing");
    };
  }

  platform::Record& record() { return platform::Recorded(); }

  Log log;
  cMenu editorMenu{115, nullptr};
};

// The counter's arithmetic is checked in tests/base; here, that each frame feeds it and where it shows.
TEST_F(FrameTest, ClearsAndShowsTheFrameRate) {
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_EQ(record().clears, 1);
  EXPECT_EQ(record().presents, 1);
  ASSERT_GE(record().texts.size(), 1u);  // the frame rate first, then the info line
  const platform::TextRecord& text = record().texts[0];
  EXPECT_EQ(text.text, L"fps:0.0");
  EXPECT_EQ((std::array{text.rect.left, text.rect.top, text.rect.right, text.rect.bottom}),
            (std::array<LONG, 4>{10, 60, 70, 200}));

  // Nine more frames of 0.04 s close the first window: 10 frames in 0.36 s.
  for (int i = 0; i < 9; ++i) {
    platform::headless::AdvanceClock(0.04);
    record().Clear();
    ASSERT_EQ(editor->Frame(), S_OK);
  }
  ASSERT_GE(record().texts.size(), 1u);
  EXPECT_EQ(record().texts[0].text, L"fps:27.8");
}

TEST_F(FrameTest, DrawsNothingWhileLostThenResetsInOrderRetryingAFailedReset) {
  platform::headless::LoseDevice();
  platform::headless::FailResets(1);
  ASSERT_EQ(editor->Frame(), S_OK);  // lost
  EXPECT_TRUE(log.empty());
  ASSERT_EQ(editor->Frame(), S_OK);  // the reset fails
  EXPECT_TRUE(editor->deviceLost);
  EXPECT_EQ(log, Log{"r:lost"});
  EXPECT_EQ(record().clears, 0);

  editor->device->SetRenderState(D3DRS_LIGHTING, TRUE);  // the states must be back before resources reset
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_FALSE(editor->deviceLost);
  EXPECT_EQ(log, (Log{"r:lost", "r:lost", "r:reset", "states set"}));
  EXPECT_EQ(record().clears, 1);
  EXPECT_EQ(record().presents, 1);
}

TEST_F(FrameTest, ShutdownDestroysThenDeletesEveryResource) {
  cMenu menu(1, nullptr);
  cGUIManager::Instance()->PushMenu(&menu, false);
  Shutdown();
  EXPECT_EQ(log, (Log{"r:destroy", "r:delete"}));
  EXPECT_TRUE(cResourceManager::Instance()->GetResources().empty());
  EXPECT_EQ(cGUIManager::Instance()->GetTopMenu(), nullptr);  // a new, empty manager
}

}  // namespace
