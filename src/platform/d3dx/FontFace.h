// A FreeType face found through fontconfig and sized as a Direct3D font: a
// positive height is the character cell (ascent + descent) in pixels, a
// negative one the em size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// clang-format off
#include <ft2build.h>
#include FT_FREETYPE_H
// clang-format on

namespace platform::d3dx {

// A glyph's coverage, one byte per pixel, with its offset from the pen
// position on the baseline (left, and up to the top row).
struct GlyphBitmap {
  int width = 0;
  int height = 0;
  int left = 0;
  int top = 0;
  std::vector<uint8_t> coverage;
};

class FontFace {
 public:
  // Null when neither the family nor any sans-serif font can be loaded.
  static std::unique_ptr<FontFace> Create(const std::string& family, int height, bool bold, bool italic);
  // The installed family a face name stands for ("arial" -> "Liberation Sans").
  static std::string SubstituteFamily(const std::string& family);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const std::string& File() const { return file_; }
  int LineHeight() const { return lineHeight_; }
  int Ascent() const { return ascent_; }

  unsigned GlyphIndex(char32_t character) const;
  // Whole pixels, as the hinted glyphs are drawn.
  int Advance(unsigned glyph);
  int Kerning(unsigned left, unsigned right) const;
  bool Render(unsigned glyph, GlyphBitmap& bitmap) const;

 private:
  FontFace(FT_Face face, std::string file) : face_(face), file_(std::move(file)) {}
  bool SetCellHeight(int height);

  FT_Face face_;
  std::string file_;
  int lineHeight_ = 0;
  int ascent_ = 0;
  std::unordered_map<unsigned, int> advances_;
};

}  // namespace platform::d3dx
