// Float to int conversions that cannot overflow: clamp in float, then truncate.
#pragma once

#include <cmath>

// NaN gives 0; values beyond the int range give its nearest end.
inline int SaturateToInt(float value) {
  // The largest float below 2^31; -2^31 itself is a float.
  constexpr float kHighest = 2147483520.0f;
  constexpr float kLowest = -2147483648.0f;
  if (std::isnan(value)) return 0;
  if (value >= kHighest) return static_cast<int>(kHighest);
  if (value <= kLowest) return static_cast<int>(kLowest);
  return static_cast<int>(value);
}
