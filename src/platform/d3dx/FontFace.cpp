#include "platform/d3dx/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include FT_TRUETYPE_TABLES_H

namespace platform::d3dx {

namespace {

constexpr int kDefaultCellHeight = 16;

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library created = nullptr;
    return FT_Init_FreeType(&created) == 0 ? created : nullptr;
  }();
  return library;
}

// fontconfig's start-up allocations are only freed by FcFini.
bool FontconfigReady() {
  static const bool ready = [] {
    if (!FcInit()) return false;
    std::atexit([] { FcFini(); });
    return true;
  }();
  return ready;
}

// The font file fontconfig picks for a family; empty when it has none at all.
std::string MatchFile(const std::string& family, bool bold, bool italic) {
  if (!FontconfigReady()) return {};
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string file;
  FcChar8* path = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return file;
}

FT_Face OpenFace(const std::string& file) {
  FT_Face face = nullptr;
  if (file.empty() || !Library() || FT_New_Face(Library(), file.c_str(), 0, &face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face)) {
    FT_Done_Face(face);
    return nullptr;
  }
  return face;
}

}  // namespace

std::string FontFace::SubstituteFamily(const std::string& family) {
  if (strcasecmp(family.c_str(), "arial") == 0) return "Liberation Sans";
  if (strcasecmp(family.c_str(), "tahoma") == 0) return "DejaVu Sans";
  return family;
}

std::unique_ptr<FontFace> FontFace::Create(const std::string& family, int height, bool bold, bool italic) {
  for (const std::string& name : {SubstituteFamily(family), std::string("sans-serif")}) {
    const std::string file = MatchFile(name, bold, italic);
    FT_Face face = OpenFace(file);
    if (!face) continue;
    std::unique_ptr<FontFace> created(new FontFace(face, file));
    if (created->SetCellHeight(height)) return created;
  }
  return nullptr;
}

FontFace::~FontFace() { FT_Done_Face(face_); }

// Windows sizes a cell by the font's win ascent and descent; other fonts by
// their horizontal header.
bool FontFace::SetCellHeight(int height) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
  double ascent = face_->ascender, descent = -face_->descender;
  if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  }
  if (ascent + descent <= 0 || face_->units_per_EM == 0) return false;
  const double cellPerEm = (ascent + descent) / face_->units_per_EM;
  if (height == 0) height = kDefaultCellHeight;
  const double em = height > 0 ? height / cellPerEm : -height;
  lineHeight_ = height > 0 ? height : static_cast<int>(std::lround(em * cellPerEm));
  ascent_ = static_cast<int>(std::lround(lineHeight_ * ascent / (ascent + descent)));
  return FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::lround(em * 64.0)), 72, 72) == 0;
}

unsigned FontFace::GlyphIndex(char32_t character) const { return FT_Get_Char_Index(face_, character); }

int FontFace::Advance(unsigned glyph) {
  const auto found = advances_.find(glyph);
  if (found != advances_.end()) return found->second;
  int advance = 0;
  if (FT_Load_Glyph(face_, glyph, FT_LOAD_DEFAULT) == 0) {
    advance = static_cast<int>((face_->glyph->advance.x + 32) >> 6);
  }
  advances_.emplace(glyph, advance);
  return advance;
}

int FontFace::Kerning(unsigned left, unsigned right) const {
  FT_Vector delta{0, 0};
  if (!FT_HAS_KERNING(face_) || left == 0 || right == 0 ||
      FT_Get_Kerning(face_, left, right, FT_KERNING_DEFAULT, &delta) != 0) {
    return 0;
  }
  return static_cast<int>(delta.x >> 6);
}

bool FontFace::Render(unsigned glyph, GlyphBitmap& bitmap) const {
  if (FT_Load_Glyph(face_, glyph, FT_LOAD_DEFAULT) != 0 || FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL) != 0) {
    return false;
  }
  const FT_Bitmap& source = face_->glyph->bitmap;
  if (source.pixel_mode != FT_PIXEL_MODE_GRAY) return false;
  bitmap.width = static_cast<int>(source.width);
  bitmap.height = static_cast<int>(source.rows);
  bitmap.left = face_->glyph->bitmap_left;
  bitmap.top = face_->glyph->bitmap_top;
  bitmap.coverage.resize(source.width * source.rows);
  for (unsigned row = 0; row < source.rows; ++row) {
    std::memcpy(&bitmap.coverage[row * source.width], source.buffer + static_cast<ptrdiff_t>(row) * source.pitch,
                source.width);
  }
  return true;
}

}  // namespace platform::d3dx
