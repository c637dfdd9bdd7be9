// A save file loaded for the batch program: the editor's reader for the
// values and the editor's rules for them, plus what an unattended run needs on
// top: a line the reader would skip is refused, and every refusal names its line.
#pragma once

#include <string>

#include "settings/cEngineSettings.h"

// False with one line in `error` ("path:line: what"), the record unchanged.
bool LoadBatchState(const std::string& path, cEngineSettings* settings, std::string* error);
