#include <gtest/gtest.h>

#include "GuiFixture.h"
#include "app/GUIKey.h"
#include "gui/cEditbox.h"
#include "gui/cMenu.h"
#include "gui/cTextarea.h"
#include "gui/cWindow.h"

namespace {

void Ignore(int, iGUIComponent*) {}

class EditboxTest : public GuiFixture {
 protected:
  std::unique_ptr<cEditbox> Make(const wchar_t* text) {
    return std::make_unique<cEditbox>(138, D3DXVECTOR2(-0.07f, 0.51f), D3DXVECTOR2(0.18f, 0.03f),
                                      D3DXVECTOR2(0.01f, 0.005f), text, &background, font.get());
  }

  static void Type(cEditbox& box, std::initializer_list<unsigned> codes) {
    for (unsigned code : codes) EXPECT_EQ(box.OnKey(code), -1);
  }

  static std::wstring TextOf(const cEditbox& box) { return box.GetText() ? box.GetText() : L"(null)"; }

  static void Empty(cEditbox& box) {
    while (box.GetText()) box.OnKey(GUIKEY_BACKSPACE);
  }

  D3DTexture background{nullptr};
};

TEST_F(EditboxTest, TypingDigitsAndPointIntoAnEmptiedFocusedBox) {
  auto box = Make(nullptr);
  EXPECT_EQ(TextOf(*box), L"1.0");
  box->Focus();
  Type(*box, {GUIKEY_BACKSPACE, GUIKEY_BACKSPACE, GUIKEY_BACKSPACE});
  EXPECT_EQ(box->GetText(), nullptr);
  EXPECT_EQ(box->GetValue(), 1.0f);
  Type(*box, {GUIKEY_BACKSPACE});  // nothing left to delete
  Type(*box, {GUIKEY_DIGIT0 + 1, GUIKEY_DIGIT0 + 2, GUIKEY_PERIOD, GUIKEY_DIGIT0 + 5});
  EXPECT_EQ(TextOf(*box), L"12.5");
  EXPECT_EQ(box->GetValue(), 12.5f);
  Type(*box, {GUIKEY_PERIOD, GUIKEY_DIGIT0 + 9, GUIKEY_DIGIT0});  // the form is not checked
  EXPECT_EQ(TextOf(*box), L"12.5.90");
  EXPECT_EQ(box->GetValue(), 12.5f);
}

TEST_F(EditboxTest, MinusOnlyStartsAnEmptyBox) {
  auto box = Make(L"0.5");
  box->Focus();
  Type(*box, {GUIKEY_MINUS});
  EXPECT_EQ(TextOf(*box), L"0.5");
  Empty(*box);
  Type(*box, {GUIKEY_MINUS, GUIKEY_DIGIT0 + 3, GUIKEY_MINUS});
  EXPECT_EQ(TextOf(*box), L"-3");
  EXPECT_EQ(box->GetValue(), -3.0f);
}

TEST_F(EditboxTest, ValueOfTextThatIsNotANumberIsZero) {
  auto box = Make(L"myengine");
  EXPECT_EQ(box->GetValue(), 0.0f);
  box->SetText(L"-");
  EXPECT_EQ(box->GetValue(), 0.0f);
  box->SetText(L"3.25abc");
  EXPECT_EQ(box->GetValue(), 3.25f);
  // Only the decimal form counts: no hexadecimal, infinity or not-a-number.
  for (const wchar_t* text : {L"nan", L"inf", L"infinity", L"0x1f"}) {
    box->SetText(text);
    EXPECT_EQ(box->GetValue(), 0.0f) << text;
  }
  box->SetText(nullptr);
  EXPECT_EQ(box->GetValue(), 1.0f);
}

TEST_F(EditboxTest, EmptyButPresentTextStaysEmptyOnBackspace) {
  auto box = Make(L"");
  box->Focus();
  Type(*box, {GUIKEY_BACKSPACE});
  ASSERT_NE(box->GetText(), nullptr);
  EXPECT_EQ(TextOf(*box), L"");
  EXPECT_EQ(box->GetValue(), 0.0f);
}

TEST_F(EditboxTest, KeysAndLettersNeedFocusAndLettersAnEditableBox) {
  auto box = Make(L"42");
  box->SetEditable(true);
  Type(*box, {GUIKEY_BACKSPACE, GUIKEY_DIGIT0 + 7, GUIKEY_PERIOD, GUIKEY_MINUS});
  EXPECT_EQ(box->OnChar('x'), -1);
  EXPECT_EQ(TextOf(*box), L"42");

  box->Focus();
  box->OnChar('b');
  Type(*box, {GUIKEY_ESCAPE, GUIKEY_DIGIT0 + 7});
  EXPECT_EQ(TextOf(*box), L"42b");
  box->Focus();
  box->SetEditable(false);  // only an editable box takes letters
  box->OnChar('c');
  EXPECT_EQ(TextOf(*box), L"42b");
}

TEST_F(EditboxTest, ResetRestoresTheConstructorTextAndKeepsTheFocus) {
  auto box = Make(nullptr);
  box->Focus();
  Empty(*box);
  box->Reset();
  EXPECT_EQ(TextOf(*box), L"1.0");
  Type(*box, {GUIKEY_DIGIT0 + 1});
  EXPECT_EQ(TextOf(*box), L"1.01");

  auto named = Make(L"0.25");
  named->SetText(L"9");
  named->Reset();
  EXPECT_EQ(TextOf(*named), L"0.25");
}

TEST_F(EditboxTest, ClickFocusesOneBoxAndUnfocusesTheOthers) {
  cMenu menu(1, Ignore);
  auto* first =
      menu.Add(new cEditbox(1, D3DXVECTOR2(0, 0), D3DXVECTOR2(0.2f, 0.03f), D3DXVECTOR2(0, 0), L"1", nullptr, nullptr));
  auto* second = menu.Add(
      new cEditbox(2, D3DXVECTOR2(0, -0.1f), D3DXVECTOR2(0.2f, 0.03f), D3DXVECTOR2(0, 0), L"2", nullptr, nullptr));
  EXPECT_EQ(first->OnClick(0.1f, -0.01f), 0);
  EXPECT_EQ(first->OnHover(0.1f, -0.01f), 0);
  EXPECT_EQ(first->OnPress(0.1f, -0.01f), 0);
  menu.OnClick(0.2f, -0.1f);  // top-right corner of the second box
  menu.OnKey(GUIKEY_DIGIT0 + 5);
  EXPECT_EQ(TextOf(*first), L"1");
  EXPECT_EQ(TextOf(*second), L"25");

  second->SetVisible(false);  // a hidden box still loses its focus
  menu.OnClick(0.9f, 0.9f);
  second->SetVisible(true);
  menu.OnKey(GUIKEY_DIGIT0 + 5);
  EXPECT_EQ(TextOf(*second), L"25");
}

TEST_F(EditboxTest, CaretShowsForHalfOfEachCycleCountedFromConstruction) {
  auto box = Make(L"12");
  auto texts = TextsOf(*box);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, L"12");  // unfocused: no caret
  EXPECT_EQ(texts[0].format, static_cast<DWORD>(DT_WORDBREAK));

