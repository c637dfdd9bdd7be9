#include <gtest/gtest.h>

#include <array>

#include "GuiFixture.h"
#include "app/GUIKey.h"
#include "gui/cCombobox.h"
#include "gui/cEditbox.h"
#include "gui/cMenu.h"

namespace {

std::vector<int> events;
void Record(int eventId, iGUIComponent*) { events.push_back(eventId); }

constexpr float X = -0.2f, Y = 0.4f, S = 0.25f;

class ComboboxTest : public GuiFixture {
 protected:
  enum Image {
    kDropIdle,
    kDropOver,
    kDropPressed,
    kUpIdle,
    kUpOver,
    kUpPressed,
    kDownIdle,
    kDownOver,
    kDownPressed,
    kList,
    kPanel,
    kHighlight
  };

  void SetUp() override {
    GuiFixture::SetUp();
    events.clear();
    for (auto& image : images) image = std::make_unique<D3DTexture>(nullptr);
  }

  cCombobox* Make(int items) {
    auto* box = new cCombobox(302, 1019, D3DXVECTOR2(X, Y), S, font.get(), Img(kDropIdle), Img(kDropOver),
                              Img(kDropPressed), Img(kUpIdle), Img(kUpOver), Img(kUpPressed), Img(kDownIdle),
                              Img(kDownOver), Img(kDownPressed), Img(kList), Img(kPanel), Img(kHighlight));
    for (int i = 1; i <= items; ++i) box->AddItem(std::to_wstring(i).c_str());
    return box;
  }
  D3DTexture* Img(Image which) { return images[which].get(); }

  // Points worked out from the layout, independently of the widget.
  static constexpr float kDropX = X + 7 * S / 8 + S / 14, kDropY = Y - S / 14;
  static constexpr float kScrollX = X + 12 * S / 16;
  static constexpr float kUpY = Y - 3 * S / 16 - S / 16;
  static constexpr float kDownY = Y - 0.8125f * S - S / 16;
  static constexpr float RowTop(int k) { return Y - S / 8 - k * S / 12; }
  static constexpr float kRowX = X + S / 4;
  // Inside row k only (rows are s/12 apart and s/8 high).
  static constexpr float RowOnly(int k) { return RowTop(k) - S / 16; }
  // Inside rows k and k + 1.
  static constexpr float RowOverlap(int k) { return RowTop(k) - S / 10; }

  static void Open(cCombobox& box) {
    ASSERT_FALSE(box.IsOpen());
    box.OnClick(kDropX, kDropY);
    ASSERT_TRUE(box.IsOpen());
  }

  std::vector<D3DTexture*> DrawnImages(cCombobox& box) {
    std::vector<D3DTexture*> drawn;
    for (const auto& sprite : SpritesOf(box)) drawn.push_back(sprite.texture);
    return drawn;
  }

  std::vector<std::wstring> DrawnTexts(cCombobox& box) {
    std::vector<std::wstring> texts;
    for (const auto& text : TextsOf(box)) texts.push_back(text.text);
    return texts;
  }

  std::array<std::unique_ptr<D3DTexture>, 12> images;
};

TEST_F(ComboboxTest, ClosedAtFirstThenOpensWithScrollButtonsAndClosesAgain) {
  std::unique_ptr<cCombobox> box(Make(3));
  auto drawn = SpritesOf(*box);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].texture, Img(kPanel));
  EXPECT_FLOAT_EQ(drawn[0].x2, X + 7 * S / 8);
  EXPECT_FLOAT_EQ(drawn[0].y2, Y - S / 8);
  EXPECT_EQ(drawn[1].texture, Img(kDropIdle));
  EXPECT_FLOAT_EQ(drawn[1].x1, X + 7 * S / 8);
  EXPECT_FLOAT_EQ(drawn[1].y2, Y - S / 7);

  EXPECT_EQ(box->OnClick(kDropX, kDropY), -1);
  drawn = SpritesOf(*box);
  ASSERT_EQ(drawn.size(), 5u);
  EXPECT_EQ(drawn[1].texture, Img(kList));
  EXPECT_FLOAT_EQ(drawn[1].y1, Y - S / 8);
  EXPECT_FLOAT_EQ(drawn[1].y2, Y - S);
  EXPECT_EQ(drawn[2].texture, Img(kDropOver));  // the click frame
  EXPECT_EQ(drawn[3].texture, Img(kUpIdle));
  EXPECT_FLOAT_EQ(drawn[3].x1, X + 11 * S / 16);
  EXPECT_FLOAT_EQ(drawn[3].y1, Y - 3 * S / 16);
  EXPECT_EQ(drawn[4].texture, Img(kDownIdle));
  EXPECT_FLOAT_EQ(drawn[4].y1, Y - 0.8125f * S);

  box->OnClick(kDropX, kDropY);
  EXPECT_FALSE(box->IsOpen());
  EXPECT_EQ(DrawnImages(*box).size(), 2u);
}

