// Runs CLI11 over a program's arguments and turns what stops the program into
// its result: help or version text for standard output (exit 0), or a usage
// error as one line for standard error (exit `usageExit`). `Result` has the
// fields output, error and exit. True when the program goes on.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "base/OneLine.h"

template <class Result>
bool ParseCommandLine(CLI::App& app, const std::vector<std::string>& args, int usageExit, Result* result) {
  std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
  try {
    app.parse(reversed);
    return true;
  } catch (const CLI::CallForHelp&) {
    result->output = app.help();
  } catch (const CLI::CallForVersion& e) {
    result->output = std::string(e.what()) + "\n";
  } catch (const CLI::ParseError& e) {
    result->exit = usageExit;
    result->error = OneLine(app.get_name(), e.what());
  }
  return false;
}