  box->Focus();
  EXPECT_EQ(TextsOf(*box)[0].text, L"12|");
  Advance(0.6);
  EXPECT_EQ(TextsOf(*box)[0].text, L"12");
  Advance(0.5);  // past one second: the cycle starts again
  EXPECT_EQ(TextsOf(*box)[0].text, L"12");
  Advance(0.1);
  EXPECT_EQ(TextsOf(*box)[0].text, L"12|");

  Empty(*box);
  EXPECT_EQ(TextsOf(*box)[0].text, L"|");
  Advance(0.7);
  EXPECT_TRUE(TextsOf(*box).empty());
}

TEST_F(EditboxTest, DrawsBackgroundAndTintedTextInItsRectangle) {
  auto box = Make(L"5");
  box->SetColor(10, 20, 30);
  box->SetAlpha(200);
  auto drawn = SpritesOf(*box);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].texture, &background);
  EXPECT_EQ(drawn[0].color, 0xC8FFFFFFu);
  EXPECT_FLOAT_EQ(drawn[0].x2, -0.07f + 0.18f);
  EXPECT_FLOAT_EQ(drawn[0].y2, 0.51f - 0.03f);
  const auto texts = TextsOf(*box);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].color, D3DCOLOR_ARGB(200, 10, 20, 30));
  // Left edge x + dx on a 1024-pixel display: (x * P11 + 1) * 512.
  EXPECT_EQ(texts[0].rect.left, static_cast<LONG>(((-0.07f + 0.01f) * (1.7320508f * 0.75f) + 1.0f) * 512.0f));

  box->SetVisible(false);
  EXPECT_TRUE(SpritesOf(*box).empty());
  EXPECT_TRUE(TextsOf(*box).empty());
}