TEST_F(ComboboxTest, DownButtonStopsWhenTheLastItemIsVisibleAndEightItemsNeverScroll) {
  std::unique_ptr<cCombobox> box(Make(10));
  Open(*box);
  for (int i = 0; i < 5; ++i) box->OnClick(kScrollX, kDownY);
  EXPECT_EQ(box->GetScrollOffset(), 2);
  Advance(1.0);
  EXPECT_EQ(DrawnTexts(*box), (std::vector<std::wstring>{L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10"}));
  for (int i = 0; i < 5; ++i) box->OnClick(kScrollX, kUpY);
  EXPECT_EQ(box->GetScrollOffset(), 0);

  std::unique_ptr<cCombobox> eight(Make(8));
  Open(*eight);
  eight->OnClick(kScrollX, kDownY);
  EXPECT_EQ(eight->GetScrollOffset(), 0);
}

TEST_F(ComboboxTest, PickingAnItemSelectsItClosesTheListAndReportsTheEvent) {
  std::unique_ptr<cCombobox> box(Make(10));
  Open(*box);
  box->OnClick(kScrollX, kDownY);
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(3)), 1019);
  EXPECT_EQ(box->GetSelected(), 4);  // offset 1 + row 3
  EXPECT_STREQ(box->GetSelectedText(), L"4");
  EXPECT_FALSE(box->IsOpen());
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(3)), -1);  // a closed list picks nothing
}

TEST_F(ComboboxTest, PointInTheOverlapOfTwoRowsPicksTheUpperOne) {
  std::unique_ptr<cCombobox> box(Make(10));
  for (int k = 1; k < 8; ++k) {
    Open(*box);
    EXPECT_EQ(box->OnClick(kRowX, RowOverlap(k)), 1019);
    EXPECT_EQ(box->GetSelected(), k);
  }
  // Row edges count as inside.
  Open(*box);
  box->OnClick(X + S / 16, RowTop(8) - S / 8);
  EXPECT_EQ(box->GetSelected(), 8);
}

TEST_F(ComboboxTest, RepickingTheSelectedItemReportsAgainWithoutRestartingItsFade) {
  std::unique_ptr<cCombobox> box(Make(5));
  Open(*box);
  box->OnClick(kRowX, RowOnly(2));
  Advance(1.0);
  auto texts = TextsOf(*box);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, L"2");
  EXPECT_EQ(AlphaOf(texts[0].color), 255u);

  Open(*box);
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(2)), 1019);
  EXPECT_EQ(AlphaOf(TextsOf(*box)[0].color), 255u);

  Open(*box);
  box->OnClick(kRowX, RowOnly(4));
  EXPECT_EQ(AlphaOf(TextsOf(*box)[0].color), 0u);  // a new pick fades in
}

TEST_F(ComboboxTest, TextsUseTheirColoursAndTheRowsOfTheList) {
  std::unique_ptr<cCombobox> box(Make(2));
  box->SetListTextColor(0, 255, 0);
  box->SetSelectedTextColor(0, 0, 255);
  box->Select(2);
  Open(*box);
  Advance(1.0);
  SpritesOf(*box);  // drawing the images moves the list's fade on
  const auto texts = TextsOf(*box);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, L"2");
  EXPECT_EQ(texts[0].color, 0xFF0000FFu);
  EXPECT_EQ(texts[1].text, L"1");
  EXPECT_EQ(texts[1].color, 0xFF00FF00u);
  EXPECT_EQ(texts[2].text, L"2");
  EXPECT_EQ(texts[2].format, 0u);
  // Rows are s/12 apart: in pixels on a 768-line display, 768 * P22 * s/24.
  EXPECT_NEAR(texts[2].rect.top - texts[1].rect.top, 768 * 1.7320508f * S / 24, 1.0);
  // The selected text is not centred: it hangs from just below the panel's top
  // (y - s/64) in a box reaching down to y - s/8, drawn top-aligned.
  const auto pixelRow = [](float y) { return 384.0f - 384.0f * 1.7320508f * y; };
  EXPECT_NEAR(texts[0].rect.top, pixelRow(Y - S / 64), 1.0);
  EXPECT_NEAR(texts[0].rect.bottom, pixelRow(Y - S / 8), 1.0);
  EXPECT_EQ(texts[0].format, 0u);
}

TEST_F(ComboboxTest, EscapeClosesTheListAndHidesTheHighlight) {
  std::unique_ptr<cCombobox> box(Make(5));
  Open(*box);
  box->OnHover(kRowX, RowOnly(1));
  EXPECT_EQ(DrawnImages(*box).size(), 6u);  // with the highlight
  EXPECT_EQ(box->OnKey(GUIKEY_ESCAPE), -1);
  EXPECT_FALSE(box->IsOpen());
  Open(*box);
  EXPECT_EQ(DrawnImages(*box).size(), 5u);
}

