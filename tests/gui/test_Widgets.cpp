// The widgets: button, checkbox, window, text area and edit box.
#include <gtest/gtest.h>

#include <cstring>

#include "../waterscene/SaveFileTesting.h"
#include "GuiFixture.h"
#include "gui/GUIKey.h"
#include "gui/cButton.h"
#include "gui/cCheckbox.h"
#include "gui/cEditbox.h"
#include "gui/cMenu.h"
#include "gui/cTextarea.h"
#include "gui/cWindow.h"

namespace {

class ButtonTest : public GuiFixture {
 protected:
  // The image the component queues this frame; null when it queues none.
  D3DTexture* DrawnImage(iGUIComponent& component) {
    const auto drawn = SpritesOf(component);
    return drawn.empty() ? nullptr : drawn[0].texture;
  }
  unsigned DrawnAlpha(iGUIComponent& component) { return AlphaOf(SpritesOf(component).at(0).color); }
  D3DTexture idle{nullptr}, over{nullptr}, pressed{nullptr}, checkedImage{nullptr}, uncheckedImage{nullptr};
};

TEST_F(ButtonTest, HitTestIncludesAllFourEdges) {
  cButton button(1, 10, 11, &idle, &over, &pressed, D3DXVECTOR2(-0.5f, 0.25f), 0.5f, 0.25f);
  cCheckbox checkbox(2, 12, &checkedImage, &uncheckedImage, D3DXVECTOR2(-0.5f, 0.25f), 0.5f, 0.25f);
  for (iGUIComponent* component : {static_cast<iGUIComponent*>(&button), static_cast<iGUIComponent*>(&checkbox)}) {
    for (auto [x, y] : {std::pair{-0.5f, 0.25f}, {0.0f, 0.0f}, {-0.5f, 0.0f}, {0.0f, 0.25f}})
      EXPECT_TRUE(component->HitTest(x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{-0.5001f, 0.1f}, {0.0001f, 0.1f}, {-0.25f, 0.2501f}, {-0.25f, -0.0001f}})
      EXPECT_FALSE(component->HitTest(x, y)) << x << "," << y;
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
  EXPECT_EQ(EventIds(), (std::vector<int>{-1, -1, 1006, 1007}));
  button->SetVisible(false);
  button->OnPress(0, 0);
  EXPECT_EQ(DrawnImage(*button), nullptr);
  button->SetVisible(true);
  EXPECT_EQ(DrawnImage(*button), &idle);  // the hidden frame still returned it to idle
  button->SetEnabled(false);              // no input, and the over image
  menu.OnClick(0.05f, -0.05f);
  EXPECT_EQ(events.size(), 4u);
  EXPECT_EQ(DrawnImage(*button), &over);
  D3DTexture greyed{nullptr};  // a disabled look replaces the over image
  button->SetDisabledImage(&greyed);
  EXPECT_EQ(DrawnImage(*button), &greyed);
  button->SetEnabled(true);
  EXPECT_EQ(DrawnImage(*button), &idle);
}

TEST_F(ButtonTest, WidgetsCoverTheirRectangleInTheirColourOnlyWhenShown) {
  cButton button(4, 1, 0, &idle, &over, &pressed, D3DXVECTOR2(-0.72f, -0.46f), 0.075f, 0.05f);
  cEditbox editbox(0, D3DXVECTOR2(-0.07f, 0.51f), D3DXVECTOR2(0.18f, 0.03f), D3DXVECTOR2(), L"5", &idle, nullptr);
  cWindow window(0, &idle, D3DXVECTOR2(-0.15f, 0.15f), 0.3f, 0.2f);
  button.SetAlpha(128);
  editbox.SetAlpha(200);
  window.SetColor(255, 0, 0);  // only a window is tinted
  editbox.SetColor(255, 0, 0);
  const struct { iGUIComponent* widget; SpriteRecord expected; } cases[] = {
      {&button, {&idle, -0.72f, -0.46f, -0.645f, -0.51f, 0x80FFFFFF}},
      {&editbox, {&idle, -0.07f, 0.51f, 0.11f, 0.48f, 0xC8FFFFFF}},
      {&window, {&idle, -0.15f, 0.15f, 0.15f, -0.05f, 0xFFFF0000}}};
  for (const auto& [widget, e] : cases) {
    const auto drawn = SpritesOf(*widget);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].color, e.color);
    ExpectSprite(drawn[0], e.texture, e.x1, e.y1, e.x2, e.y2);
    widget->SetVisible(false);
    EXPECT_TRUE(SpritesOf(*widget).empty());
  }
  window.SetVisible(true);
  window.SetEnabled(false);
  EXPECT_TRUE(SpritesOf(window).empty());
  window.SetEnabled(true);
  window.SetImage(nullptr);
  EXPECT_TRUE(SpritesOf(window).empty());
  EXPECT_TRUE(window.HitTest(0.0f, 0.0f));  // still has a hit area
}

