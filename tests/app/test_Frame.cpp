#include <gtest/gtest.h>

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
  // A resource that also notes, on reset, whether the default states were already back.
  void Watch() {
    auto* resource = new RecordingResource("r", &log, cResourceManager::Instance());
    resource->onReset = [this](IDirect3DDevice9* device) {
      DWORD lighting = TRUE;
      device->GetRenderState(D3DRS_LIGHTING, &lighting);
      log.push_back(lighting == FALSE ? "states set" : "states missing");
    };
  }

  const platform::Record& record() { return platform::Recorded(); }

  Log log;
};

TEST_F(FrameTest, ClearsAndShowsTheFrameRate) {
  Start();
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_EQ(record().clears, 1);
  EXPECT_EQ(record().presents, 1);
  ASSERT_EQ(record().texts.size(), 1u);
  const platform::TextRecord& text = record().texts[0];
  EXPECT_EQ(text.text, L"fps:0.0");
  EXPECT_EQ(text.rect.left, 10);
  EXPECT_EQ(text.rect.top, 60);
  EXPECT_EQ(text.rect.right, 70);
  EXPECT_EQ(text.rect.bottom, 200);
  EXPECT_EQ(text.format, DT_WORDBREAK);
  EXPECT_EQ(text.color, 0xFFFFFFFFu);
  EXPECT_EQ(text.fontHeight, 16);

  // Nine more frames of 0.04 s close the first window: 10 frames in 0.36 s.
  for (int i = 0; i < 9; ++i) {
    platform::headless::AdvanceClock(0.04);
    ASSERT_EQ(editor->Frame(), S_OK);
  }
  EXPECT_EQ(record().texts[8].text, L"fps:0.0");
  EXPECT_EQ(record().texts[9].text, L"fps:27.8");
}

TEST_F(FrameTest, DrawsNothingWhileLostThenResetsInOrder) {
  Start();
  Watch();
  editor->device->SetRenderState(D3DRS_LIGHTING, TRUE);
  platform::headless::LoseDevice();
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_TRUE(editor->deviceLost);
  EXPECT_EQ(record().clears, 0);
  EXPECT_TRUE(log.empty());

  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_FALSE(editor->deviceLost);
  EXPECT_EQ(log, (Log{"r:lost", "r:reset", "states set"}));
  EXPECT_EQ(record().clears, 1);
  EXPECT_EQ(record().presents, 1);
}

TEST_F(FrameTest, AFailedResetIsTriedAgainNextFrame) {
  Start();
  Watch();
  platform::headless::LoseDevice();
  platform::headless::FailResets(1);
  ASSERT_EQ(editor->Frame(), S_OK);
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_TRUE(editor->deviceLost);
  EXPECT_EQ(log, Log{"r:lost"});
  EXPECT_EQ(record().clears, 0);

  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_FALSE(editor->deviceLost);
  EXPECT_EQ(log, (Log{"r:lost", "r:lost", "r:reset", "states set"}));
  EXPECT_EQ(record().presents, 1);
}

TEST_F(FrameTest, ShutdownDestroysThenDeletesEveryResource) {
  Start();
  Watch();
  cMenu menu(1, nullptr);
  cGUIManager::Instance()->PushMenu(&menu, false);
  Shutdown();
  EXPECT_EQ(log, (Log{"r:destroy", "r:delete"}));
  EXPECT_TRUE(cResourceManager::Instance()->GetResources().empty());
  EXPECT_EQ(cGUIManager::Instance()->GetTopMenu(), nullptr);  // a new, empty manager
}

}  // namespace
