#include <gtest/gtest.h>

#include "GuiFixture.h"
#include "gui/cButton.h"
#include "gui/cCheckbox.h"
#include "gui/cMenu.h"

namespace {

std::vector<int> events;
void Record(int eventId, iGUIComponent*) { events.push_back(eventId); }

class ButtonTest : public GuiFixture {
 protected:
  void SetUp() override {
    GuiFixture::SetUp();
    events.clear();
  }

  // The image the component queues this frame; null when it queues none.
  D3DTexture* DrawnImage(iGUIComponent& component) {
    const auto drawn = SpritesOf(component);
    return drawn.empty() ? nullptr : drawn[0].texture;
  }

  D3DTexture idle{nullptr}, over{nullptr}, pressed{nullptr};
  D3DTexture checkedImage{nullptr}, uncheckedImage{nullptr};
};

TEST_F(ButtonTest, HitTestIncludesAllFourEdges) {
  cButton button(1, 10, 11, &idle, &over, &pressed, D3DXVECTOR2(-0.5f, 0.25f), 0.5f, 0.25f);
  cCheckbox checkbox(2, 12, &checkedImage, &uncheckedImage, D3DXVECTOR2(-0.5f, 0.25f), 0.5f, 0.25f);
  for (iGUIComponent* component : {static_cast<iGUIComponent*>(&button), static_cast<iGUIComponent*>(&checkbox)}) {
    EXPECT_TRUE(component->HitTest(-0.5f, 0.25f));
    EXPECT_TRUE(component->HitTest(0.0f, 0.0f));
    EXPECT_TRUE(component->HitTest(-0.5f, 0.0f));
    EXPECT_TRUE(component->HitTest(0.0f, 0.25f));
    EXPECT_FALSE(component->HitTest(-0.5001f, 0.1f));
    EXPECT_FALSE(component->HitTest(0.0001f, 0.1f));
    EXPECT_FALSE(component->HitTest(-0.25f, 0.2501f));
    EXPECT_FALSE(component->HitTest(-0.25f, -0.0001f));
  }
}

TEST_F(ButtonTest, StateLastsOneFrameAndPicksTheImage) {
  cMenu menu(1, Record);
  auto* button = menu.Add(new cButton(1, 1006, 1007, &idle, &over, &pressed, D3DXVECTOR2(0, 0), 0.1f, 0.1f));

  EXPECT_EQ(DrawnImage(*button), &idle);

  menu.OnPress(0.05f, -0.05f);  // held over it
  EXPECT_EQ(DrawnImage(*button), &pressed);
  menu.OnPress(0.05f, -0.05f);
  EXPECT_EQ(DrawnImage(*button), &pressed);
  menu.OnClick(0.05f, -0.05f);  // released: the click frame shows "over"
  EXPECT_EQ(DrawnImage(*button), &over);
  EXPECT_EQ(DrawnImage(*button), &idle);
  menu.OnHover(0.05f, -0.05f);
  EXPECT_EQ(DrawnImage(*button), &over);
  menu.OnHover(0.5f, 0.5f);  // moved away
  EXPECT_EQ(DrawnImage(*button), &idle);

  EXPECT_EQ(events, (std::vector<int>{-1, -1, 1006, 1007}));

  cButton noTooltip(0, 5, 0, &idle, &over, &pressed, D3DXVECTOR2(0, 0), 0.1f, 0.1f);
  EXPECT_EQ(noTooltip.OnHover(0.05f, -0.05f), 0);
}

TEST_F(ButtonTest, DisabledButtonShowsOverImageAndGetsNoInput) {
  cMenu menu(1, Record);
  auto* button = menu.Add(new cButton(1, 1002, 0, &over, &over, &over, D3DXVECTOR2(0, 0), 0.1f, 0.1f));
  button->SetEnabled(false);
  menu.OnClick(0.05f, -0.05f);
  EXPECT_TRUE(events.empty());

  cButton plain(1, 1, 0, &idle, &over, &pressed, D3DXVECTOR2(0, 0), 0.1f, 0.1f);
  plain.SetEnabled(false);
  EXPECT_EQ(DrawnImage(plain), &over);
}

TEST_F(ButtonTest, SpriteCoversTheRectangleInWhiteWithTheAlpha) {
  cButton button(4, 1, 0, &idle, &over, &pressed, D3DXVECTOR2(-0.72f, -0.46f), 0.075f, 0.05f);
  button.SetAlpha(128);
  auto drawn = SpritesOf(button);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_FLOAT_EQ(drawn[0].x1, -0.72f);
  EXPECT_FLOAT_EQ(drawn[0].y1, -0.46f);
  EXPECT_FLOAT_EQ(drawn[0].x2, -0.72f + 0.075f);
  EXPECT_FLOAT_EQ(drawn[0].y2, -0.46f - 0.05f);
  EXPECT_EQ(drawn[0].color, 0x80FFFFFFu);

  button.SetVisible(false);
  button.OnPress(0, 0);
  EXPECT_TRUE(SpritesOf(button).empty());
  button.SetVisible(true);
  EXPECT_EQ(DrawnImage(button), &idle);  // the hidden frame still returned it to idle
}

TEST_F(ButtonTest, CheckboxFadesInAfterCreationAndEveryToggle) {
  cCheckbox checkbox(139, 1021, &checkedImage, &uncheckedImage, D3DXVECTOR2(0, 0), 0.03f, 0.03f);
  auto drawn = SpritesOf(checkbox);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].texture, &uncheckedImage);
  EXPECT_EQ(AlphaOf(drawn[0].color), 0u);
  Advance(0.15);
  EXPECT_EQ(AlphaOf(SpritesOf(checkbox)[0].color), 127u);
  Advance(0.2);
  EXPECT_EQ(AlphaOf(SpritesOf(checkbox)[0].color), 255u);

  EXPECT_EQ(checkbox.OnClick(0, 0), 1021);
  EXPECT_TRUE(checkbox.IsChecked());
  drawn = SpritesOf(checkbox);
  EXPECT_EQ(drawn[0].texture, &checkedImage);
  EXPECT_EQ(AlphaOf(drawn[0].color), 0u);

  // Twice in quick succession: back to the earlier value, fading again.
  Advance(0.1);
  checkbox.OnClick(0, 0);
  Advance(0.1);
  checkbox.OnClick(0, 0);
  EXPECT_TRUE(checkbox.IsChecked());
  EXPECT_EQ(AlphaOf(SpritesOf(checkbox)[0].color), 0u);
}

TEST_F(ButtonTest, CheckboxResetAndSetCheckedDoNotFade) {
  cCheckbox checkbox(1, 2, &checkedImage, &uncheckedImage, D3DXVECTOR2(0, 0), 0.03f, 0.03f);
  Advance(1.0);
  checkbox.SetChecked(1);
  EXPECT_TRUE(checkbox.IsChecked());
  EXPECT_EQ(AlphaOf(SpritesOf(checkbox)[0].color), 255u);
  checkbox.Reset();
  EXPECT_FALSE(checkbox.IsChecked());
  auto drawn = SpritesOf(checkbox);
  EXPECT_EQ(drawn[0].texture, &uncheckedImage);
  EXPECT_EQ(AlphaOf(drawn[0].color), 255u);

  checkbox.SetEnabled(false);  // a disabled or hidden checkbox is not drawn
  EXPECT_TRUE(SpritesOf(checkbox).empty());
}

}  // namespace
