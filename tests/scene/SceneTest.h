// A headless device for scene tests; every resource registered during a test is
// destroyed and deleted afterwards.
#pragma once

#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "scene/cResourceManager.h"

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseHeadlessBackend(profile);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    parameters.BackBufferWidth = profile.desktop.Width;
    parameters.BackBufferHeight = profile.desktop.Height;
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_FLIP;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, OpenWindow(), D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                &parameters, &device),
              S_OK);
    manager->SetDevice(device, &parameters);
    platform::Recorded().Clear();
  }

  void TearDown() override {
    manager->DestroyAll();
    manager->DeleteAll();
    manager->SetDevice(nullptr, nullptr);
    if (device) device->Release();
    if (d3d) d3d->Release();
  }

  static HWND OpenWindow() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "SceneTest";
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, "SceneTest", "SceneTest", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  }

  platform::HeadlessProfile profile = platform::HeadlessProfile::ShaderModel3();
  cResourceManager* manager = cResourceManager::Instance();
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  D3DPRESENT_PARAMETERS parameters{};
};
