// water-batch: replays a state saved by the editor without a display.
#include <iostream>
#include <string>
#include <vector>

#include "batch/BatchOptions.h"
#include "batch/BatchState.h"
#include "batch/cBatchRun.h"

int main(int argc, char** argv) {
  const BatchParse parse = ParseBatchCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parse.run) {
    std::cout << parse.output;
    if (!parse.error.empty()) std::cerr << parse.error << "\n";
    return parse.exit;
  }
  cEngineSettings settings{};
  std::string error;
  if (!LoadBatchState(parse.options.statePath, &settings, &error)) {
    std::cerr << "water-batch: " << error << "\n";
    return BATCH_FAILED;
  }
  return RunBatch(parse.options, settings, std::cout, std::cerr);
}
