#include "scene/cPassTarget.h"

#include <climits>

#include "base/SafeRelease.h"
#include "platform/d3dx9.h"

bool IsRenderTargetSupported(IDirect3D9* d3d, IDirect3DDevice9* device) {
  if (d3d == nullptr || device == nullptr) return false;
  D3DDISPLAYMODE mode{};
  D3DCAPS9 caps{};
  if (FAILED(device->GetDisplayMode(0, &mode)) || FAILED(device->GetDeviceCaps(&caps))) return false;
  return SUCCEEDED(d3d->CheckDeviceFormat(caps.AdapterOrdinal, caps.DeviceType, mode.Format, D3DUSAGE_RENDERTARGET,
                                          D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8)) &&
         SUCCEEDED(d3d->CheckDepthStencilMatch(caps.AdapterOrdinal, caps.DeviceType, mode.Format, D3DFMT_A8R8G8B8,
                                               D3DFMT_D16));
}

void DisableClipPlane(IDirect3DDevice9* device) {
  if (device) device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
}

cPassTarget::~cPassTarget() { cPassTarget::Release(); }

void cPassTarget::Release() {
  ReleaseSaved();
  ReleaseSurfaces();
  size = -1;
}

int cPassTarget::RoundSize(int requested, int maxSize) {
  int rounded = 1;
  while (rounded < requested) {
    if (rounded > INT_MAX / 2) return 0;
    rounded *= 2;
  }
  return rounded > maxSize ? 0 : rounded;
}

bool cPassTarget::CreateTarget(int requestedSize, IDirect3D9* d3d, IDirect3DDevice9* device) {
  if (!IsRenderTargetSupported(d3d, device)) return false;
  D3DCAPS9 caps{};
  if (FAILED(device->GetDeviceCaps(&caps))) return false;
  const DWORD maxSize = caps.MaxTextureWidth < caps.MaxTextureHeight ? caps.MaxTextureWidth : caps.MaxTextureHeight;
  const int rounded = RoundSize(requestedSize, maxSize > INT_MAX ? INT_MAX : static_cast<int>(maxSize));
  if (rounded == 0) return false;
  Release();
  size = rounded;
  if (CreateSurfaces(device)) return true;
  Release();
  return false;
}

bool cPassTarget::CreateSurfaces(IDirect3DDevice9* device) {
  const UINT edge = static_cast<UINT>(size);
  if (texture == nullptr && FAILED(D3DXCreateTexture(device, edge, edge, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                                     D3DPOOL_DEFAULT, &texture))) {
    texture = nullptr;
    return false;
  }
  if (depthSurface == nullptr && FAILED(device->CreateDepthStencilSurface(edge, edge, D3DFMT_D16, D3DMULTISAMPLE_NONE,
                                                                          0, TRUE, &depthSurface, nullptr))) {
    depthSurface = nullptr;
    return false;
  }
  return true;
}

bool cPassTarget::BeginTarget(IDirect3DDevice9* device) {
  if (device == nullptr || texture == nullptr || depthSurface == nullptr || size < 1 || IsBegun()) return false;
  if (FAILED(texture->GetSurfaceLevel(0, &levelSurface))) {
    levelSurface = nullptr;
    return false;
  }
  if (FAILED(device->GetRenderTarget(0, &savedTarget))) {
    savedTarget = nullptr;
    ReleaseSaved();
    return false;
  }
  // A device without a depth surface reports none; End then puts none back.
  const HRESULT depth = device->GetDepthStencilSurface(&savedDepth);
  if (FAILED(depth)) savedDepth = nullptr;
  if (FAILED(depth) && depth != D3DERR_NOTFOUND) {
    ReleaseSaved();
    return false;
  }
  if (FAILED(device->SetRenderTarget(0, levelSurface))) {
    ReleaseSaved();
    return false;
  }
  if (FAILED(device->SetDepthStencilSurface(depthSurface))) {
    device->SetRenderTarget(0, savedTarget);
    ReleaseSaved();
    return false;
  }
  return true;
}

bool cPassTarget::EndTarget(IDirect3DDevice9* device) {
  if (device == nullptr || !IsBegun()) return false;
  const bool target = SUCCEEDED(device->SetRenderTarget(0, savedTarget));
  const bool depth = SUCCEEDED(device->SetDepthStencilSurface(savedDepth));
  ReleaseSaved();
  return target && depth;
}

void cPassTarget::ReleaseSaved() {
  SafeRelease(savedTarget);
  SafeRelease(savedDepth);
  SafeRelease(levelSurface);
}

void cPassTarget::ReleaseSurfaces() {
  SafeRelease(texture);
  SafeRelease(depthSurface);
}

bool cPassTarget::RecreateSurfaces(IDirect3DDevice9* device) {
  if (size < 1) return true;
  return device != nullptr && CreateSurfaces(device);
}

bool cPassTarget::ApplyClipPlane(const D3DXPLANE& plane, IDirect3DDevice9* device) {
  if (device == nullptr) return false;
  const float values[4] = {plane.a, plane.b, plane.c, plane.d};
  return SUCCEEDED(device->SetClipPlane(0, values)) && SUCCEEDED(device->SetRenderState(D3DRS_CLIPPLANEENABLE, 1));
}

bool cPassTarget::ApplyProjectedClipPlane(const D3DXPLANE& plane, const D3DXMATRIX& worldToClip,
                                        IDirect3DDevice9* device) {
  // Planes transform with the inverse transpose of the matrix that moves points.
  D3DXMATRIX inverse;
  if (D3DXMatrixInverse(&inverse, nullptr, &worldToClip) == nullptr) return false;
  D3DXMATRIX inverseTranspose;
  D3DXMatrixTranspose(&inverseTranspose, &inverse);
  D3DXPLANE projected;
  D3DXPlaneTransform(&projected, &plane, &inverseTranspose);
  return ApplyClipPlane(projected, device);
}
