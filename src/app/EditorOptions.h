// The editor's command line: a window instead of the whole screen, help and
// version. Parsed by CLI11; a refusal is one line for standard error.
#pragma once

#include <string>
#include <vector>

struct EditorParse {
  bool run = false;     // false: exit at once with `exit`
  int exit = 0;
  std::string output;   // help or version, for standard output
  std::string error;    // one line, for standard error
  unsigned windowWidth = 0;   // 0: full screen
  unsigned windowHeight = 0;
};

// `args` excludes the program name.
EditorParse ParseEditorCommandLine(const std::vector<std::string>& args);
