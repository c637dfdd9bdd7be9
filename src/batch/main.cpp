// water-batch: replays a state saved by the editor without a display.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/AppPaths.h"
#include "batch/BatchOptions.h"
#include "batch/BatchState.h"
#include "batch/cBatchRun.h"

int main(int argc, char** argv) {
  BatchParse parse = ParseBatchCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parse.run) {
    std::cout << parse.output;
    if (!parse.error.empty()) std::cerr << parse.error << "\n";
    return parse.exit;
  }
  // Installed, the working folder becomes the data folder: the user's paths must not move with it.
  std::error_code here;
  if (!HoldsData(std::filesystem::current_path(here))) MakePathsAbsolute(&parse.options);
  std::string error;
  if (!SetUpAppPaths(&error)) {
    std::cerr << "water-batch: " << error << "\n";
    return BATCH_FAILED;
  }
  cEngineSettings settings{};
  if (!LoadBatchState(parse.options.statePath, &settings, &error)) {
    std::cerr << "water-batch: " << error << "\n";
    return BATCH_FAILED;
  }
  return RunBatch(parse.options, settings, std::cout, std::cerr);
}