// Clicks fade the new image in; SetChecked and Reset show it at once.
TEST_F(ButtonTest, CheckboxFadesInAfterCreationAndEveryToggleButNotOnSetOrReset) {
  cCheckbox checkbox(139, 1021, &checkedImage, &uncheckedImage, D3DXVECTOR2(0, 0), 0.03f, 0.03f);
  EXPECT_EQ(DrawnImage(checkbox), &uncheckedImage);
  for (auto [step, alpha] : {std::pair{0.0, 0u}, {0.15, 127u}, {0.2, 255u}}) {
    Advance(step);
    EXPECT_EQ(DrawnAlpha(checkbox), alpha) << step;
  }
  EXPECT_EQ(checkbox.OnClick(0, 0), 1021);
  EXPECT_TRUE(checkbox.IsChecked());
  EXPECT_EQ(DrawnImage(checkbox), &checkedImage);
  EXPECT_EQ(DrawnAlpha(checkbox), 0u);
  Advance(0.1);  // twice in quick succession: back to the earlier value, fading again
  checkbox.OnClick(0, 0);
  Advance(0.1);
  checkbox.OnClick(0, 0);
  EXPECT_TRUE(checkbox.IsChecked());
  EXPECT_EQ(DrawnAlpha(checkbox), 0u);
  cCheckbox set(1, 2, &checkedImage, &uncheckedImage, D3DXVECTOR2(0, 0), 0.03f, 0.03f);
  Advance(1.0);
  set.SetChecked(1);
  EXPECT_EQ(DrawnAlpha(set), 255u);
  set.Reset();
  EXPECT_FALSE(set.IsChecked());
  EXPECT_EQ(DrawnImage(set), &uncheckedImage);
  EXPECT_EQ(DrawnAlpha(set), 255u);
  set.SetEnabled(false);  // a disabled checkbox is not drawn
  EXPECT_TRUE(SpritesOf(set).empty());
}

TEST_F(ButtonTest, TextareaDrawsItsTintedTextWordWrappedOnlyWhenShown) {
  cTextarea area(170, D3DXVECTOR2(-0.72f, 0.38f), 0.3f, L"Select new skybox", font.get());
  EXPECT_TRUE(area.HitTest(-0.72f + 0.3f, 0.38f - 0.3f));  // a square box
  area.SetColor(255, 0, 0);
  auto texts = TextsOf(area);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(std::tuple(texts[0].text, texts[0].color, texts[0].format),
            std::tuple(std::wstring(L"Select new skybox"), 0xFFFF0000u, DWORD{DT_WORDBREAK}));
  area.SetText(nullptr);
  EXPECT_TRUE(TextsOf(area).empty());
  area.SetText(L"x");
  area.SetVisible(false);
  EXPECT_TRUE(TextsOf(area).empty());
}

class EditboxTest : public GuiFixture {
 protected:
  std::unique_ptr<cEditbox> Make(const wchar_t* text) {
    return std::make_unique<cEditbox>(138, D3DXVECTOR2(-0.07f, 0.51f), D3DXVECTOR2(0.18f, 0.03f),
                                      D3DXVECTOR2(0.01f, 0.005f), text, &background, font.get());
  }
  // Plays `script` on `box`: digits, '-', '.', '<' (Backspace) and '!' (Escape) are keys, lower-case letters
  // characters; 'F' focuses, 'R' resets and 'E'/'N' make the box editable or not.
  static void Play(cEditbox& box, const char* script) {
    for (const char* c = script; *c; ++c) {
      if (*c == 'F') box.Focus();
      if (*c == 'R') box.Reset();
      if (*c == 'E' || *c == 'N') box.SetEditable(*c == 'E');
      int result = -1;  // what every key and character returns
      if (*c >= 'a' && *c <= 'z') result = box.OnChar(*c);
      if (const unsigned key = KeyOf(*c)) result = box.OnKey(key);
      EXPECT_EQ(result, -1) << *c;
    }
  }
  static unsigned KeyOf(char c) {
    if (c >= '0' && c <= '9') return k0 + (c - '0');
    const char* keys = "-.<!";
    const unsigned codes[] = {GUIKEY_MINUS, GUIKEY_PERIOD, GUIKEY_BACKSPACE, GUIKEY_ESCAPE};
    const char* at = c ? std::strchr(keys, c) : nullptr;
    return at ? codes[at - keys] : 0;
  }
  static void Empty(cEditbox& box) {
    while (box.GetText()) box.OnKey(GUIKEY_BACKSPACE);
  }
  static std::wstring TextOf(const cEditbox& box) { return box.GetText() ? box.GetText() : L"(null)"; }
  static constexpr unsigned k0 = GUIKEY_DIGIT0;
  D3DTexture background{nullptr};
};

