#include "base/TextureFormatSupport.h"

bool SupportsTextureFormat(IDirect3D9* d3d, IDirect3DDevice9* device, DWORD usage, D3DFORMAT format) {
  D3DCAPS9 caps;
  D3DDISPLAYMODE mode;
  if (!d3d || !device || FAILED(device->GetDeviceCaps(&caps)) || FAILED(device->GetDisplayMode(0, &mode))) {
    return false;
  }
  return SUCCEEDED(d3d->CheckDeviceFormat(caps.AdapterOrdinal, caps.DeviceType, mode.Format, usage,
                                          D3DRTYPE_TEXTURE, format));
}
