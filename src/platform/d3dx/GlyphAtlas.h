// Glyph coverage packed in rows ("shelves") of one image that starts small and
// doubles its height when full. The font uploads it as a white texture with the
// coverage in alpha.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3dx9.h"

namespace platform::d3dx {

class GlyphAtlas {
 public:
  static constexpr UINT kWidth = 512;
  static constexpr UINT kInitialHeight = 128;
  static constexpr UINT kMaxHeight = 2048;

  // Where a glyph's bitmap sits, in texels.
  struct Slot {
    UINT x = 0, y = 0, width = 0, height = 0;
  };

  GlyphAtlas() { Clear(); }

  // Copies a width x height bitmap in; false when it does not fit even at the
  // largest size (the atlas is unchanged then).
  bool Add(UINT width, UINT height, const uint8_t* coverage, Slot& slot);
  // Forgets every glyph and shrinks back to the initial size.
  void Clear();

  UINT Width() const { return kWidth; }
  UINT Height() const { return height_; }
  uint8_t Coverage(UINT x, UINT y) const { return coverage_[size_t{y} * kWidth + x]; }
  // Changed since MarkUploaded.
  bool Dirty() const { return dirty_; }
  void MarkUploaded() { dirty_ = false; }

 private:
  static constexpr UINT kPadding = 1;  // keeps linear filtering from reading a neighbour

  UINT height_ = 0;
  std::vector<uint8_t> coverage_;
  UINT shelfX_ = 0, shelfY_ = 0, shelfHeight_ = 0;
  bool dirty_ = true;
};

}  // namespace platform::d3dx
