// The frame, device loss and reset, display-mode changes and shutdown, watched
// through a resource that logs what it is told.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "../scene/RecordingResource.h"
#include "EditorTest.h"
#include "scene/cResourceManager.h"

namespace {

using Log = std::vector<std::string>;

const D3DDISPLAYMODE k800x600{800, 600, 60, D3DFMT_X8R8G8B8};
const D3DDISPLAYMODE k1024x768{1024, 768, 60, D3DFMT_X8R8G8B8};
const D3DDISPLAYMODE k1600x1200{1600, 1200, 60, D3DFMT_X8R8G8B8};

class FrameTest : public EditorTest {
 protected:
  // The resource also notes, on reset, whether the default states were already back.
  void SetUp() override {
    profile.modes = {k800x600, k1024x768, k1600x1200};
    Start();
    auto* resource = new RecordingResource("r", &log, cResourceManager::Instance());
    resource->onReset = [this](IDirect3DDevice9* device) {
      DWORD lighting = TRUE;
      device->GetRenderState(D3DRS_LIGHTING, &lighting);
      log.push_back(lighting == FALSE ? "states set" : "states missing");
    };
  }

  // An empty editor menu in place of the selection screen, so frames draw the scene.
  void ShowEditorMenu() {
    cGUIManager::Instance()->ClearMenus();
    cGUIManager::Instance()->PushMenu(&editorMenu, false);
  }

  void ExpectBackBuffer(UINT width, UINT height) {
    const D3DPRESENT_PARAMETERS& p = editor->presentParameters;
    EXPECT_EQ(std::tuple(editor->displayMode.Width, p.BackBufferWidth, p.BackBufferHeight),
              std::tuple(width, width, height));
  }

  void RequestChange() {
    editor->pendingMode = k800x600;
    editor->modeChangePending = true;
    platform::Recorded().Clear();
  }

  platform::Record& record() { return platform::Recorded(); }

  Log log;
  cMenu editorMenu{115, nullptr};
};

// The counter's arithmetic is checked in tests/base; here, that each frame feeds it and where it shows.
TEST_F(FrameTest, ClearsAndShowsTheFrameRate) {
  ShowEditorMenu();
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_EQ(std::tuple(record().clears, record().presents), std::tuple(1, 1));
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
  ShowEditorMenu();
  platform::headless::LoseDevice();
  platform::headless::FailResets(1);
  ASSERT_EQ(editor->Frame(), S_OK);  // lost
  EXPECT_TRUE(log.empty());
  ASSERT_EQ(editor->Frame(), S_OK);  // the reset fails
  EXPECT_EQ(std::tuple(editor->deviceLost, log, record().clears), std::tuple(true, Log{"r:lost"}, 0));

  editor->device->SetRenderState(D3DRS_LIGHTING, TRUE);  // the states must be back before resources reset
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_FALSE(editor->deviceLost);
  EXPECT_EQ(log, (Log{"r:lost", "r:lost", "r:reset", "states set"}));
  EXPECT_EQ(std::tuple(record().clears, record().presents), std::tuple(1, 1));
}

TEST_F(FrameTest, ShutdownDestroysThenDeletesEveryResource) {
  cMenu menu(1, nullptr);
  cGUIManager::Instance()->PushMenu(&menu, false);
  Shutdown();
  EXPECT_EQ(log, (Log{"r:destroy", "r:delete"}));
  EXPECT_TRUE(cResourceManager::Instance()->GetResources().empty());
  EXPECT_EQ(cGUIManager::Instance()->GetTopMenu(), nullptr);  // a new, empty manager
}

// A refused mode keeps the current one; the fonts grow with the width up to
// 1024 pixels, then stop.
TEST_F(FrameTest, ModeChangesNowOrAtTheNextFrameResizeTheBackBufferAndScaleTheFonts) {
  const struct {
    D3DDISPLAYMODE mode;
    int failedResets;
    D3DDISPLAYMODE shown;
    FontList fonts;
  } cases[] = {{k800x600, 1, k1024x768, {{16, L"arial"}, {20, L"Tahoma"}}},
               {k800x600, 0, k800x600, {{13, L"arial"}, {17, L"tahoma"}}},
               {k1600x1200, 0, k1600x1200, {{16, L"arial"}, {20, L"tahoma"}}},
               {k1024x768, 0, k1024x768, {{16, L"arial"}, {20, L"tahoma"}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode.Width);
    log.clear();
    platform::headless::FailResets(c.failedResets);
    ASSERT_TRUE(editor->ChangeDisplayMode(c.mode));
    ExpectBackBuffer(c.shown.Width, c.shown.Height);
    EXPECT_EQ(log, (Log{"r:lost", "r:reset", "states set"}));
    EXPECT_EQ(Fonts(), c.fonts);
    D3DMATRIX projection{};
    editor->device->GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_FLOAT_EQ(projection._11 * c.shown.Width / c.shown.Height, projection._22);
  }

  // A pending change runs at the start of the next frame, whose texts already use the new fonts.
  RequestChange();
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_EQ(std::tuple(editor->modeChangePending, editor->displayMode.Width), std::tuple(false, 800u));
  ASSERT_FALSE(record().texts.empty());
  for (const platform::TextRecord& text : record().texts) EXPECT_EQ(text.fontHeight, text.face == L"arial" ? 13 : 17);
}

TEST_F(FrameTest, FailsTheFrameWhenNoModeCanBeRestoredAndRecoversInTheNext) {
  platform::headless::FailResets(2);
  RequestChange();
  EXPECT_EQ(editor->Frame(), E_FAIL);
  EXPECT_FALSE(editor->modeChangePending);
  ExpectBackBuffer(1024, 768);
  EXPECT_EQ(std::tuple(log, record().presents), std::tuple(Log{"r:lost"}, 0));
  ASSERT_EQ(editor->Frame(), S_OK);  // like after a device loss
  EXPECT_EQ(std::tuple(editor->deviceLost, record().presents), std::tuple(false, 1));
  EXPECT_EQ(log, (Log{"r:lost", "r:lost", "r:reset", "states set"}));
}

TEST_F(FrameTest, ADefaultPoolObjectHeldAcrossTheChangeDelaysDrawingUntilItIsReleased) {
  IDirect3DTexture9* held = nullptr;
  ASSERT_EQ(editor->device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &held,
                                          nullptr),
            D3D_OK);
  RequestChange();
  EXPECT_EQ(editor->Frame(), E_FAIL);  // both resets refused while the texture is held
  EXPECT_EQ(editor->device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_EQ(record().presents, 0);
  held->Release();
  ASSERT_EQ(editor->Frame(), S_OK);
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_EQ(std::tuple(editor->deviceLost, editor->device->TestCooperativeLevel(), record().presents),
            std::tuple(false, D3D_OK, 2));
}

}  // namespace
