#include <gtest/gtest.h>

#include <utility>

#include "FakeComponent.h"
#include "app/GUIKey.h"
#include "gui/cGUIManager.h"
#include "gui/cMenu.h"
#include "platform/Platform.h"

namespace {

using Strings = std::vector<std::string>;

std::vector<std::pair<int, iGUIComponent*>> events;
void Record(int eventId, iGUIComponent* source) { events.emplace_back(eventId, source); }

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseHeadlessBackend();
    events.clear();
  }
  void TearDown() override { cGUIManager::Shutdown(); }

  FakeComponent* AddFake(cMenu& menu, const char* name, GUIRect rect, int result, int id = 0) {
    return menu.Add(new FakeComponent(name, &log, rect, result, id));
  }

  Strings log;
};

constexpr GUIRect kUnit{0, 1, 1, 1};  // (0,0) to (1,1)
constexpr GUIRect kFarAway{5, 6, 1, 1};

TEST_F(MenuTest, ClickAnnouncesToEveryComponentThenDispatchesToHitOnesInOrder) {
  cMenu menu(1, Record);
  auto* a = AddFake(menu, "a", kUnit, 5);
  AddFake(menu, "b", kFarAway, 6);
  auto* c = AddFake(menu, "c", kUnit, -1);
  auto* hidden = AddFake(menu, "hidden", kUnit, 7);
  auto* disabled = AddFake(menu, "disabled", kUnit, 8);
  hidden->SetVisible(false);
  disabled->SetEnabled(false);

  menu.OnClick(0.5f, 0.5f);

  EXPECT_EQ(log, (Strings{"a.anywhere", "a.click", "b.anywhere", "c.anywhere", "c.click", "hidden.anywhere",
                          "disabled.anywhere"}));
  // Every result reaches the callback, -1 included.
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], std::make_pair(5, static_cast<iGUIComponent*>(a)));
  EXPECT_EQ(events[1], std::make_pair(-1, static_cast<iGUIComponent*>(c)));
}

TEST_F(MenuTest, PressAndHoverReachOnlyShownEnabledComponentsUnderThePoint) {
  cMenu menu(1, Record);
  AddFake(menu, "a", kUnit, -1);
  AddFake(menu, "b", kFarAway, 3);
  AddFake(menu, "hidden", kUnit, 4)->SetVisible(false);
  AddFake(menu, "disabled", kUnit, 4)->SetEnabled(false);
  AddFake(menu, "c", kUnit, 9);

  menu.OnPress(1.0f, 0.0f);  // a corner: edges count
  menu.OnHover(0.0f, 1.0f);

  EXPECT_EQ(log, (Strings{"a.press", "c.press", "a.hover", "c.hover"}));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].first, -1);
  EXPECT_EQ(events[1].first, 9);
}

TEST_F(MenuTest, KeysAndCharactersGoToEveryShownEnabledComponentWithoutHitTest) {
  cMenu menu(1, Record);
  auto* near = AddFake(menu, "near", kUnit, 2);
  auto* far = AddFake(menu, "far", kFarAway, 3);
  AddFake(menu, "hidden", kUnit, 4)->SetVisible(false);
  near->AddHotkey(GUIKEY_ESCAPE, 1018);
  near->AddHotkey(GUIKEY_ESCAPE, 1019);  // only the first pair counts
  far->AddHotkey(GUIKEY_BACKSPACE, 77);

  menu.OnKey(GUIKEY_ESCAPE);
  menu.OnChar('q');

  EXPECT_EQ(log, (Strings{"near.key", "far.key", "near.char", "far.char"}));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0], std::make_pair(1018, static_cast<iGUIComponent*>(near)));
  EXPECT_EQ(events[1], std::make_pair(-1, static_cast<iGUIComponent*>(far)));
  EXPECT_EQ(events[2].first, 2);
}

TEST_F(MenuTest, DisabledHiddenOrEmptyMenuIgnoresInput) {
  cMenu menu(1, Record);
  AddFake(menu, "a", kUnit, 5);
  menu.SetEnabled(false);
  menu.OnClick(0.5f, 0.5f);
  menu.OnKey(GUIKEY_ESCAPE);
  menu.SetEnabled(true);
  menu.SetVisible(false);
  menu.OnPress(0.5f, 0.5f);
  menu.OnChar('x');
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(events.empty());

  cMenu empty(2, Record);
  empty.OnClick(0, 0);
  EXPECT_TRUE(events.empty());
}

TEST_F(MenuTest, FindGroupsResetAndAlphaApplyToTheComponents) {
  cMenu menu(1, Record);
  auto* first = AddFake(menu, "first", kUnit, 0, 42);
  auto* second = AddFake(menu, "second", kUnit, 0, 42);
  auto* other = AddFake(menu, "other", kUnit, 0, 7);
  second->SetGroup(3);
  other->SetGroup(3);

  EXPECT_EQ(menu.Find(42), first);
  EXPECT_EQ(menu.Find(7), other);
  EXPECT_EQ(menu.Find(99), nullptr);

  menu.SetGroupVisible(3, false);
  EXPECT_TRUE(first->IsVisible());
  EXPECT_FALSE(second->IsVisible());
  EXPECT_FALSE(other->IsVisible());

  menu.SetAlpha(17);
  EXPECT_EQ(first->GetAlpha(), 17);
  EXPECT_EQ(other->GetAlpha(), 17);

  menu.ResetAll();
  EXPECT_EQ(log, (Strings{"first.reset", "second.reset", "other.reset"}));
}

// The callback may change the stack while a dispatch runs: the dispatch goes on
// over the menu it started with.
cMenu* nextMenu = nullptr;
void OpenNext(int eventId, iGUIComponent*) {
  if (eventId != 1) return;
  cGUIManager::Instance()->PopMenu();
  cGUIManager::Instance()->PushMenu(nextMenu, true);
}

TEST_F(MenuTest, DispatchContinuesOverTheOldTopMenuWhenACallbackSwitchesMenus) {
  cMenu first(1, OpenNext);
  cMenu second(2, OpenNext);
  nextMenu = &second;
  AddFake(first, "a", kUnit, 1);
  AddFake(first, "b", kUnit, 2);
  AddFake(second, "c", kUnit, 1);
  cGUIManager::Instance()->PushMenu(&first, false);

  cGUIManager::Instance()->OnClick(0.5f, 0.5f);

  EXPECT_EQ(log, (Strings{"a.anywhere", "a.click", "b.anywhere", "b.click"}));
  EXPECT_EQ(cGUIManager::Instance()->GetTopMenu(), &second);
}

}  // namespace
