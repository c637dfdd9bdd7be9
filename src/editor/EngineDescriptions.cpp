#include "editor/EngineDescriptions.h"

#include <cstdio>

EngineDescriptions ReadEngineDescriptions(const char* path) {
  EngineDescriptions lines;
  std::FILE* file = path ? std::fopen(path, "r") : nullptr;
  if (file == nullptr) return lines;
  size_t line = 0;
  int byte = 0;
  while (line < kEngineDescriptionLines && (byte = std::fgetc(file)) != EOF) {
    std::wstring& text = lines[line];
    if (text.size() < kEngineDescriptionLength) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    if (byte == '\n') ++line;
  }
  std::fclose(file);
  return lines;
}
