// Shared set-up of the GUI tests: the headless backend with its test-driven
// clock, a device with the editor's projection, a font and a sprite container.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/cGUIManager.h"
#include "gui/cSpriteContainer.h"
#include "platform/Platform.h"
#include "scene/D3DTexture.h"
#include "scene/cFont.h"

class GuiFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseHeadlessBackend();
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 1024;
    parameters.BackBufferHeight = 768;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    parameters.FullScreen_RefreshRateInHz = 60;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                &parameters, &device),
              S_OK);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 60 * 0.017453292f, 1024.0f / 768.0f, 1.0f, 16384.0f);
    ASSERT_EQ(device->SetTransform(D3DTS_PROJECTION, &projection), S_OK);
    font = std::make_unique<cFont>(device, 16, L"arial", nullptr);
    sprites = std::make_unique<cSpriteContainer>(device, nullptr, 128);
    ASSERT_EQ(device->BeginScene(), S_OK);  // every test draws inside one scene
    platform::Recorded().Clear();
  }

  void TearDown() override {
    cGUIManager::Shutdown();
    if (device) device->EndScene();
    sprites.reset();
    font.reset();
    if (device) device->Release();
    if (d3d) d3d->Release();
  }

  static void Advance(double seconds) { platform::headless::AdvanceClock(seconds); }

  // The images queued by one component's DrawSprites.
  std::vector<SpriteRecord> SpritesOf(iGUIComponent& component) {
    sprites->Clear();
    component.DrawSprites(sprites.get());
    return sprites->GetSprites();
  }

  // The texts drawn by one component's DrawText.
  std::vector<platform::TextRecord> TextsOf(iGUIComponent& component) {
    platform::Recorded().texts.clear();
    component.DrawText();
    return platform::Recorded().texts;
  }

  static unsigned AlphaOf(D3DCOLOR color) { return color >> 24; }

  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  std::unique_ptr<cFont> font;
  std::unique_ptr<cSpriteContainer> sprites;
};
