#include "editor/cFrameRateCounter.h"

#include <cwchar>

namespace {
constexpr float kWindowSeconds = 0.33f;
}

const wchar_t* cFrameRateCounter::Count(cTimer& timer) {
  frames += 1.0f;
  if (timer.total >= kWindowSeconds) {
    rate = 1.0f / (timer.total / frames);
    // Only the sum starts again: a Reset here, mid-frame, would drop the part
    // of this frame before the count from the next window and show too high a rate.
    timer.total = 0.0f;
    frames = 0.0f;
  }
  std::swprintf(text, sizeof(text) / sizeof(text[0]), L"fps:%.1f", static_cast<double>(rate));
  return text;
}
