// What the one adapter offers: its capabilities and the rules present
// parameters must follow, shared by CreateDevice and Reset.
#pragma once

#include "platform/device/Backend.h"

namespace platform {

// The backend's capabilities as the hardware adapter 0 reports them.
D3DCAPS9 AdapterCaps(Backend& backend);

// Fills in what Direct3D derives (back buffer count 0 -> 1, size and format of a
// windowed back buffer left 0 / unknown, the device window from the focus window)
// and checks the rest against the backend: D3D_OK or D3DERR_INVALIDCALL.
HRESULT CompletePresentParameters(D3DPRESENT_PARAMETERS& parameters, HWND focusWindow, Backend& backend);

// Whether the backend can show a back buffer of `format` on a display of `displayFormat`.
bool IsBackBufferSupported(D3DFORMAT displayFormat, D3DFORMAT format, Backend& backend);

}  // namespace platform
