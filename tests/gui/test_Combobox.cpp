#include <gtest/gtest.h>

#include <array>

#include "GuiFixture.h"
#include "gui/GUIKey.h"
#include "gui/cCombobox.h"
#include "gui/cEditbox.h"
#include "gui/cMenu.h"

namespace {

// Points worked out from the layout, independently of the widget.
constexpr float X = -0.2f, Y = 0.4f, S = 0.25f;
constexpr float kDropX = X + 7 * S / 8 + S / 14, kDropY = Y - S / 14;
constexpr float kScrollX = X + 12 * S / 16, kUpY = Y - 3 * S / 16 - S / 16, kDownY = Y - 0.8125f * S - S / 16;
constexpr float kRowX = X + S / 4;
constexpr float RowTop(int k) { return Y - S / 8 - k * S / 12; }
constexpr float RowOnly(int k) { return RowTop(k) - S / 16; }     // inside row k only
constexpr float RowOverlap(int k) { return RowTop(k) - S / 10; }  // inside rows k and k + 1

class ComboboxTest : public GuiFixture {
 protected:
  enum { kDropIdle, kDropOver, kUpIdle = 3, kDownIdle = 6, kList = 9, kPanel, kHighlight };
  void SetUp() override {
    GuiFixture::SetUp();
    for (auto& image : images) image = std::make_unique<D3DTexture>(nullptr);
  }
  D3DTexture* Img(int which) { return images[which].get(); }
  unsigned SelectedAlpha(cCombobox& box) { return AlphaOf(TextsOf(box).at(0).color); }
  cCombobox* New(int items) {
    auto* box = new cCombobox(302, 1019, D3DXVECTOR2(X, Y), S, font.get(), Img(0), Img(1), Img(2), Img(3), Img(4),
                              Img(5), Img(6), Img(7), Img(8), Img(9), Img(10), Img(11));
    for (int i = 1; i <= items; ++i) box->AddItem(std::to_wstring(i).c_str());
    return box;
  }
  std::unique_ptr<cCombobox> Make(int items) { return std::unique_ptr<cCombobox>(New(items)); }
  static void Open(cCombobox& box) {
    ASSERT_FALSE(box.IsOpen());
    box.OnClick(kDropX, kDropY);
    ASSERT_TRUE(box.IsOpen());
  }
  static void Scroll(cCombobox& box, float buttonY, int clicks) {
    for (int i = 0; i < clicks; ++i) box.OnClick(kScrollX, buttonY);
  }
  std::array<std::unique_ptr<D3DTexture>, 12> images;
};

TEST_F(ComboboxTest, ClosedAtFirstThenOpensWithScrollButtonsAndClosesAgain) {
  auto box = Make(3);
  auto drawn = SpritesOf(*box);
  ASSERT_EQ(drawn.size(), 2u);
  ExpectSprite(drawn[0], Img(kPanel), X, Y, X + 7 * S / 8, Y - S / 8);
  ExpectSprite(drawn[1], Img(kDropIdle), X + 7 * S / 8, Y, X + 7 * S / 8 + S / 7, Y - S / 7);
  EXPECT_EQ(box->OnClick(kDropX, kDropY), -1);
  drawn = SpritesOf(*box);
  ASSERT_EQ(drawn.size(), 5u);
  ExpectSprite(drawn[1], Img(kList), X, Y - S / 8, X + 7 * S / 8, Y - S);
  EXPECT_EQ(drawn[2].texture, Img(kDropOver));  // the click frame
  ExpectSprite(drawn[3], Img(kUpIdle), X + 11 * S / 16, Y - 3 * S / 16, X + 13 * S / 16, Y - 5 * S / 16);
  ExpectSprite(drawn[4], Img(kDownIdle), X + 11 * S / 16, Y - 0.8125f * S, X + 13 * S / 16, Y - 0.9375f * S);
  box->OnClick(kDropX, kDropY);
  EXPECT_EQ(SpritesOf(*box).size(), 2u);
}

TEST_F(ComboboxTest, ScrollingStopsAtTheLastItemAndRowsPickTheUpperOfTwoAndCountTheirEdges) {
  auto box = Make(10);
  Open(*box);
  Scroll(*box, kDownY, 5);
  EXPECT_EQ(box->GetScrollOffset(), 2);
  Advance(1.0);
  EXPECT_EQ(DrawnTexts(*box), (std::vector<std::wstring>{L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10"}));
  Scroll(*box, kUpY, 5);
  EXPECT_EQ(box->GetScrollOffset(), 0);
  box->OnClick(kScrollX, kDownY);
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(3)), 1019);
  EXPECT_STREQ(box->GetSelectedText(), L"4");  // offset 1 + row 3
  EXPECT_FALSE(box->IsOpen());
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(3)), -1);  // a closed list picks nothing
  for (int k = 1; k < 8; ++k) {                    // a point in two rows picks the upper one
    Open(*box);
    EXPECT_EQ(box->OnClick(kRowX, RowOverlap(k)), 1019);
    EXPECT_EQ(box->GetSelected(), 1 + k);
  }
  Open(*box);
  box->OnClick(X + S / 16, RowTop(8) - S / 8);  // edges count
  EXPECT_EQ(box->GetSelected(), 1 + 8);
  auto eight = Make(8);
  Open(*eight);
  eight->OnClick(kScrollX, kDownY);
  EXPECT_EQ(eight->GetScrollOffset(), 0);
}

