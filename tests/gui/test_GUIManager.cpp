#include <gtest/gtest.h>

#include "FakeComponent.h"
#include "GuiFixture.h"
#include "app/GUIKey.h"
#include "gui/cMenu.h"

namespace {

using Strings = std::vector<std::string>;

int eventCount = 0;
void Count(int, iGUIComponent*) { ++eventCount; }

class GUIManagerTest : public GuiFixture {
 protected:
  void SetUp() override {
    GuiFixture::SetUp();
    eventCount = 0;
    manager = cGUIManager::Instance();
  }

  // Alpha the top menu's component gets in the next drawing.
  unsigned DrawnAlpha(FakeComponent* component) {
    manager->DrawSprites(0, sprites.get());
    return component->GetAlpha();
  }

  cGUIManager* manager = nullptr;
  Strings log;
};

TEST_F(GUIManagerTest, InputOnAnEmptyStackDoesNothing) {
  EXPECT_EQ(manager->GetTopMenu(), nullptr);
  manager->OnClick(0, 0);
  manager->OnPress(0, 0);
  manager->OnHover(0, 0);
  manager->OnKey(GUIKEY_ESCAPE);
  manager->OnChar('a');
  manager->PopMenu();
  manager->DrawSprites(0, sprites.get());
  manager->DrawText(0);
  EXPECT_EQ(eventCount, 0);
}

TEST_F(GUIManagerTest, OnlyTheTopMenuGetsInputWhileEveryMenuIsDrawn) {
  cMenu bottom(1, Count), top(2, Count);
  bottom.Add(new FakeComponent("bottom", &log));
  top.Add(new FakeComponent("top", &log));
  manager->PushMenu(&bottom, false);
  manager->PushMenu(&top, 289, false);
  EXPECT_EQ(manager->GetCaller(), 289);

  manager->OnPress(0.5f, 0.5f);
  manager->OnKey(GUIKEY_DIGIT0);
  manager->DrawSprites(0, sprites.get());
  EXPECT_EQ(log, (Strings{"top.press", "top.key", "bottom.sprites0", "top.sprites0"}));

  manager->PopMenu();
  EXPECT_EQ(manager->GetTopMenu(), &bottom);
  manager->PushMenu(&top, false);
  EXPECT_EQ(manager->GetCaller(), 0);
  manager->ClearMenus();
  EXPECT_EQ(manager->GetTopMenu(), nullptr);
}

TEST_F(GUIManagerTest, PushedMenuFadesInLinearlyOverAQuarterSecond) {
  cMenu bottom(1, Count), top(2, Count);
  auto* under = bottom.Add(new FakeComponent("under", &log));
  auto* faded = top.Add(new FakeComponent("faded", &log));
  under->SetAlpha(200);
  manager->PushMenu(&bottom, false);
  manager->PushMenu(&top, true);

  EXPECT_EQ(DrawnAlpha(faded), 0u);
  Advance(0.125);
  EXPECT_EQ(DrawnAlpha(faded), 127u);
  Advance(0.0625);
  EXPECT_EQ(DrawnAlpha(faded), 191u);
  Advance(0.0625);
  EXPECT_EQ(DrawnAlpha(faded), 255u);
  Advance(1.0);
  EXPECT_EQ(DrawnAlpha(faded), 255u);
  EXPECT_EQ(under->GetAlpha(), 200);  // only the top menu fades

  // A new push with fade starts from transparent again.
  manager->PushMenu(&bottom, true);
  manager->DrawText(0);
  EXPECT_EQ(under->GetAlpha(), 0);
}

TEST_F(GUIManagerTest, MenuPushedWithoutFadeIsOpaqueAtOnce) {
  cMenu menu(1, Count);
  auto* component = menu.Add(new FakeComponent("c", &log));
  component->SetAlpha(3);
  manager->PushMenu(&menu, false);
  EXPECT_EQ(DrawnAlpha(component), 255u);
}

TEST_F(GUIManagerTest, ZeroFadeDurationShowsTheMenuAtOnce) {
  cMenu menu(1, Count);
  auto* component = menu.Add(new FakeComponent("c", &log));
  manager->SetFadeDuration(0.0f);
  manager->PushMenu(&menu, true);
  EXPECT_EQ(DrawnAlpha(component), 255u);
}

TEST_F(GUIManagerTest, RendersLayersZeroThen56Then57WithTextsAfterTheirSprites) {
  cMenu bottom(1, Count), top(2, Count);
  auto add = [&](cMenu& menu, const char* name, int layer) {
    menu.Add(new FakeComponent(name, &log))->SetLayer(layer);
  };
  add(bottom, "a", 57);
  add(bottom, "b", 0);
  add(top, "c", 56);
  add(top, "d", 0);
  add(top, "e", 3);  // not a drawn layer
  manager->PushMenu(&bottom, false);
  manager->PushMenu(&top, false);
  D3DXMATRIX view;
  D3DXMatrixIdentity(&view);
  const D3DXVECTOR3 eye(0, 0, 0);

  ASSERT_EQ(manager->Render(device, sprites.get(), &eye, &view), S_OK);

  EXPECT_EQ(log, (Strings{"b.sprites0", "d.sprites0", "b.text0", "d.text0", "c.sprites56", "c.text56", "a.sprites57",
                          "a.text57"}));
  // The container is cleared per layer: 2 + 1 + 1 quads.
  EXPECT_EQ(platform::Recorded().draws.size(), 4u);
}

TEST_F(GUIManagerTest, HiddenMenuIsNotDrawn) {
  cMenu menu(1, Count);
  menu.Add(new FakeComponent("c", &log));
  menu.SetVisible(false);
  manager->PushMenu(&menu, false);
  manager->DrawSprites(0, sprites.get());
  manager->DrawText(0);
  EXPECT_TRUE(log.empty());
}

}  // namespace
