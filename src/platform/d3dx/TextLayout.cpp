#include "platform/d3dx/TextLayout.h"

#include <algorithm>

namespace platform::d3dx {

namespace {

// Control characters other than tabs take no room and draw nothing.
bool Skipped(wchar_t c) { return c < 0x20 && c != L'\t'; }

// Far beyond any screen, and close enough to 0 that widths and centres stay in int range.
constexpr LONG kFar = 1 << 28;

RECT Bounded(const RECT& rect) {
  const auto bound = [](LONG v) { return std::clamp<LONG>(v, -kFar, kFar); };
  return {bound(rect.left), bound(rect.top), bound(rect.right), bound(rect.bottom)};
}

}  // namespace

TextLayout::TextLayout(FontFace& face, std::wstring_view text, const RECT& unbounded, DWORD format)
    : face_(face), text_(text) {
  const RECT rect = Bounded(unbounded);
  const bool singleLine = (format & DT_SINGLELINE) != 0;
  const int maxWidth = (format & DT_WORDBREAK) && !singleLine ? rect.right - rect.left : INT32_MAX;
  if (text.empty()) {
    bounds_ = {rect.left, rect.top, rect.left, rect.top};
    return;
  }
  for (size_t begin = 0;;) {
    const size_t newline = singleLine ? std::wstring_view::npos : text.find(L'\n', begin);
    const size_t end = newline == std::wstring_view::npos ? text.size() : newline;
    BreakParagraph(begin, end, maxWidth);
    if (newline == std::wstring_view::npos) break;
    begin = newline + 1;
  }
  Place(rect, format);
}

// Tabs show as spaces.
unsigned TextLayout::GlyphOf(wchar_t character) const {
  return face_.GlyphIndex(character == L'\t' ? U' ' : static_cast<char32_t>(character));
}

int TextLayout::Measure(size_t begin, size_t end) {
  int width = 0;
  unsigned previous = 0;
  for (size_t i = begin; i < end; ++i) {
    if (Skipped(text_[i])) continue;
    const unsigned glyph = GlyphOf(text_[i]);
    width += face_.Kerning(previous, glyph) + face_.Advance(glyph);
    previous = glyph;
  }
  return width;
}

// Greedy filling: a line ends at the last space before the text gets wider
// than `maxWidth`; the spaces there belong to no line.
void TextLayout::BreakParagraph(size_t begin, size_t end, int maxWidth) {
  size_t lineStart = begin;
  do {
    size_t lineEnd = end;
    size_t lastBreak = std::wstring_view::npos;
    int pen = 0;
    unsigned previous = 0;
    for (size_t i = lineStart; i < end; ++i) {
      if (Skipped(text_[i])) continue;
      const unsigned glyph = GlyphOf(text_[i]);
      pen += face_.Kerning(previous, glyph) + face_.Advance(glyph);
      previous = glyph;
      if (text_[i] == L' ') {
        if (i > lineStart && text_[i - 1] != L' ') lastBreak = i;
      } else if (pen > maxWidth && i > lineStart) {
        lineEnd = lastBreak != std::wstring_view::npos ? lastBreak : i;
        break;
      }
    }
    size_t trimmed = lineEnd;
    while (trimmed > lineStart && (text_[trimmed - 1] == L' ' || Skipped(text_[trimmed - 1]))) --trimmed;
    lines_.push_back({lineStart, lineEnd, Measure(lineStart, trimmed)});
    lineStart = lineEnd;
    if (lineEnd < end) {
      while (lineStart < end && text_[lineStart] == L' ') ++lineStart;
    }
  } while (lineStart < end);
}

void TextLayout::Place(const RECT& rect, DWORD format) {
  const int lineHeight = face_.LineHeight();
  const int height = lineHeight * static_cast<int>(lines_.size());
  int top = rect.top;
  if (format & DT_BOTTOM) {
    top = rect.bottom - height;
  } else if (format & DT_VCENTER) {
    top = rect.top + (rect.bottom - rect.top - height) / 2;
  }
  result_ = format & (DT_BOTTOM | DT_VCENTER) ? top + height - rect.top : height;
  bounds_ = {INT32_MAX, top, INT32_MIN, top + height};
  for (size_t n = 0; n < lines_.size(); ++n) {
    const Line& line = lines_[n];
    int x = rect.left;
    if (format & DT_RIGHT) {
      x = rect.right - line.width;
    } else if (format & DT_CENTER) {
      x = rect.left + (rect.right - rect.left - line.width) / 2;
    }
    bounds_.left = std::min<LONG>(bounds_.left, x);
    bounds_.right = std::max<LONG>(bounds_.right, x + line.width);
    const int baseline = top + static_cast<int>(n) * lineHeight + face_.Ascent();
    unsigned previous = 0;
    for (size_t i = line.begin; i < line.end; ++i) {
      if (Skipped(text_[i])) continue;
      const unsigned glyph = GlyphOf(text_[i]);
      x += face_.Kerning(previous, glyph);
      glyphs_.push_back({glyph, x, baseline});
      x += face_.Advance(glyph);
      previous = glyph;
    }
  }
}

}  // namespace platform::d3dx
