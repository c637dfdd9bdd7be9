// Classes of the formats the stand-in knows (byte sizes: FormatBytes in
// Backend.h) and texture sizes.
#pragma once

#include "platform/d3d9.h"

namespace platform {

bool IsDepthFormat(D3DFORMAT format);
// Formats a texture or a colour target can have.
bool IsColorFormat(D3DFORMAT format);

// Levels of a full mip chain down to 1x1.
UINT MipChainLength(UINT width, UINT height);

}  // namespace platform
