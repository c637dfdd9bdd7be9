#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../scene/RecordingResource.h"
#include "EditorTest.h"
#include "scene/cResourceManager.h"

namespace {

using Log = std::vector<std::string>;

const D3DDISPLAYMODE k800x600{800, 600, 60, D3DFMT_X8R8G8B8};
const D3DDISPLAYMODE k1024x768{1024, 768, 60, D3DFMT_X8R8G8B8};

class DisplayModeTest : public EditorTest {
 protected:
  void SetUp() override {
    profile.modes = {k800x600, k1024x768};
    Start();
    new RecordingResource("r", &log, cResourceManager::Instance());
  }

  void ExpectBackBuffer(UINT width, UINT height) {
    EXPECT_EQ(editor->displayMode.Width, width);
    EXPECT_EQ(editor->presentParameters.BackBufferWidth, width);
    EXPECT_EQ(editor->presentParameters.BackBufferHeight, height);
  }

  void RequestChange() {
    editor->pendingMode = k800x600;
    editor->modeChangePending = true;
    platform::Recorded().Clear();
  }

  Log log;
};

TEST_F(DisplayModeTest, ChangesModeAndScalesTheFonts) {
  ASSERT_TRUE(editor->ChangeDisplayMode(k800x600));
  ExpectBackBuffer(800, 600);
  EXPECT_EQ(log, (Log{"r:lost", "r:reset"}));
  EXPECT_EQ(Fonts(), (FontList{{13, L"arial"}, {17, L"tahoma"}}));
  D3DMATRIX projection{};
  editor->device->GetTransform(D3DTS_PROJECTION, &projection);
  EXPECT_FLOAT_EQ(projection._11 * 800.0f / 600.0f, projection._22);

  ASSERT_TRUE(editor->ChangeDisplayMode(k1024x768));
  EXPECT_EQ(Fonts(), (FontList{{16, L"arial"}, {20, L"tahoma"}}));
}

TEST_F(DisplayModeTest, APendingChangeRunsAtTheStartOfTheNextFrame) {
  RequestChange();
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_FALSE(editor->modeChangePending);
  EXPECT_EQ(editor->displayMode.Width, 800u);
  // The selection screen's texts already use the new fonts.
  ASSERT_FALSE(platform::Recorded().texts.empty());
  for (const platform::TextRecord& text : platform::Recorded().texts) {
    EXPECT_EQ(text.fontHeight, text.face == L"arial" ? 13 : 17);
  }
}

TEST_F(DisplayModeTest, KeepsTheCurrentModeWhenTheNewOneIsRefused) {
  platform::headless::FailResets(1);
  ASSERT_TRUE(editor->ChangeDisplayMode(k800x600));
  ExpectBackBuffer(1024, 768);
  EXPECT_EQ(log, (Log{"r:lost", "r:reset"}));
  EXPECT_EQ(Fonts(), (FontList{{16, L"arial"}, {20, L"Tahoma"}}));
}

TEST_F(DisplayModeTest, FailsTheFrameWhenNoModeCanBeRestoredAndRecoversInTheNext) {
  platform::headless::FailResets(2);
  RequestChange();
  EXPECT_EQ(editor->Frame(), E_FAIL);
  EXPECT_FALSE(editor->modeChangePending);
  ExpectBackBuffer(1024, 768);
  EXPECT_EQ(log, Log{"r:lost"});
  EXPECT_EQ(platform::Recorded().presents, 0);

  ASSERT_EQ(editor->Frame(), S_OK);  // like after a device loss
  EXPECT_FALSE(editor->deviceLost);
  EXPECT_EQ(platform::Recorded().presents, 1);
  EXPECT_EQ(log, (Log{"r:lost", "r:lost", "r:reset"}));
}

TEST_F(DisplayModeTest, ADefaultPoolObjectHeldAcrossTheChangeDelaysDrawingUntilItIsReleased) {
  IDirect3DTexture9* held = nullptr;
  ASSERT_EQ(editor->device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &held,
                                          nullptr),
            D3D_OK);
  RequestChange();
  EXPECT_EQ(editor->Frame(), E_FAIL);  // both resets refused while the texture is held
  EXPECT_EQ(editor->device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_EQ(platform::Recorded().presents, 0);

  held->Release();
  ASSERT_EQ(editor->Frame(), S_OK);
  ASSERT_EQ(editor->Frame(), S_OK);
  EXPECT_FALSE(editor->deviceLost);
  EXPECT_EQ(editor->device->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(platform::Recorded().presents, 2);
}

}  // namespace
