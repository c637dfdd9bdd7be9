// The batch program's command line: what to replay, for how long, and what to
// write. Parsed by CLI11; every refusal is one line for standard error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct BatchOptions {
  std::string statePath;
  int frames = 60;
  double dt = 1.0 / 30.0;
  std::string csvPath;             // empty: no CSV
  std::string normalsTablePath;    // empty: no normal-method comparison
  std::string bakeDirectory;       // empty: no baking
  int bakeEvery = 1;
  double loopSeconds = 0.0;        // 0: no loop
  std::optional<uint32_t> seed;    // none: taken from the calendar time, as the editor does
  bool gpu = false;                // OpenGL instead of the headless backend
  bool progress = true;            // a progress bar when standard error is a terminal
};

// Exit codes of the program.
enum BatchExit { BATCH_OK = 0, BATCH_FAILED = 1, BATCH_USAGE = 2 };

struct BatchParse {
  bool run = false;    // false: exit at once with `exit`
  int exit = BATCH_OK;
  std::string output;  // the help text, for standard output
  std::string error;   // one line, for standard error
  BatchOptions options;
};

// Every path of `options` made absolute against the working folder.
void MakePathsAbsolute(BatchOptions* options);

// `args` excludes the program name.
BatchParse ParseBatchCommandLine(const std::vector<std::string>& args);
