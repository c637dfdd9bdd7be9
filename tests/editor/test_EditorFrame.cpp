// Start-up (the device, its fallbacks and the failure message), the frame,
// device loss and reset, display-mode changes and shutdown, watched through a
// resource that logs what it is told.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../scene/RecordingResource.h"
#include "EditorTest.h"
#include "base/cException.h"
#include "scene/cResourceManager.h"

namespace {

const std::wstring kDirectXFailure =
    L"Failed to initialize DirectX. Please check the minimum system requirements for running Brinora Editor. "
    L"Make sure you have latest video card drivers and DirectX9c installed";

class EditorInitTest : public EditorTest {
 protected:
  // The message of the cException thrown by Init, empty if none.
  std::wstring InitFailure() {
    OpenWindow();
    try {
      editor->Init(window);
    } catch (const cException& error) {
      return error.GetMessage();
    }
    return L"";
  }
};

// A full-screen device on the desktop mode with the default states; what the
// device offers decides the back buffers, their format, the present interval
// and whether shader model 3 is offered, or Init fails with the message.
TEST_F(EditorInitTest, DeviceCreationWithItsFallbacksOrTheFailureMessage) {
  const struct {
    const char* name;
    std::function<void(platform::HeadlessProfile&)> change;
    UINT backBuffers;  // 0: Init fails
    D3DFORMAT format;
    UINT interval;
    bool sm3;
  } cases[] = {
      {"as asked", [](auto&) {}, 2, D3DFMT_A8R8G8B8, D3DPRESENT_INTERVAL_IMMEDIATE, true},
      {"one refusal: hardware again", [](auto& p) { p.createDeviceFailures = 1; }, 2, D3DFMT_A8R8G8B8,
       D3DPRESENT_INTERVAL_IMMEDIATE, true},
      {"hardware refused", [](auto& p) { p.hardwareVertexProcessing = false; }, 1, D3DFMT_A8R8G8B8,
       D3DPRESENT_INTERVAL_IMMEDIATE, true},
      {"display format, one per refresh",
       [](auto& p) {
         p.backBufferA8R8G8B8 = false;
         p.caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE;
       },
       2, D3DFMT_X8R8G8B8, D3DPRESENT_INTERVAL_ONE, true},
      // These two differ from shader model 3 only in the vertex texture formats.
      {"no vertex textures", [](auto& p) { p.vertexTextures = false; }, 2, D3DFMT_A8R8G8B8,
       D3DPRESENT_INTERVAL_IMMEDIATE, false},
      {"single-channel vertex textures", [](auto& p) { p.unsupportedFormats = {D3DFMT_A32B32G32R32F}; }, 2,
       D3DFMT_A8R8G8B8, D3DPRESENT_INTERVAL_IMMEDIATE, true},
      {"no usable interval", [](auto& p) { p.caps.PresentationIntervals = D3DPRESENT_INTERVAL_TWO; }, 0, {}, 0, false},
      {"three refusals", [](auto& p) { p.createDeviceFailures = 3; }, 0, {}, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    profile = platform::HeadlessProfile::ShaderModel3();
    profile.desktop = {1280, 1024, 75, D3DFMT_X8R8G8B8};
    profile.modes.push_back(profile.desktop);
    c.change(profile);
    EXPECT_EQ(InitFailure(), c.backBuffers ? L"" : kDirectXFailure);
    EXPECT_EQ(editor->device != nullptr, c.backBuffers != 0);
    if (c.backBuffers) {
      const D3DPRESENT_PARAMETERS& p = editor->presentParameters;
      EXPECT_EQ(std::tuple(p.BackBufferCount, p.BackBufferFormat, p.PresentationInterval, editor->supported.sm3),
                std::tuple(c.backBuffers, c.format, c.interval, c.sm3));
      EXPECT_TRUE(editor->supported.ffp && editor->supported.sm1 && editor->supported.sm2);
      EXPECT_EQ(std::tuple(p.hDeviceWindow, p.Windowed, p.BackBufferWidth, p.BackBufferHeight,
                           p.FullScreen_RefreshRateInHz),
                std::tuple(window, FALSE, 1280u, 1024u, 75u));
      EXPECT_EQ(cResourceManager::Instance()->GetDevice(), editor->device);
      DWORD lighting = TRUE, blending = FALSE, address = 0;
      editor->device->GetRenderState(D3DRS_LIGHTING, &lighting);
      editor->device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
      editor->device->GetSamplerState(1, D3DSAMP_ADDRESSV, &address);
      EXPECT_EQ(std::tuple(lighting, blending, address),
                std::tuple(DWORD{FALSE}, DWORD{TRUE}, DWORD{D3DTADDRESS_CLAMP}));
      D3DXMATRIX expected;
      D3DXMatrixPerspectiveFovLH(&expected, 60.0f * 0.017453292f, 1280.0f / 1024.0f, 1.0f, 16384.0f);
      D3DMATRIX projection{};
      editor->device->GetTransform(D3DTS_PROJECTION, &projection);
      EXPECT_EQ(D3DXMATRIX(projection), expected);
    }
    Shutdown();
  }
}

TEST_F(EditorInitTest, WinMainShowsTheFatalErrorBoxOrRunsUntilQuit) {
  profile.createDeviceFailures = 3;
  platform::UseHeadlessBackend(profile);
  EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW), 1);
  const auto& boxes = platform::Recorded().messageBoxes;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(std::tuple(boxes[0].text, boxes[0].caption, platform::Recorded().presents),
            std::tuple(kDirectXFailure, std::wstring(L"Fatal error"), 0));
  Shutdown();  // the process would end here
  profile.createDeviceFailures = 0;
  platform::UseHeadlessBackend(profile);
  PostQuitMessage(7);
  EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW), 7);
  EXPECT_TRUE(cResourceManager::Instance()->GetResources().empty());
  EXPECT_EQ(gTraceFile, nullptr);
}

