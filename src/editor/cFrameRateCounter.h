// The frame rate shown on screen, recomputed from the frame-rate timer once per
// window of at least 0.33 s so the number stays readable.
#pragma once

#include "base/cTimer.h"

class cFrameRateCounter {
 public:
  // Counts one frame. When the timer's total has reached the window, the rate
  // becomes frames / total and the timer's total and the count start again
  // (the timer keeps measuring from its last tick). Returns the
  // text "fps:%.1f" of the rate shown.
  const wchar_t* Count(cTimer& timer);
  float GetRate() const { return rate; }

 private:
  float frames = 0.0f;
  float rate = 0.0f;
  wchar_t text[128] = {};
};
