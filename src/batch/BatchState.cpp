#include "batch/BatchState.h"

#include <cstdio>
#include <map>
#include <memory>

#include "waterscene/SaveFileText.h"
#include "waterscene/SettingsValidation.h"
#include "waterscene/cWaterScene.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool IsBlank(std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; }

// The value starts, after white space, the way a number does.
bool StartsWithNumber(std::string_view value) {
  const size_t first = value.find_first_not_of(" \t");
  return first != std::string_view::npos && std::string_view("+-.0123456789").find(value[first]) != std::string_view::npos;
}

// Why the reader would skip or misread this line; empty when it reads it.
std::string LineProblem(std::string_view line, const SettingKey** setting) {
  std::string_view key, value;
  if (!ScanSaveLine(line, &key, &value)) return "not a [key]=value line";
  const std::string name(key);
  *setting = FindSettingKey(key);
  if (!*setting) {
    // The header's own key is not part of the record.
    if (EqualsIgnoringCase(key, "working environment")) return "";
    return "unknown key [" + name + "]";
  }
  switch ((*setting)->kind) {
    case SettingKind::Int:
    case SettingKind::Float:
    case SettingKind::Bool:
      return StartsWithNumber(value) ? "" : "[" + name + "] has no number";
    default:
      return TypeIdFromWord((*setting)->kind, value) != 0
                 ? ""
                 : "[" + name + "] has an unknown type '" + std::string(value) + "'";
  }
}

}  // namespace

bool LoadBatchState(const std::string& path, cEngineSettings* settings, std::string* error) {
  cWaterScene::Header header;
  cEngineSettings loaded{};
  // The reader refuses what is not a regular file before anything waits on
  // it; only then is the file opened again for the line checks.
  const bool readable = cWaterScene::ReadSettings(path.c_str(), &header, &loaded);
  std::unique_ptr<std::FILE, FileCloser> file(readable ? std::fopen(path.c_str(), "rb") : nullptr);
  if (!file) {
    *error = path + ": cannot read the save file";
    return false;
  }
  // Where each key was last set: a later line overrides an earlier one.
  std::map<std::string, int> lines;
  int number = 0;
  std::string problem;
  const bool read = ReadSaveLines(file.get(), [&](std::string_view line) {
    ++number;
    if (!problem.empty() || IsBlank(line)) return;
    const SettingKey* setting = nullptr;
    problem = LineProblem(line, &setting);
    if (!problem.empty()) {
      problem = path + ":" + std::to_string(number) + ": " + problem;
    } else if (setting) {
      lines[setting->key] = number;
    }
  });
  if (!read) problem = path + ": cannot read the save file";
  if (!problem.empty()) {
    *error = problem;
    return false;
  }
  if (auto invalid = CheckComponentSettings(loaded, ValueCheck::FixedAtCreation)) {
    const auto line = lines.find(invalid->key);
    *error = path + (line != lines.end() ? ":" + std::to_string(line->second) : std::string()) + ": [" +
             invalid->key + "] " + invalid->reason + (line != lines.end() ? "" : " (the file does not set it)");
    return false;
  }
  *settings = loaded;
  return true;
}
