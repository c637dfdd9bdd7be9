#include <gtest/gtest.h>

#include <vector>

#include "platform/d3dx/GlyphAtlas.h"

using platform::d3dx::GlyphAtlas;

namespace {

bool Overlap(const GlyphAtlas::Slot& a, const GlyphAtlas::Slot& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

}  // namespace

TEST(GlyphAtlas, PacksWithoutOverlapAndGrowsWhenFull) {
  GlyphAtlas atlas;
  std::vector<GlyphAtlas::Slot> slots;
  for (int i = 0; i < 400; ++i) {
    const UINT width = 5 + i % 20, height = 8 + i % 13;
    const std::vector<uint8_t> bitmap(width * height, static_cast<uint8_t>(i));
    GlyphAtlas::Slot slot;
    ASSERT_TRUE(atlas.Add(width, height, bitmap.data(), slot)) << i;
    EXPECT_EQ(slot.width, width);
    EXPECT_LE(slot.x + width, atlas.Width());
    EXPECT_LE(slot.y + height, atlas.Height());
    EXPECT_EQ(atlas.Coverage(slot.x + width - 1, slot.y + height - 1), static_cast<uint8_t>(i));
    for (const auto& other : slots) ASSERT_FALSE(Overlap(slot, other)) << i;
    slots.push_back(slot);
  }
  EXPECT_GT(atlas.Height(), GlyphAtlas::kInitialHeight);
  // Earlier glyphs survive growth.
  EXPECT_EQ(atlas.Coverage(slots[0].x, slots[0].y), 0);
  EXPECT_EQ(atlas.Coverage(slots[1].x, slots[1].y), 1);
}

TEST(GlyphAtlas, RefusesWhatCannotFitAndClears) {
  GlyphAtlas atlas;
  GlyphAtlas::Slot slot;
  const std::vector<uint8_t> wide(GlyphAtlas::kWidth * 2, 1);
  EXPECT_FALSE(atlas.Add(GlyphAtlas::kWidth, 2, wide.data(), slot));
  const std::vector<uint8_t> tall(GlyphAtlas::kMaxHeight * 2, 1);
  EXPECT_FALSE(atlas.Add(2, GlyphAtlas::kMaxHeight, tall.data(), slot));
  const std::vector<uint8_t> big(400 * 400, 7);
  int added = 0;
  while (atlas.Add(400, 400, big.data(), slot)) ++added;
  EXPECT_EQ(added, static_cast<int>(GlyphAtlas::kMaxHeight / 401));
  EXPECT_EQ(atlas.Height(), GlyphAtlas::kMaxHeight);
  atlas.MarkUploaded();
  atlas.Clear();
  EXPECT_TRUE(atlas.Dirty());
  EXPECT_EQ(atlas.Height(), GlyphAtlas::kInitialHeight);
  ASSERT_TRUE(atlas.Add(400, 100, big.data(), slot));
  EXPECT_EQ(slot.x, 0u);
  EXPECT_EQ(slot.y, 0u);
}
