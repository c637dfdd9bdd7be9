// The texts of the engine selection screen, read from a plain text file: line
// 2k describes engine k when it is supported, line 2k+1 when it is not (k =
// fixed function, shader model 1, 2, 3), line 8 is the notice under the buttons.
#pragma once

#include <array>
#include <string>

constexpr size_t kEngineDescriptionLines = 9;
constexpr size_t kEngineDescriptionLength = 511;  // characters kept per line

using EngineDescriptions = std::array<std::wstring, kEngineDescriptionLines>;

// Each byte becomes one character and a line keeps its line feed. A longer line
// keeps its first 511 characters and the rest up to its line feed is skipped, so
// later lines keep their roles. A missing or short file leaves texts empty;
// lines past the ninth are ignored.
EngineDescriptions ReadEngineDescriptions(const char* path);