TEST_F(EditorInitTest, OffersAndListsOnlyModesAtLeast800Wide) {
  profile.modes = {{640, 480, 60, D3DFMT_X8R8G8B8}, {1024, 768, 60, D3DFMT_X8R8G8B8},
                   {799, 600, 60, D3DFMT_X8R8G8B8}, {800, 600, 75, D3DFMT_X8R8G8B8}};
  StartWith(ENGINE_SM2);
  EXPECT_EQ(Joined(ItemsOf(FindCombobox(editor->menus.settings, EditorId::kResolutionList))),
            L"1024x768x60 hz|800x600x75 hz");
}

using Log = std::vector<std::string>;

const D3DDISPLAYMODE k800x600{800, 600, 60, D3DFMT_X8R8G8B8};
const D3DDISPLAYMODE k1024x768{1024, 768, 60, D3DFMT_X8R8G8B8};
const D3DDISPLAYMODE k1280x720{1280, 720, 60, D3DFMT_X8R8G8B8};

class FrameTest : public EditorTest {
 protected:
  // The resource also notes, on reset, whether the default states were already back.
  void SetUp() override {
    profile.modes = {k800x600, k1024x768, k1280x720};
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
// 1024 pixels, then stop. GUI coordinates follow from the field of view: the
// screen spans tan(30 degrees) up and down and that times the aspect across.
TEST_F(FrameTest, ModeChangesNowOrAtTheNextFrameResizeTheBackBufferScaleTheFontsAndMapTheCursor) {
  const struct { D3DDISPLAYMODE mode; int failedResets; D3DDISPLAYMODE shown; FontList fonts; } cases[] = {
      {k800x600, 1, k1024x768, {{16, L"arial"}, {20, L"Tahoma"}}},
      {k800x600, 0, k800x600, {{13, L"arial"}, {17, L"tahoma"}}},
      {k1280x720, 0, k1280x720, {{16, L"arial"}, {20, L"tahoma"}}},
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
    const LONG w = static_cast<LONG>(c.shown.Width), h = static_cast<LONG>(c.shown.Height);
    EXPECT_EQ(std::tuple(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)), std::tuple(w, h));
    const float t = std::tan(30.0f * 3.14159265f / 180.0f), aspect = static_cast<float>(w) / static_cast<float>(h);
    for (POINT p : {POINT{0, 0}, POINT{w, h}, POINT{w / 2, h / 2}, POINT{10, 500}}) {
      const D3DXVECTOR2 gui = editor->CursorToGUI(p);
      EXPECT_NEAR(gui.x, (2.0f * p.x / w - 1) * t * aspect, 1e-5f);
      EXPECT_NEAR(gui.y, -(2.0f * p.y / h - 1) * t, 1e-5f);
    }
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