TEST_F(ComboboxTest, RepickingTheSelectedItemReportsAgainWithoutRestartingItsFade) {
  auto box = Make(5);
  Open(*box);
  box->OnClick(kRowX, RowOnly(2));
  Advance(1.0);
  EXPECT_EQ(SelectedAlpha(*box), 255u);
  Open(*box);
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(2)), 1019);
  EXPECT_EQ(SelectedAlpha(*box), 255u);
  Open(*box);
  box->OnClick(kRowX, RowOnly(4));
  EXPECT_EQ(SelectedAlpha(*box), 0u);  // a new pick fades in
}

TEST_F(ComboboxTest, TextsUseTheirColoursAndTheRowsOfTheList) {
  auto box = Make(2);
  box->SetListTextColor(0, 255, 0);
  box->SetSelectedTextColor(0, 0, 255);
  box->Select(2);
  Open(*box);
  Advance(1.0);
  SpritesOf(*box);  // drawing the images moves the list's fade on
  const auto texts = TextsOf(*box);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(std::tuple(texts[0].text, texts[0].color, texts[1].text, texts[1].color),
            std::tuple(std::wstring(L"2"), 0xFF0000FFu, std::wstring(L"1"), 0xFF00FF00u));
  EXPECT_EQ(texts[0].format | texts[2].format, 0u);
  // In pixels on a 768-line display, y maps to 384 - 384 * P22 * y: rows are
  // s/12 apart, and the selected text spans y - s/64 to y - s/8.
  const auto pixelRow = [](float y) { return 384.0f - 384.0f * 1.7320508f * y; };
  EXPECT_NEAR(texts[2].rect.top - texts[1].rect.top, pixelRow(0) - pixelRow(S / 12), 1.0);
  EXPECT_NEAR(texts[0].rect.top, pixelRow(Y - S / 64), 1.0);
  EXPECT_NEAR(texts[0].rect.bottom, pixelRow(Y - S / 8), 1.0);
}