TEST_F(EditboxTest, LongTextIsKeptAndDrawnWhole) {
  auto box = Make(nullptr);
  box->Focus();
  Empty(*box);
  for (int i = 0; i < 3000; ++i) box->OnKey(GUIKEY_DIGIT0 + i % 10);
  EXPECT_EQ(std::wcslen(box->GetText()), 3000u);
  const auto texts = TextsOf(*box);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text.size(), 3001u);  // with the caret
}

TEST(TextareaTest, DrawsItsTextWordWrappedInASquareBox) {
  platform::UseHeadlessBackend();
  cTextarea empty;
  EXPECT_EQ(empty.GetId(), 0);
  empty.DrawText();  // no font, no text: nothing
  EXPECT_EQ(empty.OnClick(0, 0), -1);

  cTextarea area(117, D3DXVECTOR2(-0.71f, -0.54f), 1.8f, L" ", nullptr);
  EXPECT_TRUE(area.HitTest(-0.71f + 1.8f, -0.54f - 1.8f));
  EXPECT_FALSE(area.HitTest(-0.72f, -0.6f));
  area.SetText(L"FLY MODE");
  EXPECT_STREQ(area.GetText(), L"FLY MODE");
  empty.Set(305, D3DXVECTOR2(0, 0), 0.2f, L"Info text", nullptr);
  EXPECT_EQ(empty.GetId(), 305);
  EXPECT_STREQ(empty.GetText(), L"Info text");
}

TEST_F(EditboxTest, TextareaTextUsesTheTintAndWordBreak) {
  cTextarea area(170, D3DXVECTOR2(-0.72f, 0.38f), 0.3f, L"Select new skybox", font.get());
  area.SetColor(255, 0, 0);
  auto texts = TextsOf(area);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, L"Select new skybox");
  EXPECT_EQ(texts[0].color, 0xFFFF0000u);
  EXPECT_EQ(texts[0].format, static_cast<DWORD>(DT_WORDBREAK));
  area.SetText(nullptr);
  EXPECT_TRUE(TextsOf(area).empty());
  area.SetText(L"x");
  area.SetVisible(false);
  EXPECT_TRUE(TextsOf(area).empty());
}

TEST_F(EditboxTest, WindowDrawsItsImageTintedOnlyWhenShownAndEnabled) {
  cWindow window(0, &background, D3DXVECTOR2(-0.15f, 0.15f), 0.3f, 0.2f);
  window.SetColor(255, 0, 0);
  auto drawn = SpritesOf(window);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].color, 0xFFFF0000u);
  EXPECT_FLOAT_EQ(drawn[0].y2, 0.15f - 0.2f);
  window.SetEnabled(false);
  EXPECT_TRUE(SpritesOf(window).empty());
  window.SetEnabled(true);
  window.SetImage(nullptr);
  EXPECT_TRUE(SpritesOf(window).empty());
  EXPECT_TRUE(window.HitTest(0.0f, 0.0f));  // still has a hit area
  window.SetPosition(1, 1);
  EXPECT_EQ(window.GetPosition()[0], 1.0f);
  EXPECT_EQ(window.GetPosition()[1], 1.0f);
}

}  // namespace
