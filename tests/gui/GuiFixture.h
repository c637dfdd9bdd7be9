// Shared set-up of the GUI tests: the headless backend with its test-driven clock, a device with the editor's
// projection, a font, a sprite container and an event log for menu callbacks.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "../platform/HeadlessDevice.h"
#include "gui/cGUIManager.h"
#include "gui/cSpriteContainer.h"
#include "platform/Platform.h"
#include "scene/D3DTexture.h"
#include "scene/cFont.h"

class GuiFixture : public platform::testing::HeadlessDevice {
 protected:
  void SetUp() override {
    HeadlessDevice::SetUp();
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 60 * 0.017453292f, 1024.0f / 768.0f, 1.0f, 16384.0f);
    ASSERT_EQ(device->SetTransform(D3DTS_PROJECTION, &projection), S_OK);
    font = std::make_unique<cFont>(device, 16, L"arial", nullptr);
    sprites = std::make_unique<cSpriteContainer>(device, nullptr, 128);
    ASSERT_EQ(device->BeginScene(), S_OK);  // every test draws inside one scene
    platform::Recorded().Clear();
    events.clear();
  }
  void TearDown() override {
    cGUIManager::Shutdown();
    if (device) device->EndScene();
    sprites.reset();
    font.reset();
    HeadlessDevice::TearDown();
  }
  static void Advance(double seconds) { platform::headless::AdvanceClock(seconds); }
  static unsigned AlphaOf(D3DCOLOR color) { return color >> 24; }
  static inline std::vector<std::pair<int, iGUIComponent*>> events;
  static void Record(int eventId, iGUIComponent* source) { events.emplace_back(eventId, source); }
  static std::vector<int> EventIds() {
    std::vector<int> ids;
    for (const auto& event : events) ids.push_back(event.first);
    return ids;
  }
  std::vector<SpriteRecord> SpritesOf(iGUIComponent& component) {
    sprites->Clear();
    component.DrawSprites(sprites.get());
    return sprites->GetSprites();
  }
  std::vector<platform::TextRecord> TextsOf(iGUIComponent& component) {
    platform::Recorded().texts.clear();
    component.DrawText();
    return platform::Recorded().texts;
  }
  // The texts alone, in drawing order.
  std::vector<std::wstring> DrawnTexts(iGUIComponent& component) {
    std::vector<std::wstring> texts;
    for (const auto& text : TextsOf(component)) texts.push_back(text.text);
    return texts;
  }
  // The sprite shows `texture` over the rectangle from (x1, y1) to (x2, y2).
  static void ExpectSprite(const SpriteRecord& s, D3DTexture* texture, float x1, float y1, float x2, float y2) {
    EXPECT_EQ(s.texture, texture);
    for (auto [got, want] : {std::pair{s.x1, x1}, {s.y1, y1}, {s.x2, x2}, {s.y2, y2}}) EXPECT_NEAR(got, want, 1e-6f);
  }
  std::unique_ptr<cFont> font;
  std::unique_ptr<cSpriteContainer> sprites;
};
