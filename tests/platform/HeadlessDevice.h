// A full-screen device on a fresh headless backend, created as the editor does.
#pragma once

#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace platform::testing {

inline D3DPRESENT_PARAMETERS FullScreenParameters(UINT width = 1024, UINT height = 768) {
  D3DPRESENT_PARAMETERS parameters{};
  parameters.BackBufferWidth = width;
  parameters.BackBufferHeight = height;
  parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
  parameters.BackBufferCount = 1;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.hDeviceWindow = reinterpret_cast<HWND>(0x10);
  parameters.Windowed = FALSE;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D16;
  parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  return parameters;
}

class HeadlessDevice : public ::testing::Test {
 protected:
  void SetUp() override { Start(HeadlessProfile::ShaderModel3()); }
  void TearDown() override { ReleaseAll(); }
  void ReleaseAll() {
    if (device) device->Release();
    if (d3d) d3d->Release();
    device = nullptr;
    d3d = nullptr;
  }
  // Starts again on a fresh backend with `profile`.
  void Start(const HeadlessProfile& profile) {
    ReleaseAll();
    UseHeadlessBackend(profile);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    parameters = FullScreenParameters();
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, parameters.hDeviceWindow,
                                D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device),
              D3D_OK);
  }
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  D3DPRESENT_PARAMETERS parameters{};
};

}  // namespace platform::testing
