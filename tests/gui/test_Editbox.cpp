#include <gtest/gtest.h>

#include <cfloat>

#include "GuiFixture.h"
#include "gui/GUIKey.h"
#include "gui/cEditbox.h"
#include "gui/cMenu.h"

namespace {

class EditboxTest : public GuiFixture {
 protected:
  std::unique_ptr<cEditbox> Make(const wchar_t* text) {
    return std::make_unique<cEditbox>(138, D3DXVECTOR2(-0.07f, 0.51f), D3DXVECTOR2(0.18f, 0.03f),
                                      D3DXVECTOR2(0.01f, 0.005f), text, &background, font.get());
  }

  static void Type(cEditbox& box, std::initializer_list<unsigned> codes) {
    for (unsigned code : codes) EXPECT_EQ(box.OnKey(code), -1);
  }
  static void Empty(cEditbox& box) {
    while (box.GetText()) box.OnKey(GUIKEY_BACKSPACE);
  }
  static std::wstring TextOf(const cEditbox& box) { return box.GetText() ? box.GetText() : L"(null)"; }

  static constexpr unsigned k0 = GUIKEY_DIGIT0;
  D3DTexture background{nullptr};
};

TEST_F(EditboxTest, TypingBackspaceAndMinusInAFocusedBox) {
  auto box = Make(nullptr);
  EXPECT_EQ(TextOf(*box), L"1.0");
  box->Focus();
  Type(*box, {GUIKEY_MINUS});  // a minus only starts an empty box
  Type(*box, {GUIKEY_BACKSPACE, GUIKEY_BACKSPACE, GUIKEY_BACKSPACE});
  EXPECT_EQ(box->GetText(), nullptr);
  EXPECT_EQ(box->GetValue(), 1.0f);
  Type(*box, {GUIKEY_BACKSPACE});  // nothing left to delete
  Type(*box, {GUIKEY_MINUS, k0 + 1, GUIKEY_MINUS, k0 + 2, GUIKEY_PERIOD, k0 + 5});
  EXPECT_EQ(TextOf(*box), L"-12.5");
  EXPECT_EQ(box->GetValue(), -12.5f);
  Type(*box, {GUIKEY_PERIOD, k0 + 9});  // the form is not checked
  EXPECT_EQ(TextOf(*box), L"-12.5.9");
  EXPECT_EQ(box->GetValue(), -12.5f);

  auto empty = Make(L"");  // an empty but present text stays so on Backspace
  empty->Focus();
  Type(*empty, {GUIKEY_BACKSPACE});
  EXPECT_EQ(TextOf(*empty), L"");
  EXPECT_EQ(empty->GetValue(), 0.0f);
}

TEST_F(EditboxTest, ValueReadsOnlyTheLeadingDecimalNumber) {
  auto box = Make(L"0");
  const std::pair<const wchar_t*, float> cases[] = {
      {L"myengine", 0.0f}, {L"-", 0.0f},        {L"3.25abc", 3.25f},     {L"nan", 0.0f},
      {L"inf", 0.0f},      {L"infinity", 0.0f}, {L"0x1f", 0.0f},         {L"-1e400", -FLT_MAX},
      {L"1e3", 1000.0f},   {nullptr, 1.0f},     {L"99999999999999999999999999999999999999999999", FLT_MAX}};
  for (auto [text, value] : cases) {
    box->SetText(text);
    EXPECT_EQ(box->GetValue(), value) << (text ? text : L"null");
  }
}

TEST_F(EditboxTest, KeysAndLettersNeedFocusAndLettersAnEditableBox) {
  auto box = Make(L"42");
  box->SetEditable(true);
  Type(*box, {GUIKEY_BACKSPACE, k0 + 7, GUIKEY_PERIOD, GUIKEY_MINUS});
  EXPECT_EQ(box->OnChar('x'), -1);
  EXPECT_EQ(TextOf(*box), L"42");

  box->Focus();
  box->OnChar('b');
  Type(*box, {GUIKEY_ESCAPE, k0 + 7});  // Escape drops the focus
  EXPECT_EQ(TextOf(*box), L"42b");
  box->Focus();
  box->SetEditable(false);
  box->OnChar('c');
  EXPECT_EQ(TextOf(*box), L"42b");
}

TEST_F(EditboxTest, ResetRestoresTheConstructorTextAndKeepsTheFocus) {
  auto box = Make(nullptr);
  box->Focus();
  Empty(*box);
  box->Reset();
  EXPECT_EQ(TextOf(*box), L"1.0");
  Type(*box, {k0 + 1});
  EXPECT_EQ(TextOf(*box), L"1.01");

  auto named = Make(L"0.25");
  named->SetText(L"9");
  named->Reset();
  EXPECT_EQ(TextOf(*named), L"0.25");
}

TEST_F(EditboxTest, ClickFocusesOneBoxAndUnfocusesTheOthers) {
  cMenu menu(1, Record);
  auto add = [&](const wchar_t* text, float y) {
    return menu.Add(new cEditbox(0, D3DXVECTOR2(0, y), D3DXVECTOR2(0.2f, 0.03f), D3DXVECTOR2(0, 0), text, nullptr,
                                 nullptr));
  };
  auto* first = add(L"1", 0.0f);
  auto* second = add(L"2", -0.1f);
  menu.OnClick(0.1f, -0.01f);
  menu.OnClick(0.2f, -0.1f);  // top-right corner of the second box
  menu.OnKey(k0 + 5);
  EXPECT_EQ(TextOf(*first), L"1");
  EXPECT_EQ(TextOf(*second), L"25");
  EXPECT_EQ(events.front().first, 0);

  second->SetVisible(false);  // a hidden box still loses its focus
  menu.OnClick(0.9f, 0.9f);
  second->SetVisible(true);
  menu.OnKey(k0 + 5);
  EXPECT_EQ(TextOf(*second), L"25");
}

TEST_F(EditboxTest, CaretShowsForHalfOfEachCycleCountedFromConstruction) {
  auto box = Make(L"12");
  EXPECT_EQ(TextsOf(*box).at(0).text, L"12");  // unfocused: no caret
  box->Focus();
  for (auto [step, text] : {std::pair{0.0, L"12|"}, {0.6, L"12"}, {0.5, L"12"}, {0.1, L"12|"}}) {
    Advance(step);  // the cycle restarts past one second
    EXPECT_EQ(TextsOf(*box).at(0).text, text) << step;
  }
  Empty(*box);
  EXPECT_EQ(TextsOf(*box).at(0).text, L"|");
  Advance(0.7);
  EXPECT_TRUE(TextsOf(*box).empty());
}

TEST_F(EditboxTest, DrawsTintedTextFromItsOffsetOnlyWhenShown) {
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
}

TEST_F(EditboxTest, LongTextIsKeptAndDrawnWhole) {
  auto box = Make(nullptr);
  box->Focus();
  Empty(*box);
  for (int i = 0; i < 3000; ++i) box->OnKey(k0 + i % 10);
  EXPECT_EQ(std::wcslen(box->GetText()), 3000u);
  EXPECT_EQ(TextsOf(*box).at(0).text.size(), 3001u);  // with the caret
}

}  // namespace
