#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

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

TEST_F(EditorInitTest, OffersAndListsOnlyModesAtLeast800Wide) {
  profile.modes = {{640, 480, 60, D3DFMT_X8R8G8B8},
                   {1024, 768, 60, D3DFMT_X8R8G8B8},
                   {799, 600, 60, D3DFMT_X8R8G8B8},
                   {800, 600, 75, D3DFMT_X8R8G8B8}};
  StartWith(ENGINE_SM2);
  EXPECT_EQ(Joined(ItemsOf(FindCombobox(editor->menus.settings, EditorId::kResolutionList))),
            L"1024x768x60 hz|800x600x75 hz");
}

}  // namespace
