#include <gtest/gtest.h>

#include <string>

#include "GuiFixture.h"
#include "gui/GUIKey.h"
#include "gui/GUIRect.h"
#include "gui/cMenu.h"

namespace {

using Strings = std::vector<std::string>;
constexpr GUIRect kUnit{0, 1, 1, 1};  // (0,0) to (1,1)
constexpr GUIRect kFarAway{5, 6, 1, 1};

// A widget that logs every call it gets.
class FakeComponent : public iGUIComponent {
 public:
  FakeComponent(std::string name, Strings* log, GUIRect rect, int result, int id)
      : iGUIComponent(id), name_(std::move(name)), log_(log), rect_(rect), result_(result) {}

  bool HitTest(float x, float y) override { return rect_.Contains(x, y); }
  int OnClick(float, float) override { return Log("click"); }
  int OnHover(float, float) override { return Log("hover"); }
  int OnPress(float, float) override { return Log("press"); }
  int OnKey(unsigned code) override { return Log("key"), iGUIComponent::OnKey(code); }
  int OnChar(char) override { return Log("char"); }
  void OnClickAnywhere(float, float) override { Log("anywhere"); }
  void DrawSprites(cSpriteContainer* container) override {
    Log("sprites" + std::to_string(GetLayer()));
    container->AddSprite(rect_.Sprite(nullptr, 0xFFFFFFFF));
  }
  void DrawText() override { Log("text" + std::to_string(GetLayer())); }
  void SetPosition(float x, float y) override { rect_.MoveTo(x, y); }
  const float* GetPosition() override { return rect_.Position(); }
  void Reset() override { Log("reset"); }

 private:
  int Log(const std::string& what) {
    log_->push_back(name_ + "." + what);
    return result_;
  }
  std::string name_;
  Strings* log_;
  GUIRect rect_;
  int result_;
};

class MenuTest : public GuiFixture {
 protected:
  void SetUp() override {
    GuiFixture::SetUp();
    manager = cGUIManager::Instance();
  }

  FakeComponent* AddFake(cMenu& menu, const char* name, GUIRect rect = kUnit, int result = -1, int id = 0) {
    return menu.Add(new FakeComponent(name, &log, rect, result, id));
  }

  // Alpha the top menu's component gets in the next drawing.
  unsigned DrawnAlpha(FakeComponent* component) {
    manager->DrawSprites(0, sprites.get());
    return component->GetAlpha();
  }

