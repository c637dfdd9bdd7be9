#include "app/EditorOptions.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "base/OneLine.h"
#include "base/ParseCommandLine.h"

#ifndef EDITOR_VERSION
#define EDITOR_VERSION "unknown"
#endif

namespace {

constexpr unsigned kMinWidth = 640, kMinHeight = 480, kMaxSide = 8192;

const char* const kDescription =
    "brinora-editor: an interactive editor for real-time water. Run from the repository root it reads\n"
    "data/ and shaders/ there and keeps saves in save/; installed, it reads its data from\n"
    "share/brinora-editor/ beside the program and keeps saves in $XDG_DATA_HOME/brinora-editor/save.\n"
    "F12 saves a screenshot.";

// "WIDTHxHEIGHT" within the sizes the GUI is laid out for; nothing is set on a refusal.
bool ParseWindowSize(const std::string& text, unsigned* width, unsigned* height) {
  unsigned w = 0, h = 0;
  char x = 0, rest = 0;
  if (text.find('-') != std::string::npos ||
      std::sscanf(text.c_str(), "%u%c%u%c", &w, &x, &h, &rest) != 3 || (x != 'x' && x != 'X') ||
      w < kMinWidth || h < kMinHeight || w > kMaxSide || h > kMaxSide) {
    return false;
  }
  *width = w;
  *height = h;
  return true;
}

}  // namespace

EditorParse ParseEditorCommandLine(const std::vector<std::string>& args) {
  EditorParse result;
  CLI::App app{kDescription, "brinora-editor"};
  app.set_version_flag("--version", std::string("brinora-editor ") + EDITOR_VERSION);
  std::string window;
  app.add_option("--window", window, "Run in a window of WIDTHxHEIGHT pixels (e.g. 1280x800) instead of full screen")
      ->type_name("WxH");
  if (!ParseCommandLine(app, args, 2, &result)) return result;
  if (!window.empty() && !ParseWindowSize(window, &result.windowWidth, &result.windowHeight)) {
    result.exit = 2;
    result.error = OneLine("brinora-editor", "--window " + window + " is not WIDTHxHEIGHT from 640x480 to 8192x8192");
    return result;
  }
  result.run = true;
  return result;
}
