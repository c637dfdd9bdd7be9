#include "platform/d3dx/GlyphAtlas.h"

#include <algorithm>
#include <cstring>

namespace platform::d3dx {

bool GlyphAtlas::Add(UINT width, UINT height, const uint8_t* coverage, Slot& slot) {
  UINT x = shelfX_, y = shelfY_;
  if (x + width + kPadding > kWidth) {  // next shelf
    x = 0;
    y = shelfY_ + shelfHeight_;
  }
  if (width + kPadding > kWidth || y + height + kPadding > kMaxHeight) return false;
  UINT grown = height_;
  while (y + height + kPadding > grown) grown *= 2;
  if (grown != height_) {
    height_ = grown;
    coverage_.resize(size_t{kWidth} * height_, 0);
  }
  for (UINT row = 0; row < height; ++row) {
    std::memcpy(&coverage_[size_t{y + row} * kWidth + x], coverage + size_t{row} * width, width);
  }
  if (y != shelfY_) shelfHeight_ = 0;
  shelfX_ = x + width + kPadding;
  shelfY_ = y;
  shelfHeight_ = std::max(shelfHeight_, height + kPadding);
  slot = {x, y, width, height};
  dirty_ = true;
  return true;
}

void GlyphAtlas::Clear() {
  height_ = kInitialHeight;
  coverage_.assign(size_t{kWidth} * height_, 0);
  shelfX_ = shelfY_ = shelfHeight_ = 0;
  dirty_ = true;
}

}  // namespace platform::d3dx
