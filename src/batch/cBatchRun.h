// One run of the batch program on a loaded, checked settings record: the
// frames, their CSV rows, the normal-method comparison, the baked images.
#pragma once

#include <ostream>
#include <string>

#include "batch/BatchOptions.h"
#include "settings/cEngineSettings.h"

// Returns the exit code; refusals are one line each on `err`, the closing
// summary goes to `out`.
int RunBatch(const BatchOptions& options, const cEngineSettings& settings, std::ostream& out, std::ostream& err);

// File names of the baked images of a run: index 0 is the first baked frame.
std::string BakedHeightName(const BatchOptions& options, int index);
std::string BakedNormalName(const BatchOptions& options, int index);
