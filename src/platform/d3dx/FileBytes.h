// Whole-file reads for the loaders, bounded so a huge or special file cannot
// make them allocate without limit.
#pragma once

#include <cstddef>
#include <string>

#include "platform/d3d9.h"

namespace platform::d3dx {

// D3DERR_NOTFOUND when the file cannot be opened, D3DXERR_INVALIDDATA when it
// is not a regular file or is larger than `limit` bytes.
HRESULT ReadFileBytes(const std::string& path, size_t limit, std::string& bytes);

}  // namespace platform::d3dx