TEST_F(ComboboxTest, HighlightFollowsTheHoveredRowFadesInAndEscapeHidesIt) {
  auto box = Make(5);
  Open(*box);
  Advance(1.0);
  box->OnHover(kRowX, RowOnly(3));
  auto drawn = SpritesOf(*box);
  ASSERT_EQ(drawn.size(), 6u);
  // s/2 by s/12 from the row's top, over the row's top-aligned text.
  ExpectSprite(drawn[5], Img(kHighlight), X + S / 16 - S / 64, RowTop(3), X + S / 16 - S / 64 + S / 2,
               RowTop(3) - S / 12);
  EXPECT_EQ(AlphaOf(drawn[5].color), 0u);
  Advance(0.125);
  box->OnHover(kRowX, RowOnly(3));
  EXPECT_EQ(AlphaOf(SpritesOf(*box).at(5).color), 127u);
  box->OnHover(kRowX + 0.5f, RowOnly(3));  // off the rows
  EXPECT_EQ(SpritesOf(*box).size(), 5u);
  box->OnHover(kRowX, RowOnly(1));
  EXPECT_EQ(box->OnKey(GUIKEY_ESCAPE), -1);
  EXPECT_FALSE(box->IsOpen());
  Open(*box);
  EXPECT_EQ(SpritesOf(*box).size(), 5u);
}

TEST_F(ComboboxTest, ClickElsewhereInTheMenuClosesTheList) {
  cMenu menu(303, Record);
  auto* box = menu.Add(New(3));
  // An edit box lying under row 3 of the open list.
  auto* below = menu.Add(new cEditbox(0, D3DXVECTOR2(X, RowTop(3) + 0.005f), D3DXVECTOR2(0.3f, 0.03f),
                                      D3DXVECTOR2(0.01f, 0.005f), L"7", nullptr, font.get()));
  menu.OnClick(kDropX, kDropY);
  ASSERT_TRUE(box->IsOpen());
  events.clear();
  menu.OnClick(kRowX, RowOnly(3));  // both take it in insertion order: the list picks, the box focuses
  EXPECT_EQ(EventIds(), (std::vector<int>{1019, 0}));
  EXPECT_FALSE(box->IsOpen());
  below->OnKey(GUIKEY_BACKSPACE);
  EXPECT_EQ(below->GetText(), nullptr);
  menu.OnClick(kDropX, kDropY);
  ASSERT_TRUE(box->IsOpen());
  menu.OnClick(0.9f, -0.9f);
  EXPECT_FALSE(box->IsOpen());
}

TEST_F(ComboboxTest, SelectionByIndexTextAndValue) {
  auto box = Make(0);
  box->Select(1);  // nothing to select
  EXPECT_EQ(std::tuple(box->GetSelectedText(), box->GetSelectedValue()), std::tuple(nullptr, 1.0f));
  for (const wchar_t* item : {L"512", L"2048", L"800x600x60 hz"}) box->AddItem(item);
  box->Select(4);
  box->Select(0);
  EXPECT_EQ(box->GetSelected(), -1);
  box->SelectByText(L"2048");
  box->SelectByText(L"204");  // exact comparison only
  EXPECT_EQ(box->GetSelectedValue(), 2048.0f);
  box->Select(3);
  EXPECT_EQ(box->GetSelectedValue(), 800.0f);
  box->Reset();
  EXPECT_EQ(box->GetSelected(), -1);
  const std::wstring longText(5000, L'w');  // kept whole, however long
  box->AddItem(longText.c_str());
  box->Select(4);
  EXPECT_EQ(TextsOf(*box).at(0).text, longText);
}

TEST_F(ComboboxTest, ClearingKeepsTheScrollOffsetButDrawsAndPicksOnlyExistingItems) {
  auto box = Make(12);
  Open(*box);
  Scroll(*box, kDownY, 4);
  box->Select(12);
  box->ClearItems();
  EXPECT_EQ(box->GetSelected(), -1);
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(box->OnClick(kRowX, RowOnly(k)), -1);  // empty rows never report
  EXPECT_TRUE(TextsOf(*box).empty());
  for (int i = 1; i <= 6; ++i) box->AddItem((L"save" + std::to_wstring(i)).c_str());
  Advance(1.0);
  EXPECT_EQ(DrawnTexts(*box), (std::vector<std::wstring>{L"save5", L"save6"}));
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(3)), -1);
  box->OnClick(kScrollX, kUpY);
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(1)), 1019);
  EXPECT_EQ(box->GetSelected(), 4);
}

}  // namespace
