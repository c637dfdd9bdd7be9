#include <gtest/gtest.h>

#include <string>

#include "platform/d3dx/FontFace.h"
#include "platform/d3dx/TextLayout.h"

using platform::d3dx::FontFace;
using platform::d3dx::TextLayout;

namespace {

class TextLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    face_ = FontFace::Create("arial", 16, false, false);
    ASSERT_NE(face_, nullptr);
  }

  int Width(const std::wstring& text) {
    int width = 0;
    unsigned previous = 0;
    for (wchar_t c : text) {
      const unsigned glyph = face_->GlyphIndex(static_cast<char32_t>(c));
      width += face_->Kerning(previous, glyph) + face_->Advance(glyph);
      previous = glyph;
    }
    return width;
  }

  // The characters of each line, rebuilt from the placed glyphs' baselines.
  std::vector<std::wstring> Lines(const TextLayout& layout, const std::wstring& text) {
    std::vector<std::wstring> lines;
    int baseline = INT32_MIN;
    size_t at = 0;
    for (const auto& glyph : layout.Glyphs()) {
      while (text[at] == L'\n' || face_->GlyphIndex(static_cast<char32_t>(text[at])) != glyph.glyph) ++at;
      if (glyph.baseline != baseline) lines.emplace_back();
      baseline = glyph.baseline;
      lines.back() += text[at++];
    }
    return lines;
  }

  std::unique_ptr<FontFace> face_;
};

}  // namespace

TEST(FontFace, FacesResolveToInstalledMetricCompatibleFonts) {
  for (const auto& [family, bold, file] : {std::tuple{"arial", false, "LiberationSans-Regular"},
                                           {"Tahoma", false, "DejaVuSans.ttf"},
                                           {"Arial", true, "LiberationSans-Bold"}}) {
    const auto face = FontFace::Create(family, 20, bold, false);
    ASSERT_NE(face, nullptr) << family;
    EXPECT_NE(face->File().find(file), std::string::npos) << face->File();
  }
  EXPECT_NE(FontFace::Create("No Such Family At All", 12, false, false), nullptr);  // falls back to a sans
}

TEST(FontFace, HeightIsTheCellHeight) {
  const auto cell = FontFace::Create("arial", 16, false, false);
  EXPECT_EQ(cell->LineHeight(), 16);
  EXPECT_EQ(cell->Ascent(), 13);  // Liberation Sans: win ascent 1854 of a 2288-unit cell
  EXPECT_EQ(FontFace::Create("arial", -16, false, false)->LineHeight(), 18);  // a 16-pixel em has an 18-pixel cell
  // The em of a 16-pixel cell is about 14 pixels: capitals are about 10 high.
  platform::d3dx::GlyphBitmap bitmap;
  ASSERT_TRUE(cell->Render(cell->GlyphIndex(U'H'), bitmap));
  EXPECT_GE(bitmap.height, 9);
  EXPECT_LE(bitmap.height, 11);
  EXPECT_EQ(bitmap.coverage.size(), static_cast<size_t>(bitmap.width * bitmap.height));
}

TEST_F(TextLayoutTest, SingleLineIsMeasuredWithAdvancesAndKerningAndEmptyTextHasNoLines) {
  const std::wstring text = L"AVA Tower";
  const TextLayout layout(*face_, text, RECT{10, 20, 10, 20}, DT_CALCRECT);
  EXPECT_EQ(std::tuple(layout.LineCount(), layout.Result()), std::tuple(1, 16));
  EXPECT_EQ(std::tuple(layout.Bounds().left, layout.Bounds().right, layout.Bounds().bottom),
            std::tuple(10, 10 + Width(text), 36));
  ASSERT_EQ(layout.Glyphs().size(), text.size());
  EXPECT_EQ(std::tuple(layout.Glyphs()[0].x, layout.Glyphs()[0].baseline), std::tuple(10, 20 + 13));
  EXPECT_EQ(layout.Glyphs()[1].x, 10 + Width(L"AV") - face_->Advance(face_->GlyphIndex(U'V')));
  const TextLayout empty(*face_, L"", RECT{5, 6, 50, 60}, DT_WORDBREAK);
  EXPECT_EQ(std::tuple(empty.LineCount(), empty.Result(), empty.Bounds().right), std::tuple(0, 0, 5));
  EXPECT_TRUE(empty.Glyphs().empty());
}

TEST_F(TextLayoutTest, WordBreakFillsLinesUpToTheWidth) {
  const std::wstring text = L"Statistical heightmap of the sea";
  const int width = Width(L"Statistical heightmap") + 2;
  const TextLayout layout(*face_, text, RECT{0, 0, width, 100}, DT_WORDBREAK);
  EXPECT_EQ(Lines(layout, text), (std::vector<std::wstring>{L"Statistical heightmap", L"of the sea"}));
  EXPECT_EQ(layout.Result(), 32);
  // 'o' starts the second line, the space is dropped.
  EXPECT_EQ(std::tuple(layout.Glyphs()[21].x, layout.Glyphs()[21].baseline), std::tuple(0, 16 + 13));
  EXPECT_EQ(layout.Bounds().right, Width(L"Statistical heightmap"));
  const TextLayout narrower(*face_, text, RECT{0, 0, width - 4, 100}, DT_WORDBREAK);
  EXPECT_EQ(Lines(narrower, text), (std::vector<std::wstring>{L"Statistical", L"heightmap of the", L"sea"}));
}

TEST_F(TextLayoutTest, LongWordsBreakWhereTheyMustAndNewlinesAlways) {
  const std::wstring word = L"Supercalifragilistic";
  const TextLayout layout(*face_, word, RECT{0, 0, 40, 0}, DT_WORDBREAK);
  EXPECT_GT(layout.LineCount(), 2);
  for (const std::wstring& line : Lines(layout, word))
    EXPECT_LE(Width(line), 40) << std::string(line.begin(), line.end());

  const std::wstring lines = L"one\ntwo  \n\nfour";
  const TextLayout explicitBreaks(*face_, lines, RECT{0, 0, 500, 0}, 0);
  EXPECT_EQ(explicitBreaks.LineCount(), 4);
  EXPECT_EQ(explicitBreaks.Bounds().right, Width(L"four"));  // trailing spaces take no width
  const TextLayout single(*face_, lines, RECT{0, 0, 20, 0}, DT_SINGLELINE | DT_WORDBREAK);
  EXPECT_EQ(std::tuple(single.LineCount(), single.Result()), std::tuple(1, 16));
}

TEST_F(TextLayoutTest, AlignmentMovesLinesInsideTheRectangle) {
  const int width = Width(L"Water");
  const RECT rect{100, 50, 300, 150};
  const TextLayout center(*face_, L"Water", rect, DT_CENTER | DT_VCENTER);
  EXPECT_EQ(std::tuple(center.Glyphs()[0].x, center.Glyphs()[0].baseline),
            std::tuple(100 + (200 - width) / 2, 50 + 42 + 13));
  EXPECT_EQ(center.Result(), 42 + 16);  // from the top of the rectangle to the bottom of the text
  const TextLayout right(*face_, L"Water", rect, DT_RIGHT | DT_BOTTOM);
  EXPECT_EQ(std::tuple(right.Glyphs()[0].x, right.Bounds().right, right.Bounds().top, right.Result()),
            std::tuple(300 - width, 300, 150 - 16, 100));
}