  cGUIManager* manager = nullptr;
  Strings log;
};

TEST_F(MenuTest, DispatchOrderAndTargetsOfEveryKindOfInput) {
  cMenu menu(1, Record);
  auto* a = AddFake(menu, "a", kUnit, 5);
  auto* b = AddFake(menu, "b", kFarAway, 6);
  auto* c = AddFake(menu, "c", kUnit, -1);
  AddFake(menu, "hidden", kUnit, 7)->SetVisible(false);
  AddFake(menu, "disabled", kUnit, 8)->SetEnabled(false);
  a->AddHotkey(GUIKEY_ESCAPE, 1018);
  a->AddHotkey(GUIKEY_ESCAPE, 1019);  // only the first pair counts
  b->AddHotkey(GUIKEY_BACKSPACE, 77);

  // A click is announced to every component, whatever its state, before the hit ones get it.
  menu.OnClick(0.5f, 0.5f);
  EXPECT_EQ(log, (Strings{"a.anywhere", "a.click", "b.anywhere", "c.anywhere", "c.click", "hidden.anywhere",
                          "disabled.anywhere"}));
  EXPECT_EQ(events, (decltype(events){{5, a}, {-1, c}}));  // -1 reaches the callback too

  log.clear();
  events.clear();
  menu.OnPress(1.0f, 0.0f);  // corners: edges count
  menu.OnHover(0.0f, 1.0f);
  menu.OnKey(GUIKEY_ESCAPE);  // keys and characters skip the hit test
  menu.OnChar('q');
  EXPECT_EQ(log, (Strings{"a.press", "c.press", "a.hover", "c.hover", "a.key", "b.key", "c.key", "a.char", "b.char",
                          "c.char"}));
  EXPECT_EQ(EventIds(), (std::vector<int>{5, -1, 5, -1, 1018, -1, -1, 5, 6, -1}));
}

TEST_F(MenuTest, FindGroupsResetAndAlphaApplyToTheComponentsAndAnOffMenuTakesNothing) {
  cMenu menu(1, Record);
  auto* first = AddFake(menu, "first", kUnit, 0, 42);
  auto* second = AddFake(menu, "second", kUnit, 0, 42);
  second->SetGroup(3);
  EXPECT_EQ(menu.Find(42), first);
  EXPECT_EQ(menu.Find(99), nullptr);
  menu.SetGroupVisible(3, false);
  EXPECT_TRUE(first->IsVisible());
  EXPECT_FALSE(second->IsVisible());
  menu.SetAlpha(17);
  EXPECT_EQ(second->GetAlpha(), 17);
  menu.ResetAll();
  EXPECT_EQ(log, (Strings{"first.reset", "second.reset"}));

  log.clear();  // a disabled, hidden or empty menu ignores input, and a hidden one is not drawn
  menu.SetEnabled(false);
  menu.OnClick(0.5f, 0.5f);
  menu.OnKey(GUIKEY_ESCAPE);
  menu.SetEnabled(true);
  menu.SetVisible(false);
  menu.OnPress(0.5f, 0.5f);
  menu.OnChar('x');
  cMenu(2, Record).OnClick(0, 0);
  manager->PushMenu(&menu, false);
  manager->DrawSprites(0, sprites.get());
  manager->DrawText(0);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(events.empty());
}

// A callback may switch menus during a dispatch, which goes on over the menu it started with.
cMenu* nextMenu = nullptr;
void OpenNext(int eventId, iGUIComponent*) {
  if (eventId != 1) return;
  cGUIManager::Instance()->PopMenu();
  cGUIManager::Instance()->PushMenu(nextMenu, true);
}

TEST_F(MenuTest, DispatchContinuesOverTheOldTopMenuWhenACallbackSwitchesMenus) {
  cMenu first(1, OpenNext), second(2, OpenNext);
  nextMenu = &second;
  AddFake(first, "a", kUnit, 1);
  AddFake(first, "b", kUnit, 2);
  AddFake(second, "c", kUnit, 1);
  manager->PushMenu(&first, false);
  manager->OnClick(0.5f, 0.5f);
  EXPECT_EQ(log, (Strings{"a.anywhere", "a.click", "b.anywhere", "b.click"}));
  EXPECT_EQ(manager->GetTopMenu(), &second);
}

TEST_F(MenuTest, ManagerSendsInputToTheTopMenuAndDrawsEveryMenu) {
  manager->OnClick(0, 0);  // an empty stack takes everything without harm
  manager->OnKey(GUIKEY_ESCAPE);
  manager->PopMenu();
  manager->DrawSprites(0, sprites.get());

  cMenu bottom(1, Record), top(2, Record);
  AddFake(bottom, "bottom");
  AddFake(top, "top");
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

// A push with a fade starts the top menu transparent and brings it in linearly
// over a quarter second; without one, or with a duration of zero or less, it is opaque at once.
TEST_F(MenuTest, PushedMenuFadesInLinearlyOverAQuarterSecondUnlessNotFaded) {
  cMenu bottom(1, Record), top(2, Record);
  auto* under = AddFake(bottom, "under");
  auto* faded = AddFake(top, "faded");
  under->SetAlpha(200);
  faded->SetAlpha(3);
  manager->PushMenu(&bottom, false);
  manager->PushMenu(&top, false);
  EXPECT_EQ(DrawnAlpha(faded), 255u);
  manager->PushMenu(&top, true);
  for (auto [step, alpha] : {std::pair{0.0, 0u}, {0.125, 127u}, {0.0625, 191u}, {0.0625, 255u}, {1.0, 255u}}) {
    Advance(step);
    EXPECT_EQ(DrawnAlpha(faded), alpha) << step;
  }
  EXPECT_EQ(under->GetAlpha(), 200);  // only the top menu fades
  for (float duration : {0.0f, -1.0f}) {
    manager->SetFadeDuration(duration);
    manager->PushMenu(&top, true);
    EXPECT_EQ(DrawnAlpha(faded), 255u) << duration;
  }
  manager->SetFadeDuration(0.25f);
  manager->PushMenu(&bottom, true);  // a new push starts from transparent again
  manager->DrawText(0);
  EXPECT_EQ(under->GetAlpha(), 0);
}

TEST_F(MenuTest, RendersLayersZeroThen56Then57WithTextsAfterTheirSprites) {
  cMenu bottom(1, Record), top(2, Record);
  AddFake(bottom, "a")->SetLayer(57);
  AddFake(bottom, "b");
  AddFake(top, "c")->SetLayer(56);
  AddFake(top, "d");
  AddFake(top, "e")->SetLayer(3);  // not a drawn layer
  manager->PushMenu(&bottom, false);
  manager->PushMenu(&top, false);
  D3DXMATRIX view;
  D3DXMatrixIdentity(&view);
  const D3DXVECTOR3 eye(0, 0, 0);
  ASSERT_EQ(manager->Render(device, sprites.get(), &eye, &view), S_OK);
  EXPECT_EQ(log, (Strings{"b.sprites0", "d.sprites0", "b.text0", "d.text0", "c.sprites56", "c.text56", "a.sprites57",
                          "a.text57"}));
  EXPECT_EQ(platform::Recorded().draws.size(), 4u);  // the container is cleared per layer: 2 + 1 + 1
}

}  // namespace
