// Places text in a rectangle as ID3DXFont::DrawTextW does: explicit line
// breaks, DT_WORDBREAK at spaces (a word wider than the rectangle breaks where
// it must), DT_SINGLELINE, horizontal and vertical alignment. Pixels throughout.
#pragma once

#include <string_view>
#include <vector>

#include "platform/d3dx/FontFace.h"
#include "platform/d3dx9.h"

namespace platform::d3dx {

struct PlacedGlyph {
  unsigned glyph;
  int x;  // pen position
  int baseline;
};

class TextLayout {
 public:
  TextLayout(FontFace& face, std::wstring_view text, const RECT& rect, DWORD format);

  const std::vector<PlacedGlyph>& Glyphs() const { return glyphs_; }
  // The box the lines cover, as DT_CALCRECT reports it.
  const RECT& Bounds() const { return bounds_; }
  int LineCount() const { return static_cast<int>(lines_.size()); }
  // What DrawTextW returns: the text height, or with DT_VCENTER / DT_BOTTOM the
  // distance from the rectangle's top to the bottom of the text.
  int Result() const { return result_; }

 private:
  struct Line {
    size_t begin, end;  // characters, trailing spaces included
    int width;          // without the trailing spaces
  };

  unsigned GlyphOf(wchar_t character) const;
  void BreakParagraph(size_t begin, size_t end, int maxWidth);
  int Measure(size_t begin, size_t end);
  void Place(const RECT& rect, DWORD format);

  FontFace& face_;
  std::wstring_view text_;
  std::vector<Line> lines_;
  std::vector<PlacedGlyph> glyphs_;
  RECT bounds_{};
  int result_ = 0;
};

}  // namespace platform::d3dx
