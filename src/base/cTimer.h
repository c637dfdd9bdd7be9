// Stopwatch over the performance counter; seconds as 32-bit floats.
#pragma once

#include <cstdint>

class cTimer {
 public:
  cTimer();
  // delta = seconds since the last Tick (or construction, or Reset); total += delta.
  void Tick();
  // total = delta = 0 and the next Tick measures from now.
  void Reset();

  float total = 0.0f;
  float delta = 0.0f;
  int64_t last = 0;
  int64_t frequency = 0;
  int64_t current = 0;
};
