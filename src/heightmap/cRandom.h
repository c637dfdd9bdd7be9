// The platform runtime's rand(): a 32-bit linear congruential generator with
// 15-bit results. The spectrum a seed gives depends on this exact sequence.
#pragma once

#include <cstdint>

class cRandom {
 public:
  static constexpr int kMax = 0x7FFF;

  void Seed(uint32_t seed) { state_ = seed; }
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & kMax);
  }

  // The seed taken from a 32-bit calendar time: its bytes, least significant
  // first, folded as ((b0 * 257 + b1) * 257 + b2) * 257 + b3.
  static uint32_t SeedFromTime(uint32_t time) {
    uint32_t seed = 0;
    for (int i = 0; i < 4; ++i) seed = seed * 257u + ((time >> (8 * i)) & 0xFF);
    return seed;
  }

 private:
  uint32_t state_ = 1;
};
