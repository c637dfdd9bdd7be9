// Summary numbers of one frame's heights, and locale-free number text for the
// batch program's tables.
#pragma once

#include <cstddef>
#include <string>

struct HeightStatistics {
  double min = 0.0;
  double max = 0.0;
  double mean = 0.0;
  double rms = 0.0;  // root mean square about the mean
};

HeightStatistics ComputeHeightStatistics(const float* heights, size_t count);

// `value` with `decimals` digits after a point, whatever the process locale.
void AppendNumber(std::string* text, double value, int decimals);
