#include <gtest/gtest.h>

#include <functional>
#include <string>

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

TEST_F(EditorInitTest, CreatesAFullScreenDeviceOnTheDesktopModeWithTheDefaultStates) {
  profile.desktop = {1280, 1024, 75, D3DFMT_X8R8G8B8};
  profile.modes.push_back(profile.desktop);
  Start();
  const D3DPRESENT_PARAMETERS& p = editor->presentParameters;
  EXPECT_EQ(p.hDeviceWindow, window);
  EXPECT_EQ(p.BackBufferCount, 2u);
  EXPECT_EQ(p.Windowed, FALSE);
  EXPECT_EQ(p.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
  EXPECT_EQ(p.BackBufferWidth, 1280u);
  EXPECT_EQ(p.BackBufferHeight, 1024u);
  EXPECT_EQ(p.FullScreen_RefreshRateInHz, 75u);
  EXPECT_EQ(p.BackBufferFormat, D3DFMT_A8R8G8B8);
  EXPECT_EQ(cResourceManager::Instance()->GetDevice(), editor->device);

  DWORD lighting = TRUE, blending = FALSE, address = 0;
  editor->device->GetRenderState(D3DRS_LIGHTING, &lighting);
  editor->device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
  editor->device->GetSamplerState(1, D3DSAMP_ADDRESSV, &address);
  EXPECT_EQ(lighting, static_cast<DWORD>(FALSE));
  EXPECT_EQ(blending, static_cast<DWORD>(TRUE));
  EXPECT_EQ(address, D3DTADDRESS_CLAMP);
  D3DXMATRIX expected;
  D3DXMatrixPerspectiveFovLH(&expected, 60.0f * 0.017453292f, 1280.0f / 1024.0f, 1.0f, 16384.0f);
  D3DMATRIX projection{};
  editor->device->GetTransform(D3DTS_PROJECTION, &projection);
  EXPECT_EQ(D3DXMATRIX(projection), expected);
}

// (The fonts scaled to the desktop width are checked by the selection screen's test.)
TEST_F(EditorInitTest, FallsBackToTheDisplayFormatAndOnePerRefresh) {
  profile.backBufferA8R8G8B8 = false;
  profile.caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE;
  Start();
  EXPECT_EQ(editor->presentParameters.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(editor->presentParameters.PresentationInterval, D3DPRESENT_INTERVAL_ONE);
}

TEST_F(EditorInitTest, DeviceCreationFallbacksAndFailures) {
  const struct {
    const char* name;
    std::function<void(platform::HeadlessProfile&)> change;
    UINT backBuffers;  // 0: Init fails
  } cases[] = {
      {"one refusal: hardware again", [](auto& p) { p.createDeviceFailures = 1; }, 2},
      {"hardware refused", [](auto& p) { p.hardwareVertexProcessing = false; }, 1},
      {"no usable interval", [](auto& p) { p.caps.PresentationIntervals = D3DPRESENT_INTERVAL_TWO; }, 0},
      {"three refusals", [](auto& p) { p.createDeviceFailures = 3; }, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    profile = platform::HeadlessProfile::ShaderModel3();
    c.change(profile);
    EXPECT_EQ(InitFailure(), c.backBuffers ? L"" : kDirectXFailure);
    EXPECT_EQ(editor->device != nullptr, c.backBuffers != 0);
    if (c.backBuffers) {
      EXPECT_EQ(editor->presentParameters.BackBufferCount, c.backBuffers);
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
  EXPECT_EQ(boxes[0].text, kDirectXFailure);
  EXPECT_EQ(boxes[0].caption, L"Fatal error");
  EXPECT_EQ(platform::Recorded().presents, 0);
  Shutdown();  // the process would end here

  profile.createDeviceFailures = 0;
  platform::UseHeadlessBackend(profile);
  PostQuitMessage(7);
  EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW), 7);
  EXPECT_TRUE(cResourceManager::Instance()->GetResources().empty());
  EXPECT_EQ(gTraceFile, nullptr);
}

TEST_F(EditorInitTest, OffersOnlyModesAtLeast800Wide) {
  profile.modes = {{640, 480, 60, D3DFMT_X8R8G8B8},
                   {1024, 768, 60, D3DFMT_X8R8G8B8},
                   {799, 600, 60, D3DFMT_X8R8G8B8},
                   {800, 600, 75, D3DFMT_X8R8G8B8}};
  Start();
  ASSERT_EQ(editor->displayModes.size(), 2u);
  EXPECT_EQ(editor->displayModes[0].Width, 1024u);
  EXPECT_EQ(editor->displayModes[1].RefreshRate, 75u);
}

// The capability profiles are walked by the selection screen's test; these two
// differ from shader model 3 only in the vertex texture formats.
TEST_F(EditorInitTest, ShaderModel3NeedsAFloatVertexTextureFormat) {
  const struct {
    const char* name;
    std::function<void(platform::HeadlessProfile&)> change;
    bool sm3;
  } cases[] = {
      {"no vertex textures", [](auto& p) { p.vertexTextures = false; }, false},
      {"single-channel vertex textures", [](auto& p) { p.unsupportedFormats = {D3DFMT_A32B32G32R32F}; }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    profile = platform::HeadlessProfile::ShaderModel3();
    c.change(profile);
    Start();
    EXPECT_TRUE(editor->supported.ffp && editor->supported.sm1 && editor->supported.sm2);
    EXPECT_EQ(editor->supported.sm3, c.sm3);
    Shutdown();
  }
}

}  // namespace
