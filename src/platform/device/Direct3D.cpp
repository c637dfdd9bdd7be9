#include "platform/device/Direct3D.h"

#include "platform/device/Device.h"
#include "platform/device/Formats.h"
#include "platform/device/Adapter.h"

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
  return sdkVersion == D3D_SDK_VERSION ? new platform::Direct3D() : nullptr;
}

namespace platform {
namespace {

// The one adapter is a hardware device; anything else is not available.
HRESULT CheckAdapter(UINT adapter, D3DDEVTYPE type) {
  if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
  return type == D3DDEVTYPE_HAL ? D3D_OK : D3DERR_NOTAVAILABLE;
}

}  // namespace

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
  *mode = CurrentBackend().DesktopMode();
  return D3D_OK;
}

// The backend lists its full-screen modes for D3DFMT_X8R8G8B8, the only display format.
UINT Direct3D::GetAdapterModeCount(UINT adapter, D3DFORMAT format) {
  if (adapter != D3DADAPTER_DEFAULT || format != D3DFMT_X8R8G8B8) return 0;
  return static_cast<UINT>(CurrentBackend().DisplayModes().size());
}

HRESULT Direct3D::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* out) {
  if (!out || mode >= GetAdapterModeCount(adapter, format)) return D3DERR_INVALIDCALL;
  *out = CurrentBackend().DisplayModes()[mode];
  out->Format = format;
  return D3D_OK;
}

HRESULT Direct3D::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                  D3DFORMAT backBufferFormat, BOOL windowed) {
  const HRESULT hr = CheckAdapter(adapter, type);
  if (FAILED(hr)) return hr;
  if (windowed && backBufferFormat == D3DFMT_UNKNOWN) backBufferFormat = displayFormat;
  return IsBackBufferSupported(displayFormat, backBufferFormat, CurrentBackend()) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                    D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
  const HRESULT hr = CheckAdapter(adapter, type);
  if (FAILED(hr)) return hr;
  const bool supported =
      adapterFormat == D3DFMT_X8R8G8B8 && CurrentBackend().SupportsFormat(usage, resourceType, checkFormat);
  return supported ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                         D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) {
  const HRESULT hr = CheckAdapter(adapter, type);
  if (FAILED(hr)) return hr;
  Backend& backend = CurrentBackend();
  const bool match = adapterFormat == D3DFMT_X8R8G8B8 && IsDepthFormat(depthStencilFormat) &&
                     backend.SupportsFormat(D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, renderTargetFormat) &&
                     backend.SupportsFormat(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, depthStencilFormat);
  return match ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
  if (!caps) return D3DERR_INVALIDCALL;
  const HRESULT hr = CheckAdapter(adapter, type);
  if (FAILED(hr)) return hr;
  *caps = AdapterCaps(CurrentBackend());
  return D3D_OK;
}

// Exactly one kind of vertex processing must be asked for.
HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) {
  if (!parameters || !device) return D3DERR_INVALIDCALL;
  *device = nullptr;
  HRESULT hr = CheckAdapter(adapter, type);
  if (FAILED(hr)) return hr;
  const DWORD processing = behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                            D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
  if (processing == 0 || (processing & (processing - 1)) != 0) return D3DERR_INVALIDCALL;
  Backend& backend = CurrentBackend();
  D3DPRESENT_PARAMETERS completed = *parameters;
  if (FAILED(CompletePresentParameters(completed, focusWindow, backend))) return D3DERR_INVALIDCALL;
  hr = backend.CreateDevice(completed.hDeviceWindow, behaviorFlags, completed);
  if (FAILED(hr)) return hr;
  *parameters = completed;
  *device = new Device(completed);
  return D3D_OK;
}

}  // namespace platform