TEST_F(ComboboxTest, HighlightFollowsTheHoveredRowAndFadesIn) {
  std::unique_ptr<cCombobox> box(Make(5));
  Open(*box);
  Advance(1.0);
  box->OnHover(kRowX, RowOnly(3));
  auto drawn = SpritesOf(*box);
  ASSERT_EQ(drawn.size(), 6u);
  EXPECT_EQ(drawn[5].texture, Img(kHighlight));
  EXPECT_FLOAT_EQ(drawn[5].x1, X + S / 16 - S / 64);
  EXPECT_FLOAT_EQ(drawn[5].y1, RowTop(3));
  // s/2 by s/12 from the row's top: the bar covers the upper part of the s/8
  // high row, where its top-aligned text is.
  EXPECT_NEAR(drawn[5].x2 - drawn[5].x1, S / 2, 1e-6f);
  EXPECT_NEAR(drawn[5].y1 - drawn[5].y2, S / 12, 1e-6f);
  EXPECT_EQ(AlphaOf(drawn[5].color), 0u);
  Advance(0.125);
  box->OnHover(kRowX, RowOnly(3));
  EXPECT_EQ(AlphaOf(SpritesOf(*box)[5].color), 127u);

  box->OnHover(kRowX + 0.5f, RowOnly(3));  // off the rows
  EXPECT_EQ(DrawnImages(*box).size(), 5u);
}

TEST_F(ComboboxTest, ClickElsewhereInTheMenuClosesTheList) {
  cMenu menu(303, Record);
  auto* box = menu.Add(Make(3));
  // An edit box lying under row 3 of the open list.
  auto* below = menu.Add(new cEditbox(0, D3DXVECTOR2(X, RowTop(3) + 0.005f), D3DXVECTOR2(0.3f, 0.03f),
                                      D3DXVECTOR2(0.01f, 0.005f), L"7", nullptr, font.get()));
  menu.OnClick(kDropX, kDropY);
  ASSERT_TRUE(box->IsOpen());
  events.clear();

  // Both take the click, in insertion order: the list picks, the box focuses.
  menu.OnClick(kRowX, RowOnly(3));
  EXPECT_EQ(events, (std::vector<int>{1019, 0}));
  EXPECT_FALSE(box->IsOpen());
  below->OnKey(GUIKEY_BACKSPACE);
  EXPECT_EQ(below->GetText(), nullptr);

  menu.OnClick(kDropX, kDropY);
  ASSERT_TRUE(box->IsOpen());
  menu.OnClick(0.9f, -0.9f);
  EXPECT_FALSE(box->IsOpen());
}

TEST_F(ComboboxTest, EmptyRowsNeverReportTheEvent) {
  std::unique_ptr<cCombobox> box(Make(0));
  Open(*box);
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(box->OnClick(kRowX, RowOnly(k)), -1);
  EXPECT_EQ(box->GetSelected(), -1);
  EXPECT_TRUE(TextsOf(*box).empty());
  EXPECT_EQ(DrawnImages(*box).size(), 5u);

  // Rows below the last item pick nothing either.
  box->AddItem(L"only");
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(2)), -1);
  EXPECT_TRUE(box->IsOpen());
}

TEST_F(ComboboxTest, SelectionByIndexTextAndValue) {
  std::unique_ptr<cCombobox> box(Make(0));
  box->Select(1);
  EXPECT_EQ(box->GetSelected(), -1);  // nothing to select
  EXPECT_EQ(box->GetSelectedText(), nullptr);
  EXPECT_EQ(box->GetSelectedValue(), 1.0f);

  box->AddItem(L"512");
  box->AddItem(L"2048");
  box->AddItem(L"800x600x60 hz");
  box->Select(4);
  box->Select(0);
  EXPECT_EQ(box->GetSelected(), -1);
  box->SelectByText(L"2048");
  EXPECT_EQ(box->GetSelected(), 2);
  EXPECT_EQ(box->GetSelectedValue(), 2048.0f);
  box->SelectByText(L"204");  // exact comparison only
  EXPECT_EQ(box->GetSelected(), 2);
  box->Select(3);
  EXPECT_EQ(box->GetSelectedValue(), 800.0f);
  box->Reset();
  EXPECT_EQ(box->GetSelected(), -1);
  EXPECT_EQ(box->GetSelectedValue(), 1.0f);

  const std::wstring longText(5000, L'w');  // kept whole, however long
  box->AddItem(longText.c_str());
  box->Select(4);
  EXPECT_EQ(box->GetSelectedText(), longText);
  EXPECT_EQ(TextsOf(*box)[0].text, longText);
}

TEST_F(ComboboxTest, ClearingKeepsTheScrollOffsetButDrawsOnlyExistingItems) {
  std::unique_ptr<cCombobox> box(Make(12));
  Open(*box);
  for (int i = 0; i < 4; ++i) box->OnClick(kScrollX, kDownY);
  box->Select(12);
  box->ClearItems();
  EXPECT_EQ(box->GetSelected(), -1);
  EXPECT_EQ(box->GetScrollOffset(), 4);
  for (int i = 1; i <= 6; ++i) box->AddItem((L"save" + std::to_wstring(i)).c_str());
  Advance(1.0);
  EXPECT_EQ(DrawnTexts(*box), (std::vector<std::wstring>{L"save5", L"save6"}));
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(3)), -1);
  box->OnClick(kScrollX, kUpY);
  EXPECT_EQ(box->OnClick(kRowX, RowOnly(1)), 1019);
  EXPECT_EQ(box->GetSelected(), 4);
}

}  // namespace
