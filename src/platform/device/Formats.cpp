#include "platform/device/Formats.h"

#include "platform/device/Backend.h"

namespace platform {

UINT FormatBytes(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8:
    case D3DFMT_L8:
      return 1;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D16:
    case D3DFMT_R16F:
    case D3DFMT_INDEX16:
      return 2;
    case D3DFMT_R8G8B8:
      return 3;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8B8G8R8:
    case D3DFMT_X8B8G8R8:
    case D3DFMT_D32:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_G16R16F:
    case D3DFMT_R32F:
    case D3DFMT_INDEX32:
      return 4;
    case D3DFMT_A16B16G16R16F:
    case D3DFMT_G32R32F:
      return 8;
    case D3DFMT_A32B32G32R32F:
      return 16;
    default:
      return 0;
  }
}

bool IsDepthFormat(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D16:
    case D3DFMT_D32:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
      return true;
    default:
      return false;
  }
}

bool IsColorFormat(D3DFORMAT format) {
  return FormatBytes(format) != 0 && !IsDepthFormat(format) && format != D3DFMT_INDEX16 &&
         format != D3DFMT_INDEX32;
}

UINT MipChainLength(UINT width, UINT height) {
  UINT levels = 1;
  for (UINT size = width > height ? width : height; size > 1; size >>= 1) ++levels;
  return levels;
}

}  // namespace platform
