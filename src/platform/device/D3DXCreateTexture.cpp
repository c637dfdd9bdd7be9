// D3DXCreateTexture: Direct3D's CreateTexture with D3DX's defaults.
#include <algorithm>

#include "platform/d3dx9.h"
#include "platform/device/Backend.h"
#include "platform/device/Formats.h"

namespace {

constexpr UINT kDefaultSize = 256;

UINT DefaultedSize(UINT size, DWORD maxSize) {
  if (size == D3DX_DEFAULT || size == D3DX_DEFAULT_NONPOW2) size = kDefaultSize;
  return std::min<UINT>(std::max<UINT>(size, 1), maxSize);
}

}  // namespace

// Sizes D3DX_DEFAULT become 256 and 0 becomes 1, clamped to what the device
// takes; mip levels 0 or D3DX_DEFAULT ask for the full chain (one level that
// the device fills with D3DUSAGE_AUTOGENMIPMAP). A format the device lacks is
// D3DERR_NOTAVAILABLE; the rest is CreateTexture's answer.
HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture) {
  if (!device || !texture) return D3DERR_INVALIDCALL;
  D3DCAPS9 caps;
  const HRESULT hr = device->GetDeviceCaps(&caps);
  if (FAILED(hr)) return hr;
  if (!platform::CurrentBackend().SupportsFormat(usage & D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, format)) {
    return D3DERR_NOTAVAILABLE;
  }
  width = DefaultedSize(width, caps.MaxTextureWidth);
  height = DefaultedSize(height, caps.MaxTextureHeight);
  UINT levels = mipLevels == D3DX_DEFAULT ? 0 : std::min(mipLevels, platform::MipChainLength(width, height));
  if ((usage & D3DUSAGE_AUTOGENMIPMAP) && levels > 1) levels = 0;
  return device->CreateTexture(width, height, levels, usage, format, pool, texture, nullptr);
}
