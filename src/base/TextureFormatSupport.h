// Whether the device can make textures of a format, in the display mode it runs in.
#pragma once

#include "platform/d3d9.h"

bool SupportsTextureFormat(IDirect3D9* d3d, IDirect3DDevice9* device, DWORD usage, D3DFORMAT format);
