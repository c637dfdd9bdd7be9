#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "EditorTest.h"
#include "app/cException.h"
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

TEST_F(EditorInitTest, CreatesAFullScreenDeviceOnTheDesktopMode) {
  profile.desktop = {1280, 1024, 75, D3DFMT_X8R8G8B8};
  profile.modes.push_back(profile.desktop);
  Start();
  const D3DPRESENT_PARAMETERS& parameters = editor->presentParameters;
  EXPECT_NE(editor->device, nullptr);
  EXPECT_EQ(parameters.hDeviceWindow, window);
  EXPECT_EQ(parameters.BackBufferCount, 2u);
  EXPECT_EQ(parameters.SwapEffect, D3DSWAPEFFECT_FLIP);
  EXPECT_EQ(parameters.Windowed, FALSE);
  EXPECT_EQ(parameters.MultiSampleType, D3DMULTISAMPLE_NONE);
  EXPECT_EQ(parameters.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
  EXPECT_EQ(parameters.EnableAutoDepthStencil, TRUE);
  EXPECT_EQ(parameters.AutoDepthStencilFormat, D3DFMT_D16);
  EXPECT_EQ(parameters.BackBufferWidth, 1280u);
  EXPECT_EQ(parameters.BackBufferHeight, 1024u);
  EXPECT_EQ(parameters.FullScreen_RefreshRateInHz, 75u);
  EXPECT_EQ(parameters.BackBufferFormat, D3DFMT_A8R8G8B8);
  EXPECT_EQ(cResourceManager::Instance()->GetDevice(), editor->device);
}

TEST_F(EditorInitTest, FallsBackToTheDisplayFormatAndOnePerRefresh) {
  profile.backBufferA8R8G8B8 = false;
  profile.caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE;
  Start();
  EXPECT_EQ(editor->presentParameters.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(editor->presentParameters.PresentationInterval, D3DPRESENT_INTERVAL_ONE);
}

TEST_F(EditorInitTest, StopsWithoutAUsablePresentationInterval) {
  profile.caps.PresentationIntervals = D3DPRESENT_INTERVAL_TWO;
  EXPECT_EQ(InitFailure(), kDirectXFailure);
  EXPECT_EQ(editor->device, nullptr);
}

TEST_F(EditorInitTest, RetriesHardwareThenFallsBackToSoftwareWithOneBackBuffer) {
  profile.createDeviceFailures = 1;
  Start();
  EXPECT_EQ(editor->presentParameters.BackBufferCount, 2u);
  Shutdown();

  profile.createDeviceFailures = 0;
  profile.hardwareVertexProcessing = false;
  Start();
  EXPECT_NE(editor->device, nullptr);
  EXPECT_EQ(editor->presentParameters.BackBufferCount, 1u);
}

TEST_F(EditorInitTest, ThreeRefusedDevicesEndInTheFatalErrorBox) {
  profile.createDeviceFailures = 3;
  EXPECT_EQ(InitFailure(), kDirectXFailure);
  Shutdown();

  platform::UseHeadlessBackend(profile);
  EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW), 1);
  const auto& boxes = platform::Recorded().messageBoxes;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kDirectXFailure);
  EXPECT_EQ(boxes[0].caption, L"Fatal error");
  EXPECT_EQ(platform::Recorded().presents, 0);
}

TEST_F(EditorInitTest, WinMainRunsUntilQuitAndReturnsItsCode) {
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
  EXPECT_EQ(editor->displayModes[1].Width, 800u);
  EXPECT_EQ(editor->displayModes[1].RefreshRate, 75u);
}

struct CapabilityCase {
  const char* name;
  platform::HeadlessProfile (*profile)();
  bool ffp, sm1, sm2, sm3;
};

void PrintTo(const CapabilityCase& capabilities, std::ostream* out) { *out << capabilities.name; }

class CapabilityTest : public EditorTest, public ::testing::WithParamInterface<CapabilityCase> {};

TEST_P(CapabilityTest, OffersTheEnginesTheDeviceCanRun) {
  profile = GetParam().profile();
  Start();
  EXPECT_EQ(editor->ffpSupported, GetParam().ffp);
  EXPECT_EQ(editor->sm1Supported, GetParam().sm1);
  EXPECT_EQ(editor->sm2Supported, GetParam().sm2);
  EXPECT_EQ(editor->sm3Supported, GetParam().sm3);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, CapabilityTest,
    ::testing::Values(CapabilityCase{"ShaderModel3", platform::HeadlessProfile::ShaderModel3, true, true, true, true},
                      CapabilityCase{"ShaderModel2", platform::HeadlessProfile::ShaderModel2, true, true, true, false},
                      CapabilityCase{"ShaderModel1", platform::HeadlessProfile::ShaderModel1, true, true, false, false},
                      CapabilityCase{"FixedFunction", platform::HeadlessProfile::FixedFunction, true, false, false,
                                     false},
                      CapabilityCase{"OneStream", platform::HeadlessProfile::OneStream, false, false, true, true},
                      CapabilityCase{"NoR32F", platform::HeadlessProfile::NoR32F, true, true, true, true}),
    [](const ::testing::TestParamInfo<CapabilityCase>& info) { return std::string(info.param.name); });

TEST_F(EditorInitTest, VertexTexturesInNeitherFormatRuleOutShaderModel3) {
  profile.vertexTextures = false;
  Start();
  EXPECT_TRUE(editor->sm2Supported);
  EXPECT_FALSE(editor->sm3Supported);
}

TEST_F(EditorInitTest, SingleChannelVertexTexturesAreEnoughForShaderModel3) {
  profile.unsupportedFormats = {D3DFMT_A32B32G32R32F};
  Start();
  EXPECT_TRUE(editor->sm3Supported);
}

TEST_F(EditorInitTest, SetsTheDefaultStatesAndProjection) {
  Start();
  IDirect3DDevice9* device = editor->device;
  DWORD lighting = TRUE, blending = FALSE, address = 0;
  device->GetRenderState(D3DRS_LIGHTING, &lighting);
  device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
  device->GetSamplerState(1, D3DSAMP_ADDRESSV, &address);
  EXPECT_EQ(lighting, static_cast<DWORD>(FALSE));
  EXPECT_EQ(blending, static_cast<DWORD>(TRUE));
  EXPECT_EQ(address, D3DTADDRESS_CLAMP);

  D3DXMATRIX expected;
  D3DXMatrixPerspectiveFovLH(&expected, 60.0f * 0.017453292f, 1024.0f / 768.0f, 1.0f, 16384.0f);
  D3DMATRIX projection{};
  device->GetTransform(D3DTS_PROJECTION, &projection);
  EXPECT_EQ(D3DXMATRIX(projection), expected);
  EXPECT_EQ(editor->projection, expected);
}

TEST_F(EditorInitTest, CreatesTheFontsFromTheBackBufferWidth) {
  profile.desktop = {800, 600, 60, D3DFMT_X8R8G8B8};
  Start();
  ASSERT_NE(editor->resourceCache, nullptr);
  EXPECT_NE(gTraceFile, nullptr);
  editor->smallFont->DrawText(L"small", 0, 0, 10, 10, 0, 0xFFFFFFFF);
  editor->largeFont->DrawText(L"large", 0, 0, 10, 10, 0, 0xFFFFFFFF);
  const auto& texts = platform::Recorded().texts;
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].fontHeight, 13);
  EXPECT_EQ(texts[0].face, L"arial");
  EXPECT_EQ(texts[1].fontHeight, 17);
  EXPECT_EQ(texts[1].face, L"Tahoma");
}

}  // namespace
