#include "batch/HeightStatistics.h"

#include <algorithm>
#include <charconv>
#include <cmath>

HeightStatistics ComputeHeightStatistics(const float* heights, size_t count) {
  HeightStatistics stats;
  if (!heights || count == 0) return stats;
  stats.min = stats.max = heights[0];
  double sum = 0.0;
  for (size_t i = 0; i < count; ++i) {
    stats.min = std::min<double>(stats.min, heights[i]);
    stats.max = std::max<double>(stats.max, heights[i]);
    sum += heights[i];
  }
  stats.mean = sum / count;
  double squares = 0.0;
  for (size_t i = 0; i < count; ++i) squares += (heights[i] - stats.mean) * (heights[i] - stats.mean);
  stats.rms = std::sqrt(squares / count);
  return stats;
}

void AppendNumber(std::string* text, double value, int decimals) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec == std::errc()) {
    text->append(buffer, result.ptr);
  } else {
    text->append(std::isnan(value) ? "nan" : "inf");
  }
}
