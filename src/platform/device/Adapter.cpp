#include "platform/device/Adapter.h"

#include "platform/device/Formats.h"

namespace platform {
namespace {

constexpr UINT kMaxBackBuffers = 3;

// The desktop mode or one the backend lists; refresh rates are not compared, as
// the backends' lists need not carry the desktop's.
bool IsFullScreenMode(const D3DPRESENT_PARAMETERS& parameters, Backend& backend) {
  std::vector<D3DDISPLAYMODE> modes = backend.DisplayModes();
  modes.push_back(backend.DesktopMode());
  for (const D3DDISPLAYMODE& mode : modes) {
    if (mode.Width == parameters.BackBufferWidth && mode.Height == parameters.BackBufferHeight) return true;
  }
  return false;
}

bool IsOfferedInterval(UINT interval, const D3DCAPS9& caps) {
  return interval == D3DPRESENT_INTERVAL_DEFAULT || (caps.PresentationIntervals & interval) == interval;
}

// A windowed back buffer takes the desktop's size and format where none is given.
HRESULT CompleteWindowed(D3DPRESENT_PARAMETERS& parameters, const D3DDISPLAYMODE& desktop, const D3DCAPS9& caps) {
  if (parameters.BackBufferWidth == 0) parameters.BackBufferWidth = desktop.Width;
  if (parameters.BackBufferHeight == 0) parameters.BackBufferHeight = desktop.Height;
  if (parameters.BackBufferFormat == D3DFMT_UNKNOWN) parameters.BackBufferFormat = desktop.Format;
  const bool fits = parameters.BackBufferWidth <= caps.MaxTextureWidth &&
                    parameters.BackBufferHeight <= caps.MaxTextureHeight;
  return fits && parameters.FullScreen_RefreshRateInHz == 0 ? D3D_OK : D3DERR_INVALIDCALL;
}

}  // namespace

D3DCAPS9 AdapterCaps(Backend& backend) {
  D3DCAPS9 caps = backend.Caps();
  caps.DeviceType = D3DDEVTYPE_HAL;
  caps.AdapterOrdinal = D3DADAPTER_DEFAULT;
  return caps;
}

bool IsBackBufferSupported(D3DFORMAT displayFormat, D3DFORMAT format, Backend& backend) {
  return displayFormat == D3DFMT_X8R8G8B8 && (format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8) &&
         backend.SupportsFormat(D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, format);
}

HRESULT CompletePresentParameters(D3DPRESENT_PARAMETERS& parameters, HWND focusWindow, Backend& backend) {
  if (!parameters.hDeviceWindow) parameters.hDeviceWindow = focusWindow;
  if (parameters.BackBufferCount == 0) parameters.BackBufferCount = 1;
  const D3DCAPS9 caps = AdapterCaps(backend);
  const D3DDISPLAYMODE desktop = backend.DesktopMode();
  if (!parameters.hDeviceWindow || parameters.BackBufferCount > kMaxBackBuffers ||
      parameters.SwapEffect < D3DSWAPEFFECT_DISCARD || parameters.SwapEffect > D3DSWAPEFFECT_COPY ||
      (parameters.SwapEffect == D3DSWAPEFFECT_COPY && parameters.BackBufferCount > 1) ||
      parameters.MultiSampleType != D3DMULTISAMPLE_NONE ||
      !IsOfferedInterval(parameters.PresentationInterval, caps)) {
    return D3DERR_INVALIDCALL;
  }
  if (parameters.Windowed) {
    if (FAILED(CompleteWindowed(parameters, desktop, caps))) return D3DERR_INVALIDCALL;
  } else if (!IsFullScreenMode(parameters, backend)) {
    return D3DERR_INVALIDCALL;
  }
  if (!IsBackBufferSupported(desktop.Format, parameters.BackBufferFormat, backend)) return D3DERR_INVALIDCALL;
  if (parameters.EnableAutoDepthStencil &&
      (!IsDepthFormat(parameters.AutoDepthStencilFormat) ||
       !backend.SupportsFormat(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, parameters.AutoDepthStencilFormat))) {
    return D3DERR_INVALIDCALL;
  }
  return D3D_OK;
}

}  // namespace platform