// The cases of tests/data/gui/editbox.txt, by kind.
std::vector<std::vector<std::string>> Cases(const char* kind) {
  return savefile::testing::TableRows("gui/editbox.txt", kind);
}
std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

TEST_F(EditboxTest, TypedKeysEditTheTextOnlyWhenFocusedAndLettersOnlyWhenEditable) {
  for (const auto& c : Cases("edit")) {
    SCOPED_TRACE(c.at(0));
    auto box = Make(c.at(1) == "(default)" ? nullptr : Wide(c[1]).c_str());
    Play(*box, c.at(2).c_str());
    EXPECT_EQ(TextOf(*box), Wide(c.at(3)));
    EXPECT_EQ(box->GetValue(), std::stof(c.at(4)));
  }
}

TEST_F(EditboxTest, ValueReadsOnlyTheLeadingDecimalNumber) {
  auto box = Make(L"0");
  for (const auto& c : Cases("value")) {
    box->SetText(c.at(0) == "(null)" ? nullptr : Wide(c[0]).c_str());
    EXPECT_EQ(box->GetValue(), std::stof(c.at(1))) << c[0];
  }
}

TEST_F(EditboxTest, ClickFocusesOneBoxAndUnfocusesTheOthers) {
  cMenu menu(1, Record);
  auto add = [&](const wchar_t* text, float y) {
    return menu.Add(
        new cEditbox(0, D3DXVECTOR2(0, y), D3DXVECTOR2(0.2f, 0.03f), D3DXVECTOR2(0, 0), text, nullptr, nullptr));
  };
  auto* first = add(L"1", 0.0f);
  auto* second = add(L"2", -0.1f);
  menu.OnClick(0.1f, -0.01f);
  menu.OnClick(0.2f, -0.1f);  // top-right corner of the second box
  menu.OnKey(k0 + 5);
  EXPECT_EQ(std::tuple(TextOf(*first), TextOf(*second)), std::tuple(L"1", L"25"));
  EXPECT_EQ(events.front().first, 0);
  second->SetVisible(false);  // a hidden box still loses its focus
  menu.OnClick(0.9f, 0.9f);
  second->SetVisible(true);
  menu.OnKey(k0 + 5);
  EXPECT_EQ(TextOf(*second), L"25");
}

TEST_F(EditboxTest, CaretShowsForHalfOfEachCycleCountedFromConstruction) {
  auto box = Make(L"12");
  Advance(1.2);
  EXPECT_EQ(TextsOf(*box).at(0).text, L"12");  // unfocused: no caret, and no restart
  box->Focus();
  for (auto [step, text] : {std::pair{0.0, L"12"}, {0.0, L"12|"}, {0.6, L"12"}, {0.5, L"12"}, {0.1, L"12|"}}) {
    Advance(step);  // the cycle restarts past one second, only while focused
    EXPECT_EQ(TextsOf(*box).at(0).text, text) << step;
  }
  Empty(*box);
  EXPECT_EQ(TextsOf(*box).at(0).text, L"|");
  Advance(0.7);
  EXPECT_TRUE(TextsOf(*box).empty());
}

TEST_F(EditboxTest, DrawsItsWholeTextTintedFromItsOffsetOnlyWhenShown) {
  auto box = Make(L"5");
  box->SetColor(10, 20, 30);
  box->SetAlpha(200);
  const auto texts = TextsOf(*box);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(std::tuple(texts[0].color, texts[0].format),
            std::tuple(D3DCOLOR_ARGB(200, 10, 20, 30), DWORD{DT_WORDBREAK}));
  // Left edge x + dx on a 1024-pixel display: (x * P11 + 1) * 512.
  EXPECT_EQ(texts[0].rect.left, static_cast<LONG>(((-0.07f + 0.01f) * (1.7320508f * 0.75f) + 1.0f) * 512.0f));
  box->SetVisible(false);
  EXPECT_TRUE(TextsOf(*box).empty());
  box->SetVisible(true);  // a long text is kept and drawn whole
  box->Focus();
  Empty(*box);
  for (int i = 0; i < 3000; ++i) box->OnKey(k0 + i % 10);
  EXPECT_EQ(std::wcslen(box->GetText()), 3000u);
  EXPECT_EQ(TextsOf(*box).at(0).text.size(), 3001u);  // with the caret
}

}  // namespace
