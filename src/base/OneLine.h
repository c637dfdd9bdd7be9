// A command-line refusal as one line for standard error: CLI11's messages may span lines.
#pragma once

#include <algorithm>
#include <string>

inline std::string OneLine(const std::string& program, std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return program + ": " + text;
}
